// libFuzzer target: arbitrary bytes through the normalizer, the evaluator and the text of the
// value, in both the committed and the live way the calculator uses them.

#include "engine/calculation_controller.h"
#include "engine/normalizer.h"
#include "engine/plain_input_text.h"
#include "script/script_evaluator.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Inputs up to a megabyte: every step must stay linear in the text, so a slow input (the
  // fuzzer's -timeout) is a finding at any length.
  if (size > 1024 * 1024) {
    return 0;
  }
  static const auto evaluator = vesko::CreateScriptEvaluator();
  const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));

  const QString evalForm = vesko::EvaluationForm(text);
  const QString displayForm = vesko::DisplayForm(text);
  if (displayForm.contains(u'^')) {
    __builtin_trap();
  }
  // Every failure must say what went wrong.
  const vesko::Evaluation result = evaluator->Evaluate(evalForm.trimmed());
  if (result.failed && result.text.trimmed().isEmpty()) {
    __builtin_trap();
  }

  // The same text typed live and committed through the controller.
  vesko::PlainInputText input(text);
  QString history;
  vesko::CalculationController controller(
      *evaluator, input,
      {.setInputText = [&](const QString& t) { input.setText(t); },
       .focusInput = [] {},
       .setHistoryText = [&](const QString& t) { history = t; },
       .editHistoryTop = {},
       .moveInputCaretToEnd = {}});
  controller.UpdateFromInput();
  controller.RequestCommit();
  controller.UpdateFromInput();
  // A commit clears the box and adds its row; a failed or blank one keeps the text as it was.
  if (controller.rows().isEmpty() || (!input.text().isEmpty() && input.text() != text)) {
    __builtin_trap();
  }
  return 0;
}
