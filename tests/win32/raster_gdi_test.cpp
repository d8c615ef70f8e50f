// The raster code against the real GDI (under Wine): device bitmaps to and
// from Dibs, drawing 1:1 and stretched, capture, copying part of a bitmap,
// the solid frame, the drop shadow from the tile resources, depth conversion
// and pictures from resources. Pixels are read back from DIB sections.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "raster/dib.h"
#include "shell/base/mem_block.h"

namespace {

// A memory context drawing into a top-down 32-bit DIB section, filled with one colour.
struct Canvas {
  HDC dc = nullptr;
  HBITMAP section = nullptr;
  HGDIOBJ old = nullptr;
  uint32_t *pixels = nullptr;
  int w, h;
  Canvas(int width, int height, COLORREF fill) : w(width), h(height) {
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void *bits = nullptr;
    section = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    pixels = static_cast<uint32_t *>(bits);
    dc = CreateCompatibleDC(nullptr);
    old = SelectObject(dc, section);
    HBRUSH brush = CreateSolidBrush(fill);
    RECT all = {0, 0, w, h};
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    GdiFlush();
  }
  ~Canvas() {
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(section);
  }
  // As COLORREF (red in the low byte).
  COLORREF At(int x, int y) {
    GdiFlush();
    uint32_t p = pixels[y * w + x];
    return RGB((p >> 16) & 255, (p >> 8) & 255, p & 255);
  }
};

uint8_t *Bits24(void *dib) { return static_cast<uint8_t *>(dib) + 40; }
int Stride24(int w) { return (24 * w + 31) / 32 * 4; }

// 24-bit Dib whose pixel at top-down (x, y) is Colour(x, y).
COLORREF Colour(int x, int y) { return RGB(x * 20 + 5, y * 30 + 7, (x * 7 + y * 11) % 256); }
void *Pattern(int w, int h) {
  void *dib = DibCreateSolid(w, h, 24, 0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint8_t *p = Bits24(dib) + (h - 1 - y) * Stride24(w) + x * 3;
      COLORREF c = Colour(x, y);
      p[0] = GetBValue(c);
      p[1] = GetGValue(c);
      p[2] = GetRValue(c);
    }
  return dib;
}
COLORREF DibAt(void *dib, int x, int y) {
  const BITMAPINFOHEADER *h = static_cast<const BITMAPINFOHEADER *>(dib);
  const uint8_t *p = DibBits(dib) + (h->biHeight - 1 - y) * Stride24(h->biWidth) + x * 3;
  return RGB(p[2], p[1], p[0]);
}

}  // namespace

TEST(DibGdi, DrawPlacesTheTopRowAtTheTop) {
  void *dib = Pattern(5, 4);
  Canvas c(12, 10, RGB(1, 1, 1));
  EXPECT_EQ(DibDraw(c.dc, 3, 2, 5, 4, dib, 0, 0), 1);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(c.At(3 + x, 2 + y), Colour(x, y)) << x << "," << y;
  EXPECT_EQ(c.At(2, 2), RGB(1, 1, 1));
  EXPECT_EQ(c.At(8, 5), RGB(1, 1, 1));
  EXPECT_EQ(DibDraw(c.dc, 0, 0, 5, 4, nullptr, 0, 0), 0);
  MemFree(&dib);
}

TEST(DibGdi, StretchDrawSameSizeAndScaled) {
  void *dib = Pattern(6, 5);
  Canvas c(20, 20, RGB(0, 0, 0));
  // A 3 x 2 part starting at top-down (2, 1), same size.
  EXPECT_EQ(DibStretchDraw(c.dc, 0, 0, 3, 2, dib, 2, 1, 3, 2), 1);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(c.At(x, y), Colour(2 + x, 1 + y)) << x << "," << y;
  // The whole picture doubled, each pixel a 2 x 2 block.
  SetStretchBltMode(c.dc, COLORONCOLOR);
  EXPECT_EQ(DibStretchDraw(c.dc, 5, 5, 12, 10, dib, 0, 0, 6, 5), 1);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 12; ++x) EXPECT_EQ(c.At(5 + x, 5 + y), Colour(x / 2, y / 2)) << x << "," << y;
  EXPECT_EQ(DibStretchDraw(nullptr, 0, 0, 1, 1, dib, 0, 0, 1, 1), 0);
  EXPECT_EQ(DibStretchDraw(c.dc, 0, 0, 1, 1, nullptr, 0, 0, 1, 1), 0);
  MemFree(&dib);
}

