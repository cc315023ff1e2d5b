#pragma once

#include "engine/input_text.h"

#include <QString>

#include <utility>

namespace vesko {

// An input held in a plain string: the input box of the calculator run without a window (the
// calc-eval tool, tests, benchmarks and the fuzz target).
class PlainInputText : public InputText {
 public:
  PlainInputText() = default;
  explicit PlainInputText(QString text) : text_(std::move(text)) {}

  QString text() const override { return text_; }
  qsizetype textLength() const override { return text_.size(); }
  QString textStart(qsizetype length) const override { return text_.left(length); }

  void setText(const QString& text) { text_ = text; }

 private:
  QString text_;
};

}  // namespace vesko
