// Undo and redo as a bounded history of record snapshots (never pixels).
// Before each change the editor records the show as it is; undo puts the
// last recorded state back and keeps the present one for redo. The history
// holds at most a number of levels and a number of bytes: the oldest states
// go first when either limit is reached, so memory stays bounded whatever
// the show's size.
#pragma once

#include <cstddef>
#include <deque>

#include "show/show_document.h"

struct UndoHistory {
  std::deque<ShowDocument> past;    // oldest first
  std::deque<ShowDocument> future;  // next redo first
  size_t levelLimit;
  size_t byteLimit;
  size_t bytes;  // held by past and future together
};

constexpr size_t DEFAULT_UNDO_LEVELS = 100;
constexpr size_t DEFAULT_UNDO_BYTES = 64u << 20;

void StartHistory(UndoHistory *history, size_t levelLimit, size_t byteLimit);
// Forgets every state (a new show, or one opened).
void ClearHistory(UndoHistory *history);
// Records show as the state before a change and forgets what could be
// redone. 0 when the copy cannot be made (the change should then not be
// made either); a state larger than the whole byte limit is not kept, and
// the history then cannot go back past this change.
int RecordBeforeChange(UndoHistory *history, const ShowDocument *show);
int CanUndo(const UndoHistory *history);
int CanRedo(const UndoHistory *history);
// Exchanges show with the last recorded state (undo) or the next undone one
// (redo). 0 when there is none or memory runs out (show unchanged).
int UndoChange(UndoHistory *history, ShowDocument *show);
int RedoChange(UndoHistory *history, ShowDocument *show);
