// Lexical and syntax failures with their descriptions, the places where the calculator's
// language deliberately differs from VBScript, names in any case, and language selection.
#include "tests/script/script_test_support.h"

#include <QObject>
#include <QTest>

namespace {

void AddFailureColumns() {
  QTest::addColumn<QString>("expression");
  QTest::addColumn<int>("number");
  QTest::addColumn<QString>("description");
}

void Failure(const char* name, const QString& expression, int number, const char* description) {
  QTest::newRow(name) << expression << number << QString::fromUtf8(description);
}

void Failure(const char* expression, int number, const char* description) {
  Failure(expression, QString::fromUtf8(expression), number, description);
}

void Text(const char* name, const QString& expression, const char* text) {
  QTest::newRow(name) << expression << QString::fromUtf8(text);
}

}  // namespace

class SyntaxTest : public QObject {
  Q_OBJECT

 private slots:
  void syntaxFailures_data() {
    AddFailureColumns();
    // The text ending where an operand is due is a plain syntax error (recorded on Windows).
    Failure("2+", 1002, "Syntax error");
    Failure("1 +", 1002, "Syntax error");
    Failure("(", 1002, "Syntax error");
    Failure("*2", 1023, "Expected expression");
    Failure("()", 1023, "Expected expression");
    Failure("(,1)", 1023, "Expected expression");
    Failure("(1,)", 1006, "Expected ')'");
    Failure("Array(1)(,)", 1023, "Expected expression");
    // An argument left empty is an omitted argument: too many for Sin.
    Failure("Sin(1,)", 450, "Wrong number of arguments or invalid property assignment");
    Failure("Sin(,1)", 450, "Wrong number of arguments or invalid property assignment");
    Failure("Sin(,)", 450, "Wrong number of arguments or invalid property assignment");
    Failure("1 * / 2", 1023, "Expected expression");
    Failure("(2+3", 1006, "Expected ')'");
    Failure("((1)", 1006, "Expected ')'");
    Failure("Sin(1", 1006, "Expected ')'");
    Failure("(1,2)", 1006, "Expected ')'");
    Failure("2 3", 1025, "Expected end of statement");
    Failure("2)", 1025, "Expected end of statement");
    Failure("2x", 1025, "Expected end of statement");
    Failure("1 Not 2", 1025, "Expected end of statement");
    Failure("1.2.3", 1025, "Expected end of statement");
    Failure("Sin 1", 1025, "Expected end of statement");
    Failure("1,2", 1025, "Expected end of statement");
    Failure("a b", 1025, "Expected end of statement");
    Failure("2$3", 1032, "Invalid character");
    Failure("2 @ 3", 1032, "Invalid character");
    Failure("[x]", 1032, "Invalid character");
    Failure("1;", 1032, "Invalid character");
    Failure("full-width digit", QStringLiteral("\uFF11+1"), 1032, "Invalid character");
    Failure("no-break space", QStringLiteral("1\u00A0+2"), 1032, "Invalid character");
    Failure("non-ASCII name", QStringLiteral("s\u00EFn(1)"), 1032, "Invalid character");
    Failure("\"abc", 1033, "Unterminated string constant");
    Failure("line feed in string", QStringLiteral("\"a\nb\""), 1033,
            "Unterminated string constant");
    Failure("1e", 1031, "Invalid number");
    Failure("1e+", 1031, "Invalid number");
    Failure("1e400", 1031, "Invalid number");
    Failure("&H123456789", 1031, "Invalid number");
    Failure("name of 256 letters", QString(256, QLatin1Char('a')), 1030, "Identifier too long");
    Failure("1 + Not 0", 1002, "Syntax error");
    Failure("1 * Not 0", 1002, "Syntax error");
    Failure("1 & Not 0", 1002, "Syntax error");
    Failure("If", 1002, "Syntax error");
    Failure("Dim x", 1002, "Syntax error");
    Failure("New x", 1002, "Syntax error");
    Failure("1 ' comment", 1002, "Syntax error");
    Failure("1 Rem comment", 1025, "Expected end of statement");
    Failure("1:2", 1002, "Syntax error");
    Failure("line continuation", QStringLiteral("1 + _\n2"), 1002, "Syntax error");
    Failure("Me", 1037, "Invalid use of 'Me' keyword");
    Failure(".x", 505, "Invalid or unqualified reference");
    // Syntax is checked before anything is evaluated.
    Failure("1/0 +", 1002, "Syntax error");
    // A date literal that names no possible date or time.
    Failure("#13/45/2000#", 1002, "Syntax error");
    Failure("#1/2/2003", 1002, "Syntax error");
    Failure("#2/30/2003#", 1002, "Syntax error");
    Failure("#25:00#", 1002, "Syntax error");
    Failure("##", 1002, "Syntax error");
    Failure("#abc#", 1002, "Syntax error");
  }
  void syntaxFailures() {
    QFETCH(QString, expression);
    QFETCH(int, number);
    QFETCH(QString, description);
    VESKO_CHECK_FAILURE(expression, number, description);
  }

