// The first second of a full-screen show: every queued message of the thread
// is swallowed, so that the key or mouse movement that was still going on when
// the saver started neither ends the show nor reaches the player.
#pragma once

#include <cstdint>

enum { SETTLE_MS = 1000 };

// Removes the thread's messages one by one (without dispatching them) until
// `milliseconds` have passed by `tickCount` (GetTickCount when null). A
// WM_QUIT ends the wait early and is posted again.
void SettleInput(uint32_t milliseconds, uint32_t (*tickCount)());
