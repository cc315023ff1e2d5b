#include "script/dates.h"

#include "engine/locale_formats.h"
#include "script/characters.h"
#include "script/clock.h"
#include "script/conversions.h"
#include "script/errors.h"
#include "script/locale_date_text.h"

#include <QTime>

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>
#include <vector>

namespace vesko::script {

namespace {
const std::int64_t kDayZeroJulian = QDate(1899, 12, 30).toJulianDay();
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

namespace {

// A piece of a date text: a number, a word, a run of blanks or one punctuation mark.
struct DateToken {
  enum Kind { kNumber, kWord, kBlank, kMark } kind;
  int value = 0;     // the number, or the mark character
  int digits = 0;    // how many digits the number has
  QStringView text;  // the word
};

// What the reader knows of the locale a text is read in.
struct ReaderRules {
  QLocale locale;
  bool localeNames = false;       // the locale's month names and AM/PM texts count
  bool dotSeparatesDate = false;  // "." separates a date's fields, not a time's
  std::array<char, 3> order{};    // 'M', 'd', 'y' in the order the locale writes them
};

std::array<char, 3> OrderOfFormat(const QString& format) {
  std::array<std::pair<qsizetype, char>, 3> positions{
      {{format.indexOf(u'M'), 'M'}, {format.indexOf(u'd'), 'd'}, {format.indexOf(u'y'), 'y'}}};
  std::sort(positions.begin(), positions.end());
  return {positions[0].second, positions[1].second, positions[2].second};
}

ReaderRules RulesFor(DateOrder order) {
  ReaderRules rules;
  if (order == DateOrder::kUnitedStates) {
    rules.locale = QLocale(QLocale::English, QLocale::UnitedStates);
    rules.order = {'M', 'd', 'y'};
    return rules;
  }
  rules.locale = UserLocale();
  rules.localeNames = true;
  const QString format = rules.locale.dateFormat(QLocale::ShortFormat);
  rules.dotSeparatesDate = format.contains(u'.');
  rules.order = OrderOfFormat(format);
  return rules;
}

constexpr std::array<std::string_view, 12> kMonths{"january",   "february", "march",    "april",
                                                   "may",       "june",     "july",     "august",
                                                   "september", "october",  "november", "december"};

// An English month name or its first three letters, in any case.
bool IsEnglishMonth(QStringView word, std::string_view name) {
  const auto size = static_cast<std::size_t>(word.size());
  if (size != 3 && size != name.size()) {
    return false;
  }
  for (std::size_t i = 0; i < size; ++i) {
    if (AsciiLower(word[static_cast<qsizetype>(i)].unicode()) != static_cast<char16_t>(name[i])) {
      return false;
    }
  }
  return true;
}

// 1..12 for an English month name, or for the locale's long or short month name; 0 otherwise.
int MonthOfWord(QStringView word, const ReaderRules& rules) {
  for (std::size_t m = 0; m < kMonths.size(); ++m) {
    if (IsEnglishMonth(word, kMonths[m])) {
      return static_cast<int>(m) + 1;
    }
  }
  for (int m = 1; rules.localeNames && m <= 12; ++m) {
    if (word.compare(rules.locale.monthName(m, QLocale::LongFormat), Qt::CaseInsensitive) == 0 ||
        word.compare(rules.locale.monthName(m, QLocale::ShortFormat), Qt::CaseInsensitive) == 0) {
      return m;
    }
  }
  return 0;
}

bool IsWord(QStringView word, QStringView a, QStringView b) {
  return word.compare(a, Qt::CaseInsensitive) == 0 || word.compare(b, Qt::CaseInsensitive) == 0;
}

Meridiem MeridiemOfWord(QStringView word, const ReaderRules& rules) {
  if (IsWord(word, u"AM", u"A") || (rules.localeNames && IsWord(word, rules.locale.amText(), {}))) {
    return Meridiem::kAm;
  }
  if (IsWord(word, u"PM", u"P") || (rules.localeNames && IsWord(word, rules.locale.pmText(), {}))) {
    return Meridiem::kPm;
  }
  return Meridiem::kNone;
}

// ---- Splitting the text into tokens ----

bool IsMark(char16_t c) {
  return c == u'/' || c == u'-' || c == u'.' || c == u',' || c == u':';
}

// Decimal digits of any script (a date text may be written in the locale's own digits).
int DigitAt(QStringView text, qsizetype i, int& width) {
  width = 1;
  char32_t code = text[i].unicode();
  if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
    code = QChar::surrogateToUcs4(text[i], text[i + 1]);
    width = 2;
  }
  return QChar::category(code) == QChar::Number_DecimalDigit ? QChar::digitValue(code) : -1;
}

// A run of digits at `i`; false when it has more than five (no date field is that long).
bool ReadNumberToken(QStringView text, qsizetype& i, DateToken& token) {
  token = {DateToken::kNumber, 0, 0, {}};
  int width = 1;
  for (int digit = DigitAt(text, i, width); digit >= 0;) {
    token.value = token.value * 10 + digit;
    ++token.digits;
    i += width;
    if (token.digits > 5) {
      return false;
    }
    digit = i < text.size() ? DigitAt(text, i, width) : -1;
  }
  return true;
}

bool IsWordCharacter(QChar c) {
  return c.isLetter() || c.isMark();
}

// The tokens of `text`, or false when it holds a character no date text has.
bool Tokenize(QStringView text, std::vector<DateToken>& tokens) {
  for (qsizetype i = 0; i < text.size();) {
    const QChar c = text[i];
    int width = 1;
    DateToken token{DateToken::kBlank, 0, 0, {}};
    if (c.isSpace()) {
      while (i < text.size() && text[i].isSpace()) {
        ++i;
      }
    } else if (DigitAt(text, i, width) >= 0) {
      if (!ReadNumberToken(text, i, token)) {
        return false;
      }
    } else if (IsMark(c.unicode())) {
      token = {DateToken::kMark, c.unicode(), 0, {}};
      ++i;
    } else if (IsWordCharacter(c)) {
      const qsizetype start = i;
      while (i < text.size() && IsWordCharacter(text[i])) {
        ++i;
      }
      token = {DateToken::kWord, 0, 0, text.mid(start, i - start)};
    } else {
      return false;
    }
    tokens.push_back(token);
  }
  return true;
}

// ---- Reading the tokens ----

struct TokenCursor {
  const std::vector<DateToken>& tokens;
  std::size_t pos = 0;

