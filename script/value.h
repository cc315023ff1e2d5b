#pragma once

#include <QString>

#include <cstdint>

namespace vesko::script {

// The subtypes a value of the language can have; the numbers are those VarType reports.
enum class Subtype : std::uint8_t {
  kEmpty = 0,
  kNull = 1,
  kInteger = 2,
  kLong = 3,
  kSingle = 4,
  kDouble = 5,
  kCurrency = 6,
  kString = 8,
  kObject = 9,  // only ever the empty reference Nothing
  kBoolean = 11,
  kByte = 17,
};

// Currency values are 64-bit integers counting ten-thousandths.
inline constexpr std::int64_t kCurrencyScale = 10000;

// One value of the language (a variant). Integral subtypes and Currency keep their value in
// `integer` (Boolean as -1/0), Single and Double in `real` (a Single holds a float-exact value),
// String in `text`. `literal` marks a value written directly in the expression text, which the
// comparison rules between numbers and strings need.
struct Variant {
  Subtype type = Subtype::kEmpty;
  bool literal = false;
  std::int64_t integer = 0;
  double real = 0.0;
  QString text;

  static Variant Empty() { return Variant(); }
  static Variant Null() { return Make(Subtype::kNull, 0); }
  static Variant Nothing() { return Make(Subtype::kObject, 0); }
  static Variant Boolean(bool value) { return Make(Subtype::kBoolean, value ? -1 : 0); }
  static Variant Byte(std::uint8_t value) { return Make(Subtype::kByte, value); }
  static Variant Integer(std::int16_t value) { return Make(Subtype::kInteger, value); }
  static Variant Long(std::int32_t value) { return Make(Subtype::kLong, value); }
  static Variant Currency(std::int64_t scaled) { return Make(Subtype::kCurrency, scaled); }
  static Variant Single(float value) {
    Variant v;
    v.type = Subtype::kSingle;
    v.real = value;
    return v;
  }
  static Variant Double(double value) {
    Variant v;
    v.type = Subtype::kDouble;
    v.real = value;
    return v;
  }
  static Variant String(QString value) {
    Variant v;
    v.type = Subtype::kString;
    v.text = std::move(value);
    return v;
  }

  bool Is(Subtype t) const { return type == t; }
  bool IsNull() const { return type == Subtype::kNull; }
  bool IsEmpty() const { return type == Subtype::kEmpty; }
  bool IsString() const { return type == Subtype::kString; }
  bool IsObject() const { return type == Subtype::kObject; }
  // Boolean, Byte, Integer or Long.
  bool IsIntegral() const {
    return type == Subtype::kBoolean || type == Subtype::kByte || type == Subtype::kInteger ||
           type == Subtype::kLong;
  }
  // Any subtype that arithmetic takes as a number without parsing (Empty excluded).
  bool IsNumeric() const {
    return IsIntegral() || type == Subtype::kSingle || type == Subtype::kDouble ||
           type == Subtype::kCurrency;
  }

 private:
  static Variant Make(Subtype t, std::int64_t value) {
    Variant v;
    v.type = t;
    v.integer = value;
    return v;
  }
};

// The smallest integral subtype at or above `least` (Byte, Integer or Long) that holds `value`,
// or Double when no integral subtype does: the promotion rule of integer arithmetic.
Variant FitInteger(std::int64_t value, Subtype least);

// The name TypeName reports for a value ("Integer", "Nothing", ...).
QString TypeNameOf(const Variant& value);

}  // namespace vesko::script
