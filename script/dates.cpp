#include "script/dates.h"

#include "engine/locale_formats.h"
#include "script/characters.h"
#include "script/clock.h"
#include "script/conversions.h"
#include "script/errors.h"

#include <QTime>

#include <array>
#include <cmath>
#include <string_view>

namespace vesko::script {

namespace {

const std::int64_t kDayZeroJulian = QDate(1899, 12, 30).toJulianDay();

struct DateToken {
  enum Kind { kNumber, kWord, kSeparator } kind;
  int value = 0;     // number value, or the separator character
  int digits = 0;    // number of digits
  QStringView text;  // word text
};

constexpr std::array<std::string_view, 12> kMonths{"january",   "february", "march",    "april",
                                                   "may",       "june",     "july",     "august",
                                                   "september", "october",  "november", "december"};

// 1..12 for an English month name or its first three letters (any case), or for the user's
// locale's long or short month name; 0 otherwise.
int MonthOfWord(QStringView word, bool localeNames) {
  if (word.size() >= 3) {
    for (std::size_t m = 0; m < kMonths.size(); ++m) {
      const std::string_view name = kMonths[m];
      if (static_cast<std::size_t>(word.size()) > name.size()) {
        continue;
      }
      if (word.size() != 3 && static_cast<std::size_t>(word.size()) != name.size()) {
        continue;
      }
      bool same = true;
      for (qsizetype i = 0; i < word.size() && same; ++i) {
        same = AsciiLower(word[i].unicode()) ==
               static_cast<char16_t>(name[static_cast<std::size_t>(i)]);
      }
      if (same) {
        return static_cast<int>(m) + 1;
      }
    }
  }
  if (localeNames) {
    const QLocale locale = UserLocale();
    for (int m = 1; m <= 12; ++m) {
      if (word.compare(locale.monthName(m, QLocale::LongFormat), Qt::CaseInsensitive) == 0 ||
          word.compare(locale.monthName(m, QLocale::ShortFormat), Qt::CaseInsensitive) == 0) {
        return m;
      }
    }
  }
  return 0;
}

bool Tokenize(QStringView text, std::vector<DateToken>& tokens) {
  const qsizetype size = text.size();
  if (size > 200) {
    return false;  // no date text is that long
  }
  for (qsizetype i = 0; i < size;) {
    const QChar qc = text[i];
    const char16_t c = qc.unicode();
    if (IsSpaceOrTab(c)) {
      ++i;
      continue;
    }
    if (IsDigit(c)) {
      DateToken t{DateToken::kNumber, 0, 0, {}};
      qsizetype j = i;
      while (j < size && IsDigit(text[j].unicode())) {
        if (t.digits < 6) {
          t.value = t.value * 10 + (text[j].unicode() - u'0');
        }
        ++t.digits;
        ++j;
      }
      if (t.digits > 5) {
        return false;
      }
      tokens.push_back(t);
      i = j;
      continue;
    }
    if (c == u'/' || c == u'-' || c == u'.' || c == u',' || c == u':') {
      tokens.push_back({DateToken::kSeparator, c, 0, {}});
      ++i;
      continue;
    }
    if (qc.isLetter()) {
      qsizetype j = i;
      while (j < size && text[j].isLetter()) {
        ++j;
      }
      DateToken t{DateToken::kWord, 0, 0, {}};
      t.text = text.mid(i, j - i);
      tokens.push_back(t);
      i = j;
      continue;
    }
    return false;
  }
  return true;
}

int DaysInMonth(int year, int month) {
  return QDate(year, month, 1).daysInMonth();
}

int FullYear(int year, int digits) {
  if (digits <= 2) {
    return year < 30 ? 2000 + year : 1900 + year;
  }
  return year;
}

}  // namespace

QLocale UserLocale() {
  return QLocale();
}

Moment MomentOf(double serial) {
  const double whole = std::trunc(serial);
  Moment m;
  m.day = static_cast<std::int64_t>(whole);
  m.seconds = std::llround(std::fabs(serial - whole) * kSecondsPerDay);
  if (m.seconds >= kSecondsPerDay) {
    m.day += 1;
    m.seconds -= kSecondsPerDay;
  }
  return m;
}

double SerialOf(std::int64_t day, std::int64_t seconds) {
  std::int64_t total = day * kSecondsPerDay + seconds;
  std::int64_t d = total / kSecondsPerDay;
  std::int64_t s = total % kSecondsPerDay;
  if (s < 0) {
    s += kSecondsPerDay;
    --d;
  }
  const double fraction = static_cast<double>(s) / kSecondsPerDay;
  return d >= 0 ? static_cast<double>(d) + fraction : static_cast<double>(d) - fraction;
}

bool InDateRange(double serial) {
  return serial >= kFirstDate - 0.5 / kSecondsPerDay && serial < 2958466.0;
}

std::int64_t DayNumber(QDate date) {
  return date.toJulianDay() - kDayZeroJulian;
}

QDate DateOfDay(std::int64_t day) {
  return QDate::fromJulianDay(day + kDayZeroJulian);
}

int WeekdayOfDay(std::int64_t day) {
  // Day 0, 30 Dec 1899, was a Saturday.
  std::int64_t r = (day + 6) % 7;
  if (r < 0) {
    r += 7;
  }
  return static_cast<int>(r) + 1;
}

bool ParseDateText(QStringView text, DateOrder order, double& serial) {
  std::vector<DateToken> tokens;
  if (!Tokenize(text, tokens) || tokens.empty()) {
    return false;
  }
  // The time: "h:mm[:ss]" or "h" followed by AM/PM, with an optional AM/PM.
  bool haveTime = false;
  int hour = 0;
  int minute = 0;
  int second = 0;
  std::vector<DateToken> dateTokens;
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    const DateToken& t = tokens[i];
    const bool colonNext = i + 2 < tokens.size() && tokens[i + 1].kind == DateToken::kSeparator &&
                           tokens[i + 1].value == u':' && tokens[i + 2].kind == DateToken::kNumber;
    auto isMeridiem = [&](std::size_t k) {
      if (k >= tokens.size() || tokens[k].kind != DateToken::kWord) {
        return 0;
      }
      const QStringView w = tokens[k].text;
      if (w.compare(QLatin1String("AM"), Qt::CaseInsensitive) == 0 ||
          w.compare(QLatin1String("A"), Qt::CaseInsensitive) == 0) {
        return 1;
      }
      if (w.compare(QLatin1String("PM"), Qt::CaseInsensitive) == 0 ||
          w.compare(QLatin1String("P"), Qt::CaseInsensitive) == 0) {
        return 2;
      }
      return 0;
    };
    if (t.kind == DateToken::kNumber && !haveTime && (colonNext || isMeridiem(i + 1) != 0)) {
      haveTime = true;
      hour = t.value;
      std::size_t k = i + 1;
      if (colonNext) {
        minute = tokens[i + 2].value;
        k = i + 3;
        if (k + 1 < tokens.size() && tokens[k].kind == DateToken::kSeparator &&
            tokens[k].value == u':' && tokens[k + 1].kind == DateToken::kNumber) {
          second = tokens[k + 1].value;
          k += 2;
        }
      }
      const int meridiem = isMeridiem(k);
      if (meridiem != 0) {
        if (hour < 1 || hour > 12) {
          return false;
        }
        hour = hour % 12 + (meridiem == 2 ? 12 : 0);
        ++k;
      }
      if (hour > 23 || minute > 59 || second > 59) {
        return false;
      }
      i = k - 1;
      continue;
    }
    dateTokens.push_back(t);
  }

