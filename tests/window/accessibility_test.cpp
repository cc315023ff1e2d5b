// What assistive technology learns about the window's controls through QAccessible.

#include "window/feedback_mail.h"
#include "window/main_window.h"
#include "window/status_bar.h"

#include "script/script_evaluator.h"

#include "tests/window/window_test_support.h"

#include <QAccessible>
#include <QPlainTextEdit>
#include <QtTest>

#include <memory>

#include "tests/test_rows.h"
#include "tests/window/mail_catcher.h"

using vesko::MainWindow;
using vesko::test::Row;

class AccessibilityTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<vesko::ExpressionEvaluator> evaluatorOwner_ = vesko::CreateScriptEvaluator();
  vesko::ExpressionEvaluator& evaluator_ = *evaluatorOwner_;
  vesko::test::MailCatcher mail_;  // mail links go here while the test runs

 private slots:
  void controlsHaveChineseNames_data();
  void controlsHaveChineseNames();
  void statusBarPartsExposeTheirText_data();
  void statusBarPartsExposeTheirText();
  void creditPressActionOpensOneMail();
  void commitIsAnnounced_data();
  void commitIsAnnounced();
  void liveValueIsNotAnnounced();
};

void AccessibilityTest::controlsHaveChineseNames_data() {
  QTest::addColumn<QString>("objectName");
  QTest::addColumn<QString>("name");
  QTest::addColumn<QAccessible::Role>("role");
  QTest::newRow("input box") << "Text1"
                             << "计算：算式输入框" << QAccessible::EditableText;
  QTest::newRow("history box") << "Text2"
                               << "结果：计算记录" << QAccessible::EditableText;
  QTest::newRow("splitter handle") << "imgSplitter"
                                   << "分隔条" << QAccessible::StaticText;
  QTest::newRow("status bar") << "StatusBar1"
                              << "状态栏" << QAccessible::StatusBar;
}

void AccessibilityTest::controlsHaveChineseNames() {
  QFETCH(QString, objectName);
  QFETCH(QString, name);
  QFETCH(QAccessible::Role, role);
  auto window = vesko::StartWindow(evaluator_);
  auto* control = window->findChild<QWidget*>(objectName);
  QVERIFY(control);
  QAccessibleInterface* described = QAccessible::queryAccessibleInterface(control);
  QVERIFY(described);
  QCOMPARE(described->text(QAccessible::Name), name);
  QCOMPARE(described->role(), role);
  // A description in Chinese that says more than the name.
  const QString description = described->text(QAccessible::Description);
  QVERIFY2(description.size() > name.size(), qPrintable(description));
  QVERIFY2(description.contains(QRegularExpression(QStringLiteral("^\\p{Han}"))),
           qPrintable(description));
  // The window lists the control among its children.
  QAccessibleInterface* windowInterface = QAccessible::queryAccessibleInterface(window.get());
  QVERIFY(windowInterface->indexOfChild(described) >= 0);
}

void AccessibilityTest::statusBarPartsExposeTheirText_data() {
  QTest::addColumn<int>("index");
  QTest::addColumn<QAccessible::Role>("role");
  QTest::addColumn<bool>("pressable");
  Row("credit", 0, QAccessible::Link, true);
  Row("clock", 1, QAccessible::StaticText, false);
  Row("notification", 2, QAccessible::Notification, false);
}

