#include "engine/calculation_controller.h"
#include "engine/plain_input_text.h"
#include "table_evaluator.h"

#include <QRandomGenerator>
#include <QTest>

#include <functional>
#include <memory>

#include "tests/test_rows.h"

using namespace Qt::StringLiterals;

using vesko::test::Row;

using vesko::CalculationController;
using vesko::HostOperations;
using vesko::PlainInputText;
using vesko::testing::TableEvaluator;

namespace {

const QString kPi = QStringLiteral("3.1415926535897932384626433832795");

// The input box, counting the reads of its whole text.
class CountingInput : public PlainInputText {
 public:
  QString text() const override {
    ++wholeReads;
    return PlainInputText::text();
  }
  mutable int wholeReads = 0;
};

// Stands in for the window: the two text boxes and the focus.
struct FakeHost {
  CountingInput input;
  QString history;
  int focusCount = 0;
  int historyWrites = 0;
  int caretMovesToEnd = 0;
  // Stands in for the window's top-line edit of the history box when set.
  std::function<bool(qsizetype, const QStringList&)> topEditor;

  HostOperations operations() {
    return {
        .setInputText = [this](const QString& text) { input.setText(text); },
        .focusInput = [this] { ++focusCount; },
        .setHistoryText =
            [this](const QString& text) {
              history = text;
              ++historyWrites;
            },
        .editHistoryTop =
            [this](qsizetype renderedTopRows, const QStringList& newTop) {
              return topEditor && topEditor(renderedTopRows, newTop);
            },
        .moveInputCaretToEnd = [this] { ++caretMovesToEnd; },
    };
  }
  QString firstLine() const { return history.section(QStringLiteral("\r\n"), 0, 0); }
};

}  // namespace

class CalculationControllerTest : public QObject {
  Q_OBJECT

 private:
  TableEvaluator evaluator;
  FakeHost host;
  std::unique_ptr<CalculationController> controller;

  // A key release after the input box came to hold `text`.
  void typeTo(const QString& text) {
    host.input.setText(text);
    controller->UpdateFromInput();
  }
  // Enter pressed and released.
  void pressEnter() {
    controller->RequestCommit();
    controller->UpdateFromInput();
  }
  void seedStartRows() {
    controller->SeedExample(QStringLiteral("7"));
    controller->SeedExample(QStringLiteral("8"));
    controller->RenderHistory();
  }

 private slots:
  void init() {
    evaluator = TableEvaluator();
    for (const auto& [expression, text] :
         std::initializer_list<std::pair<const char*, const char*>>{
             {"", ""},
             {"1", "1"},
             {"1+2", "3"},
             {"2*(3+4)", "14"},
             {"1-5", "-4"},
             {"3^2", "9"},
             {"5", "5"},
             {"7", "7"},
             {"8", "8"},
             {"1e300*1e300", "1E+600"},
             {"(1+2)", "3"},
         }) {
      evaluator.add(QString::fromUtf8(expression), QString::fromUtf8(text));
    }
    evaluator.addFailure(QStringLiteral("1/0"), QStringLiteral("Division by zero"));
    evaluator.addFailure(QStringLiteral("2^("), QStringLiteral("Expected expression"));
    evaluator.addFailure(QStringLiteral("blank"), QStringLiteral("  "));
    host = FakeHost();
    controller = std::make_unique<CalculationController>(evaluator, host.input, host.operations());
    seedStartRows();
  }

  void seedingWritesCommittedLookingRows() {
    QCOMPARE(controller->rows(), QStringList({u"8=8"_s, u"7=7"_s}));
    QCOMPARE(host.history, QStringLiteral("8=8\r\n7=7\r\n"));
    QCOMPARE(host.input.text(), QStringLiteral("8"));
  }

  void typingKeyByKeyShowsLiveValue() {
    typeTo(u"1"_s);
    QCOMPARE(host.firstLine(), QStringLiteral("1"));
    typeTo(u"1+"_s);
    QCOMPARE(host.firstLine(), QStringLiteral("1"));
    typeTo(u"1+2"_s);
    QCOMPARE(host.firstLine(), QStringLiteral("3"));
    QCOMPARE(host.history, QStringLiteral("3\r\n7=7\r\n"));
    QVERIFY(host.focusCount >= 3);
  }

