// The splitter driven through the window's pointer events, as the platform delivers them: the
// press on the handle, moves and the release go through the window, so a move or a release away
// from the handle reaches it only while the handle keeps the pointer.

#include "window/splitter.h"
#include "window/main_window.h"
#include "window/status_bar.h"
#include "window/twips.h"

#include "script/script_evaluator.h"

#include "tests/window/window_test_support.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QtTest>

#include <memory>

using vesko::Control;
using vesko::MainWindow;
using vesko::PixelRect;
using vesko::PixelsToTwips;
using vesko::TwipRect;

namespace {

// The handle after start-up lies at 620 twips, pixel row 41 (41.3 rounded), 7 pixels high. A
// press at row 44 is 3 pixels (45 twips) into it; a move to row r then gives the drag position
// 620 + (r - 41) * 15 + 45 (the top of Text1) = 15 r + 50 twips.
constexpr QPoint kPressPoint(150, 44);

constexpr int kStatusBarTwips = 330;

QList<QWidget*> Controls(const MainWindow& window) {
  return {window.inputLabel(),   window.inputBox(),   window.splitterHandle(),
          window.historyLabel(), window.historyBox(), window.splitterBar()};
}

// Counts the pixels of a colour in a picture of a widget, in device-independent pixels.
int PixelsOfColour(QWidget* widget, const QColor& colour) {
  const QImage image = widget->grab().toImage();
  int count = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      count += image.pixelColor(x, y).rgb() == colour.rgb() ? 1 : 0;
    }
  }
  return qRound(count / (image.devicePixelRatio() * image.devicePixelRatio()));
}

}  // namespace

class SplitterTest : public QObject {
  Q_OBJECT

 private:
  // A started window with the given outer height in pixels.
  std::unique_ptr<MainWindow> StartedWindow(int outerHeight) {
    auto window = std::make_unique<MainWindow>(evaluator_);
    window->Load();
    if (!QTest::qWaitForWindowExposed(window.get())) {
      qWarning("window not exposed");
    }
    const int frame = window->frameGeometry().height() - window->height();
    window->resize(window->width(), outerHeight - frame);
    if (!QTest::qWaitFor([&] { return window->frameGeometry().height() == outerHeight; })) {
      qWarning("window not resized");
    }
    return window;
  }

  std::unique_ptr<vesko::ExpressionEvaluator> evaluatorOwner_ = vesko::CreateScriptEvaluator();
  vesko::ExpressionEvaluator& evaluator_ = *evaluatorOwner_;

 private slots:
  void dragStopsAtTheLimits_data();
  void dragStopsAtTheLimits();
  void historyBoxFollowsTheDrag();
  void shrinkingKeepsTheBoundaryWithinReach_data();
  void shrinkingKeepsTheBoundaryWithinReach();
  void idleMovesChangeNoControl_data();
  void idleMovesChangeNoControl();
  void clickLeavesTheHandle_data();
  void clickLeavesTheHandle();
  void otherButtonsDoNotEndTheDrag();
  void lostReleaseEndsTheDrag();
  void handleHiddenOnlyToTheEye();
};

void SplitterTest::dragStopsAtTheLimits_data() {
  QTest::addColumn<int>("outerHeight");  // pixels of 15 twips
  QTest::addColumn<Qt::MouseButton>("button");
  QTest::addColumn<int>("row");       // pixel row of the window the pointer is moved to
  QTest::addColumn<int>("barTop");    // twips
  QTest::addColumn<int>("splitMax");  // twips: outer height - status bar - 810

  // 400 pixels = 6000 twips: splitMax 6000 - 330 - 810.
  QTest::newRow("far up, above the window") << 400 << Qt::LeftButton << -200 << 630 << 4860;
  QTest::newRow("far down, below the window") << 400 << Qt::LeftButton << 2000 << 4860 << 4860;
  QTest::newRow("in between") << 400 << Qt::LeftButton << 100 << 1550 << 4860;
  QTest::newRow("one row above splitMin") << 400 << Qt::LeftButton << 38 << 630 << 4860;
  QTest::newRow("one row below splitMin") << 400 << Qt::LeftButton << 39 << 635 << 4860;
  QTest::newRow("right button") << 400 << Qt::RightButton << 200 << 3050 << 4860;
  QTest::newRow("start height, far down") << 130 << Qt::LeftButton << 500 << 810 << 810;
  // 2400 pixels = 36,000 twips: the lowest edge would be 34,860, beyond 16 bits.
  QTest::newRow("taller than 16 bits allow") << 2400 << Qt::LeftButton << 5000 << 32767 << 32767;
}

