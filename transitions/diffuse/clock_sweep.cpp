// The clock wipe's sector fills and frame plan (see clock_sweep.h).
#include "transitions/diffuse/clock_sweep.h"

#include <cstring>

namespace {
// Larger than any ratio a pixel can have (|1024 * side| < 2^35).
constexpr int64_t RAY_INFINITE = INT64_C(1) << 40;

inline void CopyPixel(const ClockPictures *p, int32_t j, int32_t r) {
  const size_t at = static_cast<size_t>(r) * p->stride + static_cast<size_t>(j) * 3;
  p->work[at] = p->fresh[at];
  p->work[at + 1] = p->fresh[at + 1];
  p->work[at + 2] = p->fresh[at + 2];
}

inline bool Between(int64_t low, int64_t value, int64_t high) { return low <= value && value <= high; }

// The remainder of a value taken as unsigned, as the start values use it.
inline int32_t UnsignedMod(int32_t value, int32_t step) {
  return static_cast<int32_t>(static_cast<uint32_t>(value) % static_cast<uint32_t>(step));
}
}  // namespace

int64_t ClockRayRatio(int64_t numerator, int64_t divisor) {
  if (divisor > 0) return numerator * 1024 / divisor;
  return numerator > 0 ? RAY_INFINITE : numerator < 0 ? -RAY_INFINITE : 0;
}

void SectorH(const ClockPictures *p, int32_t x0, int32_t y0, int32_t b, int32_t c, int clockwise) {
  const int32_t cx = p->cx, cy = p->cy;
  if (c == cy) return;
  const int64_t fixed = ClockRayRatio(static_cast<int64_t>(cx) - x0, static_cast<int64_t>(cy) - y0);
  const int64_t moving = ClockRayRatio(static_cast<int64_t>(cx) - b, cy);
  const bool upper = c > cy;
  // Upper half: rows above the centre; lower half: rows below it.
  const int32_t firstRow = upper ? cy + 1 : 0, endRow = upper ? p->height : (cy < p->height ? cy : p->height);
  // Clockwise fills keep the columns from x0 rightwards, the other way from x0 leftwards.
  int32_t firstCol = 0, endCol = p->width;
  if (clockwise) firstCol = x0 < 0 ? 0 : x0;
  else endCol = x0 < 0 ? 0 : (x0 >= p->width ? p->width : x0 + 1);
  for (int32_t r = firstRow; r < endRow; ++r) {
    const int64_t dy = upper ? r - cy : cy - r;
    for (int32_t j = firstCol; j < endCol; ++j) {
      const int64_t o = (static_cast<int64_t>(cx) - j) * 1024 / dy;
      if (clockwise ? Between(moving, o, fixed) : Between(fixed, o, moving)) CopyPixel(p, j, r);
    }
  }
}

void SectorV(const ClockPictures *p, int32_t x0, int32_t y0, int32_t b, int32_t c, int clockwise) {
  const int32_t cx = p->cx, cy = p->cy;
  if (b == cx) return;
  const int64_t fixed = ClockRayRatio(static_cast<int64_t>(y0) - cy, static_cast<int64_t>(cx) - x0);
  const int64_t moving = ClockRayRatio(static_cast<int64_t>(c) - cy, cx);
  const bool right = b > cx;
  const int32_t firstCol = right ? cx + 1 : 0, endCol = right ? p->width : (cx < p->width ? cx : p->width);
  // Clockwise fills keep the rows up to y0, the other way the rows from y0 up.
  int32_t firstRow = 0, endRow = p->height;
  if (clockwise) endRow = y0 < 0 ? 0 : (y0 >= p->height ? p->height : y0 + 1);
  else firstRow = y0 < 0 ? 0 : y0;
  for (int32_t r = firstRow; r < endRow; ++r) {
    const int64_t dy = static_cast<int64_t>(r) - cy;
    for (int32_t j = firstCol; j < endCol; ++j) {
      // (cy - r) / (cx - j) on the right equals (r - cy) / (j - cx).
      const int64_t o = dy * 1024 / (right ? static_cast<int64_t>(j) - cx : static_cast<int64_t>(cx) - j);
      if (clockwise ? Between(moving, o, fixed) : Between(fixed, o, moving)) CopyPixel(p, j, r);
    }
  }
}

