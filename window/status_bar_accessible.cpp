#include "window/status_bar_accessible.h"

#include "window/status_bar.h"

#include <QAccessibleWidget>
#include <QFontMetrics>
#include <QPointer>
#include <QTextBoundaryFinder>

#include <array>

namespace vesko {
namespace {

// The parts of the bar that assistive technology sees as the bar's children, in child order.
enum class BarPart { kCredit, kClock, kAnnouncement };
constexpr int kBarParts = 3;

// The piece of a one-line `text` around `offset` that `boundary` delimits: a character, a word or
// a sentence; a line, a paragraph or no boundary give the whole text.
QString PieceAt(const QString& text, int offset, QAccessible::TextBoundaryType boundary, int* start,
                int* end) {
  *start = *end = -1;
  if (offset < 0 || offset > text.size()) {
    return {};
  }
  if (boundary == QAccessible::LineBoundary || boundary == QAccessible::ParagraphBoundary ||
      boundary == QAccessible::NoBoundary) {
    *start = 0;
    *end = static_cast<int>(text.size());
    return text;
  }
  if (offset == text.size()) {
    return {};
  }
  const auto kind = boundary == QAccessible::CharBoundary   ? QTextBoundaryFinder::Grapheme
                    : boundary == QAccessible::WordBoundary ? QTextBoundaryFinder::Word
                                                            : QTextBoundaryFinder::Sentence;
  QTextBoundaryFinder finder(kind, text);
  finder.setPosition(offset + 1);
  *start = static_cast<int>(finder.toPreviousBoundary());
  finder.setPosition(offset);
  *end = static_cast<int>(finder.toNextBoundary());
  return text.mid(*start, *end - *start);
}

// One panel of the bar, or its notification. None has an object of its own: the bar's interface
// owns them.
class BarPartAccessible : public QAccessibleInterface,
                          public QAccessibleTextInterface,
                          public QAccessibleActionInterface {
 public:
  BarPartAccessible(StatusBar* bar, BarPart part) : bar_(bar), part_(part) {}

  bool isValid() const override { return !bar_.isNull(); }
  QObject* object() const override { return nullptr; }
  QWindow* window() const override { return bar_ ? bar_->window()->windowHandle() : nullptr; }
  QAccessibleInterface* parent() const override {
    return QAccessible::queryAccessibleInterface(bar_.data());
  }
  QAccessibleInterface* child(int /*index*/) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface* /*child*/) const override { return -1; }
  QAccessibleInterface* childAt(int /*x*/, int /*y*/) const override { return nullptr; }

  QString text(QAccessible::Text kind) const override {
    switch (kind) {
      // A panel is named by what it shows, so that what is heard is what is seen.
      case QAccessible::Name:
      case QAccessible::Value:
        return Shown();
      case QAccessible::Description:
        return Description();
      case QAccessible::Accelerator:
        return part_ == BarPart::kCredit ? QStringLiteral("F6") : QString();
      default:
        return {};
    }
  }
  void setText(QAccessible::Text /*kind*/, const QString& /*text*/) override {}

  QRect rect() const override {
    if (!bar_) {
      return {};
    }
    const QRect local = part_ == BarPart::kAnnouncement ? bar_->rect() : bar_->panelRect(Panel());
    return QRect(bar_->mapToGlobal(local.topLeft()), local.size());
  }
  // The credit panel is announced as the link it is; the clock is read as text, although a click
  // on it opens the same mail.
  QAccessible::Role role() const override {
    switch (part_) {
      case BarPart::kCredit:
        return QAccessible::Link;
      case BarPart::kClock:
        return QAccessible::StaticText;
      case BarPart::kAnnouncement:
        return QAccessible::Notification;
    }
    return QAccessible::NoRole;
  }
  QAccessible::State state() const override {
    QAccessible::State state;
    // The notification is never drawn; it exists to be heard.
    state.invisible = !bar_ || !bar_->isVisible() || part_ == BarPart::kAnnouncement;
    state.readOnly = true;
    if (part_ == BarPart::kCredit) {
      state.focusable = true;
      state.focused = bar_ && bar_->hasFocus();
      state.linked = true;
    }
    return state;
  }

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::TextInterface) {
      return static_cast<QAccessibleTextInterface*>(this);
    }
    if (type == QAccessible::ActionInterface && part_ == BarPart::kCredit) {
      return static_cast<QAccessibleActionInterface*>(this);
    }
    return nullptr;
  }

  // The text: read-only, one line, never selected, with the caret at its start.
  void selection(int /*index*/, int* start, int* end) const override { *start = *end = 0; }
  int selectionCount() const override { return 0; }
  void addSelection(int /*start*/, int /*end*/) override {}
  void removeSelection(int /*index*/) override {}
  void setSelection(int /*index*/, int /*start*/, int /*end*/) override {}
  int cursorPosition() const override { return 0; }
  void setCursorPosition(int /*position*/) override {}
  QString text(int start, int end) const override { return Shown().mid(start, end - start); }
  QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundary, int* start,
                           int* end) const override {
    int at = 0;
    int atEnd = 0;
    PieceAt(Shown(), offset, boundary, &at, &atEnd);
    return at > 0 ? PieceAt(Shown(), at - 1, boundary, start, end) : Nothing(start, end);
  }
  QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundary, int* start,
                          int* end) const override {
    int at = 0;
    int atEnd = 0;
    PieceAt(Shown(), offset, boundary, &at, &atEnd);
    return atEnd >= 0 && atEnd < Shown().size() ? PieceAt(Shown(), atEnd, boundary, start, end)
                                                : Nothing(start, end);
  }
  QString textAtOffset(int offset, QAccessible::TextBoundaryType boundary, int* start,
                       int* end) const override {
    return PieceAt(Shown(), offset, boundary, start, end);
  }
  int characterCount() const override { return static_cast<int>(Shown().size()); }
  QRect characterRect(int offset) const override {
    if (!bar_ || part_ == BarPart::kAnnouncement || offset < 0 || offset >= Shown().size()) {
      return {};
    }
    // The panel's text starts a few pixels in and is centred vertically.
    const QFontMetrics metrics(bar_->font());
    const QRect area = rect();
    const int left = area.left() + 4 + metrics.horizontalAdvance(Shown().left(offset));
    return QRect(left, area.center().y() - metrics.height() / 2,
                 metrics.horizontalAdvance(Shown().at(offset)), metrics.height());
  }
  int offsetAtPoint(const QPoint& /*point*/) const override { return -1; }
  void scrollToSubstring(int /*start*/, int /*end*/) override {}
  QString attributes(int offset, int* start, int* end) const override {
    *start = *end = offset;
    return {};
  }

  // The credit's one action: press, which opens the feedback mail as a click does.
  QStringList actionNames() const override { return {pressAction()}; }
  QString localizedActionDescription(const QString& name) const override {
    return name == pressAction() ? QStringLiteral("打开反馈邮件") : QString();
  }
  void doAction(const QString& name) override {
    if (bar_ && name == pressAction()) {
      bar_->OnPanelClick(StatusPanel::kCredit);
    }
  }
  QStringList keyBindingsForAction(const QString& name) const override {
    return name == pressAction() ? QStringList{QStringLiteral("Return"), QStringLiteral("Space")}
                                 : QStringList{};
  }

 private:
  StatusPanel Panel() const {
    return part_ == BarPart::kClock ? StatusPanel::kClock : StatusPanel::kCredit;
  }
  QString Shown() const {
    if (!bar_) {
      return {};
    }
    return part_ == BarPart::kAnnouncement ? bar_->announcement() : bar_->panelText(Panel());
  }
  QString Description() const {
    switch (part_) {
      case BarPart::kCredit:
        return QStringLiteral("反馈邮件链接：单击，或按 F6 后按回车键，用邮件程序给作者写改进建议");
      case BarPart::kClock:
        return QStringLiteral("当前时间，每秒更新");
      case BarPart::kAnnouncement:
        // Read after every commit, a description would only lengthen what is heard.
        return {};
    }
    return {};
  }
  static QString Nothing(int* start, int* end) {
    *start = *end = -1;
    return {};
  }

  QPointer<StatusBar> bar_;
  BarPart part_;
};

