// The date and time functions (reference section 8a).
#include "script/clock.h"
#include "script/conversions.h"
#include "script/dates.h"
#include "script/errors.h"
#include "script/library.h"

#include <QTime>

#include <cmath>

namespace vesko::script {

namespace {

enum class Interval {
  kYear,
  kQuarter,
  kMonth,
  kDayOfYear,
  kDay,
  kWeekday,
  kWeek,
  kHour,
  kMinute,
  kSecond
};

Interval IntervalOf(const Variant& x) {
  if (x.IsNull()) {
    Fail(kInvalidUseOfNull);
  }
  const QString text = TextOfArgument(x).toLower();
  if (text == QLatin1String("yyyy"))
    return Interval::kYear;
  if (text == QLatin1String("q"))
    return Interval::kQuarter;
  if (text == QLatin1String("m"))
    return Interval::kMonth;
  if (text == QLatin1String("y"))
    return Interval::kDayOfYear;
  if (text == QLatin1String("d"))
    return Interval::kDay;
  if (text == QLatin1String("w"))
    return Interval::kWeekday;
  if (text == QLatin1String("ww"))
    return Interval::kWeek;
  if (text == QLatin1String("h"))
    return Interval::kHour;
  if (text == QLatin1String("n"))
    return Interval::kMinute;
  if (text == QLatin1String("s"))
    return Interval::kSecond;
  Fail(kInvalidProcedureCall);
}

// The locale's first day of the week as 1 (Sunday) .. 7 (Saturday).
int SystemFirstDay() {
  const int qt = UserLocale().firstDayOfWeek();  // Monday 1 .. Sunday 7
  return qt % 7 + 1;
}

// The first-day-of-week argument at `index`: 1..7, 0 the system's, default Sunday.
int FirstDayArgument(Arguments args, std::size_t index) {
  if (!Given(args, index)) {
    return 1;
  }
  const std::int64_t n = ToRoundedLong(args[index]);
  if (n < 0 || n > 7) {
    Fail(kInvalidProcedureCall);
  }
  return n == 0 ? SystemFirstDay() : static_cast<int>(n);
}

// The first-week-of-year argument at `index`: 1 (week of 1 January), 2 (first week with four
// days), 3 (first full week); 0, the system's, is taken as 1.
int FirstWeekArgument(Arguments args, std::size_t index) {
  if (!Given(args, index)) {
    return 1;
  }
  const std::int64_t n = ToRoundedLong(args[index]);
  if (n < 0 || n > 3) {
    Fail(kInvalidProcedureCall);
  }
  return n == 0 ? 1 : static_cast<int>(n);
}

// The first day (`first`-weekday) of the week holding `day`.
std::int64_t WeekStart(std::int64_t day, int first) {
  return day - (WeekdayOfDay(day) - first + 7) % 7;
}

std::int64_t FirstWeekStart(int year, int first, int firstWeek) {
  const std::int64_t january1 = DayNumber(QDate(year, 1, 1));
  const std::int64_t start = WeekStart(january1, first);
  const std::int64_t daysInYear = 7 - (january1 - start);
  switch (firstWeek) {
    case 2:
      return daysInYear >= 4 ? start : start + 7;
    case 3:
      return start == january1 ? start : start + 7;
    default:
      return start;
  }
}

int WeekOfYear(std::int64_t day, int first, int firstWeek) {
  int year = DateOfDay(day).year();
  std::int64_t week1 = FirstWeekStart(year, first, firstWeek);
  if (day < week1 && year > 100) {
    week1 = FirstWeekStart(year - 1, first, firstWeek);
  } else if (firstWeek == 2 && year < 9999 && day >= FirstWeekStart(year + 1, first, firstWeek)) {
    return 1;  // the last days of December already in the next year's first four-day week
  }
  return static_cast<int>((WeekStart(day, first) - week1) / 7 + 1);
}

Variant DateResult(double serial) {
  if (!InDateRange(serial)) {
    Fail(kInvalidProcedureCall);
  }
  return Variant::Date(serial);
}

std::int64_t WholeNumber(const Variant& x) {
  return ToRoundedLong(x);  // Null fails with 94
}

Variant LongResult(std::int64_t value) {
  if (value < INT32_MIN || value > INT32_MAX) {
    Fail(kOverflow);
  }
  return Variant::Long(static_cast<std::int32_t>(value));
}

// Year .. Second: one part of a date, Null for Null.
template <typename Part>
Variant DatePartOf(const Variant& x, Part part) {
  if (x.IsNull()) {
    return Variant::Null();
  }
  const Moment m = MomentOf(ToDateSerial(x));
  return Variant::Integer(static_cast<std::int16_t>(part(m)));
}

int YearOf(const Moment& m) {
  return DateOfDay(m.day).year();
}
int MonthOf(const Moment& m) {
  return DateOfDay(m.day).month();
}

Variant NameOf(Arguments args, bool month) {
  if (args[0].IsNull()) {
    Fail(kInvalidUseOfNull);
  }
  const std::int64_t n = WholeNumber(args[0]);
  const bool abbreviate = Given(args, 1) && ConvertToBoolean(args[1]).integer != 0;
  const QLocale locale = UserLocale();
  const QLocale::FormatType format = abbreviate ? QLocale::ShortFormat : QLocale::LongFormat;
  if (month) {
    if (n < 1 || n > 12) {
      Fail(kInvalidProcedureCall);
    }
    return Variant::String(locale.monthName(static_cast<int>(n), format));
  }
  if (n < 1 || n > 7) {
    Fail(kInvalidProcedureCall);
  }
  const int first = FirstDayArgument(args, 2);
  const int weekday = static_cast<int>((n - 1 + first - 1) % 7) + 1;  // 1 Sunday .. 7 Saturday
  return Variant::String(locale.dayName(weekday == 1 ? 7 : weekday - 1, format));
}

}  // namespace

namespace builtin {

Variant Now(Arguments, EvaluationContext&) {
  const QDateTime now = CurrentDateTime();
  return Variant::Date(SerialOf(DayNumber(now.date()), now.time().msecsSinceStartOfDay() / 1000));
}

Variant Date(Arguments, EvaluationContext&) {
  return Variant::Date(static_cast<double>(DayNumber(CurrentDateTime().date())));
}

Variant Time(Arguments, EvaluationContext&) {
  return Variant::Date(SerialOf(0, CurrentDateTime().time().msecsSinceStartOfDay() / 1000));
}

Variant Timer(Arguments, EvaluationContext&) {
  return Variant::Single(static_cast<float>(CurrentDateTime().time().msecsSinceStartOfDay()) /
                         1000.0f);
}

Variant Year(Arguments args, EvaluationContext&) {
  return DatePartOf(args[0], YearOf);
}
Variant Month(Arguments args, EvaluationContext&) {
  return DatePartOf(args[0], MonthOf);
}
Variant Day(Arguments args, EvaluationContext&) {
  return DatePartOf(args[0], [](const Moment& m) { return DateOfDay(m.day).day(); });
}
Variant Hour(Arguments args, EvaluationContext&) {
  return DatePartOf(args[0], [](const Moment& m) { return static_cast<int>(m.seconds / 3600); });
}
Variant Minute(Arguments args, EvaluationContext&) {
  return DatePartOf(args[0], [](const Moment& m) { return static_cast<int>(m.seconds / 60 % 60); });
}
Variant Second(Arguments args, EvaluationContext&) {
  return DatePartOf(args[0], [](const Moment& m) { return static_cast<int>(m.seconds % 60); });
}

Variant Weekday(Arguments args, EvaluationContext&) {
  if (args[0].IsNull()) {
    return Variant::Null();
  }
  const int first = FirstDayArgument(args, 1);
  const Moment m = MomentOf(ToDateSerial(args[0]));
  return Variant::Integer(static_cast<std::int16_t>((WeekdayOfDay(m.day) - first + 7) % 7 + 1));
}

Variant DateSerial(Arguments args, EvaluationContext&) {
  std::int64_t year = WholeNumber(args[0]);
  const std::int64_t month = WholeNumber(args[1]);
  const std::int64_t day = WholeNumber(args[2]);
  if (year >= 0 && year < 30) {
    year += 2000;
  } else if (year >= 30 && year < 100) {
    year += 1900;
  }
  std::int64_t total = year * 12 + (month - 1);
  std::int64_t y = total / 12;
  std::int64_t m = total % 12;
  if (m < 0) {
    m += 12;
    --y;
  }
  if (y < 100 || y > 9999) {
    Fail(kInvalidProcedureCall);
  }
  const std::int64_t first = DayNumber(QDate(static_cast<int>(y), static_cast<int>(m) + 1, 1));
  return DateResult(static_cast<double>(first + day - 1));
}

Variant TimeSerial(Arguments args, EvaluationContext&) {
  const std::int64_t seconds =
      WholeNumber(args[0]) * 3600 + WholeNumber(args[1]) * 60 + WholeNumber(args[2]);
  return DateResult(SerialOf(0, seconds));
}

Variant DateValue(Arguments args, EvaluationContext&) {
  return Variant::Date(static_cast<double>(MomentOf(ToDateSerial(args[0])).day));
}

Variant TimeValue(Arguments args, EvaluationContext&) {
  return Variant::Date(SerialOf(0, MomentOf(ToDateSerial(args[0])).seconds));
}

Variant CDate(Arguments args, EvaluationContext&) {
  return Variant::Date(ToDateSerial(args[0]));
}

Variant IsDate(Arguments args, EvaluationContext&) {
  const Variant& x = args[0];
  if (x.IsDate()) {
    return Variant::Boolean(true);
  }
  double ignored = 0;
  return Variant::Boolean(x.IsString() && ParseDateText(x.text, DateOrder::kUserLocale, ignored));
}

Variant DateAdd(Arguments args, EvaluationContext&) {
  const Interval interval = IntervalOf(args[0]);
  const std::int64_t n = WholeNumber(args[1]);
  if (args[2].IsNull()) {
    return Variant::Null();
  }
  const Moment m = MomentOf(ToDateSerial(args[2]));
  switch (interval) {
    case Interval::kYear:
    case Interval::kQuarter:
    case Interval::kMonth: {
      const std::int64_t months = interval == Interval::kYear      ? n * 12
                                  : interval == Interval::kQuarter ? n * 3
                                                                   : n;
      const QDate date = DateOfDay(m.day);
      const std::int64_t total = date.year() * std::int64_t{12} + (date.month() - 1) + months;
      if (total < std::int64_t{100} * 12 || total > std::int64_t{9999} * 12 + 11) {
        Fail(kInvalidProcedureCall);
      }
      const int year = static_cast<int>(total / 12);
      const int month = static_cast<int>(total % 12) + 1;
      const int day = std::min(date.day(), QDate(year, month, 1).daysInMonth());
      return DateResult(SerialOf(DayNumber(QDate(year, month, day)), m.seconds));
    }
    case Interval::kDayOfYear:
    case Interval::kDay:
    case Interval::kWeekday:
      return DateResult(SerialOf(m.day + n, m.seconds));
    case Interval::kWeek:
      return DateResult(SerialOf(m.day + 7 * n, m.seconds));
    case Interval::kHour:
      return DateResult(SerialOf(m.day, m.seconds + n * 3600));
    case Interval::kMinute:
      return DateResult(SerialOf(m.day, m.seconds + n * 60));
    case Interval::kSecond:
      return DateResult(SerialOf(m.day, m.seconds + n));
  }
  Fail(kInvalidProcedureCall);
}

Variant DateDiff(Arguments args, EvaluationContext&) {
  const Interval interval = IntervalOf(args[0]);
  const int first = FirstDayArgument(args, 3);
  FirstWeekArgument(args, 4);  // checked; it does not change a count of weeks
  if (args[1].IsNull() || args[2].IsNull()) {
    return Variant::Null();
  }
  const Moment a = MomentOf(ToDateSerial(args[1]));
  const Moment b = MomentOf(ToDateSerial(args[2]));
  const QDate da = DateOfDay(a.day);
  const QDate db = DateOfDay(b.day);
  const std::int64_t secondsA = a.day * kSecondsPerDay + a.seconds;
  const std::int64_t secondsB = b.day * kSecondsPerDay + b.seconds;
  auto floorDiv = [](std::int64_t x, std::int64_t y) {
    std::int64_t q = x / y;
    return (x % y != 0 && (x < 0) != (y < 0)) ? q - 1 : q;
  };
  switch (interval) {
    case Interval::kYear:
      return LongResult(db.year() - da.year());
    case Interval::kQuarter:
      return LongResult((db.year() * 4 + (db.month() - 1) / 3) -
                        (da.year() * 4 + (da.month() - 1) / 3));
    case Interval::kMonth:
      return LongResult((db.year() * 12 + db.month()) - (da.year() * 12 + da.month()));
    case Interval::kDayOfYear:
    case Interval::kDay:
      return LongResult(b.day - a.day);
    case Interval::kWeekday:
      return LongResult((b.day - a.day) / 7);
    case Interval::kWeek:
      return LongResult((WeekStart(b.day, first) - WeekStart(a.day, first)) / 7);
    case Interval::kHour:
      return LongResult(floorDiv(secondsB, 3600) - floorDiv(secondsA, 3600));
    case Interval::kMinute:
      return LongResult(floorDiv(secondsB, 60) - floorDiv(secondsA, 60));
    case Interval::kSecond:
      return LongResult(secondsB - secondsA);
  }
  Fail(kInvalidProcedureCall);
}

Variant DatePart(Arguments args, EvaluationContext&) {
  const Interval interval = IntervalOf(args[0]);
  const int first = FirstDayArgument(args, 2);
  const int firstWeek = FirstWeekArgument(args, 3);
  if (args[1].IsNull()) {
    return Variant::Null();
  }
  const Moment m = MomentOf(ToDateSerial(args[1]));
  const QDate date = DateOfDay(m.day);
  int part = 0;
  switch (interval) {
    case Interval::kYear:
      part = date.year();
      break;
    case Interval::kQuarter:
      part = (date.month() - 1) / 3 + 1;
      break;
    case Interval::kMonth:
      part = date.month();
      break;
    case Interval::kDayOfYear:
      part = date.dayOfYear();
      break;
    case Interval::kDay:
      part = date.day();
      break;
    case Interval::kWeekday:
      part = (WeekdayOfDay(m.day) - first + 7) % 7 + 1;
      break;
    case Interval::kWeek:
      part = WeekOfYear(m.day, first, firstWeek);
      break;
    case Interval::kHour:
      part = static_cast<int>(m.seconds / 3600);
      break;
    case Interval::kMinute:
      part = static_cast<int>(m.seconds / 60 % 60);
      break;
    case Interval::kSecond:
      part = static_cast<int>(m.seconds % 60);
      break;
  }
  return Variant::Integer(static_cast<std::int16_t>(part));
}

Variant MonthName(Arguments args, EvaluationContext&) {
  return NameOf(args, true);
}

Variant WeekdayName(Arguments args, EvaluationContext&) {
  return NameOf(args, false);
}

Variant FormatDateTime(Arguments args, EvaluationContext&) {
  const std::int64_t format = Given(args, 1) ? WholeNumber(args[1]) : 0;
  const double serial = ToDateSerial(args[0]);
  const QLocale locale = UserLocale();
  switch (format) {
    case 0:
      return Variant::String(DateText(serial));
    case 1:
      return Variant::String(locale.toString(DateOfDay(MomentOf(serial).day), QLocale::LongFormat));
    case 2:
      return Variant::String(ShortDateText(serial, locale));
    case 3:
      return Variant::String(LongTimeText(serial, locale));
    case 4: {
      const std::int64_t seconds = MomentOf(serial).seconds;
      return Variant::String(QStringLiteral("%1:%2")
                                 .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
                                 .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0')));
    }
    default:
      Fail(kInvalidProcedureCall);
  }
}

}  // namespace builtin

}  // namespace vesko::script
