#include "window/splitter.h"

#include "window/main_window.h"
#include "window/twips.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>

namespace vesko {

Splitter::Splitter(MainWindow& window)
    : QObject(&window),
      window_(window),
      handle_(window.splitterHandle()),
      bar_(window.splitterBar()) {
  // Moves over the handle also count while no button is down (they refresh splitMax).
  handle_->setMouseTracking(true);
  handle_->installEventFilter(this);
  bar_->installEventFilter(this);
}

void Splitter::OnSplitterMouseDown() {
  window_.layout().BeginSplitterDrag();
  window_.ApplyLayout();
  bar_->show();
  ShowHandle(false);
  movedInDrag_ = false;
}

void Splitter::OnSplitterMouseMove(float y) {
  WindowLayout& layout = window_.layout();
  layout.MoveSplitter(y, window_.outerHeightTwips());
  if (layout.splitMoving()) {
    movedInDrag_ = true;
    window_.ApplyLayout();
  }
}

void Splitter::OnSplitterMouseUp() {
  window_.layout().EndSplitterDrag(movedInDrag_);
  window_.ApplyLayout();
  bar_->hide();
  ShowHandle(true);
}

void Splitter::PlaceSplitterHandle(qint16 pos) {
  window_.layout().PlaceSplitterHandle(pos);
  window_.ApplyLayout();
}

bool Splitter::eventFilter(QObject* watched, QEvent* event) {
  if (watched == bar_) {
    if (event->type() == QEvent::Paint) {
      PaintStrip(*bar_, true);
      return true;
    }
    return false;
  }
  if (watched != handle_) {
    return false;
  }
  switch (event->type()) {
    case QEvent::Paint:
      if (handleShown_) {
        PaintStrip(*handle_, false);
      }
      return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:  // the second press of a double click
      OnHandlePress(*static_cast<QMouseEvent*>(event));
      return true;
    case QEvent::MouseMove:
      OnHandleMove(*static_cast<QMouseEvent*>(event));
      return true;
    case QEvent::MouseButtonRelease:
      OnHandleRelease(*static_cast<QMouseEvent*>(event));
      return true;
    default:
      return false;
  }
}

void Splitter::OnHandlePress(QMouseEvent& event) {
  // While a drag lasts the handle is hidden: another button pressed meanwhile starts nothing.
  if (window_.layout().splitMoving()) {
    return;
  }
  dragButton_ = event.button();
  OnSplitterMouseDown();
}

void Splitter::OnHandleMove(QMouseEvent& event) {
  // The release of the drag's button can be lost, for instance when another program takes the
  // pointer away in the middle of the drag; the drag then ends with the first move without it.
  if (window_.layout().splitMoving() && !event.buttons().testFlag(dragButton_)) {
    OnSplitterMouseUp();
  }
  OnSplitterMouseMove(static_cast<float>(event.position().y() * kTwipsPerPixel));
}

void Splitter::OnHandleRelease(QMouseEvent& event) {
  if (window_.layout().splitMoving() && event.button() == dragButton_) {
    OnSplitterMouseUp();
  }
}

void Splitter::ShowHandle(bool shown) {
  handleShown_ = shown;
  handle_->update();
}

void Splitter::PaintStrip(QWidget& strip, bool active) {
  // A thin line along the middle of the gap between the two boxes: grey for the handle, in the
  // highlight colour for the bar that marks where a drag will leave the splitter.
  QPainter painter(&strip);
  const QPalette& palette = strip.palette();
  const int thickness = active ? 2 : 1;
  const int top = (strip.height() - thickness) / 2;
  painter.fillRect(0, top, strip.width(), thickness,
                   palette.color(active ? QPalette::Highlight : QPalette::Mid));
}

}  // namespace vesko
