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

// Whether a text holds nothing but blanks: spaces, tabs, line breaks, ideographic spaces. Such
// an input commits nothing.
bool IsBlank(const QString& text) {
  return std::all_of(text.begin(), text.end(), [](QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == QChar(0x3000);
  });
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
      WriteTopRow(value->text, {RowKind::kLive, -1, value->literal, !value->literal.isNull()});
    }
    return false;
  }
  // The forms are made only as far as needed: a form beyond the evaluator's limit is a failure
  // known without reading the rest of the text.
  const QString evalForm = TrimmedEvaluationForm(input, kMaxExpressionLength);
  if (evalForm.isEmpty() || IsBlank(evalForm)) {
    // Nothing to commit: the top row shows what a blank input shows, and no row is made.
    WriteTopRow(kBlankInputRow, BlankInputInfo());
    return false;
  }
  const Evaluation result = evalForm.size() > kMaxExpressionLength
                                ? Evaluation{QStringLiteral("Out of memory"), true, {}}
                                : evaluator_.Evaluate(evalForm);
  if (!result.failed) {
    const QString expression = RowExpression(DisplayForm(input));
    QString row;
    row.reserve(expression.size() + 1 + result.text.size());
    row += expression;
    row += u'=';
    row += result.text;
    WriteTopRow(row,
                {RowKind::kCommitted, expression.size(), result.literal, !result.literal.isNull()});
    InsertTopRow(QString());  // the fresh live row above the committed one
    ++rowsVersion_;
    if (onCommit_) {
      onCommit_(keptRow(1));
    }
    return true;
  }
  // A failure without a description, or of an empty input box, changes no row.
  if (!TrimSpaces(result.text).isEmpty() && !input.isEmpty()) {
    WriteTopRow(evalForm.size() > kLongestErrorForm
                    ? kErrorPrefix + evalForm.first(kShortenedErrorForm) + u'…'
                    : kErrorPrefix + evalForm,
                {RowKind::kError, -1, {}, false});
  }
  return false;
}

std::optional<Evaluation> CalculationController::LiveValue(const QString& input) {
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
    WriteTopRow(kBlankInputRow, BlankInputInfo());
  }
  QString prefix = evalForm.left(lastTop);
  if (prefix.isEmpty()) {
    return std::nullopt;  // nothing complete yet, such as an unclosed leading bracket
  }
  if (kTrailingOperators.contains(prefix.back())) {
    prefix.chop(1);
  }

  Evaluation result = evaluator_.Evaluate(prefix);
  if (result.failed) {
    return std::nullopt;
  }
  for (QChar c : kOperatorCharacters) {
    if (result.text.contains(c)) {
      return std::nullopt;
    }
  }
  return result;
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
  const Evaluation result = evaluator_.Evaluate(evalForm);
  WriteTopRow(displayForm + u'=' + result.text,
              {RowKind::kExample, displayForm.size(), result.literal, !result.literal.isNull()});
}

void CalculationController::WriteTopRow(const QString& text, RowInfo info) {
  // Writing the top row of an empty list creates it.
  if (rows_.isEmpty()) {
    wholeHistoryStale_ = true;
    rows_.append(QString());
    info_.append(RowInfo());
  }
  MarkTopChanged(1);
  rows_.first() = text;
  info_.first() = std::move(info);
}

void CalculationController::InsertTopRow(const QString& text) {
  MarkTopChanged(0);
  rows_.prepend(text);
  info_.prepend(RowInfo());
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
  QList<KeptRow> kept;
  kept.reserve(rows.size());
  for (const QString& row : rows) {
    kept.append(KeptRow::FromText(row));
  }
  AppendRows(kept);
}

void CalculationController::AppendRows(const QList<KeptRow>& rows) {
  rows_.reserve(rows_.size() + rows.size());
  info_.reserve(info_.size() + rows.size());
  for (const KeptRow& row : rows) {
    const KeptRow split = row.split() ? row : KeptRow::FromText(row.text);
    rows_.append(split.text);
    info_.append({RowKind::kCommitted, split.expressionLength, split.literal, split.literalKnown});
  }
  wholeHistoryStale_ = true;
  ++rowsVersion_;
}

void CalculationController::ClearCommittedRows() {
  if (rows_.size() > 1) {
    rows_.resize(1);
    info_.resize(1);
    wholeHistoryStale_ = true;
    ++rowsVersion_;
  }
}

void CalculationController::RemoveRow(qsizetype row) {
  if (row <= 0 || row >= rows_.size()) {
    return;
  }
  rows_.removeAt(row);
  info_.removeAt(row);
  wholeHistoryStale_ = true;
  ++rowsVersion_;
}

KeptRow CalculationController::keptRow(qsizetype row) const {
  const RowInfo& info = info_[row];
  return KeptRow{rows_[row], info.expressionLength, info.literal, info.literalKnown};
}

std::optional<QString> CalculationController::ExpressionOf(qsizetype row) const {
  const RowInfo& info = info_[row];
  switch (info.kind) {
    case RowKind::kLive:
      return std::nullopt;
    case RowKind::kError:
      return rows_[row].sliced(kErrorPrefix.size());
    case RowKind::kExample:
    case RowKind::kCommitted:
      break;
  }
  return info.expressionLength >= 0 ? rows_[row].first(info.expressionLength) : rows_[row];
}

std::optional<QString> CalculationController::ResultLiteralOf(qsizetype row) {
  const RowInfo& info = info_[row];
  QString result;
  switch (info.kind) {
    case RowKind::kError:
      return std::nullopt;
    case RowKind::kLive:
      result = rows_[row];
      break;
    case RowKind::kExample:
    case RowKind::kCommitted:
      if (info.expressionLength < 0) {
        return std::nullopt;
      }
      result = rows_[row].sliced(info.expressionLength + 1);
      break;
  }
  if (result.isEmpty() && info.kind == RowKind::kLive) {
    return std::nullopt;  // the fresh live row shows nothing
  }
  if (info.literalKnown) {
    return info.literal.isNull() ? result : info.literal;
  }
  // A row of an earlier version's file: its result is taken as it is where it evaluates back to
  // itself (numbers, True, ...), and as a string otherwise.
  const Evaluation again = evaluator_.Evaluate(EvaluationForm(result));
  if (!again.failed && again.text == result) {
    return result;
  }
  return u'"' + QString(result).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

qsizetype CalculationController::CommittedRowsAbove(qsizetype row) const {
  return std::count_if(info_.begin(), info_.begin() + row,
                       [](const RowInfo& info) { return info.kind == RowKind::kCommitted; });
}

bool CalculationController::Recallable(qsizetype row) const {
  return info_[row].kind == RowKind::kCommitted;
}

qsizetype CalculationController::OlderRecallRow(qsizetype from) const {
  const std::optional<QString> current = Recallable(from) ? ExpressionOf(from) : std::nullopt;
  for (qsizetype row = from + 1; row < rows_.size(); ++row) {
    if (Recallable(row) && ExpressionOf(row) != current) {
      return row;
    }
  }
  return -1;
}

qsizetype CalculationController::NewerRecallRow(qsizetype from) const {
  const std::optional<QString> current = Recallable(from) ? ExpressionOf(from) : std::nullopt;
  for (qsizetype row = std::min(from, rows_.size()) - 1; row > 0; --row) {
    if (Recallable(row) && ExpressionOf(row) != current) {
      return row;
    }
  }
  return -1;
}

}  // namespace vesko
