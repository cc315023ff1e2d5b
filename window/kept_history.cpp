#include "window/kept_history.h"

#include "engine/calculation_controller.h"
#include "engine/history_file.h"
#include "window/history_text_box.h"
#include "window/row_reuse.h"

#include <QMenu>
#include <QMessageBox>
#include <QPushButton>

namespace vesko {

namespace {
const QString kClearHistoryText = QStringLiteral("清除历史记录");
}  // namespace

KeptHistory::KeptHistory(CalculationController& controller, InputTextBox* input,
                         HistoryTextBox* historyBox, HistoryBoxEditor* editor, HistoryFile* file,
                         QObject* parent)
    : QObject(parent),
      controller_(controller),
      historyBox_(historyBox),
      file_(file),
      reuse_(new RowReuse(controller, input, historyBox, editor, this)) {
  historyBox_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(historyBox_, &QWidget::customContextMenuRequested, this, [this](const QPoint& position) {
    // A scroll area reports the position in its viewport.
    CreateMenu(position)->exec(historyBox_->viewport()->mapToGlobal(position));
  });
  if (file_ == nullptr) {
    return;
  }
  const QList<KeptRow> rows = file_->RestoreRows(kRestoredRows);
  if (!rows.isEmpty()) {
    controller_.AppendRows(rows);
    controller_.RenderHistory();
  }
  // Listening starts only now: the two start examples are not committed rows.
  controller_.setCommitListener([this](const KeptRow& row) { file_->Append(row); });
}

KeptHistory::~KeptHistory() = default;

std::unique_ptr<QMenu> KeptHistory::CreateMenu(std::optional<QPoint> position) {
  std::unique_ptr<QMenu> menu(historyBox_->createStandardContextMenu());
  menu->addSeparator();
  AddRowEntries(*menu, position.has_value() ? reuse_->RowAt(*position) : -1);
  menu->addSeparator();
  menu->addAction(kClearHistoryText, this, &KeptHistory::ClearHistory);
  return menu;
}

void KeptHistory::AddRowEntries(QMenu& menu, qsizetype row) {
  // What each entry does is fixed when the menu opens; an entry with nothing to do is greyed.
  const QString literal = reuse_->ResultLiteral(row);
  const QString result = reuse_->ResultText(row);
  const QString expression = reuse_->Expression(row);
  const auto add = [&menu](const QString& text, bool enabled, auto action) {
    menu.addAction(text, action)->setEnabled(enabled);
  };
  add(QStringLiteral("插入结果"), !literal.isEmpty(), [this, literal] { reuse_->Insert(literal); });
  add(QStringLiteral("插入算式"), !expression.isEmpty(),
      [this, expression] { reuse_->Insert(expression); });
  add(QStringLiteral("复制结果"), !result.isEmpty(), [result] { RowReuse::Copy(result); });
  add(QStringLiteral("复制算式"), !expression.isEmpty(),
      [expression] { RowReuse::Copy(expression); });
  const bool removable = row > 0 &&
                         controller_.kind(row) != CalculationController::RowKind::kLive &&
                         controller_.kind(row) != CalculationController::RowKind::kError;
  add(QStringLiteral("删除此行"), removable, [this, row] { RemoveRow(row); });
}

void KeptHistory::RemoveRow(qsizetype row) {
  if (row <= 0 || row >= controller_.rows().size()) {
    return;
  }
  const bool kept = controller_.kind(row) == CalculationController::RowKind::kCommitted;
  const QString text = controller_.rows()[row];
  const qsizetype newer = controller_.CommittedRowsAbove(row);
  controller_.RemoveRow(row);
  controller_.RenderHistory();
  if (kept && file_ != nullptr) {
    file_->Remove(text, newer);
  }
}

void KeptHistory::ClearHistory() {
  // Without a history file nothing is saved, and the question does not speak of it.
  const QString question = file_ != nullptr && file_->persistent()
                               ? QStringLiteral("清除全部历史记录？保存的记录也会删除，无法恢复。")
                               : QStringLiteral("清除全部历史记录？无法恢复。");
  QMessageBox box(QMessageBox::Question, kClearHistoryText, question, QMessageBox::NoButton,
                  historyBox_->window());
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