TEST(DibGdi, BitmapRoundTripAndCapture) {
  void *dib = Pattern(7, 3);
  HBITMAP bitmap = DibToBitmap(dib, nullptr);
  ASSERT_NE(bitmap, nullptr);
  BITMAP bm;
  GetObject(bitmap, sizeof bm, &bm);
  EXPECT_EQ(bm.bmWidth, 7);
  EXPECT_EQ(bm.bmHeight, 3);
  void *back = DibFromBitmap(bitmap, BI_RGB, 24, nullptr);
  ASSERT_NE(back, nullptr);
  const BITMAPINFOHEADER *h = static_cast<const BITMAPINFOHEADER *>(back);
  EXPECT_EQ(h->biBitCount, 24);
  EXPECT_EQ(h->biWidth, 7);
  EXPECT_EQ(h->biHeight, 3);
  EXPECT_TRUE(DibIsWhole(back));
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 7; ++x) EXPECT_EQ(DibAt(back, x, y), Colour(x, y));
  // Part of the bitmap.
  RECT part = {2, 1, 5, 3};
  HBITMAP copy = BitmapCopyRect(bitmap, &part);
  ASSERT_NE(copy, nullptr);
  void *partDib = DibFromBitmap(copy, BI_RGB, 24, nullptr);
  ASSERT_NE(partDib, nullptr);
  EXPECT_EQ(static_cast<const BITMAPINFOHEADER *>(partDib)->biWidth, 3);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(DibAt(partDib, x, y), Colour(2 + x, 1 + y));
  RECT empty = {2, 2, 2, 5};
  EXPECT_EQ(BitmapCopyRect(bitmap, &empty), nullptr);

  // Capture of a context: what was drawn comes back as a 24-bit Dib.
  Canvas c(9, 6, RGB(40, 50, 60));
  DibDraw(c.dc, 1, 1, 7, 3, dib, 0, 0);
  void *shot = CaptureDC(c.dc, 9, 6);
  ASSERT_NE(shot, nullptr);
  EXPECT_EQ(static_cast<const BITMAPINFOHEADER *>(shot)->biBitCount, 24);
  EXPECT_EQ(DibAt(shot, 0, 0), RGB(40, 50, 60));
  EXPECT_EQ(DibAt(shot, 3, 2), Colour(2, 1));
  EXPECT_EQ(CaptureDC(c.dc, 0, 6), nullptr);
  EXPECT_EQ(DibFromBitmap(nullptr, BI_RGB, 24, nullptr), nullptr);
  EXPECT_EQ(DibToBitmap(nullptr, nullptr), nullptr);
  for (void *p : {dib, back, partDib, shot}) MemFree(&p);
  DeleteObject(copy);
  DeleteObject(bitmap);
}

TEST(DibGdi, SolidFrame) {
  Canvas c(20, 16, RGB(255, 255, 255));
  const COLORREF red = RGB(200, 10, 10);
  EXPECT_EQ(DrawSolidFrame(c.dc, 2, 3, 18, 14, 3, red), 1);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 20; ++x) {
      bool inside = x >= 2 && x < 18 && y >= 3 && y < 14;
      bool strip = inside && (x < 5 || x >= 15 || y < 6 || y >= 11);
      EXPECT_EQ(c.At(x, y), strip ? red : RGB(255, 255, 255)) << x << "," << y;
    }
}

