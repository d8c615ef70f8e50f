// The frames, defaults and dialog checks of QUADRIL. Each rectangle gets a
// cross-fade of (wait + 1) x 10 frames, every frame one blend of the old and
// the new content and one draw, and ends with a 1:1 copy of the new content.
// The blends go into one 32-bit frame picture made once per call (see
// cross_fade.h): the same pixels as a blend of the two 24-bit pictures,
// without three pictures made and freed per frame, drawn without conversion.
#include "transitions/QUADRIL/quadril_effect.h"

#include <cstdio>
#include <cstring>

#include "raster/dib.h"
#include "shell/base/mem_block.h"
#include "transitions/QUADRIL/cross_fade.h"
#include "transitions/crt_random.h"
#include "transitions/effect_frame.h"
#include "transitions/effect_limits.h"
#include "transitions/frame_picture.h"

const char QuadrilName[] = "ジワリ";

enum { QUADRIL_LARGEST_TARGET = 32767 };

// The largest useful side of a rectangle: the window's or the area's, at least 1.
static int32_t LargestSide(int32_t client, int32_t area) {
  int32_t side = client > area ? client : area;
  return side < 1 ? 1 : side;
}

void QuadrilDefaults(TransitionParams *params) {
  ApplyEffectDefaults(EFFECT_QUADRIL, &params->wait, params->effectParams);
}

int QuadrilFrames(int32_t wait) { return (ClampWait(wait) + 1) * 10; }

namespace {
// The two small bitmaps holding the old and the new content of one rectangle.
struct RectBuffers {
  HBITMAP oldBitmap, newBitmap;
  HDC oldDc, newDc;
  HGDIOBJ oldDefault, newDefault;  // what each DC held when it was made
};

int CreateRectBuffers(HDC dc, int w, int h, RectBuffers *b) {
  *b = RectBuffers{};
  b->oldBitmap = CreateCompatibleBitmap(dc, w, h);
  if (b->oldBitmap) b->oldDc = CreateCompatibleDC(dc);
  if (b->oldDc) b->newBitmap = CreateCompatibleBitmap(dc, w, h);
  if (b->newBitmap) b->newDc = CreateCompatibleDC(dc);
  if (!b->newDc) return 0;
  b->oldDefault = GetCurrentObject(b->oldDc, OBJ_BITMAP);
  b->newDefault = GetCurrentObject(b->newDc, OBJ_BITMAP);
  return 1;
}

void FreeRectBuffers(RectBuffers *b) {
  if (b->oldDc) DeleteDC(b->oldDc);
  if (b->newDc) DeleteDC(b->newDc);
  if (b->oldBitmap) DeleteObject(b->oldBitmap);
  if (b->newBitmap) DeleteObject(b->newBitmap);
  *b = RectBuffers{};
}
}  // namespace

