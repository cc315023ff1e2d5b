#pragma once

#include "script/lexer.h"
#include "script/program.h"

#include <QStringView>

#include <cstdint>
#include <utility>
#include <vector>

namespace vesko::script {

// Compiles an expression text into a postfix Program by operator precedence with explicit
// stacks, so that neither deep nesting nor long operator chains use the machine stack.
// Syntax faults are thrown as EvaluationFailure ("Expected ')'", "Expected expression", ...),
// and so is a call of a built-in function with a wrong number of arguments (450), as soon as
// the count is known to be wrong.
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
  // What the parser expects next. Not is a prefix of whole logical terms: it may stand where an
  // operand begins a logical term (at the start, after "(", "," and after Not, And, Or, Xor,
  // Eqv, Imp), and as the right operand of a comparison (where it takes the rest of the
  // comparison chain: "1 > Not 5 > 3"), not inside arithmetic ("1 + Not 0").
  enum class State : std::uint8_t {
    kLogicalOperand,     // an operand, which may start with Not
    kOperand,            // an operand inside arithmetic
    kAfterOperand,       // an operator, ")", "," or the end
    kAfterCallResult,    // as kAfterOperand, and "(" indexes the call's result
    kAfterFunctionName,  // as kAfterOperand, after a function name without brackets
    kFinished,
  };
  // Operators waiting for their right operand, and the markers of what brackets open: a
  // bracket, a call, a call of Array (whose items are gathered as they are made), an index.
  enum class PendingKind : std::uint8_t { kUnary, kBinary, kBracket, kCall, kArray, kIndex };
  struct Pending {
    PendingKind kind;
    std::uint8_t op;
    std::uint8_t precedence;
    // A call of a built-in function (op is its place in the table), whose argument counts are
    // checked as they are read.
    bool knownFunction;
    std::int32_t arguments;
    qsizetype nameStart;  // for kArray, the place of its kNewArray instruction
    qsizetype nameLength;
  };

  static bool IsMarker(PendingKind kind) {
    return kind != PendingKind::kUnary && kind != PendingKind::kBinary;
  }
  static bool IsCall(PendingKind kind) {
    return kind == PendingKind::kCall || kind == PendingKind::kArray;
  }
  void Advance() {
    if (haveAhead_) {
      std::swap(token_, ahead_);
      haveAhead_ = false;
    } else {
      lexer_.Next(token_);
    }
  }
  const Token& Peek() {
    if (!haveAhead_) {
      lexer_.Next(ahead_);
      haveAhead_ = true;
    }
    return ahead_;
  }

  // The two steps of Compile's loop, one per token: inlined into it, so that splitting the loop
  // into steps costs no calls on every token.
  [[gnu::always_inline]] State ReadOperand(State state);
  [[gnu::always_inline]] State ReadAfterOperand(State state);
  State ReadName();
  State OpenCall(int function, qsizetype nameStart, qsizetype nameLength);
  void EmitNameValue(qsizetype nameStart, qsizetype nameLength);
  static void CheckMayBeLeftEmpty(const Pending& call);
  State LeaveArgumentEmpty();
  State CloseAfterEmptyArgument();
  State CloseMarker();
  void StartNextArgument();
  State Finish();

  void EndArgument(const Pending& marker);
  void OpenMarker(const Pending& marker);
  void PushBinary(std::uint8_t op, std::uint8_t precedence);
  // Emits pending operators down to the innermost bracket or call; returns false when there is
  // none.
  bool ReduceToMarker();
  void EmitCall(const Pending& call);

  std::vector<Pending> pending_;  // reused between compilations
  Lexer lexer_{QStringView()};
  Token token_;
  Token ahead_;
  bool haveAhead_ = false;
  QStringView text_;
  Program* program_ = nullptr;
  int nestingLimit_ = kMaxNesting;
  std::uint8_t bareFunction_ = 0;  // the function of kAfterFunctionName
  int nesting_ = 0;
  int deepest_ = 0;
};

}  // namespace vesko::script
