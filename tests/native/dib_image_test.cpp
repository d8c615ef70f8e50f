// The image object: layout queries, the BMP reader's handling of every header
// form and of untrusted headers, saving, solid images and expansion to 24 bits.
#include "raster/dib.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "shell/base/mem_block.h"
#include "tests/support/raster_pictures.h"
#include "tests/support/temp_folder.h"

using namespace testpic;

namespace {

void WriteBytes(const std::string &path, const std::vector<uint8_t> &bytes) {
  FILE *f = fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  fwrite(bytes.data(), 1, bytes.size(), f);
  fclose(f);
}

std::vector<uint8_t> ReadBytes(const std::string &path) {
  std::vector<uint8_t> out;
  FILE *f = fopen(path.c_str(), "rb");
  if (!f) return out;
  int c;
  while ((c = getc(f)) != EOF) out.push_back(static_cast<uint8_t>(c));
  fclose(f);
  return out;
}

const BITMAPINFOHEADER *Hdr(const void *dib) { return static_cast<const BITMAPINFOHEADER *>(dib); }
const uint8_t *Bytes(const void *dib) { return static_cast<const uint8_t *>(dib); }

// An 8-bit 3 x 2 picture with a 4-entry table; pixel value = 1 + x + y (top-down).
std::vector<uint8_t> Small8BitRows() {
  std::vector<uint8_t> rows(Stride(3, 8) * 2, 0);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) SetPixel(rows.data(), 3, 2, 8, x, y, static_cast<uint32_t>(1 + x + y));
  return rows;
}
std::vector<uint8_t> FourEntryTable() { return {10, 20, 30, 0, 11, 21, 31, 0, 12, 22, 32, 0, 13, 23, 33, 0}; }

}  // namespace

TEST(DibLayout, StrideIsPaddedToFourBytes) {
  EXPECT_EQ(DibStride(100, 24), 300u);
  EXPECT_EQ(DibStride(101, 24), 304u);
  EXPECT_EQ(DibStride(1, 1), 4u);
  EXPECT_EQ(DibStride(33, 1), 8u);
  EXPECT_EQ(DibStride(9, 4), 8u);
  EXPECT_EQ(DibStride(0, 24), 0u);
  EXPECT_EQ(DibStride(0x7FFFFFFF, 32), 0u);  // more than any picture may hold
}

TEST(DibLayout, ColourCountsAndTableSizes) {
  BITMAPINFOHEADER h = {};
  h.biSize = 40;
  h.biBitCount = 8;
  EXPECT_EQ(DibNumColors(&h), 256);
  EXPECT_EQ(DibPaletteSize(&h), 1024);
  h.biClrUsed = 17;
  EXPECT_EQ(DibNumColors(&h), 17);
  EXPECT_EQ(DibPaletteSize(&h), 68);
  h.biClrUsed = 0;
  h.biBitCount = 24;
  EXPECT_EQ(DibNumColors(&h), 0);
  h.biBitCount = 16;
  h.biCompression = BI_BITFIELDS;
  EXPECT_EQ(DibPaletteSize(&h), 12);
  BITMAPCOREHEADER c = {12, 4, 4, 1, 4};
  EXPECT_EQ(DibNumColors(&c), 16);
  EXPECT_EQ(DibPaletteSize(&c), 48);
}

TEST(DibQueries, RectSizeBitCountAndNulls) {
  void *dib = DibCreateSolid(5, 7, 24, RGB(1, 2, 3));
  ASSERT_NE(dib, nullptr);
  RECT r = {9, 9, 9, 9};
  EXPECT_EQ(DibGetRect(dib, &r), 1);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.right, 5);
  EXPECT_EQ(r.bottom, 7);
  EXPECT_EQ(DibGetBitCount(dib), 24);
  SIZE s;
  EXPECT_EQ(DibGetSize(dib, &s), 1);
  EXPECT_EQ(s.cx, 5);
  EXPECT_EQ(s.cy, 7);

  RECT untouched = {1, 2, 3, 4};
  EXPECT_EQ(DibGetRect(nullptr, &untouched), 0);
  EXPECT_EQ(untouched.right, 3);
  void *tiny = MemAlloc(20);
  EXPECT_EQ(DibGetRect(tiny, &untouched), 0);
  EXPECT_EQ(DibGetSize(tiny, &s), 0);
  EXPECT_EQ(DibGetBitCount(nullptr), 0);
  MemFree(&tiny);

  // A height stored as 0 or negative: 0, but the stored values are reported.
  static_cast<BITMAPINFOHEADER *>(dib)->biHeight = -7;
  EXPECT_EQ(DibGetSize(dib, &s), 0);
  EXPECT_EQ(s.cx, 5);
  EXPECT_EQ(s.cy, -7);
  static_cast<BITMAPINFOHEADER *>(dib)->biHeight = 0;
  EXPECT_EQ(DibGetSize(dib, &s), 0);
  EXPECT_EQ(s.cy, 0);
  MemFree(&dib);
}

