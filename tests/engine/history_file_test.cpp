#include "engine/history_file.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <cstdlib>
#include <cstring>

#include <csignal>

#include <sys/resource.h>
#include <unistd.h>

#include "tests/test_rows.h"

using namespace Qt::StringLiterals;

using vesko::HistoryFile;
using vesko::KeptRow;
using vesko::test::Row;

namespace {

QByteArray ReadBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  QCOMPARE(file.write(bytes), bytes.size());
}

// `count` lines "row<i>=<i>" for i from `first`, oldest first, as the file holds them.
QByteArray NumberedLines(qsizetype first, qsizetype count) {
  QByteArray lines;
  for (qsizetype i = first; i < first + count; ++i) {
    lines += "row" + QByteArray::number(i) + '=' + QByteArray::number(i) + '\n';
  }
  return lines;
}

QString NumberedRow(qsizetype i) {
  return QStringLiteral("row%1=%1").arg(i);
}

// Helper modes of this program, started by the tests as separate processes.
//   --append-rows FOLDER TAG COUNT: appends COUNT rows "TAG-<i>=..." one by one.
//   --append-and-crash FOLDER: appends one row; the compaction it starts stops the process
//                              between writing the new file and putting it in place.
int RunHelper(int argc, char* argv[]) {
  if (std::strcmp(argv[1], "--append-rows") == 0 && argc == 5) {
    HistoryFile file(QString::fromLocal8Bit(argv[2]));
    const QString tag = QString::fromLocal8Bit(argv[3]);
    const int count = std::atoi(argv[4]);
    // Long rows make an interleaving inside a line likely if the appends were not locked.
    const QString filler(200, u'计');
    for (int i = 0; i < count; ++i) {
      file.Append(QStringLiteral("%1-%2=%3").arg(tag).arg(i).arg(filler));
    }
    return file.persistent() ? 0 : 1;
  }
  if (std::strcmp(argv[1], "--append-and-crash") == 0 && argc == 3) {
    HistoryFile file(QString::fromLocal8Bit(argv[2]));
    file.setBeforeReplaceHook([] { std::_Exit(3); });
    file.Append(QStringLiteral("newest"));
    return 0;  // not reached when the file was compacted
  }
  std::fprintf(stderr, "unknown helper arguments\n");
  return 2;
}

}  // namespace

class HistoryFileTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<QTemporaryDir> dir_;
  QStringList reports_;

  QString folder() const { return dir_->path(); }
  QString historyPath() const { return dir_->filePath(QStringLiteral("history.txt")); }
  std::unique_ptr<HistoryFile> Open(const QString& folder) {
    auto file = std::make_unique<HistoryFile>(folder);
    file->setReporter([this](const QString& message) { reports_.append(message); });
    return file;
  }
  std::unique_ptr<HistoryFile> Open() { return Open(folder()); }
  QStringList FilesInFolder() const {
    return QDir(folder()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
  }

 private slots:
  void init();
  void restoresNewestFirst_data();
  void restoresNewestFirst();
  void restoreReadsLongTails();
  void rowsRoundTrip_data();
  void rowsRoundTrip();
  void tornLastLineSkipped_data();
  void tornLastLineSkipped();
  void unexpectedFileMovedAside_data();
  void unexpectedFileMovedAside();
  void movedAsideFilesNeverOverwritten();
  void randomGarbage_data();
  void randomGarbage();
  void notWritable_data();
  void notWritable();
  void fullDiskLeavesNoHalfLine();
  void readOnlyFolder();
  void compaction_data();
  void compaction();
  void crashDuringCompactionLeavesOldFileWhole();
  void twoProcessesAppendWholeLines();
  void rowsWaitWhileLocked();
  void clearing();
  void splitRowsRoundTrip_data();
  void splitRowsRoundTrip();
  void linesOfEarlierVersions_data();
  void linesOfEarlierVersions();
  void removingOneRow_data();
  void removingOneRow();
  void removedRowLeavesNoTrace();
};

void HistoryFileTest::init() {
  dir_ = std::make_unique<QTemporaryDir>();
  QVERIFY(dir_->isValid());
  reports_.clear();
}

