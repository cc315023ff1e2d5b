// The literal the evaluator gives with each value: inserted into the input box, it must evaluate
// back to the value shown, also after the calculator's input folding and in another locale.

#include "engine/normalizer.h"
#include "script/script_evaluator.h"

#include <QTest>

#include <memory>

#include "locale_pin.h"
#include "tests/test_rows.h"

using namespace Qt::StringLiterals;

using vesko::test::Row;

namespace {

// The value of `expression` and the value its literal gives back, each with its subtype's name,
// the literal evaluated as the input box would have it evaluated (folded).
struct RoundTrip {
  vesko::Evaluation first;
  vesko::Evaluation again;
  QString firstType;
  QString againType;
};

RoundTrip Evaluate(const QString& expression) {
  const auto evaluator = vesko::CreateScriptEvaluator();
  RoundTrip trip;
  trip.first = evaluator->Evaluate(expression);
  trip.firstType = evaluator->Evaluate(QStringLiteral("TypeName(%1)").arg(expression)).text;
  const QString inserted = vesko::EvaluationForm(trip.first.literal);
  trip.again = evaluator->Evaluate(inserted);
  trip.againType = evaluator->Evaluate(QStringLiteral("TypeName(%1)").arg(inserted)).text;
  return trip;
}

}  // namespace

class LiteralsTest : public QObject {
  Q_OBJECT

 private slots:
  void roundTrips_data();
  void roundTrips();
  void datesReadTheSameInEveryLocale_data();
  void datesReadTheSameInEveryLocale();
};

void LiteralsTest::roundTrips_data() {
  QTest::addColumn<QString>("expression");
  QTest::addColumn<QString>("literal");  // empty: only the round trip is checked
  QTest::addColumn<bool>("sameType");    // Single and Currency come back as Double
  Row("integer", "6*7", "42", true);
  Row("negative", "1-5", "-4", true);
  Row("exponent", "10^20", "1E+20", true);
  Row("small exponent", "1/100000", "1E-05", true);
  Row("fifteen digits", "2/3", "0.666666666666667", true);
  Row("single", "CSng(1.5)", "1.5", false);
  Row("currency", "CCur(12.3456)", "12.3456", false);
  Row("string", "\"ab\"&\"c\"", "\"abc\"", true);
  Row("string with quotes", "\"a\"\"b\"", "\"a\"\"b\"", true);
  Row("only a quote", "Chr(34)", "\"\"\"\"", true);
  Row("empty string", "\"\"", "\"\"", true);
  Row("string of digits", "\"12\"", "\"12\"", true);
  Row("string True", "\"True\"", "\"True\"", true);
  Row("Chinese", "\"结果\"", "\"结果\"", true);
  Row("line feed", "\"a\"&Chr(10)&\"b\"", "\"a\"&ChrW(10)&\"b\"", true);
  Row("CR LF", "\"a\"&vbCrLf", "", true);
  Row("pi and pe inside", "\"pie pe PI\"", "", true);
  Row("power sign inside", "\"2**3\"", "", true);
  Row("full-width inside", "\"（１）。\"", "", true);
  Row("NUL", "Chr(0)&\"x\"", "", true);
  Row("True", "1=1", "True", true);
  Row("False", "1=2", "False", true);
  Row("Null", "Null", "Null", true);
  Row("Empty", "Empty", "Empty", true);
  Row("Nothing", "Nothing", "Nothing", true);
  Row("byte", "CByte(7)", "7", false);
}

void LiteralsTest::roundTrips() {
  QFETCH(QString, expression);
  QFETCH(QString, literal);
  QFETCH(bool, sameType);
  const RoundTrip trip = Evaluate(expression);
  QVERIFY2(!trip.first.failed, qPrintable(trip.first.text));
  if (!literal.isEmpty()) {
    QCOMPARE(trip.first.literal, literal);
  }
  QVERIFY2(!trip.again.failed,
           qPrintable(trip.first.literal + QStringLiteral(" → ") + trip.again.text));
  QCOMPARE(trip.again.text, trip.first.text);
  if (sameType) {
    QCOMPARE(trip.againType, trip.firstType);
  }
}

void LiteralsTest::datesReadTheSameInEveryLocale_data() {
  QTest::addColumn<QString>("expression");
  QTest::addColumn<QString>("literal");
  Row("date and time", "DateSerial(2026,12,8)+TimeSerial(14,5,9)", "#12/8/2026 14:05:09#");
  Row("date alone", "DateSerial(2003,1,2)", "#1/2/2003#");
  Row("time alone", "TimeSerial(9,30,0)", "#9:30:00#");
  Row("before 1899", "#7/4/1850 6:00:01#", "#7/4/1850 6:00:01#");
  Row("before 1899, time added", "DateSerial(1850,7,4)+TimeSerial(6,0,1)", "#7/5/1850 17:59:59#");
  Row("year 100", "DateSerial(100,1,1)", "#1/1/0100#");
  Row("last day", "DateSerial(9999,12,31)", "#12/31/9999#");
  Row("day after the first day", "CDate(1)", "#12/31/1899#");
}

void LiteralsTest::datesReadTheSameInEveryLocale() {
  QFETCH(QString, expression);
  QFETCH(QString, literal);
  const auto evaluator = vesko::CreateScriptEvaluator();
  QString written;
  {
    // Evaluated in one locale, inserted and evaluated again in another, shown in the first.
    const vesko::test::PinnedLocaleAndClock china(vesko::test::China());
    const vesko::Evaluation value = evaluator->Evaluate(expression);
    QVERIFY(!value.failed);
    QCOMPARE(value.literal, literal);
    QCOMPARE(evaluator->Evaluate(value.literal).text, value.text);
    written = value.literal;
  }
  const vesko::test::PinnedLocaleAndClock us(vesko::test::UnitedStates());
  QCOMPARE(evaluator->Evaluate(QStringLiteral("TypeName(%1)").arg(written)).text,
           QStringLiteral("Date"));
  QCOMPARE(evaluator->Evaluate(written).text, evaluator->Evaluate(expression).text);
  QCOMPARE(evaluator->Evaluate(written).literal, literal);
}

QTEST_GUILESS_MAIN(LiteralsTest)
#include "literals_test.moc"
