// Operators of the expression language: precedence, literal subtypes, promotion, integer
// division, Null/Empty handling, comparisons and the logical operators.
#include "tests/script/script_test_support.h"

#include <QObject>
#include <QTest>

using vesko::test::AddFailureColumns;
using vesko::test::AddValueColumns;
using vesko::test::Failure;
using vesko::test::Value;

class OperatorsTest : public QObject {
  Q_OBJECT

 private slots:
  void precedence_data() {
    AddValueColumns();
    // Signs bind tighter than ^, and ^ is left-associative.
    Value("-3^2", "9");
    Value("-2^2", "4");
    Value("-2^-2", "0.25");
    Value("2^3^2", "64");
    Value("2^-3^2", "0.015625");
    Value("2*-3^2", "18");
    Value("2^--2", "4");
    Value("--1", "1");
    Value("+-+1", "-1");
    Value("1 - -1", "2");
    // * / above \ above Mod above + -.
    Value("5\\4/2", "2");
    Value("12/3\\2", "2");
    Value("7 \\ 2 * 2", "1");
    Value("7 Mod 4+2", "5");
    Value("10 Mod 6\\2", "1");
    Value("7 \\ 2 Mod 2", "1");
    Value("7 Mod 3 * 2", "1");
    Value("2+3\\4", "2");
    Value("1 + 7 Mod 4", "4");
    Value("10-4-3", "3");
    Value("100/10/5", "2");
    Value("2*3+4*5", "26");
    Value("(2+3)*4", "20");
    // & below arithmetic, comparisons one left-associative level below &.
    Value("\"a\" & 1+2", "a3");
    Value("2 & 3 + 4", "27");
    Value("1 < 2 < 3", "True");
    Value("3 > 2 > 1", "False");
    Value("1=1=1", "False");
    Value("\"\" = True = False", "True");
    // Not below comparisons, above And; then And, Or, Xor, Eqv, Imp.
    Value("Not 1=2", "True");
    Value("Not 0 = 1", "True");
    Value("Not 0 + 1", "-2");
    Value("Not 0 And 5", "5");
    Value("Not -1", "0");
    Value("Not Not 5", "5");
    Value("True Or False Xor True", "False");
    Value("False And False Or True", "True");
    Value("1 Or 2 Xor 3", "0");
    Value("8 Or 6 And 3", "10");
    Value("0 Eqv 0 Imp 5", "5");
    Value("1 And Not 0", "1");
    // The start examples.
    Value("(12-10)^(4)+sin((60-30)*3.1415926535897932384626433832795/180)", "16.5", "Double");
    Value("log(1)/log(10)+2.718281828459045", "2.71828182845905", "Double");
  }
  void precedence() {
    QFETCH(QString, expression);
    QFETCH(QString, text);
    QFETCH(QString, type);
    VESKO_CHECK_VALUE(expression, text, type);
  }

