#pragma once

#include <QString>

#include <exception>
#include <memory>

namespace vesko {

// A failure reported by the evaluator: a text that is not a valid expression, or an evaluation
// that fails (division by zero, a bad function argument, ...). The description is what callers
// look at; the number is the language's own error number, kept for diagnostics and tests.
class EvaluationFailure : public std::exception {
 public:
  explicit EvaluationFailure(QString description, int number = 0)
      : description_(std::move(description)), number_(number), what_(description_.toStdString()) {}

  const QString& description() const { return description_; }
  int number() const { return number_; }
  const char* what() const noexcept override { return what_.c_str(); }

 private:
  QString description_;
  int number_;
  std::string what_;
};

// The boundary between the calculator and the language that does its arithmetic. The engine
// hands it texts and gets back values it never looks inside; the only thing it does with a value
// is ask for its text. Every operation reports a failure by throwing EvaluationFailure.
class ExpressionEvaluator {
 public:
  // The result of one evaluation. Opaque to the engine: only the evaluator that made it reads it.
  class Value {
   public:
    virtual ~Value() = default;
  };
  using ValuePtr = std::shared_ptr<const Value>;

  virtual ~ExpressionEvaluator() = default;

  // Chooses the language of the following evaluations by name.
  virtual void SelectLanguage(const QString& language) = 0;
  // Evaluates one expression text.
  virtual ValuePtr Evaluate(const QString& expression) = 0;
  // The text form of a value, as it is written into rows.
  virtual QString TextOf(const Value& value) = 0;
};

}  // namespace vesko
