#include "script/conversions.h"
#include "script/errors.h"
#include "script/functions.h"
#include "script/number_text.h"
#include "script/text_search.h"

#include <algorithm>
#include <array>
#include <limits>

namespace vesko::script {

namespace {

// Characters 0x80..0x9F of the Western single-byte code page; the rest of 0..255 is Latin-1.
constexpr std::array<char16_t, 32> kCodePage80{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t CharacterOfCode(std::int64_t code) {
  if (code < 0 || code > 255) {
    Fail(kInvalidProcedureCall);
  }
  if (code >= 0x80 && code <= 0x9F) {
    return kCodePage80[static_cast<std::size_t>(code - 0x80)];
  }
  return static_cast<char16_t>(code);
}

std::int16_t CodeOfCharacter(char16_t c) {
  if (c >= 0x80) {
    const auto* it = std::find(kCodePage80.begin(), kCodePage80.end(), c);
    if (it != kCodePage80.end()) {
      return static_cast<std::int16_t>(0x80 + (it - kCodePage80.begin()));
    }
  }
  return static_cast<std::int16_t>(c);  // beyond the code page: the UTF-16 unit, as AscW gives
}

// A string argument: its string form. Null is left to the caller; objects fail.
QString TextArgument(const Variant& x) {
  if (x.IsObject()) {
    Fail(kObjectVariableNotSet);
  }
  return StringForm(x);
}

QString NonNullText(const Variant& x) {
  if (x.IsNull()) {
    Fail(kInvalidUseOfNull);
  }
  return TextArgument(x);
}

// A count or position argument: rounded to a whole Long; Null fails with 94.
std::int64_t WholeArgument(const Variant& x) {
  return ToRoundedLong(x);
}

// The compare argument (0 binary, 1 text).
bool TextCompare(std::span<const Variant> args, std::size_t index) {
  if (args.size() <= index) {
    return false;
  }
  const std::int64_t mode = WholeArgument(args[index]);
  if (mode != 0 && mode != 1) {
    Fail(kInvalidProcedureCall);
  }
  return mode == 1;
}

Variant Made(QString text, EvaluationContext& context) {
  context.ReserveText(text.size());
  return Variant::String(std::move(text));
}

Variant Slice(std::span<const Variant> args, FunctionId id, EvaluationContext& context) {
  const std::int64_t count = WholeArgument(args[1]);
  if (count < 0) {
    Fail(kInvalidProcedureCall);
  }
  if (args[0].IsNull()) {
    return Variant::Null();
  }
  const QString text = TextArgument(args[0]);
  const qsizetype n = static_cast<qsizetype>(std::min<std::int64_t>(count, text.size()));
  context.ReserveText(n);
  return Variant::String(id == FunctionId::kLeft ? text.left(n) : text.right(n));
}

Variant Mid(std::span<const Variant> args, EvaluationContext& context) {
  const std::int64_t start = WholeArgument(args[1]);
  const std::int64_t length = args.size() > 2 ? WholeArgument(args[2]) : -1;
  if (start <= 0 || (args.size() > 2 && length < 0)) {
    Fail(kInvalidProcedureCall);
  }
  if (args[0].IsNull()) {
    return Variant::Null();
  }
  const QString text = TextArgument(args[0]);
  if (start > text.size()) {
    return Variant::String(QString());
  }
  const qsizetype from = static_cast<qsizetype>(start - 1);
  const qsizetype available = text.size() - from;
  const qsizetype n =
      length < 0 ? available : static_cast<qsizetype>(std::min<std::int64_t>(length, available));
  context.ReserveText(n);
  return Variant::String(text.mid(from, n));
}

// Upper or lower case, as Qt maps each character (full mapping: ß becomes SS); a surrogate
// without its partner stays as it is. Qt makes room for each character that grows by moving the
// rest of the string, which is quadratic in a string full of them; mapping short pieces and
// joining them is linear. No mapping depends on the characters around it, so the pieces only
// have to keep surrogate pairs whole. The result fails as soon as it would pass the one-string
// limit, before the rest is mapped.
QString CaseMapped(QStringView text, bool upper, EvaluationContext& context) {
  constexpr qsizetype kPiece = 64;
  QString out;
  out.reserve(text.size());
  qsizetype start = 0;  // of the piece not yet mapped
  auto mapPiece = [&](qsizetype end) {
    if (end > start) {
      QString piece = text.sliced(start, end - start).toString();
      out.append(upper ? std::move(piece).toUpper() : std::move(piece).toLower());
    }
    start = end;
  };
  for (qsizetype i = 0; i < text.size();) {
    const bool pair =
        text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
    if (!pair && text[i].isSurrogate()) {
      // Qt would replace a lone surrogate after a changed character.
      mapPiece(i);
      out.append(text[i]);
      start = ++i;
    } else {
      i += pair ? 2 : 1;
      if (i - start >= kPiece) {
        mapPiece(i);
      }
    }
    if (out.size() > kMaxStringLength) {
      Fail(kOutOfStringSpace);
    }
  }
  mapPiece(text.size());
  if (out.size() > kMaxStringLength) {
    Fail(kOutOfStringSpace);
  }
  context.ReserveText(out.size());
  return out;
}

Variant Trimmed(const Variant& x, bool left, bool right, EvaluationContext& context) {
  if (x.IsNull()) {
    return Variant::Null();
  }
  const QString text = TextArgument(x);
  qsizetype begin = 0;
  qsizetype end = text.size();
  while (left && begin < end && text[begin] == QLatin1Char(' ')) {
    ++begin;
  }
  while (right && end > begin && text[end - 1] == QLatin1Char(' ')) {
    --end;
  }
  context.ReserveText(end - begin);
  return Variant::String(text.mid(begin, end - begin));
}

Variant InStr(std::span<const Variant> args) {
  // InStr(s1, s2) or InStr(start, s1, s2[, compare])
  std::int64_t start = 1;
  std::size_t first = 0;
  if (args.size() >= 3) {
    start = WholeArgument(args[0]);
    if (start < 1) {
      Fail(kInvalidProcedureCall);
    }
    first = 1;
  }
  const bool text = TextCompare(args, 3);
  const Variant& a = args[first];
  const Variant& b = args[first + 1];
  if (a.IsNull() || b.IsNull()) {
    return Variant::Null();
  }
  QString haystack = TextArgument(a);
  QString needle = TextArgument(b);
  if (start > haystack.size() || haystack.isEmpty()) {
    return Variant::Long(0);
  }
  if (needle.isEmpty()) {
    return Variant::Long(static_cast<std::int32_t>(start));
  }
  if (text) {
    haystack = haystack.toCaseFolded();
    needle = needle.toCaseFolded();
  }
  const qsizetype at = FindText(haystack, needle, static_cast<qsizetype>(start - 1));
  return Variant::Long(static_cast<std::int32_t>(at + 1));
}

QString Reversed(QStringView text) {
  QString out;
  out.reserve(text.size());
  for (qsizetype i = text.size(); i > 0;) {
    --i;
    // Keep surrogate pairs in their order.
    if (i > 0 && text[i].isLowSurrogate() && text[i - 1].isHighSurrogate()) {
      out.append(text[i - 1]);
      out.append(text[i]);
      --i;
    } else {
      out.append(text[i]);
    }
  }
  return out;
}

QString ReversedUnits(QStringView text) {
  QString out(text.size(), Qt::Uninitialized);
  std::reverse_copy(text.begin(), text.end(), out.begin());
  return out;
}

Variant InStrRev(std::span<const Variant> args) {
  // InStrRev(s1, s2[, start[, compare]])
  for (const Variant& x : args) {
    if (x.IsNull()) {
      Fail(kInvalidUseOfNull);
    }
  }
  const std::int64_t startArgument = args.size() > 2 ? WholeArgument(args[2]) : -1;
  if (startArgument == 0 || startArgument < -1) {
    Fail(kInvalidProcedureCall);
  }
  const bool text = TextCompare(args, 3);
  QString haystack = TextArgument(args[0]);
  QString needle = TextArgument(args[1]);
  const std::int64_t start = startArgument == -1 ? haystack.size() : startArgument;
  if (start > haystack.size() || haystack.isEmpty()) {
    return Variant::Long(0);
  }
  if (needle.isEmpty()) {
    return Variant::Long(static_cast<std::int32_t>(start));
  }
  if (text) {
    haystack = haystack.toCaseFolded();
    needle = needle.toCaseFolded();
  }
  // The last match ending at or before `start` is the first match of the reversed needle in the
  // reversed prefix.
  const QString backwards =
      ReversedUnits(QStringView(haystack).left(static_cast<qsizetype>(start)));
  const qsizetype at = FindText(backwards, ReversedUnits(needle), 0);
  if (at < 0) {
    return Variant::Long(0);
  }
  return Variant::Long(static_cast<std::int32_t>(start - at - needle.size() + 1));
}

Variant Repeated(std::span<const Variant> args, EvaluationContext& context) {
  const std::int64_t count = WholeArgument(args[0]);
  if (count < 0) {
    Fail(kInvalidProcedureCall);
  }
  const Variant& c = args[1];
  if (c.IsNull()) {
    return Variant::Null();
  }
  char16_t unit;
  if (c.IsString()) {
    if (c.text.isEmpty()) {
      Fail(kInvalidProcedureCall);
    }
    unit = c.text[0].unicode();
  } else {
    unit = CharacterOfCode(WholeArgument(c));
  }
  context.ReserveText(count);
  return Variant::String(QString(static_cast<qsizetype>(count), QChar(unit)));
}

Variant Spaces(const Variant& x, EvaluationContext& context) {
  const std::int64_t count = WholeArgument(x);
  if (count < 0) {
    Fail(kInvalidProcedureCall);
  }
  context.ReserveText(count);
  return Variant::String(QString(static_cast<qsizetype>(count), QLatin1Char(' ')));
}

Variant Replace(std::span<const Variant> args, EvaluationContext& context) {
  // Replace(s, find, with[, start[, count[, compare]]])
  for (const Variant& x : args) {
    if (x.IsNull()) {
      Fail(kInvalidUseOfNull);
    }
  }
  const std::int64_t start = args.size() > 3 ? WholeArgument(args[3]) : 1;
  const std::int64_t limit = args.size() > 4 ? WholeArgument(args[4]) : -1;
  if (start < 1 || limit < -1) {
    Fail(kInvalidProcedureCall);
  }
  const bool text = TextCompare(args, 5);
  const QString source = TextArgument(args[0]);
  const QString find = TextArgument(args[1]);
  const QString with = TextArgument(args[2]);
  if (start > source.size()) {
    return Variant::String(QString());
  }
  const QStringView rest = QStringView(source).mid(static_cast<qsizetype>(start - 1));
  if (find.isEmpty() || limit == 0) {
    return Made(rest.toString(), context);
  }
  const QString folded = text ? rest.toString().toCaseFolded() : QString();
  const QString foldedFind = text ? find.toCaseFolded() : QString();
  const QStringView haystack = text ? QStringView(folded) : rest;
  const QStringView needle = text ? QStringView(foldedFind) : QStringView(find);

  // First count the matches, so that an oversized result fails before it is built.
  const TextSearcher searcher(needle);
  auto nextMatch = [&](qsizetype from) { return searcher.FindIn(haystack, from); };
  std::int64_t matches = 0;
  for (qsizetype at = nextMatch(0); at >= 0 && (limit < 0 || matches < limit);
       at = nextMatch(at + needle.size())) {
    ++matches;
  }
  const std::int64_t length = rest.size() + matches * (with.size() - find.size());
  context.ReserveText(length);
  QString out;
  out.reserve(static_cast<qsizetype>(length));
  qsizetype copied = 0;
  for (qsizetype at = nextMatch(0); at >= 0 && matches > 0; at = nextMatch(at + needle.size())) {
    out.append(rest.mid(copied, at - copied));
    out.append(with);
    copied = at + find.size();
    --matches;
  }
  out.append(rest.mid(copied));
  return Variant::String(std::move(out));
}

Variant StrComp(std::span<const Variant> args) {
  const bool text = TextCompare(args, 2);
  if (args[0].IsNull() || args[1].IsNull()) {
    return Variant::Null();
  }
  const QString a = TextArgument(args[0]);
  const QString b = TextArgument(args[1]);
  const int c = text ? QString::compare(a.toCaseFolded(), b.toCaseFolded(), Qt::CaseSensitive)
                     : QString::compare(a, b, Qt::CaseSensitive);
  return Variant::Integer(static_cast<std::int16_t>(c < 0 ? -1 : c > 0 ? 1 : 0));
}

}  // namespace

Variant CallStringFunction(FunctionId id, std::span<const Variant> args,
                           EvaluationContext& context) {
  switch (id) {
    case FunctionId::kLen:
      if (args[0].IsNull()) {
        return Variant::Null();
      }
      return Variant::Long(static_cast<std::int32_t>(TextArgument(args[0]).size()));
    case FunctionId::kLeft:
    case FunctionId::kRight:
      return Slice(args, id, context);
    case FunctionId::kMid:
      return Mid(args, context);
    case FunctionId::kUCase:
    case FunctionId::kLCase:
      if (args[0].IsNull()) {
        return Variant::Null();
      }
      return Variant::String(CaseMapped(TextArgument(args[0]), id == FunctionId::kUCase, context));
    case FunctionId::kTrim:
      return Trimmed(args[0], true, true, context);
    case FunctionId::kLTrim:
      return Trimmed(args[0], true, false, context);
    case FunctionId::kRTrim:
      return Trimmed(args[0], false, true, context);
    case FunctionId::kInStr:
      return InStr(args);
    case FunctionId::kInStrRev:
      return InStrRev(args);
    case FunctionId::kString:
      return Repeated(args, context);
    case FunctionId::kSpace:
      return Spaces(args[0], context);
    case FunctionId::kStrReverse:
      return Made(Reversed(NonNullText(args[0])), context);
    case FunctionId::kReplace:
      return Replace(args, context);
    case FunctionId::kChr:
      return Variant::String(QString(QChar(CharacterOfCode(WholeArgument(args[0])))));
    case FunctionId::kChrW: {
      const std::int64_t code = WholeArgument(args[0]);
      if (code < -32768 || code > 65535) {
        Fail(kInvalidProcedureCall);
      }
      return Variant::String(QString(QChar(static_cast<char16_t>(code & 0xFFFF))));
    }
    case FunctionId::kAsc:
    case FunctionId::kAscW: {
      const QString text = NonNullText(args[0]);
      if (text.isEmpty()) {
        Fail(kInvalidProcedureCall);
      }
      const char16_t c = text[0].unicode();
      return Variant::Integer(id == FunctionId::kAsc ? CodeOfCharacter(c)
                                                     : static_cast<std::int16_t>(c));
    }
    case FunctionId::kStrComp:
      return StrComp(args);
    default:
      Fail(kTypeMismatch);
  }
}

}  // namespace vesko::script
