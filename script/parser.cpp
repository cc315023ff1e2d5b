#include "script/parser.h"

#include "script/context.h"
#include "script/errors.h"
#include "script/functions.h"
#include "script/names.h"
#include "script/operators.h"

#include <algorithm>
#include <utility>

namespace vesko::script {

namespace {

// Binding strength, loosest first. Every binary operator is left-associative.
enum Precedence : std::uint8_t {
  kImpLevel,
  kEqvLevel,
  kXorLevel,
  kOrLevel,
  kAndLevel,
  kNotLevel,
  kComparisonLevel,
  kConcatLevel,
  kAdditiveLevel,
  kModLevel,
  kIntDivideLevel,
  kMultiplicativeLevel,
  kPowerLevel,
  kSignLevel,
};

struct BinaryInfo {
  bool isBinary;
  BinaryOp op;
  Precedence precedence;
};

BinaryInfo BinaryOf(TokenKind kind) {
  switch (kind) {
    case TokenKind::kCaret:
      return {true, BinaryOp::kPower, kPowerLevel};
    case TokenKind::kStar:
      return {true, BinaryOp::kMultiply, kMultiplicativeLevel};
    case TokenKind::kSlash:
      return {true, BinaryOp::kDivide, kMultiplicativeLevel};
    case TokenKind::kBackslash:
      return {true, BinaryOp::kIntDivide, kIntDivideLevel};
    case TokenKind::kMod:
      return {true, BinaryOp::kMod, kModLevel};
    case TokenKind::kPlus:
      return {true, BinaryOp::kAdd, kAdditiveLevel};
    case TokenKind::kMinus:
      return {true, BinaryOp::kSubtract, kAdditiveLevel};
    case TokenKind::kAmpersand:
      return {true, BinaryOp::kConcat, kConcatLevel};
    case TokenKind::kEqual:
      return {true, BinaryOp::kEqual, kComparisonLevel};
    case TokenKind::kNotEqual:
      return {true, BinaryOp::kNotEqual, kComparisonLevel};
    case TokenKind::kLess:
      return {true, BinaryOp::kLess, kComparisonLevel};
    case TokenKind::kGreater:
      return {true, BinaryOp::kGreater, kComparisonLevel};
    case TokenKind::kLessEqual:
      return {true, BinaryOp::kLessEqual, kComparisonLevel};
    case TokenKind::kGreaterEqual:
      return {true, BinaryOp::kGreaterEqual, kComparisonLevel};
    case TokenKind::kIs:
      return {true, BinaryOp::kIs, kComparisonLevel};
    case TokenKind::kAnd:
      return {true, BinaryOp::kAnd, kAndLevel};
    case TokenKind::kOr:
      return {true, BinaryOp::kOr, kOrLevel};
    case TokenKind::kXor:
      return {true, BinaryOp::kXor, kXorLevel};
    case TokenKind::kEqv:
      return {true, BinaryOp::kEqv, kEqvLevel};
    case TokenKind::kImp:
      return {true, BinaryOp::kImp, kImpLevel};
    default:
      return {false, BinaryOp::kAdd, kImpLevel};
  }
}

// Whether the right operand of a binary operator of this level may start with Not: after the
// logical operators and the comparisons, not after arithmetic or "&".
bool AllowsNotAfter(Precedence level) {
  return level <= kAndLevel || level == kComparisonLevel;
}

Variant KeywordValue(TokenKind kind) {
  Variant v;
  switch (kind) {
    case TokenKind::kTrue:
      v = Variant::Boolean(true);
      break;
    case TokenKind::kFalse:
      v = Variant::Boolean(false);
      break;
    case TokenKind::kNull:
      v = Variant::Null();
      break;
    case TokenKind::kNothing:
      v = Variant::Nothing();
      break;
    default:
      break;  // Empty
  }
  v.literal = true;
  return v;
}

void EmitPush(Variant value, Program& program) {
  // Integer and Long literals, the most common operands, need no constant of their own: the
  // instruction holds the value, of the smallest subtype that holds it (as a literal's is).
  if (value.literal && (value.Is(Subtype::kInteger) || value.Is(Subtype::kLong)) &&
      FitInteger(value.integer, Subtype::kInteger).type == value.type) {
    program.code.push_back({OpCode::kPushInteger, 0, 0, static_cast<std::int32_t>(value.integer)});
    return;
  }
  program.code.push_back(
      {OpCode::kPush, 0, 0, static_cast<std::int32_t>(program.constants.size())});
  program.constants.push_back(std::move(value));
}

Instruction Named(OpCode code, std::uint8_t op, std::int32_t argument, qsizetype nameStart,
                  qsizetype nameLength) {
  return {code, op, static_cast<std::uint16_t>(nameLength), argument,
          static_cast<std::int32_t>(nameStart)};
}

// Fails unless built-in function `function` may take more than `count` arguments: as soon as a
// comma makes them too many.
void CheckRoomForMore(std::uint8_t function, std::int32_t count) {
  const FunctionInfo& info = FunctionAt(function);
  if (info.maxArguments != kAnyCount && count >= info.maxArguments) {
    Fail(kWrongArgumentCount);
  }
  if (count >= kStringBudget / kItemCost) {
    Fail(kOutOfStringSpace);  // a list (Array) of more items than one evaluation may make
  }
}

// Fails unless built-in function `function` takes `count` arguments.
void CheckArgumentCount(std::uint8_t function, std::int32_t count) {
  const FunctionInfo& info = FunctionAt(function);
  if (count < info.minArguments || (info.maxArguments != kAnyCount && count > info.maxArguments)) {
    Fail(kWrongArgumentCount);
  }
}

}  // namespace

// Only a built-in function's optional arguments may be left empty, and none of a list (Array).
void Parser::CheckMayBeLeftEmpty(const Pending& call) {
  if (!call.knownFunction) {
    return;
  }
  const FunctionInfo& info = FunctionAt(call.op);
  if (call.arguments < info.minArguments || info.maxArguments == kAnyCount) {
    Fail(kWrongArgumentCount);
  }
}

void Parser::Compile(QStringView text, Program& program, int nestingLimit) {
  program.Clear();
  // Every instruction comes from a token of at least one character: room for that many is never
  // outgrown, and only the part used takes memory.
  program.code.reserve(static_cast<std::size_t>(text.size()) + 1);
  pending_.clear();
  lexer_ = Lexer(text);
  haveAhead_ = false;
  text_ = text;
  program_ = &program;
  nestingLimit_ = nestingLimit;
  nesting_ = 0;
  deepest_ = 0;
  // The tokens let go of their values (a literal may be megabytes long) however compiling ends.
  struct ReleaseTokens {
    Parser& parser;
    ~ReleaseTokens() {
      parser.token_ = Token();
      parser.ahead_ = Token();
      parser.program_ = nullptr;
    }
  } release{*this};
  State state = State::kLogicalOperand;
  while (state != State::kFinished) {
    Advance();
    const bool operand = state == State::kLogicalOperand || state == State::kOperand;
    state = operand ? ReadOperand(state) : ReadAfterOperand(state);
  }
}

inline Parser::State Parser::ReadOperand(State state) {
  switch (token_.kind) {
    case TokenKind::kNumber:
    case TokenKind::kString:
      EmitPush(std::move(token_.value), *program_);
      return State::kAfterOperand;
    case TokenKind::kTrue:
    case TokenKind::kFalse:
    case TokenKind::kEmpty:
    case TokenKind::kNull:
    case TokenKind::kNothing:
      EmitPush(KeywordValue(token_.kind), *program_);
      return State::kAfterOperand;
    case TokenKind::kName:
      return ReadName();
    case TokenKind::kComma:
      return LeaveArgumentEmpty();
    case TokenKind::kCloseParen:
      return CloseAfterEmptyArgument();
    case TokenKind::kMinus:
    case TokenKind::kPlus: {
      const UnaryOp sign = token_.kind == TokenKind::kMinus ? UnaryOp::kNegate : UnaryOp::kPlus;
      pending_.push_back(
          {PendingKind::kUnary, static_cast<std::uint8_t>(sign), kSignLevel, false, 0, 0, 0});
      return State::kOperand;
    }
    case TokenKind::kNot:
      if (state != State::kLogicalOperand) {
        Fail(kSyntaxError);
      }
      pending_.push_back({PendingKind::kUnary, static_cast<std::uint8_t>(UnaryOp::kNot), kNotLevel,
                          false, 0, 0, 0});
      return state;
    case TokenKind::kOpenParen:
      OpenMarker({PendingKind::kBracket, 0, 0, false, 0, 0, 0});
      return State::kLogicalOperand;
    case TokenKind::kEnd:
      if (program_->code.empty() && pending_.empty()) {
        return State::kFinished;  // blank text: Empty
      }
      Fail(kSyntaxError);  // "1 +", "("
    case TokenKind::kDot:
      Fail(kInvalidReference);
    case TokenKind::kMe:
      Fail(kInvalidUseOfMe);
    case TokenKind::kNew:
    case TokenKind::kStatementWord:
      Fail(kSyntaxError);
    default:
      Fail(kExpectedExpression);
  }
}

inline Parser::State Parser::ReadAfterOperand(State state) {
  const BinaryInfo binary = BinaryOf(token_.kind);
  const bool indexing = token_.kind == TokenKind::kOpenParen && state == State::kAfterCallResult;
  const bool continues = binary.isBinary || indexing || token_.kind == TokenKind::kCloseParen ||
                         token_.kind == TokenKind::kComma || token_.kind == TokenKind::kEnd;
  if (!continues) {
    Fail(kExpectedEndOfStatement);  // "2 3", "Sin 1", "(1)(2)"
  }
  if (state == State::kAfterFunctionName) {
    CheckArgumentCount(bareFunction_, 0);
  }
  if (binary.isBinary) {
    PushBinary(static_cast<std::uint8_t>(binary.op), binary.precedence);
    return AllowsNotAfter(binary.precedence) ? State::kLogicalOperand : State::kOperand;
  }
  switch (token_.kind) {
    case TokenKind::kOpenParen:
      // Indexing a call's result: "Split(s)(1)".
      OpenMarker({PendingKind::kIndex, 0, 0, false, 0, 0, 0});
      return State::kLogicalOperand;
    case TokenKind::kCloseParen:
      return CloseMarker();
    case TokenKind::kComma:
      StartNextArgument();
      return State::kLogicalOperand;
    default:
      return Finish();
  }
}

Parser::State Parser::ReadName() {
  const qsizetype nameStart = token_.start;
  const qsizetype nameLength = token_.length;
  const int function = FunctionIndex(text_.mid(nameStart, nameLength));
  if (Peek().kind == TokenKind::kOpenParen) {
    Advance();
    return OpenCall(function, nameStart, nameLength);
  }
  if (function < 0) {
    EmitNameValue(nameStart, nameLength);
    return State::kAfterOperand;
  }
  // A function called without brackets ("Now", "Rnd"); a wrong count ("Sin") fails once what
  // follows is known to be no syntax error ("Sin 1").
  bareFunction_ = static_cast<std::uint8_t>(function);
  program_->code.push_back(Named(OpCode::kCall, bareFunction_, 0, nameStart, nameLength));
  return State::kAfterFunctionName;
}

Parser::State Parser::OpenCall(int function, qsizetype nameStart, qsizetype nameLength) {
  Pending call{PendingKind::kCall,
               static_cast<std::uint8_t>(function >= 0 ? function : 0),
               0,
               function >= 0,
               0,
               nameStart,
               nameLength};
  if (Peek().kind == TokenKind::kCloseParen) {
    Advance();
    EmitCall(call);
    return State::kAfterCallResult;
  }
  if (function >= 0 && FunctionAt(call.op).maxArguments == kAnyCount) {
    // Array: its items go into the array one by one rather than all onto the value stack.
    call.kind = PendingKind::kArray;
    call.nameStart = static_cast<qsizetype>(program_->code.size());
    program_->code.push_back({OpCode::kNewArray});
  }
  OpenMarker(call);
  return State::kLogicalOperand;
}

// A name that is no function: a constant or an undefined variable.
void Parser::EmitNameValue(qsizetype nameStart, qsizetype nameLength) {
  if (const Variant* constant = LookupConstant(text_.mid(nameStart, nameLength))) {
    EmitPush(*constant, *program_);
  } else {
    program_->code.push_back(Named(OpCode::kUndefined, 0, 0, nameStart, nameLength));
  }
}

// "," where an operand would start: an optional argument left empty, "FormatNumber(.12,,,-1)".
Parser::State Parser::LeaveArgumentEmpty() {
  if (pending_.empty() || !IsCall(pending_.back().kind)) {
    Fail(kExpectedExpression);
  }
  Pending& call = pending_.back();
  CheckMayBeLeftEmpty(call);
  EmitPush(Variant::Missing(), *program_);
  EndArgument(call);
  ++call.arguments;
  if (call.knownFunction) {
    CheckRoomForMore(call.op, call.arguments);
  }
  return State::kLogicalOperand;
}

// ")" where an operand would start: "f(1,)", the last argument left empty.
Parser::State Parser::CloseAfterEmptyArgument() {
  if (pending_.empty() || !IsCall(pending_.back().kind) || pending_.back().arguments == 0) {
    Fail(kExpectedExpression);
  }
  CheckMayBeLeftEmpty(pending_.back());
  EmitPush(Variant::Missing(), *program_);
  Pending marker = pending_.back();
  pending_.pop_back();
  --nesting_;
  EndArgument(marker);
  ++marker.arguments;
  EmitCall(marker);
  return State::kAfterCallResult;
}

Parser::State Parser::CloseMarker() {
  if (!ReduceToMarker()) {
    Fail(kExpectedEndOfStatement);
  }
  Pending marker = pending_.back();
  pending_.pop_back();
  --nesting_;
  if (marker.kind == PendingKind::kBracket) {
    return State::kAfterOperand;
  }
  EndArgument(marker);
  ++marker.arguments;
  EmitCall(marker);
  return State::kAfterCallResult;
}

void Parser::StartNextArgument() {
  if (!ReduceToMarker()) {
    Fail(kExpectedEndOfStatement);
  }
  Pending& marker = pending_.back();
  if (marker.kind == PendingKind::kBracket) {
    Fail(kExpectedCloseParen);
  }
  EndArgument(marker);
  ++marker.arguments;
  if (marker.knownFunction) {
    CheckRoomForMore(marker.op, marker.arguments);
  }
}

Parser::State Parser::Finish() {
  if (ReduceToMarker()) {
    Fail(kExpectedCloseParen);
  }
  return State::kFinished;
}

// The value of an argument that nothing will read is dropped as soon as it is made, so that a
// call with millions of arguments does not hold millions of values: all those of a function
// that does not exist (which fails once they are evaluated), all indexes but the first (more
// than one fails with "Subscript out of range").
void Parser::EndArgument(const Pending& marker) {
  const bool unread = (marker.kind == PendingKind::kCall && !marker.knownFunction) ||
                      (marker.kind == PendingKind::kIndex && marker.arguments > 0);
  if (unread) {
    program_->code.push_back({OpCode::kDiscard});
  } else if (marker.kind == PendingKind::kArray) {
    program_->code.push_back({OpCode::kAppendItem});
  }
}

void Parser::OpenMarker(const Pending& marker) {
  if (++nesting_ > nestingLimit_) {
    Fail(kOutOfStackSpace);
  }
  deepest_ = std::max(deepest_, nesting_);
  pending_.push_back(marker);
}

void Parser::PushBinary(std::uint8_t op, std::uint8_t precedence) {
  while (!pending_.empty()) {
    const Pending& top = pending_.back();
    if (IsMarker(top.kind) || top.precedence < precedence) {
      break;
    }
    program_->code.push_back(
        {top.kind == PendingKind::kUnary ? OpCode::kUnary : OpCode::kBinary, top.op});
    pending_.pop_back();
  }
  pending_.push_back({PendingKind::kBinary, op, precedence, false, 0, 0, 0});
}

bool Parser::ReduceToMarker() {
  while (!pending_.empty()) {
    const Pending& top = pending_.back();
    if (IsMarker(top.kind)) {
      return true;
    }
    program_->code.push_back(
        {top.kind == PendingKind::kUnary ? OpCode::kUnary : OpCode::kBinary, top.op});
    pending_.pop_back();
  }
  return false;
}

void Parser::EmitCall(const Pending& call) {
  if (call.kind == PendingKind::kIndex) {
    program_->code.push_back(Named(OpCode::kIndex, 0, call.arguments, 0, 0));
    return;
  }
  if (call.kind == PendingKind::kArray) {
    program_->code[static_cast<std::size_t>(call.nameStart)].argument = call.arguments;
    program_->code.push_back({OpCode::kMakeArray});
    return;
  }
  if (call.knownFunction) {
    CheckArgumentCount(call.op, call.arguments);
  }
  program_->code.push_back(Named(call.knownFunction ? OpCode::kCall : OpCode::kUnknownFunction,
                                 call.op, call.arguments, call.nameStart, call.nameLength));
}

}  // namespace vesko::script