TEST(DibQueries, GetHeaderFillsImageSizeAndColourCount) {
  BITMAPINFOHEADER *h = static_cast<BITMAPINFOHEADER *>(MemAlloc(40 + 16 * 4 + Stride(10, 4) * 3));
  h->biSize = 40;
  h->biWidth = 10;
  h->biHeight = 3;
  h->biPlanes = 1;
  h->biBitCount = 4;
  BITMAPINFOHEADER out;
  EXPECT_EQ(DibGetHeader(h, &out), 1);
  EXPECT_EQ(out.biSizeImage, 8u * 3);
  EXPECT_EQ(out.biClrUsed, 16u);
  EXPECT_EQ(h->biSizeImage, 0u);  // the Dib itself is unchanged
  EXPECT_EQ(DibGetHeader(nullptr, &out), 0);
  MemFreePtr(h);
}

TEST(DibSolid, TenByTenRedRows) {
  void *dib = DibCreateSolid(10, 10, 24, RGB(255, 0, 0));
  ASSERT_NE(dib, nullptr);
  EXPECT_EQ(Hdr(dib)->biSizeImage, 320u);
  EXPECT_EQ(MemSize(dib), 40u + 320u);
  const uint8_t *bits = Bytes(dib) + 40;
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) {
      const uint8_t *p = bits + y * 32 + x * 3;
      ASSERT_EQ(p[0], 0);
      ASSERT_EQ(p[1], 0);
      ASSERT_EQ(p[2], 255);
    }
  EXPECT_EQ(DibCreateSolid(0, 10, 24, 0), nullptr);
  MemFree(&dib);
}

TEST(DibLoad, BmpFileAndBarePackedDibGiveTheSameImage) {
  TempFolder dir;
  InfoFields f;
  f.width = 3;
  f.height = 2;
  f.bits = 8;
  f.clrUsed = 4;
  std::vector<uint8_t> packed = PackedDib(f, FourEntryTable(), Small8BitRows());
  WriteBytes(dir.File("a.bmp"), BmpFile(packed, 14 + 40 + 16));
  WriteBytes(dir.File("a.dib"), packed);
  void *a = DibLoadFile(dir.File("a.bmp").c_str());
  void *b = DibLoadFile(dir.File("a.dib").c_str());
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  ASSERT_EQ(MemSize(a), MemSize(b));
  EXPECT_EQ(memcmp(a, b, MemSize(a)), 0);
  EXPECT_EQ(MemSize(a), 40u + 16u + 8u);
  EXPECT_EQ(Hdr(a)->biSizeImage, 8u);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(Pixel(Bytes(a) + 56, 3, 2, 8, x, y), static_cast<uint32_t>(1 + x + y));
  EXPECT_EQ(Bytes(a)[40 + 4 * 2 + 2], 32);  // red of entry 2
  EXPECT_EQ(DibProbeFile(dir.File("a.dib").c_str()), 1);
  SIZE s;
  EXPECT_EQ(DibFileSize(dir.File("a.bmp").c_str(), &s), 1);
  EXPECT_EQ(s.cx, 3);
  EXPECT_EQ(s.cy, 2);
  MemFree(&a);
  MemFree(&b);
}

TEST(DibLoad, FileHeaderOffsetIsHonoured) {
  TempFolder dir;
  InfoFields f;
  f.width = 2;
  f.height = 1;
  std::vector<uint8_t> packed = PackedDib(f, {}, {});
  packed.insert(packed.end(), {0xEE, 0xEE, 0xEE, 0xEE});  // gap before the rows
  packed.insert(packed.end(), {1, 2, 3, 4, 5, 6, 0, 0});
  WriteBytes(dir.File("gap.bmp"), BmpFile(packed, 14 + 40 + 4));
  void *dib = DibLoadFile(dir.File("gap.bmp").c_str());
  ASSERT_NE(dib, nullptr);
  EXPECT_EQ(Bytes(dib)[40], 1);
  EXPECT_EQ(Bytes(dib)[45], 6);
  MemFree(&dib);
}

std::vector<uint8_t> CoreHeader(uint16_t w, uint16_t h, uint16_t bits) {
  std::vector<uint8_t> b;
  Put32(b, 12);
  Put16(b, w);
  Put16(b, h);
  Put16(b, 1);
  Put16(b, bits);
  return b;
}

