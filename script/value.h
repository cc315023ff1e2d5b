#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

namespace vesko::script {

// The subtypes a value of the language can have; the numbers are those VarType reports.
enum class Subtype : std::uint16_t {
  kEmpty = 0,
  kNull = 1,
  kInteger = 2,
  kLong = 3,
  kSingle = 4,
  kDouble = 5,
  kCurrency = 6,
  kDate = 7,
  kString = 8,
  kObject = 9,    // only ever the empty reference Nothing
  kMissing = 10,  // an optional argument left empty between commas; never a value of its own
  kBoolean = 11,
  kByte = 17,
  kArray = 8204,  // Variant(): a one-dimensional array counted from 0
};

// Currency values are 64-bit integers counting ten-thousandths.
inline constexpr std::int64_t kCurrencyScale = 10000;

struct Variant;
using ArrayItems = std::vector<Variant>;

// Frees the items of an array no longer used, and those of the arrays among them, one after the
// other rather than one inside the other: arrays nested 65,534 deep do not exhaust the stack.
void ReleaseItems(const ArrayItems* items) noexcept;

// One value of the language (a variant). Integral subtypes and Currency keep their value in
// `integer` (Boolean as -1/0), Single, Double and Date in `real` (a Single holds a float-exact
// value; a Date counts days from 30 Dec 1899, the fraction being the time of day), String in
// `text`, Array in `items` (shared, never changed once made). `literal` marks a value written
// directly in the expression text, which the comparison rules between numbers and strings need.
struct Variant {
  Subtype type = Subtype::kEmpty;
  bool literal = false;
  std::int64_t integer = 0;
  double real = 0.0;
  QString text;
  std::shared_ptr<const ArrayItems> items;

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
  static Variant Date(double serial) {
    Variant v;
    v.type = Subtype::kDate;
    v.real = serial;
    return v;
  }
  static Variant Missing() { return Make(Subtype::kMissing, 0); }
  static Variant Array(ArrayItems values) {
    Variant v;
    v.type = Subtype::kArray;
    v.items = std::shared_ptr<const ArrayItems>(new ArrayItems(std::move(values)), ReleaseItems);
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
  bool IsDate() const { return type == Subtype::kDate; }
  bool IsArray() const { return type == Subtype::kArray; }
  bool IsMissing() const { return type == Subtype::kMissing; }
  // Boolean, Byte, Integer or Long.
  bool IsIntegral() const {
    return type == Subtype::kBoolean || type == Subtype::kByte || type == Subtype::kInteger ||
           type == Subtype::kLong;
  }
  // Any subtype that arithmetic takes as a number without parsing (Empty excluded), Date
  // included.
  bool IsNumeric() const {
    return IsIntegral() || type == Subtype::kSingle || type == Subtype::kDouble ||
           type == Subtype::kCurrency || type == Subtype::kDate;
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
