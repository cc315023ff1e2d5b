// Getting earlier expressions and results back: Up/Down recall in the input box, the input box's
// own keys, and the history box's double-click, menu, copies and row removal.

#include "engine/history_file.h"
#include "script/script_evaluator.h"
#include "window/kept_history.h"
#include "window/main_window.h"
#include "window/row_reuse.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QtTest>

#include <memory>

#include "tests/script/locale_pin.h"
#include "tests/test_rows.h"

#include "tests/file_bytes.h"
#include "tests/window/kept_window_fixture.h"
#include "tests/window/message_box_answer.h"

using namespace Qt::StringLiterals;

using vesko::HistoryFile;
using vesko::MainWindow;
using vesko::test::Row;

using vesko::test::AnswerNextMessageBox;
using vesko::test::ReadBytes;
using vesko::test::WriteBytes;

namespace {

// The middle of line `line` of a text box, in its viewport.
QPoint LinePoint(QPlainTextEdit* box, int line) {
  QTextCursor cursor(box->document()->findBlockByNumber(line));
  return box->cursorRect(cursor).center() + QPoint(2, 0);
}

}  // namespace

class RecallAndReuseTest : public QObject, private vesko::test::KeptWindowFixture {
  Q_OBJECT

  static QString Input(const MainWindow& window) { return window.inputBox()->toPlainText(); }
  static QString FirstLine(const MainWindow& window) {
    return window.historyText().section(QStringLiteral("\r\n"), 0, 0);
  }
  static void DoubleClickLine(MainWindow& window, int line) {
    QTest::mouseDClick(window.historyBox()->viewport(), Qt::LeftButton, {},
                       LinePoint(window.historyBox(), line));
  }
  // The menu of the history box for line `line`, its entries by text.
  static QMap<QString, QAction*> MenuAt(MainWindow& window, int line,
                                        std::unique_ptr<QMenu>& menu) {
    menu = window.keptHistory()->CreateMenu(LinePoint(window.historyBox(), line));
    QMap<QString, QAction*> actions;
    for (QAction* action : menu->actions()) {
      actions.insert(action->text(), action);
    }
    return actions;
  }
  // Every file under the data folder that holds `text`, once the rows and clearings asked for
  // so far are done.
  QStringList FilesHolding(const QByteArray& text) const {
    Kept();  // waits for the writer
    QStringList holding;
    QDirIterator it(dir_->path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
      const QString path = it.next();
      if (ReadBytes(path).contains(text)) {
        holding.append(path);
      }
    }
    return holding;
  }

 private slots:
  void init();
  void cleanup();
  void recallOrderWithRowsOfAnEarlierRun();
  void draftComesBackWithCaretAndSelection();
  void upDownInsideThreeLines_data();
  void upDownInsideThreeLines();
  void recallIsOneUndoableEdit();
  void escapeClearsUndoably();
  void enterWithModifiers_data();
  void enterWithModifiers();
  void blankInputCommitsNothing_data();
  void blankInputCommitsNothing();
  void doubleClickInsertsAValueThatReadsBack_data();
  void doubleClickInsertsAValueThatReadsBack();
  void doubleClickOnLiveAndErrorRows();
  void menuEntriesForTheRowUnderThePointer();
  void copiesArePlainText();
  void removingARowAndClearingLeaveNoTrace();
  void withoutHistoryFileNothingSpeaksOfIt();
};

void RecallAndReuseTest::init() {
  MakeFolder();
}

void RecallAndReuseTest::cleanup() {
  DropFile();
}