TEST(DibLoad, Os2CoreHeaderIsWidened) {
  TempFolder dir;
  std::vector<uint8_t> core = CoreHeader(3, 2, 8);
  for (int i = 0; i < 256; ++i) {  // triples blue, green, red
    core.push_back(static_cast<uint8_t>(i));
    core.push_back(static_cast<uint8_t>(255 - i));
    core.push_back(static_cast<uint8_t>(i / 2));
  }
  std::vector<uint8_t> rows = Small8BitRows();
  std::vector<uint8_t> packed = core;
  packed.insert(packed.end(), rows.begin(), rows.end());
  WriteBytes(dir.File("os2.dib"), packed);
  WriteBytes(dir.File("os2.bmp"), BmpFile(packed, 14 + 12 + 768));
  for (const char *name : {"os2.dib", "os2.bmp"}) {
    SCOPED_TRACE(name);
    void *dib = DibLoadFile(dir.File(name).c_str());
    ASSERT_NE(dib, nullptr);
    const BITMAPINFOHEADER *h = Hdr(dib);
    EXPECT_EQ(h->biSize, 40u);
    EXPECT_EQ(h->biWidth, 3);
    EXPECT_EQ(h->biHeight, 2);
    EXPECT_EQ(h->biBitCount, 8);
    EXPECT_EQ(h->biClrUsed, 256u);
    const uint8_t *table = Bytes(dib) + 40;
    for (int i = 0; i < 256; ++i) {
      ASSERT_EQ(table[i * 4], i);
      ASSERT_EQ(table[i * 4 + 1], 255 - i);
      ASSERT_EQ(table[i * 4 + 2], i / 2);
      ASSERT_EQ(table[i * 4 + 3], 0);
    }
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 3; ++x)
        EXPECT_EQ(Pixel(table + 1024, 3, 2, 8, x, y), static_cast<uint32_t>(1 + x + y));
    MemFree(&dib);
  }
}

TEST(DibLoad, TinyOs2PictureNeedsNoFortyBytes) {
  TempFolder dir;
  std::vector<uint8_t> b = CoreHeader(1, 1, 1);
  b.insert(b.end(), {0, 0, 0, 255, 255, 255, 0x80, 0, 0, 0});  // 22 bytes in all
  WriteBytes(dir.File("t.dib"), b);
  void *dib = DibLoadFile(dir.File("t.dib").c_str());
  ASSERT_NE(dib, nullptr);
  EXPECT_EQ(Bytes(dib)[40 + 8], 0x80);
  EXPECT_EQ(Bytes(dib)[44 + 2], 255);
  MemFree(&dib);
}

TEST(DibLoad, LaterHeadersAndRunLengthAreRefused) {
  TempFolder dir;
  for (uint32_t size : {108u, 124u, 64u, 0u}) {
    InfoFields f;
    f.size = size;
    std::vector<uint8_t> b = PackedDib(f, {}, std::vector<uint8_t>(200, 0));
    WriteBytes(dir.File("h.bmp"), BmpFile(b, 0));
    EXPECT_EQ(DibLoadFile(dir.File("h.bmp").c_str()), nullptr) << size;
    EXPECT_EQ(DibProbeFile(dir.File("h.bmp").c_str()), 0) << size;
  }
  InfoFields r;
  r.width = 4;
  r.height = 4;
  r.bits = 8;
  r.compression = BI_RLE8;
  r.sizeImage = 4;
  WriteBytes(dir.File("rle.bmp"), BmpFile(PackedDib(r, std::vector<uint8_t>(1024, 0), {0, 1, 0, 1}), 0));
  EXPECT_EQ(DibLoadFile(dir.File("rle.bmp").c_str()), nullptr);
  EXPECT_EQ(DibProbeFile(dir.File("rle.bmp").c_str()), 1);  // a readable header: still a BMP
}

TEST(DibLoad, ShortPixelDataLeavesTheRestZero) {
  TempFolder dir;
  InfoFields f;
  f.width = 4;
  f.height = 3;
  std::vector<uint8_t> rows(12, 0x77);  // one row of three
  WriteBytes(dir.File("short.bmp"), BmpFile(PackedDib(f, {}, rows), 54));
  void *dib = DibLoadFile(dir.File("short.bmp").c_str());
  ASSERT_NE(dib, nullptr);
  ASSERT_EQ(MemSize(dib), 40u + 36u);
  for (int i = 0; i < 36; ++i) EXPECT_EQ(Bytes(dib)[40 + i], i < 12 ? 0x77 : 0) << i;
  MemFree(&dib);
}