namespace {

const int EDGE[8] = {88, 109, 136, 168, 201, 233, 255, 255};
const int CORNER[8][8] = {{115, 133, 157, 185, 214, 242, 255, 255}, {133, 150, 172, 197, 223, 249, 255, 255},
                          {157, 172, 190, 212, 235, 255, 255, 255}, {185, 197, 212, 230, 249, 255, 255, 255},
                          {214, 223, 235, 249, 255, 255, 255, 255}, {242, 249, 255, 255, 255, 255, 255, 255},
                          {255, 255, 255, 255, 255, 255, 255, 255}, {255, 255, 255, 255, 255, 255, 255, 255}};

struct Tiles {
  void *t[SHADOW_TILE_COUNT] = {};
  Tiles() {
    for (int i = 0; i < SHADOW_TILE_COUNT; ++i) t[i] = DibFromResource(GetModuleHandleA(nullptr), SHADOW_TILE_NAMES[i]);
  }
  ~Tiles() {
    for (void *&p : t) MemFree(&p);
  }
};

COLORREF Grey(int v) { return RGB(v, v, v); }

}  // namespace

TEST(DibGdi, TilesComeFromTheResources) {
  Tiles tiles;
  const int sizes[SHADOW_TILE_COUNT][2] = {{8, 32}, {32, 8}, {8, 8}, {8, 8}, {8, 8}};
  for (int i = 0; i < SHADOW_TILE_COUNT; ++i) {
    ASSERT_NE(tiles.t[i], nullptr) << SHADOW_TILE_NAMES[i];
    const BITMAPINFOHEADER *h = static_cast<const BITMAPINFOHEADER *>(tiles.t[i]);
    EXPECT_EQ(h->biWidth, sizes[i][0]);
    EXPECT_EQ(h->biHeight, sizes[i][1]);
    EXPECT_EQ(h->biBitCount, 24);
  }
  EXPECT_EQ(DibAt(tiles.t[SHADOW_TILE_H], 5, 2), Grey(EDGE[2]));
  EXPECT_EQ(DibAt(tiles.t[SHADOW_TILE_HL], 7, 0), Grey(CORNER[0][0]));
}

TEST(DibGdi, DropShadowOnWhiteIsTheTiles) {
  Tiles tiles;
  Canvas c(80, 80, RGB(255, 255, 255));
  // Rectangle chosen so that both strips are exactly tile-sized (32 long).
  RECT r = {10, 10, 50, 50};
  ASSERT_EQ(DrawDropShadow(c.dc, &r, tiles.t), 1);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 32; ++x) ASSERT_EQ(c.At(18 + x, 50 + y), Grey(EDGE[y])) << "bottom " << x << "," << y;
    for (int x = 0; x < 8; ++x) {
      ASSERT_EQ(c.At(50 + x, 50 + y), Grey(CORNER[y][x])) << "corner " << x << "," << y;
      ASSERT_EQ(c.At(10 + x, 50 + y), Grey(CORNER[y][7 - x])) << "left corner " << x << "," << y;
      ASSERT_EQ(c.At(50 + x, 10 + y), Grey(CORNER[7 - y][x])) << "top corner " << x << "," << y;
    }
  }
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 8; ++x) ASSERT_EQ(c.At(50 + x, 18 + y), Grey(EDGE[x])) << "right " << x << "," << y;
  // The rectangle itself and the area left of the shadow are untouched.
  EXPECT_EQ(c.At(30, 30), RGB(255, 255, 255));
  EXPECT_EQ(c.At(5, 52), RGB(255, 255, 255));
}

TEST(DibGdi, DropShadowDarkensWhatIsThere) {
  Tiles tiles;
  Canvas c(60, 60, RGB(200, 150, 100));
  RECT r = {4, 4, 44, 44};
  ASSERT_EQ(DrawDropShadow(c.dc, &r, tiles.t), 1);
  for (int y = 0; y < 8; ++y) {
    int g = EDGE[y];
    auto burn = [g](int v) { return v + g - 255 < 0 ? 0 : v + g - 255; };
    EXPECT_EQ(c.At(20, 44 + y), RGB(burn(200), burn(150), burn(100))) << y;
  }
  void *missing[SHADOW_TILE_COUNT] = {tiles.t[0], tiles.t[1], nullptr, tiles.t[3], tiles.t[4]};
  EXPECT_EQ(DrawDropShadow(c.dc, &r, missing), 0);
}

