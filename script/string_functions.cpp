#include "script/conversions.h"
#include "script/errors.h"
#include "script/library.h"
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

Variant Slice(Arguments args, bool left, EvaluationContext& context) {
  const std::int64_t count = ToRoundedLong(args[1]);
  if (count < 0) {
    Fail(kInvalidProcedureCall);
  }
  if (args[0].IsNull()) {
    return Variant::Null();
  }
  const QString text = TextOfArgument(args[0]);
  const qsizetype n = static_cast<qsizetype>(std::min<std::int64_t>(count, text.size()));
  context.ReserveText(n);
  return Variant::String(left ? text.left(n) : text.right(n));
}

Variant MidOf(Arguments args, EvaluationContext& context) {
  // Null in the start or length is found before either is converted.
  if (args[1].IsNull() || (Given(args, 2) && args[2].IsNull())) {
    Fail(kInvalidUseOfNull);
  }
  const std::int64_t start = ToRoundedLong(args[1]);
  const std::int64_t length = Given(args, 2) ? ToRoundedLong(args[2]) : -1;
  if (start <= 0 || (Given(args, 2) && length < 0)) {
    Fail(kInvalidProcedureCall);
  }
  if (args[0].IsNull()) {
    return Variant::Null();
  }
  const QString text = TextOfArgument(args[0]);
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
  const QString text = TextOfArgument(x);
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

Variant InStrOf(Arguments args) {
  // InStr(s1, s2) or InStr(start, s1, s2[, compare])
  std::int64_t start = 1;
  std::size_t first = 0;
  if (args.size() >= 3) {
    if (Given(args, 0)) {
      start = ToRoundedLong(args[0]);
    }
    if (start < 1) {
      Fail(kInvalidProcedureCall);
    }
    first = 1;
  }
  const bool text = TextCompareArgument(args, 3);
  const Variant& a = args[first];
  const Variant& b = args[first + 1];
  if (a.IsNull() || b.IsNull()) {
    return Variant::Null();
  }
  QString haystack = TextOfArgument(a);
  QString needle = TextOfArgument(b);
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

Variant InStrRevOf(Arguments args) {
  // InStrRev(s1, s2[, start[, compare]])
  for (const Variant& x : args) {
    if (x.IsNull()) {
      Fail(kInvalidUseOfNull);
    }
  }
  const std::int64_t startArgument = Given(args, 2) ? ToRoundedLong(args[2]) : -1;
  if (startArgument == 0 || startArgument < -1) {
    Fail(kInvalidProcedureCall);
  }
  const bool text = TextCompareArgument(args, 3);
  QString haystack = TextOfArgument(args[0]);
  QString needle = TextOfArgument(args[1]);
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

Variant Repeated(Arguments args, EvaluationContext& context) {
  const std::int64_t count = ToRoundedLong(args[0]);
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
    unit = CharacterOfCode(ToRoundedLong(c));
  }
  context.ReserveText(count);
  return Variant::String(QString(static_cast<qsizetype>(count), QChar(unit)));
}

Variant Spaces(const Variant& x, EvaluationContext& context) {
  const std::int64_t count = ToRoundedLong(x);
  if (count < 0) {
    Fail(kInvalidProcedureCall);
  }
  context.ReserveText(count);
  return Variant::String(QString(static_cast<qsizetype>(count), QLatin1Char(' ')));
}

Variant ReplaceOf(Arguments args, EvaluationContext& context) {
  // Replace(s, find, with[, start[, count[, compare]]])
  for (const Variant& x : args) {
    if (x.IsNull()) {
      Fail(kInvalidUseOfNull);
    }
  }
  const std::int64_t start = Given(args, 3) ? ToRoundedLong(args[3]) : 1;
  const std::int64_t limit = Given(args, 4) ? ToRoundedLong(args[4]) : -1;
  if (start < 1 || limit < -1) {
    Fail(kInvalidProcedureCall);
  }
  const bool text = TextCompareArgument(args, 5);
  const QString source = TextOfArgument(args[0]);
  const QString find = TextOfArgument(args[1]);
  const QString with = TextOfArgument(args[2]);
  if (start > source.size()) {
    return Variant::String(QString());
  }
  const QStringView rest = QStringView(source).mid(static_cast<qsizetype>(start - 1));
  if (find.isEmpty() || limit == 0) {
    return MadeText(rest.toString(), context);
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

Variant StrCompOf(Arguments args) {
  const bool text = TextCompareArgument(args, 2);
  if (args[0].IsNull() || args[1].IsNull()) {
    return Variant::Null();
  }
  const QString a = TextOfArgument(args[0]);
  const QString b = TextOfArgument(args[1]);
  const int c = text ? QString::compare(a.toCaseFolded(), b.toCaseFolded(), Qt::CaseSensitive)
                     : QString::compare(a, b, Qt::CaseSensitive);
  return Variant::Integer(static_cast<std::int16_t>(c < 0 ? -1 : c > 0 ? 1 : 0));
}

}  // namespace

namespace builtin {

Variant Len(Arguments args, EvaluationContext&) {
  if (args[0].IsNull()) {
    return Variant::Null();
  }
  return Variant::Long(static_cast<std::int32_t>(TextOfArgument(args[0]).size()));
}
Variant Left(Arguments args, EvaluationContext& context) {
  return Slice(args, true, context);
}
Variant Right(Arguments args, EvaluationContext& context) {
  return Slice(args, false, context);
}
Variant Mid(Arguments args, EvaluationContext& context) {
  return MidOf(args, context);
}
Variant UCase(Arguments args, EvaluationContext& context) {
  if (args[0].IsNull()) {
    return Variant::Null();
  }
  return Variant::String(CaseMapped(TextOfArgument(args[0]), true, context));
}
Variant LCase(Arguments args, EvaluationContext& context) {
  if (args[0].IsNull()) {
    return Variant::Null();
  }
  return Variant::String(CaseMapped(TextOfArgument(args[0]), false, context));
}
Variant Trim(Arguments args, EvaluationContext& context) {
  return Trimmed(args[0], true, true, context);
}
Variant LTrim(Arguments args, EvaluationContext& context) {
  return Trimmed(args[0], true, false, context);
}
Variant RTrim(Arguments args, EvaluationContext& context) {
  return Trimmed(args[0], false, true, context);
}
Variant InStr(Arguments args, EvaluationContext&) {
  return InStrOf(args);
}
Variant InStrRev(Arguments args, EvaluationContext&) {
  return InStrRevOf(args);
}
Variant String(Arguments args, EvaluationContext& context) {
  return Repeated(args, context);
}
Variant Space(Arguments args, EvaluationContext& context) {
  return Spaces(args[0], context);
}
Variant StrReverse(Arguments args, EvaluationContext& context) {
  return MadeText(Reversed(NonNullText(args[0])), context);
}
Variant Replace(Arguments args, EvaluationContext& context) {
  return ReplaceOf(args, context);
}
Variant Chr(Arguments args, EvaluationContext&) {
  return Variant::String(QString(QChar(CharacterOfCode(ToRoundedLong(args[0])))));
}
Variant ChrW(Arguments args, EvaluationContext&) {
  const std::int64_t code = ToRoundedLong(args[0]);
  if (code < -32768 || code > 65535) {
    Fail(kInvalidProcedureCall);
  }
  return Variant::String(QString(QChar(static_cast<char16_t>(code & 0xFFFF))));
}
Variant Asc(Arguments args, EvaluationContext&) {
  const QString text = NonNullText(args[0]);
  if (text.isEmpty()) {
    Fail(kInvalidProcedureCall);
  }
  return Variant::Integer(CodeOfCharacter(text[0].unicode()));
}
Variant AscW(Arguments args, EvaluationContext&) {
  const QString text = NonNullText(args[0]);
  if (text.isEmpty()) {
    Fail(kInvalidProcedureCall);
  }
  return Variant::Integer(static_cast<std::int16_t>(text[0].unicode()));
}
Variant StrComp(Arguments args, EvaluationContext&) {
  return StrCompOf(args);
}

}  // namespace builtin

}  // namespace vesko::script
