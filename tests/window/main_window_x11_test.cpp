// The main window on a real X server with a window manager (run through tests/run_under_x.sh):
// stacking, placement of the frame, and keys typed through the X server.

#include "window/feedback_mail.h"
#include "window/main_window.h"
#include "window/status_bar.h"
#include "window/twips.h"

#include "script/script_evaluator.h"

#include "tests/window/window_test_support.h"
#include "tests/window/x11_test_support.h"

#include <QPlainTextEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QTextBlock>
#include <QtTest>

#include <memory>

#include "tests/test_rows.h"
#include "tests/window/mail_catcher.h"

using vesko::test::Row;

using vesko::Control;
using vesko::MainWindow;
using vesko::RunTool;
using vesko::WindowId;

namespace {

// The windows the window manager lists, bottom of the stack first.
QList<quintptr> StackingOrder() {
  const QString out =
      RunTool(QStringLiteral("xprop"),
              {QStringLiteral("-root"), QStringLiteral("_NET_CLIENT_LIST_STACKING")});
  QList<quintptr> ids;
  static const QRegularExpression hex(QStringLiteral("0x[0-9a-fA-F]+"));
  for (const auto& match : hex.globalMatch(out)) {
    ids.append(match.captured().toULongLong(nullptr, 16));
  }
  return ids;
}

// Counts the presses and releases of one key that reach a widget.
class KeyEventCounter : public QObject {
 public:
  explicit KeyEventCounter(int key) : key_(key) {}
  int presses = 0;
  int releases = 0;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if ((event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) &&
        static_cast<QKeyEvent*>(event)->key() == key_) {
      ++(event->type() == QEvent::KeyPress ? presses : releases);
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  int key_;
};

// Counts the evaluations the window asks of the real evaluator.
class CountingEvaluator : public vesko::ExpressionEvaluator {
 public:
  int evaluations = 0;

  vesko::Evaluation Evaluate(const QString& expression) override {
    ++evaluations;
    return inner_->Evaluate(expression);
  }

 private:
  std::unique_ptr<vesko::ExpressionEvaluator> inner_ = vesko::CreateScriptEvaluator();
};

}  // namespace

class MainWindowX11Test : public QObject {
  Q_OBJECT

 private:
  // A started window, mapped and framed by the window manager.
  std::unique_ptr<MainWindow> StartedWindow() {
    auto window = vesko::StartWindow(evaluator_);
    vesko::WaitUntilFramed(*window);
    return window;
  }

  bool Activate(const QWidget& widget) {
    RunTool(QStringLiteral("xdotool"),
            {QStringLiteral("windowactivate"), QStringLiteral("--sync"), WindowId(widget)});
    return QTest::qWaitForWindowActive(const_cast<QWidget*>(&widget));
  }

  CountingEvaluator evaluator_;

