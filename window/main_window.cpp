#include "window/main_window.h"

#include "window/history_box.h"
#include "window/int16_rounding.h"
#include "window/kept_history.h"
#include "window/song_font.h"
#include "window/splitter.h"
#include "window/status_bar.h"
#include "window/twips.h"

#include <QFont>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <optional>
#include <utility>

namespace vesko {

namespace {

constexpr int kWidthMarginTwips = 150;  // resize rules: room right of the text boxes
constexpr int kHeightMarginTwips = 600;
constexpr int kMinResizedWidthTwips = 3000;
constexpr int kMinRoomTwips = 100;
constexpr int kMinPanel2WidthTwips = 100;
// Space between a text box's border and its text, as narrow as in the design's text boxes.
constexpr int kTextBoxMarginTwips = 30;

// The shift state handed to the key-release handler: 1 Shift, 2 Ctrl, 4 Alt.
int ShiftState(Qt::KeyboardModifiers modifiers) {
  int shift = 0;
  if (modifiers & Qt::ShiftModifier) {
    shift |= 1;
  }
  if (modifiers & Qt::ControlModifier) {
    shift |= 2;
  }
  if (modifiers & Qt::AltModifier) {
    shift |= 4;
  }
  return shift;
}

// The character code a key press hands to the key-press handler: 13 for Return and Enter
// (main keyboard or keypad, whatever the modifiers), the code of the typed character for other
// character keys, 0 for keys that type nothing (arrows, Shift, function keys...).
int KeyAsciiOf(const QKeyEvent& event) {
  if (event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter) {
    return CalculationController::kEnterKey;
  }
  const QString text = event.text();
  if (text.size() == 1) {
    return text.at(0).unicode();
  }
  return 0;
}

// How long the release of a key from the keyboard waits for a repeated press of the same key
// with the same time stamp, which unmasks it as part of a held key.
constexpr int kRepeatCheckMs = 30;

// The input box: a multi-line text box whose key presses and releases go to the controller.
class InputTextBox : public QPlainTextEdit {
 public:
  explicit InputTextBox(QWidget* parent) : QPlainTextEdit(parent) {
    releaseTimer_.setSingleShot(true);
    releaseTimer_.setInterval(kRepeatCheckMs);
    releaseTimer_.callOnTimeout([this] { FlushRelease(); });
  }

  std::function<void(int&)> onKeyPress;
  std::function<void(int, int)> onKeyUp;

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (pending_.has_value()) {
      if (pending_->key == event->key() && pending_->timestamp == event->timestamp()) {
        // The release just before was the first half of a repeat: the key is still held.
        pending_.reset();
        releaseTimer_.stop();
      } else {
        FlushRelease();
      }
    }
    const int original = KeyAsciiOf(*event);
    if (original != 0 && onKeyPress) {
      int keyAscii = original;
      onKeyPress(keyAscii);
      if (keyAscii == 0) {
        // Swallowed (Enter): nothing is inserted.
        event->accept();
        return;
      }
    }
    QPlainTextEdit::keyPressEvent(event);
  }

  // A held key gives several presses and one real release. X11 also delivers a release before
  // each repeated press, marked as auto-repeat; those are dropped. Qt recognises such a pair only
  // when the press has already arrived with the release, so a release from the keyboard is held
  // back until a press of the same key with the same time stamp shows it was one (or a moment
  // passes, or another event comes). Synthesised key events carry no scan code and run at once.
  void keyReleaseEvent(QKeyEvent* event) override {
    QPlainTextEdit::keyReleaseEvent(event);
    if (event->isAutoRepeat()) {
      return;
    }
    FlushRelease();
    const PendingRelease release{event->key(), ShiftState(event->modifiers()), event->timestamp()};
    if (event->nativeScanCode() != 0) {
      pending_ = release;
      releaseTimer_.start();
      return;
    }
    if (onKeyUp) {
      onKeyUp(release.key, release.shift);
    }
  }

  // Text from an input method (Chinese, Japanese, ... input) is committed without any key
  // release reaching the box; the commit is handled like a key release once the text is in,
  // so that such input shows live as well. Composition alone (pre-edit text) runs nothing.
  void inputMethodEvent(QInputMethodEvent* event) override {
    FlushRelease();
    const bool commits = !event->commitString().isEmpty();
    QPlainTextEdit::inputMethodEvent(event);
    if (commits && onKeyUp) {
      onKeyUp(0, 0);
    }
  }

