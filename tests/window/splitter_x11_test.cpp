// The splitter dragged with the real pointer of an X server (through tests/run_under_x.sh):
// xdotool presses the button on the handle, moves the pointer, also out of the window, and
// releases it there.

#include "window/main_window.h"
#include "window/splitter.h"
#include "window/twips.h"

#include "script/script_evaluator.h"

#include "tests/window/window_test_support.h"
#include "tests/window/x11_test_support.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QtTest>

#include <memory>

using vesko::Control;
using vesko::MainWindow;
using vesko::PixelRect;
using vesko::PixelsToTwips;
using vesko::RunTool;
using vesko::TwipRect;

namespace {

constexpr int kOuterHeightPixels = 400;  // 6000 twips: the lowest drag position is 4860
// 3 pixels (45 twips) into the handle, which lies at pixel row 41 of the client area.
constexpr QPoint kPressPoint(150, 44);

// Moves the X pointer to a point given in the window's client pixels (device-independent).
void MovePointer(const QWidget& window, QPoint client) {
  const QPoint global = window.mapToGlobal(client) * window.devicePixelRatioF();
  RunTool(QStringLiteral("xdotool"),
          {QStringLiteral("mousemove"), QString::number(global.x()), QString::number(global.y())});
}

void Button(const QString& action) {
  RunTool(QStringLiteral("xdotool"), {action, QStringLiteral("1")});
}

}  // namespace

class SplitterX11Test : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<MainWindow> StartedWindow() {
    auto window = vesko::StartWindow(evaluator_);
    vesko::WaitUntilFramed(*window);
    const int frame = window->frameGeometry().height() - window->height();
    window->resize(window->width(), kOuterHeightPixels - frame);
    if (!QTest::qWaitFor([&] { return window->frameGeometry().height() == kOuterHeightPixels; })) {
      qWarning("window not resized");
    }
    return window;
  }

  std::unique_ptr<vesko::ExpressionEvaluator> evaluatorOwner_ = vesko::CreateScriptEvaluator();
  vesko::ExpressionEvaluator& evaluator_ = *evaluatorOwner_;

 private slots:
  void initTestCase();
  void realDrag_data();
  void realDrag();
};

void SplitterX11Test::initTestCase() {
  if (QGuiApplication::platformName() != QLatin1String("xcb")) {
    QSKIP("needs an X server (run through tests/run_under_x.sh)");
  }
}

void SplitterX11Test::realDrag_data() {
  // Where the button is released, in client pixels, and the drag position that gives (twips):
  // 620 + (row - 41) * 15 + 45, kept between 630 and 6000 - 330 - 810.
  QTest::addColumn<QPoint>("release");
  QTest::addColumn<int>("barTop");
  QTest::newRow("inside the window") << QPoint(150, 100) << 1550;
  QTest::newRow("right of the window") << QPoint(500, 150) << 2300;
  QTest::newRow("below the window") << QPoint(150, 600) << 4860;
  QTest::newRow("on the window's caption") << QPoint(150, -5) << 630;
}

void SplitterX11Test::realDrag() {
  QFETCH(QPoint, release);
  QFETCH(int, barTop);
  auto window = StartedWindow();
  QCOMPARE(window->frameGeometry().height(), kOuterHeightPixels);
  QLabel* handle = window->splitterHandle();
  const TwipRect handleBefore = PlaceOf(*window, handle);
  QCOMPARE(handleBefore.top, 620);

  // Hovering over the handle refreshes splitMax and changes nothing else.
  MovePointer(*window, kPressPoint);
  QTRY_COMPARE(window->layout().splitMax(), 6000 - 330 - 810);
  QCOMPARE(QApplication::widgetAt(window->mapToGlobal(kPressPoint)), handle);

  Button(QStringLiteral("mousedown"));
  QTRY_VERIFY(window->layout().splitMoving());
  QVERIFY(!window->splitter()->handleShown());
  QVERIFY(window->splitterBar()->isVisible());

  MovePointer(*window, (kPressPoint + release) / 2);
  MovePointer(*window, release);
  // The move away from the handle, even out of the window, still reached it.
  QTRY_COMPARE(window->layout().place(Control::kSplitterBar).top, barTop);
  QVERIFY(window->layout().splitMoving());
  QCOMPARE(PlaceOf(*window, handle).top, 620);

  Button(QStringLiteral("mouseup"));
  QTRY_VERIFY(!window->layout().splitMoving());
  QVERIFY(window->splitter()->handleShown());
  QVERIFY(!window->splitterBar()->isVisible());
  QCOMPARE(PlaceOf(*window, handle).top, barTop - 10);

  const TwipRect input = window->layout().place(Control::kInputBox);
  const TwipRect history = window->layout().place(Control::kHistoryBox);
  QCOMPARE(input.height, barTop - 55);
  QCOMPARE(history.top, barTop + 105);
  QCOMPARE(history.height, 6000 - input.height - 330 - 600);
  QCOMPARE(window->layout().place(Control::kHistoryLabel).top, history.top);
  for (QWidget* control : {static_cast<QWidget*>(handle), static_cast<QWidget*>(window->inputBox()),
                           static_cast<QWidget*>(window->historyBox())}) {
    QCOMPARE(control->geometry(), PixelRect(PlaceOf(*window, control)));
  }

  // The handle shows again where it was put: a second drag grabs it there and follows the
  // pointer from its new top.
  const int handleRow = handle->geometry().top();
  const QPoint grip(kPressPoint.x(), handleRow + 3);
  MovePointer(*window, grip);
  QTRY_COMPARE(QApplication::widgetAt(window->mapToGlobal(grip)), handle);
  Button(QStringLiteral("mousedown"));
  QTRY_VERIFY(window->layout().splitMoving());
  MovePointer(*window, QPoint(150, 200));
  const int second = qBound(630, barTop - 10 + PixelsToTwips(200 - handleRow) + 45, 4860);
  QTRY_COMPARE(window->layout().place(Control::kSplitterBar).top, second);
  Button(QStringLiteral("mouseup"));
  QTRY_VERIFY(!window->layout().splitMoving());
  QCOMPARE(PlaceOf(*window, handle).top, second - 10);
}

QTEST_MAIN(SplitterX11Test)
#include "splitter_x11_test.moc"
