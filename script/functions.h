#pragma once

#include "script/context.h"
#include "script/value.h"

#include <cstdint>
#include <span>

namespace vesko::script {

enum class FunctionId : std::uint8_t {
  // math
  kAbs,
  kAtn,
  kCos,
  kExp,
  kFix,
  kInt,
  kLog,
  kRnd,
  kRound,
  kSgn,
  kSin,
  kSqr,
  kTan,
  // conversions
  kCBool,
  kCByte,
  kCCur,
  kCDbl,
  kCInt,
  kCLng,
  kCSng,
  kCStr,
  kHex,
  kOct,
  // strings
  kLen,
  kLeft,
  kRight,
  kMid,
  kUCase,
  kLCase,
  kTrim,
  kLTrim,
  kRTrim,
  kInStr,
  kInStrRev,
  kString,
  kSpace,
  kStrReverse,
  kReplace,
  kChr,
  kChrW,
  kAsc,
  kAscW,
  kStrComp,
  // inspection and others
  kIsNumeric,
  kIsEmpty,
  kIsNull,
  kIsObject,
  kTypeName,
  kVarType,
  kTimer,
  kRgb,
  // the date and time functions, which this calculator does not support
  kDateFunction,
};

struct FunctionInfo {
  FunctionId id;
  std::uint8_t minArguments;
  std::uint8_t maxArguments;
};

// Calls a built-in function with arguments already checked against the function's counts
// (the date functions are refused before they get here).
Variant CallFunction(FunctionId id, std::span<const Variant> arguments, EvaluationContext& context);

// Math family (math_functions.cpp).
Variant CallMathFunction(FunctionId id, std::span<const Variant> arguments,
                         EvaluationContext& context);
// String family (string_functions.cpp).
Variant CallStringFunction(FunctionId id, std::span<const Variant> arguments,
                           EvaluationContext& context);

}  // namespace vesko::script
