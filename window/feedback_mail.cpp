#include "window/feedback_mail.h"

#include <QtGlobal>

#ifndef VESKO_FEEDBACK_EMAIL
#error \
    "VESKO_FEEDBACK_EMAIL is set by window/status_bar.cmake from the FEEDBACK_EMAIL cache variable"
#endif

namespace vesko {
namespace {

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Characters a mailto URL may carry as they are: RFC 3986 unreserved characters and the
// delimiters that give the URL its structure ("?", "&", "=", ":" and "@" among them).
bool IsKeptAsIs(char c) {
  if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
    return true;
  }
  static constexpr char kKept[] = "-._~!$&'()*+,;=:@/?";
  for (const char k : kKept) {
    if (k != '\0' && c == k) {
      return true;
    }
  }
  return false;
}

}  // namespace

QString FeedbackAddress() {
  return QStringLiteral(VESKO_FEEDBACK_EMAIL);
}

QString ComposeFeedbackMail(const QString& address, QDate date, const QLocale& locale) {
  // The address goes first without any space before it: some mail programs fail to read an
  // address that starts with an escaped space.
  QString text = address + QStringLiteral("?");
  text += QStringLiteral("subject=致: Vesko 计算器作者");
  text += QStringLiteral("&body=计算器作者,%0d%0a");
  text += QStringLiteral("你好%0d%0a");
  text += QStringLiteral("   我有以下改进建议：%0d%0a");
  text += QStringLiteral("   1.%0d%0a");
  text += QStringLiteral("   2.%0d%0a");
  text += QStringLiteral("   %0d%0a");
  text += QStringLiteral("       ");
  text += locale.toString(date, QLocale::ShortFormat);
  return text;
}

QByteArray EncodeFeedbackMail(const QString& text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  const QByteArray utf8 = text.toUtf8();
  QByteArray encoded("mailto:");
  encoded.reserve(encoded.size() + utf8.size() * 3);
  for (qsizetype i = 0; i < utf8.size(); ++i) {
    const char c = utf8[i];
    if (c == '%' && i + 2 < utf8.size() && IsHexDigit(utf8[i + 1]) && IsHexDigit(utf8[i + 2])) {
      encoded += utf8.mid(i, 3);
      i += 2;
    } else if (IsKeptAsIs(c)) {
      encoded += c;
    } else {
      const auto byte = static_cast<unsigned char>(c);
      encoded += '%';
      encoded += kHex[byte >> 4];
      encoded += kHex[byte & 0x0F];
    }
  }
  return encoded;
}

QUrl FeedbackMailUrl(const QString& text) {
  return QUrl::fromEncoded(EncodeFeedbackMail(text), QUrl::StrictMode);
}

}  // namespace vesko
