#pragma once

// One data-table row per line: Row("name", a, b, ...) adds a row with those values in column
// order; C string values become QString.

#include <QString>
#include <QTest>

namespace vesko::test {

inline QString RowValue(const char* text) {
  return QString::fromUtf8(text);
}

template <typename T>
const T& RowValue(const T& value) {
  return value;
}

template <typename... Values>
void Row(const char* name, const Values&... values) {
  QTestData& row = QTest::newRow(name);
  ((row << RowValue(values)), ...);
}

}  // namespace vesko::test
