#pragma once

#include "engine/evaluator.h"

#include <QHash>
#include <QStringList>

namespace vesko::testing {

// An evaluator double that knows a fixed set of expression texts. Any other text fails with
// "Syntax error"; texts mapped to a failure fail with that description. Records every text it
// was asked to evaluate.
class TableEvaluator : public ExpressionEvaluator {
 public:
  void add(const QString& expression, const QString& text) { values_.insert(expression, text); }
  void addFailure(const QString& expression, const QString& description) {
    failures_.insert(expression, description);
  }

  Evaluation Evaluate(const QString& expression) override {
    evaluated.append(expression);
    if (auto it = failures_.constFind(expression); it != failures_.constEnd()) {
      return {*it, true, {}};
    }
    if (auto it = values_.constFind(expression); it != values_.constEnd()) {
      return {*it, false, {}};
    }
    return {QStringLiteral("Syntax error"), true, {}};
  }

  QStringList evaluated;

 private:
  QHash<QString, QString> values_;
  QHash<QString, QString> failures_;
};

}  // namespace vesko::testing
