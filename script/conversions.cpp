#include "script/conversions.h"

#include "script/characters.h"
#include "script/errors.h"
#include "script/number_text.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace vesko::script {

namespace {

void RequireNotNull(const Variant& value) {
  if (value.IsNull()) {
    Fail(kInvalidUseOfNull);
  }
  if (value.IsObject()) {
    Fail(kObjectVariableNotSet);
  }
}

double ParsedOrFail(const QString& text) {
  double parsed = 0;
  switch (ParseNumber(text, parsed)) {
    case ParseStatus::kNumber:
      return parsed;
    case ParseStatus::kOutOfRange:
      Fail(kOverflow);
    case ParseStatus::kNotNumber:
      break;
  }
  Fail(kTypeMismatch);
}

}  // namespace

double BankersRound(double value) {
  const double floor = std::floor(value);
  const double diff = value - floor;
  if (diff < 0.5) {
    return floor;
  }
  if (diff > 0.5) {
    return floor + 1.0;
  }
  return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

ParseStatus ParseNumber(QStringView text, double& value) {
  qsizetype begin = 0;
  qsizetype end = text.size();
  while (begin < end && IsSpaceOrTab(text[begin].unicode())) {
    ++begin;
  }
  while (end > begin && IsSpaceOrTab(text[end - 1].unicode())) {
    --end;
  }
  bool negative = false;
  if (begin < end && (text[begin] == QLatin1Char('-') || text[begin] == QLatin1Char('+'))) {
    negative = text[begin] == QLatin1Char('-');
    ++begin;
  }
  if (begin == end) {
    return ParseStatus::kNotNumber;
  }
  // "&H1F", "&O17"
  if (text[begin] == QLatin1Char('&') && end - begin >= 3) {
    const char16_t kind = text[begin + 1].toUpper().unicode();
    const int radix = kind == u'H' ? 16 : kind == u'O' ? 8 : 0;
    if (radix == 0) {
      return ParseStatus::kNotNumber;
    }
    std::uint32_t pattern = 0;
    bool tooLong = false;
    const qsizetype i = ReadRadixDigits(text, begin + 2, end, radix, pattern, tooLong);
    if (tooLong) {
      return ParseStatus::kOutOfRange;
    }
    const bool suffix = i + 1 == end && text[i] == QLatin1Char('&');
    if (i == begin + 2 || (i != end && !suffix)) {
      return ParseStatus::kNotNumber;
    }
    const Variant v = RadixPatternValue(pattern, suffix);
    value = negative ? -static_cast<double>(v.integer) : static_cast<double>(v.integer);
    return ParseStatus::kNumber;
  }
  // Decimal: digits [. digits] [e [sign] digits], at least one mantissa digit.
  std::string ascii;
  ascii.reserve(static_cast<std::size_t>(end - begin));
  qsizetype i = begin;
  int mantissaDigits = 0;
  for (; i < end && IsDigit(text[i].unicode()); ++i, ++mantissaDigits) {
    ascii.push_back(static_cast<char>(text[i].unicode()));
  }
  if (i < end && text[i] == QLatin1Char('.')) {
    ascii.push_back('.');
    for (++i; i < end && IsDigit(text[i].unicode()); ++i, ++mantissaDigits) {
      ascii.push_back(static_cast<char>(text[i].unicode()));
    }
  }
  if (mantissaDigits == 0) {
    return ParseStatus::kNotNumber;
  }
  if (i < end && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
    ascii.push_back('e');
    ++i;
    if (i < end && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
      ascii.push_back(static_cast<char>(text[i].unicode()));
      ++i;
    }
    const qsizetype digitsStart = i;
    for (; i < end && IsDigit(text[i].unicode()); ++i) {
      ascii.push_back(static_cast<char>(text[i].unicode()));
    }
    if (i == digitsStart) {
      return ParseStatus::kNotNumber;
    }
  }
  if (i != end) {
    return ParseStatus::kNotNumber;
  }
  if (!ParseDecimal(ascii, value)) {
    return ParseStatus::kOutOfRange;
  }
  if (negative) {
    value = -value;
  }
  return ParseStatus::kNumber;
}

bool ParseDecimal(std::string_view ascii, double& value) {
  const auto res = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
  if (res.ec != std::errc::result_out_of_range) {
    return true;
  }
  // Out of range: decide between underflow (reads as 0) and overflow from the decimal magnitude.
  std::int64_t magnitude = 0;
  bool seenNonZero = false;
  bool afterPoint = false;
  std::size_t i = 0;
  for (; i < ascii.size() && ascii[i] != 'e' && ascii[i] != 'E'; ++i) {
    const char c = ascii[i];
    if (c == '.') {
      afterPoint = true;
    } else if (!seenNonZero) {
      if (c != '0') {
        seenNonZero = true;
        if (afterPoint) {
          --magnitude;
        }
      } else if (afterPoint) {
        --magnitude;
      }
    } else if (!afterPoint) {
      ++magnitude;
    }
  }
  std::int64_t exponent = 0;
  bool exponentNegative = false;
  for (++i; i < ascii.size(); ++i) {
    if (ascii[i] == '-') {
      exponentNegative = true;
    } else if (ascii[i] != '+' && exponent < 100000000) {
      exponent = exponent * 10 + (ascii[i] - '0');
    }
  }
  magnitude += exponentNegative ? -exponent : exponent;
  if (magnitude < 0) {
    value = 0.0;
    return true;
  }
  return false;
}

Variant RadixPatternValue(std::uint32_t pattern, bool longSuffix) {
  std::int64_t value;
  if (!longSuffix && pattern <= 0xFFFFu) {
    value = static_cast<std::int16_t>(static_cast<std::uint16_t>(pattern));
  } else {
    value = static_cast<std::int32_t>(pattern);
  }
  return FitInteger(value, Subtype::kInteger);
}

Variant NumericOperand(const Variant& value) {
  if (value.IsString()) {
    return Variant::Double(ParsedOrFail(value.text));
  }
  if (value.IsObject()) {
    Fail(kObjectVariableNotSet);
  }
  if (value.IsArray()) {
    Fail(kTypeMismatch);
  }
  return value;
}

QString TextOfArgument(const Variant& value) {
  if (value.IsObject()) {
    Fail(kObjectVariableNotSet);
  }
  return StringForm(value);
}

double ToDouble(const Variant& value) {
  switch (value.type) {
    case Subtype::kEmpty:
      return 0.0;
    case Subtype::kBoolean:
    case Subtype::kByte:
    case Subtype::kInteger:
    case Subtype::kLong:
      return static_cast<double>(value.integer);
    case Subtype::kSingle:
    case Subtype::kDouble:
    case Subtype::kDate:
      return value.real;
    case Subtype::kCurrency:
      return static_cast<double>(value.integer) / kCurrencyScale;
    case Subtype::kString:
      return ParsedOrFail(value.text);
    case Subtype::kArray:
    case Subtype::kMissing:
      Fail(kTypeMismatch);
    case Subtype::kNull:
    case Subtype::kObject:
      break;
  }
  RequireNotNull(value);
  return 0.0;
}

std::int64_t ToRoundedLong(const Variant& value) {
  if (value.IsIntegral()) {
    return value.integer;
  }
  if (value.Is(Subtype::kCurrency)) {
    // Banker's rounding of ten-thousandths, exactly.
    std::int64_t whole = value.integer / kCurrencyScale;
    const std::int64_t rest = value.integer % kCurrencyScale;
    if (rest > kCurrencyScale / 2 || (rest == kCurrencyScale / 2 && (whole & 1) != 0)) {
      ++whole;
    } else if (rest < -kCurrencyScale / 2 || (rest == -kCurrencyScale / 2 && (whole & 1) != 0)) {
      --whole;
    }
    if (whole < std::numeric_limits<std::int32_t>::min() ||
        whole > std::numeric_limits<std::int32_t>::max()) {
      Fail(kOverflow);
    }
    return whole;
  }
  const double rounded = BankersRound(ToDouble(value));
  if (!(rounded >= std::numeric_limits<std::int32_t>::min() &&
        rounded <= std::numeric_limits<std::int32_t>::max())) {
    Fail(kOverflow);
  }
  return static_cast<std::int64_t>(rounded);
}

std::int64_t DoubleToCurrency(double value) {
  // Whole part and fraction separately, so that large whole numbers stay exact.
  const double whole = std::trunc(value);
  if (!(whole > -922337203685478.0 && whole < 922337203685478.0)) {
    Fail(kOverflow);
  }
  const auto fraction = static_cast<std::int64_t>(BankersRound((value - whole) * kCurrencyScale));
  std::int64_t scaled = 0;
  if (__builtin_mul_overflow(static_cast<std::int64_t>(whole), kCurrencyScale, &scaled) ||
      __builtin_add_overflow(scaled, fraction, &scaled)) {
    Fail(kOverflow);
  }
  return scaled;
}

std::int64_t ToCurrency(const Variant& value) {
  if (value.Is(Subtype::kCurrency)) {
    return value.integer;
  }
  if (value.IsIntegral()) {
    return value.integer * kCurrencyScale;
  }
  return DoubleToCurrency(ToDouble(value));
}

double CheckedDouble(double value) {
  if (!std::isfinite(value)) {
    Fail(kOverflow);
  }
  return value;
}

Variant SingleOrDouble(double value) {
  CheckedDouble(value);
  const float single = static_cast<float>(value);
  if (std::isinf(single)) {
    return Variant::Double(value);
  }
  return Variant::Single(single);
}

bool ParseBooleanWord(QStringView text, bool& value) {
  const QStringView trimmed = text.trimmed();
  // "#TRUE#" and "#FALSE#" (the text of Booleans written to files) read as the words, in
  // capitals only: "#True#" is not a Boolean.
  if (trimmed == u"#TRUE#" || trimmed == u"#FALSE#") {
    value = trimmed == u"#TRUE#";
    return true;
  }
  if (trimmed.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) {
    value = true;
    return true;
  }
  if (trimmed.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) {
    value = false;
    return true;
  }
  return false;
}

Variant ConvertToBoolean(const Variant& value) {
  RequireNotNull(value);
  if (value.IsString()) {
    bool word = false;
    if (ParseBooleanWord(value.text, word)) {
      return Variant::Boolean(word);
    }
  }
  if (value.IsIntegral() || value.Is(Subtype::kCurrency)) {
    return Variant::Boolean(value.integer != 0);
  }
  return Variant::Boolean(ToDouble(value) != 0.0);
}

Variant ConvertToByte(const Variant& value) {
  RequireNotNull(value);
  if (value.Is(Subtype::kBoolean)) {
    return Variant::Byte(value.integer != 0 ? 255 : 0);
  }
  const std::int64_t n = ToRoundedLong(value);
  if (n < 0 || n > 255) {
    Fail(kOverflow);
  }
  return Variant::Byte(static_cast<std::uint8_t>(n));
}

Variant ConvertToInteger(const Variant& value) {
  RequireNotNull(value);
  const std::int64_t n = ToRoundedLong(value);
  if (n < std::numeric_limits<std::int16_t>::min() ||
      n > std::numeric_limits<std::int16_t>::max()) {
    Fail(kOverflow);
  }
  return Variant::Integer(static_cast<std::int16_t>(n));
}

Variant ConvertToLong(const Variant& value) {
  RequireNotNull(value);
  return Variant::Long(static_cast<std::int32_t>(ToRoundedLong(value)));
}

Variant ConvertToSingle(const Variant& value) {
  RequireNotNull(value);
  const double d = ToDouble(value);
  const float single = static_cast<float>(d);
  if (std::isinf(single)) {
    Fail(kOverflow);
  }
  return Variant::Single(single);
}

Variant ConvertToDouble(const Variant& value) {
  RequireNotNull(value);
  return Variant::Double(ToDouble(value));
}

Variant ConvertToCurrency(const Variant& value) {
  RequireNotNull(value);
  return Variant::Currency(ToCurrency(value));
}

Variant ConvertToString(const Variant& value) {
  RequireNotNull(value);
  return Variant::String(StringForm(value));
}

}  // namespace vesko::script
