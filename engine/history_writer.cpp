#include "engine/history_writer.h"

#include "engine/history_check.h"
#include "engine/history_file.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <system_error>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vesko {

namespace {

const QString kJournalPrefix = QStringLiteral("history.journal-");
// Whole-file passes (reading through, copying) go through a buffer of this size.
constexpr qint64 kChunkBytes = qint64{1024} * 1024;

QByteArray Native(const QString& path) {
  return QFile::encodeName(path);
}

// Writes all of `bytes`; false, with errno set, when that failed part way or at once.
bool WriteAll(int fd, QByteArrayView bytes) {
  while (!bytes.isEmpty()) {
    const ssize_t written = ::write(fd, bytes.data(), static_cast<size_t>(bytes.size()));
    if (written < 0 && errno == EINTR) {
      continue;
    }
    if (written <= 0) {
      if (written == 0) {
        errno = ENOSPC;
      }
      return false;
    }
    bytes = bytes.sliced(written);
  }
  return true;
}

// Reads [begin, end) of the file into `out`; false, with errno set, on failure.
bool ReadRange(int fd, qint64 begin, qint64 end, QByteArray& out) {
  out.resize(end - begin);
  for (qint64 done = 0; done < end - begin;) {
    const ssize_t got = ::pread(fd, out.data() + done, static_cast<size_t>(end - begin - done),
                                static_cast<off_t>(begin + done));
    if (got < 0 && errno == EINTR) {
      continue;
    }
    if (got <= 0) {
      if (got == 0) {
        errno = EIO;  // the file became shorter while read
      }
      return false;
    }
    done += got;
  }
  return true;
}

void EmptyJournal(int fd) {
  // A journal that cannot be emptied only means rows taken in twice after a crash.
  if (::ftruncate(fd, 0) != 0) {
    std::perror("history journal");
  }
}

void LockExclusive(int fd) {
  // Blocks until the other calculator is done: the kernel hands the lock on as it is released,
  // so a waiter is never passed over by a retry interval.
  while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
  }
}

}  // namespace

QString SystemError(int error) {
  return QString::fromStdString(std::generic_category().message(error));
}

HistoryWriter::HistoryWriter(QString folder)
    : folder_(std::move(folder)),
      path_(QDir(folder_).filePath(QStringLiteral("history.txt"))),
      lockPath_(QDir(folder_).filePath(QStringLiteral("history.lock"))) {}

HistoryWriter::~HistoryWriter() {
  if (worker_.joinable()) {
    worker_.detach();  // only reached on the worker itself, after a Close that gave up
  }
  if (lockFd_ >= 0) {
    ::close(lockFd_);
  }
  if (journalFd_ >= 0) {
    ::close(journalFd_);
  }
}

void HistoryWriter::setReporter(Reporter reporter) {
  const std::lock_guard guard(reportMutex_);
  reporter_ = std::move(reporter);
}

void HistoryWriter::setBeforeReplaceHook(std::function<void()> hook) {
  const std::lock_guard guard(mutex_);
  beforeReplace_ = std::move(hook);
}

void HistoryWriter::Report(const QString& message) const {
  const std::lock_guard guard(reportMutex_);
  if (reporter_) {
    reporter_(message);
    return;
  }
  QString name = QCoreApplication::applicationName();
  if (name.isEmpty()) {
    name = QStringLiteral("history");
  }
  std::fprintf(stderr, "%s: %s\n", qPrintable(name), qPrintable(message));
  std::fflush(stderr);
}

void HistoryWriter::StopKeeping(const QString& message) {
  Report(message);
  persistent_ = false;
}

bool HistoryWriter::MakeFolder(const QString& folder, QString* error) {
  const QFileInfo info(folder);
  if (info.isDir()) {
    return true;
  }
  if (!QDir().mkpath(info.absolutePath())) {
    *error = QStringLiteral("cannot create %1").arg(info.absolutePath());
    return false;
  }
  // Its rows are its owner's alone, whatever the umask.
  if (::mkdir(Native(folder).constData(), 0700) != 0 && errno != EEXIST) {
    *error = SystemError();
    return false;
  }
  if (!QFileInfo(folder).isDir()) {
    *error = QStringLiteral("not a folder");
    return false;
  }
  return true;
}