void HistoryFileTest::restoresNewestFirst_data() {
  QTest::addColumn<int>("stored");
  QTest::addColumn<int>("asked");
  QTest::addColumn<int>("expected");
  QTest::newRow("no file") << -1 << 5 << 0;
  QTest::newRow("empty file") << 0 << 5 << 0;
  QTest::newRow("fewer than asked") << 3 << 5 << 3;
  QTest::newRow("exactly as many") << 5 << 5 << 5;
  QTest::newRow("more than asked") << 10 << 4 << 4;
  QTest::newRow("none asked") << 10 << 0 << 0;
}

void HistoryFileTest::restoresNewestFirst() {
  QFETCH(int, stored);
  QFETCH(int, asked);
  QFETCH(int, expected);
  if (stored >= 0) {
    auto writer = Open();
    for (int i = 0; i < stored; ++i) {
      writer->Append(NumberedRow(i));
    }
    if (stored == 0) {
      WriteBytes(historyPath(), {});
    }
  }
  const QStringList rows = Open()->Restore(asked);
  QStringList newestFirst;
  for (int i = stored - 1; i >= stored - expected; --i) {
    newestFirst.append(NumberedRow(i));
  }
  QCOMPARE(rows, newestFirst);
  QCOMPARE(reports_, QStringList());
}

void HistoryFileTest::restoreReadsLongTails() {
  // The 1,000 newest of 5,000 long rows are much more than the first block read from the end.
  QByteArray lines;
  const QByteArray filler(300, 'x');
  for (int i = 0; i < 5000; ++i) {
    lines += QByteArray::number(i) + '=' + filler + '\n';
  }
  WriteBytes(historyPath(), lines);
  const QStringList rows = Open()->Restore(1000);
  QCOMPARE(rows.size(), 1000);
  QCOMPARE(rows.front(), QString::fromLatin1("4999=" + filler));
  QCOMPARE(rows.back(), QString::fromLatin1("4000=" + filler));
}

void HistoryFileTest::rowsRoundTrip_data() {
  QTest::addColumn<QString>("row");
  QTest::newRow("plain") << QStringLiteral("1+2=3");
  QTest::newRow("Chinese error row") << QStringLiteral("表达式错误:1/0");
  QTest::newRow("line feed") << QStringLiteral("1+\n2=3");
  QTest::newRow("carriage return") << QStringLiteral("1+\r2=3");
  QTest::newRow("CR LF at the end") << QStringLiteral("1+2=3\r\n");
  QTest::newRow("backslash") << QStringLiteral("a\\b=1");
  QTest::newRow("backslash then n") << QStringLiteral("a\\n=1");
  QTest::newRow("trailing backslash") << QStringLiteral("a\\");
  QTest::newRow("NUL") << QString(QStringLiteral("a=")) + QChar(0) + u'1';
  QTest::newRow("byte order mark first") << QStringLiteral("\uFEFF1=1");
  QTest::newRow("paragraph separator") << QStringLiteral("1\u2029=1");
  QTest::newRow("empty") << QString();
}

void HistoryFileTest::rowsRoundTrip() {
  QFETCH(QString, row);
  auto writer = Open();
  writer->Append(QStringLiteral("before"));
  writer->Append(row);
  writer->Append(QStringLiteral("after"));
  // One line per row, whatever the row holds.
  const QByteArray bytes = ReadBytes(historyPath());
  QCOMPARE(bytes.count('\n'), 3);
  QVERIFY(!bytes.contains('\r'));
  QCOMPARE(Open()->Restore(10), QStringList({u"after"_s, row, u"before"_s}));
  QCOMPARE(reports_, QStringList());
  // Only its owner may read what was calculated.
  QCOMPARE(QFile::permissions(historyPath()) & ~(QFile::ReadUser | QFile::WriteUser),
           QFile::ReadOwner | QFile::WriteOwner);
}

void HistoryFileTest::tornLastLineSkipped_data() {
  QTest::addColumn<QByteArray>("bytes");
  QTest::addColumn<QStringList>("restored");
  QTest::newRow("cut in ASCII") << QByteArray("a=1\nb=2\nc=") << QStringList({u"b=2"_s, u"a=1"_s});
  QTest::newRow("cut inside a character") << QByteArray("a=1\n\xe8\xa1") << QStringList({u"a=1"_s});
  QTest::newRow("cut after a backslash") << QByteArray("a=1\nb\\") << QStringList({u"a=1"_s});
  QTest::newRow("only a torn line") << QByteArray("a=") << QStringList();
}

