#pragma once

#include "engine/calculation_controller.h"
#include "engine/evaluator.h"
#include "window/history_text_box.h"
#include "window/input_text_box.h"
#include "window/window_layout.h"

#include <QSize>
#include <QString>
#include <QWidget>

#include <array>
#include <memory>

class QLabel;
class QPlainTextEdit;

namespace vesko {

class CommitAnnouncer;
class ExpressionRecall;
class HistoryBoxEditor;
class HistoryFile;
class KeptHistory;
class Splitter;
class StatusBar;
class TextZoom;

// The calculator's one window (Qt object name "Nodrix"): the input box, the history box,
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
  // Top-most placement at start, in pixels of the outer window.
  static constexpr int kStartOuterWidthPixels = 350;
  static constexpr int kStartOuterHeightPixels = 130;

  explicit MainWindow(ExpressionEvaluator& evaluator, QWidget* parent = nullptr);
  ~MainWindow() override;

  // The start-up sequence: minimum size, top-most placement at (0, 0), which shows the window,
  // the two example rows, the selection of the input text and the first rendering of the history.
  // Runs once; later calls do nothing.
  void Load();

  // Keeps the committed rows in `file` (not owned) and shows those of earlier runs below the
  // start examples. Set before Load; without it nothing is restored or kept.
  void setHistoryFile(HistoryFile* file) { historyFile_ = file; }
  // The history kept across runs and its context menu; null before Load.
  KeptHistory* keptHistory() const { return keptHistory_; }

  CalculationController& controller() { return *controller_; }

  InputTextBox* inputBox() const { return inputBox_; }
  QPlainTextEdit* historyBox() const { return historyBox_; }
  QLabel* inputLabel() const { return inputLabel_; }
  QLabel* historyLabel() const { return historyLabel_; }
  QLabel* splitterHandle() const { return splitterHandle_; }
  QLabel* splitterBar() const { return splitterBar_; }
  StatusBar* statusBar() const { return statusBar_; }
  HistoryBoxEditor* historyEditor() const { return historyEditor_; }
  Splitter* splitter() const { return splitter_; }
  // The text size of the two boxes (Ctrl+Plus, Ctrl+Minus, Ctrl+0, Ctrl+wheel).
  TextZoom* textZoom() const { return textZoom_; }

  // The text of the history box with its line ends as CR LF, the form RenderHistory writes.
  QString historyText() const;

  // The geometry in twips, with the minimum size and the splitter's limits. A change made here
  // reaches the widgets with the next resize of the window or move of the splitter.
  const WindowLayout& layout() const { return layout_; }
  WindowLayout& layout() { return layout_; }

  int outerWidthTwips() const;
  int outerHeightTwips() const;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void changeEvent(QEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateControls();
  // The resize rules, run on every resize of the window.
  void ApplyResizeRules();
  // Gives every control the place the layout holds for it.
  void ApplyLayout();
  // Sets the outer width or height; the client area is what remains after the frame.
  void setOuterWidthTwips(int twips);
  void setOuterHeightTwips(int twips);
  QSize FramePixels() const;
  void PlaceOnTop();
  void FollowFrame();
  void TellMinimumSize();
  void KeepStatusBarAtBottom();
  void SetHistoryText(const QString& text);
  void OnPointerLeftLink();

  QLabel* inputLabel_ = nullptr;
  InputTextBox* inputBox_ = nullptr;
  QLabel* splitterHandle_ = nullptr;
  QLabel* historyLabel_ = nullptr;
  HistoryTextBox* historyBox_ = nullptr;
  HistoryBoxEditor* historyEditor_ = nullptr;  // keeps historyBox_ in step with the rows
  QLabel* splitterBar_ = nullptr;
  StatusBar* statusBar_ = nullptr;
  Splitter* splitter_ = nullptr;  // a child object of the window
  TextZoom* textZoom_ = nullptr;  // a child object of the window
  std::unique_ptr<CommitAnnouncer> announcer_;
  // The widget of each control, in the order of Control.
  std::array<QWidget*, 7> widgets_{};
  WindowLayout layout_;

  std::unique_ptr<CalculationController> controller_;
  std::unique_ptr<ExpressionRecall> recall_;  // Up and Down in the input box

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
