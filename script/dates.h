#pragma once

#include "script/value.h"

#include <QDate>
#include <QLocale>
#include <QStringView>

#include <cstdint>

namespace vesko::script {

// A Date value is a serial: days since 30 Dec 1899, with the time of day as the fraction. Before
// that day the whole part is negative and the fraction still counts forward from that day's
// midnight: -1.25 is 29 Dec 1899 06:00.
inline constexpr double kFirstDate = -657434.0;                     // 1 Jan 100 00:00:00
inline constexpr double kLastDate = 2958465.0 + 86399.0 / 86400.0;  // 31 Dec 9999 23:59:59
inline constexpr std::int64_t kSecondsPerDay = 86400;

// The user's locale: what the text of dates, month and weekday names, the currency symbol and
// GetLocale follow (QLocale's default, which is the system locale unless a test pins another).
QLocale UserLocale();

// A serial split into its calendar day (counted like the serial's whole part, but continuous:
// floor of the moment) and the seconds since that day's midnight, rounded to whole seconds.
struct Moment {
  std::int64_t day = 0;
  std::int64_t seconds = 0;
};
Moment MomentOf(double serial);
// The serial of a moment; `seconds` may lie outside one day (it rolls over into the days).
double SerialOf(std::int64_t day, std::int64_t seconds);
bool InDateRange(double serial);

// Days since 30 Dec 1899 of a calendar date, and back.
std::int64_t DayNumber(QDate date);
QDate DateOfDay(std::int64_t day);
// 1 (Sunday) .. 7 (Saturday) of a day number.
int WeekdayOfDay(std::int64_t day);

// Which order three numbers of a date text are in when the first has fewer than four digits:
// always month/day/year in a date literal; the user's locale's order for a text converted at
// run time (CDate, DateValue, IsDate, ...).
enum class DateOrder { kUnitedStates, kUserLocale };

// Reads a date, a time or both ("1/2/2003", "2003-01-02", "Jan 2, 2003", "2 January 2003",
// "14:05", "2:05:09 PM", "1/2/2003 14:05:09"); false when the text is not a possible date.
bool ParseDateText(QStringView text, DateOrder order, double& serial);

// The text of a date in the user's locale: its short date with a four-digit year, a blank, its
// long time without the zone; the date alone at midnight, the time alone on day 0.
QString DateText(double serial);
QString ShortDateText(double serial, const QLocale& locale);
QString LongTimeText(double serial, const QLocale& locale);

// A value as a date serial, for the date functions and CDate: Date as it is, Empty 0, numbers as
// serials, strings read as date texts (13 when they are not dates). Null fails with 94; a result
// outside 1 Jan 100 .. 31 Dec 9999 with 6.
double ToDateSerial(const Variant& value);
// Fails with 6 when `serial` is outside the date range; returns it otherwise.
double CheckedDate(double serial);

}  // namespace vesko::script
