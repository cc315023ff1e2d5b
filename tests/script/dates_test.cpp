// Dates and times (reference section 8a): literals, arithmetic, the date functions, and the text
// of dates under en_US and zh_CN. The locale and the clock are pinned, so every row is exact.
#include "script/dates.h"
#include "engine/locale_formats.h"
#include "tests/script/locale_pin.h"
#include "tests/script/script_test_support.h"
#include "tests/test_rows.h"

#include <QObject>
#include <QSet>
#include <QTest>
#include <QTime>

#include <memory>

using vesko::test::AddFailureColumns;
using vesko::test::AddValueColumns;
using vesko::test::Failure;
using vesko::test::Row;
using vesko::test::Value;

class DatesTest : public QObject {
  Q_OBJECT

 private slots:
  // en_US unless a slot says otherwise: its texts are the reference's examples.
  void init() {
    pin_ = std::make_unique<vesko::test::PinnedLocaleAndClock>(vesko::test::UnitedStates());
  }
  void cleanup() { pin_.reset(); }

  void literals_data() {
    AddValueColumns();
    Value("#1/2/2003#", "1/2/2003", "Date");
    Value("#1-2-2003#", "1/2/2003", "Date");
    Value("#2003-01-02#", "1/2/2003", "Date");
    Value("#2003/1/2#", "1/2/2003", "Date");
    Value("#Jan 2, 2003#", "1/2/2003", "Date");
    Value("#january 2, 2003#", "1/2/2003", "Date");
    Value("#2 January 2003#", "1/2/2003", "Date");
    Value("# 1/1/2011 #", "1/1/2011", "Date");
    Value("#14:05#", "2:05:00 PM", "Date");
    Value("#2:05:09 PM#", "2:05:09 PM", "Date");
    Value("#12:00 AM#", "12:00:00 AM", "Date");
    Value("#12:30 PM#", "12:30:00 PM", "Date");
    Value("#1/2/2003 14:05:09#", "1/2/2003 2:05:09 PM", "Date");
    Value("#1/2/2003 2:05:09 PM#", "1/2/2003 2:05:09 PM", "Date");
    Value("#Jan 2, 2003 2:05 am#", "1/2/2003 2:05:00 AM", "Date");
    // Two-digit years: 00-29 are 20xx, 30-99 19xx; month and day only: this year.
    Value("#1/2/29#", "1/2/2029", "Date");
    Value("#1/2/30#", "1/2/1930", "Date");
    Value("#1/2/03#", "1/2/2003", "Date");
    Value("#1/2#", "1/2/2026", "Date");
    // US order always; a month above 12 is read as the day.
    Value("#2/1/2003#", "2/1/2003", "Date");
    Value("#13/1/2000#", "1/13/2000", "Date");
    Value("#2/29/2000#", "2/29/2000", "Date");
    // The serial behind a date.
    Value("CDbl(#1/1/2000#)", "36526", "Double");
    Value("CDbl(#12/30/1899#)", "0", "Double");
    Value("CDbl(#12/29/1899 6:00#)", "-1.25", "Double");
    Value("CDbl(#12/31/1899 6:00#)", "1.25", "Double");
    Value("CDbl(#1/1/100#)", "-657434", "Double");
    // A year below 1000 is written without leading zeros.
    Value("#1/1/100#", "1/1/100", "Date");
    Value("#12/31/999 13:00#", "12/31/999 1:00:00 PM", "Date");
    Value("#1/1/1000#", "1/1/1000", "Date");
    Value("CDbl(#12/31/9999#)", "2958465", "Double");
    Value("VarType(#1/1/2000#)", "7", "Integer");
  }
  void literals() { Check(); }

  void arithmetic_data() {
    AddValueColumns();
    Value("#1/2/2003#+30", "2/1/2003", "Date");
    Value("30 + #1/2/2003#", "2/1/2003", "Date");
    Value("#1/2/2003# - 1", "1/1/2003", "Date");
    Value("#1/2/2003# - #1/1/2003#", "1", "Double");
    Value("#1/2/2003 18:00# - #1/1/2003 6:00#", "1.5", "Double");
    Value("#1/1/2003# + 0.5", "1/1/2003 12:00:00 PM", "Date");
    Value("#1/1/2003# + \"1\"", "1/2/2003", "Date");
    Value("#1/1/2003# + CCur(1)", "1/2/2003", "Date");
    Value("#1/1/2003# + True", "12/31/2002", "Date");
    Value("#1/2/2003# * 1", "37623", "Double");
    Value("#1/2/2003# / 2", "18811.5", "Double");
    Value("#1/2/2003# \\ 2", "18811", "Long");
    Value("#1/2/2003# Mod 7", "5", "Long");
    Value("-#1/1/1900#", "12/28/1899", "Date");
    Value("#1/2/2003# > #1/1/2003#", "True", "Boolean");
    Value("#1/1/2000# = 36526", "True", "Boolean");
    Value("#12:00# = 0.5", "True", "Boolean");
    Value("#1/1/2000# = \"1/1/2000\"", "True", "Boolean");
    Value("#1/1/2000# & \"\"", "1/1/2000", "String");
    Value("\"d: \" & #1/2/2003 14:05#", "d: 1/2/2003 2:05:00 PM", "String");
    Value("Int(#1/2/2003 14:05#)", "1/2/2003", "Date");
    Value("Fix(#1/2/2003 14:05#)", "1/2/2003", "Date");
    Value("CLng(#1/2/2003 18:00#)", "37624", "Long");
    Value("#1/2/2003# And 255", "247", "Long");
    Value("IsNumeric(#1/2/2003#)", "False", "Boolean");
  }
  void arithmetic() { Check(); }

