// The bands of VELLUX, without any drawing: the span (a power of two) that
// the passes divide, and the bands of every pass that lie inside the area,
// clipped to it. Pass c has c bands of span / c pixels, for c = 4, 8, ...
// while c < span. Portable.
#pragma once

#include <cstdint>

// The smallest power of two >= length (1 for length <= 1); 0 when the
// window's client is empty in that direction (clientLength <= 0), which
// draws no band at all.
int64_t BandSpan(int32_t length, int32_t clientLength);

struct BandPlan {
  int64_t span;     // S
  int32_t length;   // width (columns) or height (rows) of the area
  int64_t count;    // bands of the current pass
  int64_t step;     // span / count: the width of a band
  int64_t next;     // index of the next band in the pass
};

void StartBandPlan(BandPlan *plan, int64_t span, int32_t length);
// The next band inside the area: its position from the area's edge and its
// size, clipped to the area. 0 when every pass is done.
int NextBand(BandPlan *plan, int32_t *position, int32_t *size);
