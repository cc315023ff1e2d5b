#include "script/parser.h"

#include "script/errors.h"
#include "script/functions.h"
#include "script/lexer.h"
#include "script/names.h"
#include "script/operators.h"

#include <algorithm>
#include <utility>

namespace vesko::script {

namespace {

// Binding strength, tightest first: signs, ^, * /, \, Mod, + -, &, comparisons, Not, And, Or,
// Xor, Eqv, Imp. Every binary operator is left-associative.
constexpr std::uint8_t kSignPrecedence = 13;
constexpr std::uint8_t kNotPrecedence = 5;

struct BinaryInfo {
  bool isBinary;
  BinaryOp op;
  std::uint8_t precedence;
};

BinaryInfo BinaryOf(TokenKind kind) {
  switch (kind) {
    case TokenKind::kCaret:
      return {true, BinaryOp::kPower, 12};
    case TokenKind::kStar:
      return {true, BinaryOp::kMultiply, 11};
    case TokenKind::kSlash:
      return {true, BinaryOp::kDivide, 11};
    case TokenKind::kBackslash:
      return {true, BinaryOp::kIntDivide, 10};
    case TokenKind::kMod:
      return {true, BinaryOp::kMod, 9};
    case TokenKind::kPlus:
      return {true, BinaryOp::kAdd, 8};
    case TokenKind::kMinus:
      return {true, BinaryOp::kSubtract, 8};
    case TokenKind::kAmpersand:
      return {true, BinaryOp::kConcat, 7};
    case TokenKind::kEqual:
      return {true, BinaryOp::kEqual, 6};
    case TokenKind::kNotEqual:
      return {true, BinaryOp::kNotEqual, 6};
    case TokenKind::kLess:
      return {true, BinaryOp::kLess, 6};
    case TokenKind::kGreater:
      return {true, BinaryOp::kGreater, 6};
    case TokenKind::kLessEqual:
      return {true, BinaryOp::kLessEqual, 6};
    case TokenKind::kGreaterEqual:
      return {true, BinaryOp::kGreaterEqual, 6};
    case TokenKind::kIs:
      return {true, BinaryOp::kIs, 6};
    case TokenKind::kAnd:
      return {true, BinaryOp::kAnd, 4};
    case TokenKind::kOr:
      return {true, BinaryOp::kOr, 3};
    case TokenKind::kXor:
      return {true, BinaryOp::kXor, 2};
    case TokenKind::kEqv:
      return {true, BinaryOp::kEqv, 1};
    case TokenKind::kImp:
      return {true, BinaryOp::kImp, 0};
    default:
      return {false, BinaryOp::kAdd, 0};
  }
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

}  // namespace

void Parser::PushBinary(std::uint8_t op, std::uint8_t precedence, Program& program) {
  while (!pending_.empty()) {
    const Pending& top = pending_.back();
    if (top.kind == PendingKind::kBracket || top.kind == PendingKind::kCall ||
        top.kind == PendingKind::kIndex || top.precedence < precedence) {
      break;
    }
    program.code.push_back(
        {top.kind == PendingKind::kUnary ? OpCode::kUnary : OpCode::kBinary, top.op});
    pending_.pop_back();
  }
  pending_.push_back({PendingKind::kBinary, op, precedence, false, 0, 0, 0});
}

bool Parser::ReduceToMarker(Program& program) {
  while (!pending_.empty()) {
    const Pending& top = pending_.back();
    if (top.kind == PendingKind::kBracket || top.kind == PendingKind::kCall ||
        top.kind == PendingKind::kIndex) {
      return true;
    }
    program.code.push_back(
        {top.kind == PendingKind::kUnary ? OpCode::kUnary : OpCode::kBinary, top.op});
    pending_.pop_back();
  }
  return false;
}

void Parser::EmitCall(const Pending& call, Program& program) {
  if (call.kind == PendingKind::kIndex) {
    program.code.push_back(Named(OpCode::kIndex, 0, call.arguments, 0, 0));
    return;
  }
  program.code.push_back(Named(call.knownFunction ? OpCode::kCall : OpCode::kUnknownFunction,
                               call.op, call.arguments, call.nameStart, call.nameLength));
}

void Parser::Compile(QStringView text, Program& program, int nestingLimit) {
  program.Clear();
  // Every instruction comes from a token of at least one character: room for that many is never
  // outgrown, and only the part used takes memory.
  program.code.reserve(static_cast<std::size_t>(text.size()) + 1);
  pending_.clear();
  nesting_ = 0;
  deepest_ = 0;
  Lexer lexer(text);
  Token token;
  Token ahead;
  bool haveAhead = false;
  auto advance = [&] {
    if (haveAhead) {
      std::swap(token, ahead);
      haveAhead = false;
    } else {
      lexer.Next(token);
    }
  };
  auto peek = [&]() -> const Token& {
    if (!haveAhead) {
      lexer.Next(ahead);
      haveAhead = true;
    }
    return ahead;
  };
  auto openMarker = [&](Pending marker) {
    if (++nesting_ > nestingLimit) {
      Fail(kOutOfStackSpace);
    }
    deepest_ = std::max(deepest_, nesting_);
    pending_.push_back(marker);
  };
  // Whether the innermost open marker is a call with nothing pending after it: an argument may
  // be left empty there.
  auto atEmptyArgument = [&] {
    return !pending_.empty() && pending_.back().kind == PendingKind::kCall;
  };

  bool expectOperand = true;
  // Not is a prefix of whole logical terms: allowed at the start, after "(", "," and after
  // Not/And/Or/Xor/Eqv/Imp, and as the right operand of a comparison (where it takes the rest of
  // the comparison chain: "1 > Not 5 > 3"), not inside arithmetic ("1 + Not 0").
  bool notAllowed = true;
  // Whether the last operand was a call's result, which "(" then indexes.
  bool afterCall = false;
  for (;;) {
    advance();
    if (expectOperand) {
      afterCall = false;
      switch (token.kind) {
        case TokenKind::kNumber:
        case TokenKind::kString:
          EmitPush(std::move(token.value), program);
          expectOperand = false;
          break;
        case TokenKind::kTrue:
        case TokenKind::kFalse:
        case TokenKind::kEmpty:
        case TokenKind::kNull:
        case TokenKind::kNothing:
          EmitPush(KeywordValue(token.kind), program);
          expectOperand = false;
          break;
        case TokenKind::kComma:
          // An optional argument left empty: "FormatNumber(.12,,,-1)".
          if (!atEmptyArgument()) {
            Fail(kExpectedExpression);
          }
          EmitPush(Variant::Missing(), program);
          ++pending_.back().arguments;
          break;
        case TokenKind::kCloseParen: {
          // "f(1,)": the last argument left empty.
          if (!atEmptyArgument() || pending_.back().arguments == 0) {
            Fail(kExpectedExpression);
          }
          EmitPush(Variant::Missing(), program);
          Pending marker = pending_.back();
          pending_.pop_back();
          --nesting_;
          ++marker.arguments;
          EmitCall(marker, program);
          expectOperand = false;
          afterCall = true;
          break;
        }
        case TokenKind::kName: {
          const qsizetype nameStart = token.start;
          const qsizetype nameLength = token.length;
          const QStringView name = text.mid(nameStart, nameLength);
          const int function = FunctionIndex(name);
          if (peek().kind == TokenKind::kOpenParen) {
            advance();
            Pending call{PendingKind::kCall,
                         static_cast<std::uint8_t>(function >= 0 ? function : 0),
                         0,
                         function >= 0,
                         0,
                         nameStart,
                         nameLength};
            if (peek().kind == TokenKind::kCloseParen) {
              advance();
              EmitCall(call, program);
              expectOperand = false;
              afterCall = true;
            } else {
              openMarker(call);
              notAllowed = true;
            }
            break;
          }
          expectOperand = false;
          if (function >= 0) {
            program.code.push_back(Named(OpCode::kCall, static_cast<std::uint8_t>(function), 0,
                                         nameStart, nameLength));
          } else if (const Variant* constant = LookupConstant(name)) {
            EmitPush(*constant, program);
          } else {
            program.code.push_back(Named(OpCode::kUndefined, 0, 0, nameStart, nameLength));
          }
          break;
        }
        case TokenKind::kMinus:
        case TokenKind::kPlus:
          pending_.push_back(
              {PendingKind::kUnary,
               static_cast<std::uint8_t>(token.kind == TokenKind::kMinus ? UnaryOp::kNegate
                                                                         : UnaryOp::kPlus),
               kSignPrecedence, false, 0, 0, 0});
          notAllowed = false;
          break;
        case TokenKind::kNot:
          if (!notAllowed) {
            Fail(kSyntaxError);
          }
          pending_.push_back({PendingKind::kUnary, static_cast<std::uint8_t>(UnaryOp::kNot),
                              kNotPrecedence, false, 0, 0, 0});
          break;
        case TokenKind::kOpenParen:
          openMarker({PendingKind::kBracket, 0, 0, false, 0, 0, 0});
          notAllowed = true;
          break;
        case TokenKind::kEnd:
          if (program.code.empty() && pending_.empty()) {
            return;  // blank text: Empty
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
      continue;
    }

    // After an operand: a binary operator, ")", ",", or the end.
    const BinaryInfo binary = BinaryOf(token.kind);
    if (binary.isBinary) {
      PushBinary(static_cast<std::uint8_t>(binary.op), binary.precedence, program);
      expectOperand = true;
      notAllowed = binary.precedence <= 4 || binary.precedence == 6;
      continue;
    }
    if (token.kind == TokenKind::kOpenParen && afterCall) {
      // Indexing a call's result: "Split(s)(1)".
      openMarker({PendingKind::kIndex, 0, 0, false, 0, 0, 0});
      expectOperand = true;
      notAllowed = true;
      afterCall = false;
      continue;
    }
    afterCall = false;
    switch (token.kind) {
      case TokenKind::kCloseParen: {
        if (!ReduceToMarker(program)) {
          Fail(kExpectedEndOfStatement);
        }
        Pending marker = pending_.back();
        pending_.pop_back();
        --nesting_;
        if (marker.kind == PendingKind::kCall || marker.kind == PendingKind::kIndex) {
          ++marker.arguments;
          EmitCall(marker, program);
          afterCall = true;
        }
        break;
      }
      case TokenKind::kComma:
        if (!ReduceToMarker(program)) {
          Fail(kExpectedEndOfStatement);
        }
        if (pending_.back().kind != PendingKind::kCall &&
            pending_.back().kind != PendingKind::kIndex) {
          Fail(kExpectedCloseParen);
        }
        ++pending_.back().arguments;
        expectOperand = true;
        notAllowed = true;
        break;
      case TokenKind::kEnd:
        if (ReduceToMarker(program)) {
          Fail(kExpectedCloseParen);
        }
        return;
      default:
        Fail(kExpectedEndOfStatement);
    }
  }
}

}  // namespace vesko::script
