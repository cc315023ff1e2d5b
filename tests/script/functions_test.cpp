// The built-in functions, family by family, each with its domain failures.
#include "tests/script/script_test_support.h"

#include <QObject>
#include <QTest>

using vesko::test::AddFailureColumns;
using vesko::test::AddValueColumns;
using vesko::test::Failure;
using vesko::test::Value;

namespace {

constexpr const char* kInvalidCall = "Invalid procedure call or argument";
constexpr const char* kWrongCount = "Wrong number of arguments or invalid property assignment";

}  // namespace

class FunctionsTest : public QObject {
  Q_OBJECT

 private slots:
  void math_data() {
    AddValueColumns();
    Value("Abs(-5)", "5", "Integer");
    Value("Abs(-32769)", "32769", "Long");
    Value("Abs(-1.5)", "1.5", "Double");
    Value("Abs(True)", "1", "Integer");
    Value("Abs(Empty)", "0", "Integer");
    Value("Abs(\"-2\")", "2", "Double");
    Value("Abs(Null)", "Null", "Null");
    Value("Abs(CSng(-1.5))", "1.5", "Single");
    Value("Abs(CCur(-2.5))", "2.5", "Currency");
    Value("Abs(CByte(3))", "3", "Byte");
    Value("Atn(1)*4", "3.14159265358979", "Double");
    Value("Cos(0)", "1", "Double");
    Value("Sin(0)", "0", "Double");
    Value("Tan(0)", "0", "Double");
    Value("Tan(Atn(1))", "1", "Double");
    Value("Exp(0)", "1", "Double");
    Value("Exp(709)", "8.21840746155497E+307", "Double");
    Value("Log(Exp(2))", "2", "Double");
    Value("Log(1)", "0", "Double");
    Value("Sqr(16)", "4", "Double");
    Value("Sqr(0)", "0", "Double");
    Value("Int(-1.5)", "-2", "Double");
    Value("Int(1.5)", "1", "Double");
    Value("Fix(-1.5)", "-1", "Double");
    Value("Fix(1.5)", "1", "Double");
    Value("Int(True)", "-1", "Integer");
    Value("Int(7)", "7", "Integer");
    Value("Int(70000)", "70000", "Long");
    Value("Fix(\"2.7\")", "2", "Double");
    Value("Int(CCur(-1.5))", "-2", "Currency");
    Value("Fix(CCur(-1.5))", "-1", "Currency");
    Value("Int(CSng(-0.5))", "-1", "Single");
    Value("Int(Null)", "Null", "Null");
    Value("Round(2.5)", "2", "Double");
    Value("Round(3.5)", "4", "Double");
    Value("Round(-3.5)", "-4", "Double");
    Value("Round(1.5)", "2", "Double");
    Value("Round(2.567,2)", "2.57", "Double");
    Value("Round(0.125,2)", "0.12", "Double");
    Value("Round(1234.5678,3)", "1234.568", "Double");
    Value("Round(True)", "True", "Boolean");
    Value("Round(7)", "7", "Integer");
    Value("Round(Null)", "Null", "Null");
    Value("Sgn(-3)", "-1", "Integer");
    Value("Sgn(0)", "0", "Integer");
    Value("Sgn(2.5)", "1", "Integer");
    Value("Sgn(True)", "-1", "Integer");
    Value("Sgn(Empty)", "0", "Integer");
    // The generator starts from the same seed in every evaluator.
    Value("Rnd", "0.7055475", "Single");
    Value("Rnd(1)", "0.7055475", "Single");
    Value("Rnd(1) = Rnd(0)", "True");
    Value("Rnd(-1) = Rnd(-1)", "True");
    Value("Rnd(-1) = Rnd(-2)", "False");
    Value("Rnd < 1 And Rnd >= 0", "True");
  }
  void math() {
    QFETCH(QString, expression);
    QFETCH(QString, text);
    QFETCH(QString, type);
    VESKO_CHECK_VALUE(expression, text, type);
  }

  void mathFailures_data() {
    AddFailureColumns();
    Failure("Sqr(-1)", 5, kInvalidCall);
    Failure("Sqr(True)", 5, kInvalidCall);
    Failure("Log(0)", 5, kInvalidCall);
    Failure("Log(-1)", 5, kInvalidCall);
    Failure("Log(True)", 5, kInvalidCall);
    Failure("Exp(710)", 6, "Overflow");
    Failure("Exp(1000)", 6, "Overflow");
    Failure("Round(1.5,-1)", 5, kInvalidCall);
    Failure("Sgn(Null)", 94, "Invalid use of Null");
    Failure("Sin(Null)", 94, "Invalid use of Null");
    Failure("Sin(\"a\")", 13, "Type mismatch");
    Failure("Abs(CCur(-922337203685477)-CCur(0.5807)-CCur(0.0001))", 6, "Overflow");
    Failure("Sin()", 450, kWrongCount);
    Failure("Sin(1,2)", 450, kWrongCount);
    Failure("Sin", 450, kWrongCount);
    Failure("Round(1,2,3)", 450, kWrongCount);
    Failure("Rnd(1,2)", 450, kWrongCount);
  }
  void mathFailures() {
    QFETCH(QString, expression);
    QFETCH(int, number);
    QFETCH(QString, description);
    VESKO_CHECK_FAILURE(expression, number, description);
  }

