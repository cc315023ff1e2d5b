#include "window/history_box_editor.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace vesko {

namespace {

// Only the top rows are ever replaced, one or two at a time; this many are checked after a
// whole rewrite, and the count only grows from there.
constexpr qsizetype kCheckedTopRows = 8;

// Whether the text box would split `row` over several lines: besides line feeds and carriage
// returns the document also breaks at the paragraph separator and at the frame markers.
bool BreaksLine(const QString& row) {
  for (const QChar c : row) {
    switch (c.unicode()) {
      case u'\n':
      case u'\r':
      case 0x2029:  // paragraph separator
      case 0xFDD0:  // beginning of a frame
      case 0xFDD1:  // end of a frame
        return true;
      default:
        break;
    }
  }
  return false;
}

// The lines the text box splits `row` into: one more than its line breaks, a carriage return
// followed by a line feed counting once.
qsizetype LinesOf(const QString& row) {
  qsizetype lines = 1;
  for (qsizetype i = 0; i < row.size(); ++i) {
    const bool crLf = row[i] == u'\r' && i + 1 < row.size() && row[i + 1] == u'\n';
    if (!crLf && BreaksLine(QString(row[i]))) {
      ++lines;
    }
  }
  return lines;
}

}  // namespace

qsizetype HistoryBoxEditor::RowOfLine(const QStringList& rows, qsizetype line) {
  for (qsizetype row = 0; row < rows.size(); ++row) {
    // Most rows take one line: only those that may take more are counted through.
    line -= BreaksLine(rows[row]) ? LinesOf(rows[row]) : 1;
    if (line < 0) {
      return row;
    }
  }
  return -1;
}

HistoryBoxEditor::HistoryBoxEditor(QPlainTextEdit* box) : QObject(box), box_(box) {
  connect(box_->document(), &QTextDocument::contentsChange, this, [this] {
    if (!changing_) {
      foreignChange_ = true;
    }
  });
}

void HistoryBoxEditor::SetText(const QString& text, const QStringList& rows) {
  changing_ = true;
  box_->setPlainText(text);
  changing_ = false;
  foreignChange_ = false;
  const qsizetype checked = std::min(rows.size(), kCheckedTopRows);
  singleLineTopRows_ = 0;
  while (singleLineTopRows_ < checked && !BreaksLine(rows[singleLineTopRows_])) {
    ++singleLineTopRows_;
  }
}

void HistoryBoxEditor::ReplaceTopLines(qsizetype renderedTopRows, const QStringList& newTopRows) {
  QTextDocument* document = box_->document();
  // The rows shown end with a line break each, so the first `renderedTopRows` rows are the text
  // before the line of that number.
  const qsizetype end = document->findBlockByNumber(static_cast<int>(renderedTopRows)).position();

  // Like setting the whole text, the edits leave nothing to undo. They are made one by one, not
  // as one edit block: the box lays out again every line from where a change starts to where it
  // would end if its removed and added characters were counted one after the other, so one
  // combined change would reach into the first kept line, which may be a huge row.
  document->setUndoRedoEnabled(false);
  QTextCursor cursor(document);
  if (end == 0) {
    // Nothing to replace: the new lines go in at the start.
    cursor.insertText(newTopRows.join(u'\n') + u'\n');
  } else {
    // The new lines go in after the text of the last replaced row, before its line break, so
    // that the first kept line is not touched, and the box's own cursor, normally at the start,
    // stays there instead of following the inserted text.
    const QString inserted = newTopRows.isEmpty() ? QString() : u'\n' + newTopRows.join(u'\n');
    cursor.setPosition(static_cast<int>(end - 1));
    cursor.insertText(inserted);
    // Then the old rows and one line break go, from the start, each piece at most half of what
    // stays in front of the first kept line, so that no removal counts as reaching into it.
    for (qsizetype left = end; left > 0;) {
      const qsizetype piece = std::max<qsizetype>(1, std::min(left, (left + inserted.size()) / 2));
      cursor.setPosition(0);
      cursor.setPosition(static_cast<int>(piece), QTextCursor::KeepAnchor);
      cursor.removeSelectedText();
      left -= piece;
    }
  }
  document->setUndoRedoEnabled(true);
  document->setModified(false);
}

bool HistoryBoxEditor::ReplaceTopRows(qsizetype renderedTopRows, const QStringList& newTopRows) {
  if (!topEditsEnabled_ || foreignChange_ || renderedTopRows > singleLineTopRows_ ||
      std::any_of(newTopRows.begin(), newTopRows.end(), BreaksLine)) {
    return false;
  }
  QTextDocument* document = box_->document();
  changing_ = true;
  if (renderedTopRows > 0 || !newTopRows.isEmpty()) {
    ReplaceTopLines(renderedTopRows, newTopRows);
  }
  // Like a whole rewrite, the edit leaves the cursor and the view at the start. Moving the
  // cursor lays out the lines around it, so it is moved only when it is elsewhere.
  const QTextCursor current = box_->textCursor();
  if (current.position() != 0 || current.hasSelection()) {
    box_->setTextCursor(QTextCursor(document));
  }
  box_->verticalScrollBar()->setValue(0);
  box_->horizontalScrollBar()->setValue(0);
  changing_ = false;

  singleLineTopRows_ += newTopRows.size() - renderedTopRows;
  return true;
}

}  // namespace vesko