TEST(DibLoad, UntrustedHeadersAreCheckedBeforeAllocation) {
  struct Case {
    const char *what;
    InfoFields f;
  };
  std::vector<Case> cases;
  InfoFields f;
  f.width = 0x40000000; cases.push_back({"stride beyond limit", f});
  f = InfoFields(); f.width = 20000; f.height = 20000; cases.push_back({"stride x height beyond limit", f});
  f = InfoFields(); f.width = 70000; f.height = 65536; f.bits = 32; cases.push_back({"32-bit overflow of stride x height", f});
  f = InfoFields(); f.width = 0; cases.push_back({"zero width", f});
  f = InfoFields(); f.width = -5; cases.push_back({"negative width", f});
  f = InfoFields(); f.height = 0; cases.push_back({"zero height", f});
  f = InfoFields(); f.bits = 7; cases.push_back({"odd depth", f});
  f = InfoFields(); f.bits = 0; cases.push_back({"zero depth", f});
  f = InfoFields(); f.planes = 3; cases.push_back({"three planes", f});
  f = InfoFields(); f.bits = 4; f.clrUsed = 17; cases.push_back({"more colours than 2^bits", f});
  f = InfoFields(); f.bits = 8; f.clrUsed = 0x10000; cases.push_back({"colour count beyond 16 bits", f});
  f = InfoFields(); f.compression = 4; cases.push_back({"embedded JPEG", f});
  f = InfoFields(); f.bits = 24; f.compression = BI_BITFIELDS; cases.push_back({"bit fields at 24 bits", f});
  f = InfoFields(); f.bits = 8; f.compression = BI_RLE4; cases.push_back({"RLE4 at 8 bits", f});
  TempFolder dir;
  for (const Case &c : cases) {
    WriteBytes(dir.File("bad.bmp"), BmpFile(PackedDib(c.f, std::vector<uint8_t>(64, 0), {}), 0));
    EXPECT_EQ(DibLoadFile(dir.File("bad.bmp").c_str()), nullptr) << c.what;
    EXPECT_EQ(DibProbeFile(dir.File("bad.bmp").c_str()), 0) << c.what;
  }
  // A truncated header or colour table.
  InfoFields ok;
  ok.bits = 8;
  std::vector<uint8_t> b = BmpFile(PackedDib(ok, std::vector<uint8_t>(100, 0), {}), 0);
  WriteBytes(dir.File("cut.bmp"), b);
  EXPECT_EQ(DibLoadFile(dir.File("cut.bmp").c_str()), nullptr);
  b.resize(40);
  WriteBytes(dir.File("cut.bmp"), b);
  EXPECT_EQ(DibLoadFile(dir.File("cut.bmp").c_str()), nullptr);
  EXPECT_EQ(DibLoadFile(dir.File("missing.bmp").c_str()), nullptr);
}

TEST(DibLoad, SmallImageSizeStillGivesWholeRows) {
  TempFolder dir;
  InfoFields f;
  f.width = 100;
  f.height = 5;
  f.sizeImage = 3;  // claims far less than 300 x 5
  std::vector<uint8_t> rows(1500, 0x21);
  WriteBytes(dir.File("s.bmp"), BmpFile(PackedDib(f, {}, rows), 54));
  void *dib = DibLoadFile(dir.File("s.bmp").c_str());
  ASSERT_NE(dib, nullptr);
  EXPECT_EQ(Hdr(dib)->biSizeImage, 1500u);
  ASSERT_GE(MemSize(dib), 40u + 1500u);
  EXPECT_EQ(Bytes(dib)[40 + 1499], 0x21);
  // Every pixel operation can then walk the whole picture.
  void *turned = DibRotate90(dib);
  EXPECT_NE(turned, nullptr);
  MemFree(&turned);
  MemFree(&dib);
}

TEST(DibLoad, ZeroImageSizeBecomesStrideTimesHeight) {
  TempFolder dir;
  for (int width : {100, 101}) {
    InfoFields f;
    f.width = width;
    f.height = 2;
    std::vector<uint8_t> rows(Stride(width, 24) * 2, 9);
    WriteBytes(dir.File("z.bmp"), BmpFile(PackedDib(f, {}, rows), 54));
    void *dib = DibLoadFile(dir.File("z.bmp").c_str());
    ASSERT_NE(dib, nullptr);
    EXPECT_EQ(Hdr(dib)->biSizeImage, (width == 100 ? 300u : 304u) * 2);
    MemFree(&dib);
  }
}