void RecallAndReuseTest::recallOrderWithRowsOfAnEarlierRun() {
  // An earlier run's rows, oldest first, one of them with "=" on both sides.
  WriteBytes(historyPath(), "9-1=8\n\"a=b\"\\=a=b\\|\"a=b\"\n2*3=6\n2*3=6\n");
  auto window = StartWindow();
  Commit(*window, QStringLiteral("1+2"));
  Commit(*window, QStringLiteral("1+2"));
  Commit(*window, QStringLiteral("4*4"));
  Commit(*window, QStringLiteral("1/0"));  // an error row; the expression stays in the box
  QCOMPARE(Input(*window), QStringLiteral("1/0"));

  QStringList up;
  for (int i = 0; i < 6; ++i) {
    QTest::keyClick(window->inputBox(), Qt::Key_Up);
    up.append(Input(*window));
  }
  QCOMPARE(up, QStringList({u"4*4"_s, u"1+2"_s, u"2*3"_s, u"\"a=b\""_s, u"9-1"_s, u"9-1"_s}));
  QStringList down;
  for (int i = 0; i < 5; ++i) {
    QTest::keyClick(window->inputBox(), Qt::Key_Down);
    down.append(Input(*window));
  }
  QCOMPARE(down, QStringList({u"\"a=b\""_s, u"2*3"_s, u"1+2"_s, u"4*4"_s, u"1/0"_s}));

  // The live value follows each recall; committing a recalled expression adds a row.
  QTest::keyClick(window->inputBox(), Qt::Key_Up);
  QCOMPARE(FirstLine(*window), QStringLiteral("16"));
  const QStringList before = window->controller().rows();
  QTest::keyClick(window->inputBox(), Qt::Key_Return);
  QCOMPARE(window->controller().rows().mid(2), before.mid(1));
  QCOMPARE(window->controller().rows()[1], QStringLiteral("4*4=16"));
}

void RecallAndReuseTest::draftComesBackWithCaretAndSelection() {
  WriteBytes(historyPath(), "1+1=2\n");
  auto window = StartWindow();
  Type(*window, QStringLiteral("12+34"));
  QTextCursor cursor = window->inputBox()->textCursor();
  cursor.setPosition(4);
  cursor.setPosition(1, QTextCursor::KeepAnchor);  // "2+3" selected, the caret before it
  window->inputBox()->setTextCursor(cursor);

  QTest::keyClick(window->inputBox(), Qt::Key_Up);
  QCOMPARE(Input(*window), QStringLiteral("1+1"));
  QCOMPARE(window->inputBox()->textCursor().position(), 3);  // at the end
  QVERIFY(!window->inputBox()->textCursor().hasSelection());
  QTest::keyClick(window->inputBox(), Qt::Key_Down);
  QCOMPARE(Input(*window), QStringLiteral("12+34"));
  QCOMPARE(window->inputBox()->textCursor().anchor(), 4);
  QCOMPARE(window->inputBox()->textCursor().position(), 1);
  QCOMPARE(FirstLine(*window), QStringLiteral("46"));
}

void RecallAndReuseTest::upDownInsideThreeLines_data() {
  QTest::addColumn<int>("line");  // where the caret is
  QTest::addColumn<int>("key");
  QTest::addColumn<QString>("text");  // afterwards
  QTest::addColumn<int>("caretLine");
  const QString typed = QStringLiteral("1+\n2+\n3");
  Row("first line, Up recalls", 0, int(Qt::Key_Up), "5*5", 0);
  Row("middle line, Up moves", 1, int(Qt::Key_Up), typed, 0);
  Row("middle line, Down moves", 1, int(Qt::Key_Down), typed, 2);
  Row("last line, Up moves", 2, int(Qt::Key_Up), typed, 1);
  Row("last line, Down: nothing newer", 2, int(Qt::Key_Down), typed, 2);
}

void RecallAndReuseTest::upDownInsideThreeLines() {
  QFETCH(int, line);
  QFETCH(int, key);
  QFETCH(QString, text);
  QFETCH(int, caretLine);
  auto window = StartWindow();
  Commit(*window, QStringLiteral("5*5"));
  QPlainTextEdit* input = window->inputBox();
  QTest::keyClicks(input, QStringLiteral("1+"));
  QTest::keyClick(input, Qt::Key_Return, Qt::ControlModifier);
  QTest::keyClicks(input, QStringLiteral("2+"));
  QTest::keyClick(input, Qt::Key_Return, Qt::ControlModifier);
  QTest::keyClicks(input, QStringLiteral("3"));
  QTextCursor cursor(input->document()->findBlockByNumber(line));
  cursor.movePosition(QTextCursor::Right);
  input->setTextCursor(cursor);
  QTest::keyClick(input, Qt::Key(key));
  QCOMPARE(Input(*window), text);
  QCOMPARE(input->textCursor().blockNumber(), caretLine);
}

