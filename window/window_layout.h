#pragma once

#include <QtGlobal>

#include <array>
#include <optional>

namespace vesko {

// A control's place in the window: twips, relative to the client area.
struct TwipRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;

  int bottom() const { return top + height; }
  friend bool operator==(const TwipRect&, const TwipRect&) = default;
};

// The controls of the main window whose places the layout keeps.
enum class Control {
  kInputLabel,
  kInputBox,
  kSplitterHandle,
  kHistoryLabel,
  kHistoryBox,
  kSplitterBar,
  kStatusBar,
};

// The geometry of the main window in twips, with no widgets: where each control is, the
// minimum size, the resize rules and the splitter's limits and drag. The window applies the
// places to its widgets; the splitter drives the drag. Sizes named "outer" include the window's
// frame and caption.
class WindowLayout {
 public:
  static constexpr int kStartMinWidthTwips = 4000;
  static constexpr int kStatusBarHeightTwips = 330;

  // Every control at its design place, in the design's client area of 5,490 × 1,695 twips.
  WindowLayout();

  const TwipRect& place(Control control) const { return places_[Index(control)]; }
  void setPlace(Control control, const TwipRect& twips) { places_[Index(control)] = twips; }

  // The layout variables, as 16-bit integers.
  qint16 minWidth() const { return minWidth_; }
  qint16 minHeight() const { return minHeight_; }
  qint16 splitMin() const { return splitMin_; }
  qint16 splitMax() const { return splitMax_; }
  float splitPos() const { return splitPos_; }
  bool splitMoving() const { return splitMoving_; }

  // The start-up measurements: the minimum width, the minimum height (the window's outer height
  // now) and the splitter's upper limit (the input box's bottom edge).
  void Start(int outerHeightTwips);
  // The window manager framed the window after the start-up measurements: the minimum height
  // grows by what the frame added.
  void GrowMinHeight(int twips);
  // The status bar along the bottom edge of the client area, full width.
  void PlaceStatusBar(int clientWidthTwips, int clientHeightTwips);
  // The resize rules for an outer size of at least the minimum: the text boxes and the handle
  // follow the width, the history box the height. Returns the clock panel's new width when the
  // rules give it one (the credit panel keeps `creditPanelTwips`).
  std::optional<int> ApplyResizeRules(int outerWidthTwips, int outerHeightTwips,
                                      int creditPanelTwips);

  // The splitter. A drag starts with the bar in the handle's place, follows the pointer at `y`
  // twips below the handle's top within splitMin and splitMax, and ends with the handle 10
  // twips above the bar (`moved`: some move happened during the drag).
  void BeginSplitterDrag();
  void MoveSplitter(float y, int outerHeightTwips);
  void EndSplitterDrag(bool moved);
  // Puts the handle's top 10 twips above `pos`.
  void PlaceSplitterHandle(qint16 pos);

 private:
  static std::size_t Index(Control control) { return static_cast<std::size_t>(control); }
  TwipRect& at(Control control) { return places_[Index(control)]; }
  // The history box takes the room the window's height leaves below the input box.
  void FitHistoryHeight(int outerHeightTwips);

  std::array<TwipRect, 7> places_;
  qint16 minWidth_ = 0;
  qint16 minHeight_ = 0;
  qint16 splitMin_ = 0;
  qint16 splitMax_ = 0;
  float splitPos_ = 0;
  bool splitMoving_ = false;
};

}  // namespace vesko
