#include "script/text_search.h"

#include <vector>

namespace vesko::script {

qsizetype FindText(QStringView haystack, QStringView needle, qsizetype from) {
  const qsizetype n = haystack.size();
  const qsizetype m = needle.size();
  if (m == 0) {
    return from <= n ? from : -1;
  }
  if (from < 0 || n - from < m) {
    return -1;
  }
  if (m <= 4) {
    // Short needles: the direct scan is bounded by 4n comparisons.
    for (qsizetype i = from; i + m <= n; ++i) {
      qsizetype k = 0;
      while (k < m && haystack[i + k] == needle[k]) {
        ++k;
      }
      if (k == m) {
        return i;
      }
    }
    return -1;
  }
  // Knuth-Morris-Pratt: border[k] is the length of the longest proper border of needle[0..k].
  std::vector<qsizetype> border(static_cast<std::size_t>(m), 0);
  for (qsizetype k = 1, len = 0; k < m;) {
    if (needle[k] == needle[len]) {
      border[static_cast<std::size_t>(k++)] = ++len;
    } else if (len > 0) {
      len = border[static_cast<std::size_t>(len - 1)];
    } else {
      border[static_cast<std::size_t>(k++)] = 0;
    }
  }
  for (qsizetype i = from, matched = 0; i < n;) {
    if (haystack[i] == needle[matched]) {
      ++i;
      if (++matched == m) {
        return i - m;
      }
    } else if (matched > 0) {
      matched = border[static_cast<std::size_t>(matched - 1)];
    } else {
      ++i;
    }
  }
  return -1;
}

}  // namespace vesko::script