void RecallAndReuseTest::recallIsOneUndoableEdit() {
  auto window = StartWindow();
  Commit(*window, QStringLiteral("4*4"));
  QTest::keyClicks(window->inputBox(), QStringLiteral("5*5"));
  QTest::keyClick(window->inputBox(), Qt::Key_Up);
  QCOMPARE(Input(*window), QStringLiteral("4*4"));
  QTest::keyClick(window->inputBox(), Qt::Key_Z, Qt::ControlModifier);
  QCOMPARE(Input(*window), QStringLiteral("5*5"));
  QCOMPARE(FirstLine(*window), QStringLiteral("25"));
}

void RecallAndReuseTest::escapeClearsUndoably() {
  auto window = StartWindow();
  Type(*window, QStringLiteral("1+2"));
  QCOMPARE(FirstLine(*window), QStringLiteral("3"));
  QTest::keyClick(window->inputBox(), Qt::Key_Escape);
  QCOMPARE(Input(*window), QString());
  QCOMPARE(FirstLine(*window), QStringLiteral("0."));
  QTest::keyClick(window->inputBox(), Qt::Key_Z, Qt::ControlModifier);
  QCOMPARE(Input(*window), QStringLiteral("1+2"));
  QCOMPARE(FirstLine(*window), QStringLiteral("3"));
}

void RecallAndReuseTest::enterWithModifiers_data() {
  QTest::addColumn<int>("key");
  QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
  QTest::addColumn<QString>("text");  // afterwards; rows never change
  Row("Ctrl+Return", int(Qt::Key_Return), Qt::KeyboardModifiers(Qt::ControlModifier), "1+2\n");
  Row("Ctrl+keypad Enter", int(Qt::Key_Enter),
      Qt::KeyboardModifiers(Qt::ControlModifier | Qt::KeypadModifier), "1+2\n");
  Row("Alt+Return", int(Qt::Key_Return), Qt::KeyboardModifiers(Qt::AltModifier), "1+2");
}

void RecallAndReuseTest::enterWithModifiers() {
  QFETCH(int, key);
  QFETCH(Qt::KeyboardModifiers, modifiers);
  QFETCH(QString, text);
  auto window = StartWindow();
  Type(*window, QStringLiteral("1+2"));
  const QStringList rows = window->controller().rows();
  QTest::keyClick(window->inputBox(), Qt::Key(key), modifiers);
  QCOMPARE(Input(*window), text);
  QCOMPARE(window->controller().rows(), rows);
  QCOMPARE(ReadBytes(historyPath()), QByteArray());
}

void RecallAndReuseTest::blankInputCommitsNothing_data() {
  QTest::addColumn<QString>("typed");
  Row("tab", "\t");
  Row("ideographic space", "\u3000");
  Row("spaces and tabs", " \t \t");
}

void RecallAndReuseTest::blankInputCommitsNothing() {
  QFETCH(QString, typed);
  auto window = StartWindow();
  window->inputBox()->selectAll();
  window->inputBox()->insertPlainText(typed);
  QTest::keyClick(window->inputBox(), Qt::Key_Return);
  QCOMPARE(window->controller().rows().size(), 2);
  QCOMPARE(FirstLine(*window), QStringLiteral("0."));
  QCOMPARE(ReadBytes(historyPath()), QByteArray());
}

