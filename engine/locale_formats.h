#pragma once

// Date and time formats built from the user's locale, shared by the status bar's clock
// (window/clock_text) and the text of dates in the expression language (script/dates). Part of
// the QtCore engine, which both of them build on.

#include <QString>

namespace vesko {

// The locale's long time format (which has seconds) without its time-zone field. Every run of
// the zone letter 't' outside quoted literals is removed together with the separators that only
// belong to it: the space or comma before it and the brackets around it. A zone between two
// other fields leaves a single space between them.
QString TimeFormatWithoutZone(const QString& longTimeFormat);

// The locale's short date format with its year widened to four digits: a run of one, two or
// three 'y' outside quoted literals becomes "yyyy" ("M/d/yy" -> "M/d/yyyy").
QString DateFormatWithFullYear(const QString& shortDateFormat);

}  // namespace vesko
