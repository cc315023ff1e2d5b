#pragma once

#include <QStringView>

#include <cstdint>

namespace vesko::script {

// Character classes and digit reading shared by the lexer and the string-to-number conversion.

inline bool IsAsciiLetter(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

inline bool IsDigit(char16_t c) {
  return c >= u'0' && c <= u'9';
}

// Whether `c` may continue an identifier (ASCII letter, digit or underscore).
inline bool IsNameCharacter(char16_t c) {
  return IsAsciiLetter(c) || IsDigit(c) || c == u'_';
}

// What separates tokens of an expression: space, tab, carriage return, line feed.
inline bool IsTokenSeparator(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

// What may surround a number inside a string ("  12 " * 1): space and tab only.
inline bool IsSpaceOrTab(char16_t c) {
  return c == u' ' || c == u'\t';
}

inline char16_t AsciiLower(char16_t c) {
  return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + (u'a' - u'A')) : c;
}

// The value of `c` as a digit of `radix` (8, 10 or 16; letters in either case), or -1.
inline int DigitValue(char16_t c, int radix) {
  int digit = -1;
  if (IsDigit(c)) {
    digit = c - u'0';
  } else if (c >= u'a' && c <= u'f') {
    digit = c - u'a' + 10;
  } else if (c >= u'A' && c <= u'F') {
    digit = c - u'A' + 10;
  }
  return digit < radix ? digit : -1;
}

// Reads the digits of `radix` in text[from..end) into a bit pattern; returns where they stop.
// `tooLong` tells that the digits do not fit 32 bits (the pattern is then meaningless).
inline qsizetype ReadRadixDigits(QStringView text, qsizetype from, qsizetype end, int radix,
                                 std::uint32_t& pattern, bool& tooLong) {
  std::uint64_t value = 0;
  tooLong = false;
  qsizetype i = from;
  for (; i < end; ++i) {
    const int digit = DigitValue(text[i].unicode(), radix);
    if (digit < 0) {
      break;
    }
    value = value * static_cast<unsigned>(radix) + static_cast<unsigned>(digit);
    if (value > 0xFFFFFFFFu) {
      tooLong = true;
      value = 0;
    }
  }
  pattern = static_cast<std::uint32_t>(value);
  return i;
}

}  // namespace vesko::script
