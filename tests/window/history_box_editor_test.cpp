#include "window/main_window.h"

#include "window/history_box_editor.h"

#include "script/script_evaluator.h"
#include "tests/test_rows.h"

#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTextBlock>
#include <QtTest>

#include <memory>

using namespace Qt::StringLiterals;

using vesko::MainWindow;
using vesko::test::Row;

namespace {

// Marks the last line of the history box; a whole rewrite creates new lines without the mark,
// an edit of the top lines leaves it in place.
constexpr int kMark = 4711;

void MarkLastLine(QPlainTextEdit* box) {
  box->document()->lastBlock().setUserState(kMark);
}

bool LastLineMarked(QPlainTextEdit* box) {
  return box->document()->lastBlock().userState() == kMark;
}

QString Rendered(const QStringList& rows) {
  QString text;
  for (const QString& row : rows) {
    text += row + QStringLiteral("\r\n");
  }
  return text;
}

bool AnyLineBreak(const QStringList& rows) {
  for (const QString& row : rows) {
    for (const QChar c : row) {
      if (c == u'\n' || c == u'\r' || c.unicode() == 0x2028 || c.unicode() == 0x2029) {
        return true;
      }
    }
  }
  return false;
}

}  // namespace

class HistoryBoxTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<vesko::ExpressionEvaluator> evaluator_ = vesko::CreateScriptEvaluator();
  std::unique_ptr<MainWindow> window_;
  // What a whole rewrite gives: the rendered text set into a box of the same kind and size.
  std::unique_ptr<QPlainTextEdit> reference_;

  QPlainTextEdit* input() { return window_->inputBox(); }
  QPlainTextEdit* history() { return window_->historyBox(); }

  void release(const QString& text) {
    input()->setPlainText(text);
    QTest::keyRelease(input(), Qt::Key_Shift);
  }
  void commit(const QString& text) {
    input()->setPlainText(text);
    QTest::keyPress(input(), Qt::Key_Return);
    QTest::keyRelease(input(), Qt::Key_Return);
  }

  // The history box must hold what a whole rewrite of the rows would have left in it.
  void verifyHistory() {
    const QStringList& rows = window_->controller().rows();
    const QString rendered = Rendered(rows);
    reference_->setPlainText(rendered);
    if (!AnyLineBreak(rows)) {
      QCOMPARE(window_->historyText(), rendered);
    }
    QCOMPARE(history()->toPlainText(), reference_->toPlainText());
    QCOMPARE(history()->document()->blockCount(), reference_->document()->blockCount());
    QCOMPARE(history()->textCursor().position(), reference_->textCursor().position());
    QCOMPARE(history()->textCursor().anchor(), reference_->textCursor().anchor());
    QCOMPARE(history()->verticalScrollBar()->value(), reference_->verticalScrollBar()->value());
    QVERIFY(!history()->document()->isUndoAvailable());
  }

 private slots:
  void init() {
    window_ = std::make_unique<MainWindow>(*evaluator_);
    window_->Load();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    reference_ = std::make_unique<QPlainTextEdit>();
    reference_->setFont(history()->font());
    reference_->setLineWrapMode(history()->lineWrapMode());
    reference_->setVerticalScrollBarPolicy(history()->verticalScrollBarPolicy());
    reference_->setHorizontalScrollBarPolicy(history()->horizontalScrollBarPolicy());
    reference_->document()->setDocumentMargin(history()->document()->documentMargin());
    reference_->resize(history()->size());
    reference_->show();
  }

  void cleanup() {
    reference_.reset();
    window_.reset();
  }

  // Random key releases, commits, failed commits, rows with line breaks, and the user typing
  // into, deleting from, undoing in, clicking into and scrolling the history box.
  void matchesWholeRewrite_data() {
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<int>("userActionOneIn");  // 0: the user never touches the history box
    QTest::newRow("untouched, seed 1") << 1u << 0;
    QTest::newRow("untouched, seed 2") << 2u << 0;
    QTest::newRow("rarely touched, seed 3") << 3u << 12;
    QTest::newRow("rarely touched, seed 4") << 4u << 12;
    QTest::newRow("often touched, seed 5") << 5u << 3;
    QTest::newRow("often touched, seed 6") << 6u << 3;
  }

  void matchesWholeRewrite() {
    QFETCH(quint32, seed);
    QFETCH(int, userActionOneIn);
    QRandomGenerator random(seed);
    const QStringList inputs = {u"1"_s,    u"1+"_s,     u"1+2"_s,  u"1-5"_s,          u"1/0"_s,
                                QString(), u"  "_s,     u"2**("_s, u"(1+2"_s,         u"3^2"_s,
                                u"x"_s,    u"12.5*4"_s, u"\"\""_s, QString(200, u'9')};
    // Values and inputs whose rows fill more than one line of the box, or show differently.
    const QStringList breaking = {u"1&vblf&2"_s,   u"\"a\"&vbcr"_s, u"chrw(8233)"_s,
                                  u"chrw(8232)"_s, u"1+\n2"_s,      u"1/0+\n"_s};
    int fastRuns = 0;
    int runs = 0;
    for (int step = 0; step < 400; ++step) {
      if (userActionOneIn > 0 && random.bounded(userActionOneIn) == 0) {
        QTextCursor cursor = history()->textCursor();
        cursor.setPosition(random.bounded(history()->document()->characterCount()));
        history()->setTextCursor(cursor);
        switch (random.bounded(6)) {
          case 0:
            QTest::keyClicks(history(), QStringLiteral("7+"));
            break;
          case 1:
            QTest::keyClick(history(), Qt::Key_Return);
            break;
          case 2:
            QTest::keyClick(history(), Qt::Key_A, Qt::ControlModifier);
            QTest::keyClick(history(), Qt::Key_Delete);
            break;
          case 3:  // typed and undone: the text is as before, but was changed meanwhile
            QTest::keyClicks(history(), QStringLiteral("x"));
            QTest::keyClick(history(), Qt::Key_Z, Qt::ControlModifier);
            break;
          case 4:  // clicked into, nothing typed
            break;
          default: {
            const int bottom = history()->verticalScrollBar()->maximum();
            history()->verticalScrollBar()->setValue(bottom);
            reference_->verticalScrollBar()->setValue(bottom);
            break;
          }
        }
      }
      MarkLastLine(history());
      const QString text = random.bounded(8) == 0 ? breaking[random.bounded(breaking.size())]
                                                  : inputs[random.bounded(inputs.size())];
      if (random.bounded(3) == 0) {
        commit(text);
      } else {
        release(text);
      }
      ++runs;
      fastRuns += LastLineMarked(history()) ? 1 : 0;
      verifyHistory();
      if (QTest::currentTestFailed()) {
        QFAIL(qPrintable(QStringLiteral("at step %1").arg(step)));
      }
    }
    // Most runs must have edited the top lines only; otherwise the test says nothing about them.
    QVERIFY2(fastRuns > runs / 2, qPrintable(QStringLiteral("%1 of %2").arg(fastRuns).arg(runs)));
  }

  // After the user has changed the history box the next run rewrites it whole, and the run after
  // that edits only the top again.
  void userEditForcesOneWholeRewrite_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("undo");
    QTest::newRow("digit typed") << int(Qt::Key_5) << false;
    QTest::newRow("line break typed") << int(Qt::Key_Return) << false;
    QTest::newRow("typed and undone") << int(Qt::Key_5) << true;
  }

  void userEditForcesOneWholeRewrite() {
    QFETCH(int, key);
    QFETCH(bool, undo);
    commit(QStringLiteral("1+2"));
    release(QStringLiteral("4"));
    history()->moveCursor(QTextCursor::End);
    QTest::keyClick(history(), Qt::Key(key));
    QVERIFY(window_->historyText() != Rendered(window_->controller().rows()));
    if (undo) {
      QTest::keyClick(history(), Qt::Key_Z, Qt::ControlModifier);
    }
    MarkLastLine(history());
    release(QStringLiteral("5"));
    QVERIFY(!LastLineMarked(history()));
    verifyHistory();
    MarkLastLine(history());
    release(QStringLiteral("6"));
    QVERIFY(LastLineMarked(history()));
    verifyHistory();
    QCOMPARE(window_->historyText().left(10), QStringLiteral("6\r\n1+2=3\r\n"));
  }

  // The lines of a kept row keep their layout: laying out a huge row again on every key release
  // would cost far more than the edit itself.
  void keptRowKeepsItsLayout_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("commits");
    vesko::test::Row("live value", "5", false);
    vesko::test::Row("longer live value", "123456789*987654321", false);
    vesko::test::Row("live value shorter than the row before", "7", false);
    vesko::test::Row("blank input", "", false);
    vesko::test::Row("commit", "2*3", true);
    vesko::test::Row("failed commit", "1/0", true);
    vesko::test::Row("long failed commit", u"1/0+"_s + QString(300, u'9'), true);
  }

  void keptRowKeepsItsLayout() {
    QFETCH(QString, text);
    QFETCH(bool, commits);
    QString sum = QStringLiteral("1");
    for (int i = 0; i < 3000; ++i) {
      sum += QStringLiteral("+1");
    }
    commit(sum);
    release(QStringLiteral("123456789012345678901234567890"));
    history()->viewport()->repaint();
    const QString row = window_->controller().rows().value(1);
    QVERIFY(row.startsWith(sum + u'='));
    QVERIFY(history()->document()->findBlockByNumber(1).layout()->lineCount() > 1);

    if (commits) {
      commit(text);
    } else {
      release(text);
    }
    const auto kept = static_cast<int>(window_->controller().rows().indexOf(row));
    const QTextBlock block = history()->document()->findBlockByNumber(kept);
    QCOMPARE(block.text(), row);
    QVERIFY(block.layout()->lineCount() > 1);
    verifyHistory();
  }

  // A row that fills several lines of the box cannot be edited line-wise; the runs that replace
  // it rewrite the box whole and the history is still right.
  void rowSpanningLinesIsReplacedWhole() {
    release(QStringLiteral("1&vblf&2"));
    QCOMPARE(history()->document()->firstBlock().text(), QStringLiteral("1"));
    QCOMPARE(history()->document()->firstBlock().next().text(), QStringLiteral("2"));
    release(QStringLiteral("3"));
    verifyHistory();
    QVERIFY(window_->historyText().startsWith(QStringLiteral("3\r\n(12-10)**(4)+sin(")));
    commit(QStringLiteral("1+\n2"));
    verifyHistory();
    QVERIFY(history()->toPlainText().startsWith(QStringLiteral("\n1+\n2=3\n")));
    MarkLastLine(history());
    release(QStringLiteral("8"));  // the multi-line row is below the top: the top is edited
    QVERIFY(LastLineMarked(history()));
    verifyHistory();
  }

  // Which row each line of the box belongs to, rows with line breaks of every kind included.
  void rowOfEachLine_data() {
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QList<qsizetype>>("rowOfLine");
    Row("one line each", QStringList({u""_s, u"1+2=3"_s, u"7=7"_s}), QList<qsizetype>({0, 1, 2}));
    Row("line feed", QStringList({u"a"_s, u"b\nc=1"_s, u"d"_s}), QList<qsizetype>({0, 1, 1, 2}));
    Row("CR LF counts once", QStringList({u"x\r\ny=1"_s, u"z"_s}), QList<qsizetype>({0, 0, 1}));
    Row("carriage return", QStringList({u"p\rq\r=1"_s, u"r"_s}), QList<qsizetype>({0, 0, 0, 1}));
    Row("paragraph separator", QStringList({u"u\u2029v=1"_s}), QList<qsizetype>({0, 0}));
    Row("break at the end", QStringList({u"1\n"_s, u"2"_s}), QList<qsizetype>({0, 0, 1}));
  }
  void rowOfEachLine() {
    QFETCH(QStringList, rows);
    QFETCH(QList<qsizetype>, rowOfLine);
    // The box as the rows render into it: each row followed by CR LF.
    vesko::HistoryBoxEditor editor(reference_.get());
    editor.SetText(rows.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"), rows);
    QCOMPARE(reference_->document()->blockCount(), rowOfLine.size() + 1);
    for (qsizetype line = 0; line < rowOfLine.size(); ++line) {
      QCOMPARE(vesko::HistoryBoxEditor::RowOfLine(rows, line), rowOfLine[line]);
    }
    QCOMPARE(vesko::HistoryBoxEditor::RowOfLine(rows, rowOfLine.size()), -1);  // the last line
  }
};

QTEST_MAIN(HistoryBoxTest)
#include "history_box_editor_test.moc"
