#include "engine/history_file.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringDecoder>

#include <algorithm>
#include <cstdio>
#include <optional>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace vesko {

namespace {

const QString kFileName = QStringLiteral("history.txt");
const QString kLockName = QStringLiteral("history.lock");
// How long an append or a clearing waits for another calculator to finish with the file. Nobody
// holds the lock for longer than one append or one compaction.
constexpr int kLockWaitMs = 2000;
// The end of the file is read in blocks of this size, doubled until the rows wanted are in.
constexpr qint64 kFirstTailBytes = 64 * 1024;
// Whole-file passes (counting, copying) go through a buffer of this size.
constexpr qint64 kChunkBytes = 1024 * 1024;

// The offset just after the `n`-th line feed before `end`, counting backwards (n >= 1), or 0 when
// there are fewer. With `n` = 1 that is where an unfinished last line starts; with `n` = k + 1 in
// a file ending in a line feed, where its newest k lines start.
qint64 AfterNthLineFeedFromEnd(QFile& file, qint64 end, qsizetype n) {
  QByteArray chunk;
  while (end > 0) {
    const qint64 begin = std::max<qint64>(0, end - kChunkBytes);
    if (!file.seek(begin)) {
      return -1;
    }
    chunk = file.read(end - begin);
    if (chunk.size() != end - begin) {
      return -1;
    }
    for (qsizetype i = chunk.size() - 1; i >= 0; --i) {
      if (chunk[i] == '\n' && --n == 0) {
        return begin + i + 1;
      }
    }
    end = begin;
  }
  return 0;
}

// Line feeds in [begin, end) of the file, or -1 when it cannot be read.
qsizetype CountLineFeeds(QFile& file, qint64 begin, qint64 end) {
  if (!file.seek(begin)) {
    return -1;
  }
  qsizetype count = 0;
  while (begin < end) {
    const QByteArray chunk = file.read(std::min(kChunkBytes, end - begin));
    if (chunk.isEmpty()) {
      return -1;
    }
    count += chunk.count('\n');
    begin += chunk.size();
  }
  return count;
}

}  // namespace

