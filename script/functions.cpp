#include "script/functions.h"

#include "script/conversions.h"
#include "script/errors.h"
#include "script/number_text.h"

#include <QTime>

namespace vesko::script {

namespace {

// Hex and Oct: the argument rounded to a whole number; Integer-like arguments show their 16-bit
// pattern, all others their 32-bit pattern.
Variant RadixText(const Variant& x, int radix, EvaluationContext& context) {
  if (x.IsNull()) {
    return Variant::Null();
  }
  if (x.IsObject()) {
    Fail(kObjectVariableNotSet);
  }
  const std::int64_t n = ToRoundedLong(x);
  const bool sixteenBits =
      x.Is(Subtype::kInteger) || x.Is(Subtype::kBoolean) || x.Is(Subtype::kByte) || x.IsEmpty();
  const std::uint32_t pattern =
      sixteenBits ? static_cast<std::uint16_t>(n) : static_cast<std::uint32_t>(n);
  QString text = QString::number(pattern, radix).toUpper();
  context.ReserveText(text.size());
  return Variant::String(std::move(text));
}

Variant IsNumeric(const Variant& x) {
  if (x.IsString()) {
    double ignored = 0;
    return Variant::Boolean(ParseNumber(x.text, ignored) == ParseStatus::kNumber);
  }
  return Variant::Boolean(x.IsNumeric() || x.IsEmpty());
}

Variant Rgb(std::span<const Variant> args) {
  std::int64_t parts[3];
  for (int i = 0; i < 3; ++i) {
    parts[i] = ToRoundedLong(args[static_cast<std::size_t>(i)]);
    if (parts[i] < 0) {
      Fail(kInvalidProcedureCall);
    }
    if (parts[i] > 255) {
      parts[i] = 255;
    }
  }
  return Variant::Long(static_cast<std::int32_t>(parts[0] + parts[1] * 256 + parts[2] * 65536));
}

}  // namespace

Variant CallFunction(FunctionId id, std::span<const Variant> args, EvaluationContext& context) {
  switch (id) {
    case FunctionId::kAbs:
    case FunctionId::kAtn:
    case FunctionId::kCos:
    case FunctionId::kExp:
    case FunctionId::kFix:
    case FunctionId::kInt:
    case FunctionId::kLog:
    case FunctionId::kRnd:
    case FunctionId::kRound:
    case FunctionId::kSgn:
    case FunctionId::kSin:
    case FunctionId::kSqr:
    case FunctionId::kTan:
      return CallMathFunction(id, args, context);
    case FunctionId::kCBool:
      return ConvertToBoolean(args[0]);
    case FunctionId::kCByte:
      return ConvertToByte(args[0]);
    case FunctionId::kCCur:
      return ConvertToCurrency(args[0]);
    case FunctionId::kCDbl:
      return ConvertToDouble(args[0]);
    case FunctionId::kCInt:
      return ConvertToInteger(args[0]);
    case FunctionId::kCLng:
      return ConvertToLong(args[0]);
    case FunctionId::kCSng:
      return ConvertToSingle(args[0]);
    case FunctionId::kCStr: {
      Variant text = ConvertToString(args[0]);
      context.ReserveText(text.text.size());
      return text;
    }
    case FunctionId::kHex:
      return RadixText(args[0], 16, context);
    case FunctionId::kOct:
      return RadixText(args[0], 8, context);
    case FunctionId::kIsNumeric:
      return IsNumeric(args[0]);
    case FunctionId::kIsEmpty:
      return Variant::Boolean(args[0].IsEmpty());
    case FunctionId::kIsNull:
      return Variant::Boolean(args[0].IsNull());
    case FunctionId::kIsObject:
      return Variant::Boolean(args[0].IsObject());
    case FunctionId::kTypeName:
      return Variant::String(TypeNameOf(args[0]));
    case FunctionId::kVarType:
      return Variant::Integer(static_cast<std::int16_t>(args[0].type));
    case FunctionId::kTimer:
      return Variant::Single(static_cast<float>(QTime::currentTime().msecsSinceStartOfDay()) /
                             1000.0f);
    case FunctionId::kRgb:
      return Rgb(args);
    case FunctionId::kDateFunction:
      Fail(kInvalidProcedureCall);
    default:
      return CallStringFunction(id, args, context);
  }
}

}  // namespace vesko::script
