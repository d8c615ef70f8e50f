// Pictures that cost more than they show: each hostile file is built here
// from its description (the 41-byte PNG, a flat WebP whose header says
// 9400 x 9400, a GIF screen holding one pixel, JPEG headers over the size
// limit, JPEGs of 100 and 101 scans) and must be refused with the real
// reason before anything of its declared size exists; the player's reader
// and the import give the same reason for the same damage; and a JPEG's
// bytes after its end marker are not part of it.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <jpeglib.h>
#include <webp/encode.h>
#include <zlib.h>

#include "raster/dib.h"
#include "raster/picture_decode.h"
#include "raster/picture_report.h"
#include "shell/base/mem_block.h"
#include "tests/support/temp_folder.h"

namespace {

typedef std::vector<unsigned char> Bytes;

Bytes ReadAll(const std::string &path) {
  Bytes bytes;
  FILE *f = fopen(path.c_str(), "rb");
  if (!f) return bytes;
  int c;
  while ((c = getc(f)) != EOF) bytes.push_back(static_cast<unsigned char>(c));
  fclose(f);
  return bytes;
}
Bytes Fixture(const char *folder, const char *name) {
  return ReadAll(std::string(VK_TEST_DATA) + "/" + folder + "/" + name);
}

// DecodePictureWith at full size over black.
int Decode(const Bytes &bytes, PictureReport *report, DecodedPicture *out) {
  PictureDecodeOptions options = {0, 0, 0, nullptr};
  return DecodePictureWith(bytes.data(), bytes.size(), &options, out, report);
}

std::string Reason(const PictureReport &report) {
  char text[400];
  PictureReportText(&report, text, sizeof text);
  return text;
}

// The 24-bit pixel at (x, y) counted from the top, as 0xRRGGBB.
uint32_t PixelAt(const void *dib, int32_t x, int32_t y) {
  SIZE s;
  DibGetSize(dib, &s);
  const BYTE *p = DibBits(dib) + size_t(s.cy - 1 - y) * DibStride(s.cx, 24) + size_t(x) * 3;
  return uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
}

// ---- PNG ---------------------------------------------------------------------

void PutBig32(Bytes &b, uint32_t v) {
  for (int shift : {24, 16, 8, 0}) b.push_back(static_cast<unsigned char>(v >> shift));
}

TEST(PictureLimits, FortyOneBytePngsAreCutShortWhateverTheirChunkClaims) {
  for (const char *chunk : {"tEXt", "zTXt", "iTXt", "sPLT"}) {
    // Signature, a 16 x 16 RGB header with its checksum, then a chunk that
    // claims 0x7fffffff bytes and holds none.
    Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    Bytes ihdr = {'I', 'H', 'D', 'R'};
    PutBig32(ihdr, 16), PutBig32(ihdr, 16);
    ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});
    PutBig32(png, 13);
    png.insert(png.end(), ihdr.begin(), ihdr.end());
    PutBig32(png, uint32_t(crc32(0, ihdr.data(), uInt(ihdr.size()))));
    PutBig32(png, 0x7fffffff);
    png.insert(png.end(), chunk, chunk + 4);
    ASSERT_EQ(png.size(), 41u);
    PictureReport report;
    DecodedPicture out;
    EXPECT_EQ(Decode(png, &report, &out), 0) << chunk;
    EXPECT_EQ(out.format, FORMAT_PNG);
    EXPECT_EQ(report.problem, PICTURE_CUT_SHORT) << chunk << ": " << Reason(report);
    EXPECT_NE(Reason(report).find(std::string(chunk) + " chunk claims 2147483647 bytes; 0 follow"), std::string::npos)
        << Reason(report);
  }
}

// ---- WebP --------------------------------------------------------------------