  void clock_data() {
    AddValueColumns();
    Value("Now", "12/7/2026 1:45:30 PM", "Date");
    Value("Date", "12/7/2026", "Date");
    Value("Date()", "12/7/2026", "Date");
    Value("Time", "1:45:30 PM", "Date");
    Value("Timer", "49530.25", "Single");
    Value("TimeValue(Now) = Time", "True", "Boolean");
    Value("DateValue(Now) = Date", "True", "Boolean");
    Value("Year(Now)", "2026", "Integer");
    Value("Weekday(Now)", "2", "Integer");
    Value("DateDiff(\"d\", #1/1/2026#, Now)", "340", "Long");
  }
  void clock() { Check(); }

  void parts_data() {
    AddValueColumns();
    Value("Year(#1/2/2003#)", "2003", "Integer");
    Value("Month(#1/2/2003#)", "1", "Integer");
    Value("Day(#1/2/2003#)", "2", "Integer");
    Value("Hour(#14:05:09#)", "14", "Integer");
    Value("Minute(#14:05:09#)", "5", "Integer");
    Value("Second(#14:05:09#)", "9", "Integer");
    Value("Hour(0.75)", "18", "Integer");
    Value("Year(Null)", "Null", "Null");
    Value("Year(\"1/2/2003\")", "2003", "Integer");
    Value("Year(36526)", "2000", "Integer");
    Value("Day(-1.25)", "29", "Integer");
    Value("Hour(-1.25)", "6", "Integer");
    Value("Weekday(#1/2/2003#)", "5", "Integer");
    Value("Weekday(#1/2/2003#, vbMonday)", "4", "Integer");
    Value("Weekday(#1/2/2003#, vbThursday)", "1", "Integer");
    Value("Weekday(#1/2/2003#, 0)", "5", "Integer");
    Value("DatePart(\"w\", #1/2/2003#, vbUseSystemDayOfWeek)", "5", "Integer");
    Value("Weekday(Null)", "Null", "Null");
  }
  void parts() { Check(); }

