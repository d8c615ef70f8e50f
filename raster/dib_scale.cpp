// Resampling: box average for whole-number reductions of two or more,
// three-point interpolation in 1/256 steps otherwise, nearest sample for a
// picture that could not be widened to 24 bits; stepwise x1.5 enlargement
// for large magnifications; fitting a size into a box. Integer arithmetic on
// whole rows; real numbers only choose sizes. No drawing, no blending.
#include <cstring>
#include <vector>

#include "raster/dib_internal.h"
#include "shell/base/mem_block.h"

namespace {

// A new Dib of the target size with the working picture's header and table.
BYTE *NewLike(const DibView &src, int32_t width, int32_t height, uint32_t *stride) {
  *stride = DibStride(width, src.bitCount);
  if (!*stride) return nullptr;
  uint64_t pixels = static_cast<uint64_t>(*stride) * static_cast<uint64_t>(height);
  if (pixels > DIB_MAX_PIXEL_BYTES) return nullptr;
  BYTE *out = static_cast<BYTE *>(MemAlloc(src.headerBytes + static_cast<size_t>(pixels)));
  if (!out) return nullptr;
  memcpy(out, src.header, src.headerBytes);
  BITMAPINFOHEADER *h = reinterpret_cast<BITMAPINFOHEADER *>(out);
  h->biWidth = width;
  h->biHeight = height;
  h->biSizeImage = static_cast<DWORD>(pixels);
  h->biBitCount = static_cast<WORD>(src.bitCount);
  return out;
}

void BoxAverage(const DibView &s, BYTE *dst, uint32_t dstStride, int32_t tw, int32_t th) {
  int32_t kx = s.width / tw, ky = s.height / th;
  for (int32_t y = 0; y < th; ++y) {
    int32_t sy = static_cast<int32_t>(static_cast<int64_t>(y) * s.height / th);
    int32_t rows = ky;
    if (sy + rows > s.height) rows = s.height - sy;
    BYTE *d = dst + static_cast<size_t>(y) * dstStride;
    for (int32_t x = 0; x < tw; ++x, d += 3) {
      int32_t sx = static_cast<int32_t>(static_cast<int64_t>(x) * s.width / tw);
      int32_t cols = kx;
      if (sx + cols > s.width) cols = s.width - sx;
      uint32_t sum[3] = {0, 0, 0};
      for (int32_t r = 0; r < rows; ++r) {
        const BYTE *p = s.bits + static_cast<size_t>(sy + r) * s.stride + static_cast<size_t>(sx) * 3;
        for (int32_t c = 0; c < cols; ++c, p += 3) {
          sum[0] += p[0];
          sum[1] += p[1];
          sum[2] += p[2];
        }
      }
      uint32_t count = static_cast<uint32_t>(rows * cols);
      d[0] = static_cast<BYTE>(sum[0] / count);
      d[1] = static_cast<BYTE>(sum[1] / count);
      d[2] = static_cast<BYTE>(sum[2] / count);
    }
  }
}

// Per target column (or row): the anchor, its neighbour and the anchor's distance.
struct Tap {
  int32_t anchor;
  int32_t neighbour;
  int32_t distance;
};

void PlanTaps(std::vector<Tap> *taps, int32_t source, int32_t target) {
  taps->resize(static_cast<size_t>(target));
  for (int32_t i = 0; i < target; ++i) {
    int64_t pos = static_cast<int64_t>(i) * source * 256 / target;
    int32_t whole = static_cast<int32_t>(pos >> 8);
    int32_t fraction = static_cast<int32_t>(pos & 255);
    Tap t;
    if (fraction >= 128 && whole + 1 < source) {
      t.anchor = whole + 1;
      t.neighbour = whole;
      t.distance = 256 - fraction;
    } else {
      // Nearer the floor pixel, or the next one lies outside: the floor anchors.
      t.anchor = whole;
      t.neighbour = whole + 1 < source ? whole + 1 : whole;
      t.distance = fraction;
    }
    (*taps)[static_cast<size_t>(i)] = t;
  }
}

void Interpolate(const DibView &s, BYTE *dst, uint32_t dstStride, int32_t tw, int32_t th) {
  std::vector<Tap> cols, rows;
  PlanTaps(&cols, s.width, tw);
  PlanTaps(&rows, s.height, th);
  for (int32_t y = 0; y < th; ++y) {
    const Tap &ry = rows[static_cast<size_t>(y)];
    const BYTE *anchorRow = s.bits + static_cast<size_t>(ry.anchor) * s.stride;
    const BYTE *otherRow = s.bits + static_cast<size_t>(ry.neighbour) * s.stride;
    int32_t dy = ry.distance;
    BYTE *d = dst + static_cast<size_t>(y) * dstStride;
    for (int32_t x = 0; x < tw; ++x, d += 3) {
      const Tap &cx = cols[static_cast<size_t>(x)];
      const BYTE *a = anchorRow + static_cast<size_t>(cx.anchor) * 3;
      const BYTE *h = anchorRow + static_cast<size_t>(cx.neighbour) * 3;
      const BYTE *v = otherRow + static_cast<size_t>(cx.anchor) * 3;
      for (int c = 0; c < 3; ++c)
        d[c] = static_cast<BYTE>(a[c] + ((v[c] - a[c]) * dy + (h[c] - a[c]) * cx.distance + 128) / 256);
    }
  }
}

inline uint32_t GetPixel(const BYTE *row, int32_t x, int bits) {
  switch (bits) {
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1u;
    case 4: return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 15u;
    default: {
      uint32_t v = 0;
      int bytes = bits / 8;
      for (int i = 0; i < bytes; ++i) v |= static_cast<uint32_t>(row[x * bytes + i]) << (8 * i);
      return v;
    }
  }
}

inline void SetPixel(BYTE *row, int32_t x, int bits, uint32_t v) {
  switch (bits) {
    case 1: {
      BYTE m = static_cast<BYTE>(0x80u >> (x & 7));
      row[x >> 3] = static_cast<BYTE>(v ? row[x >> 3] | m : row[x >> 3] & ~m);
      break;
    }
    case 4:
      if (x & 1)
        row[x >> 1] = static_cast<BYTE>((row[x >> 1] & 0xF0) | (v & 15));
      else
        row[x >> 1] = static_cast<BYTE>((row[x >> 1] & 0x0F) | (v & 15) << 4);
      break;
    default: {
      int bytes = bits / 8;
      for (int i = 0; i < bytes; ++i) row[x * bytes + i] = static_cast<BYTE>(v >> (8 * i));
    }
  }
}

}  // namespace

