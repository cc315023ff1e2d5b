// The window from the keyboard alone: F6 between the boxes and the status bar, Tab between the
// two boxes, Enter or Space on the credit.

#include "window/main_window.h"
#include "window/status_bar.h"

#include "script/script_evaluator.h"

#include "tests/window/window_test_support.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <QtTest>

#include <memory>

#include "tests/test_rows.h"
#include "tests/window/mail_catcher.h"

using vesko::test::Row;

class PaneCyclingTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<vesko::ExpressionEvaluator> evaluatorOwner_ = vesko::CreateScriptEvaluator();
  std::unique_ptr<vesko::MainWindow> window_;
  vesko::test::MailCatcher mail_;  // mail links go here while the test runs

  // A key typed as from the keyboard: pressed where the focus is and released where the focus
  // is then. (The input box's key release gives the focus back to it.)
  static void Type(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QVERIFY(QApplication::focusWidget());
    QTest::keyPress(QApplication::focusWidget(), key, modifiers);
    QVERIFY(QApplication::focusWidget());
    QTest::keyRelease(QApplication::focusWidget(), key, modifiers);
  }
  QWidget* Pane(const QString& name) const {
    return name == u"input"_qs     ? static_cast<QWidget*>(window_->inputBox())
           : name == u"history"_qs ? static_cast<QWidget*>(window_->historyBox())
                                   : static_cast<QWidget*>(window_->statusBar());
  }

 private slots:
  void init() {
    window_ = vesko::StartWindow(*evaluatorOwner_);
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    QCOMPARE(QApplication::focusWidget(), window_->inputBox());
    mail_.urls.clear();
  }
  void cleanup() { window_.reset(); }

  void paneKeysReachTheStatusBarAndReturn_data() {
    QTest::addColumn<QString>("from");
    QTest::addColumn<int>("there");  // the modifiers of F6 going there
    QTest::addColumn<int>("back");   // the key going back
    QTest::addColumn<int>("backModifiers");
    const int shift = Qt::ShiftModifier;
    Row("input box, F6 and F6", "input", 0, int(Qt::Key_F6), 0);
    Row("input box, Shift+F6 and Esc", "input", shift, int(Qt::Key_Escape), 0);
    Row("history box, F6 and Shift+F6", "history", 0, int(Qt::Key_F6), shift);
    Row("history box, F6 and Esc", "history", 0, int(Qt::Key_Escape), 0);
  }
  void paneKeysReachTheStatusBarAndReturn() {
    QFETCH(QString, from);
    QFETCH(int, there);
    QFETCH(int, back);
    QFETCH(int, backModifiers);
    const QString inputBefore = window_->inputBox()->toPlainText();
    Pane(from)->setFocus(Qt::OtherFocusReason);
    Type(Qt::Key_F6, Qt::KeyboardModifiers(there));
    QCOMPARE(QApplication::focusWidget(), window_->statusBar());
    Type(Qt::Key(back), Qt::KeyboardModifiers(backModifiers));
    QCOMPARE(QApplication::focusWidget(), Pane(from));
    // The keys typed nothing and opened no mail.
    QCOMPARE(window_->inputBox()->toPlainText(), inputBefore);
    QCOMPARE(mail_.urls.size(), 0);
  }

  // Tab and Shift+Tab move between the two boxes and never stop at the status bar.
  void tabStaysBetweenTheBoxes() {
    Type(Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), window_->historyBox());
    Type(Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), window_->inputBox());
    Type(Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), window_->historyBox());
    Type(Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), window_->inputBox());
  }

  // Tab into the history box puts its caret on the live row, which is read first; coming back
  // from the status bar leaves the caret where it was.
  void historyBoxFromTabStartsAtTheLiveRow() {
    QPlainTextEdit* history = window_->historyBox();
    Type(Qt::Key_Tab);
    QCOMPARE(history->textCursor().position(), 0);
    Type(Qt::Key_Down);
    const int secondRow = history->textCursor().position();
    QVERIFY(secondRow > 0);
    Type(Qt::Key_F6);
    Type(Qt::Key_F6);
    QCOMPARE(QApplication::focusWidget(), history);
    QCOMPARE(history->textCursor().position(), secondRow);
    Type(Qt::Key_Tab);
    Type(Qt::Key_Tab);
    QCOMPARE(history->textCursor().position(), 0);
  }

  void keysOnTheCredit_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("mails");
    Row("Enter", int(Qt::Key_Return), 0, 1);
    Row("keypad Enter", int(Qt::Key_Enter), int(Qt::KeypadModifier), 1);
    Row("Space", int(Qt::Key_Space), 0, 1);
    Row("Ctrl+Enter", int(Qt::Key_Return), int(Qt::ControlModifier), 0);
    Row("a letter", int(Qt::Key_A), 0, 0);
  }
  void keysOnTheCredit() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, mails);
    const QString history = window_->historyText();
    Type(Qt::Key_F6);
    Type(Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(mail_.urls.size(), mails);
    QCOMPARE(QApplication::focusWidget(), window_->statusBar());
    QCOMPARE(window_->historyText(), history);
  }

  // A held Enter repeats its press; it opens one mail.
  void heldEnterOpensOneMail() {
    Type(Qt::Key_F6);
    QWidget* bar = window_->statusBar();
    QKeyEvent first(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QApplication::sendEvent(bar, &first);
    for (int i = 0; i < 3; ++i) {
      QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"),
                       /*autorep=*/true);
      QApplication::sendEvent(bar, &repeat);
    }
    QCOMPARE(mail_.urls.size(), 1);
  }
};

QTEST_MAIN(PaneCyclingTest)
#include "pane_cycling_test.moc"
