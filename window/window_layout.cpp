#include "window/window_layout.h"

#include "window/int16_rounding.h"

#include <algorithm>
#include <cmath>

namespace vesko {

namespace {

constexpr int kDesignClientWidthTwips = 5490;
constexpr int kDesignClientHeightTwips = 1695;
// Resize rules: room right of the text boxes, and below the input box besides the status bar.
constexpr int kWidthMarginTwips = 150;
constexpr int kHeightMarginTwips = 600;
constexpr int kMinResizedWidthTwips = 3000;
constexpr int kMinRoomTwips = 100;
constexpr int kMinClockPanelTwips = 100;
// The splitter's lowest place keeps this much above the status bar.
constexpr int kSplitterLowMarginTwips = 810;
// While dragging, the input box's height is the drag position - the handle's height + 50: its
// bottom edge (its top is at 45) then lies 10 twips above the drag position, where the handle's
// top goes on release.
constexpr int kInputGrowthTwips = 50;
constexpr int kHandleAboveBarTwips = 10;

int WholeTwips(double twips) {
  return static_cast<int>(std::nearbyint(twips));
}

}  // namespace

WindowLayout::WindowLayout() {
  at(Control::kInputLabel) = {0, 45, 615, 255};
  at(Control::kSplitterHandle) = {600, 620, 4095, 105};
  at(Control::kHistoryLabel) = {0, 675, 690, 255};
  at(Control::kSplitterBar) = {600, 1320, 4935, 105};
  at(Control::kInputBox) = {615, 45, 4800, 585};
  at(Control::kHistoryBox) = {585, 720, 4830, 580};
  PlaceStatusBar(kDesignClientWidthTwips, kDesignClientHeightTwips);
}

void WindowLayout::Start(int outerHeightTwips) {
  minWidth_ = kStartMinWidthTwips;
  minHeight_ = RoundToInt16(outerHeightTwips);
  splitMin_ = RoundToInt16(place(Control::kInputBox).bottom());
}

void WindowLayout::GrowMinHeight(int twips) {
  minHeight_ = RoundToInt16(minHeight_ + twips);
}

void WindowLayout::PlaceStatusBar(int clientWidthTwips, int clientHeightTwips) {
  at(Control::kStatusBar) = {0, clientHeightTwips - kStatusBarHeightTwips, clientWidthTwips,
                             kStatusBarHeightTwips};
}

std::optional<int> WindowLayout::ApplyResizeRules(int outerWidthTwips, int outerHeightTwips,
                                                  int creditPanelTwips) {
  std::optional<int> clockPanel;
  if (outerWidthTwips - creditPanelTwips > kMinClockPanelTwips) {
    clockPanel = outerWidthTwips - creditPanelTwips;
  }

  // Windows wider than 33,532 twips give a width beyond 16 bits; it is then taken as 32,767.
  const int w = RoundToInt16(outerWidthTwips - place(Control::kInputBox).left - kWidthMarginTwips);
  if (w > kMinResizedWidthTwips) {
    for (Control control : {Control::kInputBox, Control::kHistoryBox, Control::kSplitterHandle}) {
      at(control).width = w;
    }
  }
  FitHistoryHeight(outerHeightTwips);
  return clockPanel;
}

void WindowLayout::FitHistoryHeight(int outerHeightTwips) {
  const int room = outerHeightTwips - place(Control::kInputBox).height -
                   place(Control::kStatusBar).height - kHeightMarginTwips;
  if (room > kMinRoomTwips) {
    at(Control::kHistoryBox).height = room;
  }
}

void WindowLayout::BeginSplitterDrag() {
  TwipRect& handle = at(Control::kSplitterHandle);
  handle.width = place(Control::kInputBox).width;
  at(Control::kSplitterBar) = handle;
  splitMoving_ = true;
}

void WindowLayout::MoveSplitter(float y, int outerHeightTwips) {
  // A window taller than 32,767 twips plus the status bar and the margin gives a value beyond 16
  // bits; it is then taken as 32,767, the lowest edge the splitter can reach.
  splitMax_ = LowestSplitterPosition(outerHeightTwips);
  if (!splitMoving_) {
    return;
  }

  float pos = static_cast<float>(place(Control::kSplitterHandle).top) + y +
              static_cast<float>(place(Control::kInputBox).top);
  // Not std::clamp: in a window too low for the splitter the lowest place is above the highest.
  if (pos < static_cast<float>(splitMin_)) {
    pos = static_cast<float>(splitMin_);
  } else if (pos > static_cast<float>(splitMax_)) {
    pos = static_cast<float>(splitMax_);
  }
  LayOutAroundSplitter(pos, outerHeightTwips);
}

qint16 WindowLayout::LowestSplitterPosition(int outerHeightTwips) const {
  return RoundToInt16(outerHeightTwips -
                      (place(Control::kStatusBar).height + kSplitterLowMarginTwips));
}

void WindowLayout::LayOutAroundSplitter(float pos, int outerHeightTwips) {
  splitPos_ = pos;
  const auto handleHeight = static_cast<float>(place(Control::kSplitterHandle).height);
  at(Control::kSplitterBar).top = WholeTwips(pos);
  at(Control::kInputBox).height = WholeTwips(pos - handleHeight + kInputGrowthTwips);
  at(Control::kHistoryBox).top = WholeTwips(handleHeight + pos);
  at(Control::kHistoryLabel).top = place(Control::kHistoryBox).top;
  FitHistoryHeight(outerHeightTwips);
}

bool WindowLayout::KeepSplitterWithinLimits(int outerHeightTwips) {
  // A drag keeps itself within the limits with every pointer move.
  if (splitMoving_) {
    return false;
  }
  const qint16 lowest = std::max(LowestSplitterPosition(outerHeightTwips), splitMin_);
  if (place(Control::kSplitterHandle).top + kHandleAboveBarTwips <= lowest) {
    return false;
  }
  LayOutAroundSplitter(lowest, outerHeightTwips);
  PlaceSplitterHandle(lowest);
  return true;
}

void WindowLayout::EndSplitterDrag(bool moved) {
  // A press and release without any move in between is a click, not a drag: the handle stays
  // where it is. Placed 10 twips above the bar, which still marks the handle's own top, it would
  // creep upwards with every click until the input box covered it and it could no longer be
  // grabbed.
  if (moved) {
    PlaceSplitterHandle(RoundToInt16(place(Control::kSplitterBar).top));
  }
  splitMoving_ = false;
}

void WindowLayout::PlaceSplitterHandle(qint16 pos) {
  at(Control::kSplitterHandle).top = RoundToInt16(pos - kHandleAboveBarTwips);
}

}  // namespace vesko
