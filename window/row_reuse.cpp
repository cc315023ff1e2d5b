#include "window/row_reuse.h"

#include "engine/calculation_controller.h"
#include "window/history_box_editor.h"
#include "window/history_text_box.h"
#include "window/input_text_box.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeySequence>
#include <QMimeData>
#include <QShortcut>
#include <QTextCursor>

namespace vesko {

using RowKind = CalculationController::RowKind;

RowReuse::RowReuse(CalculationController& controller, InputTextBox* input, HistoryTextBox* history,
                   HistoryBoxEditor* editor, QObject* parent)
    : QObject(parent), controller_(controller), input_(input), history_(history), editor_(editor) {
  history_->onLineDoubleClicked = [this](int line) {
    if (!editor_->showsRows()) {
      controller_.RenderHistory();  // the lines are rows again
    }
    InsertForDoubleClick(HistoryBoxEditor::RowOfLine(controller_.rows(), line));
  };
  auto* copyResult =
      new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C), input_->window());
  copyResult->setContext(Qt::WindowShortcut);
  connect(copyResult, &QShortcut::activated, this, &RowReuse::CopyNewestResult);
}

qsizetype RowReuse::RowAt(QPoint position) {
  if (!editor_->showsRows()) {
    controller_.RenderHistory();
  }
  return HistoryBoxEditor::RowOfLine(controller_.rows(),
                                     history_->cursorForPosition(position).blockNumber());
}

QString RowReuse::ResultLiteral(qsizetype row) {
  if (row < 0) {
    return {};
  }
  return controller_.ResultLiteralOf(row).value_or(QString());
}

QString RowReuse::ResultText(qsizetype row) const {
  if (row < 0) {
    return {};
  }
  if (controller_.kind(row) == RowKind::kLive) {
    return controller_.rows()[row];
  }
  const KeptRow kept = controller_.keptRow(row);
  return controller_.kind(row) == RowKind::kError ? QString() : kept.result();
}

QString RowReuse::Expression(qsizetype row) const {
  if (row < 0) {
    return {};
  }
  return controller_.ExpressionOf(row).value_or(QString());
}

void RowReuse::Insert(const QString& text) {
  if (text.isEmpty()) {
    return;
  }
  QTextCursor cursor = input_->textCursor();
  cursor.insertText(text);
  input_->setTextCursor(cursor);
  input_->setFocus(Qt::OtherFocusReason);
  controller_.UpdateFromInput();
}

void RowReuse::Copy(const QString& text) {
  auto* data = new QMimeData;
  data->setText(text);
  QGuiApplication::clipboard()->setMimeData(data);
}

void RowReuse::InsertForDoubleClick(qsizetype row) {
  if (row < 0) {
    return;
  }
  const std::optional<QString> result = controller_.ResultLiteralOf(row);
  Insert(result.has_value() ? *result : Expression(row));
}

void RowReuse::CopyNewestResult() {
  const QStringList& rows = controller_.rows();
  for (qsizetype row = 1; row < rows.size(); ++row) {
    if (controller_.kind(row) == RowKind::kCommitted && controller_.keptRow(row).split()) {
      Copy(controller_.keptRow(row).result());
      return;
    }
  }
}

}  // namespace vesko
