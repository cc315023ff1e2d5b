#pragma once

#include <QObject>
#include <QPoint>

#include <memory>
#include <optional>

class QMenu;

namespace vesko {

class CalculationController;
class HistoryBoxEditor;
class HistoryFile;
class HistoryTextBox;
class InputTextBox;
class RowReuse;

// The committed rows kept across runs, as the window shows them: on creation (at the end of the
// start-up sequence) the newest rows of earlier runs go below the two start examples, newest
// first; from then on every committed row is appended to the history file. The history box's
// context menu offers, for the row under the pointer, "插入结果", "插入算式", "复制结果",
// "复制算式" and "删除此行", which removes the row from the box and the file at once, and then
// "清除历史记录", which after a confirmation removes the committed rows from the box and the file;
// the live row stays. Without a file nothing is restored or kept, and removing and clearing change
// the box alone.
class KeptHistory : public QObject {
 public:
  // How many rows of earlier runs are shown at start.
  static constexpr qsizetype kRestoredRows = 1000;

  KeptHistory(CalculationController& controller, InputTextBox* input, HistoryTextBox* historyBox,
              HistoryBoxEditor* editor, HistoryFile* file, QObject* parent);
  ~KeptHistory() override;

  // The history box's own context menu with the row entries for the row at `position` (of the
  // box's viewport; none without a position) and "清除历史记录" added.
  std::unique_ptr<QMenu> CreateMenu(std::optional<QPoint> position = std::nullopt);
  // Asks for a confirmation, then clears.
  void ClearHistory();
  // Removes one committed row from the box and the file.
  void RemoveRow(qsizetype row);

  RowReuse& reuse() { return *reuse_; }

 private:
  void AddRowEntries(QMenu& menu, qsizetype row);

  CalculationController& controller_;
  HistoryTextBox* historyBox_;
  HistoryFile* file_;
  RowReuse* reuse_;  // a child object
};

}  // namespace vesko
