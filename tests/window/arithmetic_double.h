#pragma once

// Stands in for the expression language until it is part of the build: numbers, + - * / ^,
// brackets, sin and log, results written with up to 15 significant digits.

#include "engine/evaluator.h"

#include <QString>

#include <cmath>
#include <memory>

namespace vesko::testing {

class ArithmeticDouble : public ExpressionEvaluator {
 public:
  struct Number : Value {
    explicit Number(double v) : value(v) {}
    double value;
  };

  void SelectLanguage(const QString&) override {}
  ValuePtr Evaluate(const QString& expression) override {
    text_ = expression;
    pos_ = 0;
    const double v = Sum();
    if (pos_ != text_.size() || !std::isfinite(v)) {
      throw EvaluationFailure(QStringLiteral("Syntax error"), 1002);
    }
    return std::make_shared<Number>(v);
  }
  QString TextOf(const Value& value) override {
    return QString::number(static_cast<const Number&>(value).value, 'g', 15);
  }

 private:
  QChar Peek() const { return pos_ < text_.size() ? text_.at(pos_) : QChar(); }
  double Sum() {
    double v = Product();
    while (Peek() == u'+' || Peek() == u'-') {
      const bool plus = text_.at(pos_++) == u'+';
      const double r = Product();
      v = plus ? v + r : v - r;
    }
    return v;
  }
  double Product() {
    double v = Power();
    while (Peek() == u'*' || Peek() == u'/') {
      const bool times = text_.at(pos_++) == u'*';
      const double r = Power();
      if (!times && r == 0) {
        throw EvaluationFailure(QStringLiteral("Division by zero"), 11);
      }
      v = times ? v * r : v / r;
    }
    return v;
  }
  double Power() {
    double v = Atom();
    while (Peek() == u'^') {
      ++pos_;
      v = std::pow(v, Atom());
    }
    return v;
  }
  double Atom() {
    if (Peek() == u'-') {
      ++pos_;
      return -Atom();
    }
    if (Peek() == u'(') {
      ++pos_;
      const double v = Sum();
      if (Peek() != u')') {
        throw EvaluationFailure(QStringLiteral("Expected ')'"), 1006);
      }
      ++pos_;
      return v;
    }
    for (const char* name : {"sin", "log"}) {
      if (text_.mid(pos_, 4) == QLatin1String(name) + u'(') {
        pos_ += 3;
        const double a = Atom();
        return name[0] == 's' ? std::sin(a) : std::log(a);
      }
    }
    const int start = pos_;
    while (Peek().isDigit() || Peek() == u'.') {
      ++pos_;
    }
    bool ok = false;
    const double v = text_.mid(start, pos_ - start).toDouble(&ok);
    if (!ok) {
      throw EvaluationFailure(QStringLiteral("Syntax error"), 1002);
    }
    return v;
  }

  QString text_;
  int pos_ = 0;
};

}  // namespace vesko::testing
