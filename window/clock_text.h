#pragma once

#include "engine/locale_formats.h"

#include <QLocale>
#include <QString>
#include <QTime>

namespace vesko {

// The clock panel's time format is TimeFormatWithoutZone (engine/locale_formats.h), which the
// language's date text shares.

// The clock panel's text: "时间：" followed by the time of day in the locale's time format with
// seconds and without a time-zone name.
QString ClockText(QTime time, const QLocale& locale);

}  // namespace vesko
