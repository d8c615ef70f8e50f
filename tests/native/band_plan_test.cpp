// VELLUX's band plan: spans, the bands of each pass, clipping at the area's
// edge, and the empty cases.
#include "transitions/VELLUX/band_plan.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
struct Band {
  int32_t position, size;
};

std::vector<Band> AllBands(int64_t span, int32_t length) {
  BandPlan plan;
  StartBandPlan(&plan, span, length);
  std::vector<Band> bands;
  int32_t q, size;
  while (NextBand(&plan, &q, &size)) bands.push_back({q, size});
  return bands;
}
}  // namespace

TEST(BandPlan, SpanIsTheNextPowerOfTwoOrZeroForAnEmptyClient) {
  EXPECT_EQ(BandSpan(700, 800), 1024);
  EXPECT_EQ(BandSpan(1024, 1024), 1024);
  EXPECT_EQ(BandSpan(1025, 2000), 2048);
  EXPECT_EQ(BandSpan(3, 10), 4);
  EXPECT_EQ(BandSpan(1, 10), 1);
  EXPECT_EQ(BandSpan(0, 10), 1);
  EXPECT_EQ(BandSpan(-5, 10), 1);
  EXPECT_EQ(BandSpan(700, 0), 0) << "a client without width draws nothing";
  EXPECT_EQ(BandSpan(0x7FFFFFFF, 1), INT64_C(0x80000000));
}

TEST(BandPlan, ColumnsOf700PixelsInASpanOf1024) {
  std::vector<Band> bands = AllBands(1024, 700);
  // First pass: four bands of 256, the one at 768 lies outside the area.
  ASSERT_GE(bands.size(), 4u);
  EXPECT_EQ(bands[0].position, 0);
  EXPECT_EQ(bands[0].size, 256);
  EXPECT_EQ(bands[1].position, 256);
  EXPECT_EQ(bands[2].position, 512);
  EXPECT_EQ(bands[2].size, 188) << "clipped to the area's right edge";
  EXPECT_EQ(bands[3].position, 0) << "the second pass starts again at 0";
  EXPECT_EQ(bands[3].size, 128);
  // Passes of 256, 128, ..., 2 pixels: ceil(700 / width) bands each.
  EXPECT_EQ(bands.size(), 3u + 6 + 11 + 22 + 44 + 88 + 175 + 350);
  EXPECT_EQ(bands.back().size, 2);
  EXPECT_EQ(bands.back().position, 698);
}

TEST(BandPlan, EveryPassCoversTheAreaExactlyOnce) {
  for (int32_t length : {5, 7, 100, 333, 700, 1024}) {
    std::vector<Band> bands = AllBands(BandSpan(length, length), length);
    size_t i = 0;
    int passes = 0;
    for (int32_t width = static_cast<int32_t>(BandSpan(length, length) / 4); width >= 2; width /= 2, ++passes) {
      int32_t covered = 0;
      while (covered < length) {
        ASSERT_LT(i, bands.size()) << length;
        EXPECT_EQ(bands[i].position, covered) << length << " width " << width;
        int32_t want = width < length - covered ? width : length - covered;
        EXPECT_EQ(bands[i].size, want) << length << " at " << covered;
        covered += bands[i].size;
        ++i;
      }
    }
    EXPECT_EQ(i, bands.size()) << length << ": no band beyond the passes";
    EXPECT_GT(passes, 0);
  }
}

TEST(BandPlan, AFullSpanOf1024Has1020Bands) {
  EXPECT_EQ(AllBands(1024, 1024).size(), 4u + 8 + 16 + 32 + 64 + 128 + 256 + 512);
}

TEST(BandPlan, SpansOfFourOrLessAndEmptyClientsDrawNothing) {
  for (int32_t length : {-3, 0, 1, 2, 3, 4}) EXPECT_TRUE(AllBands(BandSpan(length, 100), length).empty()) << length;
  EXPECT_TRUE(AllBands(BandSpan(700, 0), 700).empty());
  // 5 pixels: span 8, one pass of bands 2 wide at 0, 2, 4 (the last 1 wide).
  std::vector<Band> five = AllBands(8, 5);
  ASSERT_EQ(five.size(), 3u);
  EXPECT_EQ(five[2].position, 4);
  EXPECT_EQ(five[2].size, 1);
}

TEST(BandPlan, HugeLengthsDoNotOverflow) {
  BandPlan plan;
  StartBandPlan(&plan, BandSpan(0x7FFFFFFF, 1), 0x7FFFFFFF);
  int32_t q, size;
  ASSERT_TRUE(NextBand(&plan, &q, &size));
  EXPECT_EQ(q, 0);
  EXPECT_EQ(size, 1 << 29);
  ASSERT_TRUE(NextBand(&plan, &q, &size));
  ASSERT_TRUE(NextBand(&plan, &q, &size));
  ASSERT_TRUE(NextBand(&plan, &q, &size));
  EXPECT_EQ(q, 3 << 29);
  EXPECT_EQ(size, (1 << 29) - 1);
}