QString HistoryFile::DefaultFolder() {
  return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

HistoryFile::HistoryFile(QString folder)
    : folder_(std::move(folder)),
      path_(QDir(folder_).filePath(kFileName)),
      lockPath_(QDir(folder_).filePath(kLockName)) {
  if (folder_.isEmpty()) {
    persistent_ = false;
  }
}

namespace {

void AppendEscaped(QString& escaped, QStringView text) {
  for (const QChar c : text) {
    switch (c.unicode()) {
      case u'\\':
        escaped += QStringLiteral("\\\\");
        break;
      case u'\n':
        escaped += QStringLiteral("\\n");
        break;
      case u'\r':
        escaped += QStringLiteral("\\r");
        break;
      case u'\0':
        escaped += QStringLiteral("\\0");
        break;
      default:
        escaped += c;
    }
  }
}

// The character an escape stands for inside a row; nothing for the markers and unknown escapes.
std::optional<QChar> Unescaped(QChar c) {
  switch (c.unicode()) {
    case u'\\':
      return u'\\';
    case u'n':
      return u'\n';
    case u'r':
      return u'\r';
    case u'0':
      return u'\0';
    default:
      return std::nullopt;
  }
}

}  // namespace

QByteArray HistoryFile::EscapeRow(const QString& row) {
  QString escaped;
  escaped.reserve(row.size());
  AppendEscaped(escaped, row);
  return escaped.toUtf8();
}

QByteArray HistoryFile::EscapeRow(const KeptRow& row) {
  const bool literal = row.split() && !row.literal.isNull() && row.literal != row.result();
  // The split is written only where reading the row alone would not find it: where the row has
  // more than one "=". Most lines thus read the same as in earlier versions' files.
  if (!row.split() ||
      (!literal && KeptRow::FromText(row.text).expressionLength == row.expressionLength)) {
    return EscapeRow(row.text);
  }
  QString escaped;
  escaped.reserve(row.text.size() + 2);
  if (KeptRow::FromText(row.text).expressionLength == row.expressionLength) {
    AppendEscaped(escaped, row.text);
  } else {
    AppendEscaped(escaped, QStringView(row.text).first(row.expressionLength));
    escaped += QStringLiteral("\\=");
    AppendEscaped(escaped, QStringView(row.text).sliced(row.expressionLength + 1));
  }
  if (literal) {
    escaped += QStringLiteral("\\|");
    AppendEscaped(escaped, row.literal);
  }
  return escaped.toUtf8();
}

bool HistoryFile::UnescapeLine(QByteArrayView line, QString& row) {
  KeptRow kept;
  if (!UnescapeLine(line, kept)) {
    return false;
  }
  row = kept.text;
  return true;
}

bool HistoryFile::UnescapeLine(QByteArrayView line, KeptRow& row) {
  // Stateless: each line is a conversion of its own; a byte order mark inside a row is kept.
  QStringDecoder decoder(QStringDecoder::Utf8,
                         QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
  const QString text = decoder(line);
  if (decoder.hasError()) {
    return false;
  }
  row = KeptRow();
  row.text.reserve(text.size());
  QString* out = &row.text;  // the literal once \| is read
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c == u'\r' || c == u'\0') {
      return false;  // written escaped, never as such
    }
    if (c != u'\\') {
      *out += c;
      continue;
    }
    if (++i == text.size()) {
      return false;
    }
    if (const std::optional<QChar> plain = Unescaped(text[i])) {
      *out += *plain;
    } else if (text[i] == u'=' && !row.split() && out == &row.text) {
      row.expressionLength = row.text.size();
      row.text += u'=';
    } else if (text[i] == u'|' && out == &row.text) {
      row.literal = QStringLiteral("");  // not null, even when empty
      out = &row.literal;
    } else {
      return false;
    }
  }
  if (!row.split()) {
    row.expressionLength = KeptRow::FromText(row.text).expressionLength;
  }
  if (!row.split() && !row.literal.isNull()) {
    return false;  // a literal belongs to a row with a result
  }
  // Rows without a literal of their own are from earlier files or have a result that reads back
  // as it is; which, only evaluating it tells.
  row.literalKnown = !row.literal.isNull();
  return true;
}

