// Helpers shared by the raster modules and not part of the public interface:
// checked access to a Dib's rows, the BMP reader over a byte source, and the
// raw construction of 24-bit images.
#pragma once

#include "raster/byte_source.h"
#include "raster/dib.h"

// A checked view of a Dib's pixel rows: only filled when the block holds the
// whole header, table and stride * height bytes, so loops over it stay inside.
struct DibView {
  const BITMAPINFOHEADER *header;
  BYTE *bits;          // bottom row first
  int32_t width;
  int32_t height;
  int bitCount;
  uint32_t stride;
  size_t headerBytes;  // biSize + DibPaletteSize
};

int DibViewOf(const void *dib, DibView *view);

// 1 for the depths a picture can be stored at: 1, 4, 8, 16, 24 and 32 bits.
inline int DibIsStoredDepth(int bits) {
  return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// Starts the header of a width x height BI_RGB picture of bitCount bits and
// fills its colour table as DibDefaultPalette does for a copy of source; the
// header needs room for a full table.
inline void DibStartConvertedHeader(BITMAPINFOHEADER *h, int32_t width, int32_t height, int bitCount,
                                    const void *source) {
  h->biSize = sizeof(BITMAPINFOHEADER);
  h->biWidth = width;
  h->biHeight = height;
  h->biPlanes = 1;
  h->biBitCount = static_cast<WORD>(bitCount);
  DibDefaultPalette(h, source);
}

// DibNew at 24 bits.
void *DibNew24(int32_t width, int32_t height);

// The BMP reader over a byte source; report (may be null) receives the reason of a failure.
void *DibReadHeaderFrom(ByteSource *src, PictureReport *report = nullptr);
void *DibLoadFrom(ByteSource *src, PictureReport *report = nullptr);
// 16- or 32-bit (BI_RGB or BI_BITFIELDS) to 24 bits; null for other input.
void *DibWideTo24(const void *dib);

// One pixel of a row at 1, 4, 8, 16, 24 or 32 bits (palette index or packed value).
uint32_t DibPixelAt(const BYTE *row, int32_t x, int bits);
void DibSetPixelAt(BYTE *row, int32_t x, int bits, uint32_t value);
