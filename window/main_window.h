#pragma once

#include "engine/calculation_controller.h"
#include "engine/evaluator.h"

#include <QHash>
#include <QSize>
#include <QString>
#include <QWidget>

#include <memory>

class QLabel;
class QPlainTextEdit;

namespace vesko {

class HistoryBox;
class HistoryFile;
class KeptHistory;
class Splitter;
class StatusBar;

// A control's place in the window: twips, relative to the client area.
struct TwipRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;

  friend bool operator==(const TwipRect&, const TwipRect&) = default;
};

// The calculator's one window, the form "Nodrix": the input box Text1, the history box Text2,
// their labels, the splitter handle and its drag feedback bar, and the status bar. It holds the
// calculation controller and hands it the key events of the input box, runs the start-up
// sequence and keeps the layout in step with the window's size (the resize rules).
//
// Every position and size of a control is kept in twips; the widgets get them converted to
// device-independent pixels. The window's own sizes in the rules are outer sizes (frame and
// caption included), as the platform reports them.
class MainWindow : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kStartMinWidthTwips = 4000;
  // Top-most placement at start, in pixels of the outer window.
  static constexpr int kStartOuterWidthPixels = 350;
  static constexpr int kStartOuterHeightPixels = 130;

  explicit MainWindow(ExpressionEvaluator& evaluator, QWidget* parent = nullptr);
  ~MainWindow() override;

  // The start-up sequence: minimum size, top-most placement at (0, 0), which shows the window,
  // the two example rows, the selection of the input text and the first rendering of the history.
  // Runs once; later calls do nothing.
  void Load();
  // The resize rules, run on every resize of the window.
  void ApplyResizeRules();

  // Keeps the committed rows in `file` (not owned) and shows those of earlier runs below the
  // start examples. Set before Load; without it nothing is restored or kept.
  void setHistoryFile(HistoryFile* file) { historyFile_ = file; }
  // The history kept across runs and its context menu; null before Load.
  KeptHistory* keptHistory() const { return keptHistory_; }

  CalculationController& controller() { return *controller_; }

  QPlainTextEdit* text1() const { return text1_; }
  QPlainTextEdit* text2() const { return text2_; }
  QLabel* label1() const { return label1_; }
  QLabel* label2() const { return label2_; }
  QLabel* imgSplitter() const { return imgSplitter_; }
  QLabel* picSplitter() const { return picSplitter_; }
  StatusBar* statusBar() const { return statusBar_; }
  Splitter* splitter() const { return splitter_; }

  // The text of the history box with its line ends as CR LF, the form RenderHistory writes.
  QString historyText() const;

  // Geometry of a control of this window, in twips relative to the client area.
  TwipRect controlTwips(const QWidget* control) const;
  void setControlTwips(QWidget* control, const TwipRect& twips);

  int outerWidthTwips() const;
  int outerHeightTwips() const;
  // Sets the outer width or height; the client area is what remains after the frame.
  void setOuterWidthTwips(int twips);
  void setOuterHeightTwips(int twips);
  int statusBarHeightTwips() const;

  // Layout variables; the splitter shares them.
  qint16 minWidth() const { return minWidth_; }
  qint16 minHeight() const { return minHeight_; }
  bool splitMoving() const { return splitMoving_; }
  void setSplitMoving(bool moving) { splitMoving_ = moving; }
  qint16 splitMin() const { return splitMin_; }
  qint16 splitMax() const { return splitMax_; }
  void setSplitMax(qint16 value) { splitMax_ = value; }
  float splitPos() const { return splitPos_; }
  void setSplitPos(float value) { splitPos_ = value; }

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void changeEvent(QEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateControls();
  QSize FramePixels() const;
  void PlaceOnTop();
  void FollowFrame();
  void KeepStatusBarAtBottom();
  void SetHistoryText(const QString& text);
  void OnPointerLeftLink();

  QLabel* label1_ = nullptr;
  QPlainTextEdit* text1_ = nullptr;
  QLabel* imgSplitter_ = nullptr;
  QLabel* label2_ = nullptr;
  QPlainTextEdit* text2_ = nullptr;
  HistoryBox* historyBox_ = nullptr;  // keeps text2_ in step with the rows
  QLabel* picSplitter_ = nullptr;
  StatusBar* statusBar_ = nullptr;
  Splitter* splitter_ = nullptr;  // a child object of the window
  QHash<const QWidget*, TwipRect> twips_;

  std::unique_ptr<CalculationController> controller_;

  qint16 minWidth_ = 0;
  qint16 minHeight_ = 0;
  bool splitMoving_ = false;
  qint16 splitMin_ = 0;
  qint16 splitMax_ = 0;
  float splitPos_ = 0;

  bool loaded_ = false;
  // The frame the window had when the start-up sequence measured it. Window managers frame a
  // window only once it is shown; the first change of the frame after start redoes the outer
  // measurements of the start-up sequence, so that they refer to the framed window.
  QSize startFrame_;
  bool frameFollowed_ = false;

  HistoryFile* historyFile_ = nullptr;
  KeptHistory* keptHistory_ = nullptr;  // a child object of the window
};

}  // namespace vesko
