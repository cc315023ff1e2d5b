#include "script/value.h"

#include <limits>

namespace vesko::script {

Variant FitInteger(std::int64_t value, Subtype least) {
  if (least == Subtype::kByte && value >= 0 && value <= 255) {
    return Variant::Byte(static_cast<std::uint8_t>(value));
  }
  if (least != Subtype::kLong && value >= std::numeric_limits<std::int16_t>::min() &&
      value <= std::numeric_limits<std::int16_t>::max()) {
    return Variant::Integer(static_cast<std::int16_t>(value));
  }
  if (value >= std::numeric_limits<std::int32_t>::min() &&
      value <= std::numeric_limits<std::int32_t>::max()) {
    return Variant::Long(static_cast<std::int32_t>(value));
  }
  return Variant::Double(static_cast<double>(value));
}

QString TypeNameOf(const Variant& value) {
  switch (value.type) {
    case Subtype::kEmpty:
      return QStringLiteral("Empty");
    case Subtype::kNull:
      return QStringLiteral("Null");
    case Subtype::kInteger:
      return QStringLiteral("Integer");
    case Subtype::kLong:
      return QStringLiteral("Long");
    case Subtype::kSingle:
      return QStringLiteral("Single");
    case Subtype::kDouble:
      return QStringLiteral("Double");
    case Subtype::kCurrency:
      return QStringLiteral("Currency");
    case Subtype::kDate:
      return QStringLiteral("Date");
    case Subtype::kString:
      return QStringLiteral("String");
    case Subtype::kMissing:
      return QStringLiteral("Error");
    case Subtype::kArray:
      return QStringLiteral("Variant()");
    case Subtype::kObject:
      return QStringLiteral("Nothing");
    case Subtype::kBoolean:
      return QStringLiteral("Boolean");
    case Subtype::kByte:
      return QStringLiteral("Byte");
  }
  return QString();
}

}  // namespace vesko::script
