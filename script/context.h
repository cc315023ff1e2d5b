#pragma once

#include "script/errors.h"

#include <QStringView>

#include <cstdint>

namespace vesko::script {

struct Variant;

// The longest string one operation may produce, and how many characters one evaluation may
// produce in all. Both keep any input, however long, within a bounded time and memory.
inline constexpr std::int64_t kMaxStringLength = std::int64_t{4} * 1024 * 1024;
inline constexpr std::int64_t kStringBudget = std::int64_t{32} * 1024 * 1024;
// What one array item costs of that budget (an item takes far more memory than a character).
inline constexpr std::int64_t kItemCost = 32;

// State of the random-number generator behind Rnd; lives as long as the evaluator.
struct RandomState {
  std::uint32_t seed = 327680;
};

// What runs Eval: compiles and evaluates a text within the same evaluation (its budget and
// nesting). Implemented by the evaluator, which owns the parser.
class NestedEvaluator {
 public:
  virtual Variant EvaluateNested(QStringView text) = 0;

 protected:
  ~NestedEvaluator() = default;
};

// What one evaluation carries along besides its values.
class EvaluationContext {
 public:
  EvaluationContext(RandomState& random, NestedEvaluator& nested)
      : random_(random), nested_(nested) {}

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

  // Accounts for `count` array items about to be made.
  void ReserveItems(std::int64_t count) { ReserveText(0, count * kItemCost); }

  RandomState& random() { return random_; }
  NestedEvaluator& nested() { return nested_; }

  // How deep brackets, calls and Eval texts are nested now, across Eval levels.
  int& nesting() { return nesting_; }

 private:
  RandomState& random_;
  NestedEvaluator& nested_;
  std::int64_t budget_ = kStringBudget;
  int nesting_ = 0;
};

}  // namespace vesko::script
