#include "window/pane_cycling.h"

#include "window/status_bar.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTextCursor>

namespace vesko {
namespace {

bool IsPaneKey(const QKeyEvent& key) {
  const auto modifiers = key.modifiers() & ~Qt::KeypadModifier;
  return key.key() == Qt::Key_F6 && (modifiers == Qt::NoModifier || modifiers == Qt::ShiftModifier);
}

}  // namespace

PaneCycling::PaneCycling(QWidget* inputBox, QPlainTextEdit* historyBox, StatusBar* statusBar,
                         QObject* parent)
    : QObject(parent), inputBox_(inputBox), historyBox_(historyBox), statusBar_(statusBar) {
  inputBox_->installEventFilter(this);
  // Rows inserted above the caret move it down while the focus is elsewhere.
  connect(historyBox_, &QPlainTextEdit::cursorPositionChanged, this, [this] {
    if (!historyBox_->hasFocus()) {
      KeepCaretOnLiveRow();
    }
  });
  historyBox_->installEventFilter(this);
  statusBar_->installEventFilter(this);
}

bool PaneCycling::IsBox(const QObject* object) const {
  return object == inputBox_ || object == historyBox_;
}

bool PaneCycling::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusOut && watched == historyBox_) {
    const auto reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
      KeepCaretOnLiveRow();
    }
    return false;
  }
  // F6 is taken before the text boxes, which would otherwise ignore it. (A shortcut override is
  // accepted so that no shortcut of the window takes the key first.)
  if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride) {
    return false;
  }
  auto* key = static_cast<QKeyEvent*>(event);
  const bool back = watched == statusBar_ && (IsPaneKey(*key) || key->key() == Qt::Key_Escape);
  const bool forth = IsBox(watched) && IsPaneKey(*key);
  if (!back && !forth) {
    return false;
  }
  key->accept();
  if (event->type() == QEvent::ShortcutOverride) {
    return false;
  }
  if (forth) {
    ToStatusBar(static_cast<QWidget*>(watched));
  } else {
    BackToBox();
  }
  return true;
}

void PaneCycling::KeepCaretOnLiveRow() {
  // Left for the status bar, the history box keeps its place for the way back.
  if (statusBar_->hasFocus() || historyBox_->textCursor().position() == 0) {
    return;
  }
  // Moved while the box has no focus: moving it as the focus arrives would make a screen reader
  // take the move for the focus change and announce neither.
  historyBox_->moveCursor(QTextCursor::Start);
}

void PaneCycling::ToStatusBar(QWidget* box) {
  cameFrom_ = box;
  // The bar takes no focus from Tab or a click; only this key gives it the focus.
  statusBar_->setFocus(Qt::OtherFocusReason);
}

void PaneCycling::BackToBox() {
  QWidget* box = cameFrom_ ? cameFrom_.data() : inputBox_;
  // Back in the history box the caret stays where it was.
  box->setFocus(Qt::ShortcutFocusReason);
}

}  // namespace vesko
