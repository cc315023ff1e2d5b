#pragma once

#include "script/script_evaluator.h"

#include <QString>
#include <QTest>

namespace vesko::test {

// What one evaluation gave: the value's text, or the failure's number and description.
struct Outcome {
  bool failed = false;
  QString text;
  int number = 0;
};

inline Outcome EvaluateText(ScriptEvaluator& evaluator, const QString& expression) {
  const ScriptEvaluator::Outcome result = evaluator.EvaluateWithErrorNumber(expression);
  return {result.evaluation.failed, result.evaluation.text, result.errorNumber};
}

// Evaluates with a fresh evaluator, so that no state (the random generator) carries over.
inline Outcome Evaluate(const QString& expression) {
  const auto evaluator = CreateScriptEvaluator();
  return EvaluateText(*evaluator, expression);
}

// The subtype name the language itself reports for the expression's value.
inline QString SubtypeOf(const QString& expression) {
  return Evaluate(QStringLiteral("TypeName(") + expression + QLatin1Char(')')).text;
}

// Data-table rows: an expression with the text (and optionally the subtype) of its value, or with
// the number and description of its failure.
inline void AddValueColumns() {
  QTest::addColumn<QString>("expression");
  QTest::addColumn<QString>("text");
  QTest::addColumn<QString>("type");
}

inline void Value(const char* expression, const char* text, const char* type = "") {
  QTest::newRow(expression) << QString::fromUtf8(expression) << QString::fromUtf8(text)
                            << QString::fromUtf8(type);
}

inline void AddFailureColumns() {
  QTest::addColumn<QString>("expression");
  QTest::addColumn<int>("number");
  QTest::addColumn<QString>("description");
}

inline void Failure(const char* expression, int number, const char* description) {
  QTest::newRow(expression) << QString::fromUtf8(expression) << number
                            << QString::fromUtf8(description);
}

}  // namespace vesko::test

// Checks that `expression` evaluates to `text` (and, when `type` is not empty, to that subtype);
// all three are QStrings.
#define VESKO_CHECK_VALUE(expression, text, type)                                       \
  do {                                                                                  \
    const vesko::test::Outcome outcome_ = vesko::test::Evaluate(expression);            \
    QVERIFY2(!outcome_.failed, qPrintable(QStringLiteral("failed: ") + outcome_.text)); \
    QCOMPARE(outcome_.text, text);                                                      \
    if (!(type).isEmpty()) {                                                            \
      QCOMPARE(vesko::test::SubtypeOf(expression), type);                               \
    }                                                                                   \
  } while (false)

// Checks that `expression` fails with the error `number` and the exact `description`.
#define VESKO_CHECK_FAILURE(expression, number, description)                         \
  do {                                                                               \
    const vesko::test::Outcome outcome_ = vesko::test::Evaluate(expression);         \
    QVERIFY2(outcome_.failed, qPrintable(QStringLiteral("gave: ") + outcome_.text)); \
    QCOMPARE(outcome_.text, description);                                            \
    QCOMPARE(outcome_.number, int(number));                                          \
  } while (false)
