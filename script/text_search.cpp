#include "script/text_search.h"

namespace vesko::script {

namespace {
constexpr qsizetype kShortNeedle = 4;
}  // namespace

TextSearcher::TextSearcher(QStringView needle) : needle_(needle) {
  const qsizetype m = needle.size();
  if (m <= kShortNeedle) {
    return;
  }
  border_.assign(static_cast<std::size_t>(m), 0);
  for (qsizetype k = 1, len = 0; k < m;) {
    if (needle[k] == needle[len]) {
      border_[static_cast<std::size_t>(k++)] = static_cast<std::uint32_t>(++len);
    } else if (len > 0) {
      len = border_[static_cast<std::size_t>(len - 1)];
    } else {
      border_[static_cast<std::size_t>(k++)] = 0;
    }
  }
}

qsizetype TextSearcher::FindIn(QStringView haystack, qsizetype from) const {
  const qsizetype n = haystack.size();
  const qsizetype m = needle_.size();
  if (m == 0) {
    return from <= n ? from : -1;
  }
  if (from < 0 || n - from < m) {
    return -1;
  }
  if (m <= kShortNeedle) {
    for (qsizetype i = from; i + m <= n; ++i) {
      qsizetype k = 0;
      while (k < m && haystack[i + k] == needle_[k]) {
        ++k;
      }
      if (k == m) {
        return i;
      }
    }
    return -1;
  }
  for (qsizetype i = from, matched = 0; i < n;) {
    if (haystack[i] == needle_[matched]) {
      ++i;
      if (++matched == m) {
        return i - m;
      }
    } else if (matched > 0) {
      matched = border_[static_cast<std::size_t>(matched - 1)];
    } else {
      ++i;
    }
  }
  return -1;
}

qsizetype FindText(QStringView haystack, QStringView needle, qsizetype from) {
  return TextSearcher(needle).FindIn(haystack, from);
}

}  // namespace vesko::script