void HistoryFileTest::tornLastLineSkipped() {
  QFETCH(QByteArray, bytes);
  QFETCH(QStringList, restored);
  WriteBytes(historyPath(), bytes);
  auto file = Open();
  QCOMPARE(file->Restore(10), restored);
  QCOMPARE(reports_.size(), 1);
  QVERIFY2(reports_[0].contains(historyPath()), qPrintable(reports_[0]));

  // The next append removes the torn line instead of continuing it; the fault is not reported
  // a second time.
  file->Append(QStringLiteral("d=4"));
  QByteArray expected = bytes.left(bytes.lastIndexOf('\n') + 1) + "d=4\n";
  QCOMPARE(ReadBytes(historyPath()), expected);
  QCOMPARE(reports_.size(), 1);
  QVERIFY(file->persistent());
}

void HistoryFileTest::unexpectedFileMovedAside_data() {
  QTest::addColumn<QByteArray>("bytes");
  QTest::newRow("invalid UTF-8") << QByteArray("1+1=2\n\xff\xfe=3\n");
  QTest::newRow("overlong encoding") << QByteArray("1=\xc0\xaf\n");
  QTest::newRow("UTF-16") << QByteArray("\xff\xfe\x31\x00=\x00\x31\x00\n\x00", 10);
  QTest::newRow("Latin-1 text") << QByteArray("caf\xe9=1\n");
  QTest::newRow("CR LF line ends") << QByteArray("1=1\r\n2=2\r\n");
  QTest::newRow("NUL byte") << QByteArray("1=1\n\0\n", 6);
  QTest::newRow("unknown escape") << QByteArray("a\\tb=1\n");
  QTest::newRow("backslash at line end") << QByteArray("a\\\n");
  QTest::newRow("two splits") << QByteArray("a\\=b\\=c\n");
  QTest::newRow("literal without a result") << QByteArray("a==b\\|\"x\"\n");
  QTest::newRow("split after the literal") << QByteArray("a=b\\|x\\=y\n");
}

void HistoryFileTest::unexpectedFileMovedAside() {
  QFETCH(QByteArray, bytes);
  WriteBytes(historyPath(), bytes);
  auto file = Open();
  QCOMPARE(file->Restore(1000), QStringList());

  // Moved aside, byte for byte, and said where to.
  QVERIFY(!QFile::exists(historyPath()));
  const QStringList files = FilesInFolder().filter(QStringLiteral("history.txt."));
  QCOMPARE(files.size(), 1);
  QCOMPARE(ReadBytes(dir_->filePath(files[0])), bytes);
  // (A UTF-16 file also ends in a torn line: its last line feed is followed by a zero byte.)
  QVERIFY(!reports_.isEmpty() && reports_.size() <= 2);
  QVERIFY2(reports_.back().contains(historyPath()) && reports_.back().contains(files[0]),
           qPrintable(reports_.back()));

  // The history starts empty and is kept again.
  QVERIFY(file->persistent());
  file->Append(QStringLiteral("1+2=3"));
  QCOMPARE(ReadBytes(historyPath()), QByteArray("1+2=3\n"));
}

void HistoryFileTest::movedAsideFilesNeverOverwritten() {
  // Within one second the second file moved aside would get the first one's name.
  const QList<QByteArray> contents = {"\xff first\n", "\xff second\n", "\xff third\n"};
  for (const QByteArray& bytes : contents) {
    WriteBytes(historyPath(), bytes);
    QCOMPARE(Open()->Restore(10), QStringList());
  }
  QList<QByteArray> kept;
  for (const QString& name : FilesInFolder().filter(QStringLiteral("history.txt."))) {
    kept.append(ReadBytes(dir_->filePath(name)));
  }
  std::sort(kept.begin(), kept.end());
  QList<QByteArray> expected = contents;
  std::sort(expected.begin(), expected.end());
  QCOMPARE(kept, expected);
}

void HistoryFileTest::randomGarbage_data() {
  QTest::addColumn<quint32>("seed");
  QTest::addColumn<int>("size");
  for (const quint32 seed : {1u, 2u, 3u, 4u, 5u}) {
    QTest::addRow("seed %u, 64 KiB", seed) << seed << 64 * 1024;
  }
  QTest::addRow("seed 6, 300 KiB") << 6u << 300 * 1024;
}

