// Depth conversion through the GDI: the picture is blitted from one DIB
// section into another whose colour table comes from DibDefaultPalette, so
// the system chooses the nearest palette entries. Native builds use
// dib_convert_native.cpp instead.
#include <cstring>

#include "raster/dib_internal.h"
#include "shell/base/mem_block.h"

namespace {

constexpr size_t SCRATCH_HEADER_SIZE = sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD) + 12;

void FromPaletteEntries(RGBQUAD *table, const PALETTEENTRY *entries, int count) {
  for (int i = 0; i < count; ++i) {
    table[i].rgbRed = entries[i].peRed;
    table[i].rgbGreen = entries[i].peGreen;
    table[i].rgbBlue = entries[i].peBlue;
    table[i].rgbReserved = entries[i].peFlags;
  }
}

// Copies the source's own table when it has the same depth (only the entries it has).
bool CopySourceTable(RGBQUAD *table, const void *source, int depth) {
  const BITMAPINFOHEADER *s = static_cast<const BITMAPINFOHEADER *>(source);
  if (!s || MemSize(s) < sizeof(BITMAPINFOHEADER) || s->biSize != sizeof(BITMAPINFOHEADER) ||
      s->biBitCount != depth)
    return false;
  int n = DibNumColors(s);
  if (n > (1 << depth)) n = 1 << depth;
  if (MemSize(s) < sizeof(BITMAPINFOHEADER) + n * sizeof(RGBQUAD)) return false;
  memset(table, 0, (1u << depth) * sizeof(RGBQUAD));
  memcpy(table, s + 1, n * sizeof(RGBQUAD));
  return true;
}

}  // namespace

int DibDefaultPalette(void *newHeader, const void *source) {
  if (!newHeader) return 0;
  BITMAPINFOHEADER *h = static_cast<BITMAPINFOHEADER *>(newHeader);
  RGBQUAD *table = reinterpret_cast<RGBQUAD *>(h + 1);
  PALETTEENTRY entries[256];
  switch (h->biBitCount) {
    case 1:
      memset(table, 0, 2 * sizeof(RGBQUAD));
      table[1].rgbRed = table[1].rgbGreen = table[1].rgbBlue = 255;
      break;
    case 4:
      if (CopySourceTable(table, source, 4)) break;
      memset(entries, 0, sizeof entries);
      GetPaletteEntries(static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), 0, 16, entries);
      FromPaletteEntries(table, entries, 16);
      break;
    case 8: {
      if (CopySourceTable(table, source, 8)) break;
      memset(entries, 0, sizeof entries);
      HDC screen = GetDC(nullptr);
      HPALETTE halftone = CreateHalftonePalette(screen);
      ReleaseDC(nullptr, screen);
      if (halftone) {
        GetPaletteEntries(halftone, 0, 256, entries);
        DeleteObject(halftone);
      }
      FromPaletteEntries(table, entries, 256);
      break;
    }
    default: break;
  }
  return 1;
}

void *DibConvert(const void *dib, int bitCount) {
  DibView v;
  if (!DibViewOf(dib, &v) || !DibIsStoredDepth(bitCount)) return nullptr;
  BITMAPINFOHEADER *scratch = static_cast<BITMAPINFOHEADER *>(MemAlloc(SCRATCH_HEADER_SIZE));
  if (!scratch) return nullptr;
  DibStartConvertedHeader(scratch, v.width, v.height, bitCount, dib);

  // The source section is described by the source's own header and table;
  // BITMAPINFO needs room for a full table, so a short one is padded.
  BYTE *sourceInfo = static_cast<BYTE *>(MemAlloc(SCRATCH_HEADER_SIZE));
  void *result = nullptr;
  HDC screen = GetDC(nullptr);
  HDC srcDc = CreateCompatibleDC(screen), dstDc = CreateCompatibleDC(screen);
  void *srcBits = nullptr, *dstBits = nullptr;
  HBITMAP srcSection = nullptr, dstSection = nullptr;
  if (sourceInfo && srcDc && dstDc) {
    memcpy(sourceInfo, v.header, v.headerBytes > SCRATCH_HEADER_SIZE ? SCRATCH_HEADER_SIZE : v.headerBytes);
    dstSection = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO *>(scratch), DIB_RGB_COLORS, &dstBits, nullptr, 0);
    srcSection = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO *>(sourceInfo), DIB_RGB_COLORS, &srcBits, nullptr, 0);
  }
  if (dstSection && srcSection && dstBits && srcBits) {
    memcpy(srcBits, v.bits, static_cast<size_t>(v.stride) * v.height);
    HGDIOBJ oldSrc = SelectObject(srcDc, srcSection), oldDst = SelectObject(dstDc, dstSection);
    if (v.bitCount <= 8) {
      int n = DibNumColors(v.header);
      if (n > (1 << v.bitCount)) n = 1 << v.bitCount;
      SetDIBColorTable(srcDc, 0, static_cast<UINT>(n), reinterpret_cast<const RGBQUAD *>(v.header + 1));
    }
    if (bitCount <= 8)
      SetDIBColorTable(dstDc, 0, 1u << bitCount, reinterpret_cast<const RGBQUAD *>(scratch + 1));
    BOOL blitted = BitBlt(dstDc, 0, 0, v.width, v.height, srcDc, 0, 0, SRCCOPY);
    GdiFlush();
    uint32_t stride = DibStride(v.width, bitCount);
    size_t rows = static_cast<size_t>(stride) * v.height;
    if (blitted) result = MemAlloc(rows + SCRATCH_HEADER_SIZE);
    if (result) {
      memcpy(result, scratch, SCRATCH_HEADER_SIZE);
      memcpy(DibBits(result), dstBits, rows);
    }
    SelectObject(srcDc, oldSrc);
    SelectObject(dstDc, oldDst);
  }
  if (srcSection) DeleteObject(srcSection);
  if (dstSection) DeleteObject(dstSection);
  if (srcDc) DeleteDC(srcDc);
  if (dstDc) DeleteDC(dstDc);
  ReleaseDC(nullptr, screen);
  MemFree(&sourceInfo);
  MemFreePtr(scratch);
  return result;
}