QStringList HistoryWriter::OrphanJournals() const {
  QStringList orphans;
  const QDir dir(folder_);
  for (const QString& name : dir.entryList({kJournalPrefix + u'*'}, QDir::Files)) {
    const QString path = dir.filePath(name);
    const int fd = ::open(Native(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
      continue;
    }
    // A living calculator holds the lock on its own journal.
    if (::flock(fd, LOCK_SH | LOCK_NB) == 0) {
      orphans.append(path);
    }
    ::close(fd);
  }
  return orphans;
}

void HistoryWriter::Append(const QByteArray& lines) {
  std::unique_lock guard(mutex_);
  if (!persistent_) {
    return;
  }
  QString error;
  if (journalFd_ < 0 && !journalFailed_) {
    // A folder that cannot be made is said by the worker, which cannot write the file either.
    QString folderError;
    error = MakeFolder(folder_, &folderError) ? OpenJournal() : QString();
    journalFailed_ = journalFd_ < 0;
  }
  if (journalFd_ >= 0 && !WriteAll(journalFd_, lines)) {
    error = QStringLiteral("cannot write %1 (%2)").arg(journalPath_, SystemError());
    EmptyJournal(journalFd_);  // the rows still go to the file from memory
    ::close(journalFd_);
    ::unlink(Native(journalPath_).constData());
    journalFd_ = -1;
    journalFailed_ = true;
  }
  if (!error.isEmpty()) {
    guard.unlock();
    Report(error + QStringLiteral("; rows reach %1 from memory only, and a crash before that "
                                  "loses them")
                       .arg(path_));
    guard.lock();
  }
  if (!queue_.empty() && !queue_.back().clear) {
    queue_.back().lines += lines;
  } else {
    Job job;
    job.lines = lines;
    queue_.push_back(std::move(job));
  }
  guard.unlock();
  Enqueue({});
}

QString HistoryWriter::OpenJournal() {
  QString error;
  for (int attempt = 0; attempt < 3; ++attempt) {
    journalPath_ =
        QDir(folder_).filePath(kJournalPrefix + QString::number(::getpid()) + u'-' +
                               QString::number(QRandomGenerator::global()->generate(), 16));
    const QByteArray native = Native(journalPath_);
    const int fd =
        ::open(native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0600);
    if (fd < 0) {
      error = SystemError();
      continue;
    }
    // Another calculator taking in orphaned journals may have seen this one before it was
    // locked, found it empty and removed it: then it is made again under a new name.
    struct stat opened {};
    struct stat named {};
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &opened) == 0 &&
        ::stat(native.constData(), &named) == 0 && opened.st_ino == named.st_ino) {
      journalFd_ = fd;
      return {};
    }
    error = QStringLiteral("taken away as it was made");
    ::close(fd);
  }
  return QStringLiteral("cannot make a journal in %1 (%2)").arg(folder_, error);
}

void HistoryWriter::Check() {
  Enqueue({});
}

void HistoryWriter::Clear() {
  {
    const std::lock_guard guard(mutex_);
    // Rows not yet taken would be cleared anyway.
    queue_.clear();
    if (journalFd_ >= 0) {
      EmptyJournal(journalFd_);
    }
  }
  Job job;
  job.clear = true;
  Enqueue(std::move(job));
}

void HistoryWriter::Remove(const QString& text, qsizetype newer) {
  removed_ = false;
  Job job;
  job.removeText = text;
  job.removeNewer = newer;
  Enqueue(std::move(job));
}

void HistoryWriter::Enqueue(Job job) {
  const std::lock_guard guard(mutex_);
  if (!persistent_ || stopping_) {
    return;
  }
  if (job.clear || !job.removeText.isNull() || !job.lines.isEmpty() || queue_.empty()) {
    queue_.push_back(std::move(job));
  }
  if (!worker_.joinable()) {
    worker_ = std::thread([self = shared_from_this()] { self->Run(); });
  }
  wake_.notify_one();
}

