#pragma once

#include <QByteArray>
#include <QDate>
#include <QLocale>
#include <QString>
#include <QUrl>

namespace vesko {

// The feedback address shown in the credit panel and used by the mail link. Set at build time
// through the CMake cache variable FEEDBACK_EMAIL.
QString FeedbackAddress();

// The feedback mail text behind "mailto:", before any escaping: the address, "?", the
// subject, the body lines with their literal "%0d%0a" line breaks, seven spaces and `date` in
// the locale's short date format.
QString ComposeFeedbackMail(const QString& address, QDate date, const QLocale& locale);

// "mailto:" + `text` in percent-encoded UTF-8. Spaces, non-ASCII characters and characters that
// may not appear in a URL are encoded; an existing escape ('%' and two hex digits, such as the
// "%0d%0a" line breaks) is kept as it is, and any other '%' becomes "%25".
QByteArray EncodeFeedbackMail(const QString& text);

// The URL handed to the desktop for `text`.
QUrl FeedbackMailUrl(const QString& text);

}  // namespace vesko
