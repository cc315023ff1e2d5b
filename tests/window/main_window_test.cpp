#include "window/main_window.h"
#include "window/status_bar.h"
#include "window/twips.h"

#include "script/script_evaluator.h"

#include "tests/window/window_test_support.h"

#include <QInputMethodEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QtTest>

#include <memory>

#include "tests/test_rows.h"

using namespace Qt::StringLiterals;

using vesko::test::Row;

using vesko::Control;
using vesko::MainWindow;
using vesko::PixelRect;
using vesko::PixelsToTwips;
using vesko::TwipRect;
using vesko::TwipsToPixels;

namespace {

const QString kStartHistory = QStringLiteral(
    "log(1)/log(10)+pe=2.71828182845905\r\n"
    "(12-10)**(4)+sin((60-30)*pi/180)=16.5\r\n");

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<MainWindow> StartedWindow() {
    auto window = vesko::StartWindow(evaluator_);
    return window;
  }

  std::unique_ptr<vesko::ExpressionEvaluator> evaluatorOwner_ = vesko::CreateScriptEvaluator();
  vesko::ExpressionEvaluator& evaluator_ = *evaluatorOwner_;

 private slots:
  void designLayoutBeforeStart_data();
  void designLayoutBeforeStart();
  void fontsShowSimplifiedChinese_data();
  void fontsShowSimplifiedChinese();
  void startUpRowsAndSelection();
  void startUpPlacementAndLayout();
  void enterCommitsWithoutLineBreak_data();
  void enterCommitsWithoutLineBreak();
  void heldReturnCommitsOnce_data();
  void heldReturnCommitsOnce();
  void failedCommitKeepsExpression();
  void inputMethodCommitRunsLikeKeyRelease();
  void pasteWaitsForKeyRelease();
  void hugeInputJudgedByItsCurrentStart();
  void resizeRules_data();
  void resizeRules();
  void minimisedNothingMoves();
  void minimumSizeIsTheWindowManagersToo();
  void pointerMovesReachTheStatusBar_data();
  void pointerMovesReachTheStatusBar();
};

void MainWindowTest::designLayoutBeforeStart_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<TwipRect>("twips");
  QTest::addColumn<bool>("visible");
  Row("Label1", "Label1", TwipRect{0, 45, 615, 255}, true);
  Row("Text1", "Text1", TwipRect{615, 45, 4800, 585}, true);
  Row("imgSplitter", "imgSplitter", TwipRect{600, 620, 4095, 105}, true);
  Row("Label2", "Label2", TwipRect{0, 675, 690, 255}, true);
  Row("Text2", "Text2", TwipRect{585, 720, 4830, 580}, true);
  Row("picSplitter", "picSplitter", TwipRect{600, 1320, 4935, 105}, false);
  Row("StatusBar1", "StatusBar1", TwipRect{0, 1365, 5490, 330}, true);
}

void MainWindowTest::designLayoutBeforeStart() {
  QFETCH(QString, name);
  QFETCH(TwipRect, twips);
  QFETCH(bool, visible);
  MainWindow window(evaluator_);
  auto* control = window.findChild<QWidget*>(name);
  QVERIFY(control);
  QCOMPARE(PlaceOf(window, control), twips);
  QCOMPARE(control->geometry(), PixelRect(twips));
  QCOMPARE(control->isVisibleTo(&window), visible);
  QCOMPARE(window.size(), QSize(TwipsToPixels(5490), TwipsToPixels(1695)));
}

void MainWindowTest::fontsShowSimplifiedChinese_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<double>("points");
  Row("Label1", "Label1", 14.25);
  Row("Label2", "Label2", 14.25);
  Row("Text1", "Text1", 10.5);
  Row("Text2", "Text2", 10.5);
}

