#include "window/main_window.h"

#include "window/accessible_descriptions.h"
#include "window/commit_announcer.h"
#include "window/detectable_auto_repeat.h"
#include "window/expression_recall.h"
#include "window/history_box_editor.h"
#include "window/history_text_box.h"
#include "window/input_text_box.h"
#include "window/kept_history.h"
#include "window/pane_cycling.h"
#include "window/song_font.h"
#include "window/splitter.h"
#include "window/status_bar.h"
#include "window/text_zoom.h"
#include "window/twips.h"

#include <QFont>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QStringList>
#include <QTextCursor>
#include <QTextDocument>

#include <utility>

namespace vesko {

namespace {

// Space between a text box's border and its text, as narrow as in the design's text boxes.
constexpr int kTextBoxMarginTwips = 30;

void SetUpTextBox(QPlainTextEdit* box, const QString& name) {
  box->setObjectName(name);
  box->setFont(SongFont(10.5));
  box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  // Expressions are one long word: looking for a word boundary in each line of a wrapped
  // 30,000-character expression takes tens of milliseconds per key, breaking anywhere a few.
  box->setWordWrapMode(QTextOption::WrapAnywhere);
  box->setTabChangesFocus(true);
  box->document()->setDocumentMargin(TwipsToPixels(kTextBoxMarginTwips));
  box->viewport()->setMouseTracking(true);
}

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& caption) {
  auto* label = new QLabel(caption, parent);
  label->setObjectName(name);
  label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  return label;
}

}  // namespace

MainWindow::MainWindow(ExpressionEvaluator& evaluator, QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("Nodrix"));
  setWindowTitle(QStringLiteral("Vesko计算器 2.0"));
  setMouseTracking(true);
  CreateControls();
  DescribeControls(*this);

  controller_ = std::make_unique<CalculationController>(
      evaluator, *inputBox_,
      HostOperations{
          .setInputText = [this](const QString& text) { inputBox_->setPlainText(text); },
          .focusInput = [this] { inputBox_->setFocus(Qt::OtherFocusReason); },
          .setHistoryText = [this](const QString& text) { SetHistoryText(text); },
          // A key release changes only the top rows; the history box is edited there instead
          // of being rewritten whole, as long as it still holds what was last rendered.
          .editHistoryTop =
              [this](qsizetype renderedTopRows, const QStringList& newTop) {
                return historyEditor_->ReplaceTopRows(renderedTopRows, newTop);
              },
          .moveInputCaretToEnd = [this] { inputBox_->moveCursor(QTextCursor::End); },
      });

  announcer_ = std::make_unique<CommitAnnouncer>(*statusBar_);
  inputBox_->onCommitRequested = [this] {
    announcer_->CommitRequested(controller_->rows());
    controller_->RequestCommit();
  };
  inputBox_->onKeyReleased = [this] {
    controller_->UpdateFromInput();
    announcer_->RunFinished(controller_->rows());
  };
  recall_ = std::make_unique<ExpressionRecall>(*controller_, *inputBox_);
  inputBox_->onRecall = [this](bool older) { return recall_->Step(older); };
}

MainWindow::~MainWindow() = default;