 private slots:
  void initTestCase();
  void framedAtOriginWithStartSize();
  void staysAboveLaterNormalWindow();
  void typedKeysReachTheController();
  void heldReturnCommitsOnce();
  void typedKeyCalculatesOnce_data();
  void typedKeyCalculatesOnce();
  void heldDigitCalculatesPerRepeat();
  void frameDragStopsAtMinimumSize();
  void doubleClickOnPanelOpensOneMail();
  void bothStartRowsShowInTheHistoryBox();
};

void MainWindowX11Test::initTestCase() {
  if (QGuiApplication::platformName() != QLatin1String("xcb")) {
    QSKIP("needs an X server (run through tests/run_under_x.sh)");
  }
}

void MainWindowX11Test::framedAtOriginWithStartSize() {
  auto window = StartedWindow();
  const QString id = WindowId(*window);

  QVERIFY(
      RunTool(QStringLiteral("xprop"), {QStringLiteral("-id"), id, QStringLiteral("_NET_WM_STATE")})
          .contains(QLatin1String("_NET_WM_STATE_ABOVE")));

  // The frame's top-left corner, from the X server: where the client window is, less the frame
  // extents the window manager announces.
  const QString extents = RunTool(
      QStringLiteral("xprop"), {QStringLiteral("-id"), id, QStringLiteral("_NET_FRAME_EXTENTS")});
  static const QRegularExpression four(QStringLiteral("(\\d+), (\\d+), (\\d+), (\\d+)"));
  const auto frame = four.match(extents);
  QVERIFY2(frame.hasMatch(), qPrintable(extents));
  const QString info = RunTool(QStringLiteral("xwininfo"), {QStringLiteral("-id"), id});
  static const QRegularExpression absX(QStringLiteral("Absolute upper-left X:\\s+(-?\\d+)"));
  static const QRegularExpression absY(QStringLiteral("Absolute upper-left Y:\\s+(-?\\d+)"));
  const int clientX = absX.match(info).captured(1).toInt();
  const int clientY = absY.match(info).captured(1).toInt();
  const qreal scale = window->devicePixelRatioF();
  // X works in device pixels; on a scaled screen a frame edge of an odd number of them puts the
  // frame up to one device-independent pixel off the corner (Qt rounds the frame to whole ones).
  const int frameX = clientX - frame.captured(1).toInt();
  const int frameY = clientY - frame.captured(3).toInt();
  QVERIFY2(frameX >= 0 && frameX < scale && frameY >= 0 && frameY < scale,
           qPrintable(QStringLiteral("frame at %1, %2").arg(frameX).arg(frameY)));
  QCOMPARE(window->frameGeometry().topLeft(), QPoint(0, 0));

  // The outer width is the start-up width. The minimum height is the design's client height with
  // the frame; the outer height is that or the start-up 130 pixels, whichever is more (openbox's
  // caption makes it more at scale 1, less at scale 2, where the caption is not scaled).
  const int frameTwips =
      vesko::PixelsToTwips(1) * (frame.captured(3).toInt() + frame.captured(4).toInt()) / scale;
  QCOMPARE(window->frameGeometry().width(), MainWindow::kStartOuterWidthPixels);
  QVERIFY2(qAbs(window->layout().minHeight() - (1695 + frameTwips)) < vesko::kTwipsPerPixel,
           qPrintable(QString::number(window->layout().minHeight())));
  QCOMPARE(window->outerHeightTwips(),
           qMax<int>(window->layout().minHeight(),
                     vesko::PixelsToTwips(MainWindow::kStartOuterHeightPixels)));
}

void MainWindowX11Test::staysAboveLaterNormalWindow() {
  auto window = StartedWindow();
  QWidget other;
  other.setWindowTitle(QStringLiteral("an ordinary window"));
  other.setGeometry(20, 20, 500, 400);  // covers the calculator
  other.show();
  QVERIFY(QTest::qWaitForWindowExposed(&other));
  QVERIFY(Activate(other));
  other.raise();
  QTest::qWait(200);

  const QList<quintptr> stack = StackingOrder();
  const qsizetype ours = stack.indexOf(window->winId());
  const qsizetype theirs = stack.indexOf(other.winId());
  QVERIFY(ours >= 0);
  QVERIFY(theirs >= 0);
  QVERIFY2(ours > theirs, "the calculator is below a window mapped after it");
}

void MainWindowX11Test::typedKeysReachTheController() {
  auto window = StartedWindow();
  QVERIFY(Activate(*window));
  QVERIFY(window->inputBox()->hasFocus());
  RunTool(QStringLiteral("xdotool"), {QStringLiteral("type"), QStringLiteral("--delay"),
                                      QStringLiteral("40"), QStringLiteral("7*6")});
  QTRY_COMPARE(window->controller().rows().value(0), QStringLiteral("42"));
  RunTool(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("Return")});
  QTRY_COMPARE(window->controller().rows().value(1), QStringLiteral("7*6=42"));
  QCOMPARE(window->controller().rows().value(0), QString());
  QCOMPARE(window->inputBox()->toPlainText(), QString());
}

void MainWindowX11Test::heldReturnCommitsOnce() {
  auto window = StartedWindow();
  QVERIFY(Activate(*window));
  KeyEventCounter counter(Qt::Key_Return);
  window->inputBox()->installEventFilter(&counter);
  RunTool(QStringLiteral("xdotool"), {QStringLiteral("type"), QStringLiteral("--delay"),
                                      QStringLiteral("40"), QStringLiteral("5*5")});
  QTRY_COMPARE(window->controller().rows().value(0), QStringLiteral("25"));

  // Held for longer than the X server's auto-repeat delay: several presses, one release.
  RunTool(QStringLiteral("xdotool"), {QStringLiteral("keydown"), QStringLiteral("Return")});
  QTest::qWait(1500);
  RunTool(QStringLiteral("xdotool"), {QStringLiteral("keyup"), QStringLiteral("Return")});
  QTRY_COMPARE(window->inputBox()->toPlainText(), QString());
  QTest::qWait(300);
  QVERIFY2(counter.presses >= 2, qPrintable(QStringLiteral("%1 presses").arg(counter.presses)));
  QCOMPARE(window->controller().rows(),
           QStringList({QString(), QStringLiteral("5*5=25"),
                        QStringLiteral("(12-10)**(4)+sin((60-30)*pi/180)=16.5")}));
}