void HistoryFile::Report(Fault fault, const QString& message) {
  if (reported_.contains(fault)) {
    return;
  }
  reported_.insert(fault);
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

QStringList HistoryFile::Restore(qsizetype count) {
  QStringList texts;
  for (const KeptRow& row : RestoreRows(count)) {
    texts.append(row.text);
  }
  return texts;
}

QList<KeptRow> HistoryFile::RestoreRows(qsizetype count) {
  if (!persistent_) {
    return {};
  }
  // A folder that cannot be written is found out now rather than at the first commit.
  if (!QDir().mkpath(folder_)) {
    Report(Fault::NotWritable,
           QStringLiteral("cannot create the folder %1; this session's rows are not kept in %2")
               .arg(folder_, path_));
    persistent_ = false;
    return {};
  }
  if (!QFileInfo(folder_).isWritable()) {
    Report(Fault::NotWritable,
           QStringLiteral("cannot write in %1; this session's rows are not kept in %2")
               .arg(folder_, path_));
    persistent_ = false;
  }
  if (count <= 0 || !QFileInfo::exists(path_)) {
    return {};
  }
  Tail tail = ReadTail(count);
  // The file is read without the lock, which would cost a write to the disk at every start. But
  // another calculator's append under way looks like a torn line: before a fault is reported or
  // the file moved aside, the file is read again under the lock, which every append holds. Where
  // no lock file can be made (a folder that cannot be written) it is read all the same.
  QLockFile lock(lockPath_);
  if (tail.torn || !tail.unexpected.isEmpty()) {
    lock.tryLock(kLockWaitMs);
    tail = ReadTail(count);
  }
  if (!tail.unreadable.isEmpty()) {
    Report(Fault::Unreadable, QStringLiteral("cannot read %1 (%2); history is neither restored "
                                             "nor kept")
                                  .arg(path_, tail.unreadable));
    persistent_ = false;
    return {};
  }
  if (!tail.unexpected.isEmpty()) {
    MoveAside(tail.unexpected);
    return {};
  }
  if (tail.torn) {
    Report(Fault::TornLine,
           QStringLiteral("the last line of %1 is incomplete (an interrupted write); skipped it")
               .arg(path_));
  }
  return tail.rows;
}

HistoryFile::Tail HistoryFile::ReadTail(qsizetype count) const {
  Tail tail;
  QFile file(path_);
  if (!QFileInfo(path_).isFile()) {
    tail.unreadable = QStringLiteral("not a file");
    return tail;
  }
  if (!file.open(QIODevice::ReadOnly)) {
    tail.unreadable = file.errorString();
    return tail;
  }
  const qint64 size = file.size();

  // Read a block from the end, twice as large each time, until it holds `count` whole lines
  // after its first (possibly partial) line, or the whole file.
  QByteArray data;
  qint64 start = size;
  for (qint64 window = kFirstTailBytes;; window *= 2) {
    start = std::max<qint64>(0, size - window);
    if (!file.seek(start) || (data = file.read(size - start)).size() != size - start) {
      tail.unreadable = file.errorString();
      return tail;
    }
    if (start == 0 || data.count('\n') > count) {
      break;
    }
  }

  qsizetype end = data.size();
  if (end > 0 && data.back() != '\n') {
    end = data.lastIndexOf('\n') + 1;
    tail.torn = true;
  }
  const qsizetype begin = start > 0 ? data.indexOf('\n') + 1 : 0;

  tail.rows.reserve(count);
  qsizetype lineEnd = end - 1;  // the line feed ending the line looked at
  while (tail.rows.size() < count && lineEnd >= begin) {
    const qsizetype lineStart =
        std::max(begin, lineEnd == 0 ? qsizetype{0} : data.lastIndexOf('\n', lineEnd - 1) + 1);
    KeptRow row;
    if (!UnescapeLine(QByteArrayView(data).sliced(lineStart, lineEnd - lineStart), row)) {
      tail.unexpected = QStringLiteral("line %1 from the end is not a row in UTF-8 text")
                            .arg(tail.rows.size() + (tail.torn ? 2 : 1));
      tail.rows.clear();
      return tail;
    }
    tail.rows.append(row);
    lineEnd = lineStart - 1;
  }
  return tail;
}

void HistoryFile::MoveAside(const QString& why) {
  // A new name that no file has: the moved file never replaces another one.
  const QString stem = path_ + QStringLiteral(".unreadable-") +
                       QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
  QString aside = stem;
  for (int n = 2; QFileInfo::exists(aside) && n < 1000; ++n) {
    aside = stem + u'-' + QString::number(n);
  }
  if (!QFileInfo::exists(aside) && QFile::rename(path_, aside)) {
    Report(Fault::Unexpected,
           QStringLiteral("%1 is not a history file (%2); moved it to %3 and started with an "
                          "empty history")
               .arg(path_, why, aside));
    return;
  }
  Report(Fault::Unexpected,
         QStringLiteral("%1 is not a history file (%2) and could not be moved aside; left it as "
                        "it is, history is neither restored nor kept")
             .arg(path_, why));
  persistent_ = false;
}

void HistoryFile::Append(const QString& row) {
  Append(KeptRow{row, -1, {}, false});
}

void HistoryFile::Append(const KeptRow& row) {
  if (!persistent_) {
    return;
  }
  pending_ += EscapeRow(row);
  pending_ += '\n';
  WritePending();
}

HistoryFile::~HistoryFile() {
  if (persistent_ && !pending_.isEmpty()) {
    WritePending();
  }
}

void HistoryFile::WritePending() {
  if (!QDir().mkpath(folder_)) {
    Report(Fault::NotWritable,
           QStringLiteral("cannot create the folder %1; this session's rows are not kept in %2")
               .arg(folder_, path_));
    persistent_ = false;
    pending_.clear();
    return;
  }
  QLockFile lock(lockPath_);
  if (!lock.tryLock(kLockWaitMs)) {
    if (lock.error() == QLockFile::LockFailedError) {
      // Another calculator holds the file longer than any append takes; the row waits in memory
      // and goes out with the next one.
      Report(Fault::LockBusy,
             QStringLiteral("%1 is locked by another calculator (%2); rows are written once it is "
                            "free")
                 .arg(path_, lockPath_));
      return;
    }
    Report(Fault::NotWritable,
           QStringLiteral("cannot write in %1; this session's rows are not kept in %2")
               .arg(folder_, path_));
    persistent_ = false;
    pending_.clear();
    return;
  }
  if (!WriteLines(pending_)) {
    persistent_ = false;
  }
  pending_.clear();
  if (persistent_ && !compactionFailed_ && countedRows_ > kCompactAbove) {
    Compact();
  }
}

bool HistoryFile::WriteLines(const QByteArray& lines) {
  QFile file(path_);
  // A new file is for its owner's eyes only, like the calculations in it.
  if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered,
                 QFile::ReadOwner | QFile::WriteOwner) ||
      file.isSequential()) {
    Report(Fault::NotWritable, QStringLiteral("cannot write %1 (%2); this session's rows are not "
                                              "kept")
                                   .arg(path_, file.errorString()));
    return false;
  }
  qint64 size = file.size();
  // An unfinished last line (a crash during a write) is cut off, so that the new line is a line
  // of its own rather than the end of that one. Under the lock no write is under way.
  char last = '\n';
  if (size > 0 && file.seek(size - 1) && file.getChar(&last) && last != '\n') {
    const qint64 cut = AfterNthLineFeedFromEnd(file, size, 1);
    if (cut >= 0 && file.resize(cut)) {
      Report(Fault::TornLine,
             QStringLiteral("the last line of %1 is incomplete (an interrupted write); removed it")
                 .arg(path_));
      size = cut;
    }
  }
  CountRows(file, size);
  const qint64 written = file.seek(size) ? file.write(lines) : -1;
  if (written != lines.size()) {
    const QString error = file.errorString();
    // Whatever part of the lines did get in is taken out again: no half line stays behind.
    file.resize(size);
    Report(Fault::NotWritable,
           QStringLiteral("cannot write %1 (%2); this session's rows are not kept from now on")
               .arg(path_, error));
    return false;
  }
