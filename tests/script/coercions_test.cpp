// Display and coercion rules, each under English (US) and Chinese (China): a Single's text rounds
// an exact tie at its seventh digit away from zero; Empty beside each subtype in each arithmetic
// operator takes the subtype Windows records for it; FormatCurrency reads back the currency text
// it writes in the user's locale.
#include "tests/script/locale_pin.h"
#include "tests/script/script_test_support.h"

#include <QObject>
#include <QTest>

#include <memory>

namespace {

struct LocaleCase {
  const char* name;
  QLocale (*locale)();
};

const LocaleCase kLocales[] = {{"en_US", vesko::test::UnitedStates}, {"zh_CN", vesko::test::China}};

QLocale LocaleNamed(const QString& name) {
  for (const LocaleCase& locale : kLocales) {
    if (name == QLatin1String(locale.name)) {
      return locale.locale();
    }
  }
  return QLocale::c();
}

void AddColumns() {
  QTest::addColumn<QString>("locale");
  QTest::addColumn<QString>("expression");
  QTest::addColumn<QString>("text");
  QTest::addColumn<QString>("type");
}

void ValueIn(const char* locale, const char* expression, const char* text, const char* type) {
  QTest::addRow("%s: %s", locale, expression)
      << QString::fromLatin1(locale) << QString::fromUtf8(expression) << QString::fromUtf8(text)
      << QString::fromUtf8(type);
}

// A row of a rule that holds alike in every locale, once per locale.
void Value(const char* expression, const char* text, const char* type) {
  for (const LocaleCase& locale : kLocales) {
    ValueIn(locale.name, expression, text, type);
  }
}

}  // namespace

