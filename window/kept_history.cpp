#include "window/kept_history.h"

#include "engine/calculation_controller.h"
#include "engine/history_file.h"

#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>

namespace vesko {

namespace {
const QString kClearHistoryText = QStringLiteral("清除历史记录");
}  // namespace

KeptHistory::KeptHistory(CalculationController& controller, QPlainTextEdit* historyBox,
                         HistoryFile* file, QObject* parent)
    : QObject(parent), controller_(controller), historyBox_(historyBox), file_(file) {
  historyBox_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(historyBox_, &QWidget::customContextMenuRequested, this, [this](const QPoint& position) {
    // A scroll area reports the position in its viewport.
    CreateMenu()->exec(historyBox_->viewport()->mapToGlobal(position));
  });
  if (file_ == nullptr) {
    return;
  }
  const QStringList rows = file_->Restore(kRestoredRows);
  if (!rows.isEmpty()) {
    controller_.AppendRows(rows);
    controller_.RenderHistory();
  }
  // Listening starts only now: the two start examples are not committed rows.
  controller_.setCommitListener([this](const QString& row) { file_->Append(row); });
}

std::unique_ptr<QMenu> KeptHistory::CreateMenu() {
  std::unique_ptr<QMenu> menu(historyBox_->createStandardContextMenu());
  menu->addSeparator();
  menu->addAction(kClearHistoryText, this, &KeptHistory::ClearHistory);
  return menu;
}

void KeptHistory::ClearHistory() {
  QMessageBox box(QMessageBox::Question, kClearHistoryText,
                  QStringLiteral("清除全部历史记录？保存的记录也会删除，无法恢复。"),
                  QMessageBox::NoButton, historyBox_->window());
  QPushButton* clear = box.addButton(QStringLiteral("清除"), QMessageBox::DestructiveRole);
  box.setDefaultButton(box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole));
  box.exec();
  if (box.clickedButton() != clear) {
    return;
  }
  controller_.ClearCommittedRows();
  controller_.RenderHistory();
  if (file_ != nullptr) {
    file_->Clear();
  }
}

}  // namespace vesko