#ifdef Q_OS_UNIX
  // Past the process into the disk, so that a crash of the machine does not lose the row either.
  ::fdatasync(file.handle());
#endif
  countedRows_ += lines.count('\n');
  countedBytes_ = size + written;
  return true;
}

void HistoryFile::CountRows(QFile& file, qint64 size) {
  // Counting carries on from where it last stopped when the file has only grown since (other
  // calculators' rows); otherwise it starts again from the beginning.
  const bool grown = countedBytes_ >= 0 && size >= countedBytes_;
  const qsizetype added =
      grown ? CountLineFeeds(file, countedBytes_, size) : CountLineFeeds(file, 0, size);
  if (added < 0) {
    countedRows_ = 0;
  } else {
    countedRows_ = grown ? countedRows_ + added : added;
  }
  countedBytes_ = size;
}

void HistoryFile::Compact() {
  QFile file(path_);
  if (!file.open(QIODevice::ReadOnly)) {
    return;
  }
  const qint64 size = file.size();
  // The running count only decides when to look; the decision itself counts exactly.
  countedBytes_ = -1;
  CountRows(file, size);
  if (countedRows_ <= kCompactAbove) {
    return;
  }
  const qint64 keepFrom = AfterNthLineFeedFromEnd(file, size, kCompactTo + 1);
  if (keepFrom <= 0 || !file.seek(keepFrom)) {
    return;
  }
  QSaveFile compacted(path_);
  bool copied = compacted.open(QIODevice::WriteOnly);
  for (qint64 at = keepFrom; copied && at < size;) {
    const QByteArray chunk = file.read(std::min(kChunkBytes, size - at));
    copied = !chunk.isEmpty() && compacted.write(chunk) == chunk.size();
    at += chunk.size();
  }
  if (copied && beforeReplace_) {
    beforeReplace_();
  }
  if (!copied || !compacted.commit()) {
    compacted.cancelWriting();
    // Not tried again in this run: each try reads the whole file.
    compactionFailed_ = true;
    Report(Fault::CompactionFailed,
           QStringLiteral("could not shorten %1 (%2); it stays as it is and keeps growing")
               .arg(path_, compacted.errorString()));
    return;
  }
  countedRows_ = kCompactTo;
  countedBytes_ = size - keepFrom;
}