  void livePrefix_data() {
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("firstLine");
    Row("stops before open bracket", "1+(2*3", "1");
    Row("surplus close bracket", "2*(3+4))", "14");
    Row("unclosed leading bracket leaves row", "(1+2", "8=8");
    Row("negative value not shown", "1-5", "8=8");
    Row("exponent text not shown", "1e300*1e300", "8=8");
    Row("failing prefix leaves row", "1/0", "8=8");
    Row("unknown text leaves row", "1+x", "8=8");
    Row("blank input", "", "0.");
    Row("spaces only", "   ", "0.");
    Row("lone operator evaluates empty text", "+", "");
    Row("full-width folded", "１＋２", "3");
    Row("power written with stars", "3**2", "9");
    Row("closed bracket group", "(1+2)", "3");
  }
  void livePrefix() {
    QFETCH(QString, input);
    QFETCH(QString, firstLine);
    typeTo(input);
    QCOMPARE(host.firstLine(), firstLine);
    QCOMPARE(controller->rows().size(), 2);
    QCOMPARE(host.input.text(), input);
  }

  void liveRunEvaluatesOnce() {
    evaluator.evaluated.clear();
    typeTo(u"1+2"_s);
    QCOMPARE(evaluator.evaluated, QStringList({u"1+2"_s}));
  }

  // A release that finds the text the last live run had (a modifier after its key, a key after
  // an input method's commit) does no work; a changed text, a commit or new rows do.
  void unchangedInputRunsOnce() {
    typeTo(u"1+2"_s);
    evaluator.evaluated.clear();
    const int writes = host.historyWrites;
    QList<std::pair<qsizetype, QStringList>> edits;
    host.topEditor = [&](qsizetype renderedTopRows, const QStringList& newTop) {
      edits.append({renderedTopRows, newTop});
      return true;
    };
    typeTo(u"1+2"_s);
    typeTo(u"1+2"_s);
    QVERIFY(evaluator.evaluated.isEmpty());
    // The history box is only asked to confirm that it still shows the rows: no line changes.
    QCOMPARE(host.historyWrites, writes);
    for (const auto& [renderedTopRows, newTop] : edits) {
      QCOMPARE(renderedTopRows, 0);
      QVERIFY(newTop.isEmpty());
    }
    QCOMPARE(host.firstLine(), QStringLiteral("3"));
    host.topEditor = nullptr;

    typeTo(u"1"_s);
    QCOMPARE(evaluator.evaluated, QStringList({u"1"_s}));
    pressEnter();
    QCOMPARE(controller->rows(), QStringList({QString(), u"1=1"_s, u"7=7"_s}));
    // After the commit the same text (here empty) is calculated again.
    typeTo(QString());
    QCOMPARE(controller->rows().first(), QStringLiteral("0."));
    host.input.setText(QStringLiteral("1"));
    controller->SeedExample(QStringLiteral("1"));
    evaluator.evaluated.clear();
    typeTo(u"1"_s);
    QCOMPARE(evaluator.evaluated, QStringList({u"1"_s}));
  }

  void commits_data() {
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("row");
    Row("plain", "1+2", "1+2=3");
    Row("negative result", "1-5", "1-5=-4");
    Row("caret shown as stars", "3^2", "3**2=9");
    Row("stars kept", "3**2", "3**2=9");
    Row("spaces kept in display form", " 1+2 ", " 1+2 =3");
    Row("trailing line break", "1+2\n", "1+2=3");
    Row("pasted line breaks and spaces", "\r\n 1+2 \r\n\n", "1+2=3");
    Row("spaces kept at the end without a break", "\n1+2 ", "1+2 =3");
    Row("full-width", "１＋２", "1+2=3");
  }
  void commits() {
    QFETCH(QString, input);
    QFETCH(QString, row);
    typeTo(input);
    pressEnter();
    QCOMPARE(controller->rows(), QStringList({QString(), row, u"7=7"_s}));
    QCOMPARE(host.history, u"\r\n"_s + row + u"\r\n7=7\r\n"_s);
    QCOMPARE(host.input.text(), QString());
    QCOMPARE(host.caretMovesToEnd, 0);
  }

