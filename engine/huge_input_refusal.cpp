#include "engine/huge_input_refusal.h"

#include "engine/normalizer.h"

namespace vesko {

bool HugeInputRefusal::Refuses(const InputText& input) {
  // A replacement cut at the end of the part read changes its form by fewer characters than this.
  constexpr qsizetype kMargin = 64;
  // The form is mostly as long as the text or longer, so the first part read usually tells. Spaces
  // around the text and the "**" that become "^" can make it shorter; four times the live limit
  // is less than half spaces or half "**" only in texts of such.
  constexpr std::array<qsizetype, 2> kReads = {kLiveTextLimit + 2 * kMargin, 4 * kLiveTextLimit};
  const qsizetype length = input.textLength();
  for (std::size_t i = 0; i < kReads.size(); ++i) {
    if (length <= kReads[i]) {
      return false;
    }
    auto& [start, refused] = judgedStarts_[i];
    QString current = input.textStart(kReads[i]);
    if (current != start) {
      start = std::move(current);
      refused =
          TrimmedEvaluationForm(start, kLiveTextLimit + kMargin).size() > kLiveTextLimit + kMargin;
    }
    if (refused) {
      return true;
    }
  }
  return false;
}

}  // namespace vesko