  void constructors_data() {
    AddValueColumns();
    Value("DateSerial(2026, 12, 7)", "12/7/2026", "Date");
    Value("DateSerial(2020, 13, 1)", "1/1/2021", "Date");
    Value("DateSerial(2020, 3, 0)", "2/29/2020", "Date");
    Value("DateSerial(2020, 1, -1)", "12/30/2019", "Date");
    Value("DateSerial(2020, -1, 1)", "11/1/2019", "Date");
    Value("DateSerial(2019, 2, 29)", "3/1/2019", "Date");
    Value("DateSerial(99, 1, 1)", "1/1/1999", "Date");
    Value("DateSerial(5, 1, 1)", "1/1/2005", "Date");
    Value("DateSerial(2020.5, 1.5, 2.5)", "2/2/2020", "Date");
    Value("TimeSerial(14, 5, 9)", "2:05:09 PM", "Date");
    Value("TimeSerial(25, 0, 0)", "12/31/1899 1:00:00 AM", "Date");
    Value("TimeSerial(0, -1, 0)", "12/29/1899 11:59:00 PM", "Date");
    Value("TimeSerial(0, 90, 0)", "1:30:00 AM", "Date");
    Value("DateValue(\"1/2/2003 14:05\")", "1/2/2003", "Date");
    Value("DateValue(#1/2/2003 14:05#)", "1/2/2003", "Date");
    Value("TimeValue(\"1/2/2003 14:05\")", "2:05:00 PM", "Date");
    Value("TimeValue(\"2:05 pm\")", "2:05:00 PM", "Date");
    Value("CDate(\"Jan 2, 2003\")", "1/2/2003", "Date");
    Value("CDate(36526)", "1/1/2000", "Date");
    Value("CDate(36526.5)", "1/1/2000 12:00:00 PM", "Date");
    Value("CDate(Empty)", "12:00:00 AM", "Date");
    Value("CDate(0.5)", "12:00:00 PM", "Date");
    Value("CDate(True)", "12/29/1899", "Date");
    Value("CDate(#1/2/2003#)", "1/2/2003", "Date");
    Value("IsDate(#1/1/2000#)", "True", "Boolean");
    Value("IsDate(\"1/1/2000\")", "True", "Boolean");
    Value("IsDate(\"14:05\")", "True", "Boolean");
    Value("IsDate(\"2/30/2000\")", "False", "Boolean");
    Value("IsDate(4)", "False", "Boolean");
    Value("IsDate(\"4\")", "False", "Boolean");
    Value("IsDate(True)", "False", "Boolean");
    Value("IsDate(Empty)", "False", "Boolean");
    Value("IsDate(Null)", "False", "Boolean");
    Value("IsDate(\"\")", "False", "Boolean");
    // IsDate is the reader's answer; CDate, DateValue and TimeValue read the same way.
    Value("IsDate(\"0.1\")", "True", "Boolean");
    Value("IsDate(\"-1.1\")", "False", "Boolean");
    Value("IsDate(\"1 2 am 3\")", "False", "Boolean");
    Value("CDate(\"13:00 AM\")", "1:00:00 PM", "Date");
    Value("CDate(\"14 2 3\")", "2/3/2014", "Date");
    Value("DateValue(\"1 2 3 4.5\")", "1/2/2003", "Date");
    Value("TimeValue(\"1 2 3 4.5\")", "4:05:00 AM", "Date");
    Value("\"2.5\" = #2:05#", "True", "Boolean");
  }
  void constructors() { Check(); }

  void dateAdd_data() {
    AddValueColumns();
    // Months, quarters and years keep the day, clamped to the month's end.
    Value("DateAdd(\"m\", 1, #1/31/2004#)", "2/29/2004", "Date");
    Value("DateAdd(\"m\", 1, #1/31/2003#)", "2/28/2003", "Date");
    Value("DateAdd(\"M\", -13, #1/31/2004#)", "12/31/2002", "Date");
    Value("DateAdd(\"q\", 1, #11/30/2003#)", "2/29/2004", "Date");
    Value("DateAdd(\"yyyy\", 1, #2/29/2004#)", "2/28/2005", "Date");
    Value("DateAdd(\"yyyy\", -4, #2/29/2004#)", "2/29/2000", "Date");
    Value("DateAdd(\"m\", 1, #1/31/2004 10:30#)", "2/29/2004 10:30:00 AM", "Date");
    Value("DateAdd(\"d\", 1, #12/31/2003#)", "1/1/2004", "Date");
    Value("DateAdd(\"y\", 1, #12/31/2003#)", "1/1/2004", "Date");
    Value("DateAdd(\"w\", 1, #12/31/2003#)", "1/1/2004", "Date");
    Value("DateAdd(\"ww\", 2, #1/1/2004#)", "1/15/2004", "Date");
    Value("DateAdd(\"d\", -1, #3/1/2004#)", "2/29/2004", "Date");
    Value("DateAdd(\"h\", 25, #1/1/2004#)", "1/2/2004 1:00:00 AM", "Date");
    Value("DateAdd(\"n\", -1, #1/1/2004#)", "12/31/2003 11:59:00 PM", "Date");
    Value("DateAdd(\"s\", 30, #1/1/2004 23:59:45#)", "1/2/2004 12:00:15 AM", "Date");
    Value("DateAdd(\"d\", 1.5, #1/1/2004#)", "1/3/2004", "Date");
    Value("DateAdd(\"d\", 1, \"1/1/2004\")", "1/2/2004", "Date");
    Value("DateAdd(\"h\", 1, #12/29/1899 6:00#)", "12/29/1899 7:00:00 AM", "Date");
    Value("DateAdd(\"d\", 1, Null)", "Null", "Null");
  }
  void dateAdd() { Check(); }

