// The pixel work of the gray effect: pull toward grey.
#include "transitions/gray/gray_pull.h"

#include <cstring>

#include "raster/dib.h"
#include "shell/base/mem_block.h"

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
