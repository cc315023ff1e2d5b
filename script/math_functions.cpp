#include "script/conversions.h"
#include "script/errors.h"
#include "script/library.h"

#include "script/dates.h"

#include <bit>
#include <cmath>
#include <limits>

namespace vesko::script {

namespace {

// Abs, Int and Fix keep the subtype of their argument (Boolean and Empty become Integer,
// strings Double) and pass Null through.
template <typename DoubleOp, typename CurrencyOp>
Variant SameSubtype(const Variant& x, DoubleOp onDouble, CurrencyOp onCurrency,
                    bool negateIntegers) {
  switch (x.type) {
    case Subtype::kNull:
      return Variant::Null();
    case Subtype::kEmpty:
    case Subtype::kBoolean:
    case Subtype::kInteger:
      return FitInteger(negateIntegers && x.integer < 0 ? -x.integer : x.integer,
                        Subtype::kInteger);
    case Subtype::kByte:
      return x;
    case Subtype::kLong:
      return FitInteger(negateIntegers && x.integer < 0 ? -x.integer : x.integer, Subtype::kLong);
    case Subtype::kSingle:
      return Variant::Single(static_cast<float>(onDouble(x.real)));
    case Subtype::kDouble:
      return Variant::Double(onDouble(x.real));
    case Subtype::kDate:
      return Variant::Date(CheckedDate(onDouble(x.real)));
    case Subtype::kCurrency:
      return Variant::Currency(onCurrency(x.integer));
    default:
      return Variant::Double(onDouble(ToDouble(x)));
  }
}

std::int64_t CurrencyFloor(std::int64_t scaled) {
  std::int64_t whole = scaled / kCurrencyScale;
  if (scaled % kCurrencyScale < 0) {
    --whole;
  }
  return whole * kCurrencyScale;
}

std::int64_t CurrencyTruncate(std::int64_t scaled) {
  return scaled / kCurrencyScale * kCurrencyScale;
}

std::int64_t CurrencyAbs(std::int64_t scaled) {
  if (scaled == std::numeric_limits<std::int64_t>::min()) {
    Fail(kOverflow);
  }
  return scaled < 0 ? -scaled : scaled;
}

double RoundToDigits(double x, std::int64_t digits) {
  if (digits == 0) {
    return BankersRound(x);
  }
  if (digits > 22) {
    return x;
  }
  const double scale = std::pow(10.0, static_cast<double>(digits));
  const double scaled = x * scale;
  if (!std::isfinite(scaled) || std::fabs(scaled) >= 4503599627370496.0) {  // 2^52: no fraction
    return x;
  }
  return BankersRound(scaled) / scale;
}

Variant RoundValue(Arguments args) {
  const Variant& x = args[0];
  const std::int64_t digits = Given(args, 1) ? ToRoundedLong(args[1]) : 0;
  if (digits < 0) {
    Fail(kInvalidProcedureCall);
  }
  switch (x.type) {
    case Subtype::kNull:
      return Variant::Null();
    case Subtype::kEmpty:
      return Variant::Integer(0);
    case Subtype::kBoolean:
    case Subtype::kByte:
    case Subtype::kInteger:
    case Subtype::kLong:
      return x;
    case Subtype::kSingle:
      return Variant::Single(static_cast<float>(RoundToDigits(x.real, digits)));
    case Subtype::kCurrency: {
      if (digits >= 4) {
        return x;
      }
      std::int64_t unit = 1;
      for (std::int64_t i = digits; i < 4; ++i) {
        unit *= 10;
      }
      std::int64_t q = x.integer / unit;
      const std::int64_t twice = (x.integer % unit) * 2;
      if (twice > unit || (twice == unit && (q & 1) != 0)) {
        ++q;
      } else if (twice < -unit || (twice == -unit && (q & 1) != 0)) {
        --q;
      }
      return Variant::Currency(q * unit);
    }
    default:
      return Variant::Double(RoundToDigits(ToDouble(x), digits));
  }
}

Variant Random(Arguments args, RandomState& state) {
  constexpr std::uint32_t kMask = 0xFFFFFF;
  constexpr float kRange = 16777216.0f;
  const double n = Given(args, 0) ? ToDouble(args[0]) : 1.0;
  if (n == 0.0) {
    return Variant::Single(static_cast<float>(state.seed) / kRange);
  }
  if (n < 0.0) {
    // A negative argument picks the seed from its own bit pattern: the same n, the same number.
    const std::uint32_t bits = std::bit_cast<std::uint32_t>(static_cast<float>(n));
    state.seed = (bits + (bits >> 24)) & kMask;
  }
  state.seed = (state.seed * 0x43FD43FDu + 0xC39EC3u) & kMask;
  return Variant::Single(static_cast<float>(state.seed) / kRange);
}

// -1, 0 or 1, as the Integer that Sgn returns.
template <typename Number>
std::int16_t SignOf(Number n) {
  constexpr std::int16_t kNegative = -1;
  constexpr std::int16_t kZero = 0;
  constexpr std::int16_t kPositive = 1;
  return n < 0 ? kNegative : n > 0 ? kPositive : kZero;
}

double Real(Arguments args) {
  return ToDouble(args[0]);
}

}  // namespace

namespace builtin {

Variant Abs(Arguments args, EvaluationContext&) {
  return SameSubtype(
      args[0], [](double d) { return std::fabs(d); }, CurrencyAbs, true);
}
Variant Int(Arguments args, EvaluationContext&) {
  return SameSubtype(
      args[0], [](double d) { return std::floor(d); }, CurrencyFloor, false);
}
Variant Fix(Arguments args, EvaluationContext&) {
  return SameSubtype(
      args[0], [](double d) { return std::trunc(d); }, CurrencyTruncate, false);
}
Variant Round(Arguments args, EvaluationContext&) {
  return RoundValue(args);
}
Variant Rnd(Arguments args, EvaluationContext& context) {
  return Random(args, context.random());
}
Variant Sgn(Arguments args, EvaluationContext&) {
  const Variant& x = args[0];
  if (x.IsIntegral() || x.Is(Subtype::kCurrency)) {
    return Variant::Integer(SignOf(x.integer));
  }
  return Variant::Integer(SignOf(ToDouble(x)));
}
Variant Atn(Arguments args, EvaluationContext&) {
  return Variant::Double(std::atan(Real(args)));
}
Variant Cos(Arguments args, EvaluationContext&) {
  return Variant::Double(std::cos(Real(args)));
}
Variant Sin(Arguments args, EvaluationContext&) {
  return Variant::Double(std::sin(Real(args)));
}
Variant Tan(Arguments args, EvaluationContext&) {
  return Variant::Double(CheckedDouble(std::tan(Real(args))));
}
Variant Exp(Arguments args, EvaluationContext&) {
  return Variant::Double(CheckedDouble(std::exp(Real(args))));
}
Variant Log(Arguments args, EvaluationContext&) {
  const double x = Real(args);
  if (x <= 0.0) {
    Fail(kInvalidProcedureCall);
  }
  return Variant::Double(std::log(x));
}
Variant Sqr(Arguments args, EvaluationContext&) {
  const double x = Real(args);
  if (x < 0.0) {
    Fail(kInvalidProcedureCall);
  }
  return Variant::Double(std::sqrt(x));
}

}  // namespace builtin

}  // namespace vesko::script
