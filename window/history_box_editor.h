#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QPlainTextEdit;

namespace vesko {

// Keeps the history box holding the rendered rows, each row a line. Besides setting the
// whole text it can replace just the first lines, which is all that changes on a key release:
// a live run rewrites the top line, a commit puts one more line below it. That costs the same
// however many rows there are, where setting the whole text grows with them.
//
// The box stays editable. Once anyone but this class has changed its text (the user typed,
// pasted, undid...), the lines no longer match the rows and only a whole rewrite can bring them
// back; the same holds when a row contains a line break and so fills more than one line.
class HistoryBoxEditor : public QObject {
 public:
  explicit HistoryBoxEditor(QPlainTextEdit* box);

  // Sets the whole text; `rows` are the rows it was rendered from.
  void SetText(const QString& text, const QStringList& rows);
  // Replaces the first `renderedTopRows` rows shown with `newTopRows`, leaving the lines below
  // as they are. Returns false, changing nothing, when that could not give exactly the text a
  // whole rewrite would; the caller then sets the whole text.
  bool ReplaceTopRows(qsizetype renderedTopRows, const QStringList& newTopRows);
  // Whether the box shows the rows it was last given, line for line: nobody else has changed it.
  bool showsRows() const { return !foreignChange_; }
  // The row that line `line` of the box belongs to when it shows `rows`; -1 below the last.
  static qsizetype RowOfLine(const QStringList& rows, qsizetype line);
  // With top edits off every change rewrites the whole text (for measuring what they save).
  void setTopEditsEnabled(bool enabled) { topEditsEnabled_ = enabled; }

 private:
  // The document edit of ReplaceTopRows.
  void ReplaceTopLines(qsizetype renderedTopRows, const QStringList& newTopRows);

  QPlainTextEdit* box_;
  bool topEditsEnabled_ = true;
  // Set while this class changes the box, so that its own changes are not taken for the user's.
  bool changing_ = false;
  // The box's text was changed by someone else since this class last set it.
  bool foreignChange_ = true;
  // How many of the first rows shown are known to fill exactly one line each.
  qsizetype singleLineTopRows_ = 0;
};

}  // namespace vesko
