#include "engine/history_file.h"

#include "engine/history_writer.h"

#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringDecoder>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vesko {

namespace {

// How long closing waits for another calculator's lock, and a start for the rows a killed one
// left in its journal.
constexpr int kCloseWaitMs = 3000;
constexpr int kRecoverWaitMs = 2000;

QString SystemError() {
  return QString::fromLocal8Bit(std::strerror(errno));
}

// The text of a line in the file's escapes; false when it is not UTF-8 or not escaped as the
// file's lines are.
bool Unescape(QByteArrayView line, QString& row) {
  // Stateless: each line is a conversion of its own; a byte order mark inside a row is kept.
  QStringDecoder decoder(QStringDecoder::Utf8,
                         QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
  const QString text = decoder(line);
  if (decoder.hasError()) {
    return false;
  }
  row.clear();
  row.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c == u'\r' || c == u'\0') {
      return false;  // written escaped, never as such
    }
    if (c != u'\\') {
      row += c;
      continue;
    }
    if (++i == text.size()) {
      return false;
    }
    switch (text[i].unicode()) {
      case u'\\':
        row += u'\\';
        break;
      case u'n':
        row += u'\n';
        break;
      case u'r':
        row += u'\r';
        break;
      case u'0':
        row += u'\0';
        break;
      default:
        return false;
    }
  }
  return true;
}

// The end of a line whose start lies before the bytes read: from the first place at which a
// character and an escape begin for certain.
bool UnescapeEnd(QByteArrayView part, QString& row) {
  part = part.last(std::min<qsizetype>(part.size(), 4 * HistoryFile::kShownRowChars));
  qsizetype from = 1;
  while (from < part.size() &&
         (part[from - 1] == '\\' || (static_cast<unsigned char>(part[from]) & 0xC0) == 0x80)) {
    ++from;
  }
  return Unescape(part.sliced(std::min(from, part.size())), row);
}

QString Shown(QString row, bool cutAtStart) {
  if (cutAtStart) {
    return u'…' + row.right(HistoryFile::kShownRowChars);
  }
  if (row.size() > HistoryFile::kShownRowChars) {
    row.truncate(HistoryFile::kShownRowChars);
    row += u'…';
  }
  return row;
}

// The rows of the last whole lines of `data`, newest first, at most `count`. `cutAtStart`: the
// first line began before `data`. `suspect` is set when the lines are not all rows or the last
// one is unfinished; no rows are returned when one is not a row.
QStringList RowsFromEnd(QByteArrayView data, bool cutAtStart, qsizetype count, bool& suspect) {
  QStringList rows;
  qsizetype end = data.size();
  if (end > 0 && data.back() != '\n') {
    suspect = true;  // a write under way, or cut short by a crash: checked by the writer
    end = data.lastIndexOf('\n') + 1;
  }
  for (qsizetype lineEnd = end - 1; rows.size() < count && lineEnd >= 0;) {
    const qsizetype lineStart = lineEnd == 0 ? 0 : data.lastIndexOf('\n', lineEnd - 1) + 1;
    const QByteArrayView line = data.sliced(lineStart, lineEnd - lineStart);
    const bool partial = cutAtStart && lineStart == 0;
    QString row;
    if (partial ? !UnescapeEnd(line, row) : !HistoryFile::UnescapeLine(line, row)) {
      suspect = true;
      return {};
    }
    rows.append(Shown(std::move(row), partial));
    lineEnd = lineStart - 1;
  }
  return rows;
}

}  // namespace

