#pragma once

#include "engine/input_text.h"

#include <QString>
#include <QtGlobal>

#include <array>
#include <limits>
#include <utility>

namespace vesko {

// The live value counts positions in a 16-bit integer: an evaluation form of this length or more
// steps it past its range, and the live row stays as it was.
inline constexpr qsizetype kLiveTextLimit = std::numeric_limits<qint16>::max();

// Judges from its start alone whether an input is so long that a live run refuses it, so that
// such a run need not read the whole text. An input the judgement lets through may still be
// refused once its whole form is known; one it refuses would be refused then as well.
class HugeInputRefusal {
 public:
  // Whether a live run refuses `input` unread. Reads at most the input's first
  // 4 × kLiveTextLimit characters, and its whole text never.
  bool Refuses(const InputText& input);

 private:
  // The starts of the input last judged, one for each length read, and whether each was refused:
  // keys typed at the end of a huge input leave its start as it was, and it is not judged again.
  std::array<std::pair<QString, bool>, 2> judgedStarts_;
};

}  // namespace vesko
