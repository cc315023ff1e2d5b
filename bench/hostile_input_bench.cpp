// Huge and hostile inputs, the measures of how the calculator copes with them: case mapping of
// characters that grow when mapped, the two normalizer forms of megabytes of "pi", a live run
// (a key release) in a 10 MB input, and committing 10 MB of "1+1+...". Each should grow linearly
// with its input. Peak memory is best read from outside, for example with
//   /usr/bin/time -v build/tests/engine/slow_inputs sum_of_ten_megabytes

#include "engine/calculation_controller.h"
#include "engine/normalizer.h"
#include "engine/plain_input_text.h"
#include "script/script_evaluator.h"

#include <benchmark/benchmark.h>

#include <QString>

namespace {

QString Pi(qsizetype length) {
  return QStringLiteral("pi").repeated(length / 2);
}

QString Sum(qsizetype length) {
  QString text = QStringLiteral("1");
  text.reserve(length);
  while (text.size() + 2 <= length) {
    text += QStringLiteral("+1");
  }
  return text;
}

void CaseMapping(benchmark::State& state) {
  const auto evaluator = vesko::CreateScriptEvaluator();
  const QString expression = QStringLiteral("Len(UCase(String(%1,ChrW(223))))").arg(state.range(0));
  for (auto _ : state) {
    benchmark::DoNotOptimize(evaluator->Evaluate(expression));
  }
}

void EvaluationFormOfPi(benchmark::State& state) {
  const QString text = Pi(state.range(0));
  for (auto _ : state) {
    benchmark::DoNotOptimize(vesko::EvaluationForm(text));
  }
}

void DisplayFormOfPi(benchmark::State& state) {
  const QString text = Pi(state.range(0));
  for (auto _ : state) {
    benchmark::DoNotOptimize(vesko::DisplayForm(text));
  }
}

// A controller whose input box holds `input`.
struct Calculator {
  vesko::PlainInputText input;
  std::unique_ptr<vesko::ScriptEvaluator> evaluator = vesko::CreateScriptEvaluator();
  vesko::CalculationController controller{
      *evaluator,
      input,
      {.setInputText = [this](const QString& text) { input.setText(text); },
       .focusInput = [] {},
       .setHistoryText = [](const QString&) {},
       .editHistoryTop = {},
       .moveInputCaretToEnd = {}}};
};

// Key releases in a huge input, each after a change (an unchanged input is not run again). Its
// start tells that the live run refuses it, as in the window: the whole text is never read.
void LiveRunInHugeInput(benchmark::State& state) {
  Calculator calculator;
  const QString text = Pi(state.range(0));
  const QString changed = text + QStringLiteral("+1");
  bool flip = false;
  for (auto _ : state) {
    calculator.input.setText(flip ? text : changed);
    flip = !flip;
    calculator.controller.UpdateFromInput();
  }
}

void CommitSum(benchmark::State& state) {
  Calculator calculator;
  const QString text = Sum(state.range(0));
  for (auto _ : state) {
    calculator.input.setText(text);
    calculator.controller.RequestCommit();
    calculator.controller.UpdateFromInput();
  }
}

}  // namespace

BENCHMARK(CaseMapping)->Arg(160000)->Arg(640000)->Arg(4194304)->Unit(benchmark::kMillisecond);
BENCHMARK(EvaluationFormOfPi)->Arg(1'000'000)->Arg(10'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(DisplayFormOfPi)->Arg(1'000'000)->Arg(10'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(LiveRunInHugeInput)->Arg(10'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(CommitSum)->Arg(5'000'000)->Arg(10'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
