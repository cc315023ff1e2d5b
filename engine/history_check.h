#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>

#include <vector>

namespace vesko {

// Reads a history file's bytes a block at a time, from the start of a line, and tells whether
// they are lines the calculator writes: UTF-8 text in which every line holds one row (an "="
// somewhere in it), with no carriage return and no NUL, and a backslash only as the start of
// \\, \n, \r or \0. Memory stays the same whatever the length of a line.
class HistoryCheck {
 public:
  // Checks the next bytes. False once the bytes read so far are not history lines; the bytes
  // after the last line feed need only be the start of a line.
  bool Feed(QByteArrayView bytes);

  bool failed() const { return !why_.isEmpty(); }
  // Why the bytes are not history lines, naming the line; empty while they are.
  QString why() const { return why_; }
  // The bytes fed up to and including the last line feed, and how many lines they hold.
  qint64 wholeBytes() const { return wholeBytes_; }
  qsizetype lines() const { return lines_; }

 private:
  bool Fail(const QString& what);

  QStringDecoder decoder_{QStringDecoder::Utf8};
  std::vector<QChar> decoded_;
  qint64 fed_ = 0;
  qint64 wholeBytes_ = 0;
  qsizetype lines_ = 0;
  bool escaped_ = false;  // the byte before was a backslash starting an escape
  bool hasEquals_ = false;
  QString why_;
};

}  // namespace vesko