void MainWindowX11Test::typedKeyCalculatesOnce_data() {
  // The text after "7" and the key, and the calculations the key costs: one for a key that
  // changes the text, none for one that leaves it as the last calculation saw it.
  QTest::addColumn<QString>("key");
  QTest::addColumn<QString>("live");
  QTest::addColumn<int>("evaluations");
  Row("digit", "4", "74", 1);
  Row("typed with Shift", "plus", "7", 1);
  Row("Ctrl+A selects all", "ctrl+a", "7", 0);
  Row("Shift+Left selects", "shift+Left", "7", 0);
}

void MainWindowX11Test::typedKeyCalculatesOnce() {
  QFETCH(QString, key);
  QFETCH(QString, live);
  QFETCH(int, evaluations);
  auto window = StartedWindow();
  QVERIFY(Activate(*window));
  RunTool(QStringLiteral("xdotool"), {QStringLiteral("type"), QStringLiteral("7")});
  QTRY_COMPARE(window->controller().rows().value(0), QStringLiteral("7"));
  QTest::qWait(100);

  // One key, with its modifier pressed before and released after it.
  evaluator_.evaluations = 0;
  RunTool(QStringLiteral("xdotool"),
          {QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("60"), key});
  QTest::qWait(300);
  QCOMPARE(window->controller().rows().value(0), live);
  QCOMPARE(evaluator_.evaluations, evaluations);
}

void MainWindowX11Test::heldDigitCalculatesPerRepeat() {
  auto window = StartedWindow();
  QVERIFY(Activate(*window));
  RunTool(QStringLiteral("xdotool"), {QStringLiteral("type"), QStringLiteral("1+")});
  QTRY_COMPARE(window->inputBox()->toPlainText(), QStringLiteral("1+"));
  QTest::qWait(100);
  evaluator_.evaluations = 0;
  KeyEventCounter counter(Qt::Key_5);
  window->inputBox()->installEventFilter(&counter);

  RunTool(QStringLiteral("xdotool"), {QStringLiteral("keydown"), QStringLiteral("5")});
  QTest::qWait(1000);
  RunTool(QStringLiteral("xdotool"), {QStringLiteral("keyup"), QStringLiteral("5")});
  QTest::qWait(300);

  // The server reported the held key as presses and one release, with nothing to wait for.
  const QString typed = window->inputBox()->toPlainText();
  const qsizetype presses = typed.size() - 2;
  QVERIFY2(presses >= 3, qPrintable(typed));
  QCOMPARE(typed, QStringLiteral("1+") + QString(presses, u'5'));
  QCOMPARE(counter.presses, presses);
  QCOMPARE(counter.releases, 1);
  // Every repeated press showed the value of what it typed; the release found nothing new.
  QCOMPARE(evaluator_.evaluations, presses - 1);
  QCOMPARE(window->controller().rows().value(0),
           evaluator_.Evaluate(QStringLiteral("1+") + QString(presses, u'5')).text);
}

void MainWindowX11Test::frameDragStopsAtMinimumSize() {
  auto window = StartedWindow();
  // WM_NORMAL_HINTS carries the minimum of the client area, in device pixels.
  const qreal scale = window->devicePixelRatioF();
  const QString hints = RunTool(QStringLiteral("xprop"), {QStringLiteral("-id"), WindowId(*window),
                                                          QStringLiteral("WM_NORMAL_HINTS")});
  QVERIFY2(hints.contains(QStringLiteral("minimum size: %1 by %2")
                              .arg(qRound(window->minimumWidth() * scale))
                              .arg(qRound(window->minimumHeight() * scale))),
           qPrintable(hints));

  // Drag the frame's bottom-right corner with the mouse far up and left, beyond the minimum.
  const QPoint corner = window->frameGeometry().bottomRight() * scale;
  auto xdotool = [](const QStringList& arguments) {
    RunTool(QStringLiteral("xdotool"), arguments);
  };
  xdotool({QStringLiteral("mousemove"), QString::number(corner.x()), QString::number(corner.y())});
  QTest::qWait(100);
  xdotool({QStringLiteral("mousedown"), QStringLiteral("1")});
  for (int step = 1; step <= 10; ++step) {
    QTest::qWait(30);
    xdotool({QStringLiteral("mousemove"), QString::number(corner.x() * (10 - step) / 10 + 5),
             QString::number(corner.y() * (10 - step) / 10 + 5)});
  }
  QTest::qWait(200);
  // While the button is still down the window is no smaller than its minimum: the rules'
  // snap-back is a size request, which the window manager ignores during the drag. Only the X
  // server knows the size at this moment; the toolkit takes its own request for granted.
  const QString info =
      RunTool(QStringLiteral("xwininfo"), {QStringLiteral("-id"), WindowId(*window)});
  xdotool({QStringLiteral("mouseup"), QStringLiteral("1")});
  QTest::qWait(300);
  static const QRegularExpression geometry(QStringLiteral("Width: (\\d+)\\s+Height: (\\d+)"));
  const auto size = geometry.match(info);
  QVERIFY2(size.hasMatch(), qPrintable(info));
  const QSize frame = window->frameGeometry().size() - window->size();
  const int outerWidth =
      vesko::PixelsToTwips(qFloor(size.captured(1).toInt() / scale) + frame.width());
  const int outerHeight =
      vesko::PixelsToTwips(qFloor(size.captured(2).toInt() / scale) + frame.height());
  QVERIFY2(outerWidth >= window->layout().minWidth() && outerHeight >= window->layout().minHeight(),
           qPrintable(QStringLiteral("%1 x %2 client pixels while dragging")
                          .arg(size.captured(1), size.captured(2))));

  // The drag did shrink the window, down to the minimum and no further.
  QCOMPARE(window->size(), window->minimumSize());
  QVERIFY(window->outerWidthTwips() >= window->layout().minWidth());
  QVERIFY(window->outerHeightTwips() >= window->layout().minHeight());
  QVERIFY(window->outerWidthTwips() < window->layout().minWidth() + vesko::kTwipsPerPixel);
  QVERIFY(window->outerHeightTwips() < window->layout().minHeight() + vesko::kTwipsPerPixel);
}