// The bar itself, with the panels and the notification as its children.
class StatusBarAccessible : public QAccessibleWidget {
 public:
  explicit StatusBarAccessible(StatusBar* bar)
      : QAccessibleWidget(bar, QAccessible::StatusBar, QStringLiteral("状态栏")) {}
  ~StatusBarAccessible() override {
    for (const QAccessible::Id id : partIds_) {
      if (id != 0) {
        QAccessible::deleteAccessibleInterface(id);
      }
    }
  }

  int childCount() const override { return kBarParts; }
  QAccessibleInterface* child(int index) const override {
    if (index < 0 || index >= kBarParts) {
      return nullptr;
    }
    if (partIds_[index] == 0) {
      partIds_[index] = QAccessible::registerAccessibleInterface(
          new BarPartAccessible(static_cast<StatusBar*>(widget()), static_cast<BarPart>(index)));
    }
    return QAccessible::accessibleInterface(partIds_[index]);
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    for (int index = 0; index < kBarParts; ++index) {
      if (partIds_[index] != 0 && QAccessible::accessibleInterface(partIds_[index]) == child) {
        return index;
      }
    }
    return -1;
  }
  QAccessibleInterface* childAt(int x, int y) const override {
    const auto* bar = static_cast<const StatusBar*>(widget());
    const auto panel = bar->panelAt(bar->mapFromGlobal(QPoint(x, y)));
    return panel ? child(static_cast<int>(*panel)) : nullptr;
  }
  // With the keyboard focus on the bar, the credit panel has it.
  QAccessibleInterface* focusChild() const override {
    return widget()->hasFocus() ? child(static_cast<int>(BarPart::kCredit)) : nullptr;
  }

 private:
  mutable std::array<QAccessible::Id, kBarParts> partIds_ = {0, 0, 0};
};

QAccessibleInterface* PartOf(StatusBar& bar, BarPart part) {
  QAccessibleInterface* barInterface = QAccessible::queryAccessibleInterface(&bar);
  return barInterface ? barInterface->child(static_cast<int>(part)) : nullptr;
}

}  // namespace

QAccessibleInterface* StatusBarAccessibleFactory(const QString& /*className*/, QObject* object) {
  if (auto* bar = qobject_cast<StatusBar*>(object)) {
    return new StatusBarAccessible(bar);
  }
  return nullptr;
}

void AnnounceToAssistiveTechnology(StatusBar& bar) {
  // Without a screen reader listening nothing is sent.
  if (!QAccessible::isActive()) {
    return;
  }
  if (QAccessibleInterface* notification = PartOf(bar, BarPart::kAnnouncement)) {
    // Screen readers speak a notification when it is shown; its name is the announcement.
    QAccessibleEvent nameChanged(notification, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&nameChanged);
    QAccessibleEvent shown(notification, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
  }
}

void TellCreditFocused(StatusBar& bar) {
  if (!QAccessible::isActive()) {
    return;
  }
  if (QAccessibleInterface* credit = PartOf(bar, BarPart::kCredit)) {
    QAccessibleEvent focused(credit, QAccessible::Focus);
    QAccessible::updateAccessibility(&focused);
  }
}

}  // namespace vesko
