#pragma once

// Helpers shared by the benchmarks that drive the real window.

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>

namespace vesko::bench {

using Clock = std::chrono::steady_clock;

inline double Milliseconds(Clock::duration duration) {
  return std::chrono::duration<double, std::milli>(duration).count();
}

// The smallest sample that `fraction` of the samples do not exceed (nearest rank).
inline double Percentile(std::vector<double> samples, double fraction) {
  if (samples.empty()) {
    return 0;
  }
  std::sort(samples.begin(), samples.end());
  const auto rank = static_cast<size_t>(std::ceil(fraction * static_cast<double>(samples.size())));
  return samples[std::clamp<size_t>(rank, 1, samples.size()) - 1];
}

// The history text the rows render to: each row followed by CR LF.
inline QString RenderedRows(const QStringList& rows) {
  QString text;
  for (const QString& row : rows) {
    text += row;
    text += QStringLiteral("\r\n");
  }
  return text;
}

// A key event as the window system would deliver it (without a scan code, so it runs at once).
inline void SendKey(QWidget* target, QEvent::Type type, int key, const QString& text) {
  QKeyEvent event(type, key, Qt::NoModifier, text);
  QApplication::sendEvent(target, &event);
}

// A field of /proc/self/status in KiB ("VmRSS", "VmHWM"), or -1.
inline long StatusKiB(const char* field) {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly)) {
    return -1;
  }
  const QByteArray prefix = QByteArray(field) + ':';
  for (const QByteArray& line : status.readAll().split('\n')) {
    if (line.startsWith(prefix)) {
      return line.mid(prefix.size()).trimmed().split(' ').first().toLong();
    }
  }
  return -1;
}

}  // namespace vesko::bench