TEST(DibLoad, TopDownRowsAreStoredBottomUp) {
  TempFolder dir;
  InfoFields f;
  f.width = 1;
  f.height = -3;
  std::vector<uint8_t> rows = {1, 1, 1, 0, 2, 2, 2, 0, 3, 3, 3, 0};  // top row first
  WriteBytes(dir.File("td.bmp"), BmpFile(PackedDib(f, {}, rows), 54));
  void *dib = DibLoadFile(dir.File("td.bmp").c_str());
  ASSERT_NE(dib, nullptr);
  EXPECT_EQ(Hdr(dib)->biHeight, 3);
  EXPECT_EQ(Bgr(Bytes(dib) + 40, 1, 3, 0, 0)[0], 1);  // top
  EXPECT_EQ(Bgr(Bytes(dib) + 40, 1, 3, 0, 2)[0], 3);  // bottom
  MemFree(&dib);
}

// 5-bit value v widened to 8 bits by repeating its top bits.
static int Widen5(int v) { return v << 3 | v >> 2; }
static int Widen6(int v) { return v << 2 | v >> 4; }

TEST(DibLoad, SixteenBitFilesBecome24Bit) {
  TempFolder dir;
  InfoFields f;
  f.width = 3;
  f.height = 1;
  f.bits = 16;
  // 5-5-5: pure red, a mixed colour, white.
  uint16_t px[3] = {0x7C00, static_cast<uint16_t>(16 << 10 | 8 << 5 | 3), 0x7FFF};
  std::vector<uint8_t> rows;
  for (uint16_t p : px) Put16(rows, p);
  Put16(rows, 0);
  WriteBytes(dir.File("555.bmp"), BmpFile(PackedDib(f, {}, rows), 54));
  void *dib = DibLoadFile(dir.File("555.bmp").c_str());
  ASSERT_NE(dib, nullptr);
  EXPECT_EQ(Hdr(dib)->biBitCount, 24);
  EXPECT_EQ(Hdr(dib)->biSizeImage, 0u);
  EXPECT_EQ(Hdr(dib)->biCompression, static_cast<DWORD>(BI_RGB));
  const uint8_t *b = Bytes(dib) + 40;
  EXPECT_EQ(b[0], 0); EXPECT_EQ(b[1], 0); EXPECT_EQ(b[2], 255);
  EXPECT_EQ(b[3], Widen5(3)); EXPECT_EQ(b[4], Widen5(8)); EXPECT_EQ(b[5], Widen5(16));
  EXPECT_EQ(b[6], 255); EXPECT_EQ(b[7], 255); EXPECT_EQ(b[8], 255);
  MemFree(&dib);

  // 5-6-5 bit fields, as a bare packed DIB (masks right after the header).
  f.compression = BI_BITFIELDS;
  std::vector<uint8_t> masks;
  Put32(masks, 0xF800);
  Put32(masks, 0x07E0);
  Put32(masks, 0x001F);
  std::vector<uint8_t> rows565;
  Put16(rows565, static_cast<uint16_t>(20 << 11 | 40 << 5 | 7));
  Put16(rows565, 0xFFFF);
  Put16(rows565, 0);
  Put16(rows565, 0);
  WriteBytes(dir.File("565.dib"), PackedDib(f, masks, rows565));
  dib = DibLoadFile(dir.File("565.dib").c_str());
  ASSERT_NE(dib, nullptr);
  b = Bytes(dib) + 40;
  EXPECT_EQ(b[0], Widen5(7)); EXPECT_EQ(b[1], Widen6(40)); EXPECT_EQ(b[2], Widen5(20));
  EXPECT_EQ(b[3], 255); EXPECT_EQ(b[4], 255); EXPECT_EQ(b[5], 255);
  EXPECT_EQ(b[6], 0);
  MemFree(&dib);
}

