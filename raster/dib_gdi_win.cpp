// The image object and the GDI: device bitmaps to and from Dibs, drawing a
// Dib 1:1 or stretched, capturing a device context, copying part of a
// bitmap, the solid frame and the drop shadow. Device contexts, bitmaps and
// palettes taken here are released before each call returns.
#include <cstring>

#include "raster/dib_internal.h"
#include "shell/base/mem_block.h"

const char *const SHADOW_TILE_NAMES[SHADOW_TILE_COUNT] = {"SHADOW_V", "SHADOW_H", "SHADOW_HV", "SHADOW_HL",
                                                          "SHADOW_VT"};

namespace {

const BITMAPINFO *InfoOf(const void *dib) { return static_cast<const BITMAPINFO *>(dib); }

}  // namespace

void *DibFromBitmap(HBITMAP bitmap, DWORD compression, int bitCount, HPALETTE palette) {
  if (!bitmap) return nullptr;
  if (!palette) palette = static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));
  BITMAP bm;
  if (!GetObject(bitmap, sizeof bm, &bm)) return nullptr;
  int bits = bitCount ? bitCount : bm.bmPlanes * bm.bmBitsPixel;
  BITMAPINFOHEADER h = {};
  h.biSize = sizeof h;
  h.biWidth = bm.bmWidth;
  h.biHeight = bm.bmHeight;
  h.biPlanes = 1;
  h.biBitCount = static_cast<WORD>(bits);
  h.biCompression = compression;
  uint32_t stride = DibStride(h.biWidth, bits);
  if (!stride || h.biHeight <= 0 || static_cast<uint64_t>(stride) * h.biHeight > DIB_MAX_PIXEL_BYTES) return nullptr;

  HDC screen = GetDC(nullptr);
  HPALETTE oldPalette = SelectPalette(screen, palette, FALSE);
  RealizePalette(screen);
  void *dib = nullptr;
  // Room for a full table and the bit-field masks, whatever GetDIBits reports.
  size_t headerRoom = sizeof h + DibPaletteSize(&h) + 12;
  BYTE *block = static_cast<BYTE *>(MemAlloc(headerRoom));
  if (block) {
    memcpy(block, &h, sizeof h);
    BITMAPINFOHEADER *bh = reinterpret_cast<BITMAPINFOHEADER *>(block);
    if (GetDIBits(screen, bitmap, 0, static_cast<UINT>(h.biHeight), nullptr, reinterpret_cast<BITMAPINFO *>(block),
                  DIB_RGB_COLORS)) {
      uint64_t whole = static_cast<uint64_t>(stride) * h.biHeight;
      if (!bh->biSizeImage) bh->biSizeImage = static_cast<DWORD>(compression == BI_RGB ? whole : whole * 3 / 2);
      // Uncompressed rows always get stride * height bytes.
      if ((compression == BI_RGB || compression == BI_BITFIELDS) && bh->biSizeImage < whole)
        bh->biSizeImage = static_cast<DWORD>(whole);
      size_t total = sizeof h + DibPaletteSize(bh) + bh->biSizeImage;
      BYTE *grown = static_cast<BYTE *>(MemRealloc(block, total > headerRoom ? total : headerRoom));
      if (grown) {
        block = grown;
        if (GetDIBits(screen, bitmap, 0, static_cast<UINT>(h.biHeight), DibBits(block),
                      reinterpret_cast<BITMAPINFO *>(block), DIB_RGB_COLORS)) {
          dib = block;
          block = nullptr;
        }
      }
    }
    MemFree(&block);
  }
  SelectPalette(screen, oldPalette, FALSE);
  ReleaseDC(nullptr, screen);
  return dib;
}

HBITMAP DibToBitmap(const void *dib, HPALETTE palette) {
  DibView v;
  if (!DibViewOf(dib, &v)) return nullptr;
  HDC screen = GetDC(nullptr);
  HPALETTE oldPalette = nullptr;
  if (palette) {
    oldPalette = SelectPalette(screen, palette, FALSE);
    RealizePalette(screen);
  }
  HBITMAP bitmap = CreateDIBitmap(screen, v.header, CBM_INIT, v.bits, InfoOf(dib), DIB_RGB_COLORS);
  if (oldPalette) SelectPalette(screen, oldPalette, FALSE);
  ReleaseDC(nullptr, screen);
  return bitmap;
}

int DibDraw(HDC dc, int x, int y, int w, int h, const void *dib, int xSrc, int ySrc) {
  DibView v;
  if (!dc || !DibViewOf(dib, &v)) return 0;
  // Source offsets are top-down like everything else; the rows are bottom-up.
  SetDIBitsToDevice(dc, x, y, static_cast<DWORD>(w), static_cast<DWORD>(h), xSrc, v.height - h - ySrc, 0,
                    static_cast<UINT>(v.height), v.bits, InfoOf(dib), DIB_RGB_COLORS);
  return 1;
}

