// The pixel work of the gray effect: pull toward grey.
#include "transitions/gray/gray_pull.h"

#include <cstdint>
#include <cstring>

#include "raster/dib.h"
#include "shell/base/mem_block.h"
#include "transitions/frame_picture.h"

namespace {
inline BYTE Pull(BYTE v, int amount) {
  if (v > 128) return static_cast<BYTE>(v - amount < 128 ? 128 : v - amount);
  return static_cast<BYTE>(v + amount > 128 ? 128 : v + amount);
}
}  // namespace

void *DibPullToGray(const void *dib, int percent) {
  if (!DibIsWhole(dib)) return nullptr;
  void *wide = nullptr;  // the 24-bit copy of a picture of another depth
  if (DibGetBitCount(dib) != 24) {
    wide = DibToRgb24(dib);
    if (!DibIsWhole(wide)) {
      MemFree(&wide);
      return nullptr;
    }
    dib = wide;
  }
  BITMAPINFOHEADER header;
  DibGetHeader(dib, &header);
  const size_t size = MemSize(dib);
  const size_t prefix = header.biSize + DibPaletteSize(dib);
  auto *out = static_cast<BYTE *>(MemAlloc(size));
  if (!out) {
    MemFree(&wide);
    return nullptr;
  }
  memcpy(out, dib, prefix);
  if (percent < 0) percent = 0;
  if (percent > 100) percent = 100;
  const int amount = percent * 128 / 100;
  const int32_t width = header.biWidth;
  const int32_t height = header.biHeight;  // positive: checked whole above
  const size_t stride = DibStride(width, 24);
  const BYTE *src = DibBits(dib);
  BYTE *dst = out + prefix;
  for (int32_t y = 0; y < height; ++y) {
    const BYTE *s = src + static_cast<size_t>(y) * stride;
    BYTE *d = dst + static_cast<size_t>(y) * stride;
    for (int32_t i = 0; i < width * 3; ++i) d[i] = Pull(s[i], amount);
  }
  MemFree(&wide);
  return out;
}

int PullToGrayBand(const void *dib, int percent, int32_t top, void *band) {
  BITMAPINFOHEADER in, out;
  if (!DibIsWhole(dib) || !DibIsWhole(band) || !DibGetHeader(dib, &in) || !DibGetHeader(band, &out)) return 0;
  if (in.biBitCount != 24 || out.biBitCount != 32 || out.biCompression != BI_RGB || in.biWidth != out.biWidth ||
      in.biHeight <= 0 || out.biHeight <= 0 || top < 0 || top > in.biHeight - out.biHeight)
    return 0;
  if (percent < 0) percent = 0;
  if (percent > 100) percent = 100;
  const int amount = percent * 128 / 100;
  // Each channel value's pulled value, already in its place in the pixel.
  uint32_t blue[256], green[256], red[256];
  for (int v = 0; v < 256; ++v) {
    const uint32_t pulled = Pull(static_cast<BYTE>(v), amount);
    blue[v] = pulled;
    green[v] = pulled << 8;
    red[v] = pulled << 16;
  }
  // Both pictures keep their rows bottom-up: the band's first row is the
  // picture's row (height - top - rows).
  const int32_t width = in.biWidth, rows = out.biHeight;
  const size_t stride = DibStride(width, 24);
  const BYTE *src = DibBits(dib) + static_cast<size_t>(in.biHeight - top - rows) * stride;
  uint32_t *dst = FramePixels(band);
  for (int32_t y = 0; y < rows; ++y) {
    const BYTE *s = src + static_cast<size_t>(y) * stride;
    for (int32_t x = 0; x < width; ++x, s += 3) *dst++ = blue[s[0]] | green[s[1]] | red[s[2]];
  }
  return 1;
}
