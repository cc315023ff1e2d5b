#include "window/history_text_box.h"

#include <QMimeData>
#include <QMouseEvent>
#include <QTextBlock>
#include <QTextCursor>

namespace vesko {

HistoryTextBox::HistoryTextBox(QWidget* parent) : QPlainTextEdit(parent) {}

QMimeData* HistoryTextBox::createMimeDataFromSelection() const {
  // The selection marks line ends as paragraph separators; the clipboard gets line feeds.
  QString text = textCursor().selectedText();
  text.replace(QChar::ParagraphSeparator, u'\n');
  auto* data = new QMimeData;
  data->setText(text);
  return data;
}

void HistoryTextBox::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !onLineDoubleClicked) {
    QPlainTextEdit::mouseDoubleClickEvent(event);
    return;
  }
  // The line takes the double-click: no word gets selected.
  onLineDoubleClicked(cursorForPosition(event->position().toPoint()).blockNumber());
  event->accept();
}

}  // namespace vesko
