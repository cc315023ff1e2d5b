#pragma once

#include <QtGlobal>

#include <cmath>
#include <limits>

namespace vesko {

// The window's layout variables are 16-bit integers. A measurement is rounded to the nearest
// whole number with halves going to the even neighbour. A value outside the 16-bit range is
// treated as the nearest value that fits (a window wider than 32,767 twips of text box is
// possible on large screens and must not fail).
inline qint16 RoundToInt16(double value) {
  constexpr double kLowest = std::numeric_limits<qint16>::min();
  constexpr double kHighest = std::numeric_limits<qint16>::max();
  if (std::isnan(value)) {
    return 0;
  }
  const double rounded = std::nearbyint(value);  // default mode: to nearest, ties to even
  if (rounded < kLowest) {
    return static_cast<qint16>(kLowest);
  }
  if (rounded > kHighest) {
    return static_cast<qint16>(kHighest);
  }
  return static_cast<qint16>(rounded);
}

}  // namespace vesko
