#include "script/clock.h"

namespace vesko::script {

namespace {

Clock& Current() {
  static Clock clock;
  return clock;
}

}  // namespace

void SetClock(Clock clock) {
  Current() = std::move(clock);
}

QDateTime CurrentDateTime() {
  const Clock& clock = Current();
  return clock ? clock() : QDateTime::currentDateTime();
}

}  // namespace vesko::script