QString HistoryFile::DefaultFolder() {
  return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

HistoryFile::HistoryFile(QString folder)
    : writer_(std::make_shared<HistoryWriter>(std::move(folder))) {
  if (writer_->folder().isEmpty()) {
    writer_->StopKeeping(
        QStringLiteral("no data folder; the history is neither restored nor "
                       "kept"));
  }
}

HistoryFile::~HistoryFile() {
  writer_->Close(kCloseWaitMs);
}

QString HistoryFile::path() const {
  return writer_->path();
}

bool HistoryFile::persistent() const {
  return writer_->persistent();
}

void HistoryFile::setReporter(std::function<void(const QString&)> reporter) {
  writer_->setReporter(std::move(reporter));
}

void HistoryFile::setBeforeReplaceHook(std::function<void()> hook) {
  writer_->setBeforeReplaceHook(std::move(hook));
}

QByteArray HistoryFile::EscapeRow(const QString& row) {
  QString escaped;
  escaped.reserve(row.size());
  for (const QChar c : row) {
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
  return escaped.toUtf8();
}

bool HistoryFile::UnescapeLine(QByteArrayView line, QString& row) {
  return line.contains('=') && Unescape(line, row);
}

QStringList HistoryFile::Restore(qsizetype count) {
  if (!persistent()) {
    return {};
  }
  const QString folder = writer_->folder();
  QString error;
  if (!HistoryWriter::MakeFolder(folder, &error)) {
    writer_->StopKeeping(
        QStringLiteral("cannot create the folder %1 (%2); this session's rows are not kept in %3")
            .arg(folder, error, path()));
    return {};
  }
  // A folder that cannot be written is found out now rather than at the first commit.
  if (!QFileInfo(folder).isWritable()) {
    writer_->StopKeeping(QStringLiteral("cannot write in %1; this session's rows are not kept "
                                        "in %2")
                             .arg(folder, path()));
  }
  if (persistent() && !writer_->OrphanJournals().isEmpty()) {
    // Rows that a killed calculator had shown are taken in before the newest are read.
    writer_->Check();
    writer_->Flush(kRecoverWaitMs);
  }
  return count > 0 ? ReadNewest(count) : QStringList();
}

QStringList HistoryFile::ReadNewest(qsizetype count) {
  const int fd = ::open(QFile::encodeName(path()).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0 && errno == ENOENT) {
    return {};
  }
  struct stat info {};
  QByteArray data;
  bool read = fd >= 0 && ::fstat(fd, &info) == 0;
  const QString notFile = QStringLiteral("not a regular file");
  QString error = read ? notFile : SystemError();
  read = read && S_ISREG(info.st_mode);
  // One byte more than the bytes restored tells whether they begin at the start of a line.
  const qint64 start = std::max<qint64>(0, info.st_size - kRestoreBytes - 1);
  if (read) {
    data.resize(info.st_size - start);
    const ssize_t got = ::pread(fd, data.data(), static_cast<size_t>(data.size()), start);
    read = got >= 0;
    error = SystemError();
    data.resize(std::max<ssize_t>(got, 0));
  }
  if (fd >= 0) {
    ::close(fd);
  }
  if (!read) {
    writer_->StopKeeping(QStringLiteral("cannot read %1 (%2); history is neither restored nor kept")
                             .arg(path(), error));
    return {};
  }
  bool cutAtStart = false;
  if (start > 0) {
    cutAtStart = !data.startsWith('\n');
    data.remove(0, 1);
  }
  bool suspect = false;
  QStringList rows = RowsFromEnd(data, cutAtStart, count, suspect);
  if (suspect) {
    // The writer reads the whole file under the lock and deals with what it finds there.
    writer_->Check();
  }
  return rows;
}

void HistoryFile::Append(const QString& row) {
  if (!persistent()) {
    return;
  }
  if (!row.contains(u'=')) {
    writer_->Report(
        QStringLiteral("not kept in %1, not a row (no \"=\"): %2").arg(path(), row.left(80)));
    return;
  }
  QByteArray line = EscapeRow(row);
  line += '\n';
  writer_->Append(line);
}

bool HistoryFile::Clear() {
  if (!persistent()) {
    return false;
  }
  writer_->Clear();
  return true;
}

bool HistoryFile::Flush(int timeoutMs) {
  return writer_->Flush(timeoutMs);
}

}  // namespace vesko