// Each part of the bar is named by the text it shows and exposes that text through the text
// interface, where a screen reader reads it character by character or as one line.
void AccessibilityTest::statusBarPartsExposeTheirText() {
  QFETCH(int, index);
  QFETCH(QAccessible::Role, role);
  QFETCH(bool, pressable);
  auto window = vesko::StartWindow(evaluator_);
  vesko::StatusBar* bar = window->statusBar();
  bar->OnClockTick();
  bar->Announce(QStringLiteral("6*7=42"));
  const QString shown = index == 0   ? bar->panelText(vesko::StatusPanel::kCredit)
                        : index == 1 ? bar->panelText(vesko::StatusPanel::kClock)
                                     : QStringLiteral("6*7=42");
  QVERIFY(shown.size() > 3);

  QAccessibleInterface* barInterface = QAccessible::queryAccessibleInterface(bar);
  QCOMPARE(barInterface->childCount(), 3);
  QAccessibleInterface* part = barInterface->child(index);
  QVERIFY(part && part->isValid());
  QCOMPARE(barInterface->child(index), part);  // the same one each time
  QCOMPARE(barInterface->indexOfChild(part), index);
  QCOMPARE(part->parent(), barInterface);
  QCOMPARE(part->role(), role);
  QCOMPARE(part->text(QAccessible::Name), shown);
  QCOMPARE(part->text(QAccessible::Value), shown);
  QCOMPARE(part->actionInterface() != nullptr, pressable);
  // The notification is heard, never seen.
  QCOMPARE(part->state().invisible, role == QAccessible::Notification);

  QAccessibleTextInterface* text = part->textInterface();
  QVERIFY(text);
  QCOMPARE(text->characterCount(), shown.size());
  QCOMPARE(text->text(0, text->characterCount()), shown);
  int start = -1;
  int end = -1;
  QCOMPARE(text->textAtOffset(2, QAccessible::LineBoundary, &start, &end), shown);
  QCOMPARE(start, 0);
  QCOMPARE(end, shown.size());
  QCOMPARE(text->textAtOffset(1, QAccessible::CharBoundary, &start, &end), shown.mid(1, 1));
  QCOMPARE(start, 1);
  QCOMPARE(end, 2);
  QCOMPARE(text->textAfterOffset(1, QAccessible::CharBoundary, &start, &end), shown.mid(2, 1));
  QCOMPARE(text->textBeforeOffset(1, QAccessible::CharBoundary, &start, &end), shown.left(1));
  QVERIFY(
      text->textAfterOffset(shown.size() - 1, QAccessible::CharBoundary, &start, &end).isEmpty());
  QVERIFY(text->textBeforeOffset(0, QAccessible::CharBoundary, &start, &end).isEmpty());

  if (role != QAccessible::Notification) {
    const QRect onScreen = part->rect();
    QCOMPARE(barInterface->childAt(onScreen.center().x(), onScreen.center().y()), part);
  }
}

void AccessibilityTest::creditPressActionOpensOneMail() {
  auto window = vesko::StartWindow(evaluator_);
  QAccessibleInterface* credit =
      QAccessible::queryAccessibleInterface(window->statusBar())->child(0);
  QAccessibleActionInterface* actions = credit->actionInterface();
  QVERIFY(actions);
  QCOMPARE(actions->actionNames(), QStringList{QAccessibleActionInterface::pressAction()});
  QVERIFY(
      !actions->localizedActionDescription(QAccessibleActionInterface::pressAction()).isEmpty());
  const QString before = window->historyText();
  mail_.urls.clear();
  actions->doAction(QAccessibleActionInterface::pressAction());
  QCOMPARE(mail_.urls.size(), 1);
  QCOMPARE(mail_.urls.first().scheme(), QStringLiteral("mailto"));
  QVERIFY(mail_.urls.first().toString().contains(vesko::FeedbackAddress()));
  actions->doAction(QStringLiteral("no such action"));
  QCOMPARE(mail_.urls.size(), 1);
  QCOMPARE(window->historyText(), before);
}

void AccessibilityTest::commitIsAnnounced_data() {
  QTest::addColumn<QString>("typed");
  QTest::addColumn<QString>("heard");
  QTest::addColumn<QString>("heardAgain");  // on a second Enter
  Row("committed row", "6*7", "6*7=42", "0.");
  Row("committed row in display form", "2^3", "2**3=8", "0.");
  Row("error row, the expression stays", "1/0", "表达式错误:1/0", "表达式错误:1/0");
  Row("blank input shows its live row", "", "0.", "0.");
}

// Enter makes the row it commits the status bar's announcement, which a screen reader hears (the
// Orca test hears it); a failed commit announces its error row.
void AccessibilityTest::commitIsAnnounced() {
  QFETCH(QString, typed);
  QFETCH(QString, heard);
  QFETCH(QString, heardAgain);
  auto window = vesko::StartWindow(evaluator_);
  auto* input = window->inputBox();
  QTest::keyClick(input, Qt::Key_Delete);  // the selected example
  QTest::keyClicks(input, typed);
  QTest::keyClick(input, Qt::Key_Return);
  QCOMPARE(window->statusBar()->announcement(), heard);
  // Each Enter is heard: on the cleared box what a blank input shows, not the last row again.
  window->statusBar()->Announce(QString());
  QTest::keyClick(input, Qt::Key_Return);
  QCOMPARE(window->statusBar()->announcement(), heardAgain);
}

void AccessibilityTest::liveValueIsNotAnnounced() {
  auto window = vesko::StartWindow(evaluator_);
  QTest::keyClicks(window->inputBox(), QStringLiteral("1+2"));
  QCOMPARE(window->controller().rows().first(), QStringLiteral("3"));
  QVERIFY(window->statusBar()->announcement().isEmpty());
}

QTEST_MAIN(AccessibilityTest)
#include "accessibility_test.moc"