TEST(DibLoad, BitFieldMasksComeBeforeAColourTable) {
  // A 16-bit 5-6-5 file as Windows lays it out: header, the three masks, a
  // two-entry colour table, a gap, and the rows where the file header points.
  InfoFields f;
  f.width = 3;
  f.height = 1;
  f.bits = 16;
  f.compression = BI_BITFIELDS;
  f.clrUsed = 2;
  std::vector<uint8_t> extra;
  Put32(extra, 0xF800);
  Put32(extra, 0x07E0);
  Put32(extra, 0x001F);
  Put32(extra, 0x0000001F);  // table entries that would make other masks
  Put32(extra, 0x0000F800);
  extra.insert(extra.end(), 6, 0xEE);  // gap before the rows
  const int red = 20, green = 45, blue = 9;
  std::vector<uint8_t> rows;
  Put16(rows, static_cast<uint32_t>(red << 11 | green << 5 | blue));
  Put16(rows, 0xF800);
  Put16(rows, 0x001F);
  Put16(rows, 0);
  uint32_t offBits = 14 + 40 + static_cast<uint32_t>(extra.size());
  std::vector<uint8_t> file = BmpFile(PackedDib(f, extra, rows), offBits);
  void *dib = DibLoadMemory(file.data(), file.size());
  ASSERT_NE(dib, nullptr);
  EXPECT_EQ(Hdr(dib)->biBitCount, 24);
  const uint8_t *b = Bytes(dib) + 40;
  EXPECT_EQ(b[0], Widen5(blue)); EXPECT_EQ(b[1], Widen6(green)); EXPECT_EQ(b[2], Widen5(red));
  EXPECT_EQ(b[3], 0); EXPECT_EQ(b[4], 0); EXPECT_EQ(b[5], 255);
  EXPECT_EQ(b[6], 255); EXPECT_EQ(b[7], 0); EXPECT_EQ(b[8], 0);
  MemFree(&dib);

  // The same without a file header: the rows follow the table directly.
  std::vector<uint8_t> packed(extra.begin(), extra.end() - 6);
  packed = PackedDib(f, packed, rows);
  dib = DibLoadMemory(packed.data(), packed.size());
  ASSERT_NE(dib, nullptr);
  b = Bytes(dib) + 40;
  EXPECT_EQ(b[0], Widen5(blue)); EXPECT_EQ(b[1], Widen6(green)); EXPECT_EQ(b[2], Widen5(red));
  EXPECT_EQ(b[5], 255);
  MemFree(&dib);
}

TEST(DibLoad, PackedSixteenBitRgbReadsNoMasks) {
  // Without bit fields there are no masks: the rows follow the header.
  TempFolder dir;
  InfoFields f;
  f.width = 2;
  f.height = 1;
  f.bits = 16;
  std::vector<uint8_t> rows;
  Put16(rows, 0x001F);  // blue
  Put16(rows, 0x03E0);  // green
  WriteBytes(dir.File("p16.dib"), PackedDib(f, {}, rows));
  void *dib = DibLoadFile(dir.File("p16.dib").c_str());
  ASSERT_NE(dib, nullptr);
  const uint8_t *b = Bytes(dib) + 40;
  EXPECT_EQ(b[0], 255); EXPECT_EQ(b[1], 0); EXPECT_EQ(b[2], 0);
  EXPECT_EQ(b[3], 0); EXPECT_EQ(b[4], 255); EXPECT_EQ(b[5], 0);
  MemFree(&dib);
}

TEST(DibLoad, ThirtyTwoBitFilesBecome24Bit) {
  TempFolder dir;
  InfoFields f;
  f.width = 2;
  f.height = 2;
  f.bits = 32;
  std::vector<uint8_t> rows = {1, 2, 3, 99, 4, 5, 6, 99, 7, 8, 9, 99, 10, 11, 12, 99};
  WriteBytes(dir.File("32.bmp"), BmpFile(PackedDib(f, {}, rows), 54));
  void *dib = DibLoadFile(dir.File("32.bmp").c_str());
  ASSERT_NE(dib, nullptr);
  EXPECT_EQ(Hdr(dib)->biBitCount, 24);
  EXPECT_EQ(MemSize(dib), 40u + 8u * 2);
  const uint8_t expect[16] = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0};
  EXPECT_EQ(memcmp(Bytes(dib) + 40, expect, 16), 0);
  MemFree(&dib);

  // Bit fields with red in the low byte (R, G, B, X in memory).
  f.compression = BI_BITFIELDS;
  std::vector<uint8_t> masks;
  Put32(masks, 0x000000FF);
  Put32(masks, 0x0000FF00);
  Put32(masks, 0x00FF0000);
  WriteBytes(dir.File("32f.bmp"), BmpFile(PackedDib(f, masks, rows), 66));
  dib = DibLoadFile(dir.File("32f.bmp").c_str());
  ASSERT_NE(dib, nullptr);
  const uint8_t swapped[6] = {3, 2, 1, 6, 5, 4};
  EXPECT_EQ(memcmp(Bytes(dib) + 40, swapped, 6), 0);
  MemFree(&dib);
}