void MainWindowTest::fontsShowSimplifiedChinese() {
  QFETCH(QString, name);
  QFETCH(double, points);
  MainWindow window(evaluator_);
  const QFont font = window.findChild<QWidget*>(name)->font();
  QCOMPARE(font.pointSizeF(), points);
  QVERIFY(!font.bold() && !font.italic() && !font.underline() && !font.strikeOut());
  // The font actually used is a Chinese one with Simplified forms (the scripts install Noto CJK),
  // and it has every character the window shows, so none is drawn as a box.
  const QString family = QFontInfo(font).family();
  QVERIFY2(
      QStringList({u"SimSun"_s, u"Noto Serif CJK SC"_s, u"AR PL UMing CN"_s, u"Noto Sans CJK SC"_s})
          .contains(family),
      qPrintable(family));
  const QFontMetrics metrics(font);
  for (const QChar c : QStringLiteral("计算结果表达式错误:0123456789.=+-*/^()")) {
    QVERIFY2(metrics.inFont(c), qPrintable(QString(c)));
  }
}

void MainWindowTest::startUpRowsAndSelection() {
  auto window = StartedWindow();
  QCOMPARE(window->historyText(), kStartHistory);
  QCOMPARE(window->controller().rows().size(), 2);
  QPlainTextEdit* input = window->inputBox();
  QCOMPARE(input->toPlainText(), QStringLiteral("log(1)/log(10)+pe"));
  QCOMPARE(input->textCursor().selectionStart(), 0);
  QCOMPARE(input->textCursor().selectionEnd(), input->toPlainText().size());
  QVERIFY(QTest::qWaitForWindowActive(window.get()));
  QCOMPARE(QApplication::focusWidget(), input);

  // Typing replaces the selected example.
  QTest::keyClicks(input, QStringLiteral("7"));
  QCOMPARE(input->toPlainText(), QStringLiteral("7"));
  QCOMPARE(window->historyText(), QStringLiteral("7\r\n") + kStartHistory.section(u"\r\n"_s, 1));
}

