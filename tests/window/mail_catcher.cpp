#include "tests/window/mail_catcher.h"

#include <QDesktopServices>

namespace vesko::test {

MailCatcher::MailCatcher() {
  QDesktopServices::setUrlHandler(QStringLiteral("mailto"), this, "openMail");
}

MailCatcher::~MailCatcher() {
  QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
}

void MailCatcher::openMail(const QUrl& url) {
  urls.append(url);
}

}  // namespace vesko::test
