// The clock wipe of diffuse without any drawing: the sector fills that copy
// the new picture's pixels into the working picture, and the plan of frames
// (which fill runs, which quarter of the working picture is shown) for both
// directions. Portable; the effect itself draws the frames.
#pragma once

#include <cstdint>

// The pictures of one sweep: 24-bit pixel rows stored bottom-up (as in a
// Dib), both width x height with the same stride. Pixel (j, r) is column j of
// row r counted from the bottom, so r > cy is the upper half of the screen.
struct ClockPictures {
  unsigned char *work;          // starts as the old screen, receives the new picture
  const unsigned char *fresh;   // the new picture
  int32_t width, height;
  uint32_t stride;
  int32_t cx, cy;               // width div 2, height div 2
};

// The slope of a ray scaled by 1024 and truncated toward zero; a ray whose
// end lies on or beyond the centre line (divisor 0 or less) lies exactly
// along that line (a ratio beyond any pixel's, or 0).
int64_t ClockRayRatio(int64_t numerator, int64_t divisor);

// Fills the sector between a fixed ray through the centre and the point
// (x0, y0) and a moving ray ending at b on the top (c > cy) or bottom
// (c < cy) edge; clockwise 1 copies pixels whose ratio lies from the moving
// ray up to the fixed one, 0 the other way round.
void SectorH(const ClockPictures *pictures, int32_t x0, int32_t y0, int32_t b, int32_t c, int clockwise);
// The same against the left (b < cx) or right (b > cx) edge, the moving ray
// ending at height c.
void SectorV(const ClockPictures *pictures, int32_t x0, int32_t y0, int32_t b, int32_t c, int clockwise);

enum { CLOCK_SECTOR_H = 1, CLOCK_SECTOR_V = 2 };

// One frame: a sector fill, then a rectangle of the working picture shown 1:1
// (top-down coordinates relative to the destination; width 0 shows nothing).
struct ClockFrame {
  int phase;                    // 1..5, 6 for the closing frame
  int kind;                     // CLOCK_SECTOR_H or CLOCK_SECTOR_V
  int32_t x0, y0, b, c;
  int clockwise;
  int32_t x, y, width, height;
};

// Where a sweep stands between frames.
struct ClockSweep {
  int32_t width, height, cx, cy;
  int32_t step;                 // pixels of border per frame
  int counterClockwise;
  int phase;                    // 1..5, 6 = closing frame due, 7 = done
  int32_t pos;                  // the running border coordinate of the phase
  int32_t v;                    // the last boundary a frame recorded
  int32_t g, h, l;              // start values of phases 2, 3 and 4
  int reachedCentre;            // the fifth phase ended exactly at twelve o'clock
};

// The step along the border for a speed value: 101 - wait, at least 1.
int32_t ClockStep(int32_t wait);
// Prepares a sweep of a width x height rectangle; 0 for sizes it cannot
// handle (empty or above CLOCK_MAX_SIDE).
enum { CLOCK_MAX_SIDE = 1 << 24 };
int StartClockSweep(ClockSweep *sweep, int32_t width, int32_t height, int32_t step, int counterClockwise);
// The next frame; 0 when the sweep is over.
int NextClockFrame(ClockSweep *sweep, ClockFrame *frame);
// Runs a frame's sector fill on the pictures.
void FillClockSector(const ClockPictures *pictures, const ClockFrame *frame);
