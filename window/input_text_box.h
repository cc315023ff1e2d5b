#pragma once

#include "engine/input_text.h"

#include <QPlainTextEdit>
#include <QSet>
#include <QString>
#include <QTimer>

#include <functional>
#include <optional>

namespace vesko {

// The input box: a multi-line text box that tells the window when Enter asks for a commit (the
// Enter itself inserts nothing) and when a key was released. It is the input the calculation
// controller reads, giving the length of its text and the text's first characters without
// copying a huge text on every key.
//
// Keys of its own: Enter and the keypad's Enter (also with Shift) ask for a commit, Ctrl+Enter
// inserts a line break, Alt+Enter does nothing; Esc clears the text as one undoable edit; Up on
// the first line and Down on the last line ask for the previous or next recalled expression.
class InputTextBox : public QPlainTextEdit, public InputText {
 public:
  // `releasesAreReal`: the X server leaves out the releases of a held key, so every release
  // that arrives is a real one.
  InputTextBox(QWidget* parent, bool releasesAreReal);

  std::function<void()> onCommitRequested;
  std::function<void()> onKeyReleased;
  // Up on the first line (`older` true) or Down on the last line: returns whether it replaced the
  // text; when it did not, the key moves the caret as usual.
  std::function<bool(bool older)> onRecall;

  // Replaces the whole text with `text` as one undoable edit, the caret at its end.
  void ReplaceText(const QString& text);

  // The text as toPlainText() gives it.
  QString text() const override;
  // The number of characters in the text, as toPlainText() would give them.
  qsizetype textLength() const override;
  // The first `length` characters of the text, as toPlainText() would give them. The last start
  // read is kept until an edit reaches it: typing at the end of a huge text reads nothing.
  QString textStart(qsizetype length) const override;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;

 private:
  struct Release {
    int key;
    quint64 timestamp;
  };

  // Handles the keys of its own; false for every other key.
  bool HandleOwnKey(QKeyEvent* event);
  bool Recall(QKeyEvent* event);
  void FlushHeldBackRelease();
  void ReportRelease();

  const bool releasesAreReal_;
  // Scan codes of the keys that are down, to tell a held key's repeated press from a new press.
  QSet<quint32> heldKeys_;
  std::optional<Release> heldBack_;
  QTimer releaseTimer_;

  mutable QString start_;
  mutable qsizetype startLength_ = -1;
};

}  // namespace vesko