  void conversions_data() {
    AddValueColumns();
    Value("CInt(0.5)", "0", "Integer");
    Value("CInt(1.5)", "2", "Integer");
    Value("CInt(2.5)", "2", "Integer");
    Value("CInt(-36.5)", "-36", "Integer");
    Value("CInt(-32768.5)", "-32768", "Integer");
    Value("CInt(\"12\")", "12", "Integer");
    Value("CInt(True)", "-1", "Integer");
    Value("CInt(Empty)", "0", "Integer");
    Value("CLng(2147483647.4)", "2147483647", "Long");
    Value("CLng(-2.5)", "-2", "Long");
    Value("CLng(CCur(2.5))", "2", "Long");
    Value("CByte(-0.5)", "0", "Byte");
    Value("CByte(255.4)", "255", "Byte");
    Value("CByte(True)", "255", "Byte");
    Value("CBool(2)", "True", "Boolean");
    Value("CBool(0)", "False", "Boolean");
    Value("CBool(\"true\")", "True", "Boolean");
    Value("CBool(\"False\")", "False", "Boolean");
    Value("CBool(\"1\")", "True", "Boolean");
    Value("CBool(Empty)", "False", "Boolean");
    Value("CDbl(True)", "-1", "Double");
    Value("CDbl(\" 12 \")", "12", "Double");
    Value("CDbl(\"1e3\")", "1000", "Double");
    Value("CDbl(\"&H1F\")", "31", "Double");
    Value("CDbl(\"-2.5\")", "-2.5", "Double");
    Value("CDbl(\"+7\")", "7", "Double");
    Value("CDbl(\".5\")", "0.5", "Double");
    Value("CDbl(Empty)", "0", "Double");
    Value("CSng(0.1)", "0.1", "Single");
    Value("CSng(Empty)", "0", "Single");
    Value("CCur(0.000149)", "0.0001", "Currency");
    Value("CCur(2.5)", "2.5", "Currency");
    Value("CCur(Empty)", "0", "Currency");
    Value("CStr(1/3)", "0.333333333333333", "String");
    Value("CStr(True)", "True", "String");
    Value("CStr(Empty)", "", "String");
    Value("CStr(-0.5)", "-0.5", "String");
    Value("Hex(255)", "FF", "String");
    Value("Hex(-1)", "FFFF", "String");
    Value("Hex(-32768)", "FFFF8000", "String");
    Value("Hex(228.5)", "E4", "String");
    Value("Hex(Empty)", "0", "String");
    Value("Hex(65536)", "10000", "String");
    Value("Hex(&HFFFF&)", "FFFF", "String");
    Value("Hex(-2147483648)", "80000000", "String");
    Value("Hex(True)", "FFFF", "String");
    Value("Hex(\"31\")", "1F", "String");
    Value("Hex(Null)", "Null", "Null");
    Value("Oct(8)", "10", "String");
    Value("Oct(-1)", "177777", "String");
    Value("Oct(-32768)", "37777700000", "String");
    Value("Oct(8.5)", "10", "String");
  }
  void conversions() {
    QFETCH(QString, expression);
    QFETCH(QString, text);
    QFETCH(QString, type);
    VESKO_CHECK_VALUE(expression, text, type);
  }

  void conversionFailures_data() {
    AddFailureColumns();
    Failure("CInt(32767.5)", 6, "Overflow");
    Failure("CInt(40000)", 6, "Overflow");
    Failure("CByte(255.5)", 6, "Overflow");
    Failure("CByte(-1)", 6, "Overflow");
    Failure("CLng(2147483647.5)", 6, "Overflow");
    Failure("CSng(1e39)", 6, "Overflow");
    Failure("CCur(1e15)", 6, "Overflow");
    Failure("CDbl(\"1e400\")", 6, "Overflow");
    Failure("CDbl(\"\")", 13, "Type mismatch");
    Failure("CDbl(\"abc\")", 13, "Type mismatch");
    Failure("CDbl(\"1 2\")", 13, "Type mismatch");
    Failure("CDbl(\"1,000\")", 13, "Type mismatch");
    Failure("CDbl(\"1e\")", 13, "Type mismatch");
    Failure("CBool(\"\")", 13, "Type mismatch");
    Failure("CStr(Null)", 94, "Invalid use of Null");
    Failure("CInt(Null)", 94, "Invalid use of Null");
    Failure("CBool(Null)", 94, "Invalid use of Null");
    Failure("Hex(3e9)", 6, "Overflow");
    Failure("Hex(\"test\")", 13, "Type mismatch");
    Failure("CInt()", 450, kWrongCount);
  }
  void conversionFailures() {
    QFETCH(QString, expression);
    QFETCH(int, number);
    QFETCH(QString, description);
    VESKO_CHECK_FAILURE(expression, number, description);
  }