  void failedCommits_data() {
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("errorRow");
    Row("division by zero", "1/0", "表达式错误:1/0");
    Row("carries evaluation form", "2**(", "表达式错误:2^(");
    Row("trimmed evaluation form", "  1/0 ", "表达式错误:1/0");
    Row("line breaks trimmed", "\n1/0\n", "表达式错误:1/0");
  }
  void failedCommits() {
    QFETCH(QString, input);
    QFETCH(QString, errorRow);
    typeTo(input);
    pressEnter();
    QCOMPARE(controller->rows(), QStringList({errorRow, u"7=7"_s}));
    // Nothing is inserted and the expression stays in the input box, caret at its end.
    QCOMPARE(host.input.text(), input);
    QCOMPARE(host.caretMovesToEnd, 1);
    // The error row stays on top until the next key release overwrites the live row.
    typeTo(u"5"_s);
    QCOMPARE(controller->rows(), QStringList({u"5"_s, u"7=7"_s}));
  }

  void failureWithBlankDescriptionChangesNoRow() {
    typeTo(u"blank"_s);
    pressEnter();
    QCOMPARE(controller->rows(), QStringList({u"8=8"_s, u"7=7"_s}));
    QCOMPARE(host.input.text(), QStringLiteral("blank"));
  }

  void blankEnterCommitsNothing_data() {
    QTest::addColumn<QString>("input");
    Row("empty", "");
    Row("spaces only", "   ");
    Row("line breaks and spaces", " \n \r\n");
    Row("tabs", "\t\t");
    Row("ideographic spaces", "\u3000\u3000");
    Row("every blank", " \t\n\r\u3000");
  }
  void blankEnterCommitsNothing() {
    QFETCH(QString, input);
    typeTo(input);
    pressEnter();
    QCOMPARE(controller->rows(), QStringList({u"0."_s, u"7=7"_s}));
    QCOMPARE(host.history, QStringLiteral("0.\r\n7=7\r\n"));
    QCOMPARE(host.input.text(), input);
    // Also straight after a commit, with the box just cleared.
    typeTo(u"1+2"_s);
    pressEnter();
    pressEnter();
    QCOMPARE(controller->rows(), QStringList({u"0."_s, u"1+2=3"_s, u"7=7"_s}));
  }

  void severalEnterPressesOneReleaseCommitOnce() {
    typeTo(u"1+2"_s);
    for (int i = 0; i < 5; ++i) {
      controller->RequestCommit();
    }
    controller->UpdateFromInput();
    QCOMPARE(controller->rows(), QStringList({QString(), u"1+2=3"_s, u"7=7"_s}));
    // The release after the commit, with the box now empty, shows "0.".
    controller->UpdateFromInput();
    QCOMPARE(controller->rows().first(), QStringLiteral("0."));
  }

  void overlongEvaluationFormLeavesLiveRow() {
    typeTo(u"1"_s);
    evaluator.add(QString(32766, u'1'), QStringLiteral("ones"));
    typeTo(QString(32766, u'1'));
    QCOMPARE(host.firstLine(), QStringLiteral("ones"));
    evaluator.evaluated.clear();
    typeTo(QString(32767, u'1'));
    QCOMPARE(host.firstLine(), QStringLiteral("ones"));
    QVERIFY(evaluator.evaluated.isEmpty());
  }

