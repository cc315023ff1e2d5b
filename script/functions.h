#pragma once

#include "script/context.h"
#include "script/value.h"

#include <QStringView>

#include <cstdint>
#include <span>

namespace vesko::script {

using Arguments = std::span<const Variant>;
using Implementation = Variant (*)(Arguments, EvaluationContext&);

// One built-in function of the table in functions.cpp: how many arguments it takes and what
// runs it. The implementation gets a count within the range; optional arguments may be Missing
// (left empty between commas), required ones never are.
struct FunctionInfo {
  std::uint8_t minArguments;
  std::uint8_t maxArguments;
  Implementation call;
};

inline constexpr std::uint8_t kAnyCount = 255;

// The place of a built-in function in the table (what a compiled call carries), by name in any
// case; -1 if there is none.
int FunctionIndex(QStringView name);
const FunctionInfo& FunctionAt(std::uint8_t index);

// Whether optional argument `index` was given (present and not left empty).
inline bool Given(Arguments args, std::size_t index) {
  return index < args.size() && !args[index].IsMissing();
}

// Argument readers shared by the implementations.
// A text argument that may not be Null (94); objects fail with 91, arrays with 13.
QString NonNullText(const Variant& x);
// The optional compare argument at `index`: false (binary, the default) or true (text); 5 for
// any other value.
bool TextCompareArgument(Arguments args, std::size_t index);
// A String result made by a function, counted toward the evaluation's text budget.
Variant MadeText(QString text, EvaluationContext& context);

}  // namespace vesko::script