  // The date: numbers and at most one month name; separators between them.
  int numbers[3] = {0, 0, 0};
  int digits[3] = {0, 0, 0};
  int count = 0;
  int namedMonth = 0;
  int namedMonthPosition = -1;
  for (const DateToken& t : dateTokens) {
    if (t.kind == DateToken::kNumber) {
      if (count == 3) {
        return false;
      }
      numbers[count] = t.value;
      digits[count] = t.digits;
      ++count;
    } else if (t.kind == DateToken::kWord) {
      const int m = MonthOfWord(t.text, order == DateOrder::kUserLocale);
      if (m == 0 || namedMonth != 0) {
        return false;
      }
      namedMonth = m;
      namedMonthPosition = count;
    }
  }
  if (count == 0 && namedMonth == 0) {
    if (!haveTime) {
      return false;
    }
    serial = SerialOf(0, hour * 3600 + minute * 60 + second);
    return true;
  }
  int year = 0;
  int month = 0;
  int day = 0;
  int yearDigits = 4;
  const int currentYear = CurrentDateTime().date().year();
  if (namedMonth != 0) {
    month = namedMonth;
    if (count == 2) {
      // "Jan 2, 2003", "2 January 2003", "2003 Jan 2"
      if (digits[0] >= 3 && namedMonthPosition <= 1) {
        year = numbers[0];
        yearDigits = digits[0];
        day = numbers[1];
      } else {
        day = numbers[0];
        year = numbers[1];
        yearDigits = digits[1];
      }
    } else if (count == 1) {
      if (numbers[0] > 31 || digits[0] >= 3) {
        year = numbers[0];
        yearDigits = digits[0];
        day = 1;
      } else {
        day = numbers[0];
        year = currentYear;
      }
    } else {
      return false;
    }
  } else if (count == 3) {
    bool dayFirst = false;
    bool yearFirst = digits[0] >= 3;
    if (!yearFirst && order == DateOrder::kUserLocale) {
      const QString format = UserLocale().dateFormat(QLocale::ShortFormat);
      const qsizetype d = format.indexOf(u'd');
      const qsizetype m = format.indexOf(u'M');
      const qsizetype y = format.indexOf(u'y');
      yearFirst = y >= 0 && y < m && y < d;
      dayFirst = !yearFirst && d >= 0 && d < m;
      if (yearFirst && digits[2] >= 3) {
        yearFirst = false;  // "1/2/2003" under a year-first locale: still month/day/year
        dayFirst = false;
      }
    }
    if (yearFirst) {
      year = numbers[0];
      yearDigits = digits[0];
      month = numbers[1];
      day = numbers[2];
    } else {
      month = dayFirst ? numbers[1] : numbers[0];
      day = dayFirst ? numbers[0] : numbers[1];
      year = numbers[2];
      yearDigits = digits[2];
    }
    if (month > 12 && day <= 12) {
      std::swap(month, day);  // "13/1/2000": the only possible reading
    }
  } else if (count == 2) {
    if (digits[0] >= 3) {  // "2003/1"
      year = numbers[0];
      yearDigits = digits[0];
      month = numbers[1];
      day = 1;
    } else if (numbers[1] > 31 || digits[1] >= 3) {  // "1/2003"
      month = numbers[0];
      year = numbers[1];
      yearDigits = digits[1];
      day = 1;
    } else {  // "1/2": this year
      month = numbers[0];
      day = numbers[1];
      year = currentYear;
      if (month > 12 && day <= 12) {
        std::swap(month, day);
      }
    }
  } else {
    return false;
  }
  year = FullYear(year, yearDigits);
  if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1 ||
      day > DaysInMonth(year, month)) {
    return false;
  }
  const std::int64_t dayNumber = DayNumber(QDate(year, month, day));
  serial = SerialOf(dayNumber, haveTime ? hour * 3600 + minute * 60 + second : 0);
  return true;
}