void MainWindow::CreateControls() {
  // The design's client area; the window is not shown before the start-up sequence places it.
  resize(TwipsToPixels(5490), TwipsToPixels(1695));

  // Creation order is stacking order: the labels lie beneath the text boxes, so the splitter
  // handle, which overlaps both boxes a little, can only be grabbed in the gap between them.
  inputLabel_ = MakeLabel(this, QStringLiteral("Label1"), QStringLiteral("计算"));
  inputLabel_->setFont(SongFont(14.25));

  splitterHandle_ = MakeLabel(this, QStringLiteral("imgSplitter"), QString());
  splitterHandle_->setCursor(Qt::SizeVerCursor);

  historyLabel_ = MakeLabel(this, QStringLiteral("Label2"), QStringLiteral("结果"));
  historyLabel_->setFont(SongFont(14.25));

  splitterBar_ = MakeLabel(this, QStringLiteral("picSplitter"), QString());
  splitterBar_->hide();

  inputBox_ = new InputTextBox(this, EnableDetectableAutoRepeat());
  SetUpTextBox(inputBox_, QStringLiteral("Text1"));
  inputBox_->viewport()->installEventFilter(this);

  // The history box stays editable: what the user types there is replaced by the next rendering.
  historyBox_ = new HistoryTextBox(this);
  SetUpTextBox(historyBox_, QStringLiteral("Text2"));
  historyBox_->viewport()->installEventFilter(this);
  historyEditor_ = new HistoryBoxEditor(historyBox_);
  setTabOrder(inputBox_, historyBox_);

  statusBar_ = new StatusBar(this);
  statusBar_->setFocusPolicy(Qt::NoFocus);
  // The status bar handles the pointer moves over itself; they must not reach the background.
  statusBar_->setAttribute(Qt::WA_NoMousePropagation);

  widgets_ = {inputLabel_, inputBox_,    splitterHandle_, historyLabel_,
              historyBox_, splitterBar_, statusBar_};
  ApplyLayout();

  // Takes the handle's pointer events and paints the handle and the feedback bar.
  splitter_ = new Splitter(
      layout_, splitterHandle_, splitterBar_, [this] { return outerHeightTwips(); }, this);
  connect(splitter_, &Splitter::placesChanged, this, &MainWindow::ApplyLayout);
  textZoom_ = new TextZoom({inputBox_, historyBox_}, this);
  new PaneCycling(inputBox_, historyBox_, statusBar_, this);
}

void MainWindow::Load() {
  if (loaded_) {
    return;
  }
  loaded_ = true;
  layout_.Start(outerHeightTwips());
  TellMinimumSize();
  PlaceOnTop();  // shows the window; the resize rules run on the resulting resize
  controller_->SeedExample(QStringLiteral("(12-10)**(4)+sin((60-30)*pi/180)"));
  controller_->SeedExample(QStringLiteral("log(1)/log(10)+pe"));
  inputBox_->selectAll();
  controller_->RenderHistory();
  keptHistory_ =
      new KeptHistory(*controller_, inputBox_, historyBox_, historyEditor_, historyFile_, this);
}

void MainWindow::PlaceOnTop() {
  // Kept above all ordinary windows for the window's whole life, at the top-left corner of the
  // screen, with the start-up outer size.
  setWindowFlag(Qt::WindowStaysOnTopHint, true);
  startFrame_ = FramePixels();
  move(0, 0);
  resize(kStartOuterWidthPixels - startFrame_.width(),
         kStartOuterHeightPixels - startFrame_.height());
  inputBox_->setFocus(Qt::OtherFocusReason);  // tab index 0
  show();                                     // a newly mapped window is at the top of the stack
}

void MainWindow::FollowFrame() {
  if (!loaded_ || frameFollowed_) {
    return;
  }
  const QSize frame = FramePixels();
  if (frame == startFrame_) {
    return;
  }
  // The window manager has framed the window since the start-up sequence measured it: the
  // minimum height is the framed start height, and the start-up placement's outer size is
  // applied again to the framed window.
  frameFollowed_ = true;
  layout_.GrowMinHeight(PixelsToTwips(frame.height() - startFrame_.height()));
  TellMinimumSize();
  resize(kStartOuterWidthPixels - frame.width(), kStartOuterHeightPixels - frame.height());
  ApplyResizeRules();
}