TEST(DibSave, WritesBmpAndReplacesOnlyWhenComplete) {
  TempFolder dir;
  std::string target = dir.File("pic.bmp");
  WriteBytes(target, {'o', 'l', 'd'});
  void *dib = DibCreateSolid(3, 2, 24, RGB(10, 20, 30));
  ASSERT_EQ(DibSaveFile(target.c_str(), dib), 1);
  EXPECT_TRUE(ReadBytes(dir.File("pic@.bmp")).empty());  // no side file left
  std::vector<uint8_t> file = ReadBytes(target);
  ASSERT_EQ(file.size(), 14 + MemSize(dib));
  EXPECT_EQ(file[0], 'B');
  EXPECT_EQ(file[1], 'M');
  EXPECT_EQ(file[2] | file[3] << 8, static_cast<int>(14 + MemSize(dib)));
  EXPECT_EQ(file[10], 54);
  EXPECT_EQ(memcmp(file.data() + 14, dib, MemSize(dib)), 0);
  void *back = DibLoadFile(target.c_str());
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(memcmp(back, dib, MemSize(dib)), 0);
  MemFree(&back);

  // The side file cannot be created (a folder of that name): the target stays.
  std::string blocked = dir.File("keep.bmp");
  WriteBytes(blocked, {'k', 'e', 'e', 'p'});
  ASSERT_EQ(mkdir(dir.File("keep@.bmp").c_str(), 0700), 0);
  EXPECT_EQ(DibSaveFile(blocked.c_str(), dib), 0);
  EXPECT_EQ(ReadBytes(blocked), (std::vector<uint8_t>{'k', 'e', 'e', 'p'}));
  EXPECT_EQ(DibSaveFile(dir.File("x.bmp").c_str(), nullptr), 0);
  MemFree(&dib);
}

TEST(DibSave, SaveAsConvertsOnlyWhenAsked) {
  TempFolder dir;
  void *dib = DibCreateSolid(4, 4, 24, RGB(255, 255, 255));
  ASSERT_EQ(DibSaveFileAs(dir.File("same.bmp").c_str(), dib, 0, 0), 1);
  EXPECT_EQ(ReadBytes(dir.File("same.bmp")).size(), 14 + MemSize(dib));
  ASSERT_EQ(DibSaveFileAs(dir.File("mono.bmp").c_str(), dib, 1, BI_RGB), 1);
  void *mono = DibLoadFile(dir.File("mono.bmp").c_str());
  ASSERT_NE(mono, nullptr);
  EXPECT_EQ(Hdr(mono)->biBitCount, 1);
  const uint8_t *table = Bytes(mono) + 40;
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(Pixel(table + 8, 4, 4, 1, x, y), 1u);  // white is entry 1
  EXPECT_EQ(table[4], 255);
  MemFree(&mono);
  MemFree(&dib);
}

TEST(DibExpand, PaletteDepthsTo24Bits) {
  for (int depth : {1, 4, 8}) {
    SCOPED_TRACE(depth);
    const int w = 13, h = 3, n = 1 << depth;
    size_t size = 40 + n * 4 + Stride(w, depth) * h;
    uint8_t *dib = static_cast<uint8_t *>(MemAlloc(size));
    BITMAPINFOHEADER *hd = reinterpret_cast<BITMAPINFOHEADER *>(dib);
    hd->biSize = 40;
    hd->biWidth = w;
    hd->biHeight = h;
    hd->biPlanes = 1;
    hd->biBitCount = static_cast<WORD>(depth);
    for (int i = 0; i < n; ++i) {
      dib[40 + i * 4] = static_cast<uint8_t>(i);
      dib[40 + i * 4 + 1] = static_cast<uint8_t>(i * 3);
      dib[40 + i * 4 + 2] = static_cast<uint8_t>(255 - i);
    }
    uint8_t *bits = dib + 40 + n * 4;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) SetPixel(bits, w, h, depth, x, y, static_cast<uint32_t>((x * 7 + y) % n));
    void *rgb = DibToRgb24(dib);
    ASSERT_NE(rgb, nullptr);
    EXPECT_EQ(Hdr(rgb)->biBitCount, 24);
    EXPECT_EQ(MemSize(rgb), 40u + Stride(w, 24) * h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        int i = (x * 7 + y) % n;
        const uint8_t *p = Bgr(Bytes(rgb) + 40, w, h, x, y);
        ASSERT_EQ(p[0], i);
        ASSERT_EQ(p[1], static_cast<uint8_t>(i * 3));
        ASSERT_EQ(p[2], 255 - i);
      }
    MemFree(&rgb);
    MemFree(&dib);
  }
}

