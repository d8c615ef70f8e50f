// The clock sweep row by row, for drawing: each frame's sector fill copies
// only what its sector adds in each row, and each frame shows only the parts
// of its rectangle that changed since they were last shown. The working
// picture and the screen end every frame exactly as with the whole fills of
// clock_sweep.h and the whole rectangles, at a cost that follows the swept
// area instead of the picture's area times the frame count. Portable.
//
// Why the result is the same: within a row a sector is one run of columns
// (the ratio a pixel is tested by is monotonic along a row), so a fill is one
// run per row; copying a pixel again changes nothing, so only the part of a
// run that the same phase's last fill did not cover is copied. A pixel of the
// rectangle that did not change since it was last shown (or since the start,
// when the working picture held the screen's own pixels) already shows the
// working picture's value, so drawing it again changes nothing either.
#pragma once

#include <cstdint>

#include "transitions/diffuse/clock_sweep.h"

// Rows of changed pixels are shown in bands of at most this many rows; a
// band ends early when it would draw more unchanged pixels than this (about
// the cost of one more draw) and than half its changed ones.
enum { SWEEP_BAND_ROWS = 32, SWEEP_BAND_SLACK = 256 };

struct SweepRows {
  int32_t height;
  int32_t centreColumn;  // width div 2
  // The fill the `filled` runs belong to: a new phase starts over.
  int phase, kind, clockwise;
  int32_t x0, y0;
  int32_t *filledFirst, *filledEnd;    // per row (bottom-up): columns the last fill copied
  // Per row, left of the centre column and from it on (index 2 x row + side):
  // columns holding every pixel changed and not yet shown.
  int32_t *changedFirst, *changedEnd;
  int centreFilled;
};

// Room for a picture of width x height; 0 when the memory cannot be had.
int SweepRowsStart(SweepRows *rows, int32_t width, int32_t height);
void SweepRowsEnd(SweepRows *rows);
// The frame's sector fill (FillClockSector), copying only what is new.
void FillClockSectorRows(const ClockPictures *pictures, const ClockFrame *frame, SweepRows *rows);
// Shows the frame's rectangle (top-down, relative to the picture, inside it):
// calls show(context, x, y, width, height) for each band of rows that holds
// changed pixels, covering all of them; they then count as shown.
typedef void (*ShowBand)(void *context, int32_t x, int32_t y, int32_t width, int32_t height);
void ShowChangedBands(SweepRows *rows, int32_t x, int32_t y, int32_t width, int32_t height, ShowBand show,
                      void *context);
