// Starts vesko-calc with a history file that it would move aside on reading it: a run that
// reads the file shows it by the file's disappearance and a note on standard error.

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

#include "tests/file_bytes.h"

using vesko::test::ReadBytes;

namespace {

const QByteArray kNotUtf8 = "1+1=2\n\xff\xfe=3\n";

}  // namespace

class CommandLineTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dataHome_;
  QString folder() const { return dataHome_.filePath(QStringLiteral("vesko-calc")); }
  QString historyPath() const { return folder() + QStringLiteral("/history.txt"); }
  // How long the program took to read the history file at start.
  qint64 readingMs_ = -1;

  void Start(QProcess& program, const QStringList& arguments) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_DATA_HOME"), dataHome_.path());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(VESKO_CALC), arguments);
    QVERIFY(program.waitForStarted());
  }

  static void Stop(QProcess& program) {
    program.kill();
    program.waitForFinished();
  }

  void PutUnreadableHistory() {
    QVERIFY(QDir().mkpath(folder()));
    QFile file(historyPath());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(kNotUtf8);
  }

 private slots:
  void initTestCase() { QVERIFY(dataHome_.isValid()); }
  void withHistoryTheFileIsRead();
  void noHistoryNeitherReadsNorWrites();
  void unknownOptionIsRefused();
};

void CommandLineTest::withHistoryTheFileIsRead() {
  // Shows that the way of watching works: without --no-history the file is read at start.
  PutUnreadableHistory();
  QProcess program;
  QElapsedTimer timer;
  timer.start();
  Start(program, {});
  QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(historyPath()), 10'000);
  readingMs_ = timer.elapsed();
  QByteArray errors;
  QTRY_VERIFY((errors += program.readAllStandardError()).contains("history.txt"));
  Stop(program);
  QDir(folder()).removeRecursively();
}

void CommandLineTest::noHistoryNeitherReadsNorWrites() {
  PutUnreadableHistory();
  QProcess program;
  Start(program, {QStringLiteral("--no-history")});
  // Well past the time the run above took to read the file.
  QTest::qWait(static_cast<int>(std::max<qint64>(2000, 3 * readingMs_)));
  QCOMPARE(program.state(), QProcess::Running);
  Stop(program);
  QCOMPARE(ReadBytes(historyPath()), kNotUtf8);
  QCOMPARE(QDir(folder()).entryList(QDir::Files | QDir::Hidden),
           QStringList({QStringLiteral("history.txt")}));
  QVERIFY(!program.readAllStandardError().contains("history"));
}

void CommandLineTest::unknownOptionIsRefused() {
  QProcess program;
  Start(program, {QStringLiteral("--no-histroy")});
  QVERIFY(program.waitForFinished(10'000));
  QCOMPARE(program.exitCode(), 1);
  QVERIFY(program.readAllStandardError().contains("no-histroy"));
}

QTEST_GUILESS_MAIN(CommandLineTest)
#include "command_line_test.moc"
