#pragma once

#include "script/value.h"

#include <QString>

#include <cstdint>

namespace vesko::script {

// Significant digits of the text of a Single and of a Double.
inline constexpr int kSingleDigits = 7;
inline constexpr int kDoubleDigits = 15;

// Text of a floating-point number with at most `digits` significant digits (15 for Double, 7 for
// Single): trailing zeros dropped, plain notation while the decimal exponent E of the rounded
// value satisfies -5 < E < digits, otherwise "d.dddE+XX" with a signed exponent of at least two
// digits. Always "." as separator; negative zero is "0". `value` must be finite. A Single's exact
// tie rounds away from zero (654322.25 is "654322.3"); a Double's rounds to even.
QString FloatText(double value, int digits);

// Exact text of a Currency value (ten-thousandths): "1.5", "-0.0001", "922337203685477.5807".
QString CurrencyText(std::int64_t scaled);

QString IntegerText(std::int64_t value);

// The string form of a value as CStr and "&" produce it: Empty (and Null, for "&") give "",
// Booleans "True"/"False", dates their text in the user's locale; an array fails with 13. The
// caller handles Null where it is an error, and objects.
QString StringForm(const Variant& value);

// The text the calculator shows for a value: the string form, with "Null" for Null and "Nothing"
// for the empty object reference.
QString DisplayText(const Variant& value);

}  // namespace vesko::script
