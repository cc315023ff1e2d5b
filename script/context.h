#pragma once

#include "script/errors.h"

#include <cstdint>

namespace vesko::script {

// The longest string one operation may produce, and how many characters one evaluation may
// produce in all. Both keep any input, however long, within a bounded time and memory.
inline constexpr std::int64_t kMaxStringLength = 4 * 1024 * 1024;
inline constexpr std::int64_t kStringBudget = 32 * 1024 * 1024;

// State of the random-number generator behind Rnd; lives as long as the evaluator.
struct RandomState {
  std::uint32_t seed = 327680;
};

// What one evaluation carries along besides its values.
class EvaluationContext {
 public:
  explicit EvaluationContext(RandomState& random) : random_(random) {}

  // Accounts for a string of `length` characters about to be made; fails with "Out of string
  // space" before anything is allocated when it is too long or the evaluation made too much text.
  void ReserveText(std::int64_t length) { ReserveText(length, length); }

  // The same for a string of `length` characters made by copying only `copied` of them (an
  // append in place).
  void ReserveText(std::int64_t length, std::int64_t copied) {
    if (length > kMaxStringLength || copied > budget_) {
      Fail(kOutOfStringSpace);
    }
    budget_ -= copied;
  }

  RandomState& random() { return random_; }

 private:
  RandomState& random_;
  std::int64_t budget_ = kStringBudget;
};

}  // namespace vesko::script
