#pragma once

#include "script/clock.h"

#include <QDateTime>
#include <QLocale>

namespace vesko::test {

// The moment the script tests' clock shows: Monday 7 Dec 2026, 13:45:30.250 local time.
inline QDateTime PinnedNow() {
  return QDateTime(QDate(2026, 12, 7), QTime(13, 45, 30, 250));
}

inline QLocale UnitedStates() {
  return QLocale(QLocale::English, QLocale::UnitedStates);
}

inline QLocale China() {
  return QLocale(QLocale::Chinese, QLocale::China);
}

// Pins the user's locale and the clock for the life of the object: the tests do not depend on
// the machine's locales or time.
class PinnedLocaleAndClock {
 public:
  explicit PinnedLocaleAndClock(const QLocale& locale) {
    QLocale::setDefault(locale);
    script::SetClock(PinnedNow);
  }
  ~PinnedLocaleAndClock() {
    QLocale::setDefault(saved_);
    script::SetClock(nullptr);
  }

 private:
  QLocale saved_;
};

}  // namespace vesko::test
