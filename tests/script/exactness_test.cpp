// Answers that once differed from Windows: each row's answer is VBScript's on Windows (Microsoft's
// reference and conformance expectations recorded on Windows; sections 1, 5, 6 and 11 of the
// language reference).
#include "tests/script/script_test_support.h"

#include <QObject>
#include <QTest>

using vesko::test::AddFailureColumns;
using vesko::test::AddValueColumns;
using vesko::test::Failure;
using vesko::test::Value;

class ExactnessTest : public QObject {
  Q_OBJECT

 private slots:
  void values_data() {
    AddValueColumns();
    // A literal too small for a Double is 0, whatever the case of its exponent letter.
    Value("1E-400", "0", "Double");
    Value("1e-400", "0", "Double");
    Value("2E-324+0.5", "0.5", "Double");
    Value("-1E-400", "0", "Double");
    Value("4.9E-324 > 0", "True");
    // Not as the right operand of a comparison takes the rest of the chain.
    Value("1 > Not 5 > 3", "True", "Boolean");
    Value("true = Not false", "True", "Boolean");
    Value("0 = Not 1 = 1", "True", "Boolean");
    Value("1 = Not 0", "False", "Boolean");
    Value("-1 = Not 0", "True", "Boolean");
    Value("1 < Not 0 And 5", "0", "Integer");
    // A string literal against a Boolean compares as text.
    Value("\"True\" = True", "True", "Boolean");
    Value("\"-1\" = True", "False", "Boolean");
    Value("\"0\" = False", "False", "Boolean");
    Value("\"False\" = False", "True", "Boolean");
    Value("\"true\" <> True", "True", "Boolean");
    Value("True = \"True\"", "True", "Boolean");
    Value("\"\" = True = False", "True", "Boolean");
    // Empty in logic is a Long.
    Value("Not Empty", "-1", "Long");
    Value("Empty And Empty", "0", "Long");
    Value("CInt(5) Or Empty", "5", "Long");
    Value("True Imp Empty", "0", "Long");
    Value("Empty Xor True", "-1", "Long");
    // x Imp Null is Null only for True/-1; a Byte stays a Byte.
    Value("CByte(255) Imp Null", "0", "Byte");
    Value("CByte(1) Imp Null", "254", "Byte");
    Value("True Imp Null", "Null", "Null");
    Value("-1 Imp Null", "Null", "Null");
    Value("0 Imp Null", "-1", "Integer");
    Value("False Imp Null", "True", "Boolean");
    // "#TRUE#" and "#FALSE#" are Booleans wherever "True"/"False" are (in capitals only).
    Value("CBool(\"#TRUE#\")", "True", "Boolean");
    Value("CBool(\" #FALSE# \")", "False", "Boolean");
    Value("CBool(\"false\")", "False", "Boolean");
    Value("Not \"#FALSE#\"", "True", "Boolean");
    Value("\"#TRUE#\" And True", "True", "Boolean");
    // A Single against a Double (or any other number) compares at Single precision.
    Value("CSng(0.001 * 0.001) = 0.000001", "True", "Boolean");
    Value("0.000001 = CSng(0.001 * 0.001)", "True", "Boolean");
    Value("CSng(0.1) = 0.1", "True", "Boolean");
    Value("CSng(0.1) < 0.1000001", "True", "Boolean");
    Value("CDbl(CSng(0.1)) = 0.1", "False", "Boolean");
    Value("CSng(0.1) = CCur(0.1)", "True", "Boolean");
    Value("CSng(16777216) < 16777217", "False", "Boolean");
    Value("CLng(16777217) > CSng(16777216)", "False", "Boolean");
    Value("16777217 > 16777216", "True", "Boolean");
    // The soft/hard rules that stay: one computed side.
    Value("CStr(1) = 1", "True", "Boolean");
    Value("\"abc\" = CInt(5)", "False", "Boolean");
    Value("CStr(5) > CInt(9)", "True", "Boolean");
    Value("\"10\" > 9", "True", "Boolean");
    Value("1 = \"1\"", "True", "Boolean");
    // A function's result is computed even when it hands back its argument.
    Value("Round(5) = \"abc\"", "False", "Boolean");
    Value("Eval(5) < \"abc\"", "True", "Boolean");
    Value("CStr(\"abc\") = 5", "False", "Boolean");
  }
  void values() {
    QFETCH(QString, expression);
    QFETCH(QString, text);
    QFETCH(QString, type);
    VESKO_CHECK_VALUE(expression, text, type);
  }

  void failures_data() {
    AddFailureColumns();
    // Two literals, a string that is not a number and a number.
    Failure("\"abc\" = 5", 13, "Type mismatch");
    Failure("\"\" = 5", 13, "Type mismatch");
    Failure("\" \" = 0", 13, "Type mismatch");
    Failure("5 > \"abc\"", 13, "Type mismatch");
    Failure("\"abc\" > 1", 13, "Type mismatch");
    Failure("CInt(\"#TRUE#\")", 13, "Type mismatch");
    // Only the capitals are the written Booleans.
    Failure("CBool(\"#False#\")", 13, "Type mismatch");
    Failure("CBool(\"#true#\")", 13, "Type mismatch");
    Failure("Not \"#False#\"", 13, "Type mismatch");
    Failure("\"#True#\" And True", 13, "Type mismatch");
    Failure("\"#TRUE#\" + 1", 13, "Type mismatch");
    // The numbers the diagnostics carry.
    Failure("Mid(\"test\", \"a\", Null)", 94, "Invalid use of Null");
    Failure("Mid(\"test\", Null)", 94, "Invalid use of Null");
    Failure("Mid(\"test\", \"a\")", 13, "Type mismatch");
    Failure("1 +", 1002, "Syntax error");
    Failure("1e400", 1031, "Invalid number");
    Failure("1E400", 1031, "Invalid number");
  }
  void failures() {
    QFETCH(QString, expression);
    QFETCH(int, number);
    QFETCH(QString, description);
    VESKO_CHECK_FAILURE(expression, number, description);
  }
};

QTEST_GUILESS_MAIN(ExactnessTest)
#include "exactness_test.moc"
