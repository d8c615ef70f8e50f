// The cross-fade of QUADRIL's rectangles (see cross_fade.h).
#include "transitions/QUADRIL/cross_fade.h"

#include <cstring>

#include "raster/dib.h"
#include "shell/base/mem_block.h"
#include "transitions/frame_picture.h"

int CrossFadeStart(CrossFade *fade, int32_t width, int32_t height) {
  memset(fade, 0, sizeof *fade);
  if (width <= 0 || height <= 0) return 0;
  const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height);
  fade->width = width;
  fade->height = height;
  fade->base = static_cast<uint32_t *>(MemAlloc(pixels * sizeof(uint32_t)));
  fade->delta = static_cast<uint16_t *>(MemAlloc(pixels * 3 * sizeof(uint16_t)));
  if (!fade->base || !fade->delta) {
    CrossFadeEnd(fade);
    return 0;
  }
  return 1;
}

static bool Fits(const void *dib, int32_t width, int32_t height) {
  SIZE size;
  return DibIsWhole(dib) && DibGetSize(dib, &size) && size.cx == width && size.cy == height &&
         DibGetBitCount(dib) == 24;
}

int CrossFadeLoad(CrossFade *fade, const void *oldDib, const void *newDib) {
  if (!fade->base || !Fits(oldDib, fade->width, fade->height) || !Fits(newDib, fade->width, fade->height)) return 0;
  const uint32_t stride = DibStride(fade->width, 24);
  const uint8_t *oldBits = DibBits(oldDib), *newBits = DibBits(newDib);
  uint32_t *base = fade->base;
  uint16_t *delta = fade->delta;
  for (int32_t y = 0; y < fade->height; ++y) {
    const uint8_t *q = oldBits + static_cast<size_t>(y) * stride, *p = newBits + static_cast<size_t>(y) * stride;
    for (int32_t x = 0; x < fade->width; ++x, q += 3, p += 3) {
      *base++ = static_cast<uint32_t>(q[2]) << 16 | static_cast<uint32_t>(q[1]) << 8 | q[0];
      *delta++ = static_cast<uint16_t>(p[0] - q[0] + 255);
      *delta++ = static_cast<uint16_t>(p[1] - q[1] + 255);
      *delta++ = static_cast<uint16_t>(p[2] - q[2] + 255);
    }
  }
  return 1;
}

void CrossFadeFrame(CrossFade *fade, int opacity, void *frame) {
  if (opacity < 0) opacity = 0;
  if (opacity > 100) opacity = 100;
  // floor(opacity x d / 100) for every difference d, already shifted into
  // its channel: the old pixel plus the three entries is the blended pixel
  // (each channel's sum lies in 0..255, so nothing carries between them).
  for (int32_t d = -255; d <= 255; ++d) {
    const int32_t product = opacity * d;
    const int32_t step = product >= 0 ? product / 100 : -((-product + 99) / 100);
    fade->table[0][d + 255] = step;
    fade->table[1][d + 255] = step * 256;
    fade->table[2][d + 255] = step * 65536;
  }
  const int32_t *blue = fade->table[0], *green = fade->table[1], *red = fade->table[2];
  const size_t pixels = static_cast<size_t>(fade->width) * static_cast<size_t>(fade->height);
  const uint32_t *base = fade->base;
  const uint16_t *delta = fade->delta;
  uint32_t *out = FramePixels(frame);
  for (size_t i = 0; i < pixels; ++i, delta += 3)
    out[i] = base[i] + static_cast<uint32_t>(blue[delta[0]] + green[delta[1]] + red[delta[2]]);
}

void CrossFadeEnd(CrossFade *fade) {
  MemFreePtr(fade->base);
  MemFreePtr(fade->delta);
}
