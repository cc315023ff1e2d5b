// libFuzzer target: arbitrary bytes through the normalizer, the evaluator and the text of the
// value, in both the committed and the live way the calculator uses them.

#include "engine/calculation_controller.h"
#include "engine/normalizer.h"
#include "script/script_evaluator.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Longer texts than the input box holds are not worth the time.
  if (size > 40000) {
    return 0;
  }
  static const auto evaluator = vesko::CreateScriptEvaluator();
  const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));

  const QString evalForm = vesko::NormalizeExpression(text, false);
  const QString displayForm = vesko::NormalizeExpression(text, true);
  if (displayForm.contains(u'^')) {
    __builtin_trap();
  }
  try {
    const auto value = evaluator->Evaluate(evalForm.trimmed());
    evaluator->TextOf(*value);
  } catch (const vesko::EvaluationFailure& failure) {
    // Every failure must say what went wrong.
    if (failure.description().trimmed().isEmpty()) {
      __builtin_trap();
    }
  }

  // The same text typed live and committed through the controller.
  QString input = text;
  QString history;
  vesko::CalculationController controller(
      *evaluator, {[&] { return input; }, [&](const QString& t) { input = t; }, [] {},
                   [&](const QString& t) { history = t; }});
  controller.OnInputKeyUp(0, 0);
  int key = vesko::CalculationController::kEnterKey;
  controller.OnInputKeyPress(key);
  controller.OnInputKeyUp(0, 0);
  if (!input.isEmpty() || controller.rows().isEmpty()) {
    __builtin_trap();
  }
  return 0;
}
