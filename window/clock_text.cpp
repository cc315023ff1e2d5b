#include "window/clock_text.h"

namespace vesko {

QString ClockText(QTime time, const QLocale& locale) {
  const QString format = TimeFormatWithoutZone(locale.timeFormat(QLocale::LongFormat));
  return QStringLiteral("时间：") + locale.toString(time, format);
}

}  // namespace vesko
