#include "window/splitter.h"

#include "window/int16_rounding.h"
#include "window/main_window.h"
#include "window/twips.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>

#include <cmath>

namespace vesko {

namespace {

// While dragging, the input box's height is the drag position - the handle's height + 50. Its
// bottom edge (its top is at 45) then lies 10 twips above the drag position, where the handle's top
// goes on release.
constexpr int kInputGrowthTwips = 50;
constexpr int kHandleAboveBarTwips = 10;
constexpr int kStatusBarMarginTwips = 810;
constexpr int kHeightMarginTwips = 600;
constexpr int kMinRoomTwips = 100;

int WholeTwips(double twips) {
  return static_cast<int>(std::nearbyint(twips));
}

}  // namespace

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
  TwipRect handle = window_.controlTwips(handle_);
  handle.width = window_.controlTwips(window_.inputBox()).width;
  window_.setControlTwips(handle_, handle);
  window_.setControlTwips(bar_, handle);
  bar_->show();
  ShowHandle(false);
  window_.setSplitMoving(true);
  movedInDrag_ = false;
}

void Splitter::OnSplitterMouseMove(float y) {
  // A window taller than 32,767 twips plus the status bar and the margin gives a value beyond 16
  // bits; it is then taken as 32,767, the lowest edge the splitter can reach.
  window_.setSplitMax(RoundToInt16(window_.outerHeightTwips() -
                                   (window_.statusBarHeightTwips() + kStatusBarMarginTwips)));
  if (!window_.splitMoving()) {
    return;
  }
  movedInDrag_ = true;

  const TwipRect handle = window_.controlTwips(handle_);
  TwipRect input = window_.controlTwips(window_.inputBox());
  float pos = static_cast<float>(handle.top) + y + static_cast<float>(input.top);
  if (pos < window_.splitMin()) {
    pos = window_.splitMin();
  } else if (pos > window_.splitMax()) {
    pos = window_.splitMax();
  }
  window_.setSplitPos(pos);

  TwipRect bar = window_.controlTwips(bar_);
  bar.top = WholeTwips(pos);
  window_.setControlTwips(bar_, bar);

  input.height = WholeTwips(pos - handle.height + kInputGrowthTwips);
  window_.setControlTwips(window_.inputBox(), input);

  TwipRect history = window_.controlTwips(window_.historyBox());
  history.top = WholeTwips(handle.height + pos);
  window_.setControlTwips(window_.historyBox(), history);

  TwipRect caption = window_.controlTwips(window_.historyLabel());
  caption.top = history.top;
  window_.setControlTwips(window_.historyLabel(), caption);

  // The resize rules' room for the history box, applied live.
  const int room = window_.outerHeightTwips() - input.height - window_.statusBarHeightTwips() -
                   kHeightMarginTwips;
  if (room > kMinRoomTwips) {
    history.height = room;
    window_.setControlTwips(window_.historyBox(), history);
  }
}

void Splitter::OnSplitterMouseUp() {
  // A press and release without any move in between is a click, not a drag: the handle stays
  // where it is. Placed 10 twips above the bar, which still marks the handle's own top, it would
  // creep upwards with every click until the input box covered it and it could no longer be
  // grabbed.
  if (movedInDrag_) {
    PlaceSplitterHandle(RoundToInt16(window_.controlTwips(bar_).top));
  }
  bar_->hide();
  ShowHandle(true);
  window_.setSplitMoving(false);
}

void Splitter::PlaceSplitterHandle(qint16 pos) {
  TwipRect handle = window_.controlTwips(handle_);
  handle.top = RoundToInt16(pos - kHandleAboveBarTwips);
  window_.setControlTwips(handle_, handle);
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
  if (window_.splitMoving()) {
    return;
  }
  dragButton_ = event.button();
  OnSplitterMouseDown();
}

void Splitter::OnHandleMove(QMouseEvent& event) {
  // The release of the drag's button can be lost, for instance when another program takes the
  // pointer away in the middle of the drag; the drag then ends with the first move without it.
  if (window_.splitMoving() && !event.buttons().testFlag(dragButton_)) {
    OnSplitterMouseUp();
  }
  OnSplitterMouseMove(static_cast<float>(event.position().y() * kTwipsPerPixel));
}

void Splitter::OnHandleRelease(QMouseEvent& event) {
  if (window_.splitMoving() && event.button() == dragButton_) {
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