  void dateDiff_data() {
    AddValueColumns();
    // Boundaries crossed, not whole intervals elapsed.
    Value("DateDiff(\"yyyy\", #12/31/2019#, #1/1/2020#)", "1", "Long");
    Value("DateDiff(\"yyyy\", #1/1/2020#, #12/31/2020#)", "0", "Long");
    Value("DateDiff(\"m\", #1/31/2020#, #2/1/2020#)", "1", "Long");
    Value("DateDiff(\"m\", #2/1/2020#, #1/31/2020#)", "-1", "Long");
    Value("DateDiff(\"q\", #3/31/2020#, #4/1/2020#)", "1", "Long");
    Value("DateDiff(\"q\", #1/1/2020#, #12/31/2020#)", "3", "Long");
    Value("DateDiff(\"d\", #1/1/2020 23:59#, #1/2/2020 0:01#)", "1", "Long");
    Value("DateDiff(\"d\", #1/1/2026#, #12/7/2026#)", "340", "Long");
    Value("DateDiff(\"d\", #1/2/2020#, #1/1/2020#)", "-1", "Long");
    Value("DateDiff(\"y\", #1/1/2020#, #3/1/2020#)", "60", "Long");
    Value("DateDiff(\"w\", #1/1/2020#, #1/14/2020#)", "1", "Long");
    Value("DateDiff(\"w\", #1/1/2020#, #1/15/2020#)", "2", "Long");
    Value("DateDiff(\"w\", #1/15/2020#, #1/1/2020#)", "-2", "Long");
    // Week boundaries: Sundays crossed by default, or the given first day.
    Value("DateDiff(\"ww\", #1/4/2020#, #1/5/2020#)", "1", "Long");
    Value("DateDiff(\"ww\", #1/5/2020#, #1/11/2020#)", "0", "Long");
    Value("DateDiff(\"ww\", #1/4/2020#, #1/5/2020#, vbMonday)", "0", "Long");
    Value("DateDiff(\"ww\", #1/5/2020#, #1/6/2020#, vbMonday)", "1", "Long");
    Value("DateDiff(\"ww\", #1/1/2020#, #12/31/2020#)", "52", "Long");
    Value("DateDiff(\"h\", #1/1/2020 10:59#, #1/1/2020 11:00#)", "1", "Long");
    Value("DateDiff(\"h\", #1/1/2020 10:00#, #1/1/2020 10:59#)", "0", "Long");
    Value("DateDiff(\"n\", #1/1/2020 10:00:59#, #1/1/2020 10:01#)", "1", "Long");
    Value("DateDiff(\"s\", #1/1/2020#, #1/2/2020#)", "86400", "Long");
    Value("DateDiff(\"d\", Null, #1/1/2020#)", "Null", "Null");
  }
  void dateDiff() { Check(); }

  void datePart_data() {
    AddValueColumns();
    Value("DatePart(\"yyyy\", #1/2/2003#)", "2003", "Integer");
    Value("DatePart(\"q\", #5/1/2003#)", "2", "Integer");
    Value("DatePart(\"q\", #12/31/2003#)", "4", "Integer");
    Value("DatePart(\"m\", #5/1/2003#)", "5", "Integer");
    Value("DatePart(\"y\", #2/1/2003#)", "32", "Integer");
    Value("DatePart(\"y\", #12/31/2004#)", "366", "Integer");
    Value("DatePart(\"d\", #5/17/2003#)", "17", "Integer");
    Value("DatePart(\"w\", #1/2/2003#)", "5", "Integer");
    Value("DatePart(\"w\", #1/2/2003#, vbMonday)", "4", "Integer");
    // Week of the year: by default the week holding 1 January is week 1.
    Value("DatePart(\"ww\", #1/1/2003#)", "1", "Integer");
    Value("DatePart(\"ww\", #1/4/2003#)", "1", "Integer");
    Value("DatePart(\"ww\", #1/5/2003#)", "2", "Integer");
    Value("DatePart(\"ww\", #12/31/2003#)", "53", "Integer");
    Value("DatePart(\"ww\", #1/5/2003#, vbMonday)", "1", "Integer");
    // First week with four days, weeks from Monday (ISO-like): 1 Jan 2021 is in 2020's week 53.
    Value("DatePart(\"ww\", #1/1/2021#, vbMonday, vbFirstFourDays)", "53", "Integer");
    Value("DatePart(\"ww\", #1/4/2021#, vbMonday, vbFirstFourDays)", "1", "Integer");
    Value("DatePart(\"ww\", #12/30/2019#, vbMonday, vbFirstFourDays)", "1", "Integer");
    // First full week.
    Value("DatePart(\"ww\", #1/5/2020#, vbSunday, vbFirstFullWeek)", "1", "Integer");
    Value("DatePart(\"ww\", #1/4/2020#, vbSunday, vbFirstFullWeek)", "52", "Integer");
    Value("DatePart(\"ww\", #1/4/2020#, , vbFirstFullWeek)", "52", "Integer");
    Value("DatePart(\"h\", #14:05:09#)", "14", "Integer");
    Value("DatePart(\"n\", #14:05:09#)", "5", "Integer");
    Value("DatePart(\"s\", #14:05:09#)", "9", "Integer");
    Value("DatePart(\"d\", Null)", "Null", "Null");
  }
  void datePart() { Check(); }

