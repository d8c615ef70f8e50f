// Limits that every effect applies to the values it is given. The speed and
// parameter words of a page come from the show file, so they are untrusted:
// no value may turn into an endless sleep, a negative allocation or a frame
// count that keeps the window thread busy for hours.
#pragma once

#include <cstdint>

enum { WAIT_MIN = 0, WAIT_MAX = 101 };

// The speed value clamped into the range the parameter dialogs produce.
inline int32_t ClampWait(int32_t wait) { return wait < WAIT_MIN ? WAIT_MIN : wait > WAIT_MAX ? WAIT_MAX : wait; }

inline int32_t ClampInt(int32_t value, int32_t low, int32_t high) {
  return value < low ? low : value > high ? high : value;
}

// Cells of `side` pixels needed to cover `length` pixels (side > 0).
inline int32_t CellsFor(int32_t length, int32_t side) {
  return length <= 0 ? 0 : static_cast<int32_t>((static_cast<int64_t>(length) + side - 1) / side);
}
