#pragma once

#include "engine/evaluator.h"
#include "engine/huge_input_refusal.h"
#include "engine/input_text.h"
#include "engine/kept_row.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <utility>

namespace vesko {

// What the controller needs from the window besides reading the input: setting the input box's
// text and focus, and the history box.
struct HostOperations {
  std::function<void(const QString&)> setInputText;
  std::function<void()> focusInput;
  std::function<void(const QString&)> setHistoryText;
  // Optional, a faster way to bring the history box up to date: replace its first
  // `renderedTopRows` lines with `newTopRows`, leaving the rest as they are. The host returns
  // false when it cannot (for example because the user typed into the history box); the
  // controller then sets the whole text instead. Either way the box ends up holding exactly the
  // text RenderHistory describes.
  std::function<bool(qsizetype renderedTopRows, const QStringList& newTopRows)> editHistoryTop;
  // Optional: puts the caret at the end of the input box's text, with nothing selected.
  std::function<void()> moveInputCaretToEnd;
};

// Keeps the result rows, writes the live value of the expression being typed into the top row,
// commits "expression=result" rows when asked and renders the rows into the history box. Runs
// without any window: it reads the input through `input` and reaches the text boxes otherwise only
// through the host.
class CalculationController {
 public:
  // `input` must outlive the controller.
  CalculationController(ExpressionEvaluator& evaluator, const InputText& input,
                        HostOperations host);

  // Enter was pressed in the input box: the next calculation run commits the input.
  void RequestCommit();
  // One calculation run, made on every key release in the input box: a commit when one was
  // requested, otherwise the live value. A live run on the text the last live run had does
  // nothing (the rows already show its outcome).
  void UpdateFromInput();
  // Rebuilds the history text from the rows: each row followed by CR LF.
  void RenderHistory();
  // Used at start: puts an example into the input box and writes it as a committed-looking row.
  void SeedExample(const QString& text);

  // Called with each committed row once it is in the rows; a failed commit commits nothing.
  using CommitListener = std::function<void(const KeptRow& row)>;
  void setCommitListener(CommitListener listener) { onCommit_ = std::move(listener); }
  // Adds rows below all others: the rows kept from earlier runs, newest first. A row without its
  // split is split at its only "=", and not at all when it has several.
  void AppendRows(const QStringList& rows);
  void AppendRows(const QList<KeptRow>& rows);
  // Removes every row below the live row. The next RenderHistory shows the change.
  void ClearCommittedRows();
  // Removes one committed row (not the live row). The next RenderHistory shows the change.
  void RemoveRow(qsizetype row);

  // Index 0 is the top row, the live row.
  const QStringList& rows() const { return rows_; }

  // What a row is: the live row (the live value, "0." or the fresh empty row), a start example, a
  // committed row (of this run or an earlier one) or an error row.
  enum class RowKind : quint8 { kLive, kExample, kCommitted, kError };
  RowKind kind(qsizetype row) const { return info_[row].kind; }
  // The row as kept: its text with where its expression ends and its result's literal.
  KeptRow keptRow(qsizetype row) const;
  // The expression a row holds: a committed row's or an example's expression as the row shows
  // it (the whole row when its split is not known), an error row's expression; nothing for the
  // live row.
  std::optional<QString> ExpressionOf(qsizetype row) const;
  // An expression text that evaluates back to the value a row shows: the result of a committed
  // row or an example, the live value; nothing for an error row, a row whose split is not known
  // and an empty live row.
  std::optional<QString> ResultLiteralOf(qsizetype row);
  // How many committed rows lie above `row`: its place among the kept rows, counted from the
  // newest.
  qsizetype CommittedRowsAbove(qsizetype row) const;

  // Stepping through the expressions of the committed rows for recall. From row `from` (0 for the
  // live row), the next older or newer committed row whose expression differs from that of
  // `from`; -1 when there is none. Error rows and the start examples are passed over, so equal
  // expressions one after the other in that sequence count once.
  qsizetype OlderRecallRow(qsizetype from) const;
  qsizetype NewerRecallRow(qsizetype from) const;
  // Changes whenever committed rows are added or removed: a recall position older than that is
  // out of date.
  quint64 rowsVersion() const { return rowsVersion_; }

 private:
  // The evaluation step of a run: the commit or the live branch, then the error check. Returns
  // whether a row was committed.
  bool EvaluateCurrent(const QString& input);
  // The live value of the longest complete part of the input's evaluation form, or nothing when
  // it has none, it fails, the form is too long, or its value would read like an expression.
  std::optional<Evaluation> LiveValue(const QString& input);
  struct RowInfo {
    RowKind kind = RowKind::kLive;
    qsizetype expressionLength = -1;
    QString literal;
    bool literalKnown = false;
  };
  // The row a blank input shows, "0.", stands for 0.
  static RowInfo BlankInputInfo() { return {RowKind::kLive, -1, QStringLiteral("0"), true}; }
  void WriteTopRow(const QString& text, RowInfo info);
  void InsertTopRow(const QString& text);
  bool Recallable(qsizetype row) const;
  void MarkTopChanged(qsizetype count);

  ExpressionEvaluator& evaluator_;
  const InputText& input_;
  HostOperations host_;
  QStringList rows_;
  // What each row of rows_ is, row by row.
  QList<RowInfo> info_;
  quint64 rowsVersion_ = 0;
  CommitListener onCommit_;
  bool commitRequested_ = false;
  // The input text of the last live run, while the rows still show that run's outcome.
  std::optional<QString> lastLiveInput_;
  // Spares a live run the reading of a huge input it refuses.
  HugeInputRefusal hugeInputRefusal_;

  // What changed since the last rendering: the first `changedTop_` rows replace the first
  // `replacedTop_` rendered rows; below them the rows are as rendered. All changes happen at the
  // top row, so this stays small.
  bool wholeHistoryStale_ = true;
  qsizetype changedTop_ = 0;
  qsizetype replacedTop_ = 0;
};

}  // namespace vesko