  void strings_data() {
    AddValueColumns();
    Value("Len(\"abc\")", "3", "Long");
    Value("Len(1/3)", "17", "Long");
    Value("Len(Empty)", "0", "Long");
    Value("Len(Null)", "Null", "Null");
    Value("Left(\"abc\",2)", "ab", "String");
    Value("Left(\"abc\",10)", "abc");
    Value("Left(\"abc\",1.5)", "ab");
    Value("Left(12345,2)", "12", "String");
    Value("Left(Null,1)", "Null", "Null");
    Value("Right(\"abc\",2)", "bc", "String");
    Value("Right(\"abc\",0)", "");
    Value("Mid(\"abcdef\",2,3)", "bcd", "String");
    Value("Mid(\"abc\",2)", "bc");
    Value("Mid(\"abc\",5)", "");
    Value("Mid(\"abc\",1,0)", "");
    Value("Mid(\"abc\",2,10)", "bc");
    Value("Mid(Null,1)", "Null", "Null");
    Value("UCase(\"aBc\")", "ABC", "String");
    Value("LCase(\"AbC\")", "abc", "String");
    Value("UCase(1.5)", "1.5", "String");
    Value("UCase(Null)", "Null", "Null");
    Value("UCase(\"straße\")", "STRASSE");
    Value("Len(UCase(String(1000,ChrW(223))))", "2000");
    Value("Len(UCase(String(1000,ChrW(912))))", "3000");
    Value("Len(LCase(String(1000,ChrW(304))))", "2000");
    Value("UCase(ChrW(55297) & ChrW(56360))", "\xF0\x90\x90\x80");
    Value("\"[\" & Trim(\"  a b  \") & \"]\"", "[a b]");
    Value("\"[\" & LTrim(\"  a \") & \"]\"", "[a ]");
    Value("\"[\" & RTrim(\"  a \") & \"]\"", "[  a]");
    Value("Len(Trim(vbTab & \"a \"))", "2");
    Value("InStr(\"abcabc\",\"c\")", "3", "Long");
    Value("InStr(4,\"abcabc\",\"c\")", "6");
    Value("InStr(\"abc\",\"d\")", "0");
    Value("InStr(1,\"ABC\",\"b\",1)", "2");
    Value("InStr(1,\"ABC\",\"b\",0)", "0");
    Value("InStr(\"abc\",\"\")", "1");
    Value("InStr(2,\"abc\",\"\")", "2");
    Value("InStr(5,\"abc\",\"c\")", "0");
    Value("InStr(\"aabaabaaab\",\"aabaaab\")", "4");
    Value("InStr(Null,\"a\")", "Null", "Null");
    Value("InStrRev(\"abcabc\",\"c\")", "6", "Long");
    Value("InStrRev(\"abcabc\",\"c\",5)", "3");
    Value("InStrRev(\"abcabc\",\"abc\")", "4");
    Value("InStrRev(\"abcabc\",\"abc\",5)", "1");
    Value("InStrRev(\"abc\",\"x\")", "0");
    Value("InStrRev(\"ABC\",\"b\",-1,1)", "2");
    Value("String(3,\"ab\")", "aaa", "String");
    Value("String(3,65)", "AAA");
    Value("String(0,\"a\")", "");
    Value("String(2,Null)", "Null", "Null");
    Value("Space(3) & \"|\"", "   |");
    Value("Space(4.5) & \"|\"", "    |");
    Value("StrReverse(\"abc\")", "cba", "String");
    Value("Replace(\"aXbXc\",\"X\",\"-\")", "a-b-c", "String");
    Value("Replace(\"aXbXc\",\"X\",\"-\",1,1)", "a-bXc");
    Value("Replace(\"aXbXc\",\"X\",\"-\",3)", "b-c");
    Value("Replace(\"abc\",\"\",\"-\")", "abc");
    Value("Replace(\"aXbx\",\"x\",\"-\",1,-1,1)", "a-b-");
    Value("Replace(\"aaaa\",\"aa\",\"b\")", "bb");
    Value("Chr(65)", "A", "String");
    Value("Chr(128)", "€");
    Value("Asc(\"A\")", "65", "Integer");
    Value("Asc(\"ab\")", "97");
    Value("Asc(Chr(128))", "128");
    Value("ChrW(8364)", "€");
    Value("AscW(\"€\")", "8364", "Integer");
    Value("StrComp(\"a\",\"b\")", "-1", "Integer");
    Value("StrComp(\"b\",\"a\")", "1");
    Value("StrComp(\"a\",\"A\")", "1");
    Value("StrComp(\"a\",\"A\",1)", "0");
  }
  void strings() {
    QFETCH(QString, expression);
    QFETCH(QString, text);
    QFETCH(QString, type);
    VESKO_CHECK_VALUE(expression, text, type);
  }

