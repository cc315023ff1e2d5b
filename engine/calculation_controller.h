#pragma once

#include "engine/evaluator.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace vesko {

// What the controller needs from the window: the input box (Text1) and the history box (Text2).
struct HostOperations {
  std::function<QString()> inputText;
  std::function<void(const QString&)> setInputText;
  std::function<void()> focusInput;
  std::function<void(const QString&)> setHistoryText;
};

// Reacts to keys in the input box, keeps the result rows, writes the live value of the expression
// being typed into the top row, commits "expression=result" rows on Enter and renders the rows
// into the history box. Runs without any window: it reaches the text boxes only through the host.
class CalculationController {
 public:
  static constexpr int kEnterKey = 13;

  CalculationController(ExpressionEvaluator& evaluator, HostOperations host);

  // Called for each character key before it is inserted; Enter (13) is swallowed (set to 0).
  void OnInputKeyPress(int& keyAscii);
  // Called on every key release in the input box, whatever the key.
  void OnInputKeyUp(int keyCode, int shift);
  // One calculation run.
  void UpdateFromInput();
  // The evaluation step of a run: the commit or the live branch, then the error check.
  void EvaluateCurrent();
  // Rebuilds the history text from the rows: each row followed by CR LF.
  void RenderHistory();
  // Used at start: puts an example into the input box and writes it as a committed-looking row.
  void SeedExample(const QString& text);

  // An optional faster way to bring the history box up to date: replace its first
  // `renderedTopRows` lines with `newTopRows`, leaving the rest as they are. The host returns
  // false when it cannot (for example because the user typed into the history box); the
  // controller then sets the whole text instead. Either way the box ends up holding exactly the
  // text RenderHistory describes.
  using HistoryTopEditor =
      std::function<bool(qsizetype renderedTopRows, const QStringList& newTopRows)>;
  void setHistoryTopEditor(HistoryTopEditor editor) { editHistoryTop_ = std::move(editor); }

  // Called with each committed row once it is in the rows; a failed commit commits nothing.
  using CommitListener = std::function<void(const QString& row)>;
  void setCommitListener(CommitListener listener) { onCommit_ = std::move(listener); }
  // Adds rows below all others: the rows kept from earlier runs, newest first.
  void AppendRows(const QStringList& rows);
  // Removes every row below the live row. The next RenderHistory shows the change.
  void ClearCommittedRows();

  const QStringList& rows() const { return rows_; }
  int liveRow() const { return liveRow_; }
  void setLiveRow(int row) { liveRow_ = row; }
  const QString& evalForm() const { return evalForm_; }
  const QString& displayForm() const { return displayForm_; }
  bool enterPressed() const { return enterPressed_; }

 private:
  void RunLiveBranch();
  void WriteRow(int index, const QString& text);
  void InsertRow(int index, const QString& text);
  void MarkTopChanged(qsizetype index);

  ExpressionEvaluator& evaluator_;
  HostOperations host_;
  QStringList rows_;
  int liveRow_ = 0;
  QString evalForm_;
  QString displayForm_;
  bool enterPressed_ = false;

  // What changed since the last rendering: the first `changedTop_` rows replace the first
  // `replacedTop_` rendered rows; below them the rows are as rendered. All changes happen at the
  // live row, which is the top row, so this stays small.
  HistoryTopEditor editHistoryTop_;
  bool wholeHistoryStale_ = true;
  qsizetype changedTop_ = 0;
  qsizetype replacedTop_ = 0;

  CommitListener onCommit_;
};

}  // namespace vesko