// A flat lossless WebP of 16 x 16 with its header's size changed: a flat
// picture's codes have one symbol each and take no bits, so the bitstream
// stands for a flat picture of any size.
Bytes FlatWebp(int side, uint32_t rgb) {
  std::vector<uint8_t> bgr;
  for (int i = 0; i < 16 * 16; ++i) bgr.insert(bgr.end(), {uint8_t(rgb), uint8_t(rgb >> 8), uint8_t(rgb >> 16)});
  uint8_t *encoded = nullptr;
  size_t size = WebPEncodeLosslessBGR(bgr.data(), 16, 16, 16 * 3, &encoded);
  Bytes webp(encoded, encoded + size);
  WebPFree(encoded);
  size_t at = 0;
  while (at + 8 < webp.size() && memcmp(&webp[at], "VP8L", 4) != 0) ++at;
  at += 8;
  EXPECT_EQ(webp[at], 0x2f);
  uint32_t bits = uint32_t(webp[at + 1]) | uint32_t(webp[at + 2]) << 8 | uint32_t(webp[at + 3]) << 16 |
                  uint32_t(webp[at + 4]) << 24;
  bits = (bits & ~((1u << 28) - 1)) | uint32_t(side - 1) | uint32_t(side - 1) << 14;
  for (int i = 0; i < 4; ++i) webp[at + 1 + i] = uint8_t(bits >> (8 * i));
  return webp;
}

TEST(PictureLimits, AFlatWebpIsReadUpToTheLimitAndRefusedBeyondItUndecoded) {
  Bytes small = FlatWebp(1000, 0x3366cc);
  EXPECT_LT(small.size(), 100u);
  PictureReport report;
  DecodedPicture out;
  ASSERT_EQ(Decode(small, &report, &out), 1) << Reason(report);
  EXPECT_EQ(out.width, 1000);
  EXPECT_EQ(out.height, 1000);
  for (int32_t y : {0, 499, 999})
    for (int32_t x : {0, 500, 999}) EXPECT_EQ(PixelAt(out.dib, x, y), 0x3366ccu) << x << "," << y;
  MemFree(&out.dib);

  Bytes huge = FlatWebp(9400, 0x3366cc);
  EXPECT_EQ(Decode(huge, &report, &out), 0);
  EXPECT_EQ(report.problem, PICTURE_TOO_LARGE);
  EXPECT_EQ(report.width, 9400);
  EXPECT_EQ(report.height, 9400);
  // 8192 x 8192 is 67108864 pixels: the limit, as the message gives it.
  EXPECT_NE(Reason(report).find("9400 x 9400 pixels; a picture may have at most 67108864 (8192 x 8192)"),
            std::string::npos)
      << Reason(report);
}

// ---- GIF ---------------------------------------------------------------------

// A GIF89a of a width x height screen without a colour table holding one
// frame of 1 x 1 at (0, 0) with a table of blue and white, its one pixel
// blue: clear (4), 0, end (5) in 3-bit codes, lowest bits first.
Bytes OnePixelGif(int width, int height) {
  Bytes gif = {'G', 'I', 'F', '8', '9', 'a', uint8_t(width), uint8_t(width >> 8), uint8_t(height),
               uint8_t(height >> 8), 0, 0, 0};
  gif.insert(gif.end(), {0x2c, 0, 0, 0, 0, 1, 0, 1, 0, 0x80, 0, 0, 0xff, 0xff, 0xff, 0xff});
  uint32_t codes = 4 | 0 << 3 | 5 << 6;
  gif.insert(gif.end(), {2, 2, uint8_t(codes), uint8_t(codes >> 8), 0, 0x3b});
  return gif;
}

