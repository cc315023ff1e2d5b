#include "window/commit_announcer.h"

#include "window/status_bar.h"

namespace vesko {

void CommitAnnouncer::CommitRequested(const QStringList& rows) {
  // A held Enter asks again on every repeat, before any run.
  if (!rowsAtRequest_.has_value()) {
    rowsAtRequest_ = rows.size();
  }
}

void CommitAnnouncer::RunFinished(const QStringList& rows) {
  if (!rowsAtRequest_.has_value() || rows.isEmpty()) {
    return;
  }
  // A commit inserts a row below the live row; anything else rewrote the top row in place.
  const bool inserted = rows.size() > *rowsAtRequest_ && rows.size() > 1;
  rowsAtRequest_.reset();
  bar_.Announce(inserted ? rows.at(1) : rows.at(0));
}

}  // namespace vesko