namespace {

// The user's formats, built once per locale.
struct Formats {
  QString localeName;
  QString date;
  QString time;
};

const Formats& FormatsOf(const QLocale& locale) {
  static Formats cached;
  const QString name = locale.name();
  if (cached.localeName != name || cached.date.isEmpty()) {
    cached.localeName = name;
    cached.date = DateFormatWithFullYear(locale.dateFormat(QLocale::ShortFormat));
    cached.time = TimeFormatWithoutZone(locale.timeFormat(QLocale::LongFormat));
  }
  return cached;
}

}  // namespace

QString ShortDateText(double serial, const QLocale& locale) {
  return locale.toString(DateOfDay(MomentOf(serial).day), FormatsOf(locale).date);
}

QString LongTimeText(double serial, const QLocale& locale) {
  const QTime time =
      QTime::fromMSecsSinceStartOfDay(static_cast<int>(MomentOf(serial).seconds * 1000));
  return locale.toString(time, FormatsOf(locale).time);
}

QString DateText(double serial) {
  const QLocale locale = UserLocale();
  const Moment m = MomentOf(serial);
  if (m.day == 0) {
    return LongTimeText(serial, locale);
  }
  if (m.seconds == 0) {
    return ShortDateText(serial, locale);
  }
  return ShortDateText(serial, locale) + QLatin1Char(' ') + LongTimeText(serial, locale);
}

double CheckedDate(double serial) {
  if (!std::isfinite(serial) || !InDateRange(serial)) {
    Fail(kOverflow);
  }
  return serial;
}

double ToDateSerial(const Variant& value) {
  switch (value.type) {
    case Subtype::kDate:
      return value.real;
    case Subtype::kEmpty:
      return 0.0;
    case Subtype::kString: {
      double serial = 0;
      if (!ParseDateText(value.text, DateOrder::kUserLocale, serial)) {
        Fail(kTypeMismatch);
      }
      return serial;
    }
    case Subtype::kNull:
      Fail(kInvalidUseOfNull);
    case Subtype::kObject:
      Fail(kObjectVariableNotSet);
    case Subtype::kArray:
    case Subtype::kMissing:
      Fail(kTypeMismatch);
    case Subtype::kBoolean:
    case Subtype::kByte:
    case Subtype::kInteger:
    case Subtype::kLong:
    case Subtype::kSingle:
    case Subtype::kDouble:
    case Subtype::kCurrency:
      break;
  }
  return CheckedDate(ToDouble(value));
}

}  // namespace vesko::script
