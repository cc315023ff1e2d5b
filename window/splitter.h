#pragma once

#include <QObject>
#include <QtGlobal>

class QMouseEvent;
class QWidget;

namespace vesko {

class MainWindow;

// The splitter between the input box and the history box: the handle, which the user drags, and
// the drag bar, shown in the handle's place while the drag lasts. Dragging makes the input box
// shorter or taller and moves the history box and its label with
// it; the handle follows on release. The geometry and the drag state (splitMoving, splitMin,
// splitMax, splitPos) live in the window's layout; this class handles the pointer and paints.
//
// The handle is never hidden as a widget: a widget that hides while the button that was pressed
// on it is still down loses the pointer, and the moves and the release of the drag would reach no
// widget. During a drag the handle is hidden to the eye only: it paints nothing, but it keeps the
// pointer until the button is released, wherever the pointer then is.
class Splitter : public QObject {
  Q_OBJECT

 public:
  // Takes over the mouse events of the window's handle and the painting of the handle and the
  // feedback bar. The window owns the splitter.
  explicit Splitter(MainWindow& window);

  // The three handlers of the handle's pointer events. `y` is the pointer's height in twips
  // relative to the handle's top edge; the button, the shift state and the pointer's x do not
  // matter.
  void OnSplitterMouseDown();
  void OnSplitterMouseMove(float y);
  void OnSplitterMouseUp();
  // Puts the handle's top 10 twips above `pos`.
  void PlaceSplitterHandle(qint16 pos);

  // Whether the handle shows: false while a drag lasts.
  bool handleShown() const { return handleShown_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void OnHandlePress(QMouseEvent& event);
  void OnHandleMove(QMouseEvent& event);
  void OnHandleRelease(QMouseEvent& event);
  void ShowHandle(bool shown);
  void PaintStrip(QWidget& strip, bool active);

  MainWindow& window_;
  QWidget* handle_ = nullptr;
  QWidget* bar_ = nullptr;
  bool handleShown_ = true;
  // The button that started the drag; only its release ends the drag.
  Qt::MouseButton dragButton_ = Qt::NoButton;
  // Whether a pointer move has reached the splitter since the drag started.
  bool movedInDrag_ = false;
};

}  // namespace vesko
