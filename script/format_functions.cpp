// FormatNumber, FormatCurrency and FormatPercent (reference section 8b): "." as the decimal
// separator and "," for grouping whatever the locale; the currency symbol and its place from
// the user's locale.
#include "script/characters.h"
#include "script/conversions.h"
#include "script/dates.h"
#include "script/errors.h"
#include "script/library.h"

#include <algorithm>
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

// Drops leading zeros, so that `point` counts the significant integer digits.
void DropLeadingZeros(Decimal& d) {
  const std::size_t lead = std::min(d.digits.find_first_not_of('0'), d.digits.size());
  d.digits.erase(0, lead);
  d.point -= static_cast<int>(lead);
}

// Adds one unit in the last place of `digits` (all decimal digits), carrying to the left; a
// carry out of the first digit adds a digit in front and moves the point.
void IncrementLastDigit(Decimal& d) {
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

// Rounds half away from zero at `decimals` places after the point.
void RoundAt(Decimal& d, int decimals) {
  const long long keep = static_cast<long long>(d.point) + decimals;
  if (keep < 0) {
    d.digits.clear();
    return;
  }
  if (keep >= static_cast<long long>(d.digits.size())) {
    return;
  }
  const bool up = d.digits[static_cast<std::size_t>(keep)] >= '5';
  d.digits.resize(static_cast<std::size_t>(keep));
  if (up) {
    IncrementLastDigit(d);
  }
}

// The digit at `position` (0 is the first digit of `digits`), 0 outside them.
char DigitAt(const Decimal& d, long long position) {
  return position >= 0 && position < static_cast<long long>(d.digits.size())
             ? d.digits[static_cast<std::size_t>(position)]
             : '0';
}

// The digits before the point, grouped by three with "," when the options say so.
std::string IntegerDigits(const Decimal& d, const FormatOptions& options) {
  std::string integer;
  for (long long i = 0; i < d.point; ++i) {
    integer.push_back(DigitAt(d, i));
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
  return text;
}

// The number with `options.digits` decimals, rounded half away from zero, grouped and signed as
// the options say; `prefix` and `suffix` wrap the unsigned text (currency symbol, percent sign).
QString Formatted(Decimal d, const FormatOptions& options, const QString& prefix,
                  const QString& suffix, EvaluationContext& context) {
  DropLeadingZeros(d);
  RoundAt(d, options.digits);
  const bool zero = d.digits.find_first_not_of('0') == std::string::npos;
  std::string text = IntegerDigits(d, options);
  if (text.empty() && options.digits == 0) {
    text = "0";  // nothing else would be left
  }
  if (options.digits > 0) {
    text.push_back('.');
    for (int i = 0; i < options.digits; ++i) {
      text.push_back(DigitAt(d, static_cast<long long>(d.point) + i));
    }
  }
  QString out = prefix + QString::fromLatin1(text) + suffix;
  if (d.negative && !zero) {
    out = options.parentheses ? QLatin1Char('(') + out + QLatin1Char(')') : QLatin1Char('-') + out;
  }
  context.ReserveText(out.size());
  return out;
}

// What stands before and after the digits of an amount in the user's locale's currency format
// ("$" and "" in English (US), "¥" and "" in Chinese (China)).
struct CurrencyWrapping {
  QString prefix;
  QString suffix;
};

CurrencyWrapping UserCurrencyWrapping() {
  const QString probe = UserLocale().toCurrencyString(1.0);
  qsizetype first = 0;
  while (first < probe.size() && !probe[first].isDigit()) {
    ++first;
  }
  qsizetype last = probe.size();
  while (last > first && !probe[last - 1].isDigit()) {
    --last;
  }
  return {probe.left(first), probe.mid(last)};
}

// Reads a text as FormatCurrency writes it in the user's locale ("$1,234.50", "-$1.00",
// "($1.00)"): the currency symbol in its place, "," grouping, a minus sign or parentheses.
bool ReadCurrencyText(QStringView text, const CurrencyWrapping& wrapping, double& value) {
  QStringView body = text.trimmed();
  bool negative = false;
  if (body.size() >= 2 && body.front() == QLatin1Char('(') && body.back() == QLatin1Char(')')) {
    negative = true;
    body = body.mid(1, body.size() - 2);
  } else if (body.startsWith(QLatin1Char('-'))) {
    negative = true;
    body = body.mid(1);
  }
  const qsizetype wrapped = wrapping.prefix.size() + wrapping.suffix.size();
  if (body.size() <= wrapped || !body.startsWith(wrapping.prefix) ||
      !body.endsWith(wrapping.suffix)) {
    return false;
  }
  QString digits = body.mid(wrapping.prefix.size(), body.size() - wrapped).toString();
  digits.remove(QLatin1Char(','));
  if (digits.isEmpty() ||
      !(IsDigit(digits.front().unicode()) || digits.front() == QLatin1Char('.')) ||
      ParseNumber(digits, value) != ParseStatus::kNumber) {
    return false;
  }
  value = negative ? -value : value;
  return true;
}

// FormatCurrency's number: a currency text of the user's locale as well as any number.
Decimal CurrencyDecimalOf(const Variant& x, const CurrencyWrapping& wrapping) {
  double value = 0;
  if (x.IsString() && ReadCurrencyText(x.text, wrapping, value)) {
    return DecimalOfDouble(value);
  }
  return DecimalOf(x);
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
  const CurrencyWrapping wrapping = UserCurrencyWrapping();
  return Variant::String(Formatted(CurrencyDecimalOf(args[0], wrapping), options, wrapping.prefix,
                                   wrapping.suffix, context));
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