  void literals_data() {
    AddValueColumns();
    Value("32767", "32767", "Integer");
    Value("32768", "32768", "Long");
    Value("-32768", "-32768", "Long");
    Value("-32767-1", "-32768", "Integer");
    Value("2147483647", "2147483647", "Long");
    Value("2147483648", "2147483648", "Double");
    Value("-2147483648", "-2147483648", "Double");
    Value("010", "10", "Integer");
    Value("1.0", "1", "Double");
    Value("10.", "10", "Double");
    Value(".5", "0.5", "Double");
    Value("1e2", "100", "Double");
    Value("1E+2", "100", "Double");
    Value("5E-3", "0.005", "Double");
    Value("1e-400", "0", "Double");
    Value("3.1415926535897932384626433832795", "3.14159265358979", "Double");
    Value("&HFF", "255", "Integer");
    Value("&hff", "255", "Integer");
    Value("&HFFFF", "-1", "Integer");
    Value("&H8000", "-32768", "Integer");
    Value("&H10000", "65536", "Long");
    Value("&HFFFFFFFF", "-1", "Integer");
    Value("&H80000000", "-2147483648", "Long");
    Value("&HFFFF&", "65535", "Long");
    Value("&H10&", "16", "Integer");
    Value("&O10", "8", "Integer");
    Value("&O17", "15", "Integer");
    Value("&O177777", "-1", "Integer");
    Value("&H01Or&H02", "3", "Integer");
    Value("1Mod 2", "1", "Integer");
    Value("\"a\"\"b\"", "a\"b", "String");
    Value("\"\"", "", "String");
    Value("True", "True", "Boolean");
    Value("fALSE", "False", "Boolean");
    Value("Empty", "", "Empty");
    Value("vbTrue", "-1", "Integer");
    Value("vbRed", "255", "Long");
    Value("VBTEXTCOMPARE", "1", "Integer");
    Value("Len(vbCrLf)", "2", "Long");
    Value("vbObjectError", "-2147221504", "Long");
  }
  void literals() {
    QFETCH(QString, expression);
    QFETCH(QString, text);
    QFETCH(QString, type);
    VESKO_CHECK_VALUE(expression, text, type);
  }

  void promotion_data() {
    AddValueColumns();
    Value("32767+1", "32768", "Long");
    Value("200*200", "40000", "Long");
    Value("2147483647+1", "2147483648", "Double");
    Value("46341*46341", "2147488281", "Double");
    Value("CInt(-32768)-1", "-32769", "Long");
    Value("CByte(2)+CByte(3)", "5", "Byte");
    Value("CByte(200)+CByte(100)", "300", "Integer");
    Value("CByte(1)-CByte(2)", "-1", "Integer");
    Value("True+True", "-2", "Integer");
    Value("Empty+Empty", "0", "Integer");
    Value("Empty+CByte(1)", "1", "Byte");
    Value("1+Empty", "1", "Integer");
    Value("\"3\"*\"4\"", "12", "Double");
    Value("\"1\"+1", "2", "Double");
    Value("\"3\"+4", "7", "Double");
    Value("\"1\"+\"1\"", "11", "String");
    Value("\"a\"+Empty", "a", "String");
    Value("\"5\"-\"2\"", "3", "Double");
    Value("4/2", "2", "Double");
    Value("2^2", "4", "Double");
    Value("CSng(1)+1", "2", "Single");
    Value("CSng(1)+32768", "32769", "Double");
    Value("CSng(1)*CInt(2)", "2", "Single");
    Value("CSng(3)/CInt(2)", "1.5", "Single");
    Value("CSng(3)/2.0", "1.5", "Double");
    Value("CSng(2^126)*4", "3.40282366920938E+38", "Double");
    Value("CCur(1.5)*2", "3", "Currency");
    Value("CCur(1)+0.5", "1.5", "Currency");
    Value("CCur(1.5)*CSng(2)", "3", "Double");
    Value("CCur(1.5)*CCur(1.5)", "2.25", "Currency");
    Value("-CInt(-32768)", "32768", "Long");
    Value("-(-2147483647-1)", "2147483648", "Double");
    Value("-True", "1", "Integer");
    Value("-Empty", "0", "Integer");
    Value("-\"2\"", "-2", "Double");
    Value("-CByte(3)", "-3", "Integer");
    Value("-CSng(1.5)", "-1.5", "Single");
    Value("+\"abc\"", "abc", "String");
    Value("+True", "True", "Boolean");
  }
  void promotion() {
    QFETCH(QString, expression);
    QFETCH(QString, text);
    QFETCH(QString, type);
    VESKO_CHECK_VALUE(expression, text, type);
  }

