// Pull toward grey: channel arithmetic worked by hand, the input left alone,
// an 8-bit picture expanded first, damaged input refused, and the 32-bit
// bands against the formula.
#include "transitions/gray/gray_pull.h"

#include <gtest/gtest.h>

#include <cstring>

#include "shell/base/mem_block.h"
#include "shell/base/win_types.h"
#include "transitions/frame_picture.h"

namespace {
int Stride24(int w) { return (w * 3 + 3) & ~3; }

// A 24-bit packed DIB; every pixel's blue, green, red taken from `bgr` in turn.
void *Make24(int w, int h, const uint8_t *bgr, int values) {
  auto *dib = static_cast<uint8_t *>(MemAlloc(40 + static_cast<size_t>(Stride24(w)) * h));
  auto *hd = reinterpret_cast<BITMAPINFOHEADER *>(dib);
  hd->biSize = 40;
  hd->biWidth = w;
  hd->biHeight = h;
  hd->biPlanes = 1;
  hd->biBitCount = 24;
  int k = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w * 3; ++x) dib[40 + y * Stride24(w) + x] = bgr[k++ % values];
  return dib;
}

// The expected channel, written out from the rule: move toward 128 by
// percent * 128 / 100, stop at 128.
int Expected(int v, int percent) {
  int m = percent * 128 / 100;
  if (v > 128) return v - m < 128 ? 128 : v - m;
  return v + m > 128 ? 128 : v + m;
}
}  // namespace

TEST(GrayPull, HalfwayValuesFromTheRule) {
  const uint8_t values[] = {200, 100, 0, 255, 128, 129, 127, 64, 192};
  void *dib = Make24(3, 2, values, 9);
  void *half = DibPullToGray(dib, 50);
  ASSERT_NE(half, nullptr);
  const uint8_t *p = static_cast<uint8_t *>(half) + 40;
  EXPECT_EQ(p[0], 136) << "200 at 50 %: m = 64";
  EXPECT_EQ(p[1], 128) << "100 at 50 %: capped at 128";
  EXPECT_EQ(p[2], 64);
  EXPECT_EQ(p[3], 191);
  EXPECT_EQ(p[4], 128);
  EXPECT_EQ(p[5], 128);
  EXPECT_EQ(p[6], 128);
  EXPECT_EQ(p[7], 128);
  EXPECT_EQ(p[8], 128);
  EXPECT_EQ(MemSize(half), MemSize(dib));
  EXPECT_EQ(memcmp(half, dib, 40), 0) << "header copied";
  MemFree(&half);
  MemFree(&dib);
}

TEST(GrayPull, EveryPercentageAndChannelAgainstTheFormula) {
  uint8_t values[256];
  for (int i = 0; i < 256; ++i) values[i] = static_cast<uint8_t>(i);
  // 5 x 18 pixels: rows of 15 bytes padded to 16, so the padding is skipped.
  void *dib = Make24(5, 18, values, 256);
  const uint8_t *in = static_cast<uint8_t *>(dib) + 40;
  for (int percent = 0; percent <= 100; percent += 7) {
    void *out = DibPullToGray(dib, percent);
    ASSERT_NE(out, nullptr);
    const uint8_t *o = static_cast<uint8_t *>(out) + 40;
    for (int y = 0; y < 18; ++y)
      for (int x = 0; x < 15; ++x) {
        int i = y * 16 + x;
        ASSERT_EQ(o[i], Expected(in[i], percent)) << percent << "% byte " << i;
      }
    MemFree(&out);
  }
  MemFree(&dib);
}

TEST(GrayPull, EndsAndTheInputUntouched) {
  const uint8_t values[] = {0, 255, 17, 240, 128, 3};
  void *dib = Make24(4, 3, values, 6);
  void *copy = MemDup(dib);
  void *flat = DibPullToGray(dib, 100);
  ASSERT_NE(flat, nullptr);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 12; ++x) EXPECT_EQ(static_cast<uint8_t *>(flat)[40 + y * 12 + x], 128);
  void *same = DibPullToGray(dib, 0);
  ASSERT_NE(same, nullptr);
  EXPECT_EQ(memcmp(same, dib, MemSize(dib)), 0) << "0 % leaves the picture as it is";
  void *over = DibPullToGray(dib, 150);
  ASSERT_NE(over, nullptr);
  EXPECT_EQ(memcmp(over, flat, MemSize(flat)), 0) << "above 100 % acts as 100 %";
  EXPECT_EQ(memcmp(copy, dib, MemSize(dib)), 0) << "the input is not changed";
  MemFree(&flat);
  MemFree(&same);
  MemFree(&over);
  MemFree(&copy);
  MemFree(&dib);
}

