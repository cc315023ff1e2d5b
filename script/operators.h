#pragma once

#include "script/context.h"
#include "script/value.h"

#include <cstdint>

namespace vesko::script {

enum class BinaryOp : std::uint8_t {
  kPower,
  kMultiply,
  kDivide,
  kIntDivide,
  kMod,
  kAdd,
  kSubtract,
  kConcat,
  kEqual,
  kNotEqual,
  kLess,
  kGreater,
  kLessEqual,
  kGreaterEqual,
  kIs,
  kAnd,
  kOr,
  kXor,
  kEqv,
  kImp,
};

enum class UnaryOp : std::uint8_t { kNegate, kPlus, kNot };

// Applies `left op right` and leaves the result in `left`; `right` may be consumed (so that a
// growing string is extended in place from either end). Fails with EvaluationFailure as the
// language does (Overflow, Division by zero, ...).
void ApplyBinary(BinaryOp op, Variant& left, Variant& right, EvaluationContext& context);

// Applies a prefix operator to `operand` in place.
void ApplyUnary(UnaryOp op, Variant& operand);

}  // namespace vesko::script