  void arithmeticFailures_data() {
    AddFailureColumns();
    Failure("1e308*10", 6, "Overflow");
    Failure("1e308+1e308", 6, "Overflow");
    Failure("-1e308-1e308", 6, "Overflow");
    Failure("10^400", 6, "Overflow");
    Failure("1e300/1e-300", 6, "Overflow");
    Failure("0/0", 6, "Overflow");
    Failure("1/0", 11, "Division by zero");
    Failure("1/Empty", 11, "Division by zero");
    Failure("5\\0", 11, "Division by zero");
    Failure("5 Mod 0", 11, "Division by zero");
    Failure("5\\0.4", 11, "Division by zero");
    Failure("0^-1", 11, "Division by zero");
    Failure("(-8)^(1/3)", 5, "Invalid procedure call or argument");
    Failure("-2^0.5", 5, "Invalid procedure call or argument");
    Failure("3e10\\1", 6, "Overflow");
    Failure("CCur(900000000000000)*10", 6, "Overflow");
    Failure("\"a\"*2", 13, "Type mismatch");
    Failure("\"\"+1", 13, "Type mismatch");
    Failure("\"a\"+1", 13, "Type mismatch");
    Failure("-\"a\"", 13, "Type mismatch");
    Failure("1 Is 1", 424, "Object required");
    Failure("Nothing & \"\"", 91, "Object variable not set");
    Failure("Not Nothing", 91, "Object variable not set");
    Failure("Nothing + 1", 91, "Object variable not set");
    Failure("\"abc\" And 1", 13, "Type mismatch");
    Failure("3e10 And 1", 6, "Overflow");
  }
  void arithmeticFailures() {
    QFETCH(QString, expression);
    QFETCH(int, number);
    QFETCH(QString, description);
    VESKO_CHECK_FAILURE(expression, number, description);
  }

  void integerDivision_data() {
    AddValueColumns();
    // Operands are rounded half to even first; the quotient is truncated toward zero and the
    // remainder takes the dividend's sign.
    Value("4.6\\1.5", "2", "Long");
    Value("4.6\\1.49", "5", "Long");
    Value("2.5\\1", "2", "Long");
    Value("3.5\\1", "4", "Long");
    Value("0.5\\1", "0", "Long");
    Value("-7\\2", "-3", "Integer");
    Value("7\\-2", "-3", "Integer");
    Value("7\\2", "3", "Integer");
    Value("70000\\2", "35000", "Long");
    Value("CByte(7)\\CByte(2)", "3", "Byte");
    Value("True\\1", "-1", "Integer");
    Value("\"7\"\\2", "3", "Long");
    Value("CInt(-32768)\\-1", "32768", "Long");
    Value("-7 Mod 3", "-1", "Integer");
    Value("7 Mod -3", "1", "Integer");
    Value("-7 Mod -3", "-1", "Integer");
    Value("11.6 Mod 5.5", "0", "Long");
    Value("19 Mod 6.7", "5", "Long");
    Value("1.5 Mod 10", "2", "Long");
    Value("Empty Mod 2", "0", "Integer");
    Value("CByte(7) Mod CByte(4)", "3", "Byte");
  }
  void integerDivision() {
    QFETCH(QString, expression);
    QFETCH(QString, text);
    QFETCH(QString, type);
    VESKO_CHECK_VALUE(expression, text, type);
  }

