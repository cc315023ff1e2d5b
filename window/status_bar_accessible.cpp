#include "window/status_bar_accessible.h"

#include "window/status_bar.h"

#include <QAccessibleWidget>
#include <QPointer>

#include <array>

namespace vesko {
namespace {

// One panel of the bar. It has no object of its own: the bar's interface owns it.
class StatusPanelAccessible : public QAccessibleInterface {
 public:
  StatusPanelAccessible(StatusBar* bar, StatusPanel panel) : bar_(bar), panel_(panel) {}

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
    if (!bar_) {
      return {};
    }
    switch (kind) {
      case QAccessible::Name:
        return panel_ == StatusPanel::kCredit ? QStringLiteral("设计者与反馈邮件")
                                              : QStringLiteral("时间");
      case QAccessible::Description:
        return panel_ == StatusPanel::kCredit
                   ? QStringLiteral("单击状态栏，用邮件程序给作者写改进建议")
                   : QStringLiteral("当前时间，每秒更新");
      case QAccessible::Value:
        return bar_->panelText(panel_);
      default:
        return {};
    }
  }
  void setText(QAccessible::Text /*kind*/, const QString& /*text*/) override {}

  QRect rect() const override {
    if (!bar_) {
      return {};
    }
    const QRect local = bar_->panelRect(panel_);
    return QRect(bar_->mapToGlobal(local.topLeft()), local.size());
  }
  // The credit panel is announced as the link it is; the clock is read as text, although a click
  // on it opens the same mail.
  QAccessible::Role role() const override {
    return panel_ == StatusPanel::kCredit ? QAccessible::Link : QAccessible::StaticText;
  }
  QAccessible::State state() const override {
    QAccessible::State state;
    state.invisible = !bar_ || !bar_->isVisible();
    state.readOnly = true;
    return state;
  }

 private:
  QPointer<StatusBar> bar_;
  StatusPanel panel_;
};

// The bar itself, with the two panels as its children.
class StatusBarAccessible : public QAccessibleWidget {
 public:
  explicit StatusBarAccessible(StatusBar* bar)
      : QAccessibleWidget(bar, QAccessible::StatusBar, QStringLiteral("状态栏")) {}
  ~StatusBarAccessible() override {
    for (const QAccessible::Id id : panelIds_) {
      if (id != 0) {
        QAccessible::deleteAccessibleInterface(id);
      }
    }
  }

  int childCount() const override { return 2; }
  QAccessibleInterface* child(int index) const override {
    if (index < 0 || index >= 2) {
      return nullptr;
    }
    if (panelIds_[index] == 0) {
      panelIds_[index] = QAccessible::registerAccessibleInterface(
          new StatusPanelAccessible(static_cast<StatusBar*>(widget()), kStatusPanels[index]));
    }
    return QAccessible::accessibleInterface(panelIds_[index]);
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    for (int index = 0; index < 2; ++index) {
      if (panelIds_[index] != 0 && QAccessible::accessibleInterface(panelIds_[index]) == child) {
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

 private:
  mutable std::array<QAccessible::Id, 2> panelIds_ = {0, 0};
};

}  // namespace

QAccessibleInterface* StatusBarAccessibleFactory(const QString& /*className*/, QObject* object) {
  if (auto* bar = qobject_cast<StatusBar*>(object)) {
    return new StatusBarAccessible(bar);
  }
  return nullptr;
}

}  // namespace vesko
