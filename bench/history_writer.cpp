// A second calculator committing, for the Enter-to-row benchmark: appends a row to the history
// file in FOLDER every INTERVAL milliseconds, as another calculator's commits would, until it is
// stopped.
//   history_writer FOLDER [INTERVAL_MS]      (default 100)

#include "engine/history_file.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s FOLDER [INTERVAL_MS]\n", argv[0]);
    return 2;
  }
  const int interval = argc > 2 ? std::max(1, std::atoi(argv[2])) : 100;
  vesko::HistoryFile file(QString::fromLocal8Bit(argv[1]));
  file.Restore(0);
  int count = 0;
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, [&file, &count] {
    ++count;
    file.Append(QStringLiteral("(%1-10)**(4)+sin((60-30)*pi/180)=%2").arg(count).arg(count));
  });
  timer.start(interval);
  return QCoreApplication::exec();
}
