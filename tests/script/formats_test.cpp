// FormatNumber, FormatCurrency and FormatPercent with all their arguments (reference section 8b),
// and arguments left empty between commas.
#include "tests/script/locale_pin.h"
#include "tests/script/script_test_support.h"

#include <QObject>
#include <QTest>

#include <memory>

using vesko::test::AddFailureColumns;
using vesko::test::AddValueColumns;
using vesko::test::Failure;
using vesko::test::Value;

class FormatsTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    pin_ = std::make_unique<vesko::test::PinnedLocaleAndClock>(vesko::test::UnitedStates());
  }
  void cleanup() { pin_.reset(); }

  void formatNumber_data() {
    AddValueColumns();
    Value("FormatNumber(1234.5, 2)", "1,234.50", "String");
    Value("FormatNumber(1234567.891)", "1,234,567.89", "String");
    Value("FormatNumber(1234567.891, -1)", "1,234,567.89", "String");
    Value("FormatNumber(1234567.891, 0)", "1,234,568", "String");
    Value("FormatNumber(1234567.891, 4)", "1,234,567.8910", "String");
    Value("FormatNumber(-0.5, 2, 0)", "-.50", "String");
    Value("FormatNumber(-0.5, 2, -1)", "-0.50", "String");
    Value("FormatNumber(0.5, 2, -2)", "0.50", "String");
    Value("FormatNumber(-5, 0, , -1)", "(5)", "String");
    Value("FormatNumber(-5, 0, , 0)", "-5", "String");
    Value("FormatNumber(-1234.5, 1, , -1)", "(1,234.5)", "String");
    Value("FormatNumber(1234567, 0, , , 0)", "1234567", "String");
    Value("FormatNumber(1234567, 0, , , -1)", "1,234,567", "String");
    Value("FormatNumber(.12,,,-1)", "0.12", "String");
    Value("FormatNumber(-.12,,0,-1)", "(.12)", "String");
    Value("FormatNumber(-.12,,0,-1,0)", "(.12)", "String");
    // Rounding half away from zero at the digits, on the number's 15-digit decimal form.
    Value("FormatNumber(0.125, 2)", "0.13", "String");
    Value("FormatNumber(-0.125, 2)", "-0.13", "String");
    Value("FormatNumber(2.675, 2)", "2.68", "String");
    Value("FormatNumber(0.5, 0)", "1", "String");
    Value("FormatNumber(1.5, 0)", "2", "String");
    Value("FormatNumber(2.5, 0)", "3", "String");
    Value("FormatNumber(999.999, 2)", "1,000.00", "String");
    Value("FormatNumber(-0.001, 2)", "0.00", "String");
    Value("FormatNumber(0)", "0.00", "String");
    Value("FormatNumber(0, 0, 0)", "0", "String");
    Value("FormatNumber(1E+20, 0)", "100,000,000,000,000,000,000", "String");
    Value("FormatNumber(1E-20, 3)", "0.000", "String");
    Value("FormatNumber(123456789012345678, 0)", "123,456,789,012,346,000", "String");
    Value("FormatNumber(CCur(123456789.1234), 4)", "123,456,789.1234", "String");
    Value("FormatNumber(CCur(123456789.1234), 2)", "123,456,789.12", "String");
    Value("FormatNumber(2147483647, 0)", "2,147,483,647", "String");
    Value("FormatNumber(True)", "-1.00", "String");
    Value("FormatNumber(Empty)", "0.00", "String");
    Value("FormatNumber(\"1.5\")", "1.50", "String");
    Value("FormatNumber(CSng(0.1), 10)", "0.1000000015", "String");
    Value("FormatNumber(#1/2/2003#, 1)", "37,623.0", "String");
    Value("Len(FormatNumber(1, 255))", "257", "Long");
  }
  void formatNumber() { Check(); }

  void currencyAndPercent_data() {
    AddValueColumns();
    Value("FormatCurrency(1234567.891)", "$1,234,567.89", "String");
    Value("FormatCurrency(-5)", "-$5.00", "String");
    Value("FormatCurrency(-5, , , -1)", "($5.00)", "String");
    Value("FormatCurrency(0.5, 0)", "$1", "String");
    Value("FormatCurrency(0.5, 2, 0)", "$.50", "String");
    Value("FormatCurrency(1234.5, 2, , , 0)", "$1234.50", "String");
    Value("FormatPercent(0.1234)", "12.34%", "String");
    Value("FormatPercent(0.1234, 0)", "12%", "String");
    Value("FormatPercent(-0.1234, 1, , -1)", "(12.3%)", "String");
    Value("FormatPercent(0.001, , 0)", ".10%", "String");
    Value("FormatPercent(12.5, 0)", "1,250%", "String");
    Value("FormatPercent(12.5, 0, , , 0)", "1250%", "String");
  }
  void currencyAndPercent() { Check(); }

  void chineseCurrency_data() {
    AddValueColumns();
    Value("FormatCurrency(1234567.891)", "¥1,234,567.89", "String");
    Value("FormatCurrency(-5)", "-¥5.00", "String");
    Value("FormatNumber(1234.5, 2)", "1,234.50", "String");
    Value("FormatPercent(0.5)", "50.00%", "String");
  }
  void chineseCurrency() {
    pin_.reset();
    pin_ = std::make_unique<vesko::test::PinnedLocaleAndClock>(vesko::test::China());
    Check();
  }

  // Optional arguments may be left empty between commas in every function that has them.
  void emptyArguments_data() {
    AddValueColumns();
    Value("Mid(\"abcdef\", 2, )", "bcdef", "String");
    Value("InStr(1, \"aBc\", \"b\", )", "0", "Long");
    Value("InStrRev(\"abcabc\", \"b\", , 0)", "5", "Long");
    Value("Replace(\"aaa\", \"a\", \"b\", , 2)", "bba", "String");
    Value("Replace(\"aAa\", \"a\", \"b\", , , vbTextCompare)", "bbb", "String");
    Value("StrComp(\"a\", \"A\", )", "1", "Integer");
    Value("Round(2.5, )", "2", "Double");
    Value("Split(\"a,b,c\", \",\", , 0)(2)", "c", "String");
    Value("Join(Array(1, 2), )", "1 2", "String");
    Value("Filter(Array(\"ab\", \"cd\"), \"a\", , )(0)", "ab", "String");
    Value("UBound(Array(1, 2), )", "1", "Long");
    Value("MonthName(2, )", "February", "String");
    Value("FormatDateTime(#1/2/2003#, )", "1/2/2003", "String");
    Value("DateDiff(\"ww\", #1/4/2020#, #1/5/2020#, , )", "1", "Long");
    Value("FormatCurrency(5, , , , )", "$5.00", "String");
    Value("FormatPercent(1, , , , )", "100.00%", "String");
  }
  void emptyArguments() { Check(); }

  void failures_data() {
    AddFailureColumns();
    Failure("FormatNumber(\"abc\")", 13, "Type mismatch");
    Failure("FormatNumber(Null)", 94, "Invalid use of Null");
    Failure("FormatNumber(1, Null)", 94, "Invalid use of Null");
    Failure("FormatNumber(1, 2, Null)", 94, "Invalid use of Null");
    Failure("FormatNumber(1, -2)", 5, "Invalid procedure call or argument");
    Failure("FormatNumber(1, 256)", 5, "Invalid procedure call or argument");
    Failure("FormatNumber(1, 2, 1)", 5, "Invalid procedure call or argument");
    Failure("FormatNumber(Array(1))", 13, "Type mismatch");
    Failure("FormatNumber(Nothing)", 91, "Object variable not set");
    Failure("FormatNumber(1E+308 * 10)", 6, "Overflow");
    Failure("FormatPercent(1E+307)", 6, "Overflow");
    Failure("FormatCurrency(\"\")", 13, "Type mismatch");
    Failure("FormatNumber()", 450, "Wrong number of arguments or invalid property assignment");
    Failure("FormatNumber(, 2)", 450, "Wrong number of arguments or invalid property assignment");
    Failure("FormatNumber(1, 2, 3, 4, 5, 6)", 450,
            "Wrong number of arguments or invalid property assignment");
    Failure("Left(\"abc\", )", 450, "Wrong number of arguments or invalid property assignment");
    Failure("Array(1, , 2)", 450, "Wrong number of arguments or invalid property assignment");
  }
  void failures() {
    QFETCH(QString, expression);
    QFETCH(int, number);
    QFETCH(QString, description);
    VESKO_CHECK_FAILURE(expression, number, description);
  }

 private:
  void Check() {
    QFETCH(QString, expression);
    QFETCH(QString, text);
    QFETCH(QString, type);
    VESKO_CHECK_VALUE(expression, text, type);
  }

  std::unique_ptr<vesko::test::PinnedLocaleAndClock> pin_;
};

QTEST_GUILESS_MAIN(FormatsTest)
#include "formats_test.moc"