int DibStretchDraw(HDC dc, int xd, int yd, int wd, int hd, const void *dib, int xs, int ys, int ws, int hs) {
  DibView v;
  if (!dc || !DibViewOf(dib, &v)) return 0;
  if (wd == ws && hd == hs) {
    SetDIBitsToDevice(dc, xd, yd, static_cast<DWORD>(wd), static_cast<DWORD>(hd), xs, v.height - hd - ys, 0,
                      static_cast<UINT>(v.height), v.bits, InfoOf(dib), DIB_RGB_COLORS);
  } else {
    StretchDIBits(dc, xd, yd, wd, hd, xs, v.height - hs - ys, ws, hs, v.bits, InfoOf(dib), DIB_RGB_COLORS, SRCCOPY);
  }
  return 1;
}

void *CaptureDC(HDC dc, int w, int h) {
  if (!dc || w <= 0 || h <= 0) return nullptr;
  HBITMAP bitmap = CreateCompatibleBitmap(dc, w, h);
  if (!bitmap) return nullptr;
  void *dib = nullptr;
  HDC mem = CreateCompatibleDC(dc);
  if (mem) {
    HGDIOBJ old = SelectObject(mem, bitmap);
    BOOL ok = BitBlt(mem, 0, 0, w, h, dc, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
    if (ok) dib = DibFromBitmap(bitmap, BI_RGB, 24, nullptr);
  }
  DeleteObject(bitmap);
  return dib;
}

HBITMAP BitmapCopyRect(HBITMAP bitmap, const RECT *rect) {
  if (!bitmap || !rect) return nullptr;
  int w = rect->right - rect->left, h = rect->bottom - rect->top;
  BITMAP bm;
  if (w <= 0 || h <= 0 || !GetObject(bitmap, sizeof bm, &bm)) return nullptr;
  HBITMAP copy = CreateBitmap(w, h, bm.bmPlanes, bm.bmBitsPixel, nullptr);
  if (!copy) return nullptr;
  HDC src = CreateCompatibleDC(nullptr), dst = CreateCompatibleDC(nullptr);
  BOOL ok = FALSE;
  if (src && dst) {
    HGDIOBJ oldSrc = SelectObject(src, bitmap), oldDst = SelectObject(dst, copy);
    ok = BitBlt(dst, 0, 0, w, h, src, rect->left, rect->top, SRCCOPY);
    SelectObject(src, oldSrc);
    SelectObject(dst, oldDst);
  }
  if (src) DeleteDC(src);
  if (dst) DeleteDC(dst);
  if (!ok) {
    DeleteObject(copy);
    return nullptr;
  }
  return copy;
}

int DrawSolidFrame(HDC dc, int left, int top, int right, int bottom, int thickness, COLORREF colour) {
  if (!dc) return 0;
  HBRUSH brush = CreateSolidBrush(colour);
  if (!brush) return 0;
  RECT strips[4] = {{left, top, left + thickness, bottom},
                    {right - thickness, top, right, bottom},
                    {left, top, right, top + thickness},
                    {left, bottom - thickness, right, bottom}};
  for (const RECT &r : strips) FillRect(dc, &r, brush);
  DeleteObject(brush);
  return 1;
}

namespace {

// Darkens one w x h area of the context at (x, y) by the tile resized to it.
int BurnPiece(HDC dc, int x, int y, int w, int h, const void *tile) {
  if (w <= 0 || h <= 0) return 1;  // nothing of this piece to paint
  HBITMAP bitmap = CreateCompatibleBitmap(dc, w, h);
  if (!bitmap) return 0;
  HDC mem = CreateCompatibleDC(dc);
  BOOL ok = FALSE;
  if (mem) {
    HGDIOBJ old = SelectObject(mem, bitmap);
    ok = BitBlt(mem, 0, 0, w, h, dc, x, y, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
  }
  void *area = ok ? DibFromBitmap(bitmap, BI_RGB, 24, nullptr) : nullptr;
  DeleteObject(bitmap);
  RECT size = {0, 0, w, h};
  void *sized = area ? DibScaleSmooth(tile, &size, 1, 0) : nullptr;
  int done = sized && DibBurn(area, sized) && DibDraw(dc, x, y, w, h, area, 0, 0);
  MemFree(&sized);
  MemFree(&area);
  return done;
}

}  // namespace

int DrawDropShadow(HDC dc, const RECT *rect, void *const tiles[SHADOW_TILE_COUNT]) {
  if (!dc || !rect || !tiles) return 0;
  for (int i = 0; i < SHADOW_TILE_COUNT; ++i)
    if (!DibIsWhole(tiles[i])) return 0;
  const int t = static_cast<const BITMAPINFOHEADER *>(tiles[SHADOW_TILE_H])->biHeight;
  const LONG l = rect->left, tp = rect->top, r = rect->right, b = rect->bottom;
  if (!BurnPiece(dc, l + t, b, r - l - t, t, tiles[SHADOW_TILE_H])) return 0;   // bottom strip
  if (!BurnPiece(dc, r, tp + t, t, b - tp - t, tiles[SHADOW_TILE_V])) return 0;  // right strip
  if (!BurnPiece(dc, r, b, t, t, tiles[SHADOW_TILE_HV])) return 0;               // bottom-right corner
  if (!BurnPiece(dc, l, b, t, t, tiles[SHADOW_TILE_HL])) return 0;               // bottom-left corner
  if (!BurnPiece(dc, r, tp, t, t, tiles[SHADOW_TILE_VT])) return 0;              // top-right corner
  return 1;
}
