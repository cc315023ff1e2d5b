#include "window/expression_recall.h"

#include "engine/calculation_controller.h"
#include "window/input_text_box.h"

#include <QTextCursor>

namespace vesko {

ExpressionRecall::ExpressionRecall(CalculationController& controller, InputTextBox& input)
    : controller_(controller), input_(input), rowsVersion_(controller.rowsVersion()) {}

bool ExpressionRecall::Step(bool older) {
  if (controller_.rowsVersion() != rowsVersion_) {
    rowsVersion_ = controller_.rowsVersion();
    row_ = 0;
  }
  if (row_ == 0 && !older) {
    return false;  // nothing is newer than the draft
  }
  const qsizetype next =
      older ? controller_.OlderRecallRow(row_) : controller_.NewerRecallRow(row_);
  if (older && next < 0) {
    return false;  // nothing older
  }
  if (row_ == 0) {
    const QTextCursor cursor = input_.textCursor();
    draft_ = input_.toPlainText();
    draftAnchor_ = cursor.anchor();
    draftPosition_ = cursor.position();
  }
  if (next < 0) {
    // Past the newest: the draft as it was left.
    row_ = 0;
    input_.ReplaceText(draft_);
    QTextCursor cursor = input_.textCursor();
    cursor.setPosition(draftAnchor_);
    cursor.setPosition(draftPosition_, QTextCursor::KeepAnchor);
    input_.setTextCursor(cursor);
    draft_.clear();
    return true;
  }
  row_ = next;
  input_.ReplaceText(controller_.ExpressionOf(row_).value_or(QString()));
  return true;
}

}  // namespace vesko
