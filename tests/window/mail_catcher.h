#pragma once

#include <QList>
#include <QObject>
#include <QUrl>

namespace vesko::test {

// Stands in for the desktop's mail program: while it lives, every mailto link handed to the
// desktop is kept here instead of opening a mail window.
class MailCatcher : public QObject {
  Q_OBJECT

 public:
  MailCatcher();
  ~MailCatcher() override;
  MailCatcher(const MailCatcher&) = delete;
  MailCatcher& operator=(const MailCatcher&) = delete;

  QList<QUrl> urls;

 public slots:
  void openMail(const QUrl& url);
};

}  // namespace vesko::test