bool HistoryFile::Clear() {
  pending_.clear();
  if (!persistent_) {
    return false;
  }
  if (!QFileInfo::exists(path_)) {
    return true;
  }
  QLockFile lock(lockPath_);
  if (!lock.tryLock(kLockWaitMs)) {
    Report(Fault::LockBusy,
           QStringLiteral("cannot clear %1: it is locked (%2)").arg(path_, lockPath_));
    return false;
  }
  QFile file(path_);
  if (!file.resize(0)) {
    Report(Fault::NotWritable,
           QStringLiteral("cannot clear %1 (%2)").arg(path_, file.errorString()));
    return false;
  }
  countedRows_ = 0;
  countedBytes_ = 0;
  return true;
}

bool HistoryFile::Remove(const QString& text, qsizetype newer) {
  if (!persistent_) {
    return false;
  }
  // Rows still waiting for the lock go in first, so that `newer` counts them.
  if (!pending_.isEmpty()) {
    WritePending();
  }
  if (!QFileInfo::exists(path_)) {
    return false;
  }
  QLockFile lock(lockPath_);
  if (!lock.tryLock(kLockWaitMs)) {
    Report(Fault::LockBusy,
           QStringLiteral("cannot remove a row from %1: it is locked (%2)").arg(path_, lockPath_));
    return false;
  }
  return RewriteWithout(text, newer);
}

namespace {

// The line of `lines` (ranges of complete lines, oldest first) nearest to the `newer`-th from the
// end whose row has `text`; -1 when there is none.
qsizetype NearestLineWith(const QByteArray& data,
                          const QList<std::pair<qsizetype, qsizetype>>& lines, const QString& text,
                          qsizetype newer) {
  const qsizetype wanted = lines.size() - 1 - newer;
  const auto holds = [&](qsizetype i) {
    if (i < 0 || i >= lines.size()) {
      return false;
    }
    KeptRow row;
    const auto [begin, end] = lines[i];
    return HistoryFile::UnescapeLine(QByteArrayView(data).sliced(begin, end - begin), row) &&
           row.text == text;
  };
  for (qsizetype distance = 0; distance <= lines.size() + std::abs(wanted); ++distance) {
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

bool HistoryFile::RewriteWithout(const QString& text, qsizetype newer) {
  QFile file(path_);
  if (!file.open(QIODevice::ReadOnly)) {
    Report(
        Fault::RemoveFailed,
        QStringLiteral("cannot read %1 (%2); the row stays in it").arg(path_, file.errorString()));
    return false;
  }
  const QByteArray data = file.readAll();
  file.close();
  QList<std::pair<qsizetype, qsizetype>> lines;  // [begin, end) of each line, without its line feed
  for (qsizetype begin = 0, end = 0; (end = data.indexOf('\n', begin)) >= 0; begin = end + 1) {
    lines.append({begin, end});
  }
  const qsizetype found = NearestLineWith(data, lines, text, newer);
  if (found < 0) {
    return false;
  }
  QSaveFile rewritten(path_);
  const auto [begin, end] = lines[found];
  const bool written = rewritten.open(QIODevice::WriteOnly) &&
                       rewritten.write(data.first(begin)) == begin &&
                       rewritten.write(data.sliced(end + 1)) == data.size() - end - 1;
  if (!written || !rewritten.commit()) {
    rewritten.cancelWriting();
    Report(Fault::RemoveFailed,
           QStringLiteral("could not remove a row from %1 (%2); it stays in it")
               .arg(path_, rewritten.errorString()));
    return false;
  }
  countedBytes_ = -1;  // counted afresh at the next append
  return true;
}

}  // namespace vesko