  // Where this language chooses differently from VBScript on purpose.
  void deliberateFailures_data() {
    AddFailureColumns();
    Failure("x", 500, "Variable is undefined: 'x'");
    Failure("x+1", 500, "Variable is undefined: 'x'");
    Failure("pi*2", 500, "Variable is undefined: 'pi'");
    Failure("1 & Foo_Bar", 500, "Variable is undefined: 'Foo_Bar'");
    Failure("Foo(1)", 13, "Type mismatch: 'Foo'");
    Failure("foo()", 13, "Type mismatch: 'foo'");
    Failure("vbCr(1)", 13, "Type mismatch: 'vbCr'");
    // Evaluation runs left to right: the first failure met is reported.
    Failure("1/0+x", 11, "Division by zero");
    Failure("x+1/0", 500, "Variable is undefined: 'x'");
    Failure("Foo(1/0)", 11, "Division by zero");
    // An array cannot be the result, as its text cannot be made.
    Failure("Array(1, 2)", 13, "Type mismatch");
    Failure("Split(\"a b\")", 13, "Type mismatch");
  }
  void deliberateFailures() {
    QFETCH(QString, expression);
    QFETCH(int, number);
    QFETCH(QString, description);
    VESKO_CHECK_FAILURE(expression, number, description);
  }

  void whiteSpaceAndCase_data() {
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QString>("text");
    Text("empty text", QString(), "");
    Text("blanks only", QStringLiteral("  \t "), "");
    Text("line feeds only", QStringLiteral("\n\r\n"), "");
    Text("line feed between tokens", QStringLiteral("1+\n2"), "3");
    Text("leading and trailing line feeds", QStringLiteral("\n1+2\n"), "3");
    Text("tabs", QStringLiteral("1\t+\t2"), "3");
    Text("pasted lines", QStringLiteral("(1 +\r\n 2) *\r\n 3"), "9");
    Text("space before call bracket", QStringLiteral("Sin (0)"), "0");
    Text("upper case function", QStringLiteral("SIN(0)+ABS(-1)"), "1");
    Text("mixed case function", QStringLiteral("sQr(4)"), "2");
    Text("upper case keyword", QStringLiteral("7 MOD 4"), "3");
    Text("lower case keyword", QStringLiteral("not true"), "False");
    Text("upper case constant", QStringLiteral("Len(VBCRLF)"), "2");
    Text("string keeps case", QStringLiteral("\"MiXeD\""), "MiXeD");
  }
  void whiteSpaceAndCase() {
    QFETCH(QString, expression);
    QFETCH(QString, text);
    VESKO_CHECK_VALUE(expression, text, QString());
  }

  void emptyTextIsEmpty() {
    // The empty text gives the Empty value (not the empty string).
    const auto evaluator = vesko::CreateScriptEvaluator();
    const vesko::Evaluation result = evaluator->Evaluate(QString());
    QVERIFY(!result.failed);
    QCOMPARE(result.text, QString());
    QCOMPARE(vesko::test::Evaluate(QStringLiteral("IsEmpty(Empty)")).text, QStringLiteral("True"));
  }

  void failureLeavesEvaluatorUsable() {
    const auto evaluator = vesko::CreateScriptEvaluator();
    QVERIFY(vesko::test::EvaluateText(*evaluator, QStringLiteral("String(1e9,\"a\")")).failed);
    QVERIFY(vesko::test::EvaluateText(*evaluator, QStringLiteral("(1+")).failed);
    QCOMPARE(vesko::test::EvaluateText(*evaluator, QStringLiteral("Len(String(100,\"a\"))")).text,
             QStringLiteral("100"));
  }
};

QTEST_GUILESS_MAIN(SyntaxTest)
#include "syntax_test.moc"
