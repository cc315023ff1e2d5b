// The text form of values: 15 (Single: 7) significant digits, the switch to exponent form and
// its shape, Booleans, Currency, Empty/Null/Nothing, and independence from the process locale.
#include "tests/script/script_test_support.h"

#include <QLocale>
#include <QObject>
#include <QTest>

#include <clocale>

namespace {

void Text(const char* expression, const char* text) {
  QTest::newRow(expression) << QString::fromUtf8(expression) << QString::fromUtf8(text);
}

}  // namespace

class NumberTextTest : public QObject {
  Q_OBJECT

 private slots:
  void textForm_data() {
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QString>("text");
    Text("1/3", "0.333333333333333");
    Text("2/3", "0.666666666666667");
    Text("-1/3", "-0.333333333333333");
    Text("0.1+0.2", "0.3");
    Text("Sqr(2)", "1.4142135623731");
    Text("4*Atn(1)", "3.14159265358979");
    Text("Exp(1)", "2.71828182845905");
    Text("2^3+Sin(1)", "8.8414709848079");
    Text("100/3", "33.3333333333333");
    Text("Cos(1)", "0.54030230586814");
    Text("0.5", "0.5");
    Text("-0.5", "-0.5");
    Text("2147483647+1", "2147483648");
    // Plain while the rounded value's exponent is below 15, exponent form from 1E+15 up.
    Text("10^15-1", "999999999999999");
    Text("123456789012345", "123456789012345");
    Text("999999999999999.4", "999999999999999");
    Text("999999999999999.5", "1E+15");
    Text("10^15", "1E+15");
    Text("1e15+0.3", "1E+15");
    Text("1234567890123456", "1.23456789012346E+15");
    Text("2^53", "9.00719925474099E+15");
    Text("123456789012345678", "1.23456789012346E+17");
    Text("1e20", "1E+20");
    Text("-1e20", "-1E+20");
    Text("1e100", "1E+100");
    Text("1e308", "1E+308");
    Text("1.79769313486231E+308", "1.79769313486231E+308");
    // Plain down to 0.0001, exponent form below.
    Text("0.0001", "0.0001");
    Text("0.00012345", "0.00012345");
    Text("0.000099999999999999999", "0.0001");
    Text("0.00001", "1E-05");
    Text("-1e-5", "-1E-05");
    Text("5/1000000", "5E-06");
    Text("1.5e-7", "1.5E-07");
    Text("1e-20", "1E-20");
    Text("1e-100", "1E-100");
    Text("4.94065645841247E-324", "4.94065645841247E-324");
    // Negative zero prints 0.
    Text("-0", "0");
    Text("-0.0", "0");
    Text("0*-1.5", "0");
    // Single: 7 significant digits, exponent form from 1E+07.
    Text("CSng(1)/3", "0.3333333");
    Text("CSng(0.1)", "0.1");
    Text("CSng(1234567)", "1234567");
    Text("CSng(12345678)", "1.234568E+07");
    Text("CSng(16777217)", "1.677722E+07");
    Text("CSng(0.0001)", "0.0001");
    Text("CSng(0.00001)", "1E-05");
    // Currency: exact, no symbol, no grouping.
    Text("CCur(1.5)", "1.5");
    Text("CCur(-0.0001)", "-0.0001");
    Text("CCur(123456.7891)", "123456.7891");
    Text("CCur(100)", "100");
    // Integers, Booleans, strings and the special values.
    Text("-32767", "-32767");
    Text("-2147483647", "-2147483647");
    Text("True", "True");
    Text("1 > 2", "False");
    Text("\"x\"", "x");
    Text("Empty", "");
    Text("Null", "Null");
    Text("Nothing", "Nothing");
    Text("CStr(1E+20)", "1E+20");
    Text("1/4 & \"\"", "0.25");
    Text("True & \"\"", "True");
  }
  void textForm() {
    QFETCH(QString, expression);
    QFETCH(QString, text);
    VESKO_CHECK_VALUE(expression, text, QString());
  }

  // The separator is "." and Booleans read "True"/"False" whatever locale the process runs in.
  void independentOfLocale_data() {
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QString>("text");
    Text("1/2", "0.5");
    Text("1e20/3", "3.33333333333333E+19");
    Text("\"1.5\"*2", "3");
    Text("CDbl(\" 2.25 \")", "2.25");
    Text("CSng(1)/4", "0.25");
    Text("CCur(2.5)", "2.5");
    Text("1=1", "True");
  }
  void independentOfLocale() {
    QFETCH(QString, expression);
    QFETCH(QString, text);
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    // Where the machine has a locale with a decimal comma, the C library uses it too.
    const char* cLocale = std::setlocale(LC_ALL, "de_DE.UTF-8");
    const vesko::test::Outcome outcome = vesko::test::Evaluate(expression);
    std::setlocale(LC_ALL, "C");
    QLocale::setDefault(saved);
    Q_UNUSED(cLocale);
    QVERIFY2(!outcome.failed, qPrintable(outcome.text));
    QCOMPARE(outcome.text, text);
  }
};

QTEST_GUILESS_MAIN(NumberTextTest)
#include "number_text_test.moc"