// Pixel access shared with the orientation changes.
uint32_t DibPixelAt(const BYTE *row, int32_t x, int bits) { return GetPixel(row, x, bits); }
void DibSetPixelAt(BYTE *row, int32_t x, int bits, uint32_t value) { SetPixel(row, x, bits, value); }

void *DibScaleNearest(const void *dib, int32_t tw, int32_t th) {
  DibView s;
  if (!DibViewOf(dib, &s) || tw <= 0 || th <= 0) return nullptr;
  uint32_t stride;
  BYTE *out = NewLike(s, tw, th, &stride);
  if (!out) return nullptr;
  BYTE *dst = out + s.headerBytes;
  for (int32_t y = 0; y < th; ++y) {
    const BYTE *src = s.bits + static_cast<size_t>(static_cast<int64_t>(y) * s.height / th) * s.stride;
    BYTE *d = dst + static_cast<size_t>(y) * stride;
    for (int32_t x = 0; x < tw; ++x)
      SetPixel(d, x, s.bitCount, GetPixel(src, static_cast<int32_t>(static_cast<int64_t>(x) * s.width / tw), s.bitCount));
  }
  return out;
}

void *DibScale(const void *dib, const RECT *target, int smooth, int abortable) {
  if (!dib || !target || target->right <= 0 || target->bottom <= 0) return nullptr;
  int32_t tw = target->right, th = target->bottom;
  DibView s;
  if (!DibViewOf(dib, &s)) return nullptr;
  void *work = nullptr;
  if (s.bitCount != 24 || s.header->biCompression != BI_RGB) {
    work = DibToRgb24(dib);
    if (!work) return DibScaleNearest(dib, tw, th);
    DibViewOf(work, &s);
  }
  uint32_t stride;
  BYTE *out = NewLike(s, tw, th, &stride);
  if (out) {
    BYTE *dst = out + s.headerBytes;
    if (tw == s.width && th == s.height)
      memcpy(dst, s.bits, static_cast<size_t>(stride) * th);
    else if (s.width / tw >= 2 && s.height / th >= 2)
      BoxAverage(s, dst, stride, tw, th);
    else
      Interpolate(s, dst, stride, tw, th);
  }
  MemFree(&work);
  return out;
}

