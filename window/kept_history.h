#pragma once

#include <QObject>

#include <memory>

class QMenu;
class QPlainTextEdit;

namespace vesko {

class CalculationController;
class HistoryFile;

// The committed rows kept across runs, as the window shows them: on creation (at the end of the
// start-up sequence) the newest rows of earlier runs go below the two start examples, newest
// first; from then on every committed row is appended to the history file. The history box's
// context menu gains "清除历史记录", which after a confirmation removes the committed rows from
// the box and the file; the live row stays. Without a file nothing is restored or kept, and
// clearing clears the box alone.
class KeptHistory : public QObject {
 public:
  // How many rows of earlier runs are shown at start.
  static constexpr qsizetype kRestoredRows = 1000;

  KeptHistory(CalculationController& controller, QPlainTextEdit* historyBox, HistoryFile* file,
              QObject* parent);

  // The history box's own context menu with "清除历史记录" added.
  std::unique_ptr<QMenu> CreateMenu();
  // Asks for a confirmation, then clears.
  void ClearHistory();

 private:
  CalculationController& controller_;
  QPlainTextEdit* historyBox_;
  HistoryFile* file_;
};

}  // namespace vesko