  // The input's length and start spare a live run the reading of a huge input it refuses; an input
  // whose start is mostly blank, or a commit, is still read whole.
  void hugeInputRefusedUnread_data() {
    QTest::addColumn<QString>("input");
    QTest::addColumn<bool>("read");
    Row("long sum", QStringLiteral("1+").repeated(100000) + u"1"_s, false);
    Row("long run of stars", QStringLiteral("2**").repeated(70000) + u"2"_s, false);
    Row("just above the length first read", QString(32767 + 129, u'1'), false);
    Row("at the length first read", QString(32767 + 128, u'1'), true);
    Row("blank start", QString(140000, u' ') + u"1+2"_s, true);
    Row("short form, long blank end", u"1+2"_s + QString(140000, u' '), true);
  }
  void hugeInputRefusedUnread() {
    QFETCH(QString, input);
    QFETCH(bool, read);
    typeTo(u"5"_s);
    evaluator.evaluated.clear();
    host.input.wholeReads = 0;
    typeTo(input);
    QCOMPARE(host.input.wholeReads > 0, read);
    QCOMPARE(host.firstLine(),
             QString::fromLatin1(read && input.trimmed().endsWith(u'2') ? "3" : "5"));
    pressEnter();
    QVERIFY(host.input.wholeReads > 0);
  }

  // Only the form's own length counts: spaces and carriage returns around a short expression
  // do not make it too long.
  void blanksAroundShortExpressionShowLive_data() {
    QTest::addColumn<QString>("input");
    Row("spaces after", u"1+2"_s + QString(40000, u' '));
    Row("spaces before", QString(40000, u' ') + u"1+2"_s);
    Row("carriage returns around", QString(20000, u'\r') + u" 1+2 "_s + QString(20000, u'\r'));
  }
  void blanksAroundShortExpressionShowLive() {
    QFETCH(QString, input);
    typeTo(input);
    QCOMPARE(host.firstLine(), QStringLiteral("3"));
  }

  // An error row shows the evaluation form unless that is huge; then its start and an ellipsis.
  // A form beyond the evaluator's limit fails without the evaluator being asked.
  void hugeFailedCommitsShowStartOfForm_data() {
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("errorRow");
    QTest::addColumn<bool>("evaluated");
    Row("longest full form", QString(65536, u'1'), u"表达式错误:"_s + QString(65536, u'1'), true);
    Row("one longer", QString(65537, u'1'), u"表达式错误:"_s + QString(256, u'1') + u"…"_s, true);
    Row("beyond the evaluator's limit", QStringLiteral(" pi").repeated(1'100'000),
        u"表达式错误:"_s + (kPi + u" "_s).repeated(8).left(256) + u"…"_s, false);
  }
  void hugeFailedCommitsShowStartOfForm() {
    QFETCH(QString, input);
    QFETCH(QString, errorRow);
    QFETCH(bool, evaluated);
    typeTo(input);
    evaluator.evaluated.clear();
    pressEnter();
    QCOMPARE(controller->rows(), QStringList({errorRow, u"7=7"_s}));
    QCOMPARE(evaluator.evaluated.size(), evaluated ? 1 : 0);
  }

  // The top-edit path must leave the history box exactly as a whole rewrite would, whatever
  // mix of live runs, commits, failed commits and refusals (a user edit of the box) comes.
  void topEditsMatchWholeRendering_data() {
    QTest::addColumn<quint32>("seed");
    Row("seed 1", 1u);
    Row("seed 2", 2u);
  }
  void topEditsMatchWholeRendering() {
    QFETCH(quint32, seed);
    QStringList lines;  // the history box's lines as the host holds them
    int syncedWrites = -1;
    int refusals = 0;
    int edits = 0;
    bool refuseNext = false;
    host.topEditor = [&](qsizetype renderedTopRows, const QStringList& newTop) {
      if (refuseNext) {
        ++refusals;
        return false;
      }
      if (syncedWrites != host.historyWrites) {  // the whole text was set since the last edit
        lines = host.history.split(QStringLiteral("\r\n"));
        lines.removeLast();
        syncedWrites = host.historyWrites;
      }
      ++edits;
      lines.remove(0, renderedTopRows);
      for (qsizetype i = newTop.size() - 1; i >= 0; --i) {
        lines.prepend(newTop[i]);
      }
      host.history = lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
      return true;
    };
    const QStringList inputs = {u"1"_s,  u"1+"_s,   u"1+2"_s,  u"1-5"_s,   u"1/0"_s, QString(),
                                u"  "_s, u"2**("_s, u"(1+2"_s, u"blank"_s, u"3^2"_s, u"x"_s};
    QRandomGenerator generator(seed);
    auto* random = &generator;
    for (int step = 0; step < 3000; ++step) {
      refuseNext = random->bounded(20) == 0;
      typeTo(inputs[random->bounded(inputs.size())]);
      if (random->bounded(3) == 0) {
        pressEnter();
      }
      QString whole;
      for (const QString& row : controller->rows()) {
        whole += row + QStringLiteral("\r\n");
      }
      QCOMPARE(host.history, whole);
    }
    QVERIFY(edits > 1000);
    QVERIFY(refusals > 0);
  }

