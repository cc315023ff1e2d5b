#pragma once

#include "engine/kept_row.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace vesko {

class HistoryWriter;

// The committed rows of earlier runs, kept in one UTF-8 text file, history.txt, in a data folder
// that only its owner may enter: one row per line, oldest first, each line ending in a line
// feed. A backslash, line feed, carriage return or NUL inside a row is written as \\, \n, \r or
// \0, so that every line of the file is exactly one row and the file stays readable and
// greppable. A row always holds an "=" ("expression=result"); a line without one is not a row.
// In a row with more than one "=" the one between its expression and its result is written as
// \=; a literal of the result that differs from its text (a string's quoted form, a date's
// #...#) follows the row after \|. Lines of earlier versions have neither and read as before; a
// row with one "=" splits there.
//
// A commit never waits on the disk or on another calculator: Append puts the row into this
// process's journal file (so that it survives the calculator being killed once Append has
// returned) and a worker thread appends it to history.txt under a lock, syncs it to the disk and
// compacts the file once it holds more than kCompactAbove rows (see HistoryWriter). The file is
// cut, compacted or cleared only after it has been read through as history lines; anything else
// in its place is moved aside whole under a new name, and each fault is said on standard error
// with what was done, where, and the system's reason.
//
// Restoring reads at most kRestoreBytes from the end of the file and needs no lock. Rows are
// kept whole in the file however long they are; a restored row longer than kShownRowChars
// characters shows its first kShownRowChars and "…", and the oldest row restored, when it
// begins before the bytes read, shows "…" and its last characters.
class HistoryFile {
 public:
  static constexpr qsizetype kCompactAbove = 100'000;
  static constexpr qsizetype kCompactTo = 50'000;
  static constexpr qint64 kRestoreBytes = qint64{1024} * 1024;
  static constexpr qsizetype kShownRowChars = 2000;

  // Where the calculator keeps its history: the application's data folder.
  static QString DefaultFolder();

  // `folder` need not exist yet; it is created (mode 0700) when first needed.
  explicit HistoryFile(QString folder);
  // Writes the rows still pending, waiting a few seconds at most for another calculator's lock;
  // rows that could not be written stay in the journal for the next calculator to take in.
  ~HistoryFile();
  HistoryFile(const HistoryFile&) = delete;
  HistoryFile& operator=(const HistoryFile&) = delete;

  QString path() const;
  // False once the file has turned out not to be writable; rows are then no longer kept.
  bool persistent() const;

  // The newest `count` rows, newest first, shortened as said above. Rows that a calculator
  // killed before writing them left in its journal are taken into the file first.
  QStringList Restore(qsizetype count);
  // Keeps one committed row: once this returns, the row is in the kernel's hands.
  void Append(const QString& row);
  void Append(const KeptRow& row);
  // The rows of Restore with where their expressions end and their literals, as far as the file
  // says.
  QList<KeptRow> RestoreRows(qsizetype count);
  // Removes every row from the file (on the worker, after the rows already committed). False
  // when rows are not kept.
  bool Clear();
  // Removes the row with `text` that is the `newer`-th row from the end of the file (0 the
  // newest); where another calculator has added rows since, the nearest row with that text is
  // taken. Done on the worker after the rows already committed, as an atomic rewrite like
  // compaction. False when rows are not kept or it did not finish in time.
  bool Remove(const QString& text, qsizetype newer);
  // Waits up to `timeoutMs` until every row appended and every clearing asked for is done.
  bool Flush(int timeoutMs = 30'000);

  // Where faults are reported: standard error unless set otherwise. Called on either thread.
  void setReporter(std::function<void(const QString&)> reporter);
  // Called during compaction after the new file is written and before it replaces the old one;
  // lets tests stop the process at that moment.
  void setBeforeReplaceHook(std::function<void()> hook);

  static QByteArray EscapeRow(const QString& row);
  static QByteArray EscapeRow(const KeptRow& row);
  // The row a line of the file holds; false when the line is not one this class writes.
  static bool UnescapeLine(QByteArrayView line, QString& row);
  // `wholeRow`: the line must hold an "=", as every row does; false for the end of a line whose
  // start was not read.
  static bool UnescapeLine(QByteArrayView line, KeptRow& row, bool wholeRow = true);

 private:
  QList<KeptRow> ReadNewest(qsizetype count);

  std::shared_ptr<HistoryWriter> writer_;
};

}  // namespace vesko
