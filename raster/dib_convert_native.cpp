// Depth conversion where the GDI is not available (native builds): the same
// palette rules as the Windows version, with an exact nearest-colour mapping
// (smallest squared distance, first entry on ties, no dithering) in place of
// the system blit. The Windows build uses dib_convert_win.cpp instead.
#include <cstring>

#include "raster/dib_internal.h"
#include "shell/base/mem_block.h"

namespace {

// The first sixteen entries of the stock default palette (the static system colours).
const BYTE DEFAULT_16[16][3] = {
    {0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128},     {128, 0, 128},
    {0, 128, 128},   {192, 192, 192}, {192, 220, 192}, {166, 202, 240}, {255, 251, 240}, {160, 160, 164},
    {128, 128, 128}, {255, 0, 0},     {0, 255, 0},     {255, 255, 0}};

void SetEntry(RGBQUAD *q, int r, int g, int b) {
  q->rgbRed = static_cast<BYTE>(r);
  q->rgbGreen = static_cast<BYTE>(g);
  q->rgbBlue = static_cast<BYTE>(b);
  q->rgbReserved = 0;
}

// A fixed halftone palette: the twenty static colours at both ends, a
// 6 x 6 x 6 colour cube and a grey ramp between them.
void HalftoneTable(RGBQUAD *t) {
  static const BYTE staticTail[4][3] = {{0, 0, 255}, {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
  for (int i = 0; i < 10; ++i) SetEntry(&t[i], DEFAULT_16[i][0], DEFAULT_16[i][1], DEFAULT_16[i][2]);
  for (int i = 0; i < 6; ++i) SetEntry(&t[246 + i], DEFAULT_16[10 + i][0], DEFAULT_16[10 + i][1], DEFAULT_16[10 + i][2]);
  for (int i = 0; i < 4; ++i) SetEntry(&t[252 + i], staticTail[i][0], staticTail[i][1], staticTail[i][2]);
  int k = 10;
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b) SetEntry(&t[k++], r * 51, g * 51, b * 51);
  for (int i = 1; k < 246; ++i, ++k) SetEntry(&t[k], i * 23, i * 23, i * 23);
}

}  // namespace

int DibDefaultPalette(void *newHeader, const void *source) {
  if (!newHeader) return 0;
  BITMAPINFOHEADER *h = static_cast<BITMAPINFOHEADER *>(newHeader);
  RGBQUAD *table = reinterpret_cast<RGBQUAD *>(h + 1);
  const BITMAPINFOHEADER *s = static_cast<const BITMAPINFOHEADER *>(source);
  bool sameDepth = s && MemSize(s) >= sizeof(BITMAPINFOHEADER) && s->biSize == sizeof(BITMAPINFOHEADER) &&
                   s->biBitCount == h->biBitCount;
  switch (h->biBitCount) {
    case 1:
      SetEntry(&table[0], 0, 0, 0);
      SetEntry(&table[1], 255, 255, 255);
      break;
    case 4:
    case 8: {
      int count = 1 << h->biBitCount;
      if (sameDepth) {
        WORD n = DibNumColors(s);
        if (n > count) n = static_cast<WORD>(count);
        if (MemSize(s) >= sizeof(BITMAPINFOHEADER) + n * 4u) {
          memset(table, 0, count * 4u);
          memcpy(table, s + 1, n * 4u);
          break;
        }
      }
      if (count == 16)
        for (int i = 0; i < 16; ++i) SetEntry(&table[i], DEFAULT_16[i][0], DEFAULT_16[i][1], DEFAULT_16[i][2]);
      else
        HalftoneTable(table);
      break;
    }
    default: break;
  }
  return 1;
}

void *DibConvert(const void *dib, int bitCount) {
  DibView v;
  if (!DibViewOf(dib, &v) || !DibIsStoredDepth(bitCount)) return nullptr;
  void *rgb = DibToRgb24(dib);
  if (!rgb) return nullptr;
  DibView s;
  DibViewOf(rgb, &s);
  uint32_t stride = DibStride(v.width, bitCount);
  int colours = bitCount <= 8 ? 1 << bitCount : 0;
  size_t headerBytes = sizeof(BITMAPINFOHEADER) + colours * 4u;
  BYTE *out = static_cast<BYTE *>(MemAlloc(headerBytes + static_cast<size_t>(stride) * v.height));
  if (!out) {
    MemFree(&rgb);
    return nullptr;
  }
  BITMAPINFOHEADER *h = reinterpret_cast<BITMAPINFOHEADER *>(out);
  DibStartConvertedHeader(h, v.width, v.height, bitCount, dib);
  const RGBQUAD *table = reinterpret_cast<const RGBQUAD *>(h + 1);
  BYTE *bits = out + headerBytes;
  uint32_t lastColour = 0xFFFFFFFFu;
  int lastIndex = 0;
  for (int32_t y = 0; y < v.height; ++y) {
    const BYTE *p = s.bits + static_cast<size_t>(y) * s.stride;
    BYTE *d = bits + static_cast<size_t>(y) * stride;
    for (int32_t x = 0; x < v.width; ++x, p += 3) {
      int b = p[0], g = p[1], r = p[2];
      switch (bitCount) {
        case 24: memcpy(d + x * 3, p, 3); continue;
        case 32: memcpy(d + x * 4, p, 3); continue;
        case 16: {
          unsigned w = static_cast<unsigned>((r >> 3) << 10 | (g >> 3) << 5 | (b >> 3));
          d[x * 2] = static_cast<BYTE>(w);
          d[x * 2 + 1] = static_cast<BYTE>(w >> 8);
          continue;
        }
        default: break;
      }
      uint32_t colour = static_cast<uint32_t>(r | g << 8 | b << 16);
      if (colour != lastColour) {
        int best = 0;
        long bestDistance = -1;
        for (int i = 0; i < colours; ++i) {
          long dr = r - table[i].rgbRed, dg = g - table[i].rgbGreen, db = b - table[i].rgbBlue;
          long distance = dr * dr + dg * dg + db * db;
          if (bestDistance < 0 || distance < bestDistance) {
            bestDistance = distance;
            best = i;
          }
        }
        lastColour = colour;
        lastIndex = best;
      }
      int perByte = 8 / bitCount;
      int shift = (perByte - 1 - x % perByte) * bitCount;
      d[x / perByte] = static_cast<BYTE>(d[x / perByte] | lastIndex << shift);
    }
  }
  MemFree(&rgb);
  return out;
}
