#pragma once

#include <QStringView>

#include <cstdint>
#include <vector>

namespace vesko::script {

// Finds one needle in texts, in time linear in the lengths whatever the texts (no quadratic
// worst case on long inputs). The needle's text must outlive the searcher.
class TextSearcher {
 public:
  explicit TextSearcher(QStringView needle);

  // Index of the first occurrence at or after `from`, or -1.
  qsizetype FindIn(QStringView haystack, qsizetype from) const;

 private:
  QStringView needle_;
  // Knuth-Morris-Pratt: border_[k] is the length of the longest proper border of needle[0..k].
  // Empty for short needles, which a direct scan handles within 4n comparisons.
  std::vector<std::uint32_t> border_;
};

// Index of the first occurrence of `needle` in `haystack` at or after `from`, or -1.
qsizetype FindText(QStringView haystack, QStringView needle, qsizetype from);

}  // namespace vesko::script
