// Picture decoding: the JPEG marker scan, decoding through libjpeg into the
// Dib a BMP file would give, the BMP file form, damaged pictures, picture
// kinds and sizes, sound extensions and pictures from memory.
#include "raster/dib.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "shell/base/mem_block.h"
#include "tests/support/raster_pictures.h"
#include "tests/support/temp_folder.h"

using namespace testpic;

namespace {

std::string Data(const char *name) { return std::string(VK_TEST_DATA) + "/raster/" + name; }

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
uint32_t Le32(const uint8_t *p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }

// Start of a segment with the given marker in a JPEG's bytes.
size_t FindMarker(const std::vector<uint8_t> &b, uint8_t code) {
  for (size_t i = 2; i + 1 < b.size(); ++i)
    if (b[i] == 0xFF && b[i + 1] == code) return i;
  return 0;
}

}  // namespace

TEST(JpegScan, ColourPictureHeader) {
  int w = 0, h = 0, bits = 0;
  ASSERT_EQ(JpegScanHeader(Data("colour_360x180.jpg").c_str(), &w, &h, &bits), 1);
  EXPECT_EQ(w, 360);
  EXPECT_EQ(h, 180);
  EXPECT_EQ(bits, 24);
  ASSERT_EQ(JpegScanHeader(Data("grey_16x8.jpg").c_str(), &w, &h, &bits), 1);
  EXPECT_EQ(bits, 8);
  ASSERT_EQ(JpegScanHeader(Data("progressive_64x48.jpg").c_str(), &w, &h, &bits), 1);
  EXPECT_EQ(w, 64);
  EXPECT_EQ(h, 48);
}

TEST(JpegScan, HandMadeSegments) {
  // SOI, an APP0 to skip, fill bytes, a frame header whose length is not
  // 8 + 3 * 3, then EOI.
  std::vector<uint8_t> b = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x04, 0xAA, 0xBB, 0xFF, 0xFF, 0xFF,
                            0xC0, 0x00, 0x0B, 0x08, 0x01, 0x2C, 0x02, 0x58, 0x03, 0x01, 0x11, 0x00, 0xFF, 0xD9};
  int w, h, bits;
  ASSERT_EQ(JpegScanMemory(b.data(), b.size(), &w, &h, &bits), 1);
  EXPECT_EQ(w, 600);
  EXPECT_EQ(h, 300);
  EXPECT_EQ(bits, 24);
  TempFolder dir;
  ASSERT_EQ(JpegScanHeader(dir.Put("odd.jpg", b).c_str(), &w, &h, &bits), 1);
  EXPECT_EQ(w, 600);
  // A later frame header overwrites the first; garbage before a marker is skipped.
  std::vector<uint8_t> two = {0xFF, 0xD8, 0xFF, 0xC0, 0x00, 0x08, 0x08, 0x00, 0x10, 0x00, 0x20, 0x01,
                              0x12, 0x34, 0xFF, 0xC2, 0x00, 0x08, 0x0C, 0x00, 0x05, 0x00, 0x06, 0x01, 0xFF, 0xDA};
  ASSERT_EQ(JpegScanMemory(two.data(), two.size(), &w, &h, &bits), 1);
  EXPECT_EQ(w, 6);
  EXPECT_EQ(h, 5);
  EXPECT_EQ(bits, 12);
}

TEST(JpegScan, EndOfFileAndWrongStartGiveZero) {
  TempFolder dir;
  std::vector<uint8_t> open = {0xFF, 0xD8, 0xFF, 0xE1, 0x00, 0x10, 1, 2, 3};  // segment runs past the end
  int w, h, bits;
  EXPECT_EQ(JpegScanMemory(open.data(), open.size(), &w, &h, &bits), 0);
  EXPECT_EQ(JpegScanHeader(dir.Put("open.jpg", open).c_str(), &w, &h, &bits), 0);
  std::vector<uint8_t> noMarker = {0xFF, 0xD8, 1, 2, 3, 4};
  EXPECT_EQ(JpegScanMemory(noMarker.data(), noMarker.size(), &w, &h, &bits), 0);
  std::vector<uint8_t> cutFrame = {0xFF, 0xD8, 0xFF, 0xC0, 0x00, 0x11, 0x08};
  EXPECT_EQ(JpegScanMemory(cutFrame.data(), cutFrame.size(), &w, &h, &bits), 0);
  std::vector<uint8_t> notJpeg = {'B', 'M', 0xFF, 0xD9};
  EXPECT_EQ(JpegScanMemory(notJpeg.data(), notJpeg.size(), &w, &h, &bits), 0);
  EXPECT_EQ(JpegScanHeader(dir.File("missing.jpg").c_str(), &w, &h, &bits), 0);
}