class CoercionsTest : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() { pin_.reset(); }

  // Only a Single can stand exactly halfway at its seventh digit; it then rounds away from zero,
  // where rounding half to even would go the other way.
  void singleTies_data() {
    AddColumns();
    Value("CStr(CSng(654322.23456))", "654322.3", "String");  // the Single is 654322.25
    Value("CSng(654322.23456)", "654322.3", "Single");
    Value("-CSng(654322.23456)", "-654322.3", "Single");
    Value("CSng(1234568.5)", "1234569", "Single");
    Value("CSng(-1234568.5)", "-1234569", "Single");
    Value("CSng(12345685)", "1.234569E+07", "Single");
    Value("CSng(654322.2)", "654322.2", "Single");  // 654322.1875: below the tie
    Value("CSng(1234567.5)", "1234568", "Single");  // away from zero and to even agree
    Value("CSng(2.5)", "2.5", "Single");            // fewer digits than seven: no rounding
  }
  void singleTies() { Check(); }

  // Empty counts as the other operand's subtype where that is smaller than Integer (Byte), and
  // keeps a Single a Single in "/"; otherwise it is an Integer 0.
  void emptyOperands_data() {
    AddColumns();
    Value("Empty * CByte(0)", "0", "Byte");
    Value("CByte(3) * Empty", "0", "Byte");
    Value("Empty * Empty", "0", "Integer");
    Value("Empty * True", "0", "Integer");
    Value("Empty * CInt(2)", "0", "Integer");
    Value("Empty * CLng(2)", "0", "Long");
    Value("Empty * CSng(2)", "0", "Single");
    Value("Empty * CDbl(2)", "0", "Double");
    Value("Empty * CCur(2)", "0", "Currency");
    Value("Empty * #1/2/2000#", "0", "Double");
    Value("Empty / CSng(2)", "0", "Single");
    Value("Empty / CByte(2)", "0", "Double");
    Value("Empty / CInt(2)", "0", "Double");
    Value("Empty / True", "0", "Double");
    Value("Empty / CLng(2)", "0", "Double");
    Value("Empty / CDbl(2)", "0", "Double");
    Value("Empty / CCur(2)", "0", "Double");
    Value("Empty / #1/2/2000#", "0", "Double");
    Value("Empty + CByte(0)", "0", "Byte");
    Value("Empty - CByte(0)", "0", "Byte");
    Value("CByte(7) - Empty", "7", "Byte");
    Value("Empty + CSng(1.5)", "1.5", "Single");
    Value("TypeName(Empty - #1/2/2000#)", "Date", "String");
    Value("Empty \\ CByte(2)", "0", "Integer");
    Value("Empty \\ CSng(2)", "0", "Long");
    Value("Empty Mod CLng(2)", "0", "Long");
    Value("Empty ^ CSng(2)", "0", "Double");
  }
  void emptyOperands() { Check(); }

  // FormatCurrency reads the text it writes: the locale's symbol in its place, "," grouping, a
  // minus sign or parentheses; another locale's symbol is no number.
  void currencyText_data() {
    AddColumns();
    ValueIn("en_US", "FormatCurrency(\"$0.000\", 1)", "$0.0", "String");
    ValueIn("en_US", "FormatCurrency(\"$1,234.567\")", "$1,234.57", "String");
    ValueIn("en_US", "FormatCurrency(\"-$5.00\")", "-$5.00", "String");
    ValueIn("en_US", "FormatCurrency(\"($5.00)\", 0)", "-$5", "String");
    ValueIn("en_US", "FormatCurrency(\" $.5 \")", "$0.50", "String");
    ValueIn("en_US", "FormatCurrency(FormatCurrency(1234567.891), 1)", "$1,234,567.9", "String");
    ValueIn("en_US", "FormatCurrency(FormatCurrency(-5, , , -1), , , -1)", "($5.00)", "String");
    ValueIn("en_US", "FormatCurrency(\"2.5\")", "$2.50", "String");
    ValueIn("zh_CN", "FormatCurrency(\"¥0.000\", 1)", "¥0.0", "String");
    ValueIn("zh_CN", "FormatCurrency(FormatCurrency(-1234.5))", "-¥1,234.50", "String");
    ValueIn("zh_CN", "FormatCurrency(\"2.5\")", "¥2.50", "String");
  }
  void currencyText() { Check(); }

  void currencyTextRefused_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("expression");
    for (const char* expression :
         {"FormatCurrency(\"$\")", "FormatCurrency(\"$-1\")", "FormatCurrency(\"$1$\")",
          "FormatCurrency(\"1$\")", "FormatCurrency(\"($1.00\")", "FormatCurrency(\"¥1\")",
          "FormatNumber(\"$1\")", "CDbl(\"$1\")"}) {
      QTest::addRow("en_US: %s", expression)
          << QStringLiteral("en_US") << QString::fromUtf8(expression);
    }
    for (const char* expression :
         {"FormatCurrency(\"$0.000\", 1)", "FormatCurrency(\"¥\")", "FormatNumber(\"¥1\")"}) {
      QTest::addRow("zh_CN: %s", expression)
          << QStringLiteral("zh_CN") << QString::fromUtf8(expression);
    }
  }
  void currencyTextRefused() {
    QFETCH(QString, locale);
    QFETCH(QString, expression);
    pin_ = std::make_unique<vesko::test::PinnedLocaleAndClock>(LocaleNamed(locale));
    const int number = 13;
    const QString description = QStringLiteral("Type mismatch");
    VESKO_CHECK_FAILURE(expression, number, description);
  }

 private:
  void Check() {
    QFETCH(QString, locale);
    QFETCH(QString, expression);
    QFETCH(QString, text);
    QFETCH(QString, type);
    pin_ = std::make_unique<vesko::test::PinnedLocaleAndClock>(LocaleNamed(locale));
    VESKO_CHECK_VALUE(expression, text, type);
  }

  std::unique_ptr<vesko::test::PinnedLocaleAndClock> pin_;
};

QTEST_GUILESS_MAIN(CoercionsTest)
#include "coercions_test.moc"