TEST(PictureLimits, AGifScreenIsCheckedBeforeItsCanvasExists) {
  PictureReport report;
  DecodedPicture out;
  // On a 3 x 2 screen: the frame's pixel blue at the top left, the rest the
  // matte (here black).
  ASSERT_EQ(Decode(OnePixelGif(3, 2), &report, &out), 1) << Reason(report);
  EXPECT_EQ(PixelAt(out.dib, 0, 0), 0x0000ffu);
  EXPECT_EQ(PixelAt(out.dib, 2, 1), 0u);
  MemFree(&out.dib);
  Bytes huge = OnePixelGif(9000, 9000);
  EXPECT_EQ(huge.size(), 35u);
  EXPECT_EQ(Decode(huge, &report, &out), 0);
  EXPECT_EQ(report.problem, PICTURE_TOO_LARGE);
  EXPECT_EQ(report.width * report.height, 81000000);
  // A screen of 0 x 0 holding a frame of 0 x 0 is empty, not too large.
  Bytes empty = {'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0, 0, 0, 0, 0x2c, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 1, 5, 0, 0x3b};
  EXPECT_EQ(Decode(empty, &report, &out), 0);
  EXPECT_EQ(report.problem, PICTURE_EMPTY) << Reason(report);
}

// ---- JPEG --------------------------------------------------------------------

// The JPEG with the size in its baseline frame header replaced.
Bytes WithFrameSize(Bytes jpeg, int width, int height) {
  for (size_t i = 2; i + 9 < jpeg.size(); ++i)
    if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {
      jpeg[i + 5] = uint8_t(height >> 8), jpeg[i + 6] = uint8_t(height);
      jpeg[i + 7] = uint8_t(width >> 8), jpeg[i + 8] = uint8_t(width);
      return jpeg;
    }
  ADD_FAILURE() << "no baseline frame header";
  return jpeg;
}

TEST(PictureLimits, JpegsOverTheLimitAreTooLargeInThePlayerAndTheImport) {
  TempFolder temp;
  struct Case {
    const char *fixture;
    int side;
  } cases[] = {{"solid_360x180.jpg", 9000}, {"grey_16x8.jpg", 10000}};
  for (const Case &c : cases) {
    Bytes jpeg = WithFrameSize(Fixture("raster", c.fixture), c.side, c.side);
    PictureReport report;
    DecodedPicture out;
    EXPECT_EQ(Decode(jpeg, &report, &out), 0) << c.fixture;
    EXPECT_EQ(report.problem, PICTURE_TOO_LARGE) << Reason(report);
    EXPECT_EQ(report.width, c.side);
    std::string path = temp.Put("big.jpg", jpeg.data(), jpeg.size());
    EXPECT_EQ(PictureLoadChecked(path.c_str(), 1, nullptr, &report), nullptr);
    EXPECT_EQ(report.problem, PICTURE_TOO_LARGE) << Reason(report);
    EXPECT_EQ(report.height, c.side);
  }
}

// A grey 32 x 32 progressive JPEG of two scans, the DC coefficients and then
// AC 1 to 63 whole, made by libjpeg from a script; then that AC scan
// repeated until the file has `scans` scans (libjpeg decodes each again, to
// the same coefficients).
Bytes RepeatedScans(int scans) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr err;
  cinfo.err = jpeg_std_error(&err);
  jpeg_create_compress(&cinfo);
  unsigned char *buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = cinfo.image_height = 32;
  cinfo.input_components = 1;
  cinfo.in_color_space = JCS_GRAYSCALE;
  jpeg_set_defaults(&cinfo);
  static jpeg_scan_info script[2] = {{1, {0}, 0, 0, 0, 0}, {1, {0}, 1, 63, 0, 0}};
  cinfo.scan_info = script;
  cinfo.num_scans = 2;
  jpeg_start_compress(&cinfo, TRUE);
  unsigned char row[32];
  while (cinfo.next_scanline < 32) {
    for (int x = 0; x < 32; ++x) row[x] = static_cast<unsigned char>(x * 8 + cinfo.next_scanline);
    JSAMPROW rows[1] = {row};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  Bytes jpeg(buffer, buffer + size);
  free(buffer);
  // The second start-of-scan marker (the first lies before it) up to the end marker.
  size_t first = 0, second = 0;
  for (size_t i = 2; i + 1 < jpeg.size(); ++i)
    if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xDA) {
      if (!first) first = i;
      else if (!second) second = i;
    }
  EXPECT_GT(second, first);
  Bytes scan(jpeg.begin() + long(second), jpeg.end() - 2);
  Bytes out(jpeg.begin(), jpeg.end() - 2);
  for (int i = 2; i < scans; ++i) out.insert(out.end(), scan.begin(), scan.end());
  out.insert(out.end(), {0xFF, 0xD9});
  return out;
}

struct CountingStop {
  int calls;
  int stopAt;  // 0: never
};
int CountAndMaybeStop(void *context) {
  CountingStop *c = static_cast<CountingStop *>(context);
  return ++c->calls == c->stopAt ? 1 : 0;
}