void SplitterTest::dragStopsAtTheLimits() {
  QFETCH(int, outerHeight);
  QFETCH(Qt::MouseButton, button);
  QFETCH(int, row);
  QFETCH(int, barTop);
  QFETCH(int, splitMax);
  auto window = StartedWindow(outerHeight);
  QWindow* win = window->windowHandle();
  vesko::Splitter* splitter = window->splitter();
  const int outer = PixelsToTwips(outerHeight);
  const TwipRect handleBefore = window->layout().place(Control::kSplitterHandle);
  QCOMPARE(handleBefore.top, 620);
  QCOMPARE(window->layout().splitMin(), 630);

  QTest::mousePress(win, button, {}, kPressPoint);
  QVERIFY(window->layout().splitMoving());
  QVERIFY(window->splitterBar()->isVisible());
  QVERIFY(!splitter->handleShown());
  TwipRect handle = handleBefore;
  handle.width = window->layout().place(Control::kInputBox).width;
  QCOMPARE(window->layout().place(Control::kSplitterBar), handle);

  QTest::mouseMove(win, QPoint(kPressPoint.x(), (kPressPoint.y() + row) / 2));
  QTest::mouseMove(win, QPoint(kPressPoint.x(), row));
  QCOMPARE(window->layout().splitMax(), splitMax);
  QCOMPARE(window->layout().splitPos(), float(barTop));
  QCOMPARE(window->layout().place(Control::kSplitterBar).top, barTop);
  QCOMPARE(window->layout().place(Control::kSplitterHandle), handle);  // waits for the release

  QTest::mouseRelease(win, button, {}, QPoint(kPressPoint.x(), row));
  QVERIFY(!window->layout().splitMoving());
  QVERIFY(!window->splitterBar()->isVisible());
  QVERIFY(splitter->handleShown());
  handle.top = barTop - 10;
  QCOMPARE(window->layout().place(Control::kSplitterHandle), handle);

  const TwipRect input = window->layout().place(Control::kInputBox);
  QCOMPARE(input, TwipRect({615, 45, handle.width, barTop - 105 + 50}));
  QCOMPARE(input.top + input.height, handle.top);  // the handle sits on Text1's bottom edge
  const TwipRect history = window->layout().place(Control::kHistoryBox);
  QCOMPARE(history.top, barTop + 105);
  QCOMPARE(history.height, outer - input.height - kStatusBarTwips - 600);
  QCOMPARE(window->layout().place(Control::kHistoryLabel).top, history.top);
  for (QWidget* control : Controls(*window)) {
    QCOMPARE(control->geometry(), PixelRect(PlaceOf(*window, control)));
  }
}

void SplitterTest::shrinkingKeepsTheBoundaryWithinReach_data() {
  QTest::addColumn<int>("outerHeight");  // pixels, after the boundary was dragged down
  QTest::addColumn<int>("pos");          // twips: where the boundary ends up
  // splitMax = outer height - status bar - 810.
  QTest::newRow("taller") << 450 << 4860;
  QTest::newRow("a little shorter") << 350 << 5250 - 1140;
  QTest::newRow("shorter") << 200 << 3000 - 1140;
  QTest::newRow("start height") << 130 << 1950 - 1140;
  // At the smallest height here (no frame) splitMax is above splitMin, which wins.
  QTest::newRow("minimum height") << 50 << 630;
}