  const DateToken* At(std::size_t offset = 0) const {
    return pos + offset < tokens.size() ? &tokens[pos + offset] : nullptr;
  }
  bool Is(DateToken::Kind kind, std::size_t offset = 0) const {
    const DateToken* t = At(offset);
    return t != nullptr && t->kind == kind;
  }
  bool AtEnd() const { return pos >= tokens.size(); }
  void SkipBlank() {
    if (Is(DateToken::kBlank)) {
      ++pos;
    }
  }
};

struct TimeOfDay {
  int hour = 0;
  int minute = 0;
  int second = 0;
  Meridiem meridiem = Meridiem::kNone;
};

enum class Found { kNone, kTime, kBad };

// A meridiem word at the cursor (after an optional blank), consumed; kNone leaves the cursor.
Meridiem ReadMeridiem(TokenCursor& c, const ReaderRules& rules) {
  const std::size_t start = c.pos;
  c.SkipBlank();
  if (c.Is(DateToken::kWord)) {
    const Meridiem m = MeridiemOfWord(c.At()->text, rules);
    if (m != Meridiem::kNone) {
      ++c.pos;
      return m;
    }
  }
  c.pos = start;
  return Meridiem::kNone;
}

bool IsTimeMark(const DateToken* t, const ReaderRules& rules) {
  return t != nullptr && t->kind == DateToken::kMark &&
         (t->value == u':' || (t->value == u'.' && !rules.dotSeparatesDate));
}

// The hour of the day: with AM/PM, 12 (and 0) is the start of the half day; an hour above 12
// ignores AM/PM.
bool ResolveHour(TimeOfDay& time) {
  if (time.hour > 23 || time.minute > 59 || time.second > 59) {
    return false;
  }
  if (time.meridiem != Meridiem::kNone && time.hour <= 12) {
    time.hour = time.hour % 12 + (time.meridiem == Meridiem::kPm ? 12 : 0);
  }
  return true;
}

// A time of day at the cursor: "h:m[:s]" (also with "." when dates do not use it), "h AM", or
// either with AM/PM before or after. Hour, minute and second are at most three parts.
Found ReadTime(TokenCursor& c, const ReaderRules& rules, TimeOfDay& time) {
  const std::size_t start = c.pos;
  time = {};
  time.meridiem = ReadMeridiem(c, rules);
  c.SkipBlank();
  if (!c.Is(DateToken::kNumber)) {
    c.pos = start;
    return Found::kNone;
  }
  time.hour = c.At()->value;
  ++c.pos;
  int parts = 1;
  for (; IsTimeMark(c.At(), rules) && c.Is(DateToken::kNumber, 1); c.pos += 2) {
    if (++parts > 3) {
      return Found::kBad;
    }
    (parts == 2 ? time.minute : time.second) = c.At(1)->value;
  }
  if (time.meridiem == Meridiem::kNone) {
    time.meridiem = ReadMeridiem(c, rules);
  }
  if (parts == 1 && time.meridiem == Meridiem::kNone) {
    c.pos = start;
    return Found::kNone;
  }
  return ResolveHour(time) ? Found::kTime : Found::kBad;
}

// The date's fields: up to three numbers and at most one month name, in the order written.
struct DateFields {
  std::array<int, 3> numbers{};
  std::array<int, 3> digits{};
  int count = 0;
  int namedMonth = 0;
};

bool IsDateMark(const DateToken* t, const ReaderRules& rules) {
  return t != nullptr && t->kind == DateToken::kMark && t->value != u':' &&
         (t->value != u'.' || rules.dotSeparatesDate);
}

// Skips what separates two date fields: blanks around at most one date mark.
void SkipFieldSeparator(TokenCursor& c, const ReaderRules& rules) {
  c.SkipBlank();
  if (IsDateMark(c.At(), rules)) {
    ++c.pos;
    c.SkipBlank();
  }
}

bool AddField(const DateToken& t, const ReaderRules& rules, DateFields& fields) {
  if (t.kind == DateToken::kWord) {
    const int month = MonthOfWord(t.text, rules);
    if (month == 0 || fields.namedMonth != 0) {
      return false;
    }
    fields.namedMonth = month;
    return true;
  }
  if (fields.count == 3) {
    return false;
  }
  fields.numbers[fields.count] = t.value;
  fields.digits[fields.count] = t.digits;
  ++fields.count;
  return true;
}

// Reads date fields up to the end of the text or the start of a time (which it leaves unread,
// with the blanks before it); false when a word is not a month name or there are too many.
bool ReadDateFields(TokenCursor& c, const ReaderRules& rules, DateFields& fields) {
  std::size_t fieldEnd = c.pos;
  while (c.Is(DateToken::kNumber) || c.Is(DateToken::kWord)) {
    TokenCursor probe = c;
    TimeOfDay ignored;
    if (ReadTime(probe, rules, ignored) != Found::kNone) {
      break;
    }
    if (!AddField(*c.At(), rules, fields)) {
      return false;
    }
    ++c.pos;
    fieldEnd = c.pos;
    SkipFieldSeparator(c, rules);
  }
  c.pos = fieldEnd;
  return true;
}

// ---- Turning the fields into a calendar date ----

int FullYear(int year, int digits) {
  if (digits <= 2) {
    return year < 30 ? 2000 + year : 1900 + year;
  }
  return year;
}

struct Field {
  int value = 0;
  int digits = 0;
};

// The date of a year, month and day as written, or an invalid date: month and day have at most
// two digits, a year of one or two digits is 1930..2029.
QDate MakeDate(Field year, Field month, Field day) {
  if (month.digits > 2 || day.digits > 2) {
    return {};
  }
  const int fullYear = FullYear(year.value, year.digits);
  if (fullYear < 100 || fullYear > 9999) {
    return {};
  }
  return QDate(fullYear, month.value, day.value);
}

Field ThisYear() {
  return {CurrentDateTime().date().year(), 4};
}

Field NumberField(const DateFields& f, int i) {
  return {f.numbers[static_cast<std::size_t>(i)], f.digits[static_cast<std::size_t>(i)]};
}

// A month name with one number (the day of this year, or else the year) or two (day and year,
// or else year and day).
QDate DateWithMonthName(const DateFields& f) {
  const Field month{f.namedMonth, 2};
  if (f.count == 1) {
    const QDate date = MakeDate(ThisYear(), month, NumberField(f, 0));
    return date.isValid() ? date : MakeDate(NumberField(f, 0), month, {1, 1});
  }
  if (f.count == 2) {
    const QDate date = MakeDate(NumberField(f, 1), month, NumberField(f, 0));
    return date.isValid() ? date : MakeDate(NumberField(f, 0), month, NumberField(f, 1));
  }
  return {};
}

// Three numbers: the locale's order first, then year/month/day, month/day/year, day/month/year.
QDate DateOfThreeNumbers(const DateFields& f, const ReaderRules& rules) {
  const std::array<std::array<char, 3>, 4> orders{
      {rules.order, {'y', 'M', 'd'}, {'M', 'd', 'y'}, {'d', 'M', 'y'}}};
  for (const auto& order : orders) {
    std::array<Field, 3> byName{};  // year, month, day
    for (int i = 0; i < 3; ++i) {
      const char name = order[static_cast<std::size_t>(i)];
      byName[name == 'y' ? 0 : name == 'M' ? 1 : 2] = NumberField(f, i);
    }
    const QDate date = MakeDate(byName[0], byName[1], byName[2]);
    if (date.isValid()) {
      return date;
    }
  }
  return {};
}

// Two numbers: month and day of this year (in the locale's order, then the other), or else a
// month and a year (the first day of that month).
QDate DateOfTwoNumbers(const DateFields& f, const ReaderRules& rules) {
  const bool dayFirst = std::find(rules.order.begin(), rules.order.end(), 'd') <
                        std::find(rules.order.begin(), rules.order.end(), 'M');
  const Field a = NumberField(f, 0);
  const Field b = NumberField(f, 1);
  QDate date = dayFirst ? MakeDate(ThisYear(), b, a) : MakeDate(ThisYear(), a, b);
  if (!date.isValid()) {
    date = dayFirst ? MakeDate(ThisYear(), a, b) : MakeDate(ThisYear(), b, a);
  }
  if (!date.isValid()) {
    date = MakeDate(b, a, {1, 1});
  }
  return date.isValid() ? date : MakeDate(a, b, {1, 1});
}

QDate DateOfFields(const DateFields& f, const ReaderRules& rules) {
  if (f.namedMonth != 0) {
    return DateWithMonthName(f);
  }
  if (f.count == 3) {
    return DateOfThreeNumbers(f, rules);
  }
  if (f.count == 2) {
    return DateOfTwoNumbers(f, rules);
  }
  return {};  // a single number is not a date
}

// ---- The two readers ----

// The serial of a calendar date (or day 0 when there is none) and a time of day.
bool SerialOfParts(QDate date, bool haveDate, const TimeOfDay& time, double& serial) {
  if (haveDate && !date.isValid()) {
    return false;
  }
  serial =
      SerialOf(haveDate ? DayNumber(date) : 0, time.hour * 3600 + time.minute * 60 + time.second);
  return true;
}

// Reads a free-form date text: a date, a time or both, the time before or after the date.
bool ReadFreeForm(QStringView text, const ReaderRules& rules, double& serial) {
  std::vector<DateToken> tokens;
  if (!Tokenize(text.trimmed(), tokens) || tokens.empty() ||
      tokens.front().kind == DateToken::kMark || tokens.back().kind == DateToken::kMark) {
    return false;  // "-1.1", "1.1-", ".0" are not dates
  }
  TokenCursor c{tokens};
  TimeOfDay time;
  Found found = ReadTime(c, rules, time);
  c.SkipBlank();
  DateFields fields;
  if (found == Found::kBad || !ReadDateFields(c, rules, fields)) {
    return false;
  }
  if (found == Found::kNone) {
    c.SkipBlank();
    found = ReadTime(c, rules, time);
  }
  const bool haveDate = fields.count > 0 || fields.namedMonth != 0;
  if (found == Found::kBad || !c.AtEnd() || (!haveDate && found == Found::kNone)) {
    return false;
  }
  return SerialOfParts(haveDate ? DateOfFields(fields, rules) : QDate(), haveDate, time, serial);
}

bool SerialOfLocaleParts(DateTimeParts parts, double& serial) {
  TimeOfDay time{std::max(parts.hour, 0), parts.minute, parts.second, parts.meridiem};
  if (!ResolveHour(time)) {
    return false;
  }
  const bool haveDate = parts.year >= 0 && parts.month >= 0 && parts.day >= 0;
  const QDate date =
      haveDate ? MakeDate({parts.year, parts.yearDigits}, {parts.month, 2}, {parts.day, 2})
               : QDate();
  return SerialOfParts(date, haveDate, time, serial);
}

// Reads the text exactly as the locale writes a date (DateText): its short date, its long time,
// or both with a blank between them.
bool ReadLocaleText(QStringView text, double& serial) {
  const QLocale locale = UserLocale();
  const QString date = DateFormatWithFullYear(locale.dateFormat(QLocale::ShortFormat));
  const QString time = TimeFormatWithoutZone(locale.timeFormat(QLocale::LongFormat));
  for (const QString& format : {date + QLatin1Char(' ') + time, date, time}) {
    DateTimeParts parts;
    if (ReadWithFormat(text, format, locale, parts) && SerialOfLocaleParts(parts, serial)) {
      return true;
    }
  }
  return false;
}

}  // namespace

bool ParseDateText(QStringView text, DateOrder order, double& serial) {
  if (text.size() > 200) {
    return false;  // no date text is that long
  }
  if (ReadFreeForm(text, RulesFor(order), serial)) {
    return true;
  }
  return order == DateOrder::kUserLocale && ReadLocaleText(text, serial);
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
  const QDate date = DateOfDay(MomentOf(serial).day);
  const QString& format = FormatsOf(locale).date;
  if (date.year() < 1000) {
    // Qt pads a four-digit year with zeros; a year below 1000 is written as it is: 1/1/100.
    return locale.toString(date, FormatWithYearText(format, date.year(), locale));
  }
  return locale.toString(date, format);
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
