// calc-eval: runs the calculator's engine headless over lines of standard input.
//
// For each line it puts the line into the input box and releases a key, as typing would; then,
// by default, it presses and releases Enter and prints the row the commit wrote (the committed
// "expression=value" row, or the error row). With --live it prints the first history row after
// the plain key release instead.
//
// Dates, month and weekday names and the currency symbol follow the user's locale as the window
// does: Qt reads it from LC_ALL / LC_TIME / LANG, with no need for the system's locales to be
// generated, e.g. echo 'DateSerial(2026,12,7)' | LANG=zh_CN.UTF-8 build/tools/calc-eval

#include "engine/calculation_controller.h"
#include "engine/plain_input_text.h"
#include "script/script_evaluator.h"

#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

namespace {

int Usage() {
  std::fputs("usage: calc-eval [--live] < expressions\n", stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  bool live = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--live") == 0) {
      live = true;
    } else {
      return Usage();
    }
  }

  vesko::PlainInputText input;
  const auto evaluator = vesko::CreateScriptEvaluator();
  vesko::CalculationController controller(
      *evaluator, input,
      {.setInputText = [&](const QString& text) { input.setText(text); },
       .focusInput = [] {},
       .setHistoryText = [](const QString&) {},
       .editHistoryTop = {},
       .moveInputCaretToEnd = {}});

  // A first release on the empty box gives the history its live row, as in the window.
  controller.UpdateFromInput();

  std::string line;
  while (std::getline(std::cin, line)) {
    input.setText(QString::fromStdString(line));
    controller.UpdateFromInput();
    if (live) {
      std::cout << controller.rows().value(0).toStdString() << '\n';
      continue;
    }
    const auto rowsBefore = controller.rows().size();
    controller.RequestCommit();
    controller.UpdateFromInput();
    // A successful commit inserts a fresh live row above the committed one.
    const bool committed = controller.rows().size() > rowsBefore;
    std::cout << controller.rows().value(committed ? 1 : 0).toStdString() << '\n';
  }
  return 0;
}