void HistoryFileTest::randomGarbage() {
  QFETCH(quint32, seed);
  QFETCH(int, size);
  QRandomGenerator random(seed);
  QByteArray bytes(size, Qt::Uninitialized);
  random.fillRange(reinterpret_cast<quint32*>(bytes.data()), size / 4);
  WriteBytes(historyPath(), bytes);

  auto file = Open();
  const QStringList rows = file->Restore(1000);
  // Nothing is lost: the bytes are still there, in the history file or moved aside.
  if (QFile::exists(historyPath())) {
    QCOMPARE(ReadBytes(historyPath()), bytes);
  } else {
    const QStringList files = FilesInFolder().filter(QStringLiteral("history.txt."));
    QCOMPARE(files.size(), 1);
    QCOMPARE(ReadBytes(dir_->filePath(files[0])), bytes);
    QCOMPARE(rows, QStringList());
  }
  QVERIFY(reports_.size() <= 2);  // a torn last line and the move aside at most
  file->Append(QStringLiteral("1+2=3"));
  QCOMPARE(Open()->Restore(1), QStringList({u"1+2=3"_s}));
}

void HistoryFileTest::notWritable_data() {
  // Running as root, a read-only folder is writable all the same; these cases fail for everyone.
  QTest::addColumn<QString>("how");
  QTest::newRow("data folder is a regular file") << "file";
  QTest::newRow("data folder under /proc") << "proc";
}

void HistoryFileTest::notWritable() {
  QFETCH(QString, how);
  QString folder = this->folder();
  if (how == u"file"_s) {
    folder = dir_->filePath(QStringLiteral("not-a-folder"));
    WriteBytes(folder, "plain file\n");
  } else if (how == u"proc"_s) {
    folder = QStringLiteral("/proc/self/vesko-history");
  }
  auto file = Open(folder);
  QCOMPARE(file->Restore(1000), QStringList());
  file->Append(QStringLiteral("1+2=3"));
  file->Append(QStringLiteral("3+4=7"));
  // Said once, naming where; the calculator carries on without keeping rows.
  QCOMPARE(reports_.size(), 1);
  QVERIFY2(reports_[0].contains(folder), qPrintable(reports_[0]));
  QVERIFY(!file->persistent());
  QVERIFY(!file->Clear());
  if (how == u"file"_s) {
    QCOMPARE(ReadBytes(folder), QByteArray("plain file\n"));
  }
}

void HistoryFileTest::fullDiskLeavesNoHalfLine() {
  // A file size limit makes the write stop part way through the line, as a full disk does. The
  // file is made larger than the lock file, which the limit must not stop.
  const QByteArray before = NumberedLines(0, 300);
  WriteBytes(historyPath(), before);
  auto file = Open();
  QCOMPARE(file->Restore(1), QStringList({NumberedRow(299)}));
  rlimit old{};
  QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit limited = old;
  limited.rlim_cur = before.size() + 5;
  QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
  file->Append(QStringLiteral("100+200=300"));
  file->Append(QStringLiteral("3+4=7"));
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);

  QCOMPARE(ReadBytes(historyPath()), before);
  QCOMPARE(reports_.size(), 1);
  QVERIFY2(reports_[0].contains(historyPath()), qPrintable(reports_[0]));
  QVERIFY(!file->persistent());
}