  void moreRowsThanSixteenBitsHold() {
    // The history box is edited at its top, as the window does, so that each commit costs the
    // same however many rows there are.
    QStringList lines;
    host.topEditor = [&](qsizetype renderedTopRows, const QStringList& newTop) {
      if (lines.isEmpty()) {
        lines = host.history.split(QStringLiteral("\r\n"));
        lines.removeLast();
      }
      lines.remove(0, renderedTopRows);
      for (qsizetype i = newTop.size() - 1; i >= 0; --i) {
        lines.prepend(newTop[i]);
      }
      return true;
    };
    for (int i = 0; i < 33000; ++i) {
      typeTo(u"1+2"_s);
      pressEnter();
    }
    // The seeded top row became the live row at the first key release.
    QCOMPARE(controller->rows().size(), 33002);
    QCOMPARE(controller->rows().at(1), QStringLiteral("1+2=3"));
    QCOMPARE(controller->rows().at(33000), QStringLiteral("1+2=3"));
    QCOMPARE(controller->rows().last(), QStringLiteral("7=7"));
    QCOMPARE(lines, controller->rows());
    QCOMPARE(lines.first(), QString());
  }

  // Restored rows, commits, an error row and the examples, newest first:
  // error 1/0, 5=5, 5=5, 1+2=3, 7=7 (the example the first live run left), then restored 1+2=3,
  // 1+2=3, 5=5, 1=1=True (two "=": split in doubt).
  void recallStepsThroughCommittedExpressions() {
    controller->AppendRows(QStringList({u"1+2=3"_s, u"1+2=3"_s, u"5=5"_s, u"1=1=True"_s}));
    for (const char* expression : {"1+2", "5", "5", "1/0"}) {
      typeTo(QString::fromUtf8(expression));
      pressEnter();
    }
    QCOMPARE(controller->kind(0), CalculationController::RowKind::kError);
    QStringList older;
    qsizetype row = 0;
    while ((row = controller->OlderRecallRow(row)) >= 0) {
      older.append(*controller->ExpressionOf(row));
      if (older.size() == 1) {
        QCOMPARE(row, 1);
      }
      if (older.size() > 10) {
        break;
      }
    }
    // Equal expressions one after the other count once, also across an example; the row
    // whose split is in doubt comes whole.
    QCOMPARE(older, QStringList({u"5"_s, u"1+2"_s, u"5"_s, u"1=1=True"_s}));
    QStringList newer;
    row = controller->rows().size() - 1;
    while ((row = controller->NewerRecallRow(row)) >= 0) {
      newer.append(*controller->ExpressionOf(row));
      if (newer.size() > 10) {
        break;
      }
    }
    QCOMPARE(newer, QStringList({u"5"_s, u"1+2"_s, u"5"_s}));
  }

  void recallWithoutCommittedRows() {
    QCOMPARE(controller->OlderRecallRow(0), -1);  // the examples are not recalled
    QCOMPARE(controller->NewerRecallRow(0), -1);
  }