void SplitterTest::shrinkingKeepsTheBoundaryWithinReach() {
  QFETCH(int, outerHeight);
  QFETCH(int, pos);
  auto window = StartedWindow(400);
  QWindow* win = window->windowHandle();
  QTest::mousePress(win, Qt::LeftButton, {}, kPressPoint);
  QTest::mouseMove(win, QPoint(kPressPoint.x(), 2000));
  QTest::mouseRelease(win, Qt::LeftButton, {}, QPoint(kPressPoint.x(), 2000));
  QCOMPARE(window->layout().place(Control::kSplitterHandle).top, 4860 - 10);

  const int frame = window->frameGeometry().height() - window->height();
  window->resize(window->width(), outerHeight - frame);
  const int outer = window->outerHeightTwips();
  const TwipRect handle = window->layout().place(Control::kSplitterHandle);
  const TwipRect input = window->layout().place(Control::kInputBox);
  const TwipRect history = window->layout().place(Control::kHistoryBox);
  QCOMPARE(handle.top, pos - 10);
  QCOMPARE(input.height, pos - 55);
  QCOMPARE(history.top, pos + 105);
  QCOMPARE(window->layout().place(Control::kHistoryLabel).top, pos + 105);
  QCOMPARE(history.height, outer - input.height - kStatusBarTwips - 600);
  // The handle and the whole history box lie above the status bar.
  QVERIFY(history.height >= 180);
  QVERIFY(window->historyBox()->geometry().bottom() < window->statusBar()->geometry().top());
  for (QWidget* control : Controls(*window)) {
    QCOMPARE(control->geometry(), PixelRect(PlaceOf(*window, control)));
  }
}

void SplitterTest::historyBoxFollowsTheDrag() {
  auto window = StartedWindow(300);
  const int outer = PixelsToTwips(300);
  QWindow* win = window->windowHandle();
  QTest::mousePress(win, Qt::LeftButton, {}, kPressPoint);
  // Down past the lowest edge, then up past the highest, in steps of a few pixels.
  QList<int> rows;
  for (int r = 20; r <= 320; r += 7) {
    rows.append(r);
  }
  for (int r = 320; r >= 0; r -= 11) {
    rows.append(r);
  }
  for (const int r : rows) {
    QTest::mouseMove(win, QPoint(kPressPoint.x(), r));
    const int pos = qBound(630, 15 * r + 50, outer - kStatusBarTwips - 810);
    const TwipRect input = window->layout().place(Control::kInputBox);
    const TwipRect history = window->layout().place(Control::kHistoryBox);
    QCOMPARE(window->layout().place(Control::kSplitterBar).top, pos);
    QCOMPARE(input.height, pos - 55);
    QCOMPARE(history.top, pos + 105);
    QCOMPARE(window->layout().place(Control::kHistoryLabel).top, pos + 105);
    // The history box takes the room the resize rules give it; the clamp keeps it at least 265.
    QCOMPARE(history.height, outer - input.height - kStatusBarTwips - 600);
    QVERIFY2(history.height >= 265, qPrintable(QString::number(history.height)));
    QCOMPARE(window->historyBox()->geometry(), PixelRect(history));
    QCOMPARE(window->layout().place(Control::kSplitterHandle).top, 620);
  }
  QTest::mouseRelease(win, Qt::LeftButton, {}, QPoint(kPressPoint.x(), rows.last()));
  QCOMPARE(window->layout().place(Control::kSplitterHandle).top, 620);  // the last move hit the top
}

void SplitterTest::idleMovesChangeNoControl_data() {
  QTest::addColumn<int>("outerHeight");
  QTest::addColumn<int>("splitMax");
  QTest::newRow("start height") << 130 << 1950 - 1140;
  QTest::newRow("taller") << 500 << 7500 - 1140;
}

void SplitterTest::idleMovesChangeNoControl() {
  QFETCH(int, outerHeight);
  QFETCH(int, splitMax);
  auto window = StartedWindow(outerHeight);
  QCOMPARE(window->layout().splitMax(), 0);
  QHash<QWidget*, TwipRect> before;
  for (QWidget* control : Controls(*window)) {
    before.insert(control, PlaceOf(*window, control));
  }
  for (const QPoint& point : {kPressPoint, QPoint(20, 43), QPoint(250, 46)}) {
    QTest::mouseMove(window->windowHandle(), point);
    QTRY_COMPARE(window->layout().splitMax(), splitMax);  // refreshed by every move over the handle
  }
  QVERIFY(!window->layout().splitMoving());
  QVERIFY(window->splitter()->handleShown());
  QVERIFY(!window->splitterBar()->isVisible());
  for (auto it = before.cbegin(); it != before.cend(); ++it) {
    QCOMPARE(PlaceOf(*window, it.key()), it.value());
  }
}

