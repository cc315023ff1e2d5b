#pragma once

#include "script/value.h"

#include <QtGlobal>

#include <cstdint>
#include <vector>

namespace vesko::script {

// One step of a compiled expression. Programs are postfix: operands are pushed, operators and
// calls take their operands from the top of the value stack and push their result.
enum class OpCode : std::uint8_t {
  kPush,             // push constants[argument]
  kPushInteger,      // push the Integer or Long literal whose value is `argument`
  kUnary,            // op = UnaryOp
  kBinary,           // op = BinaryOp
  kCall,             // op = index of the function in the table, argument = number of arguments
  kIndex,            // argument = number of indexes; the array lies below the first, the only
                     // one kept
  kUnknownFunction,  // fails with "Type mismatch: 'name'" after its arguments were evaluated
                     // (and discarded)
  kUndefined,        // fails with "Variable is undefined: 'name'"
  kDiscard,          // drops the top value: an argument nothing reads
  kNewArray,         // starts gathering the `argument` items of an Array call
  kAppendItem,       // moves the top value into the array being gathered
  kMakeArray,        // pushes the array gathered
};

// Twelve bytes: a program has up to one instruction per character of its text, so their size
// decides most of the memory a huge expression takes.
struct Instruction {
  OpCode code;
  std::uint8_t op = 0;
  // Where the name of a call or of an undefined variable sits in the expression text (names are
  // at most 255 characters, expressions at most kMaxExpressionLength).
  std::uint16_t nameLength = 0;
  std::int32_t argument = 0;
  std::int32_t nameStart = 0;
};

struct Program {
  std::vector<Instruction> code;
  std::vector<Variant> constants;

  void Clear() {
    code.clear();
    constants.clear();
  }
};

}  // namespace vesko::script