void RecallAndReuseTest::doubleClickInsertsAValueThatReadsBack_data() {
  QTest::addColumn<QString>("expression");
  QTest::addColumn<QString>("locale");
  Row("large number", "10^20", "zh_CN");
  Row("negative fraction", "-1/8", "zh_CN");
  Row("string with quotes", "\"say \"\"hi\"\"\"&\"!\"", "zh_CN");
  Row("string with pi and =", "\"pi=\"&\"**\"", "zh_CN");
  Row("True", "1<2", "zh_CN");
  Row("Null", "Null", "zh_CN");
  Row("date under zh_CN", "#1/2/2003 4:05:06 PM#", "zh_CN");
  Row("date under en_US", "#1/2/2003 4:05:06 PM#", "en_US");
  Row("date alone under en_US", "DateSerial(2026,12,8)", "en_US");
}

void RecallAndReuseTest::doubleClickInsertsAValueThatReadsBack() {
  QFETCH(QString, expression);
  QFETCH(QString, locale);
  const vesko::test::PinnedLocaleAndClock pinned{QLocale(locale)};
  auto window = StartWindow();
  Commit(*window, expression);
  const vesko::KeptRow first = window->controller().keptRow(1);
  QVERIFY2(first.split(), qPrintable(first.text));
  window->historyBox()->setFocus();
  DoubleClickLine(*window, 1);
  QVERIFY(window->inputBox()->hasFocus());
  QVERIFY(!Input(*window).isEmpty());
  // Committing what was inserted gives the value shown, in a row of its own.
  const qsizetype rows = window->controller().rows().size();
  QTest::keyClick(window->inputBox(), Qt::Key_Return);
  QCOMPARE(window->controller().rows().size(), rows + 1);
  const vesko::KeptRow again = window->controller().keptRow(1);
  QVERIFY2(again.split(), qPrintable(again.text));
  QCOMPARE(again.result(), first.result());
}

void RecallAndReuseTest::doubleClickOnLiveAndErrorRows() {
  auto window = StartWindow();
  // At the caret, replacing the selection as typing would; the live value follows.
  Type(*window, QStringLiteral("2*3"));
  Commit(*window, QStringLiteral("2*21"));
  QTest::keyClicks(window->inputBox(), QStringLiteral("1+9"));
  QTextCursor cursor = window->inputBox()->textCursor();
  cursor.setPosition(2);
  cursor.setPosition(3, QTextCursor::KeepAnchor);
  window->inputBox()->setTextCursor(cursor);
  DoubleClickLine(*window, 1);
  QCOMPARE(Input(*window), QStringLiteral("1+42"));
  QCOMPARE(FirstLine(*window), QStringLiteral("43"));
  // The live row gives the live value.
  DoubleClickLine(*window, 0);
  QCOMPARE(Input(*window), QStringLiteral("1+4243"));
  // An error row gives its expression.
  Commit(*window, QStringLiteral("1/0"));
  window->inputBox()->clear();
  DoubleClickLine(*window, 0);
  QCOMPARE(Input(*window), QStringLiteral("1/0"));
}

void RecallAndReuseTest::menuEntriesForTheRowUnderThePointer() {
  auto window = StartWindow();
  Commit(*window, QStringLiteral("\"a=b\""));
  std::unique_ptr<QMenu> menu;
  QMap<QString, QAction*> entries = MenuAt(*window, 1, menu);
  QStringList texts;
  for (const QAction* action : menu->actions()) {
    texts.append(action->text());
  }
  const QStringList rowEntries{u"插入结果"_s, u"插入算式"_s, u"复制结果"_s, u"复制算式"_s,
                               u"删除此行"_s};
  const qsizetype first = texts.indexOf(rowEntries[0]);
  QVERIFY(first > 0);  // below the box's own entries
  QCOMPARE(texts.mid(first, 5), rowEntries);
  QCOMPARE(texts.back(), QStringLiteral("清除历史记录"));
  for (const QString& text : rowEntries) {
    QVERIFY2(entries[text]->isEnabled(), qPrintable(text));
  }
  entries[QStringLiteral("插入算式")]->trigger();
  QCOMPARE(Input(*window), QStringLiteral("\"a=b\""));
  window->inputBox()->selectAll();
  entries[QStringLiteral("插入结果")]->trigger();
  QCOMPARE(Input(*window), QStringLiteral("\"a=b\""));

  // The live row has a value but no expression, and stays.
  entries = MenuAt(*window, 0, menu);
  QVERIFY(entries[QStringLiteral("插入结果")]->isEnabled());
  QVERIFY(!entries[QStringLiteral("插入算式")]->isEnabled());
  QVERIFY(!entries[QStringLiteral("删除此行")]->isEnabled());
}