TEST(DibGdi, ConvertThroughTheGdi) {
  void *dib = Pattern(9, 4);
  // Up to 32 and back down to 24 keeps every colour.
  void *wide = DibConvert(dib, 32);
  ASSERT_NE(wide, nullptr);
  void *back = DibToRgb24(wide);
  ASSERT_NE(back, nullptr);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 9; ++x) EXPECT_EQ(DibAt(back, x, y), Colour(x, y));
  // One bit: black and white table, light pixels become entry 1.
  void *grey = DibCreateSolid(10, 3, 24, RGB(250, 250, 250));
  void *mono = DibConvert(grey, 1);
  ASSERT_NE(mono, nullptr);
  const uint8_t *m = static_cast<const uint8_t *>(mono);
  EXPECT_EQ(m[40 + 4], 255);
  EXPECT_EQ(m[40 + 0], 0);
  EXPECT_EQ(DibBits(mono)[0] & 0x80, 0x80);
  // Eight bits from 24: the halftone palette; pure red is found exactly.
  void *red = DibCreateSolid(4, 4, 8, RGB(255, 0, 0));
  ASSERT_NE(red, nullptr);
  EXPECT_EQ(static_cast<const BITMAPINFOHEADER *>(red)->biBitCount, 8);
  HDC screen = GetDC(nullptr);
  HPALETTE halftone = CreateHalftonePalette(screen);
  ReleaseDC(nullptr, screen);
  PALETTEENTRY entries[256] = {};
  GetPaletteEntries(halftone, 0, 256, entries);
  DeleteObject(halftone);
  const RGBQUAD *table = reinterpret_cast<const RGBQUAD *>(static_cast<uint8_t *>(red) + 40);
  for (int i = 0; i < 256; ++i) {
    ASSERT_EQ(table[i].rgbRed, entries[i].peRed) << i;
    ASSERT_EQ(table[i].rgbBlue, entries[i].peBlue) << i;
  }
  int index = DibBits(red)[0];
  EXPECT_EQ(table[index].rgbRed, 255);
  EXPECT_EQ(table[index].rgbGreen, 0);
  EXPECT_EQ(table[index].rgbBlue, 0);
  // Four bits: the stock default palette's first sixteen entries.
  void *four = DibConvert(dib, 4);
  ASSERT_NE(four, nullptr);
  PALETTEENTRY stock[16] = {};
  GetPaletteEntries(static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), 0, 16, stock);
  const RGBQUAD *t4 = reinterpret_cast<const RGBQUAD *>(static_cast<uint8_t *>(four) + 40);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(t4[i].rgbGreen, stock[i].peGreen) << i;
  EXPECT_EQ(DibConvert(nullptr, 8), nullptr);
  for (void *p : {dib, wide, back, grey, mono, red, four}) MemFree(&p);
}

TEST(DibGdi, PicturesFromResources) {
  void *banner = DibFromResource(GetModuleHandleA(nullptr), "BANNER");
  ASSERT_NE(banner, nullptr);
  const BITMAPINFOHEADER *h = static_cast<const BITMAPINFOHEADER *>(banner);
  EXPECT_EQ(h->biWidth, 360);
  EXPECT_EQ(h->biHeight, 180);
  EXPECT_EQ(h->biBitCount, 24);
  MemFree(&banner);
  HBITMAP bitmap = BitmapFromResource(GetModuleHandleA(nullptr), "SHADOW_HV");
  ASSERT_NE(bitmap, nullptr);
  BITMAP bm;
  GetObject(bitmap, sizeof bm, &bm);
  EXPECT_EQ(bm.bmWidth, 8);
  DeleteObject(bitmap);
  EXPECT_EQ(DibFromResource(GetModuleHandleA(nullptr), "NO_SUCH_PICTURE"), nullptr);
  EXPECT_EQ(BitmapFromResource(GetModuleHandleA(nullptr), "NO_SUCH_PICTURE"), nullptr);
}
