// The window's geometry without any widget: resize rules and the splitter's drag.

#include "window/window_layout.h"

#include "tests/test_rows.h"

#include <QTest>

using vesko::Control;
using vesko::WindowLayout;
using vesko::test::Row;

namespace {
// The design's start: an outer height of 1,695 twips of client area and a 420-twip frame.
WindowLayout StartedLayout() {
  WindowLayout layout;
  layout.Start(1695 + 420);
  return layout;
}
}  // namespace

class WindowLayoutTest : public QObject {
  Q_OBJECT

 private slots:
  void startMeasures() {
    const WindowLayout layout = StartedLayout();
    QCOMPARE(layout.minWidth(), 4000);
    QCOMPARE(layout.minHeight(), 2115);
    QCOMPARE(layout.splitMin(), 630);  // the input box's bottom edge
  }

  void resizeRules_data() {
    // Outer size in twips; the box width (-1: as designed), the history box's height and the
    // clock panel's width (0: left alone).
    QTest::addColumn<int>("outerWidth");
    QTest::addColumn<int>("outerHeight");
    QTest::addColumn<int>("boxWidth");
    QTest::addColumn<int>("historyHeight");
    QTest::addColumn<int>("clockPanel");
    Row("design", 5490, 2115, 4725, 600, 2040);
    Row("narrow keeps the design width", 3700, 2115, -1, 600, 250);
    Row("credit alone leaves the clock", 3500, 2115, -1, 600, 0);
    Row("tall", 6000, 6000, 5235, 4485, 2550);
    Row("low leaves the history height", 6000, 1600, 5235, 580, 2550);
    Row("wider than 16 bits", 40000, 2115, 32767, 600, 36550);
  }
  void resizeRules() {
    QFETCH(int, outerWidth);
    QFETCH(int, outerHeight);
    QFETCH(int, boxWidth);
    QFETCH(int, historyHeight);
    QFETCH(int, clockPanel);
    WindowLayout layout = StartedLayout();
    const auto clock = layout.ApplyResizeRules(outerWidth, outerHeight, 3450);
    QCOMPARE(clock.value_or(0), clockPanel);
    const int width = boxWidth < 0 ? 4800 : boxWidth;
    QCOMPARE(layout.place(Control::kInputBox).width, width);
    QCOMPARE(layout.place(Control::kHistoryBox).width, boxWidth < 0 ? 4830 : boxWidth);
    QCOMPARE(layout.place(Control::kSplitterHandle).width, boxWidth < 0 ? 4095 : boxWidth);
    QCOMPARE(layout.place(Control::kHistoryBox).height, historyHeight);
  }

  void splitterDrag_data() {
    // Pointer height below the handle's top for one move, then where the bar, the input box's
    // bottom and, after the release, the handle end up.
    QTest::addColumn<float>("y");
    QTest::addColumn<int>("bar");
    QTest::addColumn<int>("handle");
    Row("far up stops at splitMin", -5000.0f, 630, 620);
    Row("far down stops at splitMax", 50000.0f, 4860, 4850);
    Row("a little down", 300.0f, 965, 955);
  }
  void splitterDrag() {
    QFETCH(float, y);
    QFETCH(int, bar);
    QFETCH(int, handle);
    WindowLayout layout = StartedLayout();
    layout.BeginSplitterDrag();
    QVERIFY(layout.splitMoving());
    QCOMPARE(layout.place(Control::kSplitterBar), layout.place(Control::kSplitterHandle));
    layout.MoveSplitter(y, 6000);
    QCOMPARE(layout.splitMax(), 6000 - 330 - 810);
    QCOMPARE(layout.place(Control::kSplitterBar).top, bar);
    // The input box ends 10 twips above the bar, where the handle goes on release.
    QCOMPARE(layout.place(Control::kInputBox).bottom(), bar - 10);
    QCOMPARE(layout.place(Control::kHistoryBox).top, bar + 105);
    QCOMPARE(layout.place(Control::kHistoryLabel).top, bar + 105);
    layout.EndSplitterDrag(true);
    QVERIFY(!layout.splitMoving());
    QCOMPARE(layout.place(Control::kSplitterHandle).top, handle);
  }

  void clickLeavesTheHandle() {
    WindowLayout layout = StartedLayout();
    const auto before = layout.place(Control::kSplitterHandle);
    layout.BeginSplitterDrag();
    layout.EndSplitterDrag(false);
    QCOMPARE(layout.place(Control::kSplitterHandle).top, before.top);
  }
};

QTEST_APPLESS_MAIN(WindowLayoutTest)
#include "window_layout_test.moc"
