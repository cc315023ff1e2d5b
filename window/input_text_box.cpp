#include "window/input_text_box.h"

#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace vesko {

namespace {

// Return and the keypad's Enter.
bool IsEnterKey(int key) {
  return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// The modifiers that change what a key does; the keypad's own flag does not.
Qt::KeyboardModifiers ChordModifiers(const QKeyEvent* event) {
  return event->modifiers() &
         (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
}

// Where the X server cannot be asked to leave out the releases of a held key, a release of
// Return from the keyboard waits this long for a repeated press with the same time stamp, which
// unmasks it as part of a held key: a held Return must commit once.
constexpr int kRepeatCheckMs = 30;

}  // namespace

InputTextBox::InputTextBox(QWidget* parent, bool releasesAreReal)
    : QPlainTextEdit(parent), releasesAreReal_(releasesAreReal) {
  releaseTimer_.setSingleShot(true);
  releaseTimer_.setInterval(kRepeatCheckMs);
  releaseTimer_.callOnTimeout([this] { FlushHeldBackRelease(); });
  connect(document(), &QTextDocument::contentsChange, this, [this](int from) {
    if (from <= start_.size()) {
      startLength_ = -1;
    }
  });
}

// A held key gives several presses and one release. Each repeated press types one more
// character, and its value shows as it would for a typed key; a held Return is swallowed on
// every press and commits once, on its release.
void InputTextBox::keyPressEvent(QKeyEvent* event) {
  if (heldBack_.has_value()) {
    if (heldBack_->key == event->key() && heldBack_->timestamp == event->timestamp()) {
      // The release just before was the first half of a repeat: the key is still held.
      heldBack_.reset();
      releaseTimer_.stop();
    } else {
      FlushHeldBackRelease();
    }
  }
  const quint32 scanCode = event->nativeScanCode();
  const bool repeat = event->isAutoRepeat() || (scanCode != 0 && heldKeys_.contains(scanCode));
  if (scanCode != 0) {
    heldKeys_.insert(scanCode);
  }
  if (HandleOwnKey(event)) {
    event->accept();
    return;
  }
  QPlainTextEdit::keyPressEvent(event);
  if (repeat) {
    ReportRelease();
  }
}

// Every real release runs at once. On X11 the window asks the server for repeated presses
// without releases in between (EnableDetectableAutoRepeat), so every release is real. Where a
// server still sends such releases, Qt marks one as auto-repeat when its press has already
// arrived, and it is dropped; a release of Return that Qt could not tell apart is held back for
// a moment instead.
void InputTextBox::keyReleaseEvent(QKeyEvent* event) {
  QPlainTextEdit::keyReleaseEvent(event);
  if (event->isAutoRepeat()) {
    return;
  }
  FlushHeldBackRelease();
  heldKeys_.remove(event->nativeScanCode());
  const Release release{event->key(), event->timestamp()};
  if (!releasesAreReal_ && IsEnterKey(release.key) && event->nativeScanCode() != 0) {
    heldBack_ = release;
    releaseTimer_.start();
    return;
  }
  ReportRelease();
}

bool InputTextBox::HandleOwnKey(QKeyEvent* event) {
  const Qt::KeyboardModifiers chord = ChordModifiers(event);
  if (IsEnterKey(event->key())) {
    // Only the Enter key's own character commits (also with Shift): Ctrl+Enter types a line
    // break, Alt+Enter types nothing.
    if (chord.testFlag(Qt::ControlModifier)) {
      textCursor().insertText(QStringLiteral("\n"));
      ensureCursorVisible();
    } else if (!chord.testFlag(Qt::AltModifier) && onCommitRequested) {
      onCommitRequested();
    }
    return true;
  }
  if (event->key() == Qt::Key_Escape && chord == Qt::NoModifier) {
    ReplaceText(QString());
    return true;
  }
  if ((event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) && chord == Qt::NoModifier) {
    return Recall(event);
  }
  return false;
}

bool InputTextBox::Recall(QKeyEvent* event) {
  const bool older = event->key() == Qt::Key_Up;
  // On the first line the caret cannot go up, on the last it cannot go down.
  QTextCursor probe = textCursor();
  probe.clearSelection();
  const bool atEdge = !probe.movePosition(older ? QTextCursor::Up : QTextCursor::Down);
  return atEdge && onRecall && onRecall(older);
}

void InputTextBox::ReplaceText(const QString& text) {
  QTextCursor cursor(document());
  cursor.beginEditBlock();
  cursor.select(QTextCursor::Document);
  cursor.insertText(text);
  cursor.endEditBlock();
  setTextCursor(cursor);
  ensureCursorVisible();
}

void InputTextBox::focusOutEvent(QFocusEvent* event) {
  // Keys released while the focus is elsewhere never report their release here.
  heldKeys_.clear();
  QPlainTextEdit::focusOutEvent(event);
}

// Text from an input method (Chinese, Japanese, ... input) is committed without any key release
// reaching the box; the commit is handled like a key release once the text is in, so that such
// input shows live as well. Composition alone (pre-edit text) runs nothing.
void InputTextBox::inputMethodEvent(QInputMethodEvent* event) {
  FlushHeldBackRelease();
  const bool commits = !event->commitString().isEmpty();
  QPlainTextEdit::inputMethodEvent(event);
  if (commits) {
    ReportRelease();
  }
}

void InputTextBox::FlushHeldBackRelease() {
  if (!heldBack_.has_value()) {
    return;
  }
  heldBack_.reset();
  releaseTimer_.stop();
  ReportRelease();
}

void InputTextBox::ReportRelease() {
  if (onKeyReleased) {
    onKeyReleased();
  }
}

QString InputTextBox::text() const {
  return toPlainText();
}

qsizetype InputTextBox::textLength() const {
  // Reading the whole text of a huge input box costs milliseconds on every key.
  return document()->characterCount() - 1;
}

QString InputTextBox::textStart(qsizetype length) const {
  if (length == startLength_) {
    return start_;
  }
  QTextCursor cursor(document());
  cursor.setPosition(static_cast<int>(std::min(length, textLength())), QTextCursor::KeepAnchor);
  // A selection marks line ends as paragraph separators; the whole text shows them as line feeds
  // and no-break spaces as spaces.
  QString text = cursor.selectedText();
  for (QChar& c : text) {
    switch (c.unicode()) {
      case QChar::ParagraphSeparator:
      case QChar::LineSeparator:
      case 0xFDD0:  // beginning of a frame
      case 0xFDD1:  // end of a frame
        c = u'\n';
        break;
      case QChar::Nbsp:
        c = u' ';
        break;
      default:
        break;
    }
  }
  start_ = text;
  startLength_ = length;
  return text;
}

}  // namespace vesko
