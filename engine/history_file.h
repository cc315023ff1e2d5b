#pragma once

#include "engine/kept_row.h"

#include <QByteArray>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>

class QFile;

namespace vesko {

// The committed rows of earlier runs, kept in one UTF-8 text file, history.txt, in a data folder:
// one row per line, oldest first, each line ending in a line feed. A backslash, line feed,
// carriage return or NUL inside a row is written as \\, \n, \r or \0, so that every line of the
// file is exactly one row and the file stays readable and greppable. In a row with more than one
// "=" the one between its expression and its result is written as \=; a literal of the result
// that differs from its text (a string's quoted form, a date's #...#) follows the row after \|.
// Lines of earlier versions have neither and read as before; a row with one "=" splits there.
//
// Each commit appends one line and flushes it; the file is never rewritten for a commit. Once it
// holds more than kCompactAbove rows it is cut down to the newest kCompactTo, written to a new
// file that then atomically replaces the old one, so a crash leaves either file whole. Appends,
// compaction and clearing hold a lock file (history.lock) so that two running calculators never
// interleave inside a line; each one opens the file afresh for every append, so a row never goes
// into a file that another one has just replaced.
//
// Faults never stop the calculator and never destroy a row: a torn last line (a crash during a
// write) is skipped; a file that is not UTF-8 or holds anything else unexpected is moved aside
// under a new name and the history starts empty; a folder or file that cannot be written turns
// persistence off for the rest of the run. Each kind of fault is reported once, naming the file.
class HistoryFile {
 public:
  static constexpr qsizetype kCompactAbove = 100'000;
  static constexpr qsizetype kCompactTo = 50'000;

  // Where the calculator keeps its history: the application's data folder.
  static QString DefaultFolder();

  // `folder` need not exist yet; it is created at the first append.
  explicit HistoryFile(QString folder);
  // Writes the rows still waiting for the lock, if any.
  ~HistoryFile();
  HistoryFile(const HistoryFile&) = delete;
  HistoryFile& operator=(const HistoryFile&) = delete;

  QString path() const { return path_; }
  // False once the file has turned out not to be writable; rows are then no longer kept.
  bool persistent() const { return persistent_; }

  // The newest `count` rows, newest first. Reads only as much of the end of the file as those
  // rows take. Only the rows read are checked.
  QStringList Restore(qsizetype count);
  // The same rows with where their expressions end and their literals, as far as the file says.
  QList<KeptRow> RestoreRows(qsizetype count);
  // Appends one committed row, then compacts the file if it has grown past kCompactAbove rows.
  void Append(const QString& row);
  void Append(const KeptRow& row);
  // Removes every row from the file. Returns false when that failed.
  bool Clear();
  // Removes the row with `text` that is the `newer`-th row from the end of the file (0 the newest);
  // where another calculator has added rows since, the nearest row with that text is taken. The
  // file is rewritten and atomically replaces the old one, as compaction does. Returns false
  // when no such row is in the file or the file could not be rewritten.
  bool Remove(const QString& text, qsizetype newer);

  // Where faults are reported: standard error unless set otherwise.
  void setReporter(std::function<void(const QString&)> reporter) {
    reporter_ = std::move(reporter);
  }
  // Called during compaction after the new file is written and before it replaces the old one;
  // lets tests stop the process at that moment.
  void setBeforeReplaceHook(std::function<void()> hook) { beforeReplace_ = std::move(hook); }

  static QByteArray EscapeRow(const QString& row);
  static QByteArray EscapeRow(const KeptRow& row);
  // The row a line of the file holds; false when the line is not one this class writes.
  static bool UnescapeLine(QByteArrayView line, QString& row);
  static bool UnescapeLine(QByteArrayView line, KeptRow& row);

 private:
  enum class Fault {
    TornLine,
    Unexpected,
    Unreadable,
    NotWritable,
    LockBusy,
    CompactionFailed,
    RemoveFailed
  };

  // What reading the end of the file found.
  struct Tail {
    QList<KeptRow> rows;  // newest first
    bool torn = false;    // the last line has no line feed
    QString unexpected;   // why the file is not one this class writes; empty when it is
    QString unreadable;   // why it could not be read; empty when it could
  };

  Tail ReadTail(qsizetype count) const;
  void Report(Fault fault, const QString& message);
  void MoveAside(const QString& why);
  void WritePending();
  bool WriteLines(const QByteArray& lines);
  void CountRows(QFile& file, qint64 size);
  void Compact();
  bool RewriteWithout(const QString& text, qsizetype newer);

  QString folder_;
  QString path_;
  QString lockPath_;
  bool persistent_ = true;
  QSet<Fault> reported_;
  std::function<void(const QString&)> reporter_;
  std::function<void()> beforeReplace_;

  // Rows whose append is still to be written (the lock was held too long by another process).
  QByteArray pending_;
  // Rows in the file as far as this process has counted them, and the size counted up to; -1
  // before the first count. Only used to decide when to compact, which counts exactly again.
  qsizetype countedRows_ = -1;
  qint64 countedBytes_ = -1;
  bool compactionFailed_ = false;
};

}  // namespace vesko