TEST(JpegDecode, ColourPictureIs24BitWithRowsAfterTheHeader) {
  void *dib = PictureLoad(Data("colour_360x180.jpg").c_str(), 1);
  ASSERT_NE(dib, nullptr);
  const BITMAPINFOHEADER *h = Hdr(dib);
  EXPECT_EQ(h->biSize, 40u);
  EXPECT_EQ(h->biWidth, 360);
  EXPECT_EQ(h->biHeight, 180);
  EXPECT_EQ(h->biBitCount, 24);
  EXPECT_EQ(h->biClrUsed, 0u);
  EXPECT_EQ(h->biSizeImage, 1080u * 180);
  EXPECT_EQ(MemSize(dib), 40u + 1080u * 180);
  // A red-to-blue gradient from top to bottom: the last stored row is the top.
  const uint8_t *top = Bgr(Bytes(dib) + 40, 360, 180, 180, 0);
  const uint8_t *bottom = Bgr(Bytes(dib) + 40, 360, 180, 180, 179);
  EXPECT_GT(top[2], 240);
  EXPECT_LT(top[0], 15);
  EXPECT_GT(bottom[0], 240);
  EXPECT_LT(bottom[2], 15);
  MemFree(&dib);
}

TEST(JpegDecode, SolidColourInBlueGreenRedOrder) {
  void *dib = PictureLoad(Data("solid_360x180.jpg").c_str(), 1);
  ASSERT_NE(dib, nullptr);
  for (int y : {0, 90, 179})
    for (int x : {0, 200, 359}) {
      const uint8_t *p = Bgr(Bytes(dib) + 40, 360, 180, x, y);
      EXPECT_NEAR(p[0], 90, 3);
      EXPECT_NEAR(p[1], 40, 3);
      EXPECT_NEAR(p[2], 200, 3);
    }
  // Half size through libjpeg's scaling.
  void *half = PictureLoad(Data("solid_360x180.jpg").c_str(), 2);
  ASSERT_NE(half, nullptr);
  EXPECT_EQ(Hdr(half)->biWidth, 180);
  EXPECT_EQ(Hdr(half)->biHeight, 90);
  MemFree(&half);
  MemFree(&dib);
}

TEST(JpegDecode, GreyPictureHasTheGreyRamp) {
  void *dib = PictureLoad(Data("grey_16x8.jpg").c_str(), 1);
  ASSERT_NE(dib, nullptr);
  EXPECT_EQ(Hdr(dib)->biBitCount, 8);
  EXPECT_EQ(Hdr(dib)->biClrUsed, 256u);
  EXPECT_EQ(MemSize(dib), 40u + 1024u + 16u * 8);
  for (int i = 0; i < 256; ++i) {
    ASSERT_EQ(Bytes(dib)[40 + i * 4], i);
    ASSERT_EQ(Bytes(dib)[40 + i * 4 + 1], i);
    ASSERT_EQ(Bytes(dib)[40 + i * 4 + 2], i);
    ASSERT_EQ(Bytes(dib)[40 + i * 4 + 3], 0);
  }
  for (int i = 0; i < 16 * 8; ++i) EXPECT_NEAR(Bytes(dib)[40 + 1024 + i], 153, 2);
  MemFree(&dib);
}

TEST(JpegDecode, DensityInDotsPerCentimetreOnly) {
  void *cm = PictureLoad(Data("density_cm.jpg").c_str(), 1);
  void *inch = PictureLoad(Data("density_inch.jpg").c_str(), 1);
  ASSERT_NE(cm, nullptr);
  ASSERT_NE(inch, nullptr);
  EXPECT_EQ(Hdr(cm)->biXPelsPerMeter, 7200);
  EXPECT_EQ(Hdr(cm)->biYPelsPerMeter, 7200);
  EXPECT_EQ(Hdr(inch)->biXPelsPerMeter, 0);
  EXPECT_EQ(Hdr(inch)->biYPelsPerMeter, 0);
  MemFree(&cm);
  MemFree(&inch);
}