void MainWindow::ApplyResizeRules() {
  if (isMinimized()) {
    return;
  }
  if (outerWidthTwips() < layout_.minWidth()) {
    setOuterWidthTwips(layout_.minWidth());
  }
  if (outerHeightTwips() < layout_.minHeight()) {
    setOuterHeightTwips(layout_.minHeight());
  }
  if (const auto clockPanel =
          layout_.ApplyResizeRules(outerWidthTwips(), outerHeightTwips(),
                                   statusBar_->panelWidthTwips(StatusPanel::kCredit))) {
    statusBar_->setPanelWidthTwips(StatusPanel::kClock, *clockPanel);
  }
  ApplyLayout();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (!loaded_ || isMinimized()) {
    return;
  }
  KeepStatusBarAtBottom();
  FollowFrame();
  ApplyResizeRules();
  splitter_->KeepWithinLimits();
}

void MainWindow::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  FollowFrame();
}

void MainWindow::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  // Restoring a minimised window counts as a resize, whether or not the size changed meanwhile.
  if (event->type() == QEvent::WindowStateChange && loaded_ && !isMinimized() &&
      static_cast<QWindowStateChangeEvent*>(event)->oldState().testFlag(Qt::WindowMinimized)) {
    KeepStatusBarAtBottom();
    ApplyResizeRules();
    splitter_->KeepWithinLimits();
  }
}

void MainWindow::mouseMoveEvent(QMouseEvent* event) {
  // Only moves over the bare window background arrive here; the labels take none.
  OnPointerLeftLink();
  QWidget::mouseMoveEvent(event);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseMove &&
      (watched == inputBox_->viewport() || watched == historyBox_->viewport())) {
    OnPointerLeftLink();
  }
  return QWidget::eventFilter(watched, event);
}

void MainWindow::OnPointerLeftLink() {
  statusBar_->OnPointerLeftLink();
}

void MainWindow::KeepStatusBarAtBottom() {
  layout_.PlaceStatusBar(PixelsToTwips(width()), PixelsToTwips(height()));
  ApplyLayout();
}

void MainWindow::SetHistoryText(const QString& text) {
  // The rows are joined with CR LF; the box shows each line end as one line break.
  historyEditor_->SetText(text, controller_->rows());
}

QString MainWindow::historyText() const {
  QString text = historyBox_->toPlainText();
  text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
  return text;
}

void MainWindow::ApplyLayout() {
  for (std::size_t i = 0; i < widgets_.size(); ++i) {
    const TwipRect& twips = layout_.place(static_cast<Control>(i));
    const QRect pixels(TwipsToPixels(twips.left), TwipsToPixels(twips.top),
                       TwipsToPixels(twips.width), TwipsToPixels(twips.height));
    if (widgets_[i]->geometry() != pixels) {
      widgets_[i]->setGeometry(pixels);
    }
  }
}

QSize MainWindow::FramePixels() const {
  return frameGeometry().size() - size();
}

int MainWindow::outerWidthTwips() const {
  return PixelsToTwips(frameGeometry().width());
}

int MainWindow::outerHeightTwips() const {
  return PixelsToTwips(frameGeometry().height());
}

namespace {
// Pixels for an outer size of at least `twips`, so that a minimum is never missed by rounding.
int PixelsCovering(int twips) {
  int pixels = TwipsToPixels(twips);
  if (PixelsToTwips(pixels) < twips) {
    ++pixels;
  }
  return pixels;
}
}  // namespace

void MainWindow::setOuterWidthTwips(int twips) {
  resize(PixelsCovering(twips) - FramePixels().width(), height());
}

void MainWindow::setOuterHeightTwips(int twips) {
  resize(width(), PixelsCovering(twips) - FramePixels().height());
}

void MainWindow::TellMinimumSize() {
  // The resize rules snap a window back that became smaller than minWidth x minHeight, but window
  // managers ignore size requests while the user drags the frame. The minimum also goes to the
  // window manager (as a size hint of the client area), so that the frame cannot be dragged
  // smaller in the first place.
  const QSize frame = FramePixels();
  setMinimumSize(PixelsCovering(layout_.minWidth()) - frame.width(),
                 PixelsCovering(layout_.minHeight()) - frame.height());
}

}  // namespace vesko
