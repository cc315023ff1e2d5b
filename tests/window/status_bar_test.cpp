#include <QApplication>
#include <QLabel>
#include <QRegularExpression>
#include <QStyleHints>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>

#include <memory>

#include "tests/window/mail_catcher.h"
#include "window/feedback_mail.h"
#include "window/status_bar.h"

namespace {

constexpr auto kCredit = vesko::StatusPanel::kCredit;
constexpr auto kClock = vesko::StatusPanel::kClock;

// Counts the font changes the bar receives.
class FontChangeCounter : public QObject {
 public:
  int count = 0;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::FontChange) {
      ++count;
    }
    return QObject::eventFilter(watched, event);
  }
};

}  // namespace

class StatusBarTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China)); }

  void startsWithTheDesignState() {
    vesko::StatusBar bar;
    QCOMPARE(bar.panelText(kCredit),
             QStringLiteral("设计：Vesko,Email:") + vesko::FeedbackAddress());
    QVERIFY(bar.panelText(kClock).isEmpty());
    QCOMPARE(bar.panelWidthTwips(kCredit), 3450);
    QCOMPARE(bar.panelWidthTwips(kClock), 1440);
    QCOMPARE(bar.height(), 22);  // 330 twips
    QVERIFY(!bar.linkUnderlined());
    QVERIFY(bar.hasMouseTracking());
    QCOMPARE(bar.font().families().value(0), QStringLiteral("SimSun"));
    QCOMPARE(bar.font().pointSizeF(), 9.0);

    auto* clockTimer = bar.findChild<QTimer*>(QStringLiteral("Timer1"));
    QVERIFY(clockTimer != nullptr);
    QCOMPARE(clockTimer->interval(), 1000);
    QVERIFY(clockTimer->isActive());
  }

  void clockTickShowsTheTime() {
    vesko::StatusBar bar;
    bar.OnClockTick();
    static const QRegularExpression kZhClock(QStringLiteral("^时间：\\d\\d:\\d\\d:\\d\\d$"));
    QVERIFY2(kZhClock.match(bar.panelText(kClock)).hasMatch(), qPrintable(bar.panelText(kClock)));
    QCOMPARE(bar.panelText(kCredit),
             QStringLiteral("设计：Vesko,Email:") + vesko::FeedbackAddress());
  }

  void clockTicksOnItsOwn() {
    vesko::StatusBar bar;
    QVERIFY(bar.panelText(kClock).isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(!bar.panelText(kClock).isEmpty(), 3000);
    QVERIFY(bar.panelText(kClock).startsWith(QStringLiteral("时间：")));
  }

  void panelsFollowTheirWidths_data() {
    QTest::addColumn<int>("panel1Twips");
    QTest::addColumn<int>("panel2Twips");
    QTest::addColumn<QRect>("panel1");
    QTest::addColumn<QRect>("panel2");
    QTest::newRow("design") << 3450 << 1440 << QRect(0, 0, 230, 22) << QRect(230, 0, 96, 22);
    QTest::newRow("wider clock") << 3450 << 4500 << QRect(0, 0, 230, 22) << QRect(230, 0, 300, 22);
    QTest::newRow("narrow credit") << 1500 << 1440 << QRect(0, 0, 100, 22) << QRect(100, 0, 96, 22);
    QTest::newRow("negative is zero") << -15 << 1440 << QRect(0, 0, 0, 22) << QRect(0, 0, 96, 22);
  }
  void panelsFollowTheirWidths() {
    QFETCH(int, panel1Twips);
    QFETCH(int, panel2Twips);
    QFETCH(QRect, panel1);
    QFETCH(QRect, panel2);
    vesko::StatusBar bar;
    bar.resize(800, bar.height());
    bar.setPanelWidthTwips(kCredit, panel1Twips);
    bar.setPanelWidthTwips(kClock, panel2Twips);
    QCOMPARE(bar.panelWidthTwips(kCredit), qMax(0, panel1Twips));
    QCOMPARE(bar.panelWidthTwips(kClock), panel2Twips);
    QCOMPARE(bar.panelRect(kCredit), panel1);
    QCOMPARE(bar.panelRect(kClock), panel2);
    QCOMPARE(bar.sizeHint().width(), panel1.width() + panel2.width());
    QCOMPARE(bar.panelAt(panel2.center()), std::optional(kClock));
    QVERIFY(!bar.panelAt(QPoint(panel2.right() + 5, 10)).has_value());
  }

  // Steps: 'B' a pointer move over the bar, 'X' a pointer move over a label beside it,
  // 'L' a move over the window background or a text box (the window calls OnPointerLeftLink).
  void hoverUnderlinesTheBar_data() {
    QTest::addColumn<QString>("steps");
    QTest::addColumn<bool>("underlined");
    QTest::addColumn<int>("fontChanges");
    QTest::newRow("no move") << "" << false << 0;
    QTest::newRow("bar") << "B" << true << 1;
    QTest::newRow("bar, text box") << "BL" << false << 2;
    QTest::newRow("bar, label") << "BX" << true << 1;
    QTest::newRow("moves along the bar") << "BBBB" << true << 1;
    QTest::newRow("text box only") << "LL" << false << 0;
    QTest::newRow("label only") << "XX" << false << 0;
    QTest::newRow("back and forth") << "BLLBXB" << true << 3;
  }
  void hoverUnderlinesTheBar() {
    QFETCH(QString, steps);
    QFETCH(bool, underlined);
    QFETCH(int, fontChanges);

    QWidget window;
    auto* label = new QLabel(QStringLiteral("计算"), &window);
    auto* bar = new vesko::StatusBar(&window);
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(label);
    layout->addWidget(bar);
    window.resize(400, 100);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    // Start away from where the previous row ended: a move to the pointer's current position
    // is not delivered at all.
    QTest::mouseMove(&window, QPoint(1, 1));
    FontChangeCounter counter;
    bar->installEventFilter(&counter);
    int x = 5;
    for (const QChar step : steps) {
      x += 7;  // a fresh position for every move
      if (step == u'B') {
        QTest::mouseMove(bar, QPoint(x, bar->height() / 2));
      } else if (step == u'X') {
        QTest::mouseMove(label, QPoint(x, label->height() / 2));
      } else {
        bar->OnPointerLeftLink();
      }
    }
    QCOMPARE(bar->linkUnderlined(), underlined);
    QCOMPARE(bar->font().underline(), underlined);
    QCOMPARE(counter.count, fontChanges);
    QCOMPARE(bar->underlineWrites(), fontChanges);
    // Only the underline ever changes.
    QCOMPARE(bar->font().families().value(0), QStringLiteral("SimSun"));
    QCOMPARE(bar->font().pointSizeF(), 9.0);
  }

  // Steps: a left or right click on panel 1, 2 or beyond them ('1', '2', '0', 'r1'), or a left
  // press on panel 1 released over panel 2 ("drag").
  void clickOpensTheFeedbackMail_data() {
    QTest::addColumn<QString>("gesture");
    QTest::addColumn<int>("mailsOpened");
    QTest::newRow("credit panel") << "1" << 1;
    QTest::newRow("clock panel") << "2" << 1;
    QTest::newRow("beyond the panels") << "0" << 0;
    QTest::newRow("right button") << "r1" << 0;
    QTest::newRow("press and release on different panels") << "drag" << 0;
  }
  void clickOpensTheFeedbackMail() {
    QFETCH(QString, gesture);
    QFETCH(int, mailsOpened);

    vesko::test::MailCatcher handler;

    vesko::StatusBar bar;
    bar.resize(600, bar.height());
    bar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bar));
    bar.OnClockTick();
    const QString clockText = bar.panelText(kClock);
    const QString creditText = bar.panelText(kCredit);

    const QPoint onCredit = bar.panelRect(kCredit).center();
    const QPoint onClock = bar.panelRect(kClock).center();
    if (gesture == u"1") {
      QTest::mouseClick(&bar, Qt::LeftButton, {}, onCredit);
    } else if (gesture == u"2") {
      QTest::mouseClick(&bar, Qt::LeftButton, {}, onClock);
    } else if (gesture == u"0") {
      QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(bar.width() - 5, 10));
    } else if (gesture == u"r1") {
      QTest::mouseClick(&bar, Qt::RightButton, {}, onCredit);
    } else {
      QTest::mousePress(&bar, Qt::LeftButton, {}, onCredit);
      QTest::mouseMove(&bar, onClock);
      QTest::mouseRelease(&bar, Qt::LeftButton, {}, onClock);
    }

    QCOMPARE(handler.urls.size(), mailsOpened);
    if (mailsOpened > 0) {
      const QString text =
          vesko::ComposeFeedbackMail(vesko::FeedbackAddress(), QDate::currentDate(), QLocale());
      QCOMPARE(handler.urls.front(), vesko::FeedbackMailUrl(text));
      QVERIFY(handler.urls.front().toEncoded().startsWith(
          "mailto:" + vesko::FeedbackAddress().toUtf8() + '?'));
    }
    // The link leaves the panels as they were.
    QCOMPARE(bar.panelText(kCredit), creditText);
    QCOMPARE(bar.panelText(kClock), clockText);
  }

  // Left clicks on the credit panel, pressed at the given times (milliseconds). As from the
  // platform, a press within the double-click interval of the one before arrives as a
  // double-click event, unless that one did.
  void oneMailPerClickGesture_data() {
    const int interval = QGuiApplication::styleHints()->mouseDoubleClickInterval();
    QTest::addColumn<QList<int>>("pressTimes");
    QTest::addColumn<int>("mailsOpened");
    QTest::newRow("double click") << QList<int>{1000, 1000 + interval / 2} << 1;
    QTest::newRow("triple click") << QList<int>{1000, 1000 + interval * 6 / 10,
                                                1000 + interval * 13 / 10}
                                  << 1;
    QTest::newRow("two clicks apart") << QList<int>{1000, 1000 + interval + 100} << 2;
    QTest::newRow("double click, then a click")
        << QList<int>{1000, 1000 + interval / 2, 1000 + interval * 3} << 2;
  }
  void oneMailPerClickGesture() {
    QFETCH(QList<int>, pressTimes);
    QFETCH(int, mailsOpened);
    vesko::test::MailCatcher handler;
    vesko::StatusBar bar;
    bar.resize(600, bar.height());
    const QPoint onCredit = bar.panelRect(kCredit).center();
    const int interval = QGuiApplication::styleHints()->mouseDoubleClickInterval();
    int previous = -interval;
    bool previousSecond = false;
    for (const int time : pressTimes) {
      const bool second = time - previous < interval && !previousSecond;
      previous = time;
      previousSecond = second;
      for (const QEvent::Type type :
           {second ? QEvent::MouseButtonDblClick : QEvent::MouseButtonPress,
            QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, onCredit, bar.mapToGlobal(onCredit), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, {});
        event.setTimestamp(time + (type == QEvent::MouseButtonRelease ? 50 : 0));
        QApplication::sendEvent(&bar, &event);
      }
    }
    QCOMPARE(handler.urls.size(), mailsOpened);
  }

  void cutShortPanelShowsItsTextAsToolTip() {
    vesko::StatusBar bar;
    bar.setPanelWidthTwips(kCredit, 600);  // 40 pixels: far too narrow for the credit
    bar.setPanelWidthTwips(kClock, 9000);  // 600 pixels: ample room for the clock
    bar.resize(700, bar.height());
    bar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bar));
    bar.OnClockTick();

    const QPoint onCredit = bar.panelRect(kCredit).center();
    QHelpEvent overCredit(QEvent::ToolTip, onCredit, bar.mapToGlobal(onCredit));
    QApplication::sendEvent(&bar, &overCredit);
    QTRY_VERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), bar.panelText(kCredit));

    const QPoint onClock = bar.panelRect(kClock).center();
    QHelpEvent overClock(QEvent::ToolTip, onClock, bar.mapToGlobal(onClock));
    QApplication::sendEvent(&bar, &overClock);
    QTRY_VERIFY(!QToolTip::isVisible());
  }
};

QTEST_MAIN(StatusBarTest)
#include "status_bar_test.moc"
