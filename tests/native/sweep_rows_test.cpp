// The clock sweep row by row: after every frame of whole sweeps (many sizes,
// steps and both directions) the working picture holds exactly the pixels
// that the sector rule, written out here pixel by pixel, has made new so far,
// and a screen that receives only the bands shown equals one that receives
// every frame's whole rectangle; bands stay inside their rectangle, and a
// sweep draws about as many pixels as the picture has.
#include "transitions/diffuse/sweep_rows.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

namespace {
// The rule of one sector fill for pixel (j, r), r counted from the bottom:
// o = (cx - j) x 1024 div (distance of r from the centre row) against a
// horizontal edge, (r - cy) x 1024 div (distance of j from the centre
// column) against a vertical one, between the moving and the fixed ray's
// ratio (both scaled by 1024; a ray with divisor 0 or less lies along the
// centre line).
int64_t Ratio(int64_t n, int64_t d) {
  if (d > 0) return n * 1024 / d;
  return n > 0 ? INT64_C(1) << 40 : n < 0 ? -(INT64_C(1) << 40) : 0;
}

bool InSector(const ClockFrame &f, int32_t w, int32_t h, int32_t j, int32_t r) {
  const int64_t cx = w / 2, cy = h / 2;
  if (j == cx && r == cy) return true;  // the centre lies on every ray
  int64_t fixed, moving, o;
  if (f.kind == CLOCK_SECTOR_H) {
    if (f.c == cy) return false;
    fixed = Ratio(cx - f.x0, cy - f.y0);
    moving = Ratio(cx - f.b, cy);
    if (f.c > cy ? r <= cy : r >= cy) return false;
    if (f.clockwise ? j < f.x0 : j > f.x0) return false;
    o = (cx - j) * 1024 / (f.c > cy ? r - cy : cy - r);
  } else {
    if (f.b == cx) return false;
    fixed = Ratio(f.y0 - cy, cx - f.x0);
    moving = Ratio(f.c - cy, cx);
    if (f.b > cx ? j <= cx : j >= cx) return false;
    if (f.clockwise ? r > f.y0 : r < f.y0) return false;
    o = (r - cy) * 1024 / (f.b > cx ? j - cx : cx - j);
  }
  return f.clockwise ? moving <= o && o <= fixed : fixed <= o && o <= moving;
}

struct Band {
  int32_t x, y, w, h;
};

void Record(void *context, int32_t x, int32_t y, int32_t w, int32_t h) {
  static_cast<std::vector<Band> *>(context)->push_back({x, y, w, h});
}

// The old screen's and the new picture's pixel (j, r): they agree on about a
// quarter of the pixels, which then never count as changed.
uint32_t OldPixel(int32_t j, int32_t r) { return static_cast<uint32_t>(j * 7 + r * 3) & 0x3F; }
uint32_t NewPixel(int32_t j, int32_t r) { return (j + r) % 4 == 0 ? OldPixel(j, r) : 0x40 | ((j * 5 + r) & 0x3F); }

uint32_t At(const std::vector<unsigned char> &picture, uint32_t stride, int32_t j, int32_t r) {
  const unsigned char *p = &picture[static_cast<size_t>(r) * stride + static_cast<size_t>(j) * 3];
  return static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[0];
}

void Put(std::vector<unsigned char> &picture, uint32_t stride, int32_t j, int32_t r, uint32_t v) {
  unsigned char *p = &picture[static_cast<size_t>(r) * stride + static_cast<size_t>(j) * 3];
  p[0] = static_cast<unsigned char>(v);
  p[1] = static_cast<unsigned char>(v >> 8);
  p[2] = static_cast<unsigned char>(v >> 16);
}

// Runs a whole sweep and checks it frame by frame; returns the pixels drawn
// and adds those of the whole rectangles to *wholeArea when given.
long CheckSweep(int32_t w, int32_t h, int32_t step, int ccw, long *wholeArea = nullptr) {
  const uint32_t stride = (static_cast<uint32_t>(w) * 24 + 31) / 32 * 4;
  std::vector<unsigned char> work(stride * h, 0), fresh(stride * h, 0);
  std::vector<uint32_t> whole(static_cast<size_t>(w) * h), shown(static_cast<size_t>(w) * h);  // screens, top-down
  for (int32_t r = 0; r < h; ++r)
    for (int32_t j = 0; j < w; ++j) {
      Put(work, stride, j, r, OldPixel(j, r));
      Put(fresh, stride, j, r, NewPixel(j, r));
      whole[static_cast<size_t>(h - 1 - r) * w + j] = shown[static_cast<size_t>(h - 1 - r) * w + j] = OldPixel(j, r);
    }
  ClockPictures pictures = {work.data(), fresh.data(), w, h, stride, w / 2, h / 2};
  std::vector<unsigned char> isNew(static_cast<size_t>(w) * h, 0);  // by the rule, (j, r)
  ClockSweep sweep;
  EXPECT_EQ(StartClockSweep(&sweep, w, h, step, ccw), 1);
  SweepRows rows;
  EXPECT_EQ(SweepRowsStart(&rows, w, h), 1);
  ClockFrame f;
  long drawn = 0;
  int frame = 0;
  auto expected = [&](int32_t j, int32_t r) { return isNew[static_cast<size_t>(r) * w + j] ? NewPixel(j, r) : OldPixel(j, r); };
  while (NextClockFrame(&sweep, &f) && frame < 100000) {
    ++frame;
    FillClockSectorRows(&pictures, &f, &rows);
    for (int32_t r = 0; r < h; ++r)
      for (int32_t j = 0; j < w; ++j) {
        unsigned char &n = isNew[static_cast<size_t>(r) * w + j];
        n = n || InSector(f, w, h, j, r);
        if (At(work, stride, j, r) != expected(j, r)) {
          ADD_FAILURE() << w << "x" << h << " step " << step << (ccw ? " ccw" : " cw") << " frame " << frame
                        << ": working pixel " << j << "," << r << " should be " << (n ? "new" : "old");
          return -1;
        }
      }
    std::vector<Band> bands;
    if (f.width > 0 && f.height > 0) ShowChangedBands(&rows, f.x, f.y, f.width, f.height, Record, &bands);
    for (int32_t y = f.y; y < f.y + f.height; ++y)
      for (int32_t x = f.x; x < f.x + f.width; ++x) whole[static_cast<size_t>(y) * w + x] = expected(x, h - 1 - y);
    if (wholeArea && f.width > 0 && f.height > 0) *wholeArea += static_cast<long>(f.width) * f.height;
    for (const Band &b : bands) {
      EXPECT_TRUE(b.w > 0 && b.h > 0 && b.h <= SWEEP_BAND_ROWS);
      if (b.x < f.x || b.y < f.y || b.x + b.w > f.x + f.width || b.y + b.h > f.y + f.height) {
        ADD_FAILURE() << "band " << b.x << "," << b.y << " " << b.w << "x" << b.h << " outside the frame's rectangle";
        return -1;
      }
      drawn += static_cast<long>(b.w) * b.h;
      for (int32_t y = b.y; y < b.y + b.h; ++y)
        for (int32_t x = b.x; x < b.x + b.w; ++x) shown[static_cast<size_t>(y) * w + x] = At(work, stride, x, h - 1 - y);
    }
    if (shown != whole) {
      ADD_FAILURE() << w << "x" << h << " step " << step << (ccw ? " ccw" : " cw") << " frame " << frame
                    << ": the screen differs from one given the whole rectangles";
      return -1;
    }
  }
  SweepRowsEnd(&rows);
  return drawn;
}
}  // namespace