void SplitterTest::clickLeavesTheHandle_data() {
  QTest::addColumn<Qt::MouseButton>("button");
  QTest::addColumn<bool>("doubleClick");
  QTest::newRow("left click") << Qt::LeftButton << false;
  QTest::newRow("right click") << Qt::RightButton << false;
  QTest::newRow("double click") << Qt::LeftButton << true;
}

void SplitterTest::clickLeavesTheHandle() {
  QFETCH(Qt::MouseButton, button);
  QFETCH(bool, doubleClick);
  auto window = StartedWindow(300);
  QWindow* win = window->windowHandle();
  const TwipRect handle = window->layout().place(Control::kSplitterHandle);
  for (int i = 0; i < 5; ++i) {
    if (doubleClick) {
      QTest::mouseDClick(win, button, {}, kPressPoint);
    } else {
      QTest::mouseClick(win, button, {}, kPressPoint);
    }
  }
  QVERIFY(!window->layout().splitMoving());
  QVERIFY(window->splitter()->handleShown());
  QVERIFY(!window->splitterBar()->isVisible());
  QCOMPARE(window->layout().place(Control::kSplitterHandle), handle);
  QCOMPARE(window->layout().place(Control::kInputBox).height, 585);
}

void SplitterTest::otherButtonsDoNotEndTheDrag() {
  auto window = StartedWindow(300);
  QWindow* win = window->windowHandle();
  QTest::mousePress(win, Qt::LeftButton, {}, kPressPoint);
  QTest::mouseMove(win, QPoint(150, 60));
  QTest::mousePress(win, Qt::RightButton, {}, QPoint(150, 60));
  QTest::mouseRelease(win, Qt::RightButton, {}, QPoint(150, 60));
  QVERIFY(window->layout().splitMoving());
  QCOMPARE(window->layout().place(Control::kSplitterBar).top, 950);
  QTest::mouseMove(win, QPoint(150, 70));
  QTest::mouseRelease(win, Qt::LeftButton, {}, QPoint(150, 70));
  QVERIFY(!window->layout().splitMoving());
  QCOMPARE(window->layout().place(Control::kSplitterHandle).top, 1100 - 10);
}

void SplitterTest::lostReleaseEndsTheDrag() {
  auto window = StartedWindow(300);
  QWindow* win = window->windowHandle();
  QTest::mousePress(win, Qt::LeftButton, {}, kPressPoint);
  QTest::mouseMove(win, QPoint(150, 80));
  QCOMPARE(window->layout().place(Control::kSplitterBar).top, 1250);
  // A move without the button, as after a release that went elsewhere.
  QLabel* handle = window->splitterHandle();
  QMouseEvent move(QEvent::MouseMove, QPointF(150, 40), handle->mapToGlobal(QPointF(150, 40)),
                   Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(handle, &move);
  QVERIFY(!window->layout().splitMoving());
  QVERIFY(window->splitter()->handleShown());
  QVERIFY(!window->splitterBar()->isVisible());
  QCOMPARE(PlaceOf(*window, handle).top, 1240);
  QCOMPARE(window->layout().place(Control::kInputBox).height, 1250 - 55);
}

void SplitterTest::handleHiddenOnlyToTheEye() {
  auto window = StartedWindow(300);
  QLabel* handle = window->splitterHandle();
  const QColor line = handle->palette().color(QPalette::Mid);
  const QColor barLine = handle->palette().color(QPalette::Highlight);
  QCOMPARE(PixelsOfColour(handle, line), handle->width());  // one thin line
  QCOMPARE(handle->cursor().shape(), Qt::SizeVerCursor);

  QTest::mousePress(window->windowHandle(), Qt::LeftButton, {}, kPressPoint);
  QTest::mouseMove(window->windowHandle(), QPoint(150, 90));
  // Still a shown widget, so that it keeps the pointer, but drawn as nothing.
  QVERIFY(handle->isVisible());
  QCOMPARE(PixelsOfColour(handle, line), 0);
  QCOMPARE(PixelsOfColour(window->splitterBar(), barLine), 2 * window->splitterBar()->width());

  QTest::mouseRelease(window->windowHandle(), Qt::LeftButton, {}, QPoint(150, 90));
  QCOMPARE(PixelsOfColour(handle, line), handle->width());
}

QTEST_MAIN(SplitterTest)
#include "splitter_test.moc"
