#pragma once

#include <QObject>
#include <QPointer>

class QPlainTextEdit;
class QWidget;

namespace vesko {

class StatusBar;

// Moves the keyboard focus between the window's panes. F6 (or Shift+F6) in the input box or the
// history box moves it to the status bar's credit; F6, Shift+F6 or Esc there moves it back to the
// box it came from. Tab still moves between the two boxes alone. Whenever the history box has
// no focus its caret waits on the first line, so that Tab into it makes a screen reader read the
// live row first; only F6 to the status bar and back keeps its place.
class PaneCycling : public QObject {
 public:
  PaneCycling(QWidget* inputBox, QPlainTextEdit* historyBox, StatusBar* statusBar, QObject* parent);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool IsBox(const QObject* object) const;
  void KeepCaretOnLiveRow();
  void ToStatusBar(QWidget* box);
  void BackToBox();

  QWidget* inputBox_;
  QPlainTextEdit* historyBox_;
  StatusBar* statusBar_;
  QPointer<QWidget> cameFrom_;
};

}  // namespace vesko