 private:
  struct PendingRelease {
    int key;
    int shift;
    quint64 timestamp;
  };

  void FlushRelease() {
    if (!pending_.has_value()) {
      return;
    }
    const PendingRelease release = *pending_;
    pending_.reset();
    releaseTimer_.stop();
    if (onKeyUp) {
      onKeyUp(release.key, release.shift);
    }
  }

  std::optional<PendingRelease> pending_;
  QTimer releaseTimer_;
};

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

  HostOperations host;
  host.inputText = [this] { return text1_->toPlainText(); };
  host.setInputText = [this](const QString& text) { text1_->setPlainText(text); };
  host.focusInput = [this] { text1_->setFocus(Qt::OtherFocusReason); };
  host.setHistoryText = [this](const QString& text) { SetHistoryText(text); };
  controller_ = std::make_unique<CalculationController>(evaluator, std::move(host));
  // A key release changes only the top rows; the history box is edited there instead of being
  // rewritten whole, as long as it still holds what was last rendered.
  controller_->setHistoryTopEditor([this](qsizetype renderedTopRows, const QStringList& newTop) {
    return historyBox_->ReplaceTopRows(renderedTopRows, newTop);
  });

  auto* input = static_cast<InputTextBox*>(text1_);
  input->onKeyPress = [this](int& keyAscii) { controller_->OnInputKeyPress(keyAscii); };
  input->onKeyUp = [this](int keyCode, int shift) { controller_->OnInputKeyUp(keyCode, shift); };
}

MainWindow::~MainWindow() = default;

void MainWindow::CreateControls() {
  // The design's client area; the window is not shown before the start-up sequence places it.
  resize(TwipsToPixels(5490), TwipsToPixels(1695));

  // Creation order is stacking order: the labels lie beneath the text boxes, so the splitter
  // handle, which overlaps both boxes a little, can only be grabbed in the gap between them.
  label1_ = MakeLabel(this, QStringLiteral("Label1"), QStringLiteral("计算"));
  label1_->setFont(SongFont(14.25));
  setControlTwips(label1_, {0, 45, 615, 255});

  imgSplitter_ = MakeLabel(this, QStringLiteral("imgSplitter"), QString());
  imgSplitter_->setCursor(Qt::SizeVerCursor);
  setControlTwips(imgSplitter_, {600, 620, 4095, 105});

  label2_ = MakeLabel(this, QStringLiteral("Label2"), QStringLiteral("结果"));
  label2_->setFont(SongFont(14.25));
  setControlTwips(label2_, {0, 675, 690, 255});

  picSplitter_ = MakeLabel(this, QStringLiteral("picSplitter"), QString());
  setControlTwips(picSplitter_, {600, 1320, 4935, 105});
  picSplitter_->hide();

  text1_ = new InputTextBox(this);
  SetUpTextBox(text1_, QStringLiteral("Text1"));
  setControlTwips(text1_, {615, 45, 4800, 585});
  text1_->viewport()->installEventFilter(this);

  // The history box stays editable: what the user types there is replaced by the next rendering.
  text2_ = new QPlainTextEdit(this);
  SetUpTextBox(text2_, QStringLiteral("Text2"));
  setControlTwips(text2_, {585, 720, 4830, 580});
  text2_->viewport()->installEventFilter(this);
  historyBox_ = new HistoryBox(text2_);
  setTabOrder(text1_, text2_);

  statusBar_ = new StatusBar(this);
  statusBar_->setFocusPolicy(Qt::NoFocus);
  // The status bar handles the pointer moves over itself; they must not reach the background.
  statusBar_->setAttribute(Qt::WA_NoMousePropagation);
  KeepStatusBarAtBottom();

  // Takes the handle's pointer events and paints the handle and the feedback bar.
  splitter_ = new Splitter(*this);
}

void MainWindow::Load() {
  if (loaded_) {
    return;
  }
  loaded_ = true;
  minWidth_ = kStartMinWidthTwips;
  minHeight_ = RoundToInt16(outerHeightTwips());
  const TwipRect input = controlTwips(text1_);
  splitMin_ = RoundToInt16(input.top + input.height);
  PlaceOnTop();  // shows the window; the resize rules run on the resulting resize
  controller_->setLiveRow(0);
  controller_->SeedExample(QStringLiteral("(12-10)**(4)+sin((60-30)*pi/180)"));
  controller_->SeedExample(QStringLiteral("log(1)/log(10)+pe"));
  text1_->selectAll();
  controller_->RenderHistory();
  keptHistory_ = new KeptHistory(*controller_, text2_, historyFile_, this);
}

