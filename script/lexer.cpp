#include "script/lexer.h"

#include "script/characters.h"
#include "script/context.h"
#include "script/conversions.h"
#include "script/dates.h"
#include "script/errors.h"
#include "script/name_table.h"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <utility>

namespace vesko::script {

namespace {

constexpr qsizetype kMaxNameLength = 255;

// Reserved words, lower case, sorted for binary search.
constexpr std::array<std::pair<std::string_view, TokenKind>, 54> kKeywords{{
    {"and", TokenKind::kAnd},
    {"byref", TokenKind::kStatementWord},
    {"byval", TokenKind::kStatementWord},
    {"call", TokenKind::kStatementWord},
    {"case", TokenKind::kStatementWord},
    {"class", TokenKind::kStatementWord},
    {"const", TokenKind::kStatementWord},
    {"default", TokenKind::kStatementWord},
    {"dim", TokenKind::kStatementWord},
    {"do", TokenKind::kStatementWord},
    {"each", TokenKind::kStatementWord},
    {"else", TokenKind::kStatementWord},
    {"elseif", TokenKind::kStatementWord},
    {"empty", TokenKind::kEmpty},
    {"end", TokenKind::kStatementWord},
    {"eqv", TokenKind::kEqv},
    {"erase", TokenKind::kStatementWord},
    {"error", TokenKind::kStatementWord},
    {"exit", TokenKind::kStatementWord},
    {"explicit", TokenKind::kStatementWord},
    {"false", TokenKind::kFalse},
    {"for", TokenKind::kStatementWord},
    {"function", TokenKind::kStatementWord},
    {"get", TokenKind::kStatementWord},
    {"goto", TokenKind::kStatementWord},
    {"if", TokenKind::kStatementWord},
    {"imp", TokenKind::kImp},
    {"in", TokenKind::kStatementWord},
    {"is", TokenKind::kIs},
    {"let", TokenKind::kStatementWord},
    {"loop", TokenKind::kStatementWord},
    {"me", TokenKind::kMe},
    {"mod", TokenKind::kMod},
    {"new", TokenKind::kNew},
    {"next", TokenKind::kStatementWord},
    {"not", TokenKind::kNot},
    {"nothing", TokenKind::kNothing},
    {"null", TokenKind::kNull},
    {"on", TokenKind::kStatementWord},
    {"option", TokenKind::kStatementWord},
    {"or", TokenKind::kOr},
    {"preserve", TokenKind::kStatementWord},
    {"private", TokenKind::kStatementWord},
    {"property", TokenKind::kStatementWord},
    {"public", TokenKind::kStatementWord},
    {"redim", TokenKind::kStatementWord},
    {"rem", TokenKind::kStatementWord},
    {"select", TokenKind::kStatementWord},
    {"set", TokenKind::kStatementWord},
    {"sub", TokenKind::kStatementWord},
    {"then", TokenKind::kStatementWord},
    {"true", TokenKind::kTrue},
    {"wend", TokenKind::kStatementWord},
    {"xor", TokenKind::kXor},
}};
static_assert(IsSortedByName(kKeywords));

TokenKind KeywordKind(QStringView word) {
  const TokenKind* kind = FindName(kKeywords, word);
  return kind != nullptr ? *kind : TokenKind::kName;
}

}  // namespace

void Lexer::Next(Token& token) {
  const qsizetype size = text_.size();
  while (pos_ < size && IsTokenSeparator(text_[pos_].unicode())) {
    ++pos_;
  }
  token.start = pos_;
  if (pos_ >= size) {
    token.kind = TokenKind::kEnd;
    token.length = 0;
    return;
  }
  const char16_t c = text_[pos_].unicode();
  if (IsDigit(c) || (c == u'.' && IsDigit(CharacterAt(pos_ + 1)))) {
    ReadNumber(token);
  } else if (IsAsciiLetter(c)) {
    ReadWord(token);
  } else if (c == u'"') {
    ReadString(token);
  } else if (c == u'#') {
    ReadDate(token);
  } else if (c == u'&') {
    ReadAmpersand(token);
  } else if (c == u'<' || c == u'>' || c == u'=') {
    ReadComparison(token);
  } else {
    ReadSymbol(token, c);
  }
}

void Lexer::ReadSymbol(Token& token, char16_t c) {
  switch (c) {
    case u'+':
      return Take(token, TokenKind::kPlus);
    case u'-':
      return Take(token, TokenKind::kMinus);
    case u'*':
      return Take(token, TokenKind::kStar);
    case u'/':
      return Take(token, TokenKind::kSlash);
    case u'\\':
      return Take(token, TokenKind::kBackslash);
    case u'^':
      return Take(token, TokenKind::kCaret);
    case u'(':
      return Take(token, TokenKind::kOpenParen);
    case u')':
      return Take(token, TokenKind::kCloseParen);
    case u',':
      return Take(token, TokenKind::kComma);
    case u'.':
      return Take(token, TokenKind::kDot);
    case u'\'':
    case u':':
    case u'_':
      // Comments, statement separators and line continuations belong to statements.
      Fail(kSyntaxError);
    default:
      Fail(kInvalidCharacter);
  }
}

// "&" is concatenation, unless "&H" or "&O" and a digit of that radix follow.
void Lexer::ReadAmpersand(Token& token) {
  const char16_t next = CharacterAt(pos_ + 1);
  const char16_t after = CharacterAt(pos_ + 2);
  if ((next == u'h' || next == u'H') && DigitValue(after, 16) >= 0) {
    ReadRadixNumber(token, 16);
  } else if ((next == u'o' || next == u'O') && DigitValue(after, 8) >= 0) {
    ReadRadixNumber(token, 8);
  } else {
    Take(token, TokenKind::kAmpersand);
  }
}

// "=", "<", ">" and their pairs: "<=" and "=<", ">=" and "=>", "<>" and "><".
void Lexer::ReadComparison(Token& token) {
  const char16_t c = text_[pos_].unicode();
  const char16_t next = CharacterAt(pos_ + 1);
  const bool hasLess = c == u'<' || next == u'<';
  const bool hasGreater = c == u'>' || next == u'>';
  const bool pair = next != c && (next == u'<' || next == u'>' || next == u'=');
  if (!pair) {
    Take(token, c == u'<' ? TokenKind::kLess : c == u'>' ? TokenKind::kGreater : TokenKind::kEqual);
  } else if (hasLess && hasGreater) {
    Take(token, TokenKind::kNotEqual, 2);
  } else {
    Take(token, hasLess ? TokenKind::kLessEqual : TokenKind::kGreaterEqual, 2);
  }
}

qsizetype Lexer::SkipDigits(qsizetype i) const {
  while (i < text_.size() && IsDigit(text_[i].unicode())) {
    ++i;
  }
  return i;
}

// Where a number's exponent that starts at `i` ("e") ends; `i` itself when the "e" is not part
// of the number ("1Eqv 2" is a number and a keyword).
qsizetype Lexer::ExponentEnd(qsizetype i) const {
  const char16_t afterE = CharacterAt(i + 1);
  const bool sign = afterE == u'+' || afterE == u'-';
  const qsizetype digits = i + (sign ? 2 : 1);
  if (IsDigit(CharacterAt(digits))) {
    return SkipDigits(digits);
  }
  if (sign || !IsNameCharacter(afterE)) {
    Fail(kInvalidNumber);  // "1e", "1e+": an exponent without digits
  }
  return i;
}

// A whole number literal of at most ten digits in the Long range: Integer or Long.
bool Lexer::ReadWholeNumber(qsizetype start, qsizetype end, Variant& value) const {
  qsizetype first = start;
  while (first < end - 1 && text_[first] == QLatin1Char('0')) {
    ++first;
  }
  if (end - first > 10) {
    return false;
  }
  std::int64_t whole = 0;
  for (qsizetype k = first; k < end; ++k) {
    whole = whole * 10 + (text_[k].unicode() - u'0');
  }
  if (whole > 2147483647) {
    return false;
  }
  value = FitInteger(whole, Subtype::kInteger);
  return true;
}

void Lexer::ReadNumber(Token& token) {
  const qsizetype start = pos_;
  qsizetype end = SkipDigits(pos_);
  bool real = false;
  if (CharacterAt(end) == u'.') {
    real = true;
    end = SkipDigits(end + 1);
  }
  if (CharacterAt(end) == u'e' || CharacterAt(end) == u'E') {
    const qsizetype exponentEnd = ExponentEnd(end);
    real = real || exponentEnd != end;
    end = exponentEnd;
  }
  pos_ = end;
  token.kind = TokenKind::kNumber;
  token.length = end - start;
  if (real || !ReadWholeNumber(start, end, token.value)) {
    std::string ascii;
    ascii.reserve(static_cast<std::size_t>(end - start));
    for (qsizetype k = start; k < end; ++k) {
      ascii.push_back(static_cast<char>(text_[k].unicode()));
    }
    double value = 0;
    if (!ParseDecimal(ascii, value)) {
      Fail(kInvalidNumber);
    }
    token.value = Variant::Double(value);
  }
  token.value.literal = true;
}

void Lexer::ReadRadixNumber(Token& token, int radix) {
  const qsizetype size = text_.size();
  const qsizetype start = pos_;
  std::uint32_t pattern = 0;
  bool tooLong = false;
  qsizetype i = ReadRadixDigits(text_, pos_ + 2, size, radix, pattern, tooLong);
  if (tooLong) {
    Fail(kInvalidNumber);
  }
  const bool suffix = i < size && text_[i] == QLatin1Char('&');
  if (suffix) {
    ++i;
  }
  pos_ = i;
  token.kind = TokenKind::kNumber;
  token.length = i - start;
  token.value = RadixPatternValue(pattern, suffix);
  token.value.literal = true;
}

void Lexer::ReadDate(Token& token) {
  // "#...#" on one line; its content is read like a date text in US order.
  const qsizetype size = text_.size();
  const qsizetype start = pos_;
  qsizetype i = pos_ + 1;
  while (i < size && text_[i] != QLatin1Char('#') && text_[i] != QLatin1Char('\n') &&
         text_[i] != QLatin1Char('\r')) {
    ++i;
  }
  if (i >= size || text_[i] != QLatin1Char('#')) {
    Fail(kSyntaxError);
  }
  double serial = 0;
  if (!ParseDateText(text_.mid(start + 1, i - start - 1), DateOrder::kUnitedStates, serial)) {
    Fail(kSyntaxError);
  }
  pos_ = i + 1;
  token.kind = TokenKind::kNumber;
  token.length = pos_ - start;
  token.value = Variant::Date(serial);
  token.value.literal = true;
}

void Lexer::ReadString(Token& token) {
  const qsizetype size = text_.size();
  const qsizetype start = pos_;
  QString value;
  qsizetype i = pos_ + 1;
  qsizetype runStart = i;
  for (;;) {
    if (i >= size || text_[i] == QLatin1Char('\n') || text_[i] == QLatin1Char('\r')) {
      Fail(kUnterminatedString);
    }
    if (text_[i] == QLatin1Char('"')) {
      // A literal is a string like any other: it may not pass the one-string limit.
      if (value.size() + (i - runStart) > kMaxStringLength) {
        Fail(kOutOfStringSpace);
      }
      value.append(text_.mid(runStart, i - runStart));
      if (i + 1 < size && text_[i + 1] == QLatin1Char('"')) {
        value.append(QLatin1Char('"'));
        i += 2;
        runStart = i;
        continue;
      }
      ++i;
      break;
    }
    ++i;
  }
  pos_ = i;
  token.kind = TokenKind::kString;
  token.length = i - start;
  token.value = Variant::String(std::move(value));
  token.value.literal = true;
}

void Lexer::ReadWord(Token& token) {
  const qsizetype size = text_.size();
  const qsizetype start = pos_;
  qsizetype i = pos_ + 1;
  while (i < size && IsNameCharacter(text_[i].unicode())) {
    ++i;
  }
  if (i - start > kMaxNameLength) {
    Fail(kIdentifierTooLong);
  }
  pos_ = i;
  token.start = start;
  token.length = i - start;
  token.kind = KeywordKind(text_.mid(start, i - start));
}

}  // namespace vesko::script