void RecallAndReuseTest::copiesArePlainText() {
  auto window = StartWindow();
  Commit(*window, QStringLiteral("1234567*1000"));
  Commit(*window, QStringLiteral("\"a\"&\"b\""));
  QClipboard* clipboard = QGuiApplication::clipboard();
  std::unique_ptr<QMenu> menu;
  MenuAt(*window, 2, menu)[QStringLiteral("复制结果")]->trigger();
  QCOMPARE(clipboard->mimeData()->formats(), QStringList({u"text/plain"_s}));
  QCOMPARE(clipboard->text(), QStringLiteral("1234567000"));  // no grouping
  MenuAt(*window, 2, menu)[QStringLiteral("复制算式")]->trigger();
  QCOMPARE(clipboard->text(), QStringLiteral("1234567*1000"));

  // Ctrl+C in the history box.
  // Selected with the box in focus, as a pointer drag does.
  window->historyBox()->setFocus();
  QTextCursor line(window->historyBox()->document()->findBlockByNumber(1));
  line.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
  window->historyBox()->setTextCursor(line);
  QTest::keyClick(window->historyBox(), Qt::Key_C, Qt::ControlModifier);
  QCOMPARE(clipboard->mimeData()->formats(), QStringList({u"text/plain"_s}));
  QCOMPARE(clipboard->text(), QStringLiteral("\"a\"&\"b\"=ab"));

  // Ctrl+Shift+C anywhere: the newest committed result.
  clipboard->clear();
  QTest::keyClick(window->inputBox(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
  QCOMPARE(clipboard->text(), QStringLiteral("ab"));
}

void RecallAndReuseTest::removingARowAndClearingLeaveNoTrace() {
  auto window = StartWindow();
  Commit(*window, QStringLiteral("\"first secret\""));
  Commit(*window, QStringLiteral("\"second secret\""));
  Commit(*window, QStringLiteral("1+1"));
  // "", 1+1=2, second, first, examples
  std::unique_ptr<QMenu> menu;
  MenuAt(*window, 3, menu)[QStringLiteral("删除此行")]->trigger();
  QVERIFY(!window->historyText().contains(QStringLiteral("first secret")));
  QVERIFY(window->historyText().contains(QStringLiteral("second secret")));
  QCOMPARE(FilesHolding("first secret"), QStringList());
  QCOMPARE(FilesHolding("second secret"), QStringList({historyPath()}));

  QString asked;
  AnswerNextMessageBox(QStringLiteral("清除"), &asked);
  window->keptHistory()->ClearHistory();
  QCOMPARE(FilesHolding("secret"), QStringList());
  QCOMPARE(FilesHolding("1+1"), QStringList());
  // A restart shows none of them.
  menu.reset();  // a child of the history box
  window.reset();
  window = StartWindow();
  QVERIFY(!window->historyText().contains(QStringLiteral("secret")));
}

void RecallAndReuseTest::withoutHistoryFileNothingSpeaksOfIt() {
  auto window = StartWindow(false);
  Commit(*window, QStringLiteral("6*7"));
  std::unique_ptr<QMenu> menu;
  MenuAt(*window, 1, menu)[QStringLiteral("删除此行")]->trigger();
  QVERIFY(!window->historyText().contains(QStringLiteral("6*7")));
  QString asked;
  AnswerNextMessageBox(QStringLiteral("取消"), &asked);
  window->keptHistory()->ClearHistory();
  QVERIFY(!asked.isEmpty());
  QVERIFY2(!asked.contains(QStringLiteral("保存")), qPrintable(asked));
  QVERIFY(!QFile::exists(historyPath()));
}

QTEST_MAIN(RecallAndReuseTest)
#include "recall_and_reuse_test.moc"