  void rowsSplitWhereTheirExpressionEnds_data() {
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("row");
    Row("= on the left", "1=1", "True", "1=1=True");
    Row("= on both sides", "\"a=b\"", "a=b", "\"a=b\"=a=b");
    Row("= on the right", "\"=\"", "=", "\"=\"==");
    Row("empty result", "\"\"", "", "\"\"=");
  }
  void rowsSplitWhereTheirExpressionEnds() {
    QFETCH(QString, input);
    QFETCH(QString, value);
    QFETCH(QString, row);
    evaluator.add(input, value);
    QList<vesko::KeptRow> kept;
    controller->setCommitListener([&kept](const vesko::KeptRow& r) { kept.append(r); });
    typeTo(input);
    pressEnter();
    QCOMPARE(controller->rows()[1], row);
    QCOMPARE(controller->ExpressionOf(1), std::optional<QString>(input));
    QCOMPARE(controller->keptRow(1).result(), value);
    // The history gets the split with the row; restored from it, the row splits the same.
    QCOMPARE(kept.size(), 1);
    QCOMPARE(kept[0].expression(), input);
    controller->AppendRows(kept);
    const qsizetype last = controller->rows().size() - 1;
    QCOMPARE(controller->ExpressionOf(last), std::optional<QString>(input));
    QCOMPARE(controller->keptRow(last).result(), value);
  }

  void resultLiterals_data() {
    QTest::addColumn<QString>("keptRow");  // a row of an earlier version's file
    QTest::addColumn<QString>("literal");  // "-" for none
    Row("number reads back", "1+2=3", "3");
    Row("text does not", "\"a\"&\"b\"=ab", "\"ab\"");
    Row("text with a quote", "x=a\"b", "\"a\"\"b\"");
    Row("split in doubt", "1=1=True", "-");
  }
  void resultLiterals() {
    QFETCH(QString, keptRow);
    QFETCH(QString, literal);
    evaluator.add(QStringLiteral("3"), QStringLiteral("3"));
    controller->AppendRows(QStringList({keptRow}));
    const std::optional<QString> got = controller->ResultLiteralOf(controller->rows().size() - 1);
    QCOMPARE(got.value_or(QStringLiteral("-")), literal);
  }

  void literalsOfTheLiveRowAndErrors() {
    // A literal the evaluator gives is taken as it is.
    evaluator.add(QStringLiteral("3"), QStringLiteral("3"));
    typeTo(u"1+2"_s);
    QCOMPARE(controller->ResultLiteralOf(0), std::optional<QString>(QStringLiteral("3")));
    QCOMPARE(controller->ExpressionOf(0), std::nullopt);
    typeTo(u""_s);
    QCOMPARE(controller->rows()[0], QStringLiteral("0."));
    QCOMPARE(controller->ResultLiteralOf(0), std::optional<QString>(QStringLiteral("0")));
    typeTo(u"1/0"_s);
    pressEnter();
    QCOMPARE(controller->ResultLiteralOf(0), std::nullopt);
    QCOMPARE(controller->ExpressionOf(0), std::optional<QString>(QStringLiteral("1/0")));
    typeTo(u"1+2"_s);
    pressEnter();
    QCOMPARE(controller->rows()[0], QString());
    QCOMPARE(controller->ResultLiteralOf(0), std::nullopt);  // the fresh live row shows nothing
  }

  void removingOneRow() {
    controller->AppendRows(QStringList({u"1+2=3"_s, u"5=5"_s}));
    typeTo(u"1+2"_s);
    pressEnter();
    // "", 1+2=3, 7=7 (example), 1+2=3, 5=5
    QCOMPARE(controller->CommittedRowsAbove(4), 2);
    const quint64 version = controller->rowsVersion();
    controller->RemoveRow(3);
    QCOMPARE(controller->rows(), QStringList({u""_s, u"1+2=3"_s, u"7=7"_s, u"5=5"_s}));
    QVERIFY(controller->rowsVersion() != version);
    QCOMPARE(controller->ExpressionOf(3), std::optional<QString>(QStringLiteral("5")));
    controller->RemoveRow(0);  // the live row stays
    controller->RemoveRow(4);  // below the last: nothing
    QCOMPARE(controller->rows().size(), 4);
    controller->RenderHistory();
    QCOMPARE(host.history, QStringLiteral("\r\n1+2=3\r\n7=7\r\n5=5\r\n"));
  }
};

QTEST_APPLESS_MAIN(CalculationControllerTest)
#include "calculation_controller_test.moc"
