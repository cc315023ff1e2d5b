#include "engine/calculation_controller.h"

#include "engine/normalizer.h"

#include <limits>

namespace vesko {

namespace {

const QString kLanguage = QStringLiteral("VBScript");
const QString kErrorPrefix = QStringLiteral("表达式错误:");
const QString kBlankInputRow = QStringLiteral("0.");
// A live value whose text holds any of these is never shown live: it would read like an
// expression (a negative number, an exponent such as 1E+20, a bracketed value).
const QString kOperatorCharacters = QStringLiteral("+-*/^()");
const QString kTrailingOperators = QStringLiteral("+-*/^");
constexpr int kLargestPosition = std::numeric_limits<qint16>::max();

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

}  // namespace

CalculationController::CalculationController(ExpressionEvaluator& evaluator, HostOperations host)
    : evaluator_(evaluator), host_(std::move(host)) {}

void CalculationController::OnInputKeyPress(int& keyAscii) {
  if (keyAscii == kEnterKey) {
    enterPressed_ = true;
    keyAscii = 0;
  }
}

void CalculationController::OnInputKeyUp(int /*keyCode*/, int /*shift*/) {
  UpdateFromInput();
  liveRow_ = 0;
}

void CalculationController::UpdateFromInput() {
  const QString input = host_.inputText();
  evalForm_ = NormalizeExpression(input, false);
  displayForm_ = NormalizeExpression(input, true);
  EvaluateCurrent();
  RenderHistory();
  if (enterPressed_) {
    enterPressed_ = false;
    host_.setInputText(QString());
  }
  host_.focusInput();
}

void CalculationController::EvaluateCurrent() {
  // One failure handler for the whole step: the first failure abandons the rest and is
  // turned into at most one error row below.
  QString failure;
  try {
    evaluator_.SelectLanguage(kLanguage);
    evalForm_ = TrimSpaces(evalForm_);
    if (enterPressed_) {
      const auto value = evaluator_.Evaluate(evalForm_);
      WriteRow(liveRow_, displayForm_ + u'=' + evaluator_.TextOf(*value));
      InsertRow(liveRow_, QString());
      if (onCommit_) {
        onCommit_(rows_[liveRow_ + 1]);
      }
    } else {
      RunLiveBranch();
    }
  } catch (const EvaluationFailure& caught) {
    failure = caught.description();
  } catch (const std::exception& caught) {
    failure = QString::fromLocal8Bit(caught.what());
    if (TrimSpaces(failure).isEmpty()) {
      failure = QStringLiteral("Internal error");
    }
  }

  if (!TrimSpaces(failure).isEmpty() && !host_.inputText().isEmpty() && enterPressed_) {
    WriteRow(liveRow_, kErrorPrefix + evalForm_);
  }
}

void CalculationController::RunLiveBranch() {
  // The position counter of the balanced-prefix scan is a 16-bit integer: a text of 32,767
  // characters or more steps it past its range, which fails the live branch like any other
  // failure (the live row stays as it was).
  if (evalForm_.size() >= kLargestPosition) {
    throw EvaluationFailure(QStringLiteral("Overflow"), 6);
  }

  // The longest prefix after which every bracket is closed.
  int depth = 0;
  qsizetype lastTop = 0;
  for (qsizetype i = 0; i < evalForm_.size(); ++i) {
    if (evalForm_[i] == u'(') {
      ++depth;
    } else if (evalForm_[i] == u')') {
      --depth;
    }
    if (depth == 0) {
      lastTop = i + 1;
    }
  }

  if (TrimSpaces(host_.inputText()).isEmpty()) {
    WriteRow(liveRow_, kBlankInputRow);
  }

  QString prefix = evalForm_.left(lastTop);
  if (prefix.isEmpty()) {
    // Nothing complete to show yet (for example an unclosed leading bracket).
    throw EvaluationFailure(QStringLiteral("Invalid procedure call or argument"), 5);
  }
  if (kTrailingOperators.contains(prefix.back())) {
    prefix.chop(1);
  }

  // The value depends only on the text, so one evaluation serves both the filter and the row.
  const QString text = evaluator_.TextOf(*evaluator_.Evaluate(prefix));
  for (QChar c : kOperatorCharacters) {
    if (text.contains(c)) {
      return;
    }
  }
  WriteRow(liveRow_, text);
}

void CalculationController::RenderHistory() {
  if (editHistoryTop_ && !wholeHistoryStale_ &&
      editHistoryTop_(replacedTop_, rows_.mid(0, changedTop_))) {
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
  host_.setInputText(text);
  evalForm_ = NormalizeExpression(text, false);
  displayForm_ = NormalizeExpression(text, true);
  InsertRow(liveRow_, QString());
  WriteRow(liveRow_, displayForm_ + u'=' + evaluator_.TextOf(*evaluator_.Evaluate(evalForm_)));
}

void CalculationController::WriteRow(int index, const QString& text) {
  // Overwriting a row that does not exist yet creates it (and any empty rows before it).
  if (rows_.size() <= index) {
    wholeHistoryStale_ = true;
    while (rows_.size() <= index) {
      rows_.append(QString());
    }
  }
  MarkTopChanged(index + 1);
  rows_[index] = text;
}

void CalculationController::InsertRow(int index, const QString& text) {
  MarkTopChanged(index);
  rows_.insert(index, text);
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
  if (rows_.size() > liveRow_ + 1) {
    rows_.resize(liveRow_ + 1);
    wholeHistoryStale_ = true;
  }
}

}  // namespace vesko
