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
  // The character at `i`, or 0 beyond the end.
  char16_t CharacterAt(qsizetype i) const { return i < text_.size() ? text_[i].unicode() : u'\0'; }
  // Makes `token` the `length` characters at the current position, of `kind`.
  void Take(Token& token, TokenKind kind, qsizetype length = 1) {
    token.kind = kind;
    token.length = length;
    pos_ += length;
  }
  void ReadSymbol(Token& token, char16_t c);
  void ReadAmpersand(Token& token);
  void ReadComparison(Token& token);
  qsizetype SkipDigits(qsizetype i) const;
  qsizetype ExponentEnd(qsizetype i) const;
  bool ReadWholeNumber(qsizetype start, qsizetype end, Variant& value) const;
  void ReadNumber(Token& token);
  void ReadRadixNumber(Token& token, int radix);
  void ReadString(Token& token);
  void ReadDate(Token& token);
  void ReadWord(Token& token);

  QStringView text_;
  qsizetype pos_ = 0;
};

}  // namespace vesko::script