TEST(SweepRows, EveryFrameEqualsTheWholeFillsAndRectangles) {
  const int32_t sizes[][2] = {{64, 48}, {65, 49}, {101, 37}, {37, 101}, {99, 100}, {200, 7}, {7, 200},
                              {1, 1},   {2, 3},   {3, 2},    {4, 4},    {1, 50},   {50, 1},  {160, 120}};
  for (const auto &size : sizes)
    for (int32_t e : {1, 2, 3, 10, 51, 101})
      for (int ccw = 0; ccw < 2; ++ccw) {
        if (e < 3 && size[0] * size[1] > 10000) continue;  // thousands of frames: covered by the smaller sizes
        ASSERT_GE(CheckSweep(size[0], size[1], e, ccw), 0);
      }
}

TEST(SweepRows, ASweepDrawsAboutThePictureOnce) {
  // The whole rectangles of 640 x 480 at the default step draw a quarter or
  // more of the picture in each of about 44 frames. The bands draw each
  // pixel that changes once, plus what slanting runs leave unchanged in
  // their bands: less than twice the picture.
  for (int ccw = 0; ccw < 2; ++ccw) {
    long wholeArea = 0;
    const long drawn = CheckSweep(640, 480, 51, ccw, &wholeArea);
    printf("[ sweep    ] 640 x 480 %s: %ld pixels drawn, %ld with whole rectangles\n", ccw ? "ccw" : "cw", drawn,
           wholeArea);
    ASSERT_GE(drawn, 640L * 480 * 3 / 4);
    EXPECT_LT(drawn, 2L * 640 * 480) << (ccw ? "ccw" : "cw");
    EXPECT_GT(wholeArea, 10L * 640 * 480);
  }
}

TEST(SweepRows, NoRoomForNoRows) {
  SweepRows rows;
  EXPECT_EQ(SweepRowsStart(&rows, 5, 0), 0);
  EXPECT_EQ(rows.filledFirst, nullptr);
}
