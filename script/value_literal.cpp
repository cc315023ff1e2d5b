#include "script/value_literal.h"

#include "engine/normalizer.h"
#include "script/dates.h"

#include <array>
#include <charconv>
#include <cstdint>

namespace vesko::script {

namespace {

// Whether the calculator's input folding leaves `piece` as it is.
bool SurvivesFolding(const QString& piece) {
  return EvaluationForm(piece) == piece;
}

// Appends `value` in decimal, with leading zeros up to `width` digits.
void AppendNumber(QString& out, std::int64_t value, int width = 1) {
  std::array<char, 16> digits{};
  const char* end = std::to_chars(digits.data(), digits.data() + digits.size(), value).ptr;
  for (auto length = end - digits.data(); length < width; ++length) {
    out += u'0';
  }
  out += QLatin1String(digits.data(), end);
}

// #month/day/year hours:minutes:seconds#, leaving out what is zero: the time at midnight, the
// day on day 0.
QString DateLiteral(double serial) {
  const Moment moment = MomentOf(serial);
  QString out;
  out.reserve(24);
  out += u'#';
  if (moment.day != 0 || moment.seconds == 0) {
    const QDate date = DateOfDay(moment.day);
    AppendNumber(out, date.month());
    out += u'/';
    AppendNumber(out, date.day());
    out += u'/';
    AppendNumber(out, date.year(), 4);
  }
  if (moment.seconds != 0) {
    if (moment.day != 0) {
      out += u' ';
    }
    AppendNumber(out, moment.seconds / 3600);
    out += u':';
    AppendNumber(out, moment.seconds / 60 % 60, 2);
    out += u':';
    AppendNumber(out, moment.seconds % 60, 2);
  }
  out += u'#';
  return out;
}

// Characters a string literal cannot hold as they are: line breaks end the literal, and the
// input folding drops carriage returns and turns full-width forms into ASCII ones.
bool NeedsCode(QChar c) {
  return c == u'\n' || c == u'\r' || c == u'\0' || !SurvivesFolding(QString(c));
}

// The slow path for a string that folding would change: such characters are written as ChrW
// calls and pairs that folding would replace (pi, pe, **) are split between two literals.
QString GuardedStringLiteral(const QString& text) {
  QString out;
  bool open = false;
  QChar last;
  for (const QChar c : text) {
    if (NeedsCode(c)) {
      out += open ? QStringLiteral("\"&") : (out.isEmpty() ? QString() : QStringLiteral("&"));
      out += QStringLiteral("ChrW(%1)").arg(c.unicode());
      open = false;
      last = QChar();
      continue;
    }
    if (open && !SurvivesFolding(QString(last) + c)) {
      out += QStringLiteral("\"&\"");
    } else if (!open) {
      out += out.isEmpty() ? QStringLiteral("\"") : QStringLiteral("&\"");
      open = true;
    }
    out += c;
    if (c == u'"') {
      out += u'"';
    }
    last = c;
  }
  if (open) {
    out += u'"';
  }
  return out.isEmpty() ? QStringLiteral("\"\"") : out;
}

}  // namespace

QString StringLiteral(const QString& text) {
  if (text.contains(u'\n') || text.contains(u'\0') || !SurvivesFolding(text)) {
    return GuardedStringLiteral(text);
  }
  // Quotes inside are doubled; the text between them is copied in whole pieces.
  QString out;
  out.reserve(text.size() + text.count(u'"') + 2);
  out += u'"';
  qsizetype from = 0;
  for (qsizetype quote = text.indexOf(u'"'); quote >= 0; quote = text.indexOf(u'"', from)) {
    out += QStringView(text).sliced(from, quote + 1 - from);
    out += u'"';
    from = quote + 1;
  }
  out += QStringView(text).sliced(from);
  out += u'"';
  return out;
}

QString LiteralOf(const Variant& value, const QString& text) {
  switch (value.type) {
    case Subtype::kEmpty:
      return QStringLiteral("Empty");
    case Subtype::kString:
      return StringLiteral(value.text);
    case Subtype::kDate:
      return DateLiteral(value.real);
    case Subtype::kArray:
    case Subtype::kMissing:
      return QString();
    default:
      // Numbers, Booleans, Null and Nothing read back from their text.
      return text;
  }
}

}  // namespace vesko::script
