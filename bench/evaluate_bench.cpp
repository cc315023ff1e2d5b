// One evaluation plus the text of its value, as the calculator does it on every key release,
// for typical inputs; beside it the same inputs through muparser's one-shot parse and evaluate.

#include "engine/normalizer.h"
#include "script/script_evaluator.h"

#include <benchmark/benchmark.h>
#include <muParser.h>

#include <QString>

#include <string>

namespace {

// A 200-character expression of the kind a user builds up: brackets, functions, constants.
QString LongExpression(int length) {
  const QString piece = QStringLiteral("(12.5-3)*sqr(16)/4+log(10)^2-");
  QString text;
  while (text.size() + piece.size() + 1 <= length) {
    text += piece;
  }
  text += QString(length - text.size(), u'1');
  return text;
}

QString Input(int which) {
  switch (which) {
    case 0:
      return QStringLiteral("(12-10)**(4)+sin((60-30)*pi/180)");
    case 1:
      return QStringLiteral("log(1)/log(10)+pe");
    case 2:
      return LongExpression(200);
    case 3:
      return LongExpression(32767);
    case 4:
      // A date literal, date arithmetic and the date's text in the user's locale.
      return QStringLiteral("#1/2/2003#+30");
    default:
      return QStringLiteral("FormatNumber(1234567.891, 2)");
  }
}

const char* kNames[] = {"start example 1",  "start example 2",    "200 characters",
                        "32767 characters", "date #1/2/2003#+30", "FormatNumber(1234567.891, 2)"};

// muparser spells square root sqrt and the natural logarithm ln.
std::string ForMuparser(const QString& evalForm) {
  QString text = evalForm;
  text.replace(QStringLiteral("sqr("), QStringLiteral("sqrt("));
  text.replace(QStringLiteral("log("), QStringLiteral("ln("));
  return text.toStdString();
}

void Ours(benchmark::State& state) {
  const auto evaluator = vesko::CreateScriptEvaluator();
  const QString evalForm = vesko::EvaluationForm(Input(int(state.range(0))));
  state.SetLabel(kNames[state.range(0)]);
  for (auto _ : state) {
    QString text = evaluator->Evaluate(evalForm).text;
    benchmark::DoNotOptimize(text);
  }
}

void Muparser(benchmark::State& state) {
  mu::Parser parser;
  const std::string expression = ForMuparser(vesko::EvaluationForm(Input(int(state.range(0)))));
  state.SetLabel(kNames[state.range(0)]);
  try {
    parser.SetExpr(expression);
    parser.Eval();
  } catch (const mu::Parser::exception_type& error) {
    // muparser refuses expressions longer than a few thousand characters.
    state.SkipWithError(error.GetMsg().c_str());
    return;
  }
  for (auto _ : state) {
    parser.SetExpr(expression);
    double value = parser.Eval();
    benchmark::DoNotOptimize(value);
  }
}

}  // namespace

// The date and FormatNumber inputs are ours only: muparser has neither.
BENCHMARK(Ours)->DenseRange(0, 5);
BENCHMARK(Muparser)->DenseRange(0, 3);
BENCHMARK_MAIN();
