#pragma once

// Helpers of the window tests that run on a real X server (through tests/run_under_x.sh).

#include <QElapsedTimer>
#include <QProcess>
#include <QWidget>
#include <QtTest>

namespace vesko {

// Runs an X tool and returns what it printed; warns and returns nothing if it does not succeed.
inline QString RunTool(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  if (!process.waitForFinished(10000) || process.exitStatus() != QProcess::NormalExit ||
      process.exitCode() != 0) {
    qWarning() << program << arguments << "failed:" << process.readAllStandardError();
    return QString();
  }
  return QString::fromLocal8Bit(process.readAllStandardOutput());
}

inline QString WindowId(const QWidget& widget) {
  return QStringLiteral("0x%1").arg(widget.winId(), 0, 16);
}

// Waits until the window manager has framed a shown window, and a little longer for its
// adjustments to settle.
inline void WaitUntilFramed(const QWidget& window) {
  QElapsedTimer waited;
  waited.start();
  while (window.frameGeometry() == window.geometry() && waited.elapsed() < 5000) {
    QTest::qWait(20);
  }
  QTest::qWait(200);
}

}  // namespace vesko
