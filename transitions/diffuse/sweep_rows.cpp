// The clock sweep row by row (see sweep_rows.h).
#include "transitions/diffuse/sweep_rows.h"

#include <cstring>

#include "shell/base/mem_block.h"

namespace {
// The ratio a pixel is tested by, along one row: numerator / denominator
// truncated toward zero, where one of the two moves with the column j.
struct RowRatio {
  bool alongNumerator;  // (base - j) * 1024 / fixed, else fixed * 1024 / (j - base) or (base - j)
  bool rightOfCentre;   // for the denominator form: j - base, else base - j
  int64_t base, fixed;
  bool narrow;          // every product fits 32 bits: the cheaper division gives the same result
};

inline int64_t RatioAt(const RowRatio &t, int32_t j) {
  int64_t numerator, divisor;
  if (t.alongNumerator) {
    numerator = (t.base - j) * 1024;
    divisor = t.fixed;
  } else {
    numerator = t.fixed * 1024;
    divisor = t.rightOfCentre ? j - t.base : t.base - j;
  }
  if (t.narrow) return static_cast<int32_t>(numerator) / static_cast<int32_t>(divisor);
  return numerator / divisor;
}

// The first column in [first, end) where `test` holds, end when none does;
// `test` must hold from some column on.
template <typename Test>
int32_t FirstWhere(int32_t first, int32_t end, Test test) {
  while (first < end) {
    const int32_t middle = first + (end - first) / 2;
    if (test(middle)) end = middle;
    else first = middle + 1;
  }
  return first;
}

// The run of columns in [first, end) whose ratio lies in [low, high]; the
// ratio is monotonic along the row (falling when `falling`).
void RunOfColumns(const RowRatio &t, bool falling, int32_t first, int32_t end, int64_t low, int64_t high,
                  int32_t *runFirst, int32_t *runEnd) {
  if (falling) {
    *runFirst = FirstWhere(first, end, [&](int32_t j) { return RatioAt(t, j) <= high; });
    *runEnd = FirstWhere(first, end, [&](int32_t j) { return RatioAt(t, j) < low; });
  } else {
    *runFirst = FirstWhere(first, end, [&](int32_t j) { return RatioAt(t, j) >= low; });
    *runEnd = FirstWhere(first, end, [&](int32_t j) { return RatioAt(t, j) > high; });
  }
}

inline bool Empty(int32_t first, int32_t end) { return first >= end; }


void Widen(int32_t &f, int32_t &e, int32_t first, int32_t end) {
  if (Empty(first, end)) return;
  if (Empty(f, e)) {
    f = first;
    e = end;
  } else {
    if (first < f) f = first;
    if (end > e) e = end;
  }
}

// Row r's changed columns are kept as two runs, left of the centre column
// and from it on: a run left unshown on one side (a frame's rectangle ends
// at the centre column) does not widen what the other side's frames draw.
void MarkChanged(SweepRows *rows, int32_t r, int32_t first, int32_t end) {
  const int32_t split = rows->centreColumn;
  Widen(rows->changedFirst[2 * r], rows->changedEnd[2 * r], first, end < split ? end : split);
  Widen(rows->changedFirst[2 * r + 1], rows->changedEnd[2 * r + 1], first > split ? first : split, end);
}

// Copies the new picture's pixels [first, end) of row r into the working
// picture; only the part from the first to the last pixel that differs
// changes, and only that counts as changed (an earlier phase may have
// copied the rest already).
void Copy(const ClockPictures *p, SweepRows *rows, int32_t r, int32_t first, int32_t end) {
  const size_t row = static_cast<size_t>(r) * p->stride;
  const unsigned char *from = p->fresh + row;
  unsigned char *to = p->work + row;
  auto same = [&](int32_t j) { return memcmp(from + 3 * static_cast<size_t>(j), to + 3 * static_cast<size_t>(j), 3) == 0; };
  while (first < end && same(first)) ++first;
  while (end > first && same(end - 1)) --end;
  if (Empty(first, end)) return;
  memcpy(to + 3 * static_cast<size_t>(first), from + 3 * static_cast<size_t>(first), static_cast<size_t>(end - first) * 3);
  MarkChanged(rows, r, first, end);
}

// Copies row r's new run [first, end) where the phase's last fill did not.
void FillRun(const ClockPictures *p, SweepRows *rows, int32_t r, int32_t first, int32_t end) {
  int32_t &doneFirst = rows->filledFirst[r], &doneEnd = rows->filledEnd[r];
  if (Empty(first, end)) {
    doneFirst = doneEnd = 0;
    return;
  }
  if (Empty(doneFirst, doneEnd) || end <= doneFirst || doneEnd <= first) {
    Copy(p, rows, r, first, end);
  } else {
    if (first < doneFirst) Copy(p, rows, r, first, doneFirst);
    if (doneEnd < end) Copy(p, rows, r, doneEnd, end);
  }
  doneFirst = first;
  doneEnd = end;
}

// Forgets the runs of another fill (the new phase's fill copies its whole
// first sector).
void StartFill(SweepRows *rows, const ClockFrame *f) {
  if (rows->phase == f->phase && rows->kind == f->kind && rows->clockwise == f->clockwise && rows->x0 == f->x0 &&
      rows->y0 == f->y0)
    return;
  rows->phase = f->phase;
  rows->kind = f->kind;
  rows->clockwise = f->clockwise;
  rows->x0 = f->x0;
  rows->y0 = f->y0;
  memset(rows->filledFirst, 0, static_cast<size_t>(rows->height) * sizeof(int32_t));
  memset(rows->filledEnd, 0, static_cast<size_t>(rows->height) * sizeof(int32_t));
}

// SectorH's pixels, row by row: above (c > cy) or below the centre row, the
// columns from x0 rightwards (clockwise) or up to x0.
void FillH(const ClockPictures *p, SweepRows *rows, const ClockFrame *f) {
  const int32_t cx = p->cx, cy = p->cy;
  if (f->c == cy) return;
  const int64_t fixed = ClockRayRatio(static_cast<int64_t>(cx) - f->x0, static_cast<int64_t>(cy) - f->y0);
  const int64_t moving = ClockRayRatio(static_cast<int64_t>(cx) - f->b, cy);
  const int64_t low = f->clockwise ? moving : fixed, high = f->clockwise ? fixed : moving;
  const bool upper = f->c > cy;
  const int32_t firstRow = upper ? cy + 1 : 0, endRow = upper ? p->height : (cy < p->height ? cy : p->height);
  int32_t firstCol = 0, endCol = p->width;
  if (f->clockwise) firstCol = f->x0 < 0 ? 0 : f->x0;
  else endCol = f->x0 < 0 ? 0 : (f->x0 >= p->width ? p->width : f->x0 + 1);
  RowRatio t = {true, false, cx, 0, p->width < (1 << 20) && p->height < (1 << 20)};
  for (int32_t r = firstRow; r < endRow; ++r) {
    t.fixed = upper ? r - cy : cy - r;  // the row's distance from the centre row, at least 1
    int32_t first = 0, end = 0;
    if (firstCol < endCol) RunOfColumns(t, true, firstCol, endCol, low, high, &first, &end);
    FillRun(p, rows, r, first, end);
  }
}

// SectorV's pixels, row by row: right (b > cx) or left of the centre column,
// the rows up to y0 (clockwise) or from y0 up.
void FillV(const ClockPictures *p, SweepRows *rows, const ClockFrame *f) {
  const int32_t cx = p->cx, cy = p->cy;
  if (f->b == cx) return;
  const int64_t fixed = ClockRayRatio(static_cast<int64_t>(f->y0) - cy, static_cast<int64_t>(cx) - f->x0);
  const int64_t moving = ClockRayRatio(static_cast<int64_t>(f->c) - cy, cx);
  const int64_t low = f->clockwise ? moving : fixed, high = f->clockwise ? fixed : moving;
  const bool right = f->b > cx;
  const int32_t firstCol = right ? cx + 1 : 0, endCol = right ? p->width : (cx < p->width ? cx : p->width);
  int32_t firstRow = 0, endRow = p->height;
  if (f->clockwise) endRow = f->y0 < 0 ? 0 : (f->y0 >= p->height ? p->height : f->y0 + 1);
  else firstRow = f->y0 < 0 ? 0 : f->y0;
  RowRatio t = {false, right, cx, 0, p->width < (1 << 20) && p->height < (1 << 20)};
  for (int32_t r = firstRow; r < endRow; ++r) {
    t.fixed = static_cast<int64_t>(r) - cy;
    // Right of the centre the divisor grows along the row, left of it it
    // shrinks: the ratio falls along the row when the two signs agree.
    const bool falling = t.fixed == 0 || (t.fixed > 0) == right;
    int32_t first = 0, end = 0;
    if (firstCol < endCol) RunOfColumns(t, falling, firstCol, endCol, low, high, &first, &end);
    FillRun(p, rows, r, first, end);
  }
}
}  // namespace

