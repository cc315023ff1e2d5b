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

}  // namespace

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
  const int end = document->findBlockByNumber(static_cast<int>(renderedTopRows)).position();
  QString lines;
  for (const QString& row : newTopRows) {
    lines += row;
    lines += u'\n';
  }

  // Like setting the whole text, the edit leaves nothing to undo.
  document->setUndoRedoEnabled(false);
  // The new lines go in below the old ones before those are removed: the box's own cursor,
  // normally at the start, then stays there instead of following the inserted text.
  QTextCursor cursor(document);
  cursor.beginEditBlock();
  cursor.setPosition(end);
  cursor.insertText(lines);
  cursor.setPosition(0);
  cursor.setPosition(end, QTextCursor::KeepAnchor);
  cursor.removeSelectedText();
  cursor.endEditBlock();
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
