#pragma once

#include <QString>

#include <exception>
#include <string>

namespace vesko {

// A failure inside the language: a text that is not a valid expression, or an evaluation that
// fails. Carries the language's error number and its description; the evaluator turns it into
// a failed Evaluation at its boundary, so it never leaves the language.
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

}  // namespace vesko