int SweepRowsStart(SweepRows *rows, int32_t width, int32_t height) {
  memset(rows, 0, sizeof *rows);
  if (width <= 0 || height <= 0) return 0;
  rows->height = height;
  rows->centreColumn = width / 2;
  const size_t bytes = static_cast<size_t>(height) * sizeof(int32_t);
  rows->filledFirst = static_cast<int32_t *>(MemAlloc(bytes));
  rows->filledEnd = static_cast<int32_t *>(MemAlloc(bytes));
  rows->changedFirst = static_cast<int32_t *>(MemAlloc(2 * bytes));
  rows->changedEnd = static_cast<int32_t *>(MemAlloc(2 * bytes));
  if (!rows->filledFirst || !rows->filledEnd || !rows->changedFirst || !rows->changedEnd) {
    SweepRowsEnd(rows);
    return 0;
  }
  return 1;
}

void SweepRowsEnd(SweepRows *rows) {
  MemFreePtr(rows->filledFirst);
  MemFreePtr(rows->filledEnd);
  MemFreePtr(rows->changedFirst);
  MemFreePtr(rows->changedEnd);
}

void FillClockSectorRows(const ClockPictures *pictures, const ClockFrame *frame, SweepRows *rows) {
  // The centre lies on every ray but in neither half that the fills test.
  if (!rows->centreFilled && pictures->cx < pictures->width && pictures->cy < pictures->height) {
    Copy(pictures, rows, pictures->cy, pictures->cx, pictures->cx + 1);
    rows->centreFilled = 1;
  }
  if (frame->kind != CLOCK_SECTOR_H && frame->kind != CLOCK_SECTOR_V) return;
  StartFill(rows, frame);
  if (frame->kind == CLOCK_SECTOR_H) FillH(pictures, rows, frame);
  else FillV(pictures, rows, frame);
}

