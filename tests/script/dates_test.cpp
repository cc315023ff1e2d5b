// Dates and times (reference section 8a): literals, arithmetic, the date functions, and the text
// of dates under en_US and zh_CN. The locale and the clock are pinned, so every row is exact.
#include "engine/locale_formats.h"
#include "tests/script/locale_pin.h"
#include "tests/script/script_test_support.h"

#include <QObject>
#include <QTest>

#include <memory>

using vesko::test::AddFailureColumns;
using vesko::test::AddValueColumns;
using vesko::test::Failure;
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