int DibScaleSteps(int32_t sw, int32_t sh, int32_t tw, int32_t th, SIZE *steps, int max) {
  if (sw <= 0 || sh <= 0 || tw <= 0 || th <= 0 || !steps || max <= 0) return 0;
  int count = 0;
  if (static_cast<int64_t>(sw) * 5 < static_cast<int64_t>(tw) * 2 &&
      static_cast<int64_t>(sh) * 5 < static_cast<int64_t>(th) * 2 && sw > 10 && sh > 10) {
    double gx = static_cast<double>(tw) / sw, gy = static_cast<double>(th) / sh;
    double g = gx > gy ? gx : gy;
    int32_t cw = static_cast<int32_t>(tw / g), ch = static_cast<int32_t>(th / g);
    while (count < max - 1) {
      int32_t nw = static_cast<int32_t>(cw * 1.5), nh = static_cast<int32_t>(ch * 1.5);
      if (nw > tw || nh > th || static_cast<double>(nw) / tw > 0.8 || static_cast<double>(nh) / th > 0.8) break;
      // A side that has not grown yet (the narrow side of a long picture)
      // is kept at least one pixel wide so that every step is a picture.
      if (nw < 1) nw = 1;
      if (nh < 1) nh = 1;
      steps[count].cx = nw;
      steps[count].cy = nh;
      ++count;
      cw = nw;
      ch = nh;
    }
  }
  steps[count].cx = tw;
  steps[count].cy = th;
  return count + 1;
}

void *DibScaleSmooth(const void *dib, const RECT *target, int smooth, int abortable) {
  SIZE size;
  if (!dib || !target || !DibGetSize(dib, &size)) return nullptr;
  if (size.cx == target->right && size.cy == target->bottom) return MemDup(dib);
  SIZE steps[64];
  int count = DibScaleSteps(size.cx, size.cy, target->right, target->bottom, steps, 64);
  if (!count) return nullptr;
  void *current = nullptr;
  for (int i = 0; i < count; ++i) {
    RECT r = {0, 0, steps[i].cx, steps[i].cy};
    void *next = DibScale(current ? current : dib, &r, smooth, abortable);
    MemFree(&current);
    if (!next) return nullptr;
    current = next;
  }
  return current;
}

int FitRect(RECT *rect, int32_t maxWidth, int32_t maxHeight, int force) {
  if (!rect) return 0;
  if (rect->right == rect->left || rect->bottom == rect->top) return 0;
  double width = rect->right, height = rect->bottom;
  if (force || width > maxWidth || height > maxHeight) {
    int64_t w, h;
    if (static_cast<double>(maxWidth) * height < static_cast<double>(maxHeight) * width) {
      w = maxWidth;
      h = static_cast<int64_t>(height * maxWidth / width + 0.5);
    } else {
      w = static_cast<int64_t>(width * maxHeight / height + 0.5);
      h = maxHeight;
    }
    rect->right = static_cast<LONG>(w < 1 ? 1 : w);
    rect->bottom = static_cast<LONG>(h < 1 ? 1 : h);
  }
  return 1;
}

void *DibThumbnail(const void *dib, int32_t maxWidth, int32_t maxHeight, int force, int smooth, int abortable) {
  RECT r;
  if (!DibGetRect(dib, &r)) return nullptr;
  if (!FitRect(&r, maxWidth, maxHeight, force)) return nullptr;
  return DibScaleSmooth(dib, &r, smooth, abortable);
}
