#include "engine/locale_formats.h"

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

// Index of the first `letter` at or after `from` outside quoted literals, or -1. A quoted
// literal runs from one quote to the next; a doubled quote (a literal quote character) toggles
// twice, which is harmless.
qsizetype FindField(const QString& format, QChar letter, qsizetype from = 0) {
  bool quoted = false;
  for (qsizetype i = 0; i < format.size(); ++i) {
    if (format[i] == kQuote) {
      quoted = !quoted;
    } else if (!quoted && i >= from && format[i] == letter) {
      return i;
    }
  }
  return -1;
}

qsizetype FindZoneField(const QString& format) {
  return FindField(format, u't');
}

// The end of the run of `letter` starting at `start`.
qsizetype RunEnd(const QString& format, qsizetype start, QChar letter) {
  qsizetype end = start;
  while (end < format.size() && format[end] == letter) {
    ++end;
  }
  return end;
}

}  // namespace

QString TimeFormatWithoutZone(const QString& longTimeFormat) {
  QString format = longTimeFormat;
  for (qsizetype start = FindZoneField(format); start >= 0; start = FindZoneField(format)) {
    const qsizetype end = RunEnd(format, start, u't');
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

QString DateFormatWithFullYear(const QString& shortDateFormat) {
  QString format = shortDateFormat;
  for (qsizetype start = FindField(format, u'y'); start >= 0;
       start = FindField(format, u'y', start + 4)) {
    const qsizetype end = RunEnd(format, start, u'y');
    if (end - start < 4) {
      format.replace(start, end - start, QStringLiteral("yyyy"));
    }
    if (end - start > 4) {
      start = end - 4;  // continue after this run
    }
  }
  return format;
}

}  // namespace vesko
