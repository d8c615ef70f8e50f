// Blending one picture onto another with an opacity and a key colour, and
// darkening a picture by a grey tile (the drop shadow's arithmetic). Both
// work on 24-bit pictures; drawing the shadow onto a screen is done elsewhere.
#include <cstring>

#include "raster/dib_internal.h"
#include "shell/base/mem_block.h"

void *DibBlend(const void *base, const RECT *rect, const void *overlay, int opacity, COLORREF keyColour) {
  if (!base || !overlay || !rect) return nullptr;
  if (opacity < 0) opacity = 0;
  if (opacity > 100) opacity = 100;
  void *result = DibToRgb24(base);
  int32_t rw = rect->right - rect->left, rh = rect->bottom - rect->top;
  void *sized = nullptr;
  if (rw > 0 && rh > 0) {
    void *wide = DibToRgb24(overlay);
    RECT target = {0, 0, rw, rh};
    if (wide) sized = DibScaleSmooth(wide, &target, 1, 0);
    MemFree(&wide);
  }
  DibView r, o;
  if (!DibViewOf(result, &r) || !DibViewOf(sized, &o)) {
    MemFree(&result);
    MemFree(&sized);
    return nullptr;
  }
  // Only the rows and columns where the overlay covers the result.
  int32_t x0 = rect->left < 0 ? 0 : rect->left, y0 = rect->top < 0 ? 0 : rect->top;
  int32_t x1 = rect->right > r.width ? r.width : rect->right;
  int32_t y1 = rect->bottom > r.height ? r.height : rect->bottom;
  const int a = opacity, b = 100 - opacity;
  for (int32_t y = y0; y < y1; ++y) {
    BYTE *d = r.bits + static_cast<size_t>(r.height - 1 - y) * r.stride;
    const BYTE *s = o.bits + static_cast<size_t>(o.height - 1 - (y - rect->top)) * o.stride;
    for (int32_t x = x0; x < x1; ++x) {
      const BYTE *p = s + static_cast<size_t>(x - rect->left) * 3;
      COLORREF colour = RGB(p[2], p[1], p[0]);
      if (colour == keyColour) continue;
      BYTE *q = d + static_cast<size_t>(x) * 3;
      q[0] = static_cast<BYTE>((a * p[0] + b * q[0]) / 100);
      q[1] = static_cast<BYTE>((a * p[1] + b * q[1]) / 100);
      q[2] = static_cast<BYTE>((a * p[2] + b * q[2]) / 100);
    }
  }
  MemFree(&sized);
  return result;
}

int DibBurn(void *dst, const void *tile) {
  DibView d, t;
  if (!DibViewOf(dst, &d) || !DibViewOf(tile, &t)) return 0;
  // The tile is read with the picture's stride, so it must match it in size and depth.
  if (d.bitCount != 24 || t.bitCount != 24 || t.width != d.width || t.height != d.height) return 0;
  for (int32_t y = 0; y < d.height; ++y) {
    BYTE *p = d.bits + static_cast<size_t>(y) * d.stride;
    const BYTE *q = t.bits + static_cast<size_t>(y) * t.stride;
    for (int32_t i = 0; i < d.width * 3; ++i) {
      int v = p[i] + q[i] - 255;
      p[i] = static_cast<BYTE>(v < 0 ? 0 : v);
    }
  }
  return 1;
}
