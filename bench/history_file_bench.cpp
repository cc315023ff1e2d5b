// Times of the history file's operations on the disk of the temporary folder: restoring the
// newest 1,000 of 100,000 rows, one append, the first append to a file of 100,000 rows (which
// counts its rows) and the append that compacts it. Prints the median of several runs of each.
//   history_file_bench [RUNS]      (default 9)

#include "engine/history_file.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

QByteArray Rows(int count) {
  QByteArray lines;
  for (int i = 0; i < count; ++i) {
    lines += "(" + QByteArray::number(i) + "-10)**(4)+sin((60-30)*pi/180)/" +
             QByteArray::number(i % 97 + 1) + "=" + QByteArray::number(i) + ".0123456789\n";
  }
  return lines;
}

// Median milliseconds of `runs` runs of `measured`, each after `prepare`.
double MedianMs(int runs, const std::function<void()>& prepare,
                const std::function<void()>& measured) {
  std::vector<double> times;
  for (int run = 0; run < runs; ++run) {
    prepare();
    QElapsedTimer timer;
    timer.start();
    measured();
    times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

}  // namespace

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("history.txt"));
  const QByteArray full = Rows(100'000);
  const QByteArray half = Rows(50'000);
  const auto put = [&path](const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size()) {
      std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
      std::exit(1);
    }
  };

  put(full);
  const double restore = MedianMs(
      runs, [] {}, [&dir] { vesko::HistoryFile(dir.path()).Restore(1000); });

  std::unique_ptr<vesko::HistoryFile> history;
  const auto open = [&history, &dir] {
    history = std::make_unique<vesko::HistoryFile>(dir.path());
  };
  put(Rows(10));
  open();
  const double append = MedianMs(
      runs, [] {}, [&history] { history->Append(QStringLiteral("1+2=3")); });
  const double firstAppend = MedianMs(
      runs,
      [&] {
        put(half);
        open();
      },
      [&history] { history->Append(QStringLiteral("1+2=3")); });
  const double compactingAppend = MedianMs(
      runs,
      [&] {
        put(full);
        open();
      },
      [&history] { history->Append(QStringLiteral("1+2=3")); });

  std::printf("file of 100,000 rows: %.1f MiB\n", full.size() / 1048576.0);
  std::printf("restore the newest 1,000 of 100,000 rows   %8.2f ms\n", restore);
  std::printf("append one row                              %8.2f ms\n", append);
  std::printf("first append to 50,000 rows (counts them)   %8.2f ms\n", firstAppend);
  std::printf("append past 100,000 rows (compacts)         %8.2f ms\n", compactingAppend);
  return 0;
}
