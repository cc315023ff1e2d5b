#pragma once

#include "script/value.h"

#include <QStringView>

#include <cstdint>

namespace vesko::script {

enum class TokenKind : std::uint8_t {
  kEnd,
  kNumber,  // value holds an Integer, Long, Double or (a date literal) Date
  kString,  // value holds the String
  kName,    // an identifier that is not a keyword
  kPlus,
  kMinus,
  kStar,
  kSlash,
  kBackslash,
  kCaret,
  kAmpersand,
  kEqual,
  kNotEqual,
  kLess,
  kGreater,
  kLessEqual,
  kGreaterEqual,
  kOpenParen,
  kCloseParen,
  kComma,
  kDot,
  kMod,
  kAnd,
  kOr,
  kNot,
  kXor,
  kEqv,
  kImp,
  kIs,
  kTrue,
  kFalse,
  kEmpty,
  kNull,
  kNothing,
  kNew,
  kMe,
  kStatementWord,  // If, Dim, Rem, ...: words of statements, never part of an expression
};

struct Token {
  TokenKind kind = TokenKind::kEnd;
  qsizetype start = 0;
  qsizetype length = 0;
  Variant value;
};

// Splits an expression text into tokens, one at a time. Space, tab, carriage return and line
// feed separate tokens. Lexical faults (invalid character, unterminated string, bad number,
// impossible date literal, ...) are thrown as EvaluationFailure when the token is reached.
class Lexer {
 public:
  explicit Lexer(QStringView text) : text_(text) {}

  // Reads the next token into `token` (reusing its storage).
  void Next(Token& token);

 private:
  void ReadNumber(Token& token);
  void ReadRadixNumber(Token& token, int radix);
  void ReadString(Token& token);
  void ReadDate(Token& token);
  void ReadWord(Token& token);

  QStringView text_;
  qsizetype pos_ = 0;
};

}  // namespace vesko::script
