#pragma once

#include "script/program.h"

#include <QStringView>

#include <cstdint>
#include <vector>

namespace vesko::script {

// Compiles an expression text into a postfix Program by operator precedence with explicit
// stacks, so that neither deep nesting nor long operator chains use the machine stack.
// Syntax faults are thrown as EvaluationFailure ("Expected ')'", "Expected expression", ...).
// An empty or blank text compiles to an empty program (which evaluates to Empty).
class Parser {
 public:
  // Brackets and calls may nest this deep; deeper fails with "Out of stack space".
  static constexpr int kMaxNesting = 65536;

  // Compiles `text`; `nestingLimit` is how deep it may nest (less inside Eval).
  void Compile(QStringView text, Program& program, int nestingLimit = kMaxNesting);

  // The deepest nesting of the last compiled text.
  int deepest() const { return deepest_; }

 private:
  enum class PendingKind : std::uint8_t { kUnary, kBinary, kBracket, kCall, kIndex };
  struct Pending {
    PendingKind kind;
    std::uint8_t op;
    std::uint8_t precedence;
    bool knownFunction;
    std::int32_t arguments;
    qsizetype nameStart;
    qsizetype nameLength;
  };

  void PushBinary(std::uint8_t op, std::uint8_t precedence, Program& program);
  // Emits pending operators down to the innermost bracket or call; returns false when there is
  // none.
  bool ReduceToMarker(Program& program);
  void EmitCall(const Pending& call, Program& program);

  std::vector<Pending> pending_;  // reused between compilations
  int nesting_ = 0;
  int deepest_ = 0;
};

}  // namespace vesko::script
