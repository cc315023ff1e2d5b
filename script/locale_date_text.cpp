#include "script/locale_date_text.h"

#include <QStringList>

#include <vector>

namespace vesko::script {

namespace {

// One piece of a Qt date/time format: a field (a run of one pattern letter) or literal text.
struct FormatField {
  char16_t letter = 0;  // 0 for literal text
  int count = 0;
  QString literal;  // the literal text, or the field's letters
};

bool IsPatternLetter(QChar c) {
  return QStringView(u"dMyhHmszaAt").contains(c);
}

void AppendLiteral(std::vector<FormatField>& fields, QStringView text) {
  if (fields.empty() || fields.back().letter != 0) {
    fields.push_back({});
  }
  fields.back().literal += text;
}

// The end of a quoted literal starting at `start` (a quote), appending its text; "''" is a quote.
qsizetype ReadQuoted(QStringView format, qsizetype start, std::vector<FormatField>& fields) {
  if (start + 1 < format.size() && format[start + 1] == u'\'') {
    AppendLiteral(fields, u"'");
    return start + 2;
  }
  qsizetype end = start + 1;
  while (end < format.size() && format[end] != u'\'') {
    ++end;
  }
  AppendLiteral(fields, format.mid(start + 1, end - start - 1));
  return end + 1;
}

std::vector<FormatField> SplitFormat(QStringView format) {
  std::vector<FormatField> fields;
  for (qsizetype i = 0; i < format.size();) {
    const QChar c = format[i];
    if (c == u'\'') {
      i = ReadQuoted(format, i, fields);
      continue;
    }
    if (!IsPatternLetter(c)) {
      AppendLiteral(fields, format.mid(i, 1));
      ++i;
      continue;
    }
    qsizetype end = i + 1;
    while (end < format.size() && format[end] == c) {
      ++end;
    }
    // "AP"/"ap" is one AM/PM field.
    if ((c == u'a' || c == u'A') && end < format.size() &&
        (format[end] == u'p' || format[end] == u'P')) {
      ++end;
    }
    fields.push_back({c.unicode(), static_cast<int>(end - i), format.mid(i, end - i).toString()});
    i = end;
  }
  return fields;
}

// A reading position in the text.
struct Cursor {
  QStringView text;
  qsizetype pos = 0;
};

// The code point at the cursor and how many UTF-16 units it takes.
char32_t CodePointAt(const Cursor& c, int& width) {
  const QChar first = c.text[c.pos];
  if (first.isHighSurrogate() && c.pos + 1 < c.text.size() && c.text[c.pos + 1].isLowSurrogate()) {
    width = 2;
    return QChar::surrogateToUcs4(first, c.text[c.pos + 1]);
  }
  width = 1;
  return first.unicode();
}

// Up to `maxDigits` decimal digits of any script.
bool ReadNumber(Cursor& c, int maxDigits, int& value, int& digits) {
  value = 0;
  digits = 0;
  while (c.pos < c.text.size() && digits < maxDigits) {
    int width = 1;
    const char32_t code = CodePointAt(c, width);
    if (QChar::category(code) != QChar::Number_DecimalDigit) {
      break;
    }
    const int digit = QChar::digitValue(code);
    value = value * 10 + digit;
    ++digits;
    c.pos += width;
  }
  return digits > 0;
}

void SkipBlanks(Cursor& c) {
  while (c.pos < c.text.size() && c.text[c.pos].isSpace()) {
    ++c.pos;
  }
}

bool ReadLiteral(Cursor& c, QStringView literal) {
  for (qsizetype i = 0; i < literal.size(); ++i) {
    if (literal[i].isSpace()) {
      if (c.pos >= c.text.size() || !c.text[c.pos].isSpace()) {
        return false;
      }
      SkipBlanks(c);
      while (i + 1 < literal.size() && literal[i + 1].isSpace()) {
        ++i;
      }
      continue;
    }
    if (c.pos >= c.text.size() || c.text[c.pos] != literal[i]) {
      return false;
    }
    ++c.pos;
  }
  return true;
}

// The index of the longest of `names` the text continues with (any case), or -1.
int ReadName(Cursor& c, const QStringList& names) {
  int best = -1;
  qsizetype bestSize = 0;
  const QStringView rest = c.text.mid(c.pos);
  for (int i = 0; i < names.size(); ++i) {
    const QString& name = names[i];
    if (name.size() > bestSize && rest.startsWith(name, Qt::CaseInsensitive)) {
      best = i;
      bestSize = name.size();
    }
  }
  c.pos += bestSize;
  return best;
}

QStringList MonthNames(const QLocale& locale, QLocale::FormatType type) {
  QStringList names;
  for (int m = 1; m <= 12; ++m) {
    names << locale.monthName(m, type) << locale.standaloneMonthName(m, type);
  }
  return names;  // month m at 2(m-1) and 2(m-1)+1
}

QStringList DayNames(const QLocale& locale) {
  QStringList names;
  for (int d = 1; d <= 7; ++d) {
    names << locale.dayName(d, QLocale::LongFormat) << locale.dayName(d, QLocale::ShortFormat)
          << locale.standaloneDayName(d, QLocale::LongFormat)
          << locale.standaloneDayName(d, QLocale::ShortFormat);
  }
  return names;
}

bool ReadMonthField(Cursor& c, int count, const QLocale& locale, DateTimeParts& parts) {
  if (count <= 2) {
    int digits = 0;
    return ReadNumber(c, 2, parts.month, digits);
  }
  const int index =
      ReadName(c, MonthNames(locale, count == 3 ? QLocale::ShortFormat : QLocale::LongFormat));
  parts.month = index < 0 ? -1 : index / 2 + 1;
  return index >= 0;
}

bool ReadDayField(Cursor& c, int count, const QLocale& locale, DateTimeParts& parts) {
  if (count <= 2) {
    int digits = 0;
    return ReadNumber(c, 2, parts.day, digits);
  }
  return ReadName(c, DayNames(locale)) >= 0;  // the weekday follows from the date
}

bool ReadMeridiemField(Cursor& c, const QLocale& locale, DateTimeParts& parts) {
  const int index = ReadName(c, {locale.amText(), locale.pmText()});
  parts.meridiem = index == 0 ? Meridiem::kAm : Meridiem::kPm;
  return index >= 0;
}

bool ReadField(Cursor& c, const FormatField& field, const QLocale& locale, DateTimeParts& parts) {
  int digits = 0;
  int ignored = 0;
  switch (field.letter) {
    case 0:
      return ReadLiteral(c, field.literal);
    case u'y':
      return ReadNumber(c, field.count == 2 ? 2 : 4, parts.year, parts.yearDigits);
    case u'M':
      return ReadMonthField(c, field.count, locale, parts);
    case u'd':
      return ReadDayField(c, field.count, locale, parts);
    case u'h':
    case u'H':
      return ReadNumber(c, 2, parts.hour, digits);
    case u'm':
      return ReadNumber(c, 2, parts.minute, digits);
    case u's':
      return ReadNumber(c, 2, parts.second, digits);
    case u'z':
      return ReadNumber(c, 3, ignored, digits);
    case u'a':
    case u'A':
      return ReadMeridiemField(c, locale, parts);
    default:
      return false;  // a zone: the formats read here have none
  }
}

}  // namespace

bool ReadWithFormat(QStringView text, QStringView format, const QLocale& locale,
                    DateTimeParts& parts) {
  Cursor c{text.trimmed(), 0};
  for (const FormatField& field : SplitFormat(format)) {
    if (!ReadField(c, field, locale, parts)) {
      return false;
    }
  }
  return c.pos == c.text.size();
}

QString FormatWithYearText(QStringView format, int year, const QLocale& locale) {
  QLocale plain = locale;
  plain.setNumberOptions(QLocale::OmitGroupSeparator);
  const QString yearText = plain.toString(year);
  // Literal text (the year among it) is written as one quoted run: two quoted runs side by side
  // would read as a quote character.
  QString result;
  QString pending;
  const auto flush = [&] {
    if (!pending.isEmpty()) {
      result += QLatin1Char('\'') + pending.replace(QLatin1Char('\''), QStringLiteral("''")) +
                QLatin1Char('\'');
      pending.clear();
    }
  };
  for (const FormatField& field : SplitFormat(format)) {
    if (field.letter == u'y' || field.letter == 0) {
      pending += field.letter == u'y' ? yearText : field.literal;
    } else {
      flush();
      result += field.literal;
    }
  }
  flush();
  return result;
}

}  // namespace vesko::script
