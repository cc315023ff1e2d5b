#pragma once

#include <QLocale>
#include <QString>
#include <QTime>

namespace vesko {

// The clock panel's time format: the locale's long time format (which has seconds) without its
// time-zone field. Every run of the zone letter 't' outside quoted literals is removed together
// with the separators that only belong to it: the space or comma before it and the brackets
// around it. A zone between two other fields leaves a single space between them.
QString TimeFormatWithoutZone(const QString& longTimeFormat);

// The clock panel's text: "时间：" followed by the time of day in the locale's time format with
// seconds and without a time-zone name.
QString ClockText(QTime time, const QLocale& locale);

}  // namespace vesko
