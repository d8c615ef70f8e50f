// The frames, defaults and dialog of diffuse. The sweep runs in a working
// copy of the picture (old screen pixels, overwritten sector by sector with
// the new picture) and each frame shows the quarter that changed, 1:1.
// The geometry is in clock_sweep.cpp; the fills and the drawing go row by
// row (sweep_rows.cpp), so that a frame copies and draws only the pixels its
// sector adds; this file owns the GDI side.
#include "transitions/diffuse/diffuse_effect.h"

#include <cstring>

#include "raster/dib.h"
#include "shell/base/mem_block.h"
#include "transitions/abort_poll.h"
#include "transitions/diffuse/clock_sweep.h"
#include "transitions/diffuse/sweep_rows.h"
#include "transitions/effect_frame.h"

const char DiffuseName[] = "クロック";

void DiffuseDefaults(TransitionParams *params) {
  ApplyEffectDefaults(EFFECT_DIFFUSE, &params->wait, params->effectParams);
}

namespace {
// The new picture as a width x height 24-bit Dib. A picture of another size
// keeps its top-left corner at the rectangle's and the part of the rectangle
// it does not cover keeps the old screen, so no pixel outside either picture
// is read or written.
void *FreshPicture(const void *image, const void *old, int32_t width, int32_t height) {
  void *fresh = DibToRgb24(image);
  SIZE size;
  if (!fresh || !DibGetSize(fresh, &size)) {
    MemFree(&fresh);
    return nullptr;
  }
  if (size.cx == width && size.cy == height) return fresh;
  void *fitted = MemDup(old);
  if (fitted) {
    const int32_t w = size.cx < width ? size.cx : width, h = size.cy < height ? size.cy : height;
    const uint32_t from = DibStride(size.cx, 24), to = DibStride(width, 24);
    const BYTE *src = DibBits(fresh);
    BYTE *dst = DibBits(fitted);
    for (int32_t y = 0; y < h; ++y)
      memcpy(dst + static_cast<size_t>(height - 1 - y) * to, src + static_cast<size_t>(size.cy - 1 - y) * from,
             static_cast<size_t>(w) * 3);
  }
  MemFree(&fresh);
  return fitted;
}

// Where the frames of one call are drawn.
struct Screen {
  HDC dc;
  int32_t left, top;
  const void *work;
};

void DrawBand(void *context, int32_t x, int32_t y, int32_t width, int32_t height) {
  const Screen *screen = static_cast<const Screen *>(context);
  DibStretchDraw(screen->dc, screen->left + x, screen->top + y, width, height, screen->work, x, y, width, height);
}

bool Is24Bit(const void *dib, int32_t width, int32_t height) {
  SIZE size;
  return DibGetSize(dib, &size) && size.cx == width && size.cy == height && DibGetBitCount(dib) == 24;
}
}  // namespace

int DiffuseRun(TransitionParams *params) {
  if (!params || !params->image || !params->destRect) return 0;
  const RECT dest = *params->destRect;
  const int32_t width = dest.right - dest.left, height = dest.bottom - dest.top;
  if (width <= 0 || height <= 0) return EffectFinish(params, 1);  // nothing to sweep
  ClockSweep sweep;
  if (!StartClockSweep(&sweep, width, height, ClockStep(params->wait), params->effectParams[DIFFUSE_PATTERN_WORD]))
    return EffectFinish(params, 0);

  // The old content of the rectangle, as 24-bit pixels; it becomes the
  // working picture once the new picture has been fitted.
  HBITMAP bitmap = CreateCompatibleBitmap(params->dc, width, height);
  HDC memDc = bitmap ? CreateCompatibleDC(params->dc) : nullptr;
  void *work = nullptr, *fitted = nullptr;
  if (memDc) {
    HGDIOBJ previous = SelectObject(memDc, bitmap);
    BitBlt(memDc, 0, 0, width, height, params->dc, dest.left, dest.top, SRCCOPY);
    // A bitmap must not stay selected while its bits are read.
    SelectObject(memDc, previous);
    work = DibFromBitmap(bitmap, BI_RGB, 24, nullptr);
    DeleteDC(memDc);
  }
  if (bitmap) DeleteObject(bitmap);
  // The new picture: read where it is when it already has the rectangle's
  // size and 24 bits, else a fitted 24-bit copy.
  const void *fresh = nullptr;
  if (work && Is24Bit(work, width, height)) {
    if (DibIsWhole(params->image) && Is24Bit(params->image, width, height)) fresh = params->image;
    else fresh = fitted = FreshPicture(params->image, work, width, height);
  }

  int result = 0;
  SweepRows rows;
  if (fresh && SweepRowsStart(&rows, width, height)) {
    ClockPictures pictures = {DibBits(work), DibBits(fresh), width, height, DibStride(width, 24), sweep.cx, sweep.cy};
    Screen screen = {params->dc, dest.left, dest.top, work};
    ClockFrame frame;
    int count = 0;
    result = 1;
    while (NextClockFrame(&sweep, &frame)) {
      FillClockSectorRows(&pictures, &frame, &rows);
      if (frame.width > 0 && frame.height > 0)
        ShowChangedBands(&rows, frame.x, frame.y, frame.width, frame.height, DrawBand, &screen);
      EffectFrameDone(count++);
      if (params->abortable == 1 && AbortRequestedNoWheel(params->mouseMoveAborts)) {
        result = 0;
        break;
      }
    }
    SweepRowsEnd(&rows);
  }
  MemFree(&fitted);
  MemFree(&work);
  return EffectFinish(params, result);
}

static void FillPattern(HWND dialog, TransitionParams *params) {
  const int32_t pattern = params->effectParams[DIFFUSE_PATTERN_WORD];
  if (pattern >= 0 && pattern <= IDC_DIFFUSE_LAST_PATTERN - IDC_DIFFUSE_FIRST_PATTERN)
    CheckRadioButton(dialog, IDC_DIFFUSE_FIRST_PATTERN, IDC_DIFFUSE_LAST_PATTERN, IDC_DIFFUSE_FIRST_PATTERN + pattern);
}

static int AcceptPattern(HWND dialog, int32_t words[EFFECT_PARAM_WORDS]) {
  int32_t pattern = 0;
  while (IDC_DIFFUSE_FIRST_PATTERN + pattern <= IDC_DIFFUSE_LAST_PATTERN &&
         IsDlgButtonChecked(dialog, IDC_DIFFUSE_FIRST_PATTERN + pattern) != BST_CHECKED)
    ++pattern;
  words[DIFFUSE_PATTERN_WORD] = pattern;  // 8 when no button is selected
  return 1;
}

const EffectDialog DiffuseDialog = {0, FillPattern, AcceptPattern};
