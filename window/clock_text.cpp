#include "window/clock_text.h"

namespace vesko {
namespace {

constexpr QChar kQuote = u'\'';

bool IsSeparatorBeforeZone(QChar c) {
  return c.isSpace() || c == u',' || c == u'，' || c == u'(' || c == u'[' || c == u'{' ||
         c == u'（' || c == u'【';
}

bool IsSeparatorAfterZone(QChar c) {
  return c.isSpace() || c == u')' || c == u']' || c == u'}' || c == u'）' || c == u'】';
}

// Index of the first 't' outside quoted literals, or -1. A quoted literal runs from one quote to
// the next; a doubled quote (a literal quote character) toggles twice, which is harmless.
qsizetype FindZoneField(const QString& format) {
  bool quoted = false;
  for (qsizetype i = 0; i < format.size(); ++i) {
    if (format[i] == kQuote) {
      quoted = !quoted;
    } else if (!quoted && format[i] == u't') {
      return i;
    }
  }
  return -1;
}

}  // namespace

QString TimeFormatWithoutZone(const QString& longTimeFormat) {
  QString format = longTimeFormat;
  for (qsizetype start = FindZoneField(format); start >= 0; start = FindZoneField(format)) {
    qsizetype end = start;
    while (end < format.size() && format[end] == u't') {
      ++end;
    }
    QString before = format.left(start);
    QString after = format.mid(end);
    while (!before.isEmpty() && IsSeparatorBeforeZone(before.back())) {
      before.chop(1);
    }
    while (!after.isEmpty() && IsSeparatorAfterZone(after.front())) {
      after.remove(0, 1);
    }
    if (!before.isEmpty() && !after.isEmpty()) {
      before += u' ';
    }
    format = before + after;
  }
  return format;
}

QString ClockText(QTime time, const QLocale& locale) {
  const QString format = TimeFormatWithoutZone(locale.timeFormat(QLocale::LongFormat));
  return QStringLiteral("时间：") + locale.toString(time, format);
}

}  // namespace vesko
