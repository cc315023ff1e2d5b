#pragma once

#include <QObject>
#include <QPoint>
#include <QString>

namespace vesko {

class CalculationController;
class HistoryBoxEditor;
class HistoryTextBox;
class InputTextBox;

// Puts the rows of the history box to use again: a double-click on a row inserts its result
// (the live value on the live row, the expression on an error row) at the input box's caret,
// and the history box's menu inserts or copies a row's result or expression. Ctrl+Shift+C
// anywhere in the window copies the newest committed result. What is inserted evaluates back to
// the value shown; what is copied is the text shown, as plain text.
class RowReuse : public QObject {
 public:
  RowReuse(CalculationController& controller, InputTextBox* input, HistoryTextBox* history,
           HistoryBoxEditor* editor, QObject* parent);

  // The row shown at `position` of the history box's viewport; -1 below the last row. A history
  // box that someone typed into shows the rows again first.
  qsizetype RowAt(QPoint position);

  // What the menu offers for `row`: each is empty when it has nothing to offer.
  QString ResultLiteral(qsizetype row);
  QString ResultText(qsizetype row) const;
  QString Expression(qsizetype row) const;

  // Inserts `text` at the input box's caret, replacing its selection as typing would, gives it
  // the focus and shows the live value.
  void Insert(const QString& text);
  // Puts `text` on the clipboard as plain text.
  static void Copy(const QString& text);
  // The double-click: the result of a committed row or an example, the live value, an error
  // row's expression, a row that cannot be split whole.
  void InsertForDoubleClick(qsizetype row);
  void CopyNewestResult();

 private:
  CalculationController& controller_;
  InputTextBox* input_;
  HistoryTextBox* history_;
  HistoryBoxEditor* editor_;
};

}  // namespace vesko
