#include "engine/history_file.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include "tests/file_bytes.h"
#include "tests/test_rows.h"

#include <cstdlib>
#include <cstring>

#include <csignal>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

using vesko::HistoryFile;
using vesko::KeptRow;
using vesko::test::ReadBytes;
using vesko::test::Row;
using vesko::test::WriteBytes;

namespace {

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

// Holds the history file's lock as another calculator appending or compacting would.
class OtherCalculatorsLock {
 public:
  explicit OtherCalculatorsLock(const QString& folder)
      : fd_(::open(QFile::encodeName(folder + u"/history.lock"_s).constData(), O_RDWR | O_CREAT,
                   0600)) {
    locked_ = fd_ >= 0 && ::flock(fd_, LOCK_EX) == 0;
  }
  ~OtherCalculatorsLock() { Release(); }
  OtherCalculatorsLock(const OtherCalculatorsLock&) = delete;
  OtherCalculatorsLock& operator=(const OtherCalculatorsLock&) = delete;
  bool locked() const { return locked_; }
  void Release() {
    if (fd_ >= 0) {
      ::close(fd_);
      fd_ = -1;
    }
  }

 private:
  int fd_;
  bool locked_ = false;
};

// Random bytes, without a line feed among them when `lineFeeds` is false.
QByteArray RandomBytes(quint32 seed, qsizetype size, bool lineFeeds = true) {
  QRandomGenerator random(seed);
  QByteArray bytes(size, Qt::Uninitialized);
  for (char& byte : bytes) {
    byte = static_cast<char>(random.bounded(256));
    if (!lineFeeds && byte == '\n') {
      byte = 'x';
    }
  }
  return bytes;
}

// Helper modes of this program, started by the tests as separate processes.
//   --append-rows FOLDER TAG COUNT: appends COUNT rows "TAG-<i>=..." one by one.
//   --append-and-wait FOLDER: appends one row, says so on standard output and waits to be killed.
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
  if (std::strcmp(argv[1], "--append-and-wait") == 0 && argc == 3) {
    HistoryFile file(QString::fromLocal8Bit(argv[2]));
    file.Append(QStringLiteral("shown=1"));
    // The row is on screen from here on; the test kills the process now.
    std::printf("appended\n");
    std::fflush(stdout);
    pause();
    return 0;
  }
  if (std::strcmp(argv[1], "--append-and-crash") == 0 && argc == 3) {
    HistoryFile file(QString::fromLocal8Bit(argv[2]));
    file.setBeforeReplaceHook([] { std::_Exit(3); });
    file.Append(QStringLiteral("newest="));
    file.Flush();
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
  // The contents of the files set aside beside the history file, by name.
  QList<QByteArray> SetAside() const {
    QList<QByteArray> contents;
    for (const QString& name : FilesInFolder().filter(QStringLiteral("history.txt."))) {
      contents.append(ReadBytes(dir_->filePath(name)));
    }
    return contents;
  }

 private slots:
  void init();
  void restoresNewestFirst_data();
  void restoresNewestFirst();
  void restoreReadsLongTails();
  void restoreOfHugeRows_data();
  void restoreOfHugeRows();
  void rowsRoundTrip_data();
  void rowsRoundTrip();
  void notARowIsNotKept();
  void tornLastLineSetAside_data();
  void tornLastLineSetAside();
  void foreignFileKeptWhole_data();
  void foreignFileKeptWhole();
  void everyFaultSaidEachTime();
  void movedAsideFilesNeverOverwritten();
  void randomGarbage_data();
  void randomGarbage();
  void notWritable_data();
  void notWritable();
  void fullDiskLeavesNoHalfLine();
  void readOnlyFolder();
  void folderAndFilesOwnerOnly();
  void compaction_data();
  void compaction();
  void crashDuringCompactionLeavesOldFileWhole();
  void twoProcessesAppendWholeLines();
  void appendDoesNotWaitForTheLock();
  void killedAfterAppendKeepsTheRow_data();
  void killedAfterAppendKeepsTheRow();
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
  Row("no file", -1, 5, 0);
  Row("empty file", 0, 5, 0);
  Row("fewer than asked", 3, 5, 3);
  Row("exactly as many", 5, 5, 5);
  Row("more than asked", 10, 4, 4);
  Row("none asked", 10, 0, 0);
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
    QVERIFY(writer->Flush());
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
  // The 1,000 newest of 5,000 long rows take much more than a small block from the end.
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

void HistoryFileTest::restoreOfHugeRows_data() {
  // Row lengths, oldest first, in characters; what is restored of each, newest first: "whole",
  // "first" (its first characters and "…"), "last" ("…" and its last characters).
  QTest::addColumn<QList<int>>("lengths");
  QTest::addColumn<QStringList>("restored");
  const int shown = HistoryFile::kShownRowChars;
  Row("just short enough to show whole", QList<int>{shown}, QStringList{u"whole"_s});
  Row("one character too long", QList<int>{shown + 1}, QStringList{u"first"_s});
  Row("three of 400,000, the oldest beginning before the bytes read",
      QList<int>{300'000, 300'000, 300'000}, QStringList{u"first"_s, u"first"_s, u"last"_s});
  Row("one of 3,000,000 after short ones", QList<int>{10, 10, 3'000'000}, QStringList{u"last"_s});
  Row("short ones after one of 3,000,000", QList<int>{3'000'000, 10, 10},
      QStringList{u"whole"_s, u"whole"_s, u"last"_s});
}

void HistoryFileTest::restoreOfHugeRows() {
  QFETCH(QList<int>, lengths);
  QFETCH(QStringList, restored);
  QStringList rows;
  QByteArray bytes;
  for (int i = 0; i < lengths.size(); ++i) {
    // Distinct rows with distinct starts and ends, some characters of two and three bytes.
    QString row = QString::number(i) + QStringLiteral("计=");
    while (row.size() < lengths[i] - 3) {
      row += QStringLiteral("1+é");
    }
    row = row.left(lengths[i] - 3) + QStringLiteral("\n") +
          QString::number(i).rightJustified(2, u'0');
    rows.prepend(row);
    bytes += HistoryFile::EscapeRow(row) + '\n';
  }
  WriteBytes(historyPath(), bytes);
  const QStringList got = Open()->Restore(1000);
  QCOMPARE(got.size(), restored.size());
  const int shown = HistoryFile::kShownRowChars;
  for (qsizetype i = 0; i < got.size(); ++i) {
    const QString expected = restored[i] == u"whole"_s   ? rows[i]
                             : restored[i] == u"first"_s ? rows[i].left(shown) + u'…'
                                                         : u'…' + rows[i].right(shown);
    QCOMPARE(got[i], expected);
  }
  // Each row is still whole in the file.
  QCOMPARE(ReadBytes(historyPath()), bytes);
  QCOMPARE(reports_, QStringList());
}

void HistoryFileTest::rowsRoundTrip_data() {
  QTest::addColumn<QString>("row");
  Row("plain", "1+2=3");
  Row("Chinese", "日期=\"二〇二六年\"");
  Row("line feed", "1+\n2=3");
  Row("carriage return", "1+\r2=3");
  Row("CR LF at the end", "1+2=3\r\n");
  Row("backslash", "a\\b=1");
  Row("backslash then n", "a\\n=1");
  Row("trailing backslash", "a=\\");
  Row("NUL", QString(QStringLiteral("a=")) + QChar(0) + u'1');
  Row("byte order mark first", "\uFEFF1=1");
  Row("paragraph separator", "1\u2029=1");
  Row("only the equals sign", "=");
}

void HistoryFileTest::rowsRoundTrip() {
  QFETCH(QString, row);
  auto writer = Open();
  writer->Append(QStringLiteral("before=1"));
  writer->Append(row);
  writer->Append(QStringLiteral("after=2"));
  QVERIFY(writer->Flush());
  // One line per row, whatever the row holds.
  const QByteArray bytes = ReadBytes(historyPath());
  QCOMPARE(bytes.count('\n'), 3);
  QVERIFY(!bytes.contains('\r'));
  QCOMPARE(Open()->Restore(10), QStringList({u"after=2"_s, row, u"before=1"_s}));
  QCOMPARE(reports_, QStringList());
  // Only its owner may read what was calculated.
  QCOMPARE(QFile::permissions(historyPath()) & ~(QFile::ReadUser | QFile::WriteUser),
           QFile::ReadOwner | QFile::WriteOwner);
}

void HistoryFileTest::notARowIsNotKept() {
  // Every line of the file holds a row: text without "=" would make it a file of someone else's.
  auto file = Open();
  file->Append(QStringLiteral("no equals sign"));
  file->Append(QStringLiteral("1=1"));
  QVERIFY(file->Flush());
  QCOMPARE(ReadBytes(historyPath()), QByteArray("1=1\n"));
  QCOMPARE(reports_.size(), 1);
  QVERIFY2(reports_[0].contains(u"no equals sign"_s), qPrintable(reports_[0]));
}

void HistoryFileTest::tornLastLineSetAside_data() {
  QTest::addColumn<QByteArray>("bytes");
  QTest::addColumn<QStringList>("restored");
  Row("cut in ASCII", QByteArray("a=1\nb=2\nc="), QStringList{u"b=2"_s, u"a=1"_s});
  Row("cut before the equals sign", QByteArray("a=1\n1+"), QStringList{u"a=1"_s});
  Row("cut inside a character", QByteArray("a=1\n\xe8\xa1"), QStringList{u"a=1"_s});
  Row("cut after a backslash", QByteArray("a=1\nb\\"), QStringList{u"a=1"_s});
}

void HistoryFileTest::tornLastLineSetAside() {
  QFETCH(QByteArray, bytes);
  QFETCH(QStringList, restored);
  WriteBytes(historyPath(), bytes);
  auto file = Open();
  QCOMPARE(file->Restore(10), restored);

  // The unfinished line is moved to a file of its own, so that the next row starts a line.
  file->Append(QStringLiteral("d=4"));
  QVERIFY(file->Flush());
  const qsizetype whole = bytes.lastIndexOf('\n') + 1;
  QCOMPARE(ReadBytes(historyPath()), bytes.left(whole) + "d=4\n");
  QCOMPARE(SetAside(), QList<QByteArray>({bytes.mid(whole)}));
  QCOMPARE(reports_.size(), 1);
  QVERIFY2(reports_[0].contains(historyPath()) &&
               reports_[0].contains(FilesInFolder().filter(u".torn-"_s).value(0, u"?"_s)),
           qPrintable(reports_[0]));
  QVERIFY(file->persistent());
}

void HistoryFileTest::foreignFileKeptWhole_data() {
  // Files the calculator did not write: every byte is kept, in a file moved aside whole, after
  // the start, a commit, and a compaction where rows would pass 100,000.
  QTest::addColumn<QByteArray>("bytes");
  QTest::addColumn<QStringList>("restored");
  QByteArray foreignText;
  for (int i = 0; i < 150'000; ++i) {
    foreignText += "line " + QByteArray::number(i) + " of a text of someone else's\n";
  }
  const QByteArray rows = NumberedLines(0, 100'001);
  Row("binary without a line feed", RandomBytes(1, 64 * 1024, false), QStringList());
  Row("text without a final line feed", QByteArray("shopping: rice\ntea"), QStringList());
  Row("row-like text without a final line feed", QByteArray("1+1=2"), QStringList());
  Row("foreign text of 150,000 lines", foreignText, QStringList());
  Row("binary followed by 100,001 rows", RandomBytes(2, 300 * 1024) + '\n' + rows,
      QStringList{NumberedRow(100'000), NumberedRow(99'999)});
  Row("a line without a row among 100,001", NumberedLines(0, 20) + "no row\n" + rows,
      QStringList{NumberedRow(100'000), NumberedRow(99'999)});
}

void HistoryFileTest::foreignFileKeptWhole() {
  QFETCH(QByteArray, bytes);
  QFETCH(QStringList, restored);
  WriteBytes(historyPath(), bytes);
  auto file = Open();
  QCOMPARE(file->Restore(2), restored);
  file->Append(QStringLiteral("1+2=3"));
  QVERIFY(file->Flush());
  QCOMPARE(SetAside(), QList<QByteArray>({bytes}));
  QCOMPARE(ReadBytes(historyPath()), QByteArray("1+2=3\n"));
  QCOMPARE(reports_.size(), 1);
  QVERIFY2(reports_[0].contains(historyPath()) && reports_[0].contains(u".unreadable-"_s),
           qPrintable(reports_[0]));
  QVERIFY(file->persistent());
}

void HistoryFileTest::everyFaultSaidEachTime() {
  // The same kinds of fault again in one run are said again, each with where the bytes went.
  auto file = Open();
  WriteBytes(historyPath(), "a=1\nb=");
  QCOMPARE(file->Restore(10), QStringList({u"a=1"_s}));
  QVERIFY(file->Flush());
  const QList<QByteArray> later = {"c=1\nd=", "\xff\n", "\xfe\n"};
  for (const QByteArray& bytes : later) {
    WriteBytes(historyPath(), bytes);
    file->Append(QStringLiteral("e=5"));
    QVERIFY(file->Flush());
  }
  QCOMPARE(reports_.size(), 4);
  QCOMPARE(reports_.filter(u".torn-"_s).size(), 2);
  QCOMPARE(reports_.filter(u".unreadable-"_s).size(), 2);
  QList<QByteArray> kept = SetAside();
  std::sort(kept.begin(), kept.end());
  QCOMPARE(kept, QList<QByteArray>({"b=", "d=", "\xfe\n", "\xff\n"}));
  QCOMPARE(ReadBytes(historyPath()), QByteArray("e=5\n"));
}

void HistoryFileTest::movedAsideFilesNeverOverwritten() {
  // Within one second the second file moved aside would get the first one's name.
  const QList<QByteArray> contents = {"\xff first\n", "\xff second\n", "\xff third\n"};
  for (const QByteArray& bytes : contents) {
    WriteBytes(historyPath(), bytes);
    auto file = Open();
    QCOMPARE(file->Restore(10), QStringList());
    QVERIFY(file->Flush());
  }
  QList<QByteArray> kept = SetAside();
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
  const QByteArray bytes = RandomBytes(seed, size);
  WriteBytes(historyPath(), bytes);

  auto file = Open();
  QCOMPARE(file->Restore(1000), QStringList());
  file->Append(QStringLiteral("1+2=3"));
  QVERIFY(file->Flush());
  // Nothing is lost: the bytes are all in the file moved aside.
  QCOMPARE(SetAside(), QList<QByteArray>({bytes}));
  QCOMPARE(reports_.size(), 1);
  QCOMPARE(Open()->Restore(1), QStringList({u"1+2=3"_s}));
}

void HistoryFileTest::notWritable_data() {
  // Running as root, a read-only folder is writable all the same; these cases fail for everyone.
  QTest::addColumn<QString>("how");
  Row("data folder is a regular file", "file");
  Row("data folder under /proc", "proc");
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
  QVERIFY(file->Flush());
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
  // A file size limit makes the write stop part way through the line, as a full disk does.
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
  QVERIFY(file->Flush());
  file->Append(QStringLiteral("3+4=7"));
  QVERIFY(file->Flush());
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);

  QCOMPARE(ReadBytes(historyPath()), before);
  QCOMPARE(reports_.size(), 1);
  // Where, and the system's reason.
  QVERIFY2(reports_[0].contains(historyPath()) &&
               reports_[0].contains(QString::fromLocal8Bit(std::strerror(EFBIG))),
           qPrintable(reports_[0]));
  QVERIFY(!file->persistent());

  // The row that was not written stays in the journal, and the next calculator takes it in.
  file.reset();
  QCOMPARE(Open()->Restore(2), QStringList({u"100+200=300"_s, NumberedRow(299)}));
  QCOMPARE(FilesInFolder().filter(u"journal"_s).size(), 0);
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
  QVERIFY(file->Flush());
  QCOMPARE(reports_.size(), 1);
  QVERIFY(!file->persistent());
  QVERIFY(QFile::setPermissions(folder(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
  QCOMPARE(ReadBytes(historyPath()), QByteArray("1+2=3\n"));
}

void HistoryFileTest::folderAndFilesOwnerOnly() {
  const mode_t oldMask = ::umask(0);
  const QString folder = dir_->filePath(QStringLiteral("data/vesko-calc"));
  {
    auto file = Open(folder);
    QCOMPARE(file->Restore(10), QStringList());
    file->Append(QStringLiteral("1+2=3"));
    QVERIFY(file->Flush());
    for (const QString& name : QDir(folder).entryList(QDir::Files)) {
      struct stat info {};
      QCOMPARE(::stat(QFile::encodeName(folder + u'/' + name).constData(), &info), 0);
      QVERIFY2((info.st_mode & 0777) == 0600, qPrintable(name));
    }
  }
  ::umask(oldMask);
  struct stat info {};
  QCOMPARE(::stat(QFile::encodeName(folder).constData(), &info), 0);
  QCOMPARE(info.st_mode & 0777, mode_t{0700});
}

void HistoryFileTest::compaction_data() {
  QTest::addColumn<int>("stored");
  QTest::addColumn<int>("expectedLines");
  Row("reaching 100,000 rows", 99'999, 100'000);
  Row("passing 100,000 rows", 100'000, 50'000);
  Row("far past, written by an older run", 150'000, 50'000);
}

void HistoryFileTest::compaction() {
  QFETCH(int, stored);
  QFETCH(int, expectedLines);
  WriteBytes(historyPath(), NumberedLines(0, stored));
  const QFile::Permissions ownerOnly = QFile::ReadOwner | QFile::WriteOwner;
  QVERIFY(QFile::setPermissions(historyPath(), ownerOnly));
  auto file = Open();
  file->Append(NumberedRow(stored));
  QVERIFY(file->Flush());
  const QByteArray bytes = ReadBytes(historyPath());
  QCOMPARE(bytes.count('\n'), expectedLines);
  QCOMPARE(QFile::permissions(historyPath()) & ~(QFile::ReadUser | QFile::WriteUser), ownerOnly);
  // The newest rows are the ones kept, whole and in order.
  QCOMPARE(bytes, NumberedLines(stored + 1 - expectedLines, expectedLines));
  QCOMPARE(reports_, QStringList());
  QCOMPARE(SetAside(), QList<QByteArray>());

  // Later appends count on from there, and compact when they pass 100,000 rows.
  file->Append(NumberedRow(stored + 1));
  QVERIFY(file->Flush());
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
  QCOMPARE(ReadBytes(historyPath()), old + "newest=\n");
  qInfo() << "left in the folder:" << FilesInFolder();

  // The lock of the stopped process does not block the next calculator, which compacts as it
  // takes in the journal the stopped one left.
  auto file = Open();
  QCOMPARE(file->Restore(2), QStringList({u"newest="_s, NumberedRow(99'999)}));
  file->Append(QStringLiteral("after="));
  QVERIFY(file->Flush());
  const QByteArray bytes = ReadBytes(historyPath());
  QCOMPARE(bytes.count('\n'), 50'001);
  QVERIFY(bytes.endsWith("row99999=99999\nnewest=\nafter=\n"));
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
  // Both journals were emptied and removed as the helpers ended.
  QCOMPARE(FilesInFolder(), QStringList({u"history.lock"_s, u"history.txt"_s}));
}

void HistoryFileTest::appendDoesNotWaitForTheLock() {
  // While another calculator holds the lock, appending returns at once and the rows wait; they
  // go in, in order, once it is free.
  OtherCalculatorsLock other(folder());
  QVERIFY(other.locked());
  auto file = Open();
  file->Append(QStringLiteral("1+2=3"));
  file->Append(QStringLiteral("3+4=7"));
  QVERIFY(!file->Flush(100));  // cannot be done while the lock is held, however long it waits
  QCOMPARE(ReadBytes(historyPath()), QByteArray());
  other.Release();
  QVERIFY(file->Flush());
  QCOMPARE(ReadBytes(historyPath()), QByteArray("1+2=3\n3+4=7\n"));
  QCOMPARE(reports_, QStringList());
}

void HistoryFileTest::killedAfterAppendKeepsTheRow_data() {
  QTest::addColumn<bool>("lockHeld");
  Row("row still in the journal (the lock was held)", true);
  Row("lock free", false);
}

void HistoryFileTest::killedAfterAppendKeepsTheRow() {
  QFETCH(bool, lockHeld);
  WriteBytes(historyPath(), "1=1\n");
  auto other = std::make_unique<OtherCalculatorsLock>(folder());
  if (!lockHeld) {
    other.reset();
  }
  QProcess helper;
  helper.start(QCoreApplication::applicationFilePath(), {u"--append-and-wait"_s, folder()});
  QVERIFY(helper.waitForReadyRead(30'000));
  QCOMPARE(helper.readLine(), QByteArray("appended\n"));
  helper.kill();  // SIGKILL
  QVERIFY(helper.waitForFinished(30'000));
  other.reset();

  QCOMPARE(Open()->Restore(10), QStringList({u"shown=1"_s, u"1=1"_s}));
  QCOMPARE(ReadBytes(historyPath()), QByteArray("1=1\nshown=1\n"));
  QCOMPARE(FilesInFolder().filter(u"journal"_s), QStringList());
  QCOMPARE(reports_, QStringList());
}

void HistoryFileTest::clearing() {
  auto file = Open();
  QVERIFY(file->Clear());  // nothing to clear yet
  QVERIFY(file->Flush());
  file->Append(QStringLiteral("1+2=3"));
  file->Append(QStringLiteral("3+4=7"));
  QVERIFY(file->Clear());
  QVERIFY(file->Flush());
  QCOMPARE(ReadBytes(historyPath()), QByteArray());
  QCOMPARE(Open()->Restore(10), QStringList());
  file->Append(QStringLiteral("5+6=11"));
  QVERIFY(file->Flush());
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
  writer->Append(QStringLiteral("before=0"));
  writer->Append(row);
  QVERIFY(writer->Flush());
  QCOMPARE(ReadBytes(historyPath()), "before=0\n" + line + '\n');
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
  // The unfinished last line goes whole into a file of its own before the file is rewritten.
  Row("torn last line set aside", QByteArray("a=1\nb=2\nc="), "a=1", 1, true, QByteArray("b=2\n"));
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
  QVERIFY(file->Flush());
  QVERIFY(ReadBytes(historyPath()).endsWith("z=9\n"));
}

void HistoryFileTest::removedRowLeavesNoTrace() {
  auto file = Open();
  file->Append(QStringLiteral("1+1=2"));
  file->Append(KeptRow{QStringLiteral("\"secret\"=secret"), 8, QStringLiteral("\"secret\""), true});
  file->Append(QStringLiteral("2+2=4"));
  QVERIFY(file->Remove(QStringLiteral("\"secret\"=secret"), 1));
  // No file in the data folder (the history, its lock, this calculator's journal) holds it.
  for (const QString& name : FilesInFolder()) {
    QVERIFY2(!ReadBytes(dir_->filePath(name)).contains("secret"), qPrintable(name));
  }
  QCOMPARE(Open()->Restore(10), QStringList({u"2+2=4"_s, u"1+1=2"_s}));
  // The file is still its owner's alone.
  QCOMPARE(QFile::permissions(historyPath()) & ~(QFile::ReadUser | QFile::WriteUser),
           QFile::ReadOwner | QFile::WriteOwner);
  QCOMPARE(reports_, QStringList());
}

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  if (argc > 1 && std::strncmp(argv[1], "--append", 8) == 0) {
    return RunHelper(argc, argv);
  }
  HistoryFileTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "history_file_test.moc"
