// The frames, defaults and dialog of gray. Unlike the other effects it always
// works on destRect (whatever wholeWindow says), takes `wait` frames for each
// half, and paints the margins around destRect itself once both halves ran.
// Each half pulls its picture toward grey into 32-bit bands made once for
// the half: the pixels of the 24-bit pull, without a picture made and freed
// per frame, drawn without conversion while each band is still in the cache.
#include "transitions/gray/gray_effect.h"

#include <cstring>

#include "raster/dib.h"
#include "shell/base/mem_block.h"
#include "transitions/effect_frame.h"
#include "transitions/effect_limits.h"
#include "transitions/frame_picture.h"
#include "transitions/gray/gray_pull.h"

const char GrayName[] = "グレイ";

void GrayDefaults(TransitionParams *params) {
  ApplyEffectDefaults(EFFECT_GRAY, &params->wait, params->effectParams);
}

namespace {
// The area's content before the effect as a 24-bit Dib: backColor with
// wholeWindow, else what the screen shows there.
void *OldContent(const TransitionParams *params, const RECT &area, int w, int h) {
  HBITMAP bitmap = CreateCompatibleBitmap(params->dc, w > 0 ? w : 1, h > 0 ? h : 1);
  if (!bitmap) return nullptr;
  HDC memDc = CreateCompatibleDC(params->dc);
  if (!memDc) {
    DeleteObject(bitmap);
    return nullptr;
  }
  HGDIOBJ old = SelectObject(memDc, bitmap);
  if (params->wholeWindow == 1) {
    HBRUSH brush = CreateSolidBrush(params->backColor);
    RECT all = {0, 0, w, h};
    FillRect(memDc, &all, brush);
    DeleteObject(brush);
  } else {
    BitBlt(memDc, 0, 0, w, h, params->dc, area.left, area.top, SRCCOPY);
  }
  SelectObject(memDc, old);
  DeleteDC(memDc);
  void *dib = DibFromBitmap(bitmap, BI_RGB, 24, nullptr);
  DeleteObject(bitmap);
  return dib;
}

// Rows of a band: about 1 MB of 32-bit pixels, so that a band is pulled
// and drawn while it is still in the cache.
int32_t BandRows(int32_t width, int32_t height) {
  const int32_t rows = width > 0 ? (1 << 18) / width : 1;
  return rows < 1 ? 1 : rows > height ? height : rows;
}

// One half: `frames` frames of `picture` pulled by percent(i), each pulled
// and drawn band by band. 0 when the memory for the bands cannot be had or
// the user interrupts.
int RunHalf(TransitionParams *params, const void *picture, const RECT &area, int w, int h, int32_t frames,
            bool intoGray, int *frame) {
  if (frames <= 0) return 1;
  // The pull works on 24 bits; a picture of another depth is widened once.
  void *wide = DibGetBitCount(picture) == 24 ? nullptr : DibToRgb24(picture);
  const void *source = wide ? wide : picture;
  SIZE size;
  const bool sized = DibGetSize(source, &size);
  const int32_t rows = sized ? BandRows(size.cx, size.cy) : 0;
  void *band = sized ? FramePictureNew(size.cx, rows) : nullptr;
  // The picture's last rows, when they do not fill a band, have a band of their own.
  void *last = band && size.cy % rows ? FramePictureNew(size.cx, size.cy % rows) : nullptr;
  int result = band && (last || size.cy % rows == 0);
  for (int32_t i = 0; i < frames && result; ++i) {
    const int percent = static_cast<int>(100 * (intoGray ? i : frames - i) / frames);
    for (int32_t top = 0; top < size.cy && top < h; top += rows) {
      void *pulled = top + rows <= size.cy ? band : last;
      const int32_t count = top + rows <= size.cy ? rows : size.cy - top;
      if (!PullToGrayBand(source, percent, top, pulled)) {
        result = 0;
        break;
      }
      DibDraw(params->dc, area.left, area.top + top, w, count < h - top ? count : h - top, pulled, 0, 0);
    }
    if (!result) break;
    EffectFrameDone((*frame)++);
    if (EffectInterrupted(params)) result = 0;
  }
  MemFree(&last);
  MemFree(&band);
  MemFree(&wide);
  return result;
}

void PaintMargins(const TransitionParams *params, const RECT &client, const RECT &area) {
  HBRUSH brush = CreateSolidBrush(params->backColor);
  const RECT margins[4] = {
      {0, 0, client.right, area.top},
      {0, area.top, area.left, client.bottom},
      {area.right, area.top, client.right, client.bottom},
      {area.left, area.bottom, area.right, client.bottom},
  };
  for (const RECT &margin : margins) FillRect(params->dc, &margin, brush);
  DeleteObject(brush);
}
}  // namespace

int GrayRun(TransitionParams *params) {
  EffectCanvas canvas;
  if (!EffectBegin(params, &canvas)) return 0;
  // Always the destination rectangle, also with wholeWindow.
  const RECT area = *params->destRect;
  const int w = area.right - area.left > 0 ? area.right - area.left : 0;
  const int h = area.bottom - area.top > 0 ? area.bottom - area.top : 0;
  const int32_t frames = ClampWait(params->wait);

  void *old = OldContent(params, area, w, h);
  if (!old) return EffectFinish(params, 0);
  int frame = 0;
  int result = RunHalf(params, old, area, w, h, frames, true, &frame);
  MemFree(&old);
  if (result) {
    const RECT size = {0, 0, w, h};
    void *scaled = DibScaleSmooth(params->image, &size, 1, 0);
    result = scaled && RunHalf(params, scaled, area, w, h, frames, false, &frame);
    MemFree(&scaled);
  }
  if (result && params->wholeWindow == 1) PaintMargins(params, canvas.client, area);
  return EffectFinish(params, result);
}

const EffectDialog GrayDialog = {1, nullptr, nullptr, IDC_GRAY_WAIT_GROUP};