TEST(GrayPull, EightBitPictureIsExpandedFirst) {
  // 2 x 1, 8 bits: palette entry 1 = (r 200, g 40, b 128), entry 0 = black.
  auto *dib = static_cast<uint8_t *>(MemAlloc(40 + 256 * 4 + 4));
  auto *hd = reinterpret_cast<BITMAPINFOHEADER *>(dib);
  hd->biSize = 40;
  hd->biWidth = 2;
  hd->biHeight = 1;
  hd->biPlanes = 1;
  hd->biBitCount = 8;
  dib[40 + 4] = 128;  // blue
  dib[40 + 5] = 40;   // green
  dib[40 + 6] = 200;  // red
  dib[40 + 1024] = 1;
  dib[40 + 1025] = 0;
  void *out = DibPullToGray(dib, 25);  // m = 32
  ASSERT_NE(out, nullptr);
  auto *oh = static_cast<BITMAPINFOHEADER *>(out);
  EXPECT_EQ(oh->biBitCount, 24);
  EXPECT_EQ(oh->biWidth, 2);
  const uint8_t *p = static_cast<uint8_t *>(out) + 40;
  EXPECT_EQ(p[0], 128);
  EXPECT_EQ(p[1], 72);
  EXPECT_EQ(p[2], 168);
  EXPECT_EQ(p[3], 32);
  EXPECT_EQ(p[4], 32);
  EXPECT_EQ(p[5], 32);
  MemFree(&out);
  MemFree(&dib);
}

TEST(GrayPull, DamagedInputIsRefused) {
  EXPECT_EQ(DibPullToGray(nullptr, 50), nullptr);
  const uint8_t values[] = {1};
  void *dib = Make24(4, 4, values, 1);
  void *small = MemAlloc(60);  // header claims more rows than the block holds
  memcpy(small, dib, 60);
  EXPECT_EQ(DibPullToGray(small, 50), nullptr);
  MemFree(&small);
  MemFree(&dib);
}

// The band form: every channel value at every percentage lands in its place
// of the 32-bit pixel, a band holds the rows it names (counted from the top)
// bottom-up like the picture, and mismatched pictures are refused.
TEST(GrayPull, BandHoldsThePulledRowsAt32Bits) {
  uint8_t values[256];
  for (int i = 0; i < 256; ++i) values[i] = static_cast<uint8_t>(i);
  // 5 x 52 pixels: rows of 15 bytes padded to 16; every value in every channel.
  void *dib = Make24(5, 52, values, 256);
  const uint8_t *in = static_cast<uint8_t *>(dib) + 40;
  auto want = [&](int x, int bottomUpRow, int percent) {
    const uint8_t *p = in + bottomUpRow * 16 + x * 3;
    return static_cast<uint32_t>(Expected(p[2], percent)) << 16 |
           static_cast<uint32_t>(Expected(p[1], percent)) << 8 | Expected(p[0], percent);
  };
  void *frame = FramePictureNew(5, 52);
  ASSERT_NE(frame, nullptr);
  auto *fh = static_cast<BITMAPINFOHEADER *>(frame);
  EXPECT_EQ(fh->biBitCount, 32);
  EXPECT_EQ(fh->biWidth, 5);
  EXPECT_EQ(fh->biHeight, 52);
  EXPECT_EQ(MemSize(frame), 40u + 5 * 52 * 4);
  for (int percent = 0; percent <= 100; ++percent) {
    ASSERT_EQ(PullToGrayBand(dib, percent, 0, frame), 1);
    const uint32_t *o = FramePixels(frame);
    for (int y = 0; y < 52; ++y)
      for (int x = 0; x < 5; ++x) ASSERT_EQ(o[y * 5 + x], want(x, y, percent)) << percent << "% pixel " << x << "," << y;
  }
  // Seven rows from the eleventh from the top: the picture's bottom-up rows
  // 35 .. 41, the lowest first.
  void *band = FramePictureNew(5, 7);
  ASSERT_EQ(PullToGrayBand(dib, 60, 10, band), 1);
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 5; ++x) ASSERT_EQ(FramePixels(band)[y * 5 + x], want(x, 35 + y, 60)) << x << "," << y;
  EXPECT_EQ(PullToGrayBand(dib, 60, 45, band), 1) << "the last seven rows";
  EXPECT_EQ(FramePixels(band)[0], want(0, 0, 60));
  EXPECT_EQ(PullToGrayBand(dib, 60, 46, band), 0) << "a band beyond the picture's last row";
  EXPECT_EQ(PullToGrayBand(dib, 60, -1, band), 0);
  void *other = FramePictureNew(4, 7);
  EXPECT_EQ(PullToGrayBand(dib, 50, 0, other), 0) << "another width";
  EXPECT_EQ(PullToGrayBand(frame, 50, 0, frame), 0) << "a 32-bit source";
  EXPECT_EQ(PullToGrayBand(nullptr, 50, 0, frame), 0);
  EXPECT_EQ(FramePictureNew(0, 5), nullptr);
  MemFree(&other);
  MemFree(&band);
  MemFree(&frame);
  MemFree(&dib);
}