  void names_data() {
    AddValueColumns();
    Value("MonthName(1)", "January", "String");
    Value("MonthName(1, True)", "Jan", "String");
    Value("MonthName(1, 10)", "Jan", "String");
    Value("MonthName(12, False)", "December", "String");
    Value("WeekdayName(1)", "Sunday", "String");
    Value("WeekdayName(7)", "Saturday", "String");
    Value("WeekdayName(1.1)", "Sunday", "String");
    Value("WeekdayName(1, True, 2)", "Mon", "String");
    Value("WeekdayName(1, , vbMonday)", "Monday", "String");
    Value("WeekdayName(7, False, vbMonday)", "Sunday", "String");
    Value("FormatDateTime(#1/2/2003 14:05:09#)", "1/2/2003 2:05:09 PM", "String");
    Value("FormatDateTime(#1/2/2003 14:05:09#, vbGeneralDate)", "1/2/2003 2:05:09 PM", "String");
    Value("FormatDateTime(#1/2/2003 14:05:09#, vbLongDate)", "Thursday, January 2, 2003", "String");
    Value("FormatDateTime(#1/2/2003 14:05:09#, vbShortDate)", "1/2/2003", "String");
    Value("FormatDateTime(#1/2/2003 14:05:09#, vbLongTime)", "2:05:09 PM", "String");
    Value("FormatDateTime(#1/2/2003 14:05:09#, vbShortTime)", "14:05", "String");
    Value("FormatDateTime(#9:05#, 4)", "09:05", "String");
  }
  void names() { Check(); }

  void failures_data() {
    AddFailureColumns();
    Failure("#12/31/9999# + 1", 6, "Overflow");
    Failure("#1/1/100# - 1", 6, "Overflow");
    Failure("CDate(3000000)", 6, "Overflow");
    Failure("CDate(\"\")", 13, "Type mismatch");
    Failure("CDate(\"abc\")", 13, "Type mismatch");
    Failure("CDate(\"4\")", 13, "Type mismatch");
    Failure("CDate(\"02.01.1970\")", 13, "Type mismatch");
    Failure("CDate(\"1.1-\")", 13, "Type mismatch");
    Failure("CDate(Null)", 94, "Invalid use of Null");
    Failure("Year(\"abc\")", 13, "Type mismatch");
    Failure("DateAdd(\"x\", 1, #1/1/2004#)", 5, "Invalid procedure call or argument");
    Failure("DateAdd(\"yyyy\", 10000, #1/1/2004#)", 5, "Invalid procedure call or argument");
    Failure("DateAdd(\"d\", -1, #1/1/100#)", 5, "Invalid procedure call or argument");
    Failure("DateAdd(Null, 1, #1/1/2004#)", 94, "Invalid use of Null");
    Failure("DateAdd(\"d\", Null, #1/1/2004#)", 94, "Invalid use of Null");
    Failure("DateDiff(\"z\", #1/1/2004#, #1/1/2004#)", 5, "Invalid procedure call or argument");
    Failure("DateDiff(\"d\", #1/1/2004#, #1/1/2004#, 8)", 5, "Invalid procedure call or argument");
    Failure("DatePart(\"ww\", #1/1/2004#, 1, 4)", 5, "Invalid procedure call or argument");
    Failure("DateSerial(10000, 1, 1)", 5, "Invalid procedure call or argument");
    Failure("DateSerial(2000, 1, Null)", 94, "Invalid use of Null");
    Failure("MonthName(13)", 5, "Invalid procedure call or argument");
    Failure("MonthName(0)", 5, "Invalid procedure call or argument");
    Failure("MonthName(Null)", 94, "Invalid use of Null");
    Failure("WeekdayName(8)", 5, "Invalid procedure call or argument");
    Failure("WeekdayName(1, False, 9)", 5, "Invalid procedure call or argument");
    Failure("FormatDateTime(#1/1/2004#, 5)", 5, "Invalid procedure call or argument");
    Failure("Now(1)", 450, "Wrong number of arguments or invalid property assignment");
    Failure("DateAdd(\"d\", 1)", 450, "Wrong number of arguments or invalid property assignment");
    Failure("DateAdd(\"d\", , #1/1/2004#)", 450,
            "Wrong number of arguments or invalid property assignment");
  }
  void failures() {
    QFETCH(QString, expression);
    QFETCH(int, number);
    QFETCH(QString, description);
    VESKO_CHECK_FAILURE(expression, number, description);
  }

