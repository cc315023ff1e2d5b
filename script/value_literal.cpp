#include "script/value_literal.h"

#include "engine/normalizer.h"
#include "script/dates.h"
#include "script/number_text.h"

namespace vesko::script {

namespace {

// Whether the calculator's input folding leaves `piece` as it is.
bool SurvivesFolding(const QString& piece) {
  return EvaluationForm(piece) == piece;
}

QString DateLiteral(double serial) {
  const Moment moment = MomentOf(serial);
  const QDate date = DateOfDay(moment.day);
  const QString day = QStringLiteral("%1/%2/%3")
                          .arg(date.month())
                          .arg(date.day())
                          .arg(date.year(), 4, 10, QLatin1Char('0'));
  const QString time = QStringLiteral("%1:%2:%3")
                           .arg(moment.seconds / 3600)
                           .arg(moment.seconds / 60 % 60, 2, 10, QLatin1Char('0'))
                           .arg(moment.seconds % 60, 2, 10, QLatin1Char('0'));
  // The date's text leaves out what is zero: the time at midnight, the day on day 0.
  if (moment.seconds == 0) {
    return u'#' + day + u'#';
  }
  if (moment.day == 0) {
    return u'#' + time + u'#';
  }
  return u'#' + day + u' ' + time + u'#';
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
  QString out;
  out.reserve(text.size() + 2);
  out += u'"';
  for (const QChar c : text) {
    out += c;
    if (c == u'"') {
      out += u'"';
    }
  }
  out += u'"';
  return out;
}

QString LiteralOf(const Variant& value) {
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
      return DisplayText(value);
  }
}

}  // namespace vesko::script
