#pragma once

#include <QPlainTextEdit>

#include <functional>

namespace vesko {

// The history box: a multi-line text box whose copies (Ctrl+C, its menu's Copy, dragging) are
// plain text only, and which reports double-clicks on its lines.
class HistoryTextBox : public QPlainTextEdit {
 public:
  explicit HistoryTextBox(QWidget* parent);

  // A double-click on the line of this number (counted from 0 in the box's text).
  std::function<void(int line)> onLineDoubleClicked;

 protected:
  QMimeData* createMimeDataFromSelection() const override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
};

}  // namespace vesko
