// The authoring tool's picture reading: every format family decodes the
// known 4 x 2 pattern of the committed fixtures (scripts/make-picture-fixtures)
// or of BMP files built here byte by byte; damaged files are refused without
// a crash; the EXIF orientation turns a picture upright (checked with the
// player's own orientation operations against the EXIF definitions); and
// pictures are fitted into a box and compressed, or kept when they are JPEG.
#include "raster/picture_decode.h"
#include "show/picture_import.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "player/picture_orient.h"
#include "raster/bmp_import.h"
#include "raster/dib.h"
#include "shell/base/mem_block.h"

namespace {

typedef uint32_t Rgb;  // 0xRRGGBB
const std::vector<Rgb> kPattern = {0xff0000, 0x00ff00, 0x0000ff, 0xffffff, 0x000000, 0x808080, 0xc86432, 0x3264c8};

std::string Fixture(const char *name) { return std::string(VK_TEST_DATA) + "/pictures/" + name; }

std::vector<unsigned char> ReadAll(const std::string &path) {
  std::vector<unsigned char> bytes;
  FILE *f = fopen(path.c_str(), "rb");
  if (!f) return bytes;
  int c;
  while ((c = getc(f)) != EOF) bytes.push_back(static_cast<unsigned char>(c));
  fclose(f);
  return bytes;
}

// A 24-bit Dib's pixels, top row first.
std::vector<Rgb> Pixels(const void *dib, int32_t *width = nullptr, int32_t *height = nullptr) {
  std::vector<Rgb> out;
  SIZE size;
  if (!DibGetSize(dib, &size) || DibGetBitCount(dib) != 24) return out;
  if (width) *width = size.cx;
  if (height) *height = size.cy;
  uint32_t stride = DibStride(size.cx, 24);
  const BYTE *bits = DibBits(dib);
  for (int32_t y = 0; y < size.cy; ++y) {
    const BYTE *row = bits + size_t(size.cy - 1 - y) * stride;
    for (int32_t x = 0; x < size.cx; ++x) out.push_back(Rgb(row[x * 3 + 2]) << 16 | Rgb(row[x * 3 + 1]) << 8 | row[x * 3]);
  }
  return out;
}

std::vector<Rgb> DecodeFixture(const char *name, COLORREF matte, PictureFormat *format = nullptr) {
  DecodedPicture picture;
  std::string error;
  if (!DecodePictureFile(Fixture(name).c_str(), matte, &picture, &error)) {
    ADD_FAILURE() << name << ": " << error;
    return {};
  }
  if (format) *format = picture.format;
  std::vector<Rgb> pixels = Pixels(picture.dib);
  MemFree(&picture.dib);
  return pixels;
}

TEST(PictureDecode, EveryLosslessFormatGivesThePattern) {
  struct Case {
    const char *file;
    PictureFormat format;
  } cases[] = {{"pattern.png", FORMAT_PNG},   {"pattern_palette.png", FORMAT_PNG}, {"pattern.gif", FORMAT_GIF},
               {"pattern.tif", FORMAT_TIFF},  {"pattern.webp", FORMAT_WEBP},       {"pattern_v5.bmp", FORMAT_BMP},
               {"pattern_rle8.bmp", FORMAT_BMP}};
  for (const Case &c : cases) {
    PictureFormat format = FORMAT_NONE;
    EXPECT_EQ(DecodeFixture(c.file, RGB(1, 2, 3), &format), kPattern) << c.file;  // the GIF's second frame is its negative
    EXPECT_EQ(format, c.format) << c.file;
  }
}

TEST(PictureDecode, TransparencyShowsTheMatte) {
  // Top-left pixel transparent; in the PNG the white top-right one half
  // transparent (alpha 128): (255 * 128 + matte * 127) / 255, rounded.
  std::vector<Rgb> expected = kPattern;
  expected[0] = 0x204060;
  expected[3] = 0x90a0b0;
  EXPECT_EQ(DecodeFixture("pattern_alpha.png", RGB(0x20, 0x40, 0x60)), expected);
  expected[3] = 0xffffff;
  EXPECT_EQ(DecodeFixture("pattern_alpha.gif", RGB(0x20, 0x40, 0x60)), expected);
}

// ---- BMP files built byte by byte ---------------------------------------------

void Put16(std::vector<unsigned char> &b, uint32_t v) { b.push_back(v & 255), b.push_back(v >> 8 & 255); }
void Put32(std::vector<unsigned char> &b, uint32_t v) { Put16(b, v & 0xffff), Put16(b, v >> 16); }

// A BMP file: header of headerSize bytes (fields past 40 bytes zero unless
// masks are given for 52 and more), table, then the pixel bytes.
std::vector<unsigned char> Bmp(uint32_t headerSize, int32_t width, int32_t height, int bits, uint32_t compression,
                               const std::vector<Rgb> &table, const std::vector<unsigned char> &pixels,
                               const std::vector<uint32_t> &masks = {}) {
  std::vector<unsigned char> h;
  Put32(h, headerSize);
  if (headerSize == 12) {
    Put16(h, uint32_t(width)), Put16(h, uint32_t(height)), Put16(h, 1), Put16(h, uint32_t(bits));
  } else {
    Put32(h, uint32_t(width)), Put32(h, uint32_t(height)), Put16(h, 1), Put16(h, uint32_t(bits));
    while (h.size() < headerSize) h.push_back(0);
    if (headerSize >= 20) memcpy(&h[16], &compression, 4);
    uint32_t colours = uint32_t(table.size());
    if (headerSize >= 36) memcpy(&h[32], &colours, 4);
    for (size_t i = 0; i < masks.size() && headerSize >= 40 + 4 * (i + 1); ++i) memcpy(&h[40 + 4 * i], &masks[i], 4);
  }
  for (Rgb c : table) {
    h.push_back(c & 255), h.push_back(c >> 8 & 255), h.push_back(c >> 16 & 255);
    if (headerSize != 12) h.push_back(0);
  }
  std::vector<unsigned char> file = {'B', 'M'};
  Put32(file, uint32_t(14 + h.size() + pixels.size()));
  Put32(file, 0);
  Put32(file, uint32_t(14 + h.size()));
  file.insert(file.end(), h.begin(), h.end());
  file.insert(file.end(), pixels.begin(), pixels.end());
  return file;
}

// The pattern's rows as 24-bit BMP rows (4 pixels: 12 bytes, no padding), bottom row first.
std::vector<unsigned char> Rows24() {
  std::vector<unsigned char> rows;
  for (int y : {1, 0})
    for (int x = 0; x < 4; ++x) {
      Rgb c = kPattern[size_t(y * 4 + x)];
      rows.push_back(c & 255), rows.push_back(c >> 8 & 255), rows.push_back(c >> 16 & 255);
    }
  return rows;
}

std::vector<Rgb> Import(const std::vector<unsigned char> &file) {
  void *dib = DibImportBmp(file.data(), file.size());
  std::vector<Rgb> pixels = Pixels(dib);
  MemFree(&dib);
  return pixels;
}

TEST(BmpImport, EveryHeaderFormReadsThePattern) {
  for (uint32_t size : {12u, 16u, 40u, 52u, 56u, 64u, 108u, 124u})
    EXPECT_EQ(Import(Bmp(size, 4, 2, 24, 0, {}, Rows24())), kPattern) << size;
  // V5 at 32 bits with its masks in the header: the bytes of a pixel are red,
  // a stray 7f, blue, green.
  std::vector<unsigned char> masked;
  for (int y : {1, 0})
    for (int x = 0; x < 4; ++x) {
      Rgb c = kPattern[size_t(y * 4 + x)];
      Put32(masked, (c >> 16) | 0x7f00 | (c & 0xff) << 16 | (c >> 8 & 0xff) << 24);
    }
  EXPECT_EQ(Import(Bmp(124, 4, 2, 32, 3, {}, masked, {0xff, 0xff000000u, 0xff0000})), kPattern);
  // Top-down rows (negative height) in a 108-byte header.
  std::vector<unsigned char> topDown = Rows24();
  std::rotate(topDown.begin(), topDown.begin() + 12, topDown.end());
  EXPECT_EQ(Import(Bmp(108, 4, -2, 24, 0, {}, topDown)), kPattern);
}

TEST(BmpImport, RunLengthDataIsExpanded) {
  // The table is the pattern's eight colours; the bottom row is 4 5 6 7, the top 0 1 2 3.
  // RLE8: four runs of one, end of line; a literal 0 1 2 (padded), a run of one 3, end.
  std::vector<unsigned char> rle8 = {1, 4, 1, 5, 1, 6, 1, 7, 0, 0, 0, 3, 0, 1, 2, 0, 1, 3, 0, 1};
  EXPECT_EQ(Import(Bmp(40, 4, 2, 8, 1, kPattern, rle8)), kPattern);
  // RLE4: literals of four nibbles (two bytes, even already), end of line between.
  std::vector<unsigned char> rle4 = {0, 4, 0x45, 0x67, 0, 0, 0, 4, 0x01, 0x23, 0, 1};
  EXPECT_EQ(Import(Bmp(40, 4, 2, 4, 2, kPattern, rle4)), kPattern);
  // A delta skips pixels (left at index 0, red): move 2 right on the bottom row.
  std::vector<unsigned char> delta = {0, 2, 2, 0, 2, 0x66, 0, 0, 0, 4, 0x01, 0x23, 0, 1};
  std::vector<Rgb> skipped = {kPattern[0], kPattern[1], kPattern[2], kPattern[3], kPattern[0], kPattern[0], 0xc86432, 0xc86432};
  EXPECT_EQ(Import(Bmp(40, 4, 2, 4, 2, kPattern, delta)), skipped);
  // Cut before the end: refused.
  EXPECT_TRUE(Import(Bmp(40, 4, 2, 8, 1, kPattern, {1, 4, 1, 5, 1, 6, 1, 7, 0, 0, 0, 3})).empty());
}

// ---- damaged files --------------------------------------------------------------

TEST(PictureDecode, DamagedFilesAreRefusedWithTheirFormatNamed) {
  // Cut in the headers, halfway, and near the end: 8 bytes from it (into the
  // pixel data), 20 in the PNG (whose last 16 are a checksum and the end
  // chunk), 100 in the TIFF (into the directory, which comes last).
  for (const char *name : {"pattern.png", "pattern_alpha.gif", "pattern.tif", "pattern.webp", "pattern_v5.bmp",
                           "pattern_rle8.bmp", "cells.jpg"}) {
    std::vector<unsigned char> bytes = ReadAll(Fixture(name));
    ASSERT_GT(bytes.size(), 40u) << name;
    size_t deep = bytes.size() - (strstr(name, ".png") ? 20 : strstr(name, ".tif") ? 100 : 8);
    for (size_t keep : {size_t(30), bytes.size() / 2, deep}) {
      std::vector<unsigned char> cut(bytes.begin(), bytes.begin() + long(keep));
      DecodedPicture picture;
      std::string error;
      EXPECT_EQ(DecodePicture(cut.data(), cut.size(), 0, &picture, &error), 0) << name << " cut to " << keep;
      EXPECT_EQ(picture.dib, nullptr);
      EXPECT_NE(picture.format, FORMAT_NONE) << name;
      EXPECT_NE(error.find(PictureFormatName(picture.format)), std::string::npos) << error;
    }
  }
  // Text is no picture at all; a HEIC file is named as such.
  const char text[] = "just some words, no picture in here";
  DecodedPicture picture;
  std::string error;
  EXPECT_EQ(DecodePicture(reinterpret_cast<const unsigned char *>(text), sizeof text, 0, &picture, &error), 0);
  EXPECT_EQ(picture.format, FORMAT_NONE);
  const unsigned char heic[] = {0, 0, 0, 24, 'f', 't', 'y', 'p', 'h', 'e', 'i', 'c', 0, 0, 0, 0};
  EXPECT_EQ(DecodePicture(heic, sizeof heic, 0, &picture, &error), 0);
  EXPECT_EQ(picture.format, FORMAT_HEIF);
  EXPECT_NE(error.find("convert it to JPEG"), std::string::npos) << error;
}

// ---- EXIF orientation -------------------------------------------------------------

// cells.jpg with an EXIF block whose IFD 0 holds only the orientation tag.
std::vector<unsigned char> WithExifOrientation(int value, bool bigEndian) {
  std::vector<unsigned char> jpeg = ReadAll(Fixture("cells.jpg"));
  std::vector<unsigned char> tiff = bigEndian ? std::vector<unsigned char>{'M', 'M', 0, 42, 0, 0, 0, 8, 0, 1, 0x01, 0x12,
                                                                           0, 3, 0, 0, 0, 1, 0, (unsigned char)value, 0, 0,
                                                                           0, 0, 0, 0}
                                              : std::vector<unsigned char>{'I', 'I', 42, 0, 8, 0, 0, 0, 1, 0, 0x12, 0x01,
                                                                           3, 0, 1, 0, 0, 0, (unsigned char)value, 0, 0, 0,
                                                                           0, 0, 0, 0};
  std::vector<unsigned char> app1 = {0xFF, 0xE1, 0, (unsigned char)(2 + 6 + tiff.size()), 'E', 'x', 'i', 'f', 0, 0};
  app1.insert(app1.end(), tiff.begin(), tiff.end());
  jpeg.insert(jpeg.begin() + 2, app1.begin(), app1.end());
  return jpeg;
}

TEST(PictureOrientation, EveryExifOrientationIsShownUpright) {
  // The stored cells, top-down: R G B / W K Gy (3 x 2 cells of 8 pixels).
  const Rgb cells[2][3] = {{0xff0000, 0x00ff00, 0x0000ff}, {0xffffff, 0x000000, 0x808080}};
  for (int value = 1; value <= 8; ++value) {
    std::vector<unsigned char> jpeg = WithExifOrientation(value, value % 2 == 0);
    DecodedPicture picture;
    std::string error;
    ASSERT_EQ(DecodePicture(jpeg.data(), jpeg.size(), 0, &picture, &error), 1) << error;
    void *upright = OrientLayer(picture.dib, picture.orientation);
    int32_t w = 0, h = 0;
    std::vector<Rgb> shown = Pixels(upright, &w, &h);
    if (upright != picture.dib) MemFree(&upright);
    MemFree(&picture.dib);
    // EXIF tells where the stored first row (r) and first column (c) belong.
    // Shown cell (X, Y) holds stored cell (sx, sy) as those rules say.
    bool transposed = value >= 5;
    ASSERT_EQ(w, transposed ? 16 : 24) << value;
    ASSERT_EQ(h, transposed ? 24 : 16) << value;
    for (int Y = 0; Y < h / 8; ++Y)
      for (int X = 0; X < w / 8; ++X) {
        int sx, sy;
        switch (value) {
          case 1: sx = X, sy = Y; break;              // row top, column left
          case 2: sx = 2 - X, sy = Y; break;          // row top, column right
          case 3: sx = 2 - X, sy = 1 - Y; break;      // row bottom, column right
          case 4: sx = X, sy = 1 - Y; break;          // row bottom, column left
          case 5: sx = Y, sy = X; break;              // row left, column top
          case 6: sx = Y, sy = 1 - X; break;          // row right, column top
          case 7: sx = 2 - Y, sy = 1 - X; break;      // row right, column bottom
          default: sx = 2 - Y, sy = X; break;         // row left, column bottom
        }
        Rgb got = shown[size_t((Y * 8 + 4) * w + X * 8 + 4)], want = cells[sy][sx];
        for (int shift : {0, 8, 16})
          EXPECT_NEAR(int(got >> shift & 255), int(want >> shift & 255), 8) << "EXIF " << value << " cell " << X << "," << Y;
      }
  }
  // No EXIF block: code 0.
  std::vector<unsigned char> plain = ReadAll(Fixture("cells.jpg"));
  EXPECT_EQ(PictureExifOrientation(plain.data(), plain.size(), FORMAT_JPEG), 0);
}

TEST(PictureOrientation, TiffTagGivesTheCodeOverThePixelsAsStored) {
  for (auto [name, code] : {std::pair<const char *, int32_t>{"pattern_tag6.tif", 1}, {"pattern_tag3.tif", 2}}) {
    DecodedPicture picture;
    std::string error;
    ASSERT_EQ(DecodePictureFile(Fixture(name).c_str(), 0, &picture, &error), 1) << error;
    EXPECT_EQ(picture.orientation, code) << name;
    EXPECT_EQ(Pixels(picture.dib), kPattern) << name;
    MemFree(&picture.dib);
  }
}

// ---- importing into a saver -------------------------------------------------------

std::vector<std::string> Entries(const std::string &folder) {
  std::vector<std::string> names;
  DIR *dir = opendir(folder.c_str());
  if (!dir) return names;
  while (dirent *e = readdir(dir))
    if (strcmp(e->d_name, ".") && strcmp(e->d_name, "..")) names.push_back(e->d_name);
  closedir(dir);
  return names;
}

TEST(PictureImport, ConvertsFitsAndKeepsJpeg) {
  char pattern[] = "/tmp/vkimportXXXXXX";
  std::string temp = mkdtemp(pattern);
  PictureImportOptions options = {90, temp.c_str(), 0, 0, 0};
  ImportedPicture out;
  std::string error;
  // A PNG becomes a new JPEG file of its own size in the temp folder.
  ASSERT_EQ(ImportPicture(Fixture("pattern.png").c_str(), &options, &out, &error), 1) << error;
  EXPECT_EQ(out.temporary, 1);
  EXPECT_EQ(out.format, FORMAT_PNG);
  EXPECT_EQ(std::string(out.path).rfind(temp, 0), 0u) << out.path;
  std::vector<unsigned char> jpeg = ReadAll(out.path);
  ASSERT_GE(jpeg.size(), 3u);
  EXPECT_EQ(PictureFormatOf(jpeg.data(), jpeg.size()), FORMAT_JPEG);
  void *back = PictureLoad(out.path, 1);
  int32_t w = 0, h = 0;
  Pixels(back, &w, &h);
  MemFree(&back);
  EXPECT_EQ(w, 4);
  EXPECT_EQ(h, 2);
  remove(out.path);
  // A JPEG goes in as it is.
  ASSERT_EQ(ImportPicture(Fixture("cells.jpg").c_str(), &options, &out, &error), 1) << error;
  EXPECT_EQ(out.temporary, 0);
  EXPECT_EQ(std::string(out.path), Fixture("cells.jpg"));
  // Fitted into 12 x 12: the 24 x 16 JPEG is scaled to 12 x 8 and re-compressed.
  options.fitWidth = options.fitHeight = 12;
  ASSERT_EQ(ImportPicture(Fixture("cells.jpg").c_str(), &options, &out, &error), 1) << error;
  EXPECT_EQ(out.temporary, 1);
  EXPECT_EQ(out.width, 12);
  EXPECT_EQ(out.height, 8);
  remove(out.path);
  // Turned a quarter by EXIF, it is 16 wide and 24 high on screen: into a
  // 20 x 12 box it goes as 8 x 12 shown, so 12 x 8 stored.
  std::vector<unsigned char> turned = WithExifOrientation(6, false);
  std::string turnedPath = temp + "/turned.jpg";
  FILE *f = fopen(turnedPath.c_str(), "wb");
  fwrite(turned.data(), 1, turned.size(), f);
  fclose(f);
  options.fitWidth = 20;
  options.fitHeight = 12;
  ASSERT_EQ(ImportPicture(turnedPath.c_str(), &options, &out, &error), 1) << error;
  EXPECT_EQ(out.orientation, 1);
  EXPECT_EQ(out.width, 12);
  EXPECT_EQ(out.height, 8);
  remove(out.path);
  remove(turnedPath.c_str());
  // A damaged picture: refused, naming the file, nothing left behind.
  std::vector<unsigned char> png = ReadAll(Fixture("pattern.png"));
  std::string cutPath = temp + "/cut.png";
  f = fopen(cutPath.c_str(), "wb");
  fwrite(png.data(), 1, png.size() / 2, f);
  fclose(f);
  EXPECT_EQ(ImportPicture(cutPath.c_str(), &options, &out, &error), 0);
  EXPECT_EQ(out.format, FORMAT_PNG);
  EXPECT_EQ(error.rfind(cutPath + ": ", 0), 0u) << error;
  remove(cutPath.c_str());
  EXPECT_TRUE(Entries(temp).empty());
  rmdir(temp.c_str());
}

}  // namespace
