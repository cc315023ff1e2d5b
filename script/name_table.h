#pragma once

#include "script/characters.h"

#include <QStringView>

#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>

namespace vesko::script {

// Looks a name up, in any case, in a table of (lower-case name, entry) pairs sorted by name:
// the one look-up behind keywords, functions and constants. Returns the entry's index or -1.
template <typename Table>
std::ptrdiff_t FindNameIndex(const Table& table, QStringView name) {
  constexpr std::size_t kLongest = 32;
  if (name.size() > static_cast<qsizetype>(kLongest)) {
    return -1;
  }
  std::array<char, kLongest> buffer;
  for (qsizetype i = 0; i < name.size(); ++i) {
    buffer[static_cast<std::size_t>(i)] = static_cast<char>(AsciiLower(name[i].unicode()));
  }
  const std::string_view key(buffer.data(), static_cast<std::size_t>(name.size()));
  // Names are short: a plain loop compares them faster than a library call would.
  auto less = [](std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
      if (a[i] != b[i]) {
        return a[i] < b[i];
      }
    }
    return a.size() < b.size();
  };
  const auto it =
      std::lower_bound(table.begin(), table.end(), key, [&](const auto& entry, std::string_view k) {
        return less(std::string_view(entry.first), k);
      });
  return it != table.end() && !less(key, std::string_view(it->first)) ? it - table.begin() : -1;
}

// The same, returning the entry or nullptr.
template <typename Table>
auto FindName(const Table& table, QStringView name) -> decltype(&table.begin()->second) {
  const std::ptrdiff_t i = FindNameIndex(table, name);
  return i < 0 ? nullptr : &table.begin()[i].second;
}

template <typename Table>
constexpr bool IsSortedByName(const Table& table) {
  return std::is_sorted(table.begin(), table.end(),
                        [](const auto& a, const auto& b) { return a.first < b.first; });
}

}  // namespace vesko::script
