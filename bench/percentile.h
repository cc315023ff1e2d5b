#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace vesko::bench {

// The smallest sample that `fraction` of the samples do not exceed (nearest rank).
inline double Percentile(std::vector<double> samples, double fraction) {
  if (samples.empty()) {
    return 0;
  }
  std::sort(samples.begin(), samples.end());
  const auto rank = static_cast<size_t>(std::ceil(fraction * static_cast<double>(samples.size())));
  return samples[std::clamp<size_t>(rank, 1, samples.size()) - 1];
}

}  // namespace vesko::bench
