// FormatNumber, FormatCurrency and FormatPercent (reference section 8b): "." as the decimal
// separator and "," for grouping whatever the locale; the currency symbol and its place from
// the user's locale.
#include "script/conversions.h"
#include "script/dates.h"
#include "script/errors.h"
#include "script/library.h"

#include <charconv>
#include <cmath>
#include <string>

namespace vesko::script {

namespace {

constexpr std::int64_t kMaxDigits = 255;

struct FormatOptions {
  int digits = 2;
  bool leadingZero = true;
  bool parentheses = false;
  bool grouping = true;
};

// A tristate argument: -1 True, 0 False, -2 (or left out) the default.
bool Tristate(Arguments args, std::size_t index, bool byDefault) {
  if (!Given(args, index)) {
    return byDefault;
  }
  switch (ToRoundedLong(args[index])) {
    case -2:
      return byDefault;
    case -1:
      return true;
    case 0:
      return false;
    default:
      Fail(kInvalidProcedureCall);
  }
}

FormatOptions OptionsOf(Arguments args) {
  FormatOptions options;
  if (Given(args, 1)) {
    const std::int64_t digits = ToRoundedLong(args[1]);
    if (digits < -1 || digits > kMaxDigits) {
      Fail(kInvalidProcedureCall);
    }
    options.digits = digits == -1 ? 2 : static_cast<int>(digits);
  }
  options.leadingZero = Tristate(args, 2, true);
  options.parentheses = Tristate(args, 3, false);
  options.grouping = Tristate(args, 4, true);
  return options;
}

// A number as decimal digits with the place of the decimal point: value = 0.d1d2... * 10^point.
struct Decimal {
  bool negative = false;
  std::string digits;  // no leading zeros; empty for zero
  int point = 0;
};

Decimal DecimalOfInteger(std::int64_t value, int scale) {
  Decimal d;
  d.negative = value < 0;
  const std::uint64_t magnitude =
      d.negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  char buffer[24];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, magnitude).ptr;
  d.digits.assign(buffer, end);
  d.point = static_cast<int>(d.digits.size()) - scale;
  return d;
}

// A double rounded to 15 significant digits, as the language shows Doubles.
Decimal DecimalOfDouble(double value) {
  Decimal d;
  if (value == 0.0) {
    return d;
  }
  CheckedDouble(value);
  char buffer[40];
  const auto end =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14).ptr;
  const char* p = buffer;
  if (*p == '-') {
    d.negative = true;
    ++p;
  }
  for (; p < end && *p != 'e'; ++p) {
    if (*p != '.') {
      d.digits.push_back(*p);
    }
  }
  int exponent = 0;
  std::from_chars(p + 1 + (p[1] == '+' ? 1 : 0), end, exponent);
  d.point = exponent + 1;
  return d;
}

Decimal DecimalOf(const Variant& x) {
  switch (x.type) {
    case Subtype::kNull:
      Fail(kInvalidUseOfNull);
    case Subtype::kBoolean:
    case Subtype::kByte:
    case Subtype::kInteger:
    case Subtype::kLong:
      return DecimalOfInteger(x.integer, 0);
    case Subtype::kCurrency:
      return DecimalOfInteger(x.integer, 4);
    default:
      return DecimalOfDouble(ToDouble(x));
  }
}

// The number with `options.digits` decimals, rounded half away from zero, grouped and signed as
// the options say; `decorate` wraps the unsigned text (currency symbol, percent sign).
QString Formatted(Decimal d, const FormatOptions& options, const QString& prefix,
                  const QString& suffix, EvaluationContext& context) {
  // Drop leading zeros so that `point` counts the significant integer digits.
  std::size_t lead = 0;
  while (lead < d.digits.size() && d.digits[lead] == '0') {
    ++lead;
  }
  d.digits.erase(0, lead);
  d.point -= static_cast<int>(lead);
  // Round at `digits` decimals.
  const long long keep = static_cast<long long>(d.point) + options.digits;
  if (keep < 0) {
    d.digits.clear();
  } else if (keep < static_cast<long long>(d.digits.size())) {
    const bool up = d.digits[static_cast<std::size_t>(keep)] >= '5';
    d.digits.resize(static_cast<std::size_t>(keep));
    if (up) {
      std::size_t i = d.digits.size();
      while (i > 0 && d.digits[i - 1] == '9') {
        d.digits[i - 1] = '0';
        --i;
      }
      if (i == 0) {
        d.digits.insert(d.digits.begin(), '1');
        ++d.point;
      } else {
        ++d.digits[i - 1];
      }
    }
  }
  const bool zero = d.digits.find_first_not_of('0') == std::string::npos;
  const bool negative = d.negative && !zero;

  auto digitAt = [&](long long position) {  // position 0 = first digit after the point's left
    return position >= 0 && position < static_cast<long long>(d.digits.size())
               ? d.digits[static_cast<std::size_t>(position)]
               : '0';
  };
  std::string integer;
  for (long long i = 0; i < d.point; ++i) {
    integer.push_back(digitAt(i));
  }
  if (integer.empty() && options.leadingZero) {
    integer = "0";
  }
  std::string text;
  const std::size_t length = integer.size();
  for (std::size_t i = 0; i < length; ++i) {
    if (options.grouping && i > 0 && (length - i) % 3 == 0) {
      text.push_back(',');
    }
    text.push_back(integer[i]);
  }
  if (text.empty() && options.digits == 0) {
    text = "0";  // nothing else would be left
  }
  if (options.digits > 0) {
    text.push_back('.');
    for (int i = 0; i < options.digits; ++i) {
      text.push_back(digitAt(static_cast<long long>(d.point) + i));
    }
  }
  QString out = prefix + QString::fromLatin1(text) + suffix;
  if (negative) {
    out = options.parentheses ? QLatin1Char('(') + out + QLatin1Char(')') : QLatin1Char('-') + out;
  }
  context.ReserveText(out.size());
  return out;
}

void CheckValue(const Variant& x) {
  if (x.IsObject()) {
    Fail(kObjectVariableNotSet);
  }
  if (x.IsArray()) {
    Fail(kTypeMismatch);
  }
}

}  // namespace

namespace builtin {

Variant FormatNumber(Arguments args, EvaluationContext& context) {
  CheckValue(args[0]);
  const FormatOptions options = OptionsOf(args);
  return Variant::String(Formatted(DecimalOf(args[0]), options, QString(), QString(), context));
}

Variant FormatCurrency(Arguments args, EvaluationContext& context) {
  CheckValue(args[0]);
  const FormatOptions options = OptionsOf(args);
  // Where the locale puts its symbol: whatever stands before and after the digits of one unit.
  const QString probe = UserLocale().toCurrencyString(1.0);
  qsizetype first = 0;
  while (first < probe.size() && !probe[first].isDigit()) {
    ++first;
  }
  qsizetype last = probe.size();
  while (last > first && !probe[last - 1].isDigit()) {
    --last;
  }
  return Variant::String(
      Formatted(DecimalOf(args[0]), options, probe.left(first), probe.mid(last), context));
}

Variant FormatPercent(Arguments args, EvaluationContext& context) {
  CheckValue(args[0]);
  const FormatOptions options = OptionsOf(args);
  if (args[0].IsNull()) {
    Fail(kInvalidUseOfNull);
  }
  const double value = CheckedDouble(ToDouble(args[0]) * 100.0);
  return Variant::String(
      Formatted(DecimalOfDouble(value), options, QString(), QStringLiteral("%"), context));
}

}  // namespace builtin

}  // namespace vesko::script
