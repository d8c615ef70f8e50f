// The places where the player meets the clock and where a test may watch a
// text fade: the tick source of the scheduler and a hook called with the
// strength of each fade frame. Production leaves them at their defaults.
#pragma once

#include <cstdint>

struct PlayerSeams {
  uint32_t (*tickCount)();          // milliseconds of a 32-bit counter; GetTickCount
  void (*fadeFrame)(int percent);   // after each blend frame of a text fade; may be null
  // Arms the play timer of a window (SetTimer): the timer's id, 0 when it failed.
  uintptr_t (*setTimer)(void *window, uintptr_t id, uint32_t milliseconds);
};

extern PlayerSeams PlayerSeam;