  void nullAndEmpty_data() {
    AddValueColumns();
    Value("Null+1", "Null", "Null");
    Value("1-Null", "Null", "Null");
    Value("Null*2", "Null", "Null");
    Value("Null/0", "Null", "Null");
    Value("Null\\2", "Null", "Null");
    Value("Null Mod 2", "Null", "Null");
    Value("Null^2", "Null", "Null");
    Value("-Null", "Null", "Null");
    Value("Null+\"abc\"", "Null", "Null");
    Value("Null & \"a\"", "a", "String");
    Value("\"a\" & Null", "a", "String");
    Value("Null & Null", "Null", "Null");
    Value("Null = Null", "Null", "Null");
    Value("Null <> 1", "Null", "Null");
    Value("Not Null", "Null", "Null");
    Value("Null And False", "False", "Boolean");
    Value("Null And True", "Null", "Null");
    Value("Null And 0", "0", "Integer");
    Value("True And Null", "Null", "Null");
    Value("Null Or True", "True", "Boolean");
    Value("Null Or False", "Null", "Null");
    Value("Null Xor True", "Null", "Null");
    Value("Null Eqv True", "Null", "Null");
    Value("Null Imp True", "True", "Boolean");
    Value("Null Imp False", "Null", "Null");
    Value("True Imp Null", "Null", "Null");
    Value("False Imp Null", "True", "Boolean");
    Value("Empty + 1", "1", "Integer");
    Value("Empty & 1", "1", "String");
    Value("Empty * 5", "0", "Integer");
    Value("Empty = 0", "True", "Boolean");
    Value("Empty = \"\"", "True", "Boolean");
    Value("Empty = Empty", "True", "Boolean");
    Value("Empty < 1", "True", "Boolean");
    Value("Not Empty", "-1", "Long");
  }
  void nullAndEmpty() {
    QFETCH(QString, expression);
    QFETCH(QString, text);
    QFETCH(QString, type);
    VESKO_CHECK_VALUE(expression, text, type);
  }

  void comparisons_data() {
    AddValueColumns();
    Value("\"a\" = \"A\"", "False", "Boolean");
    Value("\"B\" < \"a\"", "True");
    Value("\"10\" < \"9\"", "True");
    Value("\"abc\" < \"abd\"", "True");
    Value("\"ab\" < \"abc\"", "True");
    Value("0 = 0.0", "True");
    Value("True < 0", "True");
    Value("0.1+0.2 = 0.3", "False");
    Value("\"10\" > 9", "True");
    Value("\"true\" <> True", "True");
    Value("CStr(5) > CInt(9)", "True");
    Value("CInt(9) < CStr(5)", "True");
    Value("CStr(1) = 1", "True");
    Value("1 <= 1", "True");
    Value("2 >= 3", "False");
    Value("1 <> 1", "False");
    Value("1 =< 2", "True");
    Value("2 => 1", "True");
    Value("1 >< 2", "True");
    Value("CCur(1.5) = 1.5", "True");
    Value("CCur(2) > 1", "True");
    Value("CSng(0.5) = 0.5", "True");
    Value("2147483647 < 2147483648", "True");
    Value("Nothing Is Nothing", "True", "Boolean");
  }
  void comparisons() {
    QFETCH(QString, expression);
    QFETCH(QString, text);
    QFETCH(QString, type);
    VESKO_CHECK_VALUE(expression, text, type);
  }

  void logical_data() {
    AddValueColumns();
    Value("True And True", "True", "Boolean");
    Value("True And False", "False", "Boolean");
    Value("1 Or 2", "3", "Integer");
    Value("True And 3", "3", "Integer");
    Value("5.5 And 3", "2", "Long");
    Value("70000 And 1", "0", "Long");
    Value("Not 5", "-6", "Integer");
    Value("Not True", "False", "Boolean");
    Value("Not CByte(1)", "254", "Byte");
    Value("Not 5.5", "-7", "Long");
    Value("CByte(5) And CByte(3)", "1", "Byte");
    Value("\"True\" And True", "True", "Boolean");
    Value("\"6\" And 3", "2", "Long");
    Value("5 Xor 3", "6", "Integer");
    Value("5 Eqv 3", "-7", "Integer");
    Value("5 Imp 3", "-5", "Integer");
    Value("True Imp False", "False", "Boolean");
    Value("False Imp False", "True", "Boolean");
  }
  void logical() {
    QFETCH(QString, expression);
    QFETCH(QString, text);
    QFETCH(QString, type);
    VESKO_CHECK_VALUE(expression, text, type);
  }
};

QTEST_GUILESS_MAIN(OperatorsTest)
#include "operators_test.moc"