TEST(DibExpand, ColourCountBeyondTheDepthIsRefused) {
  // 16384 colours make a table of 65536 bytes, which a 16-bit size wraps to 0:
  // the block below holds the header and the rows and nothing more.
  const int w = 4, h = 2;
  for (uint32_t colours : {16384u, 49152u}) {
    SCOPED_TRACE(colours);
    void *dib = MemAlloc(40 + Stride(w, 8) * h);
    BITMAPINFOHEADER *hd = static_cast<BITMAPINFOHEADER *>(dib);
    hd->biSize = 40;
    hd->biWidth = w;
    hd->biHeight = h;
    hd->biPlanes = 1;
    hd->biBitCount = 8;
    hd->biClrUsed = colours;
    EXPECT_EQ(DibIsWhole(dib), 0);
    EXPECT_EQ(DibToRgb24(dib), nullptr);
    RECT target = {0, 0, 2, 2};
    EXPECT_EQ(DibScale(dib, &target, 1, 0), nullptr);
    MemFree(&dib);
  }
  // A 4-bit image may name at most 16 colours; a 24-bit one at most 256.
  void *four = MemAlloc(40 + 17 * 4 + Stride(w, 4) * h);
  BITMAPINFOHEADER *hd = static_cast<BITMAPINFOHEADER *>(four);
  *hd = BITMAPINFOHEADER{40, w, h, 1, 4, 0, 0, 0, 0, 17, 0};
  EXPECT_EQ(DibIsWhole(four), 0);
  hd->biClrUsed = 16;
  EXPECT_EQ(DibIsWhole(four), 1);
  MemFree(&four);
  void *wide = MemAlloc(40 + 257 * 4 + Stride(w, 24) * h);
  hd = static_cast<BITMAPINFOHEADER *>(wide);
  *hd = BITMAPINFOHEADER{40, w, h, 1, 24, 0, 0, 0, 0, 257, 0};
  EXPECT_EQ(DibIsWhole(wide), 0);
  hd->biClrUsed = 256;
  EXPECT_EQ(DibIsWhole(wide), 1);
  MemFree(&wide);
}

TEST(DibConvertNative, PaletteRulesAndNearestColour) {
  // 24 -> 8: entries 0..9 are the static colours; pure red maps to an entry that is pure red.
  void *red = DibCreateSolid(2, 2, 24, RGB(255, 0, 0));
  void *eight = DibConvert(red, 8);
  ASSERT_NE(eight, nullptr);
  EXPECT_EQ(Hdr(eight)->biBitCount, 8);
  const uint8_t *table = Bytes(eight) + 40;
  uint32_t index = Pixel(table + 1024, 2, 2, 8, 1, 1);
  EXPECT_EQ(table[index * 4 + 2], 255);
  EXPECT_EQ(table[index * 4 + 1], 0);
  EXPECT_EQ(table[index * 4], 0);
  // 8 -> 8 keeps the source's own table.
  uint8_t *own = static_cast<uint8_t *>(MemDup(eight));
  own[40 + 5 * 4 + 1] = 77;
  void *again = DibConvert(own, 8);
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(Bytes(again)[40 + 5 * 4 + 1], 77);
  MemFree(&again);
  MemFreePtr(own);
  MemFree(&eight);
  // 24 -> 4 without a 4-bit source: the stock default colours.
  void *four = DibConvert(red, 4);
  ASSERT_NE(four, nullptr);
  EXPECT_EQ(Bytes(four)[40 + 13 * 4 + 2], 255);  // entry 13 is red
  EXPECT_EQ(Pixel(Bytes(four) + 40 + 64, 2, 2, 4, 0, 0), 13u);
  MemFree(&four);
  EXPECT_EQ(DibConvert(red, 7), nullptr);
  EXPECT_EQ(DibConvert(nullptr, 24), nullptr);
  MemFree(&red);
}

TEST(DibLoad, FullWidthBitFieldMask) {
  // A 32-bit mask covering every bit: the top 8 bits are the channel.
  TempFolder dir;
  InfoFields f;
  f.width = 1;
  f.height = 1;
  f.bits = 32;
  f.compression = BI_BITFIELDS;
  std::vector<uint8_t> masks;
  Put32(masks, 0xFFFFFFFF);
  Put32(masks, 0);
  Put32(masks, 0x000000FF);
  WriteBytes(dir.File("m.dib"), PackedDib(f, masks, {0x44, 0x00, 0x00, 0xAB}));
  void *dib = DibLoadFile(dir.File("m.dib").c_str());
  ASSERT_NE(dib, nullptr);
  EXPECT_EQ(Bytes(dib)[40], 0x44);      // blue: low byte
  EXPECT_EQ(Bytes(dib)[41], 0);         // green: no mask
  EXPECT_EQ(Bytes(dib)[42], 0xAB);      // red: top byte of the whole word
  MemFree(&dib);
}
