#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QString>
#include <QTimer>

namespace vesko::test {

// Once the next modal dialog is up, clicks its button labelled `label` (or, when it has none,
// closes it) and notes the dialog's text in `shownText`.
inline void AnswerNextMessageBox(const QString& label, QString* shownText) {
  QTimer::singleShot(0, [label, shownText] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) {
      return;
    }
    *shownText = box->text();
    for (QAbstractButton* button : box->buttons()) {
      if (button->text() == label) {
        button->click();
        return;
      }
    }
    box->reject();
  });
}

}  // namespace vesko::test
