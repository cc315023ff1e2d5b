#pragma once

#include <QStringView>

namespace vesko::script {

// Index of the first occurrence of `needle` in `haystack` at or after `from`, or -1. Runs in
// time linear in the lengths whatever the texts (no quadratic worst case on long inputs).
qsizetype FindText(QStringView haystack, QStringView needle, qsizetype from);

}  // namespace vesko::script
