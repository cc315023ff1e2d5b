#include "engine/history_check.h"

#include <cstddef>
#include <cstring>

namespace vesko {

bool HistoryCheck::Fail(const QString& what) {
  why_ = QStringLiteral("line %1 %2").arg(lines_ + 1).arg(what);
  return false;
}

bool HistoryCheck::Feed(QByteArrayView bytes) {
  if (failed()) {
    return false;
  }
  // The decoder keeps an unfinished character from one block to the next; a line feed never
  // occurs inside a UTF-8 sequence, so a line ending inside a character is caught too. It is
  // given each line as it ends, so that a fault is put down to the right line.
  qsizetype undecoded = 0;
  const auto decodes = [&](qsizetype end) {
    const QByteArrayView line = bytes.sliced(undecoded, end - undecoded);
    // The text itself is not needed: one buffer serves every line.
    if (decoded_.size() < static_cast<std::size_t>(line.size())) {
      decoded_.resize(static_cast<std::size_t>(line.size()));
    }
    decoder_.appendToBuffer(decoded_.data(), line);
    undecoded = end;
    return !decoder_.hasError() || Fail(QStringLiteral("is not UTF-8 text"));
  };
  for (qsizetype i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (escaped_) {
      escaped_ = false;
      if (c == '\0' || std::strchr("\\nr0=|", c) == nullptr) {
        return Fail(QStringLiteral("holds a backslash that starts no escape"));
      }
      // A row with more than one "=" writes the one that ends its expression as \=.
      hasEquals_ = hasEquals_ || c == '=';
      continue;
    }
    switch (c) {
      case '\\':
        escaped_ = true;
        break;
      case '=':
        hasEquals_ = true;
        break;
      case '\r':
        return Fail(QStringLiteral("holds a carriage return"));
      case '\0':
        return Fail(QStringLiteral("holds a NUL byte"));
      case '\n':
        if (!decodes(i + 1)) {
          return false;
        }
        if (!hasEquals_) {
          return Fail(QStringLiteral("holds no row (no \"=\")"));
        }
        hasEquals_ = false;
        ++lines_;
        wholeBytes_ = fed_ + i + 1;
        break;
      default:
        break;
    }
  }
  if (!decodes(bytes.size())) {
    return false;
  }
  fed_ += bytes.size();
  return true;
}

}  // namespace vesko
