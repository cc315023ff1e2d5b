// What assistive technology learns about the window's controls through QAccessible.

#include "window/main_window.h"
#include "window/status_bar.h"

#include "script/script_evaluator.h"

#include "tests/window/window_test_support.h"

#include <QAccessible>
#include <QtTest>

#include <memory>

using vesko::MainWindow;

class AccessibilityTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<vesko::ExpressionEvaluator> evaluatorOwner_ = vesko::CreateScriptEvaluator();
  vesko::ExpressionEvaluator& evaluator_ = *evaluatorOwner_;

 private slots:
  void controlsHaveChineseNames_data();
  void controlsHaveChineseNames();
  void statusPanelsAreChildrenOfTheBar_data();
  void statusPanelsAreChildrenOfTheBar();
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

void AccessibilityTest::statusPanelsAreChildrenOfTheBar_data() {
  QTest::addColumn<int>("panel");
  QTest::addColumn<QString>("name");
  QTest::addColumn<QAccessible::Role>("role");
  QTest::newRow("credit") << 1 << "设计者与反馈邮件" << QAccessible::Link;
  QTest::newRow("clock") << 2 << "时间" << QAccessible::StaticText;
}

void AccessibilityTest::statusPanelsAreChildrenOfTheBar() {
  QFETCH(int, panel);
  QFETCH(QString, name);
  QFETCH(QAccessible::Role, role);
  auto window = vesko::StartWindow(evaluator_);
  vesko::StatusBar* bar = window->statusBar();
  bar->OnClockTick();
  QAccessibleInterface* barInterface = QAccessible::queryAccessibleInterface(bar);
  QCOMPARE(barInterface->childCount(), 2);
  QAccessibleInterface* panelInterface = barInterface->child(panel - 1);
  QVERIFY(panelInterface && panelInterface->isValid());
  QCOMPARE(barInterface->child(panel - 1), panelInterface);  // the same one each time
  QCOMPARE(barInterface->indexOfChild(panelInterface), panel - 1);
  QCOMPARE(panelInterface->parent(), barInterface);
  QCOMPARE(panelInterface->text(QAccessible::Name), name);
  QCOMPARE(panelInterface->role(), role);
  QVERIFY(!panelInterface->text(QAccessible::Description).isEmpty());
  // The value is what the panel shows, and it follows the clock.
  QCOMPARE(panelInterface->text(QAccessible::Value),
           bar->panelText(vesko::kStatusPanels[panel - 1]));
  QVERIFY(!bar->panelText(vesko::kStatusPanels[panel - 1]).isEmpty());
  const QRect onScreen = panelInterface->rect();
  QCOMPARE(onScreen.size(), bar->panelRect(vesko::kStatusPanels[panel - 1]).size());
  QCOMPARE(barInterface->childAt(onScreen.center().x(), onScreen.center().y()), panelInterface);
}

QTEST_MAIN(AccessibilityTest)
#include "accessibility_test.moc"