void HistoryFileTest::readOnlyFolder() {
  if (geteuid() == 0) {
    QSKIP("root writes into read-only folders; the cases of notWritable cover this path");
  }
  WriteBytes(historyPath(), "1+2=3\n");
  QVERIFY(QFile::setPermissions(folder(), QFile::ReadOwner | QFile::ExeOwner));
  auto file = Open();
  QCOMPARE(file->Restore(10), QStringList({u"1+2=3"_s}));
  file->Append(QStringLiteral("3+4=7"));
  QCOMPARE(reports_.size(), 1);
  QVERIFY(!file->persistent());
  QVERIFY(QFile::setPermissions(folder(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
  QCOMPARE(ReadBytes(historyPath()), QByteArray("1+2=3\n"));
}

void HistoryFileTest::compaction_data() {
  QTest::addColumn<int>("stored");
  QTest::addColumn<int>("expectedLines");
  QTest::newRow("reaching 100,000 rows") << 99'999 << 100'000;
  QTest::newRow("passing 100,000 rows") << 100'000 << 50'000;
  QTest::newRow("far past, written by an older run") << 150'000 << 50'000;
}

void HistoryFileTest::compaction() {
  QFETCH(int, stored);
  QFETCH(int, expectedLines);
  WriteBytes(historyPath(), NumberedLines(0, stored));
  const QFile::Permissions ownerOnly = QFile::ReadOwner | QFile::WriteOwner;
  QVERIFY(QFile::setPermissions(historyPath(), ownerOnly));
  auto file = Open();
  file->Append(NumberedRow(stored));
  const QByteArray bytes = ReadBytes(historyPath());
  QCOMPARE(bytes.count('\n'), expectedLines);
  QCOMPARE(QFile::permissions(historyPath()) & ~(QFile::ReadUser | QFile::WriteUser), ownerOnly);
  // The newest rows are the ones kept, whole and in order.
  QCOMPARE(bytes, NumberedLines(stored + 1 - expectedLines, expectedLines));
  QCOMPARE(reports_, QStringList());

  // Later appends count on from there, and compact when they pass 100,000 rows.
  file->Append(NumberedRow(stored + 1));
  QCOMPARE(ReadBytes(historyPath()).count('\n'), expectedLines + 1 > HistoryFile::kCompactAbove
                                                     ? HistoryFile::kCompactTo
                                                     : expectedLines + 1);
}

void HistoryFileTest::crashDuringCompactionLeavesOldFileWhole() {
  const QByteArray old = NumberedLines(0, 100'000);
  WriteBytes(historyPath(), old);
  QProcess helper;
  helper.start(QCoreApplication::applicationFilePath(), {u"--append-and-crash"_s, folder()});
  QVERIFY(helper.waitForFinished(60'000));
  QCOMPARE(helper.exitStatus(), QProcess::NormalExit);
  QCOMPARE(helper.exitCode(), 3);  // stopped between writing the new file and renaming it

  // The old file, with the row appended before the compaction began, is there whole.
  QCOMPARE(ReadBytes(historyPath()), old + "newest\n");
  qInfo() << "left in the folder:" << FilesInFolder();

  // The lock of the stopped process does not block the next calculator, which compacts.
  auto file = Open();
  QCOMPARE(file->Restore(2), QStringList({u"newest"_s, NumberedRow(99'999)}));
  file->Append(QStringLiteral("after"));
  const QByteArray bytes = ReadBytes(historyPath());
  QCOMPARE(bytes.count('\n'), 50'000);
  QVERIFY(bytes.endsWith("row99999=99999\nnewest\nafter\n"));
  QCOMPARE(reports_, QStringList());
}

void HistoryFileTest::twoProcessesAppendWholeLines() {
  constexpr int kRows = 1000;
  QProcess first;
  QProcess second;
  const QString program = QCoreApplication::applicationFilePath();
  first.start(program, {u"--append-rows"_s, folder(), u"first"_s, QString::number(kRows)});
  second.start(program, {u"--append-rows"_s, folder(), u"second"_s, QString::number(kRows)});
  for (QProcess* helper : {&first, &second}) {
    QVERIFY(helper->waitForFinished(120'000));
    QCOMPARE(helper->exitCode(), 0);
  }

  const QString filler(200, u'计');
  const QList<QByteArray> lines = ReadBytes(historyPath()).split('\n');
  QCOMPARE(lines.size(), 2 * kRows + 1);  // the last line feed ends the last line
  QVERIFY(lines.back().isEmpty());
  // Every line is one whole row, and each process's rows are in the order it appended them.
  QHash<QString, int> next;
  for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
    const QString row = QString::fromUtf8(lines[i]);
    const QString tag = row.section(u'-', 0, 0);
    QVERIFY2(tag == u"first"_s || tag == u"second"_s, qPrintable(row.left(40)));
    QCOMPARE(row, QStringLiteral("%1-%2=%3").arg(tag).arg(next[tag]++).arg(filler));
  }
  QCOMPARE(next.value(u"first"_s), kRows);
  QCOMPARE(next.value(u"second"_s), kRows);
}

void HistoryFileTest::rowsWaitWhileLocked() {
  // Another calculator that holds the lock for longer than an append waits: the row is kept in
  // memory and written with the next append, or when the history file is closed.
  QLockFile other(dir_->filePath(QStringLiteral("history.lock")));
  QVERIFY(other.lock());
  auto file = Open();
  file->Append(QStringLiteral("1+2=3"));
  QCOMPARE(ReadBytes(historyPath()), QByteArray());
  QCOMPARE(reports_.size(), 1);
  other.unlock();
  file->Append(QStringLiteral("3+4=7"));
  QCOMPARE(ReadBytes(historyPath()), QByteArray("1+2=3\n3+4=7\n"));

  QVERIFY(other.lock());
  file->Append(QStringLiteral("5+6=11"));
  other.unlock();
  file.reset();
  QCOMPARE(ReadBytes(historyPath()), QByteArray("1+2=3\n3+4=7\n5+6=11\n"));
  QCOMPARE(reports_.size(), 1);
}

void HistoryFileTest::clearing() {
  auto file = Open();
  QVERIFY(file->Clear());  // nothing to clear yet
  QVERIFY(!QFile::exists(historyPath()));
  file->Append(QStringLiteral("1+2=3"));
  file->Append(QStringLiteral("3+4=7"));
  QVERIFY(file->Clear());
  QCOMPARE(ReadBytes(historyPath()), QByteArray());
  QCOMPARE(Open()->Restore(10), QStringList());
  file->Append(QStringLiteral("5+6=11"));
  QCOMPARE(Open()->Restore(10), QStringList({u"5+6=11"_s}));
  QCOMPARE(reports_, QStringList());
}

void HistoryFileTest::splitRowsRoundTrip_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<int>("expressionLength");
  QTest::addColumn<QString>("literal");  // null: the result is its own literal
  QTest::addColumn<QByteArray>("line");
  Row("one =", "1+2=3", 3, QString(), QByteArray("1+2=3"));
  Row("= on the left", "1=1=True", 3, QString(), QByteArray("1=1\\=True"));
  Row("= on both sides", "\"a=b\"=a=b", 5, "\"a=b\"", QByteArray("\"a=b\"\\=a=b\\|\"a=b\""));
  Row("= on the right", "\"=\"&1==1", 5, "\"=1\"", QByteArray("\"=\"&1\\==1\\|\"=1\""));
  Row("string result", "\"a\"&\"b\"=ab", 7, "\"ab\"", QByteArray("\"a\"&\"b\"=ab\\|\"ab\""));
  Row("empty string result", "\"\"=", 2, "\"\"", QByteArray("\"\"=\\|\"\""));
  Row("date result", "#1/2/2003#=2003/1/2", 10, "#1/2/2003#",
      QByteArray("#1/2/2003#=2003/1/2\\|#1/2/2003#"));
  Row("line break and backslash", "\"\\\"&\"\n=\"=\\\n=", 8, "\"\\\"&ChrW(10)",
      QByteArray("\"\\\\\"&\"\\n=\"\\=\\\\\\n=\\|\"\\\\\"&ChrW(10)"));
}

void HistoryFileTest::splitRowsRoundTrip() {
  QFETCH(QString, text);
  QFETCH(int, expressionLength);
  QFETCH(QString, literal);
  QFETCH(QByteArray, line);
  const KeptRow row{text, expressionLength, literal, !literal.isNull()};
  QCOMPARE(HistoryFile::EscapeRow(row), line);

  auto writer = Open();
  writer->Append(QStringLiteral("before"));
  writer->Append(row);
  QCOMPARE(ReadBytes(historyPath()), "before\n" + line + '\n');
  const QList<KeptRow> restored = Open()->RestoreRows(10);
  QCOMPARE(restored.size(), 2);
  QCOMPARE(restored[0].text, text);
  QCOMPARE(restored[0].expressionLength, expressionLength);
  QCOMPARE(restored[0].literal, literal);
  QCOMPARE(restored[0].literalKnown, !literal.isNull());
  QCOMPARE(reports_, QStringList());
}

void HistoryFileTest::linesOfEarlierVersions_data() {
  QTest::addColumn<QByteArray>("line");
  QTest::addColumn<QString>("expression");  // the whole row when its split is in doubt
  QTest::addColumn<int>("expressionLength");
  Row("one =", QByteArray("1+1=2"), "1+1", 3);
  Row("escaped line break", QByteArray("1+\\n1=2"), "1+\n1", 4);
  Row("two =", QByteArray("1=1=True"), "1=1=True", -1);
  Row("= on both sides", QByteArray("\"a=b\"=a=b"), "\"a=b\"=a=b", -1);
  Row("error-looking row", QByteArray("表达式错误:1/0"), "表达式错误:1/0", -1);
  Row("blank result", QByteArray("\"\"="), "\"\"", 2);
}

void HistoryFileTest::linesOfEarlierVersions() {
  QFETCH(QByteArray, line);
  QFETCH(QString, expression);
  QFETCH(int, expressionLength);
  WriteBytes(historyPath(), line + '\n');
  const QList<KeptRow> restored = Open()->RestoreRows(10);
  QCOMPARE(restored.size(), 1);
  QCOMPARE(restored[0].expressionLength, expressionLength);
  QCOMPARE(restored[0].expression(), expression);
  // Nothing says whether the result reads back as it is.
  QVERIFY(!restored[0].literalKnown);
  QCOMPARE(reports_, QStringList());
}

void HistoryFileTest::removingOneRow_data() {
  QTest::addColumn<QByteArray>("bytes");
  QTest::addColumn<QString>("text");
  QTest::addColumn<int>("newer");
  QTest::addColumn<bool>("removed");
  QTest::addColumn<QByteArray>("left");
  const QByteArray three("a=1\nb=2\nc=3\n");
  Row("newest", three, "c=3", 0, true, QByteArray("a=1\nb=2\n"));
  Row("middle", three, "b=2", 1, true, QByteArray("a=1\nc=3\n"));
  Row("oldest", three, "a=1", 2, true, QByteArray("b=2\nc=3\n"));
  Row("the only row", QByteArray("a=1\n"), "a=1", 0, true, QByteArray());
  Row("of equal rows, the one at its place", QByteArray("x=1\ny=2\nx=1\ny=2\n"), "x=1", 3, true,
      QByteArray("y=2\nx=1\ny=2\n"));
  Row("another calculator added rows since", QByteArray("a=1\nb=2\nc=3\nd=4\ne=5\n"), "b=2", 1,
      true, QByteArray("a=1\nc=3\nd=4\ne=5\n"));
  Row("a row with a literal", QByteArray("a=1\n\"s\"=s\\|\"s\"\nc=3\n"), "\"s\"=s", 1, true,
      QByteArray("a=1\nc=3\n"));
  Row("not in the file", three, "d=4", 0, false, three);
  Row("torn last line stays", QByteArray("a=1\nb=2\nc="), "a=1", 1, true, QByteArray("b=2\nc="));
}

void HistoryFileTest::removingOneRow() {
  QFETCH(QByteArray, bytes);
  QFETCH(QString, text);
  QFETCH(int, newer);
  QFETCH(bool, removed);
  QFETCH(QByteArray, left);
  WriteBytes(historyPath(), bytes);
  auto file = Open();
  QCOMPARE(file->Remove(text, newer), removed);
  QCOMPARE(ReadBytes(historyPath()), left);
  // Appending goes on at the new end.
  file->Append(QStringLiteral("z=9"));
  QVERIFY(ReadBytes(historyPath()).endsWith("z=9\n"));
}

void HistoryFileTest::removedRowLeavesNoTrace() {
  auto file = Open();
  file->Append(QStringLiteral("1+1=2"));
  file->Append(KeptRow{QStringLiteral("\"secret\"=secret"), 8, QStringLiteral("\"secret\""), true});
  file->Append(QStringLiteral("2+2=4"));
  QVERIFY(file->Remove(QStringLiteral("\"secret\"=secret"), 1));
  QCOMPARE(FilesInFolder(), QStringList({u"history.txt"_s}));
  QVERIFY(!ReadBytes(historyPath()).contains("secret"));
  QCOMPARE(Open()->Restore(10), QStringList({u"2+2=4"_s, u"1+1=2"_s}));
  // The file is still its owner's alone.
  QCOMPARE(QFile::permissions(historyPath()) & ~(QFile::ReadUser | QFile::WriteUser),
           QFile::ReadOwner | QFile::WriteOwner);
  QCOMPARE(reports_, QStringList());
}

int main(int argc, char* argv[]) {
  if (argc > 1 && std::strncmp(argv[1], "--append", 8) == 0) {
    QCoreApplication app(argc, argv);
    return RunHelper(argc, argv);
  }
  QCoreApplication app(argc, argv);
  HistoryFileTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "history_file_test.moc"