void MainWindowTest::startUpPlacementAndLayout() {
  auto window = StartedWindow();
  QCOMPARE(window->windowTitle(), QStringLiteral("Vesko计算器 2.0"));
  QCOMPARE(window->objectName(), QStringLiteral("Nodrix"));
  QVERIFY(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  QCOMPARE(window->frameGeometry().topLeft(), QPoint(0, 0));
  // The minimum height is the design's client height (1695 twips, 113 pixels) with the frame;
  // that is below 130 pixels here (the offscreen frame is thin), so the start height is kept.
  const QSize frame = window->frameGeometry().size() - window->size();
  QCOMPARE(window->layout().minWidth(), 4000);
  QCOMPARE(window->layout().minHeight(), 1695 + PixelsToTwips(frame.height()));
  QCOMPARE(window->layout().splitMin(), 630);
  QVERIFY(window->layout().minHeight() < PixelsToTwips(130));
  QCOMPARE(window->frameGeometry().size(), QSize(350, 130));
  // 350 px = 5250 twips: w = 5250 - 615 - 150; room = 1950 - 585 - 330 - 600.
  QCOMPARE(window->layout().place(Control::kInputBox).width, 4485);
  QCOMPARE(window->layout().place(Control::kHistoryBox).width, 4485);
  QCOMPARE(window->layout().place(Control::kSplitterHandle).width, 4485);
  QCOMPARE(window->layout().place(Control::kHistoryBox).height, 435);
  QCOMPARE(window->historyBox()->height(), TwipsToPixels(435));
  QCOMPARE(window->statusBar()->geometry(), QRect(0, window->height() - 22, window->width(), 22));
}

void MainWindowTest::enterCommitsWithoutLineBreak_data() {
  QTest::addColumn<int>("key");
  QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
  QTest::addColumn<QString>("firstLine");
  Row("Return", int(Qt::Key_Return), Qt::KeyboardModifiers(), QString());
  Row("keypad Enter", int(Qt::Key_Enter), Qt::KeyboardModifiers(Qt::KeypadModifier), QString());
  // The release of the modifier key that follows is one more key release: the blank input
  // then shows "0.".
  Row("Shift+Return", int(Qt::Key_Return), Qt::KeyboardModifiers(Qt::ShiftModifier), "0.");
}

void MainWindowTest::enterCommitsWithoutLineBreak() {
  QFETCH(int, key);
  QFETCH(Qt::KeyboardModifiers, modifiers);
  QFETCH(QString, firstLine);
  auto window = StartedWindow();
  QPlainTextEdit* input = window->inputBox();
  QTest::keyClicks(input, QStringLiteral("1+2"));
  QCOMPARE(window->historyText().section(u"\r\n"_s, 0, 0), QStringLiteral("3"));

  QTest::keyPress(input, Qt::Key(key), modifiers);
  QCOMPARE(input->toPlainText(), QStringLiteral("1+2"));  // no line break, nothing run yet
  QCOMPARE(window->controller().rows().size(), 2);
  QTest::keyRelease(input, Qt::Key(key), modifiers);

  QCOMPARE(input->toPlainText(), QString());
  // The live row (the second seed until the first key release) became the committed row.
  QCOMPARE(window->historyText(),
           firstLine + QStringLiteral("\r\n1+2=3\r\n") + kStartHistory.section(u"\r\n"_s, 1));
}

void MainWindowTest::heldReturnCommitsOnce_data() {
  // A held key as X11 reports it: a real press, then pairs of repeated release and press (all
  // with the time stamp of the repeat), then the real release. Qt marks a pair as auto-repeat
  // only if the press has already arrived with the release; otherwise both look real.
  QTest::addColumn<bool>("pairMisread");
  Row("pairs marked as repeats", false);
  Row("one pair looks real", true);
}

void MainWindowTest::heldReturnCommitsOnce() {
  QFETCH(bool, pairMisread);
  auto window = StartedWindow();
  QPlainTextEdit* input = window->inputBox();
  QTest::keyClicks(input, QStringLiteral("2*3"));
  const quint32 returnScanCode = 36;  // as from a keyboard, not synthesised
  auto send = [input](QEvent::Type type, bool autoRepeat, quint64 time) {
    QKeyEvent event(type, Qt::Key_Return, Qt::NoModifier, returnScanCode, 0, 0,
                    QStringLiteral("\r"), autoRepeat);
    event.setTimestamp(time);
    QApplication::sendEvent(input, &event);
  };
  send(QEvent::KeyPress, false, 1000);
  for (int i = 1; i <= 4; ++i) {
    const bool repeat = !(pairMisread && i == 2);
    send(QEvent::KeyRelease, repeat, 1500 + 40 * i);
    send(QEvent::KeyPress, repeat, 1500 + 40 * i);
  }
  QTest::qWait(100);
  QCOMPARE(window->controller().rows().size(), 2);
  QCOMPARE(input->toPlainText(), QStringLiteral("2*3"));
  send(QEvent::KeyRelease, false, 1800);
  QTRY_COMPARE(input->toPlainText(), QString());
  QTest::qWait(100);
  QCOMPARE(window->historyText(),
           QStringLiteral("\r\n2*3=6\r\n") + kStartHistory.section(u"\r\n"_s, 1));
}

void MainWindowTest::failedCommitKeepsExpression() {
  auto window = StartedWindow();
  QPlainTextEdit* input = window->inputBox();
  QTest::keyClicks(input, QStringLiteral("1/"));
  input->moveCursor(QTextCursor::Start);
  QTest::keyClick(input, Qt::Key_Return);
  QCOMPARE(input->toPlainText(), QStringLiteral("1/"));
  QCOMPARE(input->textCursor().position(), 2);
  QVERIFY(!input->textCursor().hasSelection());
  QCOMPARE(window->historyText(),
           QStringLiteral("表达式错误:1/\r\n") + kStartHistory.section(u"\r\n"_s, 1));
  // Corrected and committed again: one row, the box cleared.
  QTest::keyClicks(input, QStringLiteral("4"));
  QTest::keyClick(input, Qt::Key_Return);
  QCOMPARE(input->toPlainText(), QString());
  QCOMPARE(window->controller().rows().value(1), QStringLiteral("1/4=0.25"));
  QCOMPARE(window->controller().rows().size(), 3);
}

void MainWindowTest::inputMethodCommitRunsLikeKeyRelease() {
  auto window = StartedWindow();
  QPlainTextEdit* input = window->inputBox();
  const QString before = window->historyText();

  // Composition alone runs nothing.
  QInputMethodEvent compose(QStringLiteral("ｙｉ"), {});
  QApplication::sendEvent(input, &compose);
  QCOMPARE(window->historyText(), before);

  // The committed full-width text replaces the selection and shows live at once.
  QInputMethodEvent commit;
  commit.setCommitString(QStringLiteral("１＋２＊３"));
  QApplication::sendEvent(input, &commit);
  QCOMPARE(input->toPlainText(), QStringLiteral("１＋２＊３"));
  QCOMPARE(window->historyText().section(u"\r\n"_s, 0, 0), QStringLiteral("7"));
  QCOMPARE(window->controller().rows().size(), 2);
}

void MainWindowTest::pasteWaitsForKeyRelease() {
  auto window = StartedWindow();
  QPlainTextEdit* input = window->inputBox();
  const QString before = window->historyText();
  input->insertPlainText(QStringLiteral("6*7"));  // the path a mouse paste takes
  QCOMPARE(input->toPlainText(), QStringLiteral("6*7"));
  QCOMPARE(window->historyText(), before);
  QTest::keyClick(input, Qt::Key_Left);
  QCOMPARE(window->historyText().section(u"\r\n"_s, 0, 0), QStringLiteral("42"));
}

// A huge input is judged by its start alone; once the start has changed, the new start counts.
void MainWindowTest::hugeInputJudgedByItsCurrentStart() {
  auto window = StartedWindow();
  QPlainTextEdit* input = window->inputBox();
  input->setPlainText(QStringLiteral("5"));
  QTest::keyClick(input, Qt::Key_Left);
  input->setPlainText(QString(40000, u'1') + QStringLiteral("\n+2"));
  QTest::keyClick(input, Qt::Key_Left);
  QCOMPARE(window->historyText().section(u"\r\n"_s, 0, 0), QStringLiteral("5"));
  QTextCursor cursor(input->document());
  cursor.setPosition(40000, QTextCursor::KeepAnchor);
  cursor.insertText(QString(40000, u' '));
  QTest::keyClick(input, Qt::Key_Left);
  QCOMPARE(window->historyText().section(u"\r\n"_s, 0, 0), QStringLiteral("2"));
}

void MainWindowTest::resizeRules_data() {
  // Sizes are outer sizes (frame included) in pixels of 15 twips. An expected outer height of 0
  // stands for the minimum height: the start height of the design window with its frame.
  QTest::addColumn<QSize>("request");
  QTest::addColumn<int>("text1Height");  // twips, as a splitter drag may leave it
  QTest::addColumn<QSize>("outer");
  QTest::addColumn<int>("boxWidth");     // twips of Text1, Text2 and the handle, as shown
  QTest::addColumn<int>("text2Height");  // twips; -1: the room the rules give it

  // 4000 twips is 266.7 pixels: the window snaps back to 267 pixels, where the boxes are
  // 3235 twips (216 pixels) wide as at exactly 4000 twips.
  Row("narrower and lower than minimum", QSize(100, 50), 585, QSize(267, 0), 3235, -1);
  Row("narrower only", QSize(120, 300), 585, QSize(267, 300), 3235, -1);
  Row("lower only", QSize(500, 20), 585, QSize(500, 0), 7500 - 615 - 150, -1);
  Row("large", QSize(1000, 700), 585, QSize(1000, 700), 15000 - 765, -1);
  // 40,005 twips: w does not fit in 16 bits and is taken as 32,767.
  Row("wider than 16 bits", QSize(2667, 300), 585, QSize(2667, 300), 32767, -1);
  // A tall input box leaves room <= 100 (1950 - 1000 - 330 - 600 = 20): the history box keeps
  // its start height, 1950 - 585 - 330 - 600.
  Row("no room for history", QSize(400, 130), 1000, QSize(400, 130), 6000 - 765, 435);
  Row("room just above 100", QSize(400, 137), 1000, QSize(400, 137), 6000 - 765, 2055 - 1000 - 930);
}

void MainWindowTest::resizeRules() {
  QFETCH(QSize, request);
  QFETCH(int, text1Height);
  QFETCH(QSize, outer);
  QFETCH(int, boxWidth);
  QFETCH(int, text2Height);
  auto window = StartedWindow();
  const QSize frame = window->frameGeometry().size() - window->size();
  if (outer.height() == 0) {
    outer.setHeight(TwipsToPixels(1695) + frame.height());
  }
  if (text2Height < 0) {
    text2Height = PixelsToTwips(outer.height()) - text1Height - 330 - 600;
  }
  TwipRect input = window->layout().place(Control::kInputBox);
  input.height = text1Height;
  window->layout().setPlace(Control::kInputBox, input);

  window->resize(request - frame);
  QTRY_COMPARE(window->frameGeometry().size(), outer);
  for (QWidget* box :
       {static_cast<QWidget*>(window->inputBox()), static_cast<QWidget*>(window->historyBox()),
        static_cast<QWidget*>(window->splitterHandle())}) {
    QCOMPARE(box->width(), TwipsToPixels(boxWidth));
    QVERIFY(qAbs(PlaceOf(*window, box).width - boxWidth) < vesko::kTwipsPerPixel);
  }
  QCOMPARE(window->layout().place(Control::kHistoryBox).height, text2Height);
  QCOMPARE(window->historyBox()->height(), TwipsToPixels(text2Height));
  // The left edges never move, and the status bar stays at the bottom, full width.
  QCOMPARE(window->inputBox()->x(), TwipsToPixels(615));
  QCOMPARE(window->historyBox()->x(), TwipsToPixels(585));
  const QSize client = outer - frame;
  QCOMPARE(window->statusBar()->geometry(),
           QRect(0, client.height() - TwipsToPixels(330), client.width(), TwipsToPixels(330)));
  QCOMPARE(window->statusBar()->panelWidthTwips(vesko::StatusPanel::kCredit), 3450);
  QCOMPARE(window->statusBar()->panelWidthTwips(vesko::StatusPanel::kClock),
           PixelsToTwips(outer.width()) - 3450);
}

void MainWindowTest::minimisedNothingMoves() {
  auto window = StartedWindow();
  QHash<QWidget*, TwipRect> before;
  for (QWidget* control : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    before.insert(control, PlaceOf(*window, control));
  }
  window->showMinimized();
  QTRY_VERIFY(window->isMinimized());
  window->resize(500, 300);
  QCOMPARE(window->size(), QSize(500, 300));
  for (auto it = before.cbegin(); it != before.cend(); ++it) {
    QCOMPARE(PlaceOf(*window, it.key()), it.value());
    QCOMPARE(it.key()->geometry(), PixelRect(it.value()));
  }
  window->showNormal();
  // Restored, the rules run: the boxes follow the new width.
  QTRY_COMPARE(window->layout().place(Control::kInputBox).width,
               vesko::PixelsToTwips(window->frameGeometry().width()) - 615 - 150);
}

void MainWindowTest::minimumSizeIsTheWindowManagersToo() {
  auto window = StartedWindow();
  const QSize frame = window->frameGeometry().size() - window->size();
  // 4000 twips are 266.7 pixels: 267 outer pixels at the least.
  QCOMPARE(window->minimumSize() + frame, QSize(267, TwipsToPixels(1695) + frame.height()));
  window->resize(10, 10);
  QCOMPARE(window->frameGeometry().size(), window->minimumSize() + frame);
}

void MainWindowTest::pointerMovesReachTheStatusBar_data() {
  // Where the pointer moves (client pixels) and whether the status bar's underline survives.
  QTest::addColumn<QPoint>("where");
  QTest::addColumn<bool>("underlined");
  Row("window background", QPoint(5, 30), false);
  Row("Text1", QPoint(TwipsToPixels(1500), TwipsToPixels(300)), false);
  Row("Text2", QPoint(TwipsToPixels(1500), TwipsToPixels(1000)), false);
  Row("Label1", QPoint(TwipsToPixels(300), TwipsToPixels(150)), true);
  Row("Label2", QPoint(TwipsToPixels(300), TwipsToPixels(800)), true);
  Row("splitter handle", QPoint(TwipsToPixels(2000), TwipsToPixels(660)), true);
}

void MainWindowTest::pointerMovesReachTheStatusBar() {
  QFETCH(QPoint, where);
  QFETCH(bool, underlined);
  auto window = StartedWindow();
  vesko::StatusBar* bar = window->statusBar();
  QTest::mouseMove(bar, bar->rect().center());
  QTRY_VERIFY(bar->linkUnderlined());
  QTest::mouseMove(window.get(), where);
  QTest::qWait(20);
  QCOMPARE(bar->linkUnderlined(), underlined);
}

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
