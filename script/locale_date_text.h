#pragma once

// The locale's own date and time formats (Qt format strings) taken field by field: reading a text
// written in exactly that format back into its parts, and writing a year below 1000 without the
// zero padding Qt's "yyyy" gives it.

#include <QLocale>
#include <QString>
#include <QStringView>

namespace vesko::script {

enum class Meridiem { kNone, kAm, kPm };

// The parts a date text names; -1 where the text does not name the part.
struct DateTimeParts {
  int year = -1;
  int yearDigits = 0;
  int month = -1;
  int day = -1;
  int hour = -1;
  int minute = 0;
  int second = 0;
  Meridiem meridiem = Meridiem::kNone;
};

// Reads `text` as written by `locale.toString(..., format)`: literal text must match (any run of
// blanks matches any run of blanks), numbers may use any script's decimal digits, month and
// weekday names and the AM/PM texts are the locale's (any case). False when the text does not
// follow the format to its end.
bool ReadWithFormat(QStringView text, QStringView format, const QLocale& locale,
                    DateTimeParts& parts);

// `format` with every year field replaced by `year` written in the locale's digits without
// padding or grouping, as quoted literal text.
QString FormatWithYearText(QStringView format, int year, const QLocale& locale);

}  // namespace vesko::script
