#pragma once

#include <QString>

namespace vesko {

// A committed row as the history keeps it: its text ("expression=result") with where its
// expression ends, since both sides may hold "=" themselves, and a literal that evaluates back to
// its result when the result's text is not one itself.
struct KeptRow {
  QString text;
  // The length of the expression in `text`, which is followed by "=" and the result; -1 when it is
  // not known (rows of files written before it was kept).
  qsizetype expressionLength = -1;
  // An expression text that evaluates back to the result; when null, the result's text is one
  // if `literalKnown`, and nobody knows otherwise (rows of earlier files).
  QString literal;
  bool literalKnown = false;

  bool split() const { return expressionLength >= 0; }
  QString expression() const { return split() ? text.first(expressionLength) : text; }
  QString result() const { return split() ? text.sliced(expressionLength + 1) : QString(); }

  // The row of a text alone, split where that is beyond doubt: at its only "=".
  static KeptRow FromText(const QString& text) {
    KeptRow row{text, -1, {}, false};
    if (const qsizetype at = text.indexOf(u'='); at >= 0 && text.indexOf(u'=', at + 1) < 0) {
      row.expressionLength = at;
    }
    return row;
  }
};

}  // namespace vesko
