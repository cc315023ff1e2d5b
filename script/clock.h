#pragma once

#include <QDateTime>

#include <functional>

namespace vesko::script {

// The clock that Now, Date, Time and Timer read: local date and time. Tests replace it to get
// exact answers; an empty function puts the system clock back.
using Clock = std::function<QDateTime()>;
void SetClock(Clock clock);
QDateTime CurrentDateTime();

}  // namespace vesko::script