void MainWindowX11Test::doubleClickOnPanelOpensOneMail() {
  vesko::test::MailCatcher handler;
  auto window = StartedWindow();
  vesko::StatusBar* bar = window->statusBar();
  const QPoint onCredit = bar->mapToGlobal(bar->panelRect(vesko::StatusPanel::kCredit).center()) *
                          window->devicePixelRatioF();
  RunTool(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QString::number(onCredit.x()),
                                      QString::number(onCredit.y())});
  RunTool(QStringLiteral("xdotool"),
          {QStringLiteral("click"), QStringLiteral("--repeat"), QStringLiteral("2"),
           QStringLiteral("--delay"), QStringLiteral("80"), QStringLiteral("1")});
  QTRY_COMPARE(handler.urls.size(), 1);
  QTest::qWait(300);
  QCOMPARE(handler.urls.size(), 1);
  QVERIFY(handler.urls.front().toEncoded().startsWith(
      "mailto:" + vesko::FeedbackAddress().toUtf8() + '?'));
}

void MainWindowX11Test::bothStartRowsShowInTheHistoryBox() {
  auto window = StartedWindow();
  // The start height with openbox's frame at scale 1: the history box is 555 twips (37 pixels).
  const int frame = window->frameGeometry().height() - window->height();
  window->resize(window->width(), 138 - frame);
  QTRY_COMPARE(window->layout().place(Control::kHistoryBox).height, 555);
  QTest::qWait(200);

  // Both rows are laid out within the box's visible area...
  QPlainTextEdit* history = window->historyBox();
  QWidget* viewport = history->viewport();
  QTextDocument* document = history->document();
  QCOMPARE(document->blockCount(), 3);  // the two rows and the empty line after the last CR LF
  const QTextBlock second = document->findBlockByNumber(1);
  QCOMPARE(second.text(), QStringLiteral("(12-10)**(4)+sin((60-30)*pi/180)=16.5"));
  QTextCursor endOfSecond(second);
  endOfSecond.movePosition(QTextCursor::EndOfBlock);
  const QRect secondLine = history->cursorRect(endOfSecond);
  QVERIFY2(secondLine.bottom() < viewport->height(),
           qPrintable(QStringLiteral("second row ends at %1 of %2 pixels")
                          .arg(secondLine.bottom() + 1)
                          .arg(viewport->height())));

  // ...and so on the screen: the X server's picture of the box has ink in both halves, and none in
  // its bottom rows, which a row cut through the middle would reach.
  const QPoint topLeft = viewport->mapTo(window.get(), QPoint(0, 0));
  const QImage picture = window->screen()
                             ->grabWindow(window->winId(), topLeft.x(), topLeft.y(),
                                          viewport->width(), viewport->height())
                             .toImage();
  QVERIFY(!picture.isNull());
  const qreal scale = picture.devicePixelRatio();
  QList<bool> inkedRows;
  for (int y = 0; y < picture.height(); ++y) {
    bool ink = false;
    for (int x = 0; x < picture.width() && !ink; ++x) {
      ink = qGray(picture.pixel(x, y)) < 128;
    }
    inkedRows.append(ink);
  }
  const int half = picture.height() / 2;
  QVERIFY(inkedRows.mid(0, half).contains(true));
  QVERIFY(inkedRows.mid(half).contains(true));
  QVERIFY2(!inkedRows.mid(picture.height() - qCeil(2 * scale)).contains(true),
           "ink in the bottom rows of the history box: the second row is cut");
}

QTEST_MAIN(MainWindowX11Test)
#include "main_window_x11_test.moc"
