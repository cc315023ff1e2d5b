#include "engine/history_file.h"

#include "engine/history_writer.h"

#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringDecoder>

#include <algorithm>
#include <cerrno>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vesko {

namespace {

// How long closing waits for another calculator's lock, and a start for the rows a killed one
// left in its journal.
constexpr int kCloseWaitMs = 3000;
constexpr int kRecoverWaitMs = 2000;

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

// The end of a line whose start lies before the bytes read: from the first place at which a
// character and an escape begin for certain.
bool UnescapeEnd(QByteArrayView part, QString& row) {
  KeptRow kept;
  part = part.last(std::min<qsizetype>(part.size(), 4 * HistoryFile::kShownRowChars));
  qsizetype from = 1;
  while (from < part.size() &&
         (part[from - 1] == '\\' || (static_cast<unsigned char>(part[from]) & 0xC0) == 0x80)) {
    ++from;
  }
  if (!HistoryFile::UnescapeLine(part.sliced(std::min(from, part.size())), kept, false)) {
    return false;
  }
  row = kept.text;
  return true;
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
// one is unfinished; no rows are returned when one is not a row. A row shortened for the box, or
// cut at its start, is offered whole: its split and literal are not known from what is shown.
QList<KeptRow> RowsFromEnd(QByteArrayView data, bool cutAtStart, qsizetype count, bool& suspect) {
  QList<KeptRow> rows;
  qsizetype end = data.size();
  if (end > 0 && data.back() != '\n') {
    suspect = true;  // a write under way, or cut short by a crash: checked by the writer
    end = data.lastIndexOf('\n') + 1;
  }
  for (qsizetype lineEnd = end - 1; rows.size() < count && lineEnd >= 0;) {
    const qsizetype lineStart = lineEnd == 0 ? 0 : data.lastIndexOf('\n', lineEnd - 1) + 1;
    const QByteArrayView line = data.sliced(lineStart, lineEnd - lineStart);
    const bool partial = cutAtStart && lineStart == 0;
    KeptRow row;
    if (partial ? !UnescapeEnd(line, row.text) : !HistoryFile::UnescapeLine(line, row)) {
      suspect = true;
      return {};
    }
    if (partial || row.text.size() > HistoryFile::kShownRowChars) {
      row = KeptRow{Shown(std::move(row.text), partial), -1, {}, false};
    }
    rows.append(std::move(row));
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
  if (!UnescapeLine(line, kept, true)) {
    return false;
  }
  row = kept.text;
  return true;
}

bool HistoryFile::UnescapeLine(QByteArrayView line, KeptRow& row, bool wholeRow) {
  if (wholeRow && !line.contains('=')) {
    return false;  // a row always holds an "=" ("expression=result")
  }
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

QStringList HistoryFile::Restore(qsizetype count) {
  QStringList texts;
  for (const KeptRow& row : RestoreRows(count)) {
    texts.append(row.text);
  }
  return texts;
}

QList<KeptRow> HistoryFile::RestoreRows(qsizetype count) {
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
  return count > 0 ? ReadNewest(count) : QList<KeptRow>();
}

QList<KeptRow> HistoryFile::ReadNewest(qsizetype count) {
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
  QList<KeptRow> rows = RowsFromEnd(data, cutAtStart, count, suspect);
  if (suspect) {
    // The writer reads the whole file under the lock and deals with what it finds there.
    writer_->Check();
  }
  return rows;
}

void HistoryFile::Append(const QString& row) {
  Append(KeptRow{row, -1, {}, false});
}

void HistoryFile::Append(const KeptRow& row) {
  if (!persistent()) {
    return;
  }
  if (!row.text.contains(u'=')) {
    writer_->Report(
        QStringLiteral("not kept in %1, not a row (no \"=\"): %2").arg(path(), row.text.left(80)));
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

bool HistoryFile::Remove(const QString& text, qsizetype newer) {
  if (!persistent()) {
    return false;
  }
  // Done on the worker after the rows committed before it, so that `newer` counts them.
  writer_->Remove(text, newer);
  return writer_->Flush(kCloseWaitMs) && writer_->removed();
}

bool HistoryFile::Flush(int timeoutMs) {
  return writer_->Flush(timeoutMs);
}

}  // namespace vesko
