// The window, surface, picture and clock that tnsview and the effects
// benchmark run an effect with.
#include "tools/tnsview/effect_stage.h"

#include <cstdlib>

#include "raster/dib.h"
#include "transitions/effect_frame.h"

bool OpenEffectStage(EffectStage *stage, int width, int height, const char *title) {
  *stage = {};
  RECT frame = {0, 0, width, height};
  AdjustWindowRectEx(&frame, WS_POPUP, FALSE, 0);
  stage->window = CreateWindowExA(0, "STATIC", title, WS_POPUP, 0, 0, frame.right - frame.left,
                                  frame.bottom - frame.top, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  HDC screenDc = GetDC(nullptr);
  stage->dc = CreateCompatibleDC(screenDc);
  stage->bitmap = CreateCompatibleBitmap(screenDc, width, height);
  ReleaseDC(nullptr, screenDc);
  stage->width = width;
  stage->height = height;
  if (!stage->window || !stage->dc || !stage->bitmap) {
    CloseEffectStage(stage);
    return false;
  }
  stage->oldBitmap = SelectObject(stage->dc, stage->bitmap);
  return true;
}

void CloseEffectStage(EffectStage *stage) {
  if (stage->dc && stage->oldBitmap) SelectObject(stage->dc, stage->oldBitmap);
  if (stage->bitmap) DeleteObject(stage->bitmap);
  if (stage->dc) DeleteDC(stage->dc);
  if (stage->window) DestroyWindow(stage->window);
  *stage = {};
}

static uint32_t fixedClock;
static uint32_t FixedTickCount() { return fixedClock++; }

void FixEffectClock(uint32_t start) {
  fixedClock = start;
  EffectDraw.tickCount = FixedTickCount;
}

static COLORREF PicturePixel(int x, int y, int w, int h) {
  if (std::abs(x * h - y * w) < 3 * w) return RGB(255, 255, 255);
  return RGB(255 * x / (w ? w : 1), 255 * y / (h ? h : 1), 160);
}

void *MakeEffectPicture(int w, int h) {
  if (w <= 0 || h <= 0) return nullptr;
  void *dib = DibCreateSolid(w, h, 24, RGB(0, 0, 0));
  if (!dib) return nullptr;
  BYTE *bits = DibBits(dib);
  const uint32_t stride = DibStride(w, 24);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      COLORREF c = PicturePixel(x, y, w, h);
      BYTE *p = bits + static_cast<size_t>(h - 1 - y) * stride + x * 3;
      p[0] = GetBValue(c);
      p[1] = GetGValue(c);
      p[2] = GetRValue(c);
    }
  return dib;
}