int32_t ClockStep(int32_t wait) {
  int32_t w = wait < 0 ? 0 : wait > 100 ? 100 : wait;
  return 101 - w;
}

int StartClockSweep(ClockSweep *s, int32_t width, int32_t height, int32_t step, int counterClockwise) {
  memset(s, 0, sizeof *s);
  if (width <= 0 || height <= 0 || width > CLOCK_MAX_SIDE || height > CLOCK_MAX_SIDE) return 0;
  s->width = width;
  s->height = height;
  s->cx = width / 2;
  s->cy = height / 2;
  // Each phase must start inside its own edge and its fixed ray must lie in
  // its own half: a step of at least the half width or height would skip
  // whole sectors, so small rectangles sweep with a smaller step.
  const int32_t half = s->cx < s->cy ? s->cx : s->cy;
  const int32_t largest = half > 1 ? half - 1 : 1;
  s->step = step < 1 ? 1 : step > largest ? largest : step;
  s->counterClockwise = counterClockwise ? 1 : 0;
  s->phase = 1;
  s->pos = s->cx;
  return 1;
}

namespace {
void SetRect(ClockFrame *f, int32_t x, int32_t y, int32_t w, int32_t h) {
  f->x = x;
  f->y = y;
  f->width = w;
  f->height = h;
}

void SetFill(ClockFrame *f, int kind, int32_t x0, int32_t y0, int32_t b, int32_t c, int clockwise) {
  f->kind = kind;
  f->x0 = x0;
  f->y0 = y0;
  f->b = b;
  f->c = c;
  f->clockwise = clockwise;
}

// Whether the running coordinate is still inside the current phase.
bool InPhase(const ClockSweep *s) {
  const int32_t W = s->width, H = s->height, p = s->pos;
  if (!s->counterClockwise) {
    switch (s->phase) {
      case 1: return p <= W;
      case 2: return p >= 0;
      case 3: return p >= 0;
      case 4: return p <= H;
      case 5: return p <= s->cx;
    }
  } else {
    switch (s->phase) {
      case 1: return p >= 0;
      case 2: return p >= 0;
      case 3: return p <= W;
      case 4: return p <= H;
      case 5: return p >= s->cx;
    }
  }
  return false;
}

// Moves to the next phase and sets its start value.
void EnterPhase(ClockSweep *s) {
  const int32_t W = s->width, H = s->height, e = s->step;
  ++s->phase;
  if (!s->counterClockwise) {
    switch (s->phase) {
      case 2: s->v = H; s->pos = s->g = H - (e - UnsignedMod(W, e)); break;
      case 3: s->v = W; s->pos = s->h = W - (e - UnsignedMod(s->g, e)); break;
      case 4: s->v = 0; s->pos = s->l = e - UnsignedMod(s->h, e); break;
      case 5: s->v = 0; s->pos = e - UnsignedMod(H - s->l, e); break;
    }
  } else {
    switch (s->phase) {
      case 2: s->v = H; s->pos = s->g = H - (e - UnsignedMod(W, e)); break;
      case 3: s->v = 0; s->pos = s->h = e - UnsignedMod(s->g, e); break;
      case 4: s->v = 0; s->pos = s->l = e - UnsignedMod(W - s->h, e); break;
      case 5: s->v = 0; s->pos = W - (e - UnsignedMod(H - s->l, e)); break;
    }
  }
}

// The frame at the current coordinate of a clockwise sweep; advances it.
void ClockwiseFrame(ClockSweep *s, ClockFrame *f) {
  const int32_t W = s->width, H = s->height, cx = s->cx, cy = s->cy, e = s->step, p = s->pos;
  switch (s->phase) {
    case 1:  // top edge, centre to right
      SetFill(f, CLOCK_SECTOR_H, cx, 0, p, H, 1);
      if (p <= cx) SetRect(f, 0, 0, cx, cy), s->v = p;
      else SetRect(f, s->v, 0, W - s->v, cy);
      s->pos = p + e;
      break;
    case 2:  // right edge, top to bottom
      SetFill(f, CLOCK_SECTOR_V, e, H, W, p, 1);
      if (p >= cy) SetRect(f, cx, 0, W - cx, cy), s->v = p;
      else SetRect(f, cx, H - s->v, W - cx, s->v);
      s->pos = p - e;
      break;
    case 3:  // bottom edge, right to left
      SetFill(f, CLOCK_SECTOR_H, W, e, p, 0, 0);
      if (p >= cx) SetRect(f, cx, cy, W - cx, H - cy), s->v = p;
      else SetRect(f, 0, cy, s->v, H - cy);
      s->pos = p - e;
      break;
    case 4:  // left edge, bottom to top
      SetFill(f, CLOCK_SECTOR_V, e, 0, 0, p, 0);
      if (p <= cy) SetRect(f, 0, cy, cx, H - cy), s->v = p;
      else SetRect(f, 0, 0, cx, H - s->v);
      s->pos = p + e;
      break;
    case 5:  // top edge, left to centre
      SetFill(f, CLOCK_SECTOR_H, 0, e, p, H, 1);
      if (p <= cx) SetRect(f, 0, 0, cx, cy), s->v = p;
      else SetRect(f, s->v, 0, W - s->v, cy);
      if (p == cx) s->reachedCentre = 1;
      s->pos = p + e;
      break;
  }
}

void CounterClockwiseFrame(ClockSweep *s, ClockFrame *f) {
  const int32_t W = s->width, H = s->height, cx = s->cx, cy = s->cy, e = s->step, p = s->pos;
  switch (s->phase) {
    case 1:  // top edge, centre to left
      SetFill(f, CLOCK_SECTOR_H, cx, 0, p, H, 0);
      if (p <= cx) SetRect(f, 0, 0, cx, cy), s->v = p;
      else SetRect(f, 0, 0, 0, 0);
      s->pos = p - e;
      break;
    case 2:  // left edge, top to bottom
      SetFill(f, CLOCK_SECTOR_V, e, H, 0, p, 1);
      if (p >= cy) SetRect(f, 0, 0, cx, cy), s->v = p;
      else SetRect(f, 0, H - s->v, cx, s->v);
      s->pos = p - e;
      break;
    case 3:  // bottom edge, left to right
      SetFill(f, CLOCK_SECTOR_H, 0, e, p, 0, 1);
      if (p <= cx) SetRect(f, 0, cy, cx, H - cy), s->v = p;
      else SetRect(f, s->v, cy, W - s->v, H - cy);
      s->pos = p + e;
      break;
    case 4:  // right edge, bottom to top
      SetFill(f, CLOCK_SECTOR_V, e, 0, W, p, 0);
      if (p <= cy) SetRect(f, cx, cy, W - cx, H - cy), s->v = p;
      else SetRect(f, cx, 0, W - cx, H - s->v);
      s->pos = p + e;
      break;
    case 5:  // top edge, right to centre
      SetFill(f, CLOCK_SECTOR_H, W, e, p, H, 0);
      if (p <= cx) SetRect(f, cx, 0, W - cx, cy), s->v = p, s->reachedCentre = 1;
      else SetRect(f, s->v, 0, W - s->v, cy);
      s->pos = p - e;
      break;
  }
}
}  // namespace

int NextClockFrame(ClockSweep *s, ClockFrame *f) {
  while (s->phase >= 1 && s->phase <= 5 && !InPhase(s)) {
    if (s->phase == 5 && !s->reachedCentre) {
      s->pos = s->cx;  // close the sweep exactly at twelve o'clock
      break;
    }
    if (s->phase == 5) s->phase = 7;
    else EnterPhase(s);
  }
  if (s->phase < 1 || s->phase > 5) return 0;
  memset(f, 0, sizeof *f);
  f->phase = s->phase;
  if (s->counterClockwise) CounterClockwiseFrame(s, f);
  else ClockwiseFrame(s, f);
  return 1;
}

void FillClockSector(const ClockPictures *pictures, const ClockFrame *f) {
  // The centre lies on every ray but in neither half that the fills test.
  if (pictures->cx < pictures->width && pictures->cy < pictures->height) CopyPixel(pictures, pictures->cx, pictures->cy);
  if (f->kind == CLOCK_SECTOR_H) SectorH(pictures, f->x0, f->y0, f->b, f->c, f->clockwise);
  else if (f->kind == CLOCK_SECTOR_V) SectorV(pictures, f->x0, f->y0, f->b, f->c, f->clockwise);
}