TEST(PictureLimits, AJpegMayHaveAHundredScansAndTheStopIsAsked) {
  PictureReport report;
  Bytes twoScans = RepeatedScans(2);
  void *two = JpegDecodeMemoryReport(twoScans.data(), twoScans.size(), 1, nullptr, &report);
  ASSERT_NE(two, nullptr) << Reason(report);
  Bytes hundred = RepeatedScans(JPEG_MAX_SCANS);
  CountingStop never = {0, 0};
  DecodeStop ask = {CountAndMaybeStop, &never};
  void *many = JpegDecodeMemoryReport(hundred.data(), hundred.size(), 1, &ask, &report);
  ASSERT_NE(many, nullptr) << Reason(report);
  EXPECT_EQ(report.problem, PICTURE_FINE) << Reason(report);
  ASSERT_EQ(MemSize(many), MemSize(two));
  EXPECT_EQ(memcmp(many, two, MemSize(two)), 0);
  // Asked at least once a scan.
  EXPECT_GE(never.calls, JPEG_MAX_SCANS);
  MemFree(&many);
  MemFree(&two);

  Bytes tooMany = RepeatedScans(JPEG_MAX_SCANS + 1);
  EXPECT_EQ(JpegDecodeMemoryReport(tooMany.data(), tooMany.size(), 1, nullptr, &report), nullptr);
  EXPECT_EQ(report.problem, PICTURE_TOO_MANY_SCANS);
  EXPECT_NE(Reason(report).find("more than 100"), std::string::npos) << Reason(report);
  // A stop asked for half way ends the decode.
  CountingStop half = {0, never.calls / 2};
  ask.context = &half;
  EXPECT_EQ(JpegDecodeMemoryReport(hundred.data(), hundred.size(), 1, &ask, &report), nullptr);
  EXPECT_EQ(report.problem, PICTURE_STOPPED);
  EXPECT_EQ(half.calls, never.calls / 2);
}

TEST(PictureLimits, BytesAfterAJpegsEndMarkerAreNotThePicture) {
  TempFolder temp;
  Bytes cells = Fixture("pictures", "cells.jpg");
  ASSERT_GT(cells.size(), 4u);
  // An EXIF-like segment holding an end marker of its own must not end the picture.
  Bytes inner = {0xFF, 0xE1, 0x00, 0x0A, 'E', 'x', 0xFF, 0xD8, 0xFF, 0xD9, 0x00, 0x00};
  Bytes jpeg(cells.begin(), cells.begin() + 2);
  jpeg.insert(jpeg.end(), inner.begin(), inner.end());
  jpeg.insert(jpeg.end(), cells.begin() + 2, cells.end());
  Bytes padded = jpeg;
  padded.resize(jpeg.size() + 100000, 0);
  EXPECT_EQ(JpegDataLength(padded.data(), padded.size()), jpeg.size());
  EXPECT_EQ(JpegDataLength(jpeg.data(), jpeg.size() - 1), 0u);  // no end marker
  std::string path = temp.Put("motion.jpg", padded.data(), padded.size());
  size_t size = 0;
  uint64_t dropped = 0;
  PictureReport report;
  unsigned char *read = ReadPictureFile(path.c_str(), &size, &dropped, &report);
  ASSERT_NE(read, nullptr) << Reason(report);
  EXPECT_EQ(size, jpeg.size());
  EXPECT_EQ(dropped, 100000u);
  EXPECT_EQ(memcmp(read, jpeg.data(), size), 0);
  MemFreePtr(read);
}

// ---- the same damage, the same reason ------------------------------------------

TEST(PictureLimits, ThePlayerAndTheImportGiveTheSameReasonForDamage) {
  TempFolder temp;
  // A 2 x 2 24-bit BMP whose pixels would start past the file's end.
  Bytes bmp = {'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x10, 0, 0, 40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0};
  bmp.resize(14 + 40, 0);
  bmp.resize(bmp.size() + 16, 0x7f);
  // A JPEG cut two thirds into its picture data.
  Bytes cut = Fixture("raster", "colour_360x180.jpg");
  cut.resize(cut.size() * 2 / 3);
  for (const Bytes *file : {&bmp, &cut}) {
    std::string path = temp.Put("damaged", file->data(), file->size());
    PictureReport player, import;
    // The player shows what it can (the rest black or grey) and says so.
    void *shown = PictureLoadChecked(path.c_str(), 1, nullptr, &player);
    EXPECT_NE(shown, nullptr);
    MemFree(&shown);
    DecodedPicture out;
    EXPECT_EQ(Decode(*file, &import, &out), 0);
    EXPECT_EQ(player.problem, PICTURE_CUT_SHORT) << Reason(player);
    EXPECT_EQ(import.problem, PICTURE_CUT_SHORT) << Reason(import);
  }
}

}  // namespace