namespace {
// One side's changed runs within columns [left, right) of rows y .. y + height - 1.
void ShowSide(SweepRows *rows, int side, int32_t left, int32_t right, int32_t y, int32_t height, ShowBand show,
              void *context) {
  int32_t bandTop = 0, bandRows = 0, bandFirst = 0, bandEnd = 0;
  int64_t bandChanged = 0;  // the changed pixels the band holds
  auto flush = [&]() {
    if (bandRows) show(context, bandFirst, bandTop, bandEnd - bandFirst, bandRows);
    bandRows = 0;
  };
  for (int32_t top = y; top < y + height; ++top) {
    const int32_t r = rows->height - 1 - top;  // rows are stored bottom-up
    int32_t &f = rows->changedFirst[2 * r + side], &e = rows->changedEnd[2 * r + side];
    const int32_t first = f > left ? f : left, end = e < right ? e : right;
    if (Empty(first, end)) {
      flush();
      continue;
    }
    if (bandRows) {
      // Slanting runs make a band wider than its runs: start a new band when
      // this row would make it draw more unchanged pixels than one more band
      // costs, and more than half as many as it holds changed ones.
      const int32_t wider = (first < bandFirst ? first : bandFirst), widerEnd = (end > bandEnd ? end : bandEnd);
      const int64_t changed = bandChanged + (end - first);
      const int64_t waste = static_cast<int64_t>(widerEnd - wider) * (bandRows + 1) - changed;
      if (waste > SWEEP_BAND_SLACK + changed / 2) flush();
    }
    if (!bandRows) {
      bandTop = top;
      bandFirst = first;
      bandEnd = end;
      bandChanged = 0;
    } else {
      if (first < bandFirst) bandFirst = first;
      if (end > bandEnd) bandEnd = end;
    }
    bandChanged += end - first;
    if (++bandRows == SWEEP_BAND_ROWS) flush();
    // What is left of the row's changed columns outside the rectangle.
    if (left <= f && e <= right) f = e = 0;
    else if (left <= f) f = right;
    else if (e <= right) e = left;
  }
  flush();
}
}  // namespace

void ShowChangedBands(SweepRows *rows, int32_t x, int32_t y, int32_t width, int32_t height, ShowBand show,
                      void *context) {
  // Each side of the centre column in bands of its own.
  for (int side = 0; side < 2; ++side) {
    const int32_t split = rows->centreColumn;
    const int32_t left = side ? (x > split ? x : split) : x;
    const int32_t right = side ? x + width : (x + width < split ? x + width : split);
    if (left < right) ShowSide(rows, side, left, right, y, height, show, context);
  }
}