  void stringFailures_data() {
    AddFailureColumns();
    Failure("Left(\"a\",-1)", 5, kInvalidCall);
    Failure("Right(\"a\",-1)", 5, kInvalidCall);
    Failure("Left(\"a\",Null)", 94, "Invalid use of Null");
    Failure("Mid(\"abc\",0)", 5, kInvalidCall);
    Failure("Mid(\"abc\",1,-1)", 5, kInvalidCall);
    Failure("Chr(256)", 5, kInvalidCall);
    Failure("Chr(-1)", 5, kInvalidCall);
    Failure("Asc(\"\")", 5, kInvalidCall);
    Failure("Asc(Null)", 94, "Invalid use of Null");
    Failure("Space(-1)", 5, kInvalidCall);
    Failure("Space(Null)", 94, "Invalid use of Null");
    Failure("String(-1,\"a\")", 5, kInvalidCall);
    Failure("String(2,\"\")", 5, kInvalidCall);
    Failure("InStr(0,\"a\",\"a\")", 5, kInvalidCall);
    Failure("InStr(1,\"a\",\"a\",2)", 5, kInvalidCall);
    Failure("InStr(Null,\"a\",\"a\")", 94, "Invalid use of Null");
    Failure("InStrRev(\"a\",\"a\",0)", 5, kInvalidCall);
    Failure("InStrRev(Null,\"a\")", 94, "Invalid use of Null");
    Failure("Replace(\"a\",\"a\",\"b\",0)", 5, kInvalidCall);
    Failure("Replace(\"a\",\"a\",\"b\",1,-2)", 5, kInvalidCall);
    Failure("Replace(Null,\"a\",\"b\")", 94, "Invalid use of Null");
    Failure("StrReverse(Null)", 94, "Invalid use of Null");
    Failure("Left(\"a\")", 450, kWrongCount);
    Failure("Mid(\"a\",1,1,1)", 450, kWrongCount);
  }
  void stringFailures() {
    QFETCH(QString, expression);
    QFETCH(int, number);
    QFETCH(QString, description);
    VESKO_CHECK_FAILURE(expression, number, description);
  }

  void inspection_data() {
    AddValueColumns();
    Value("IsNumeric(\"12\")", "True", "Boolean");
    Value("IsNumeric(\" -1.5e3 \")", "True");
    Value("IsNumeric(\"abc\")", "False");
    Value("IsNumeric(\"\")", "False");
    Value("IsNumeric(Null)", "False");
    Value("IsNumeric(Empty)", "True");
    Value("IsNumeric(True)", "True");
    Value("IsEmpty(Empty)", "True");
    Value("IsEmpty(0)", "False");
    Value("IsNull(Null)", "True");
    Value("IsNull(Null+1)", "True");
    Value("IsObject(Nothing)", "True");
    Value("TypeName(1)", "Integer", "String");
    Value("TypeName(Nothing)", "Nothing");
    Value("TypeName(CByte(1))", "Byte");
    Value("VarType(Empty)", "0", "Integer");
    Value("VarType(Null)", "1");
    Value("VarType(1.5)", "5");
    Value("VarType(CSng(1))", "4");
    Value("VarType(CCur(1))", "6");
    Value("VarType(\"\")", "8");
    Value("VarType(Nothing)", "9");
    Value("VarType(True)", "11");
    Value("VarType(CByte(1))", "17");
    Value("RGB(255,0,0) = vbRed", "True");
    Value("RGB(1,2,3)", "197121", "Long");
  }
  void inspection() {
    QFETCH(QString, expression);
    QFETCH(QString, text);
    QFETCH(QString, type);
    VESKO_CHECK_VALUE(expression, text, type);
  }
};

QTEST_GUILESS_MAIN(FunctionsTest)
#include "functions_test.moc"