TEST(JpegDecode, BmpFileLayout) {
  TempFolder dir;
  std::string bmp = dir.File("grey.bmp");
  ASSERT_EQ(JpegToBmpFile(Data("grey_16x8.jpg").c_str(), bmp.c_str(), 1), 1);
  std::vector<uint8_t> f = ReadBytes(bmp);
  const uint32_t header = 14 + 40 + 256 * 4;
  ASSERT_EQ(f.size(), header + 16u * 8);
  EXPECT_EQ(f[0], 'B');
  EXPECT_EQ(f[1], 'M');
  EXPECT_EQ(Le32(&f[2]), header + 16u * 8);
  EXPECT_EQ(Le32(&f[6]), 0u);
  EXPECT_EQ(Le32(&f[10]), header);
  EXPECT_EQ(Le32(&f[14]), 40u);
  EXPECT_EQ(Le32(&f[18]), 16u);
  EXPECT_EQ(Le32(&f[22]), 8u);
  EXPECT_EQ(f[26] | f[27] << 8, 1);
  EXPECT_EQ(f[28] | f[29] << 8, 8);
  EXPECT_EQ(Le32(&f[30]), 0u);
  EXPECT_EQ(Le32(&f[34]), 0u);  // image size left 0
  EXPECT_EQ(Le32(&f[46]), 256u);
  EXPECT_EQ(Le32(&f[50]), 0u);
  EXPECT_EQ(f[54 + 4 * 200 + 1], 200);
  // Loading that file gives the same Dib as decoding straight to memory.
  void *fromFile = DibLoadFile(bmp.c_str());
  void *direct = PictureLoad(Data("grey_16x8.jpg").c_str(), 1);
  ASSERT_NE(fromFile, nullptr);
  ASSERT_EQ(MemSize(fromFile), MemSize(direct));
  EXPECT_EQ(memcmp(fromFile, direct, MemSize(direct)), 0);
  MemFree(&fromFile);
  MemFree(&direct);

  std::string colour = dir.File("colour.bmp");
  ASSERT_EQ(JpegToBmpFile(Data("colour_360x180.jpg").c_str(), colour.c_str(), 1), 1);
  f = ReadBytes(colour);
  ASSERT_EQ(f.size(), 54u + 1080u * 180);
  EXPECT_EQ(Le32(&f[10]), 54u);
  EXPECT_EQ(f[28], 24);
  EXPECT_EQ(Le32(&f[46]), 0u);
  fromFile = DibLoadFile(colour.c_str());
  direct = PictureLoad(Data("colour_360x180.jpg").c_str(), 1);
  ASSERT_EQ(MemSize(fromFile), MemSize(direct));
  EXPECT_EQ(memcmp(fromFile, direct, MemSize(direct)), 0);
  MemFree(&fromFile);
  MemFree(&direct);
  EXPECT_EQ(JpegToBmpFile(Data("grey_16x8.jpg").c_str(), (dir.path + "/no/such/dir.bmp").c_str(), 1), 0);
}

TEST(JpegDecode, FatalErrorsGiveNullAndTheProcessGoesOn) {
  TempFolder dir;
  // CMYK has no BMP form.
  EXPECT_EQ(PictureLoad(Data("cmyk_32x16.jpg").c_str(), 1), nullptr);
  EXPECT_EQ(JpegToBmpFile(Data("cmyk_32x16.jpg").c_str(), dir.File("c.bmp").c_str(), 1), 0);
  EXPECT_TRUE(ReadBytes(dir.File("c.bmp")).empty());
  std::vector<uint8_t> good = ReadBytes(Data("colour_360x180.jpg"));
  size_t sof = FindMarker(good, 0xC0);
  ASSERT_NE(sof, 0u);
  // A frame height of 0, and a sample precision of 9: libjpeg refuses both.
  std::vector<uint8_t> empty = good;
  empty[sof + 5] = 0;
  empty[sof + 6] = 0;
  EXPECT_EQ(PictureLoad(dir.Put("empty.jpg", empty).c_str(), 1), nullptr);
  std::vector<uint8_t> precision = good;
  precision[sof + 4] = 9;
  EXPECT_EQ(DibFromImageData(precision.data(), precision.size()), nullptr);
  // A Huffman table cut short.
  std::vector<uint8_t> table = good;
  size_t dht = FindMarker(table, 0xC4);
  ASSERT_NE(dht, 0u);
  table[dht + 2] = 0;
  table[dht + 3] = 3;
  EXPECT_EQ(DibFromImageData(table.data(), table.size()), nullptr);
}

TEST(JpegDecode, TruncatedPictureIsPaddedWithAWarning) {
  std::vector<uint8_t> good = ReadBytes(Data("colour_360x180.jpg"));
  size_t sos = FindMarker(good, 0xDA);
  ASSERT_NE(sos, 0u);
  std::vector<uint8_t> cut(good.begin(), good.begin() + static_cast<long>(sos + 40));
  void *dib = DibFromImageData(cut.data(), cut.size());
  ASSERT_NE(dib, nullptr);
  EXPECT_EQ(Hdr(dib)->biWidth, 360);
  MemFree(&dib);
}