int QuadrilRun(TransitionParams *params) {
  EffectCanvas canvas;
  if (!EffectBegin(params, &canvas)) return 0;
  // A zero or negative side is unusable (the product is computed wide, so
  // that two large sides cannot wrap to zero or to a negative count).
  if (params->effectParams[0] <= 0 || params->effectParams[1] <= 0) return 0;
  // A rectangle may overhang the area, but never needs to be larger than the
  // window (the dialog allows up to the screen size): a damaged value must
  // not ask for giant bitmaps or a single endless cross-fade.
  const int32_t clientWidth = canvas.client.right - canvas.client.left;
  const int32_t clientHeight = canvas.client.bottom - canvas.client.top;
  const int32_t rw = ClampInt(params->effectParams[0], 1, LargestSide(clientWidth, canvas.width));
  const int32_t rh = ClampInt(params->effectParams[1], 1, LargestSide(clientHeight, canvas.height));
  const int frames = QuadrilFrames(params->wait);

  const int32_t cols = CellsFor(canvas.width, rw), rows = CellsFor(canvas.height, rh);
  // An area that no bitmap could hold fails like any bitmap that cannot be had.
  if (static_cast<int64_t>(cols) * rw > QUADRIL_LARGEST_TARGET ||
      static_cast<int64_t>(rows) * rh > QUADRIL_LARGEST_TARGET)
    return EffectFinish(params, 0);
  const int32_t count = cols * rows;
  int32_t *order = ShuffledCellOrder(count, EffectDraw.tickCount());
  if (!order) return EffectFinish(params, 0);

  RectBuffers buffers;
  if (!EffectCreateTarget(params, &canvas, cols * rw, rows * rh)) {
    MemFreePtr(order);
    return EffectFinish(params, 0);
  }
  if (!CreateRectBuffers(params->dc, rw, rh, &buffers)) {
    FreeRectBuffers(&buffers);
    EffectFreeTarget(&canvas);
    MemFreePtr(order);
    return EffectFinish(params, 0);
  }

  // Without room for the blends every rectangle goes straight to its new
  // content, as when a blend cannot be made.
  CrossFade fade = {};
  void *blend = nullptr;
  if (frames > 1 && CrossFadeStart(&fade, rw, rh)) blend = FramePictureNew(rw, rh);
  const int32_t spacing = count > 20 ? count / 20 : 1;
  int result = 1, frame = 0;
  for (int32_t i = 0; i < count; ++i) {
    const int32_t x = (order[i] % cols) * rw, y = (order[i] / cols) * rh;
    const int X = canvas.area.left + x, Y = canvas.area.top + y;
    SelectObject(buffers.oldDc, buffers.oldBitmap);
    SelectObject(buffers.newDc, buffers.newBitmap);
    BitBlt(buffers.oldDc, 0, 0, rw, rh, params->dc, X, Y, SRCCOPY);
    BitBlt(buffers.newDc, 0, 0, rw, rh, canvas.memDc, x, y, SRCCOPY);
    // A bitmap must not stay selected while its bits are read; each DC gets
    // back the bitmap it was made with (one bitmap cannot sit in two DCs).
    SelectObject(buffers.oldDc, buffers.oldDefault);
    SelectObject(buffers.newDc, buffers.newDefault);
    void *before = DibFromBitmap(buffers.oldBitmap, BI_RGB, 24, nullptr);
    void *after = DibFromBitmap(buffers.newBitmap, BI_RGB, 24, nullptr);
    if (blend && CrossFadeLoad(&fade, before, after)) {
      for (int f = 1; f < frames; ++f) {
        CrossFadeFrame(&fade, 100 * f / frames, blend);
        DibStretchDraw(params->dc, X, Y, rw, rh, blend, 0, 0, rw, rh);
        EffectFrameDone(frame++);
      }
    }
    EffectDraw.bitBlt(params->dc, X, Y, rw, rh, canvas.memDc, x, y, SRCCOPY);
    EffectFrameDone(frame++);
    MemFree(&before);
    MemFree(&after);
    if (i % spacing == 0 && EffectInterrupted(params)) {
      result = 0;
      break;
    }
  }
  MemFree(&blend);
  CrossFadeEnd(&fade);
  FreeRectBuffers(&buffers);
  EffectFreeTarget(&canvas);
  MemFreePtr(order);
  return EffectFinish(params, result);
}

int32_t QuadrilAllowedSide(UINT typed, int32_t screenSide) {
  const int32_t value = static_cast<int32_t>(typed);
  if (value <= 0) return 1;
  return value > screenSide ? screenSide : value;
}

// The screen size read when the dialog opened.
static int32_t screenWidth, screenHeight;

static void FillSize(HWND dialog, TransitionParams *params) {
  screenWidth = GetSystemMetrics(SM_CXSCREEN);
  screenHeight = GetSystemMetrics(SM_CYSCREEN);
  char label[96];
  snprintf(label, sizeof label, "矩形の大きさ (横：1～%d、縦：1～%d)", static_cast<int>(screenWidth),
           static_cast<int>(screenHeight));
  SetDlgItemTextA(dialog, IDC_QUADRIL_SIZE_GROUP, label);
  // Sizes beyond this screen are cut down in the block itself, even if the
  // dialog is then cancelled.
  if (params->effectParams[0] > screenWidth) params->effectParams[0] = screenWidth;
  if (params->effectParams[1] > screenHeight) params->effectParams[1] = screenHeight;
  SetDlgItemInt(dialog, IDC_QUADRIL_WIDTH, static_cast<UINT>(params->effectParams[0]), FALSE);
  SetDlgItemInt(dialog, IDC_QUADRIL_HEIGHT, static_cast<UINT>(params->effectParams[1]), FALSE);
}

static int AcceptSize(HWND dialog, int32_t words[EFFECT_PARAM_WORDS]) {
  const UINT typedWidth = ReadUnsigned(dialog, IDC_QUADRIL_WIDTH);
  const UINT typedHeight = ReadUnsigned(dialog, IDC_QUADRIL_HEIGHT);
  const int32_t width = QuadrilAllowedSide(typedWidth, screenWidth);
  const int32_t height = QuadrilAllowedSide(typedHeight, screenHeight);
  if (static_cast<UINT>(width) != typedWidth || static_cast<UINT>(height) != typedHeight) {
    SetDlgItemInt(dialog, IDC_QUADRIL_WIDTH, static_cast<UINT>(width), FALSE);
    SetDlgItemInt(dialog, IDC_QUADRIL_HEIGHT, static_cast<UINT>(height), FALSE);
    return 0;
  }
  words[0] = width;
  words[1] = height;
  return 1;
}

const EffectDialog QuadrilDialog = {1, FillSize, AcceptSize, IDC_QUADRIL_WAIT_GROUP};