bool HistoryWriter::Flush(int timeoutMs) {
  std::unique_lock guard(mutex_);
  return done_.wait_for(guard, std::chrono::milliseconds(timeoutMs),
                        [this] { return queue_.empty() && !busy_; });
}

void HistoryWriter::Close(int timeoutMs) {
  const bool written = Flush(timeoutMs);
  std::unique_lock guard(mutex_);
  stopping_ = true;
  wake_.notify_one();
  if (written && persistent_ && journalFd_ >= 0) {
    ::unlink(Native(journalPath_).constData());
  }
  guard.unlock();
  if (!worker_.joinable()) {
    return;
  }
  if (written) {
    worker_.join();
  } else {
    // The lock is still held elsewhere: the rows stay in the journal, which the next
    // calculator takes in; the worker keeps this object alive while it waits.
    worker_.detach();
  }
}

void HistoryWriter::Run() {
  std::unique_lock guard(mutex_);
  while (true) {
    wake_.wait(guard, [this] { return !queue_.empty() || stopping_; });
    if (queue_.empty()) {
      return;
    }
    std::deque<Job> jobs;
    jobs.swap(queue_);
    busy_ = true;
    guard.unlock();
    RunBatch(jobs);
    guard.lock();
    busy_ = false;
    if (queue_.empty()) {
      done_.notify_all();
    }
  }
}

