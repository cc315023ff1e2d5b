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
  struct TextValue : Value {
    explicit TextValue(QString t) : text(std::move(t)) {}
    QString text;
  };

  void add(const QString& expression, const QString& text) { values_.insert(expression, text); }
  void addFailure(const QString& expression, const QString& description) {
    failures_.insert(expression, description);
  }

  void SelectLanguage(const QString& language) override { languages.append(language); }
  ValuePtr Evaluate(const QString& expression) override {
    evaluated.append(expression);
    if (auto it = failures_.constFind(expression); it != failures_.constEnd()) {
      throw EvaluationFailure(*it);
    }
    if (auto it = values_.constFind(expression); it != values_.constEnd()) {
      return std::make_shared<TextValue>(*it);
    }
    throw EvaluationFailure(QStringLiteral("Syntax error"), 1002);
  }
  QString TextOf(const Value& value) override { return static_cast<const TextValue&>(value).text; }

  QStringList languages;
  QStringList evaluated;

 private:
  QHash<QString, QString> values_;
  QHash<QString, QString> failures_;
};

}  // namespace vesko::testing
