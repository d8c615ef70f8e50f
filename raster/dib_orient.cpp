// Quarter turns and mirrors at 1, 4, 8, 16, 24 and 32 bits per pixel. Whole
// pixels are moved for 8 bits and above; 1- and 4-bit rows are rebuilt bit by
// bit, so widths that are not a multiple of 8 keep pixel 0 in the first bit.
// Header and colour table are copied; quarter turns swap width and height.
#include <cstring>

#include "raster/dib_internal.h"
#include "shell/base/mem_block.h"

namespace {

enum Orientation { ROTATE_90, ROTATE_180, ROTATE_270, FLIP_VERTICAL, FLIP_HORIZONTAL };

void *Reorient(const void *dib, Orientation how) {
  DibView s;
  if (!DibViewOf(dib, &s)) return nullptr;
  bool turn = how == ROTATE_90 || how == ROTATE_270;
  int32_t w = turn ? s.height : s.width, h = turn ? s.width : s.height;
  uint32_t stride = DibStride(w, s.bitCount);
  if (!stride) return nullptr;
  uint64_t pixels = static_cast<uint64_t>(stride) * static_cast<uint64_t>(h);
  if (pixels > DIB_MAX_PIXEL_BYTES) return nullptr;
  BYTE *out = static_cast<BYTE *>(MemAlloc(s.headerBytes + static_cast<size_t>(pixels)));
  if (!out) return nullptr;
  memcpy(out, s.header, s.headerBytes);
  BITMAPINFOHEADER *hdr = reinterpret_cast<BITMAPINFOHEADER *>(out);
  hdr->biWidth = w;
  hdr->biHeight = h;
  BYTE *dst = out + s.headerBytes;
  const int32_t W = s.width, H = s.height;
  const int bits = s.bitCount;
  const int bytes = bits / 8;

  // Rows are addressed top-down: picture row y is stored at index height - 1 - y.
  for (int32_t y = 0; y < h; ++y) {
    BYTE *d = dst + static_cast<size_t>(h - 1 - y) * stride;
    if (how == FLIP_VERTICAL || (how == FLIP_HORIZONTAL && bytes == 0) || how == ROTATE_180) {
      int32_t sy = how == FLIP_HORIZONTAL ? y : H - 1 - y;
      const BYTE *srow = s.bits + static_cast<size_t>(H - 1 - sy) * s.stride;
      if (how == FLIP_VERTICAL) {
        memcpy(d, srow, stride);
        continue;
      }
      if (bytes) {
        for (int32_t x = 0; x < w; ++x) memcpy(d + x * bytes, srow + (W - 1 - x) * bytes, static_cast<size_t>(bytes));
      } else {
        for (int32_t x = 0; x < w; ++x) DibSetPixelAt(d, x, bits, DibPixelAt(srow, W - 1 - x, bits));
      }
      continue;
    }
    if (how == FLIP_HORIZONTAL) {
      const BYTE *srow = s.bits + static_cast<size_t>(H - 1 - y) * s.stride;
      for (int32_t x = 0; x < w; ++x) memcpy(d + x * bytes, srow + (W - 1 - x) * bytes, static_cast<size_t>(bytes));
      continue;
    }
    // Quarter turns: target (x, y) takes source (y, H - 1 - x) clockwise,
    // (W - 1 - y, x) counter-clockwise; the source column is fixed per row.
    int32_t sx = how == ROTATE_90 ? y : W - 1 - y;
    for (int32_t x = 0; x < w; ++x) {
      int32_t sy = how == ROTATE_90 ? H - 1 - x : x;
      const BYTE *srow = s.bits + static_cast<size_t>(H - 1 - sy) * s.stride;
      if (bytes)
        memcpy(d + x * bytes, srow + sx * bytes, static_cast<size_t>(bytes));
      else
        DibSetPixelAt(d, x, bits, DibPixelAt(srow, sx, bits));
    }
  }
  return out;
}

}  // namespace

void *DibRotate90(const void *dib) { return Reorient(dib, ROTATE_90); }
void *DibRotate180(const void *dib) { return Reorient(dib, ROTATE_180); }
void *DibRotate270(const void *dib) { return Reorient(dib, ROTATE_270); }
void *DibFlipVertical(const void *dib) { return Reorient(dib, FLIP_VERTICAL); }
void *DibFlipHorizontal(const void *dib) { return Reorient(dib, FLIP_HORIZONTAL); }
