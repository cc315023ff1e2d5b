#pragma once

#include <QString>

namespace vesko {

// What one evaluation gives the calculator: the text of the value, as rows show it, or the
// description of the failure (a text that is not a valid expression, a division by zero, a bad
// function argument, ...).
//
// `literal`, when the evaluator gives one, is an expression text that evaluates back to a value
// with the same text (a string value "a" has the literal "\"a\"", a date one in #...#); a null
// literal means the text itself is one (numbers) or that the evaluator cannot tell.
struct Evaluation {
  QString text;
  bool failed = false;
  QString literal;
};

// The longest expression an evaluator takes: a longer one fails with "Out of memory". Keeps the
// memory of one evaluation bounded, however much text is pasted.
inline constexpr qsizetype kMaxExpressionLength = qsizetype{32} * 1024 * 1024;

// The boundary between the calculator and the language that does its arithmetic. The language
// is fixed when the evaluator is made; the engine hands it texts and gets back texts.
class ExpressionEvaluator {
 public:
  virtual ~ExpressionEvaluator() = default;

  // Evaluates one expression text. Never throws: a failure is an Evaluation with `failed` set.
  virtual Evaluation Evaluate(const QString& expression) = 0;
};

}  // namespace vesko
