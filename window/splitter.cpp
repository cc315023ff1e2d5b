#include "window/splitter.h"

#include "window/twips.h"
#include "window/window_layout.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QWidget>

#include <utility>

namespace vesko {

Splitter::Splitter(WindowLayout& layout, QWidget* handle, QWidget* bar,
                   std::function<int()> outerHeightTwips, QObject* parent)
    : QObject(parent),
      layout_(layout),
      handle_(handle),
      bar_(bar),
      outerHeightTwips_(std::move(outerHeightTwips)) {
  // Moves over the handle also count while no button is down (they refresh splitMax).
  handle_->setMouseTracking(true);
  handle_->installEventFilter(this);
  bar_->installEventFilter(this);
}

void Splitter::OnSplitterMouseDown() {
  layout_.BeginSplitterDrag();
  emit placesChanged();
  bar_->show();
  ShowHandle(false);
  movedInDrag_ = false;
}

void Splitter::OnSplitterMouseMove(float y) {
  layout_.MoveSplitter(y, outerHeightTwips_());
  if (layout_.splitMoving()) {
    movedInDrag_ = true;
    emit placesChanged();
  }
}

void Splitter::OnSplitterMouseUp() {
  layout_.EndSplitterDrag(movedInDrag_);
  emit placesChanged();
  bar_->hide();
  ShowHandle(true);
}

void Splitter::PlaceSplitterHandle(qint16 pos) {
  layout_.PlaceSplitterHandle(pos);
  emit placesChanged();
}

void Splitter::KeepWithinLimits() {
  if (layout_.KeepSplitterWithinLimits(outerHeightTwips_())) {
    emit placesChanged();
  }
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
  if (layout_.splitMoving()) {
    return;
  }
  dragButton_ = event.button();
  OnSplitterMouseDown();
}

void Splitter::OnHandleMove(QMouseEvent& event) {
  // The release of the drag's button can be lost, for instance when another program takes the
  // pointer away in the middle of the drag; the drag then ends with the first move without it.
  if (layout_.splitMoving() && !event.buttons().testFlag(dragButton_)) {
    OnSplitterMouseUp();
  }
  OnSplitterMouseMove(static_cast<float>(event.position().y() * kTwipsPerPixel));
}

void Splitter::OnHandleRelease(QMouseEvent& event) {
  if (layout_.splitMoving() && event.button() == dragButton_) {
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
