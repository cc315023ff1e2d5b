#pragma once

// Helpers shared by the benchmarks that drive the real window.

#include "bench/percentile.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <chrono>

namespace vesko::bench {

using Clock = std::chrono::steady_clock;

inline double Milliseconds(Clock::duration duration) {
  return std::chrono::duration<double, std::milli>(duration).count();
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
