#include "script/number_text.h"

#include "script/dates.h"
#include "script/errors.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace vesko::script {

namespace {

// A finite, non-zero number rounded to some significant digits: the sign, the digits without
// trailing zeros, and the decimal exponent of the first digit ("d.ddd" times 10^exponent).
struct RoundedDigits {
  bool negative = false;
  char digits[24] = {};
  int count = 0;
  int exponent = 0;
};

RoundedDigits Rounded(double value, int digits) {
  char sci[40];
  const auto res =
      std::to_chars(sci, sci + sizeof sci, value, std::chars_format::scientific, digits - 1);
  RoundedDigits out;
  const char* p = sci;
  out.negative = *p == '-';
  p += out.negative ? 1 : 0;
  for (; p < res.ptr && *p != 'e'; ++p) {
    if (*p != '.') {
      out.digits[out.count++] = *p;
    }
  }
  std::from_chars(p + 1 + (p[1] == '+' ? 1 : 0), res.ptr, out.exponent);
  while (out.count > 1 && out.digits[out.count - 1] == '0') {
    --out.count;
  }
  return out;
}

// Whether `value` lies exactly halfway between two numbers of `digits` significant digits: its
// exact decimal expansion (at most 112 significant digits for a Single) has a 5 right after
// them and nothing but zeros behind it.
bool IsExactTie(double value, int digits) {
  char exact[160];
  const auto res =
      std::to_chars(exact, exact + sizeof exact, value, std::chars_format::scientific, 120);
  const char* first = exact + (exact[0] == '-' ? 1 : 0);
  const char* last = res.ptr;
  const char* end = std::find(first, last, 'e');
  const char* dropped = first + 1 + digits;  // behind "d." and digits - 1 more
  return dropped < end && *dropped == '5' &&
         std::all_of(dropped + 1, end, [](char c) { return c == '0'; });
}

// A Single's text rounds an exact tie away from zero (654322.25 shows as 654322.3); a value
// just beyond the tie, on the side away from zero, rounds that way.
double AwayFromTie(double value, int digits) {
  if (digits != kSingleDigits || !IsExactTie(value, digits)) {
    return value;
  }
  return std::nextafter(value, value < 0 ? -HUGE_VAL : HUGE_VAL);
}

// "123.45", "0.00012": the digits with the point placed by the exponent (-5 < exponent < digits).
int WritePlain(const RoundedDigits& d, char* out) {
  int n = 0;
  if (d.exponent < 0) {
    out[n++] = '0';
    out[n++] = '.';
    for (int i = -1; i > d.exponent; --i) {
      out[n++] = '0';
    }
    std::copy_n(d.digits, d.count, out + n);
    return n + d.count;
  }
  for (int i = 0; i <= d.exponent; ++i) {
    out[n++] = i < d.count ? d.digits[i] : '0';
  }
  if (d.count > d.exponent + 1) {
    out[n++] = '.';
    for (int i = d.exponent + 1; i < d.count; ++i) {
      out[n++] = d.digits[i];
    }
  }
  return n;
}

// "1.5E+20", "1E-07": one digit before the point, an exponent of at least two digits.
int WriteScientific(const RoundedDigits& d, char* out, char* outEnd) {
  int n = 0;
  out[n++] = d.digits[0];
  if (d.count > 1) {
    out[n++] = '.';
    std::copy(d.digits + 1, d.digits + d.count, out + n);
    n += d.count - 1;
  }
  out[n++] = 'E';
  out[n++] = d.exponent < 0 ? '-' : '+';
  const int magnitude = std::abs(d.exponent);
  if (magnitude < 10) {
    out[n++] = '0';
  }
  return static_cast<int>(std::to_chars(out + n, outEnd, magnitude).ptr - out);
}

}  // namespace

QString FloatText(double value, int digits) {
  if (value == 0.0) {
    return QStringLiteral("0");
  }
  if (!std::isfinite(value)) {
    Fail(kOverflow);  // never shown as a number
  }
  const RoundedDigits rounded = Rounded(AwayFromTie(value, digits), digits);
  char out[48];
  int n = 0;
  if (rounded.negative) {
    out[n++] = '-';
  }
  if (rounded.exponent > -5 && rounded.exponent < digits) {
    n += WritePlain(rounded, out + n);
  } else {
    n += WriteScientific(rounded, out + n, out + sizeof out);
  }
  return QString::fromLatin1(out, n);
}

QString CurrencyText(std::int64_t scaled) {
  const bool negative = scaled < 0;
  // Unsigned magnitude: also right for the most negative value.
  const std::uint64_t magnitude =
      negative ? 0 - static_cast<std::uint64_t>(scaled) : static_cast<std::uint64_t>(scaled);
  std::uint64_t whole = magnitude / kCurrencyScale;
  std::uint64_t fraction = magnitude % kCurrencyScale;
  char out[32];
  int n = 0;
  if (negative) {
    out[n++] = '-';
  }
  n = static_cast<int>(std::to_chars(out + n, out + sizeof out, whole).ptr - out);
  if (fraction != 0) {
    out[n++] = '.';
    for (std::uint64_t unit = kCurrencyScale / 10; unit > 0 && fraction != 0; unit /= 10) {
      out[n++] = static_cast<char>('0' + fraction / unit);
      fraction %= unit;
    }
  }
  return QString::fromLatin1(out, n);
}

QString IntegerText(std::int64_t value) {
  char out[24];
  auto res = std::to_chars(out, out + sizeof out, value);
  return QString::fromLatin1(out, static_cast<int>(res.ptr - out));
}

QString StringForm(const Variant& value) {
  switch (value.type) {
    case Subtype::kEmpty:
    case Subtype::kNull:
    case Subtype::kObject:
      return QString();
    case Subtype::kBoolean:
      return value.integer != 0 ? QStringLiteral("True") : QStringLiteral("False");
    case Subtype::kByte:
    case Subtype::kInteger:
    case Subtype::kLong:
      return IntegerText(value.integer);
    case Subtype::kSingle:
      return FloatText(value.real, kSingleDigits);
    case Subtype::kDouble:
      return FloatText(value.real, kDoubleDigits);
    case Subtype::kCurrency:
      return CurrencyText(value.integer);
    case Subtype::kDate:
      return DateText(value.real);
    case Subtype::kString:
      return value.text;
    case Subtype::kArray:
    case Subtype::kMissing:
      Fail(kTypeMismatch);  // an array has no text
  }
  return QString();
}

QString DisplayText(const Variant& value) {
  if (value.IsNull()) {
    return QStringLiteral("Null");
  }
  if (value.IsObject()) {
    return QStringLiteral("Nothing");
  }
  return StringForm(value);
}

}  // namespace vesko::script