TEST(Pictures, KindsAndSizes) {
  TempFolder dir;
  void *solid = DibCreateSolid(7, 3, 24, RGB(1, 2, 3));
  std::string bmp = dir.File("p.bmp");
  ASSERT_EQ(DibSaveFile(bmp.c_str(), solid), 1);
  std::string text = dir.Put("t.txt", std::string("hello\n"));
  EXPECT_EQ(PictureKind(bmp.c_str()), PICTURE_BMP);
  EXPECT_EQ(PictureKind(Data("colour_360x180.jpg").c_str()), PICTURE_JPEG);
  EXPECT_EQ(PictureKind(text.c_str()), PICTURE_NONE);
  EXPECT_EQ(PictureKind(dir.File("missing.jpg").c_str()), PICTURE_NONE);
  SIZE s;
  EXPECT_EQ(PictureSize(bmp.c_str(), &s), 1);
  EXPECT_EQ(s.cx, 7);
  EXPECT_EQ(s.cy, 3);
  EXPECT_EQ(PictureSize(Data("progressive_64x48.jpg").c_str(), &s), 1);
  EXPECT_EQ(s.cx, 64);
  EXPECT_EQ(s.cy, 48);
  EXPECT_EQ(PictureSize(text.c_str(), &s), 0);
  EXPECT_EQ(s.cx, 0);
  EXPECT_EQ(s.cy, 0);
  EXPECT_EQ(PictureSize(dir.File("missing").c_str(), &s), 0);
  // PictureLoad takes both formats.
  void *loaded = PictureLoad(bmp.c_str(), 1);
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(memcmp(loaded, solid, MemSize(solid)), 0);
  EXPECT_EQ(PictureLoad(text.c_str(), 1), nullptr);
  EXPECT_EQ(PictureLoad(dir.File("missing.bmp").c_str(), 1), nullptr);
  void *progressive = PictureLoad(Data("progressive_64x48.jpg").c_str(), 1);
  EXPECT_NE(progressive, nullptr);
  MemFree(&progressive);
  MemFree(&loaded);
  MemFree(&solid);
}

TEST(Pictures, FromMemoryMatchesFromFile) {
  for (const char *name : {"colour_360x180.jpg", "grey_16x8.jpg"}) {
    std::vector<uint8_t> bytes = ReadBytes(Data(name));
    void *a = DibFromImageData(bytes.data(), bytes.size());
    void *b = PictureLoad(Data(name).c_str(), 1);
    ASSERT_NE(a, nullptr);
    ASSERT_EQ(MemSize(a), MemSize(b));
    EXPECT_EQ(memcmp(a, b, MemSize(a)), 0);
    MemFree(&a);
    MemFree(&b);
  }
  InfoFields f;
  f.width = 2;
  f.height = 2;
  std::vector<uint8_t> bmp = BmpFile(PackedDib(f, {}, std::vector<uint8_t>(16, 5)), 54);
  void *d = DibFromImageData(bmp.data(), bmp.size());
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(Bytes(d)[40 + 15], 5);
  MemFree(&d);
  EXPECT_EQ(DibFromImageData(nullptr, 10), nullptr);
  EXPECT_EQ(DibFromImageData("hello", 5), nullptr);
}

TEST(SoundFiles, ByExtension) {
  EXPECT_EQ(IsSoundFile("song.MP3"), 1);
  EXPECT_EQ(IsSoundFile("C:\\music\\a.wav"), 1);
  EXPECT_EQ(IsSoundFile("x.Aifc"), 1);
  EXPECT_EQ(IsSoundFile("x.wma"), 1);
  EXPECT_EQ(IsSoundFile("x.jpg"), 0);
  EXPECT_EQ(IsSoundFile("x.mp"), 0);
  EXPECT_EQ(IsSoundFile("x.mp33"), 0);
  EXPECT_EQ(IsSoundFile("song. mp3"), 0);           // a dot followed by a blank
  EXPECT_EQ(IsSoundFile("C:\\a.wav\\song"), 0);     // the dot is in a folder name
  EXPECT_EQ(IsSoundFile("song."), 0);
  EXPECT_EQ(IsSoundFile("\x95\x5C.wav"), 1);         // a trail byte equal to '\'
  EXPECT_EQ(IsSoundFile(nullptr), 0);
}
