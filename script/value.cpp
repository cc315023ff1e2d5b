#include "script/value.h"

#include <limits>
#include <new>

namespace vesko::script {

namespace {

// The arrays waiting to be freed by the ReleaseItems running on this thread; null when none runs.
thread_local std::vector<ArrayItems*>* tReleasing = nullptr;

}  // namespace

void ReleaseItems(const ArrayItems* items) noexcept {
  // The items were made non-const by Variant::Array and are owned by no one else now.
  auto* owned = const_cast<ArrayItems*>(items);
  if (tReleasing != nullptr) {
    // Inside another release: queue the array, which the outer release frees after its own.
    try {
      tReleasing->push_back(owned);
      return;
    } catch (const std::bad_alloc&) {
      delete owned;  // no room to queue it: freed at once, nested (only when memory runs out)
      return;
    }
  }
  std::vector<ArrayItems*> queue;
  tReleasing = &queue;
  delete owned;  // the arrays among its items go to the queue rather than being freed inside
  while (!queue.empty()) {
    ArrayItems* next = queue.back();
    queue.pop_back();
    delete next;
  }
  tReleasing = nullptr;
}

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
