#pragma once

#include <QObject>
#include <QtGlobal>

#include <functional>

class QMouseEvent;
class QWidget;

namespace vesko {

class WindowLayout;

// The splitter between the input box and the history box: the handle, which the user drags, and
// the drag bar, shown in the handle's place while the drag lasts. Dragging makes the input box
// shorter or taller and moves the history box and its label with
// it; the handle follows on release. The geometry and the drag state (splitMoving, splitMin,
// splitMax, splitPos) live in the window's layout; this class handles the pointer, paints, and
// tells the window when the layout's places have changed.
//
// The handle is never hidden as a widget: a widget that hides while the button that was pressed
// on it is still down loses the pointer, and the moves and the release of the drag would reach no
// widget. During a drag the handle is hidden to the eye only: it paints nothing, but it keeps the
// pointer until the button is released, wherever the pointer then is.
class Splitter : public QObject {
  Q_OBJECT

 public:
  // Takes over the mouse events of the `handle` and the painting of the handle and the feedback
  // `bar`, two controls of the window whose places `layout` keeps; `outerHeightTwips` gives the
  // window's outer height. `layout` and the two widgets must outlive the splitter, which
  // `parent` (the window) owns.
  Splitter(WindowLayout& layout, QWidget* handle, QWidget* bar,
           std::function<int()> outerHeightTwips, QObject* parent);

  // The three handlers of the handle's pointer events. `y` is the pointer's height in twips
  // relative to the handle's top edge; the button, the shift state and the pointer's x do not
  // matter.
  void OnSplitterMouseDown();
  void OnSplitterMouseMove(float y);
  void OnSplitterMouseUp();
  // Puts the handle's top 10 twips above `pos`.
  void PlaceSplitterHandle(qint16 pos);
  // Run after every resize of the window: a boundary below the lowest position the window's new
  // height allows (splitMax, but not above splitMin) moves up to it, as if dragged there, so that
  // the handle and the history box stay within reach.
  void KeepWithinLimits();

  // Whether the handle shows: false while a drag lasts.
  bool handleShown() const { return handleShown_; }

 signals:
  // The splitter changed places in the layout: the window gives its controls their new places.
  void placesChanged();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void OnHandlePress(QMouseEvent& event);
  void OnHandleMove(QMouseEvent& event);
  void OnHandleRelease(QMouseEvent& event);
  void ShowHandle(bool shown);
  void PaintStrip(QWidget& strip, bool active);

  WindowLayout& layout_;
  QWidget* handle_ = nullptr;
  QWidget* bar_ = nullptr;
  std::function<int()> outerHeightTwips_;
  bool handleShown_ = true;
  // The button that started the drag; only its release ends the drag.
  Qt::MouseButton dragButton_ = Qt::NoButton;
  // Whether a pointer move has reached the splitter since the drag started.
  bool movedInDrag_ = false;
};

}  // namespace vesko