void HistoryWriter::RunBatch(std::deque<Job>& jobs) {
  if (!persistent_) {
    return;  // jobs queued before the file turned out not to be writable
  }
  QString error;
  if (lockFd_ < 0 && MakeFolder(folder_, &error)) {
    lockFd_ = ::open(Native(lockPath_).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    error = SystemError();
  }
  if (lockFd_ < 0) {
    StopKeeping(QStringLiteral("cannot write in %1 (%2); this session's rows are not kept in %3")
                    .arg(folder_, error, path_));
    return;
  }
  LockExclusive(lockFd_);
  // A file is made only for rows to go into, not to be checked or cleared.
  const bool rows =
      std::any_of(jobs.begin(), jobs.end(), [](const Job& job) { return !job.lines.isEmpty(); }) ||
      (!recovered_ && !OrphanJournals().isEmpty());
  const int fd = OpenChecked(rows);
  if (fd >= 0) {
    RecoverOrphans(fd);
    for (const Job& job : jobs) {
      if (!persistent_ || !RunJob(fd, job)) {
        break;
      }
    }
    if (persistent_) {
      ForgetJournalled();
      CompactIfDue(fd);
    }
  }
  ::flock(lockFd_, LOCK_UN);
  if (fd >= 0) {
    // Past the process into the disk, so that losing power does not lose the rows either. Other
    // calculators need not wait for it.
    ::fdatasync(fd);
    ::close(fd);
  }
}

void HistoryWriter::ForgetJournalled() {
  // The rows are in the kernel's hands now, which is all that the journal is for: it keeps rows
  // through a crash of the process, not of the machine. Rows journalled after the ones just
  // written keep it as it is until they are written too.
  const std::lock_guard guard(mutex_);
  if (queue_.empty() && journalFd_ >= 0) {
    EmptyJournal(journalFd_);
  }
}

int HistoryWriter::OpenChecked(bool create) {
  // Not blocking on a named pipe or a device put in the file's place.
  const int fd = ::open(Native(path_).constData(),
                        O_RDWR | O_APPEND | O_CLOEXEC | O_NONBLOCK | (create ? O_CREAT : 0), 0600);
  if (fd < 0 && errno == ENOENT && !create) {
    return -1;  // nothing to check or clear
  }
  struct stat info {};
  if (fd < 0 || ::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    const QString error = fd < 0 ? SystemError() : QStringLiteral("not a regular file");
    if (fd >= 0) {
      ::close(fd);
    }
    StopKeeping(
        QStringLiteral("cannot write %1 (%2); this session's rows are not kept").arg(path_, error));
    return -1;
  }
  // Another file in its place (compacted or moved by another calculator), or one that shrank:
  // it is read again from its start.
  if (info.st_dev != checked_.device || info.st_ino != checked_.inode ||
      info.st_size < checked_.bytes) {
    checked_ = {info.st_dev, info.st_ino, 0, 0};
  }
  const Reading reading =
      info.st_size > checked_.bytes ? ReadThrough(fd, info.st_size) : Reading::kHistory;
  if (reading == Reading::kHistory) {
    return fd;
  }
  ::close(fd);
  // A file moved aside makes way for a new one, when there are rows for it.
  return reading == Reading::kMovedAside ? OpenChecked(create) : -1;
}

HistoryWriter::Reading HistoryWriter::ReadThrough(int fd, qint64 size) {
  HistoryCheck check;
  QByteArray chunk;
  for (qint64 at = checked_.bytes; at < size && !check.failed(); at += chunk.size()) {
    if (!ReadRange(fd, at, std::min(size, at + kChunkBytes), chunk)) {
      StopKeeping(QStringLiteral("cannot read %1 (%2); this session's rows are not kept")
                      .arg(path_, SystemError()));
      return Reading::kFailed;
    }
    check.Feed(chunk);
  }
  // A file is history only when it has at least one whole row of its own.
  if (check.failed() || (checked_.bytes == 0 && check.lines() == 0)) {
    const QString why = check.failed() ? check.why() : QStringLiteral("no whole line of history");
    return MoveAside(why) ? Reading::kMovedAside : Reading::kFailed;
  }
  checked_.bytes += check.wholeBytes();
  checked_.rows += check.lines();
  return HandleTail(fd, size) ? Reading::kHistory : Reading::kFailed;
}

bool HistoryWriter::HandleTail(int fd, qint64 size) {
  if (checked_.bytes == size) {
    return true;
  }
  // The start of a row after whole rows: a write cut short by a crash. Its bytes are kept in a
  // file of their own before they are cut, so that the next row starts a line.
  const QString aside = AsideName(QStringLiteral("torn"));
  const int out = ::open(Native(aside).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  QByteArray tail;
  bool saved = out >= 0;
  for (qint64 at = checked_.bytes; saved && at < size; at += tail.size()) {
    saved = ReadRange(fd, at, std::min(size, at + kChunkBytes), tail) && WriteAll(out, tail);
  }
  saved = saved && ::fdatasync(out) == 0;
  const QString error = SystemError();
  if (out >= 0) {
    ::close(out);
  }
  if (!saved || ::ftruncate(fd, checked_.bytes) != 0) {
    ::unlink(Native(aside).constData());
    StopKeeping(QStringLiteral("the last line of %1 is incomplete and could not be set aside "
                               "(%2); left the file as it is, this session's rows are not kept")
                    .arg(path_, saved ? SystemError() : error));
    return false;
  }
  Report(QStringLiteral("the last line of %1 was incomplete (an interrupted write); moved its "
                        "%2 bytes to %3")
             .arg(path_)
             .arg(size - checked_.bytes)
             .arg(aside));
  return true;
}

QString HistoryWriter::AsideName(const QString& kind) const {
  // A new name that no file has: a file set aside never replaces another one.
  const QString stem = path_ + u'.' + kind + u'-' +
                       QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
  QString aside = stem;
  for (int n = 2; QFileInfo::exists(aside); ++n) {
    aside = stem + u'-' + QString::number(n);
  }
  return aside;
}

bool HistoryWriter::MoveAside(const QString& why) {
  const QString aside = AsideName(QStringLiteral("unreadable"));
  // link() fails rather than replace a file that appeared under that name meanwhile.
  if (::link(Native(path_).constData(), Native(aside).constData()) != 0 ||
      ::unlink(Native(path_).constData()) != 0) {
    StopKeeping(QStringLiteral("%1 is not a history file (%2) and could not be moved aside (%3); "
                               "left it as it is, this session's rows are not kept")
                    .arg(path_, why, SystemError()));
    return false;
  }
  checked_ = {};
  Report(QStringLiteral("%1 is not a history file (%2); moved it to %3, the next row starts a new "
                        "one")
             .arg(path_, why, aside));
  return true;
}

void HistoryWriter::RecoverOrphans(int fd) {
  if (recovered_) {
    return;
  }
  recovered_ = true;
  for (const QString& journal : OrphanJournals()) {
    const int in = ::open(Native(journal).constData(), O_RDONLY | O_CLOEXEC);
    struct stat info {};
    if (in < 0 || ::flock(in, LOCK_EX | LOCK_NB) != 0 || ::fstat(in, &info) != 0) {
      if (in >= 0) {
        ::close(in);
      }
      continue;
    }
    QByteArray lines;
    HistoryCheck check;
    const bool read = ReadRange(in, 0, info.st_size, lines);
    const QString error = SystemError();
    for (qint64 at = 0; read && at < lines.size() && !check.failed(); at += kChunkBytes) {
      check.Feed(
          QByteArrayView(lines).sliced(at, std::min<qint64>(kChunkBytes, lines.size() - at)));
    }
    if (!read || check.failed()) {
      Report(QStringLiteral("%1 holds no rows that can be taken in (%2); left it as it is")
                 .arg(journal, read ? check.why() : error));
    } else {
      lines.truncate(check.wholeBytes());  // a row cut short by the crash is in no one's view
      if (WriteLines(fd, lines) && ::fdatasync(fd) == 0) {
        ::unlink(Native(journal).constData());
      }
    }
    ::close(in);
  }
}

bool HistoryWriter::WriteLines(int fd, const QByteArray& lines) {
  if (lines.isEmpty()) {
    return true;
  }
  if (!WriteAll(fd, lines)) {
    const QString error = SystemError();
    // Whatever part of the lines did get in is taken out again: no half line stays behind.
    if (::ftruncate(fd, checked_.bytes) != 0) {
      checked_ = {};
    }
    QString journal;
    {
      const std::lock_guard guard(mutex_);
      journal = journalFd_ >= 0 ? journalPath_ : QStringLiteral("no journal: they are lost");
    }
    StopKeeping(QStringLiteral("cannot write %1 (%2); this session's rows are not kept from now "
                               "on, the rows not written stay in %3")
                    .arg(path_, error, journal));
    return false;
  }
  checked_.bytes += lines.size();
  checked_.rows += lines.count('\n');
  return true;
}

bool HistoryWriter::RunJob(int fd, const Job& job) {
  if (job.clear) {
    return ClearFile(fd);
  }
  if (!job.removeText.isNull()) {
    removed_ = RemoveRow(fd, job.removeText, job.removeNewer);
    return true;  // a row that is not there any more stops nothing after it
  }
  return WriteLines(fd, job.lines);
}

namespace {

// The line of `lines` (ranges of complete lines, oldest first) nearest to the `newer`-th from the
// end whose row has `text`; -1 when there is none.
qsizetype NearestLineWith(const QByteArray& data,
                          const std::vector<std::pair<qint64, qint64>>& lines, const QString& text,
                          qsizetype newer) {
  const auto count = static_cast<qsizetype>(lines.size());
  const qsizetype wanted = count - 1 - newer;
  const auto holds = [&](qsizetype i) {
    if (i < 0 || i >= count) {
      return false;
    }
    KeptRow row;
    const auto [begin, end] = lines[static_cast<std::size_t>(i)];
    return HistoryFile::UnescapeLine(QByteArrayView(data).sliced(begin, end - begin), row) &&
           row.text == text;
  };
  for (qsizetype distance = 0; distance <= count + std::abs(wanted); ++distance) {
    if (holds(wanted + distance)) {
      return wanted + distance;
    }
    if (distance > 0 && holds(wanted - distance)) {
      return wanted - distance;
    }
  }
  return -1;
}

}  // namespace

bool HistoryWriter::RemoveRow(int fd, const QString& text, qsizetype newer) {
  QByteArray data;
  if (!ReadRange(fd, 0, checked_.bytes, data)) {
    Report(QStringLiteral("cannot read %1 (%2); the row stays in it").arg(path_, SystemError()));
    return false;
  }
  std::vector<std::pair<qint64, qint64>> lines;  // [begin, end) of each line, without its line feed
  for (qsizetype begin = 0, end = 0; (end = data.indexOf('\n', begin)) >= 0; begin = end + 1) {
    lines.emplace_back(begin, end);
  }
  const qsizetype found = NearestLineWith(data, lines, text, newer);
  if (found < 0) {
    return false;
  }
  const auto [begin, end] = lines[static_cast<std::size_t>(found)];
  QString error;
  if (!ReplaceWithRanges(fd, {{0, begin}, {end + 1, checked_.bytes}}, &error)) {
    Report(QStringLiteral("could not remove a row from %1 (%2); it stays in it").arg(path_, error));
    return false;
  }
  return true;
}

bool HistoryWriter::ClearFile(int fd) {
  if (::ftruncate(fd, 0) != 0) {
    Report(QStringLiteral("cannot clear %1 (%2)").arg(path_, SystemError()));
    return false;
  }
  checked_.bytes = 0;
  checked_.rows = 0;
  return true;
}

void HistoryWriter::CompactIfDue(int fd) {
  if (compactionFailed_ || checked_.rows <= HistoryFile::kCompactAbove) {
    return;
  }
  const qint64 keepFrom = StartOfNewestLines(fd, HistoryFile::kCompactTo);
  QString error;
  if (keepFrom < 0 || !ReplaceWithRanges(fd, {{keepFrom, checked_.bytes}}, &error)) {
    // Not tried again in this run: each try reads the whole file.
    compactionFailed_ = true;
    Report(QStringLiteral("could not shorten %1 (%2); it stays as it is and keeps growing")
               .arg(path_, keepFrom < 0 ? SystemError() : error));
  }
}

qint64 HistoryWriter::StartOfNewestLines(int fd, qsizetype count) const {
  // Counting back `count` + 1 line feeds from the end; the file ends in one.
  qsizetype left = count + 1;
  QByteArray chunk;
  for (qint64 end = checked_.bytes; end > 0;) {
    const qint64 begin = std::max<qint64>(0, end - kChunkBytes);
    if (!ReadRange(fd, begin, end, chunk)) {
      return -1;
    }
    for (qsizetype i = chunk.size() - 1; i >= 0; --i) {
      if (chunk[i] == '\n' && --left == 0) {
        return begin + i + 1;
      }
    }
    end = begin;
  }
  return 0;
}

bool HistoryWriter::ReplaceWithRanges(int fd, const std::vector<std::pair<qint64, qint64>>& ranges,
                                      QString* error) {
  // The new file is written beside the old one and renamed over it: a crash leaves either
  // file whole. Only called on a file read through as history lines, under the lock.
  const QString temporary = path_ + QStringLiteral(".new-") + QString::number(::getpid());
  const QByteArray native = Native(temporary);
  const int out = ::open(native.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  bool copied = out >= 0;
  qint64 bytes = 0;
  QByteArray chunk;
  for (const auto& [begin, end] : ranges) {
    for (qint64 at = begin; copied && at < end; at += chunk.size()) {
      copied = ReadRange(fd, at, std::min(end, at + kChunkBytes), chunk) && WriteAll(out, chunk);
    }
    bytes += end - begin;
  }
  copied = copied && ::fdatasync(out) == 0;
  *error = SystemError();
  struct stat info {};
  copied = copied && ::fstat(out, &info) == 0;
  if (out >= 0) {
    ::close(out);
  }
  std::function<void()> hook;
  {
    const std::lock_guard guard(mutex_);
    hook = beforeReplace_;
  }
  if (copied && hook) {
    hook();
  }
  if (!copied || ::rename(native.constData(), Native(path_).constData()) != 0) {
    if (copied) {
      *error = SystemError();
    }
    ::unlink(native.constData());
    return false;
  }
  checked_ = {info.st_dev, info.st_ino, bytes, 0};
  // Counting the rows kept costs another read; compaction knows them, other rewrites count.
  QByteArray kept;
  for (const auto& [begin, end] : ranges) {
    for (qint64 at = begin; at < end; at += kept.size()) {
      if (!ReadRange(fd, at, std::min(end, at + kChunkBytes), kept)) {
        checked_ = {};
        return true;
      }
      checked_.rows += kept.count('\n');
    }
  }
  return true;
}

}  // namespace vesko
