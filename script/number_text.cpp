#include "script/number_text.h"

#include "script/dates.h"
#include "script/errors.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace vesko::script {

QString FloatText(double value, int digits) {
  if (value == 0.0) {
    return QStringLiteral("0");
  }
  if (!std::isfinite(value)) {
    Fail(kOverflow);  // never shown as a number
  }
  // Round to `digits` significant digits once, in scientific form: "-d.ddddde-05".
  char sci[40];
  auto res = std::to_chars(sci, sci + sizeof sci, value, std::chars_format::scientific, digits - 1);
  const char* p = sci;
  const bool negative = *p == '-';
  if (negative) {
    ++p;
  }
  char mantissa[24];
  int count = 0;
  for (; p < res.ptr && *p != 'e'; ++p) {
    if (*p != '.') {
      mantissa[count++] = *p;
    }
  }
  int exponent = 0;
  std::from_chars(p + 1 + (p[1] == '+' ? 1 : 0), res.ptr, exponent);
  while (count > 1 && mantissa[count - 1] == '0') {
    --count;
  }

  char out[48];
  int n = 0;
  if (negative) {
    out[n++] = '-';
  }
  if (exponent > -5 && exponent < digits) {
    if (exponent < 0) {
      out[n++] = '0';
      out[n++] = '.';
      for (int i = -1; i > exponent; --i) {
        out[n++] = '0';
      }
      for (int i = 0; i < count; ++i) {
        out[n++] = mantissa[i];
      }
    } else {
      for (int i = 0; i <= exponent; ++i) {
        out[n++] = i < count ? mantissa[i] : '0';
      }
      if (count > exponent + 1) {
        out[n++] = '.';
        for (int i = exponent + 1; i < count; ++i) {
          out[n++] = mantissa[i];
        }
      }
    }
  } else {
    out[n++] = mantissa[0];
    if (count > 1) {
      out[n++] = '.';
      for (int i = 1; i < count; ++i) {
        out[n++] = mantissa[i];
      }
    }
    out[n++] = 'E';
    out[n++] = exponent < 0 ? '-' : '+';
    const int magnitude = std::abs(exponent);
    if (magnitude < 10) {
      out[n++] = '0';
    }
    n = static_cast<int>(std::to_chars(out + n, out + sizeof out, magnitude).ptr - out);
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
      return FloatText(value.real, 7);
    case Subtype::kDouble:
      return FloatText(value.real, 15);
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
