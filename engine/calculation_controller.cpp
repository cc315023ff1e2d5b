#include "engine/calculation_controller.h"

#include "engine/normalizer.h"

#include <algorithm>

namespace vesko {

namespace {

const QString kErrorPrefix = QStringLiteral("表达式错误:");
const QString kBlankInputRow = QStringLiteral("0.");
// A live value whose text holds any of these is never shown live: it would read like an
// expression (a negative number, an exponent such as 1E+20, a bracketed value).
const QString kOperatorCharacters = QStringLiteral("+-*/^()");
const QString kTrailingOperators = QStringLiteral("+-*/^");
// An error row carries the evaluation form; one longer than this (the input was huge, or beyond
// what the evaluator takes) is shown by its start and an ellipsis instead, so that no row grows
// far beyond what was typed.
constexpr qsizetype kLongestErrorForm = 65536;
constexpr qsizetype kShortenedErrorForm = 256;

// Removes leading and trailing ASCII spaces only (tabs and line feeds stay).
QString TrimSpaces(const QString& text) {
  qsizetype begin = 0;
  qsizetype end = text.size();
  while (begin < end && text[begin] == u' ') {
    ++begin;
  }
  while (end > begin && text[end - 1] == u' ') {
    --end;
  }
  return text.mid(begin, end - begin);
}

// The expression as a committed row shows it: the display form keeps the spaces typed around
// it, but an end that holds a line break loses its spaces and line breaks, so that a pasted
// expression ending in a line break does not split its row.
QString RowExpression(const QString& displayForm) {
  const auto isEnd = [](QChar c) { return c == u' ' || c == u'\n' || c == u'\r'; };
  const auto isBreak = [](QChar c) { return c == u'\n' || c == u'\r'; };
  qsizetype begin = 0;
  bool breakAtBegin = false;
  while (begin < displayForm.size() && isEnd(displayForm[begin])) {
    breakAtBegin = breakAtBegin || isBreak(displayForm[begin]);
    ++begin;
  }
  qsizetype end = displayForm.size();
  bool breakAtEnd = false;
  while (end > begin && isEnd(displayForm[end - 1])) {
    breakAtEnd = breakAtEnd || isBreak(displayForm[end - 1]);
    --end;
  }
  const qsizetype from = breakAtBegin ? begin : 0;
  const qsizetype to = breakAtEnd ? end : displayForm.size();
  return displayForm.mid(from, to - from);
}

}  // namespace

CalculationController::CalculationController(ExpressionEvaluator& evaluator, const InputText& input,
                                             HostOperations host)
    : evaluator_(evaluator), input_(input), host_(std::move(host)) {}

void CalculationController::RequestCommit() {
  commitRequested_ = true;
}

void CalculationController::UpdateFromInput() {
  // A live run on a huge input would read the whole text only to refuse it.
  if (!commitRequested_ && hugeInputRefusal_.Refuses(input_)) {
    lastLiveInput_.reset();
    RenderHistory();
    host_.focusInput();
    return;
  }
  const QString input = input_.text();
  // A live run on the text the previous live run had would write the same rows again: a
  // modifier's release after its key, or a key release after an input method's commit.
  // Rendering then changes nothing, unless someone else changed the history box meanwhile.
  if (!commitRequested_ && lastLiveInput_.has_value() && *lastLiveInput_ == input) {
    RenderHistory();
    host_.focusInput();
    return;
  }
  if (commitRequested_) {
    lastLiveInput_.reset();
  } else {
    lastLiveInput_ = input;
  }
  const bool committed = EvaluateCurrent(input);
  RenderHistory();
  if (commitRequested_) {
    commitRequested_ = false;
    // A committed row holds the expression, so the box is cleared for the next one. When nothing
    // was committed the expression stays to be corrected, with the caret after its end.
    if (committed) {
      host_.setInputText(QString());
    } else if (host_.moveInputCaretToEnd) {
      host_.moveInputCaretToEnd();
    }
  }
  host_.focusInput();
}

bool CalculationController::EvaluateCurrent(const QString& input) {
  if (!commitRequested_) {
    // A live run that finds nothing to show leaves the live row as it was.
    if (const auto value = LiveValue(input)) {
      WriteTopRow(*value);
    }
    return false;
  }
  // The forms are made only as far as needed: a form beyond the evaluator's limit is a failure
  // known without reading the rest of the text.
  const QString evalForm = TrimmedEvaluationForm(input, kMaxExpressionLength);
  if (evalForm.isEmpty()) {
    // Nothing to commit: the top row shows what a blank input shows, and no row is made.
    WriteTopRow(kBlankInputRow);
    return false;
  }
  const Evaluation result = evalForm.size() > kMaxExpressionLength
                                ? Evaluation{QStringLiteral("Out of memory"), true}
                                : evaluator_.Evaluate(evalForm);
  if (!result.failed) {
    const QString expression = RowExpression(DisplayForm(input));
    QString row;
    row.reserve(expression.size() + 1 + result.text.size());
    row += expression;
    row += u'=';
    row += result.text;
    WriteTopRow(row);
    InsertTopRow(QString());  // the fresh live row above the committed one
    if (onCommit_) {
      onCommit_(rows_[1]);
    }
    return true;
  }
  // A failure without a description, or of an empty input box, changes no row.
  if (!TrimSpaces(result.text).isEmpty() && !input.isEmpty()) {
    WriteTopRow(evalForm.size() > kLongestErrorForm
                    ? kErrorPrefix + evalForm.first(kShortenedErrorForm) + u'…'
                    : kErrorPrefix + evalForm);
  }
  return false;
}

std::optional<QString> CalculationController::LiveValue(const QString& input) {
  // Only as much of the text is read as it takes to know that the form is too long.
  const QString evalForm = TrimmedEvaluationForm(input, kLiveTextLimit - 1);
  if (evalForm.size() >= kLiveTextLimit) {
    return std::nullopt;
  }

  // The longest prefix after which every bracket is closed.
  int depth = 0;
  qsizetype lastTop = 0;
  for (qsizetype i = 0; i < evalForm.size(); ++i) {
    if (evalForm[i] == u'(') {
      ++depth;
    } else if (evalForm[i] == u')') {
      --depth;
    }
    if (depth == 0) {
      lastTop = i + 1;
    }
  }

  if (std::all_of(input.begin(), input.end(), [](QChar c) { return c == u' '; })) {
    WriteTopRow(kBlankInputRow);
  }
  QString prefix = evalForm.left(lastTop);
  if (prefix.isEmpty()) {
    return std::nullopt;  // nothing complete yet, such as an unclosed leading bracket
  }
  if (kTrailingOperators.contains(prefix.back())) {
    prefix.chop(1);
  }

  const Evaluation result = evaluator_.Evaluate(prefix);
  if (result.failed) {
    return std::nullopt;
  }
  for (QChar c : kOperatorCharacters) {
    if (result.text.contains(c)) {
      return std::nullopt;
    }
  }
  return result.text;
}

void CalculationController::RenderHistory() {
  if (host_.editHistoryTop && !wholeHistoryStale_ &&
      host_.editHistoryTop(replacedTop_, rows_.mid(0, changedTop_))) {
    changedTop_ = replacedTop_ = 0;
    return;
  }
  wholeHistoryStale_ = false;
  changedTop_ = replacedTop_ = 0;

  qsizetype length = 0;
  for (const QString& row : rows_) {
    length += row.size() + 2;
  }
  QString text;
  text.reserve(length);
  for (const QString& row : rows_) {
    text += row;
    text += QStringLiteral("\r\n");
  }
  host_.setHistoryText(text);
}

void CalculationController::SeedExample(const QString& text) {
  lastLiveInput_.reset();
  host_.setInputText(text);
  const QString evalForm = EvaluationForm(text);
  const QString displayForm = DisplayForm(text);
  InsertTopRow(QString());
  WriteTopRow(displayForm + u'=' + evaluator_.Evaluate(evalForm).text);
}

void CalculationController::WriteTopRow(const QString& text) {
  // Writing the top row of an empty list creates it.
  if (rows_.isEmpty()) {
    wholeHistoryStale_ = true;
    rows_.append(QString());
  }
  MarkTopChanged(1);
  rows_.first() = text;
}

void CalculationController::InsertTopRow(const QString& text) {
  MarkTopChanged(0);
  rows_.prepend(text);
  ++changedTop_;
}

void CalculationController::MarkTopChanged(qsizetype count) {
  // Widen the changed top so that it covers the first `count` rows.
  if (count > changedTop_) {
    replacedTop_ += count - changedTop_;
    changedTop_ = count;
  }
}

void CalculationController::AppendRows(const QStringList& rows) {
  rows_.append(rows);
  wholeHistoryStale_ = true;
}

void CalculationController::ClearCommittedRows() {
  if (rows_.size() > 1) {
    rows_.resize(1);
    wholeHistoryStale_ = true;
  }
}

}  // namespace vesko
