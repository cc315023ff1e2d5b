// Long-running use: commits in a loop in the real window (offscreen), each one an Enter press and
// release after the input box was given a new expression, with the window repainting in between.
// Every tenth of the way it prints the rows, the resident memory and the commit times of that
// stretch; at the end the times of live runs and commits on the full history, and whether every
// commit is there.
//
//   soak_bench [COMMITS]      (default 100000)

#include "bench/window_bench_support.h"
#include "script/script_evaluator.h"
#include "window/main_window.h"

#include <QApplication>
#include <QPlainTextEdit>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using namespace vesko::bench;

// The expression of commit `i`: 20 characters, each commit a different one.
QString Input(int i) {
  return QStringLiteral("(1+2)*3-4+%1").arg(i, 10, 10, QChar(u'0'));
}

QString Value(int i) {
  return QString::number(5 + i);
}

double TimedRelease(vesko::MainWindow& window, int key, const QString& text) {
  const auto start = Clock::now();
  SendKey(window.inputBox(), QEvent::KeyRelease, key, text);
  const double ms = Milliseconds(Clock::now() - start);
  QApplication::processEvents();
  return ms;
}

double Commit(vesko::MainWindow& window, int i) {
  window.inputBox()->setPlainText(Input(i));
  SendKey(window.inputBox(), QEvent::KeyPress, Qt::Key_Return, QStringLiteral("\r"));
  return TimedRelease(window, Qt::Key_Return, QStringLiteral("\r"));
}

}  // namespace

int main(int argc, char* argv[]) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication app(argc, argv);
  const int commits = argc > 1 ? std::max(10, std::atoi(argv[1])) : 100000;
  const int stretch = commits / 10;

  const auto evaluator = vesko::CreateScriptEvaluator();
  vesko::MainWindow window(*evaluator);
  window.Load();
  QApplication::processEvents();
  const qsizetype startRows = window.controller().rows().size();
  const long startKiB = StatusKiB("VmRSS");

  std::printf(
      "commits    rows  VmRSS-MiB  bytes/row  commit med  commit p99  (ms, this stretch)\n");
  std::printf("%7d %7lld %10.1f %10s\n", 0, static_cast<long long>(startRows), startKiB / 1024.0,
              "-");
  std::vector<double> times;
  for (int i = 0; i < commits; ++i) {
    times.push_back(Commit(window, i));
    if ((i + 1) % stretch == 0) {
      const qsizetype rows = window.controller().rows().size();
      const long kib = StatusKiB("VmRSS");
      std::printf("%7d %7lld %10.1f %10.0f %11.3f %11.3f\n", i + 1, static_cast<long long>(rows),
                  kib / 1024.0, (kib - startKiB) * 1024.0 / static_cast<double>(rows - startRows),
                  Percentile(times, 0.5), Percentile(times, 0.99));
      std::fflush(stdout);
      times.clear();
    }
  }

  // Key releases on the full history: live runs of the last input, then more commits.
  std::vector<double> live;
  window.inputBox()->setPlainText(Input(7));
  for (int i = 0; i < 300; ++i) {
    live.push_back(TimedRelease(window, Qt::Key_7, QStringLiteral("7")));
  }
  std::vector<double> more;
  for (int i = 0; i < 300; ++i) {
    more.push_back(Commit(window, commits + i));
  }
  const int total = commits + 300;
  std::printf(
      "at the end: live run median %.3f ms, p99 %.3f ms; commit median %.3f ms, p99 %.3f "
      "ms; VmHWM %.1f MiB\n",
      Percentile(live, 0.5), Percentile(live, 0.99), Percentile(more, 0.5), Percentile(more, 0.99),
      StatusKiB("VmHWM") / 1024.0);

  // Nothing lost: one row per commit, in order, and the history box shows them all.
  const QStringList& rows = window.controller().rows();
  bool intact = rows.size() == startRows + total;
  for (int i = 0; intact && i < total; ++i) {
    intact = rows.at(total - i) == Input(i) + u'=' + Value(i);
  }
  const bool shown = window.historyText() == RenderedRows(rows);
  // Besides one row per commit: the live row and the start example that was not overwritten.
  std::printf("rows %lld for %d commits (expected %lld): %s; history box %s\n",
              static_cast<long long>(rows.size()), total, static_cast<long long>(startRows + total),
              intact ? "every commit present, in order" : "ROWS LOST OR WRONG",
              shown ? "matches the rows" : "DIFFERS FROM THE ROWS");
  return intact && shown ? 0 : 1;
}