void MainWindow::PlaceOnTop() {
  // Kept above all ordinary windows for the window's whole life, at the top-left corner of the
  // screen, with the start-up outer size.
  setWindowFlag(Qt::WindowStaysOnTopHint, true);
  startFrame_ = FramePixels();
  move(0, 0);
  resize(kStartOuterWidthPixels - startFrame_.width(),
         kStartOuterHeightPixels - startFrame_.height());
  text1_->setFocus(Qt::OtherFocusReason);  // tab index 0
  show();                                  // a newly mapped window is at the top of the stack
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
  minHeight_ = RoundToInt16(minHeight_ + PixelsToTwips(frame.height() - startFrame_.height()));
  resize(kStartOuterWidthPixels - frame.width(), kStartOuterHeightPixels - frame.height());
  ApplyResizeRules();
}

void MainWindow::ApplyResizeRules() {
  if (isMinimized()) {
    return;
  }
  if (outerWidthTwips() < minWidth_) {
    setOuterWidthTwips(minWidth_);
  }
  if (outerHeightTwips() < minHeight_) {
    setOuterHeightTwips(minHeight_);
  }
  const int outerWidth = outerWidthTwips();
  const int outerHeight = outerHeightTwips();

  const int panel1 = statusBar_->panelWidthTwips(1);
  if (outerWidth - panel1 > kMinPanel2WidthTwips) {
    statusBar_->setPanelWidthTwips(2, outerWidth - panel1);
  }

  TwipRect input = controlTwips(text1_);
  // Windows wider than 33,532 twips give a w beyond 16 bits; it is then taken as 32,767.
  const int w = RoundToInt16(outerWidth - input.left - kWidthMarginTwips);
  if (w > kMinResizedWidthTwips) {
    input.width = w;
    setControlTwips(text1_, input);
    TwipRect history = controlTwips(text2_);
    history.width = w;
    setControlTwips(text2_, history);
    TwipRect handle = controlTwips(imgSplitter_);
    handle.width = w;
    setControlTwips(imgSplitter_, handle);
  }

  const int room = outerHeight - input.height - statusBarHeightTwips() - kHeightMarginTwips;
  if (room > kMinRoomTwips) {
    TwipRect history = controlTwips(text2_);
    history.height = room;
    setControlTwips(text2_, history);
  }
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (!loaded_ || isMinimized()) {
    return;
  }
  KeepStatusBarAtBottom();
  FollowFrame();
  ApplyResizeRules();
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
  }
}

void MainWindow::mouseMoveEvent(QMouseEvent* event) {
  // Only moves over the bare window background arrive here; the labels take none.
  OnPointerLeftLink();
  QWidget::mouseMoveEvent(event);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseMove &&
      (watched == text1_->viewport() || watched == text2_->viewport())) {
    OnPointerLeftLink();
  }
  return QWidget::eventFilter(watched, event);
}

void MainWindow::OnPointerLeftLink() {
  statusBar_->OnPointerLeftLink();
}

void MainWindow::KeepStatusBarAtBottom() {
  // The status bar is aligned to the bottom edge of the client area, full width.
  const int clientWidth = PixelsToTwips(width());
  const int clientHeight = PixelsToTwips(height());
  setControlTwips(statusBar_, {0, clientHeight - StatusBar::kHeightTwips, clientWidth,
                               StatusBar::kHeightTwips});
}

void MainWindow::SetHistoryText(const QString& text) {
  // The rows are joined with CR LF; the box shows each line end as one line break.
  historyBox_->SetText(text, controller_->rows());
}

QString MainWindow::historyText() const {
  QString text = text2_->toPlainText();
  text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
  return text;
}

TwipRect MainWindow::controlTwips(const QWidget* control) const {
  return twips_.value(control);
}

void MainWindow::setControlTwips(QWidget* control, const TwipRect& twips) {
  twips_.insert(control, twips);
  control->setGeometry(TwipsToPixels(twips.left), TwipsToPixels(twips.top),
                       TwipsToPixels(twips.width), TwipsToPixels(twips.height));
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

int MainWindow::statusBarHeightTwips() const {
  return controlTwips(statusBar_).height;
}

}  // namespace vesko