  // The same dates as a Chinese user sees them: the short date is year first, the long time is
  // 24-hour without the zone, names are the locale's.
  void chinese_data() {
    AddValueColumns();
    Value("#1/2/2003 14:05:09#", "2003/1/2 14:05:09", "Date");
    Value("#1/2/2003#", "2003/1/2", "Date");
    Value("#1/2/2003#+30", "2003/2/1", "Date");
    Value("CDate(0.5)", "12:00:00", "Date");
    Value("Now", "2026/12/7 13:45:30", "Date");
    Value("DateSerial(2026, 12, 7)", "2026/12/7", "Date");
    Value("#1/1/100#", "100/1/1", "Date");
    // A date's own text reads back (every locale is checked on the reader itself).
    Value("IsDate(CStr(Now))", "True", "Boolean");
    Value("CDate(CStr(#1/2/2003 14:05:09#)) = #1/2/2003 14:05:09#", "True", "Boolean");
    Value("CDate(\"100/1/1\")", "100/1/1", "Date");
    Value("CDate(\"2003/1/2\")", "2003/1/2", "Date");
    Value("CDate(\"2003-1-2 14:05\")", "2003/1/2 14:05:00", "Date");
    Value("CDate(\"1/2/2003\")", "2003/1/2", "Date");
    Value("MonthName(1)", "一月", "String");
    Value("MonthName(1, True)", "1月", "String");
    Value("WeekdayName(1)", "星期日", "String");
    Value("WeekdayName(1, True, 2)", "周一", "String");
    Value("FormatDateTime(#1/2/2003#, vbLongDate)", "2003年1月2日星期四", "String");
    Value("FormatDateTime(#1/2/2003 14:05:09#, vbLongTime)", "14:05:09", "String");
    Value("FormatDateTime(#1/2/2003 14:05:09#, vbShortTime)", "14:05", "String");
    // The system's first day of the week: Sunday for zh_CN in the locale data Qt carries.
    Value("Weekday(#1/2/2003#, vbUseSystemDayOfWeek)", "5", "Integer");
    Value("\"日期：\" & #12/7/2026#", "日期：2026/12/7", "String");
  }
  void chinese() {
    pin_.reset();
    pin_ = std::make_unique<vesko::test::PinnedLocaleAndClock>(vesko::test::China());
    Check();
  }

  // The short date format widened to a four-digit year (the time format's zone stripping, shared
  // with the status bar's clock, is tested with the clock).
  void fullYearFormat_data() {
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("expected");
    QTest::newRow("en_US") << "M/d/yy"
                           << "M/d/yyyy";
    QTest::newRow("zh_CN") << "yyyy/M/d"
                           << "yyyy/M/d";
    QTest::newRow("one y") << "d.M.y"
                           << "d.M.yyyy";
    QTest::newRow("three y") << "yyy-MM-dd"
                             << "yyyy-MM-dd";
    QTest::newRow("quoted y stays") << "'yy' M/d/yy"
                                    << "'yy' M/d/yyyy";
    QTest::newRow("two fields") << "yy/M/d yy"
                                << "yyyy/M/d yyyy";
    QTest::newRow("no year") << "M/d"
                             << "M/d";
  }
  void fullYearFormat() {
    QFETCH(QString, format);
    QFETCH(QString, expected);
    QCOMPARE(vesko::DateFormatWithFullYear(format), expected);
  }

