#pragma once

#include <QString>

namespace vesko {

class CalculationController;
class InputTextBox;

// Up and Down in the input box: steps through the expressions of the committed rows, newest
// first, and back to the unfinished input, which comes back exactly as it was left (text, caret
// and selection). The position is forgotten once rows are committed or removed.
class ExpressionRecall {
 public:
  ExpressionRecall(CalculationController& controller, InputTextBox& input);

  // One step, older (Up) or newer (Down). Returns whether the input box's text was replaced.
  bool Step(bool older);

 private:
  CalculationController& controller_;
  InputTextBox& input_;
  // The row recalled last; 0 while the input is the user's own (the draft).
  qsizetype row_ = 0;
  quint64 rowsVersion_ = 0;
  QString draft_;
  int draftAnchor_ = 0;
  int draftPosition_ = 0;
};

}  // namespace vesko
