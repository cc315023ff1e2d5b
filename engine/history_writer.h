#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include <sys/types.h>

namespace vesko {

// The system's description of error number `error` (errno by default), as the history file's
// messages quote it; safe on any thread.
QString SystemError(int error = errno);

// Everything that writes the history file, for HistoryFile. The calling (UI) thread only ever
// writes to this process's journal, history.journal-<pid>-<random>, a private file that it
// holds an flock(2) on for its whole life: Append returns once the rows are in the kernel. A
// worker thread takes them from there into history.txt under an exclusive flock(2) on
// history.lock, waiting for it as long as another calculator holds it; once written it empties
// the journal and, with the lock let go, runs fdatasync. Each time it takes the lock it opens
// history.txt afresh, so that a row never goes into a file that another calculator has just
// replaced, and it reads whatever the file gained since it last looked: it cuts, compacts or clears
// only a file it has read whole as history lines. A journal whose owner died (its flock is free) is
// taken into history.txt by the next calculator.
class HistoryWriter : public std::enable_shared_from_this<HistoryWriter> {
 public:
  using Reporter = std::function<void(const QString&)>;

  explicit HistoryWriter(QString folder);
  ~HistoryWriter();
  HistoryWriter(const HistoryWriter&) = delete;
  HistoryWriter& operator=(const HistoryWriter&) = delete;

  QString folder() const { return folder_; }
  QString path() const { return path_; }
  bool persistent() const { return persistent_; }

  void setReporter(Reporter reporter);
  void setBeforeReplaceHook(std::function<void()> hook);
  // Says `message` on the reporter (standard error unless set otherwise), from either thread.
  void Report(const QString& message) const;
  // Reports, then keeps no more rows in this run.
  void StopKeeping(const QString& message);

  // Creates the data folder for its owner alone (0700); false, with the reason, on failure.
  static bool MakeFolder(const QString& folder, QString* error);
  // Journals of calculators that ended without taking them into the file.
  QStringList OrphanJournals() const;

  // Writes whole lines to the journal, then has them appended to the file.
  void Append(const QByteArray& lines);
  // Has the file read through (and anything wrong with it dealt with) without adding to it.
  void Check();
  // Drops the rows not yet written, then has the file emptied.
  void Clear();
  // Has the row with `text` nearest to the `newer`-th from the end removed from the file, by an
  // atomic rewrite, after the rows appended before.
  void Remove(const QString& text, qsizetype newer);
  // Whether the last removal done found its row and rewrote the file.
  bool removed() const { return removed_; }
  // Waits up to `timeoutMs` until everything asked for is done; false when it was not.
  bool Flush(int timeoutMs);
  // Writes what is pending (waiting up to `timeoutMs`) and ends the worker. The journal is
  // removed when nothing is left in it.
  void Close(int timeoutMs);

 private:
  struct Job {
    QByteArray lines;
    bool clear = false;
    // A row to remove, and its place from the end of the file (0 the newest); null for none.
    QString removeText;
    qsizetype removeNewer = 0;
  };
  // What of the current history.txt has been read and found to be history lines.
  struct Checked {
    dev_t device = 0;
    ino_t inode = 0;
    qint64 bytes = 0;  // always the end of a line
    qsizetype rows = 0;
  };

  void Enqueue(Job job);
  // Makes this process's journal; the reason when that failed, else empty.
  QString OpenJournal();
  void Run();
  void RunBatch(std::deque<Job>& jobs);
  void ForgetJournalled();
  // What reading a file through found.
  enum class Reading { kHistory, kMovedAside, kFailed };
  // Opens history.txt (making it when `create`) and reads through what it gained since it was
  // last read; -1 when there is no file to go on with.
  int OpenChecked(bool create);
  Reading ReadThrough(int fd, qint64 size);
  bool HandleTail(int fd, qint64 size);
  bool MoveAside(const QString& why);
  QString AsideName(const QString& kind) const;
  void RecoverOrphans(int fd);
  bool WriteLines(int fd, const QByteArray& lines);
  bool ClearFile(int fd);
  bool RemoveRow(int fd, const QString& text, qsizetype newer);
  bool RunJob(int fd, const Job& job);
  void CompactIfDue(int fd);
  bool ReplaceWithRanges(int fd, const std::vector<std::pair<qint64, qint64>>& ranges,
                         QString* error);
  qint64 StartOfNewestLines(int fd, qsizetype count) const;

  const QString folder_;
  const QString path_;
  const QString lockPath_;
  std::atomic<bool> persistent_ = true;
  std::atomic<bool> removed_ = false;

  mutable std::mutex reportMutex_;
  Reporter reporter_;
  std::function<void()> beforeReplace_;

  // Shared by both threads, under mutex_.
  std::mutex mutex_;
  std::condition_variable wake_;  // work was queued, or the worker is to end
  std::condition_variable done_;  // the queue became empty
  std::deque<Job> queue_;
  bool busy_ = false;
  bool stopping_ = false;
  int journalFd_ = -1;
  QString journalPath_;
  bool journalFailed_ = false;
  std::thread worker_;

  // The worker's own.
  int lockFd_ = -1;
  Checked checked_;
  bool recovered_ = false;
  bool compactionFailed_ = false;
};

}  // namespace vesko
