#pragma once

#include <QStringList>

#include <optional>

namespace vesko {

class StatusBar;

// Tells a screen reader the outcome of every commit, which lands in the history box while the
// focus stays in the input box: the committed row, or the error row of a failed commit. The
// live value is not announced (it changes on every key); it is the history box's first line.
class CommitAnnouncer {
 public:
  explicit CommitAnnouncer(StatusBar& bar) : bar_(bar) {}

  // Enter asked for a commit; `rows` are the rows before the calculation run that makes it.
  void CommitRequested(const QStringList& rows);
  // A calculation run has finished with `rows`. After a requested commit the row it made is
  // announced: the committed row below the fresh live row, or else the top row, which then holds
  // the error row (or what a blank input shows).
  void RunFinished(const QStringList& rows);

 private:
  StatusBar& bar_;
  std::optional<qsizetype> rowsAtRequest_;
};

}  // namespace vesko