  // The date-text reader, rule by rule: the text, the locale it is read in, and the moment it
  // reads as ("yyyy-MM-dd HH:mm:ss"; a time alone is on 1899-12-30, "this year" is 2026), or
  // nothing when it is refused.
  void readerRules_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("moment");
    // "." separates a time's parts where dates are not written with it.
    Row("dot: hour.minute", "en_US", "0.1", "1899-12-30 00:01:00");
    Row("dot: not a decimal", "en_US", "2.5", "1899-12-30 02:05:00");
    Row("dot: h.m.s", "en_US", "1.5.2", "1899-12-30 01:05:02");
    Row("dot: time after a date", "en_US", "1 2 3 4.5", "2003-01-02 04:05:00");
    Row("dot: time before a date", "en_US", "1.2 3 4", "2026-03-04 01:02:00");
    Row("dot: date of three after", "en_US", "1.2.3 4 5 6", "2006-04-05 01:02:03");
    Row("dot: zh_CN", "zh_CN", "2.5", "1899-12-30 02:05:00");
    Row("dot: minute 60", "en_US", "0.60", "");
    Row("dot: hour 24", "en_US", "24.00", "");
    Row("dot: four parts", "en_US", "1.2.3.4", "");
    Row("dot: US date with dots", "en_US", "02.01.1970", "");
    Row("dot: two times", "en_US", "1.2 3.4", "");
    Row("dot: zh_CN date with dots", "zh_CN", "1970.01.02", "");
    // Where dates are written with ".", it separates a date's fields.
    Row("dot date: day first", "de_DE", "02.01.1970", "1970-01-02 00:00:00");
    Row("dot date: month 13 swaps", "de_DE", "02.13.1970", "1970-02-13 00:00:00");
    Row("dot date: with a time", "de_DE", "02.01.1970 00:00:00", "1970-01-02 00:00:00");
    // AM/PM: 0 and 12 are the start of the half day, above 12 it is ignored.
    Row("meridiem: 00 AM", "en_US", "00:00 AM", "1899-12-30 00:00:00");
    Row("meridiem: 00 p", "en_US", "00:00 p", "1899-12-30 12:00:00");
    Row("meridiem: 12:59 A", "en_US", "12:59 A", "1899-12-30 00:59:00");
    Row("meridiem: 12:59 pm", "en_US", "12:59 pm", "1899-12-30 12:59:00");
    Row("meridiem: 13 AM", "en_US", "13:00 AM", "1899-12-30 13:00:00");
    Row("meridiem: 13 PM", "en_US", "13:00 PM", "1899-12-30 13:00:00");
    Row("meridiem: hour alone", "en_US", "1 am", "1899-12-30 01:00:00");
    Row("meridiem: zh_CN English", "zh_CN", "2:05 PM", "1899-12-30 14:05:00");
    Row("meridiem: zh_CN marker before", "zh_CN", "下午1:45:30", "1899-12-30 13:45:30");
    Row("meridiem: zh_CN marker after", "zh_CN", "2003/1/2 12:00 上午", "2003-01-02 00:00:00");
    Row("meridiem: 24 AM", "en_US", "24:00 AM", "");
    Row("meridiem: other locale's marker", "en_US", "下午1:45", "");
    // A time comes before or after the date, not inside it.
    Row("place: time first", "en_US", "3 am 1 2", "2026-01-02 03:00:00");
    Row("place: time last", "en_US", "1 2 3 am", "2026-01-02 03:00:00");
    Row("place: time inside", "en_US", "1 2 am 3", "");
    Row("place: time inside, dot", "en_US", "1 2.3 4", "");
    Row("place: time inside, zh_CN", "zh_CN", "1 2 am 3", "");
    Row("place: two times", "en_US", "1.2 3 am 4", "");
    // Forms that are not dates: a mark at either end, one number, four numbers, other words and
    // characters, fractions of a second.
    Row("refused: leading minus", "en_US", "-1.1", "");
    Row("refused: trailing minus", "en_US", "1.1-", "");
    Row("refused: trailing dot", "en_US", "0.", "");
    Row("refused: leading dot", "en_US", ".0", "");
    Row("refused: leading minus zh_CN", "zh_CN", "-1.1", "");
    Row("refused: one number", "en_US", "1", "");
    Row("refused: one number and a time", "en_US", "1 2 am", "");
    Row("refused: four numbers", "en_US", "1 2 3 4", "");
    Row("refused: word", "en_US", "True", "");
    Row("refused: semicolons", "en_US", "1;2;3", "");
    Row("refused: brackets", "en_US", "(1:2)", "");
    Row("refused: fraction of a second", "en_US", "2013-05-14 02:04:12.017", "");
    // Three numbers: the locale's order, then year/month/day, month/day/year, day/month/year.
    Row("three: month day year", "en_US", "1 2 3", "2003-01-02 00:00:00");
    Row("three: year first when 14 is no month", "en_US", "14 2 3", "2014-02-03 00:00:00");
    Row("three: day 14", "en_US", "2 14 3", "2003-02-14 00:00:00");
    Row("three: year last", "en_US", "2 3 14", "2014-02-03 00:00:00");
    Row("three: year 32 first", "en_US", "32 2 3", "1932-02-03 00:00:00");
    Row("three: day first", "en_US", "13-1-1970", "1970-01-13 00:00:00");
    Row("three: four-digit year first", "en_US", "1970-1-13", "1970-01-13 00:00:00");
    Row("three: 29 is 2029", "en_US", "1 2 29", "2029-01-02 00:00:00");
    Row("three: 30 is 1930", "en_US", "1 2 30", "1930-01-02 00:00:00");
    Row("three: no reading", "en_US", "2 32 3", "");
    Row("three: zh_CN year first", "zh_CN", "1 2 3", "2001-02-03 00:00:00");
    Row("three: zh_CN four-digit year last", "zh_CN", "1/2/2003", "2003-01-02 00:00:00");
    Row("three: zh_CN no reading", "zh_CN", "2 32 3", "");
    // Two numbers: month and day of this year, or else month and year.
    Row("two: month day", "en_US", "1 2", "2026-01-02 00:00:00");
    Row("two: the other is the month", "en_US", "14 1", "2026-01-14 00:00:00");
    Row("two: month first", "en_US", "1 14", "2026-01-14 00:00:00");
    Row("two: year and month", "en_US", "30 2", "1930-02-01 00:00:00");
    Row("two: month and year", "en_US", "2 30", "1930-02-01 00:00:00");
    Row("two: no reading", "en_US", "32 49", "");
    Row("two: month 0", "en_US", "0 49", "");
    Row("two: zh_CN month day", "zh_CN", "1/2", "2026-01-02 00:00:00");
    Row("two: day first locale", "de_DE", "1 2", "2026-02-01 00:00:00");
    // A month name: the number is the day, or the year when it cannot be a day.
    Row("named: day", "en_US", "2 Jan", "2026-01-02 00:00:00");
    Row("named: year", "en_US", "Jan 35", "1935-01-01 00:00:00");
    Row("named: year, dash", "en_US", "35-Jan", "1935-01-01 00:00:00");
    Row("named: day and year", "en_US", "2 January, 1970", "1970-01-02 00:00:00");
    Row("named: slashes", "en_US", "2/Jan/1970", "1970-01-02 00:00:00");
    Row("named: zh_CN English name", "zh_CN", "2 Jan 1970", "1970-01-02 00:00:00");
    Row("named: two names", "en_US", "Jan Feb 2", "");
    // Any blank separates the date and the time, the ideographic space too.
    Row("blank: ideographic space", "en_US", "6/30/2011　01:20:34", "2011-06-30 01:20:34");
    Row("blank: zh_CN ideographic space", "zh_CN", "2011/6/30　01:20:34", "2011-06-30 01:20:34");
    // Decimal digits of any script count, other characters with a digit value do not.
    Row("digits: Arabic-Indic", "ar_EG", "٧/١٢/٢٠٢٦", "2026-12-07 00:00:00");
    Row("digits: Devanagari in en_US", "en_US", "१/२/२००३", "2003-01-02 00:00:00");
    Row("digits: superscripts", "en_US", "²/³", "");
    Row("blank: tab", "en_US", "6/30/2011\t1:20 PM", "2011-06-30 13:20:00");
  }
  void readerRules() {
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QFETCH(QString, moment);
    pin_.reset();
    pin_ = std::make_unique<vesko::test::PinnedLocaleAndClock>(QLocale(locale));
    double serial = 0;
    const bool accepted =
        vesko::script::ParseDateText(text, vesko::script::DateOrder::kUserLocale, serial);
    QCOMPARE(accepted, !moment.isEmpty());
    if (accepted) {
      const vesko::script::Moment m = vesko::script::MomentOf(serial);
      const QString read =
          vesko::script::DateOfDay(m.day).toString(u"yyyy-MM-dd") + QLatin1Char(' ') +
          QTime::fromMSecsSinceStartOfDay(static_cast<int>(m.seconds * 1000)).toString(u"HH:mm:ss");
      QCOMPARE(read, moment);
    }
  }

  // The text a date shows reads back as the same date and time in the locale it was written in,
  // for every locale Qt knows: a moment with a time of day in the afternoon (the meridiem), one
  // in the morning, a date alone, a time alone and a year below 1000.
  void readsBackInItsLocale_data() {
    QTest::addColumn<QLocale>("locale");
    QSet<QString> seen;
    const QList<QLocale> all =
        QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory);
    for (const QLocale& locale : all) {
      if (locale.language() != QLocale::C && !seen.contains(locale.name())) {
        seen.insert(locale.name());
        QTest::newRow(qPrintable(locale.name())) << locale;
      }
    }
  }
  void readsBackInItsLocale() {
    QFETCH(QLocale, locale);
    pin_.reset();
    pin_ = std::make_unique<vesko::test::PinnedLocaleAndClock>(locale);
    using vesko::script::DateOrder;
    const double now = vesko::script::SerialOf(46363, 13 * 3600 + 45 * 60 + 30);
    const double serials[] = {now, vesko::script::SerialOf(46363, 9 * 3600 + 5 * 60 + 7), 46363.0,
                              vesko::script::SerialOf(0, 23 * 3600 + 59 * 60 + 59), -500000.0};
    for (const double serial : serials) {
      const QString text = vesko::script::DateText(serial);
      double read = 0;
      QVERIFY2(vesko::script::ParseDateText(text, DateOrder::kUserLocale, read), qPrintable(text));
      QVERIFY2(read == serial,
               qPrintable(text + QStringLiteral(" read as ") + vesko::script::DateText(read)));
    }
  }

 private:
  void Check() {
    QFETCH(QString, expression);
    QFETCH(QString, text);
    QFETCH(QString, type);
    VESKO_CHECK_VALUE(expression, text, type);
  }

  std::unique_ptr<vesko::test::PinnedLocaleAndClock> pin_;
};

QTEST_GUILESS_MAIN(DatesTest)
#include "dates_test.moc"
