#include "editor/undo_history.h"

#include "editor/page_copy.h"

namespace {
void DropOldest(UndoHistory *history) {
  ShowDocument &oldest = history->past.front();
  history->bytes -= ShowCopyBytes(&oldest);
  FreeShowCopy(&oldest);
  history->past.pop_front();
}

void DropAll(std::deque<ShowDocument> *states, size_t *bytes) {
  for (ShowDocument &state : *states) {
    *bytes -= ShowCopyBytes(&state);
    FreeShowCopy(&state);
  }
  states->clear();
}

void Trim(UndoHistory *history) {
  while (!history->past.empty() &&
         (history->past.size() + history->future.size() > history->levelLimit || history->bytes > history->byteLimit))
    DropOldest(history);
}

// Moves the live show into a kept state and the kept state into the show.
// The live show's previews go with it; the restored one has none.
int Exchange(UndoHistory *history, std::deque<ShowDocument> *from, std::deque<ShowDocument> *to, bool fromBack,
             ShowDocument *show) {
  if (from->empty()) return 0;
  ShowDocument present = {};
  if (!CopyShow(&present, show)) return 0;
  ShowDocument restored = fromBack ? from->back() : from->front();
  if (fromBack) from->pop_back();
  else from->pop_front();
  history->bytes -= ShowCopyBytes(&restored);
  history->bytes += ShowCopyBytes(&present);
  if (fromBack) to->push_front(present);
  else to->push_back(present);
  FreeShowCopy(show);
  *show = restored;
  Trim(history);
  return 1;
}
}  // namespace

void StartHistory(UndoHistory *history, size_t levelLimit, size_t byteLimit) {
  ClearHistory(history);
  history->levelLimit = levelLimit < 1 ? 1 : levelLimit;
  history->byteLimit = byteLimit;
}

void ClearHistory(UndoHistory *history) {
  DropAll(&history->past, &history->bytes);
  DropAll(&history->future, &history->bytes);
  history->bytes = 0;
}

int RecordBeforeChange(UndoHistory *history, const ShowDocument *show) {
  DropAll(&history->future, &history->bytes);
  size_t size = ShowCopyBytes(show);
  if (size > history->byteLimit) {
    DropAll(&history->past, &history->bytes);
    return 1;
  }
  ShowDocument copy = {};
  if (!CopyShow(&copy, show)) return 0;
  history->past.push_back(copy);
  history->bytes += size;
  Trim(history);
  return 1;
}

int CanUndo(const UndoHistory *history) { return !history->past.empty(); }
int CanRedo(const UndoHistory *history) { return !history->future.empty(); }

int UndoChange(UndoHistory *history, ShowDocument *show) {
  return Exchange(history, &history->past, &history->future, true, show);
}

int RedoChange(UndoHistory *history, ShowDocument *show) {
  return Exchange(history, &history->future, &history->past, false, show);
}
