#pragma once

#include "script/value.h"

#include <QStringView>

#include <cstdint>
#include <string_view>

namespace vesko::script {

// Round half to even ("banker's rounding"): 0.5 -> 0, 1.5 -> 2, -2.5 -> -2.
double BankersRound(double value);

enum class ParseStatus { kNumber, kNotNumber, kOutOfRange };

// Reads a whole string as a number the way arithmetic does: blanks around, an optional sign, a
// decimal number with "." and an optional exponent, or "&H"/"&O" digits. "." is the separator
// whatever the locale; no grouping characters.
ParseStatus ParseNumber(QStringView text, double& value);

// Reads an ASCII decimal (digits, optional "." and exponent) into a double; values too small
// for a double read as 0. Returns false when the value is too large.
bool ParseDecimal(std::string_view ascii, double& value);

// The value of a "&H"/"&O" digit pattern (at most 32 bits) as the language reads it: without the
// trailing "&", patterns up to 0xFFFF are signed 16-bit, longer ones signed 32-bit; with it, always
// signed 32-bit. Returns Integer or Long.
Variant RadixPatternValue(std::uint32_t pattern, bool longSuffix);

// Numeric coercion for arithmetic: Strings are parsed into Double (13 if not numeric, 6 if out of
// range), Boolean and Empty are left as they are. Objects fail with 91. Null must be handled first.
Variant NumericOperand(const Variant& value);

// The string form of an argument that a function reads as text (Null is left to the caller);
// objects fail with 91, arrays with 13.
QString TextOfArgument(const Variant& value);

// Any non-Null value as a double (Empty 0, True -1, strings parsed). Null fails with 94.
double ToDouble(const Variant& value);

// Rounds (banker's) to a whole number in the Long range; 6 outside it. Null fails with 94.
std::int64_t ToRoundedLong(const Variant& value);

// A double as Currency (rounded banker's to four decimals); 6 outside the Currency range.
std::int64_t DoubleToCurrency(double value);
// Any non-Null value as Currency.
std::int64_t ToCurrency(const Variant& value);

// Fails with 6 when a Double result is not finite.
double CheckedDouble(double value);
// A double as Single, or as Double when it lies beyond the Single range.
Variant SingleOrDouble(double value);

// "True"/"False" in any case (also "#TRUE#"/"#FALSE#", in capitals only); returns false when the text is neither.
bool ParseBooleanWord(QStringView text, bool& value);

// The CXxx conversions. Empty gives the zero of the type; Null fails with 94.
Variant ConvertToBoolean(const Variant& value);
Variant ConvertToByte(const Variant& value);
Variant ConvertToInteger(const Variant& value);
Variant ConvertToLong(const Variant& value);
Variant ConvertToSingle(const Variant& value);
Variant ConvertToDouble(const Variant& value);
Variant ConvertToCurrency(const Variant& value);
Variant ConvertToString(const Variant& value);

}  // namespace vesko::script
