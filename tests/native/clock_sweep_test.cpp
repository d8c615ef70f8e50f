// The clock wipe's geometry: which pixels a sector fill makes new (checked
// against angles measured from twelve o'clock), the frame plan of both
// directions, full coverage on many sizes, and the degenerate rectangles.
#include "transitions/diffuse/clock_sweep.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <vector>

namespace {
// Two pictures of one size: old pixels are 0, new ones 1 (bytes).
struct Pictures {
  int32_t width, height;
  uint32_t stride;
  std::vector<unsigned char> work, fresh;
  ClockPictures view;
  Pictures(int32_t w, int32_t h)
      : width(w), height(h), stride((static_cast<uint32_t>(w) * 24 + 31) / 32 * 4), work(stride * h, 0),
        fresh(stride * h, 1) {
    view = {work.data(), fresh.data(), w, h, stride, w / 2, h / 2};
  }
  // (j, r): column j, row r counted from the bottom.
  bool IsNew(int32_t j, int32_t r) const {
    const unsigned char *p = &work[static_cast<size_t>(r) * stride + static_cast<size_t>(j) * 3];
    return p[0] == 1 && p[1] == 1 && p[2] == 1;
  }
};

// A whole sweep, with a screen that receives each frame's rectangle.
struct SweepRun {
  Pictures pictures;
  std::vector<unsigned char> screen;  // top-down, 1 = new
  std::vector<ClockFrame> frames;
  int32_t step;
  SweepRun(int32_t w, int32_t h, int32_t e, int ccw) : pictures(w, h), screen(static_cast<size_t>(w) * h, 0) {
    ClockSweep sweep;
    EXPECT_EQ(StartClockSweep(&sweep, w, h, e, ccw), 1);
    step = sweep.step;
    ClockFrame f;
    while (NextClockFrame(&sweep, &f) && frames.size() < 100000) {
      frames.push_back(f);
      FillClockSector(&pictures.view, &f);
      for (int32_t y = f.y; y < f.y + f.height; ++y)
        for (int32_t x = f.x; x < f.x + f.width; ++x) {
          EXPECT_TRUE(x >= 0 && y >= 0 && x < w && y < h) << "frame rectangle outside the picture";
          if (x >= 0 && y >= 0 && x < w && y < h) screen[static_cast<size_t>(y) * w + x] = pictures.IsNew(x, h - 1 - y);
        }
    }
    EXPECT_LT(frames.size(), 100000u) << "the sweep ends";
  }
  long OldOnScreen() const {
    long n = 0;
    for (unsigned char c : screen) n += c == 0;
    return n;
  }
};

const double PI = 3.14159265358979323846;

// Angle of (dx, dy) clockwise from twelve o'clock, 0 .. 2 pi (dy up).
double Clockwise(double dx, double dy) {
  double a = std::atan2(dx, dy);
  return a < 0 ? a + 2 * PI : a;
}
}  // namespace

TEST(ClockSweep, StepFromWaitNeverBelowOne) {
  EXPECT_EQ(ClockStep(50), 51);
  EXPECT_EQ(ClockStep(100), 1);
  EXPECT_EQ(ClockStep(0), 101);
  EXPECT_EQ(ClockStep(101), 1) << "a step of 0 could not move the ray";
  EXPECT_EQ(ClockStep(INT_MAX), 1);
  EXPECT_EQ(ClockStep(-7), 101);
  EXPECT_EQ(ClockStep(INT_MIN), 101);
}

TEST(ClockSweep, FirstPhaseClockwiseFillsTheUpperRightUpToTheRay) {
  // 64 x 48, step 10: the ray ends at s = 32, 42, 52, 62 on the top edge.
  Pictures p(64, 48);
  ClockSweep sweep;
  ASSERT_EQ(StartClockSweep(&sweep, 64, 48, 10, 0), 1);
  ClockFrame f;
  int32_t lastS = -1;
  int count = 0;
  ClockSweep probe = sweep;
  while (NextClockFrame(&probe, &f) && f.phase == 1) {
    sweep = probe;
    FillClockSector(&p.view, &f);
    EXPECT_EQ(f.b, 32 + 10 * count);
    lastS = f.b;
    ++count;
  }
  ASSERT_EQ(count, 4);
  ASSERT_EQ(lastS, 62);
  // The fill measures the ray against the half height cy = 24.
  const double ray = Clockwise(lastS - 32, 24);
  int checked = 0;
  for (int32_t r = 0; r < 48; ++r)
    for (int32_t j = 0; j < 64; ++j) {
      const bool centre = j == 32 && r == 24;
      if (centre) {
        EXPECT_TRUE(p.IsNew(j, r)) << "the centre is on every ray";
        continue;
      }
      const bool quarter = r > 24 && j >= 32;
      const double angle = Clockwise(j - 32, r - 24);
      if (quarter && std::fabs(angle - ray) < 0.002) continue;  // on the ray: rounding decides
      const bool want = quarter && angle <= ray;
      ASSERT_EQ(p.IsNew(j, r), want) << j << "," << r;
      ++checked;
    }
  EXPECT_GT(checked, 64 * 48 - 40);
}

TEST(ClockSweep, CounterClockwiseFirstPhaseIsTheMirrorImage) {
  Pictures cw(64, 48), ccw(64, 48);
  for (int dir = 0; dir < 2; ++dir) {
    Pictures &p = dir ? ccw : cw;
    ClockSweep sweep;
    ASSERT_EQ(StartClockSweep(&sweep, 64, 48, 7, dir), 1);
    ClockFrame f;
    bool first = true;
    while (NextClockFrame(&sweep, &f) && f.phase == 1) {
      FillClockSector(&p.view, &f);
      if (dir == 1 && !first) {
        EXPECT_LT(f.b, 32) << "counter-clockwise starts leftwards";
      }
      first = false;
    }
  }
  int newPixels = 0;
  for (int32_t r = 0; r < 48; ++r)
    for (int32_t j = 0; j <= 64; ++j) {
      const int32_t mirror = 64 - j;  // 2 * cx - j
      if (j >= 64 || mirror >= 64) continue;
      ASSERT_EQ(cw.IsNew(j, r), ccw.IsNew(mirror, r)) << j << "," << r;
      newPixels += cw.IsNew(j, r);
      if (j > 32) EXPECT_FALSE(ccw.IsNew(j, r)) << "counter-clockwise stays left of twelve o'clock";
    }
  EXPECT_GT(newPixels, 300);
}

TEST(ClockSweep, EveryPixelIsNewAfterAFullSweepInBothDirections) {
  // Sizes and steps as the player meets them (step 51 is the default speed,
  // 101 the fastest), odd sizes, strips and tiny rectangles.
  const int32_t sizes[][2] = {{640, 480}, {101, 37}, {64, 48}, {65, 49}, {99, 101}, {200, 7}, {7, 200},
                              {1, 1},     {2, 3},    {3, 2},   {2, 2},   {1, 50},   {50, 1},  {4, 4}};
  for (const auto &size : sizes)
    for (int32_t e : {1, 2, 10, 51, 101})
      for (int ccw = 0; ccw < 2; ++ccw) {
        if (e < 10 && size[0] * size[1] > 20000) continue;  // thousands of frames: covered by the smaller sizes
        SweepRun run(size[0], size[1], e, ccw);
        EXPECT_EQ(run.OldOnScreen(), 0) << size[0] << "x" << size[1] << " step " << e << (ccw ? " ccw" : " cw");
        for (int32_t r = 0; r < size[1]; ++r)
          for (int32_t j = 0; j < size[0]; ++j) ASSERT_TRUE(run.pictures.IsNew(j, r)) << j << "," << r;
      }
}

TEST(ClockSweep, PhasesRunInOrderAndEndAtTwelveOClock) {
  for (int ccw = 0; ccw < 2; ++ccw) {
    SweepRun run(640, 480, 51, ccw);
    ASSERT_FALSE(run.frames.empty());
    EXPECT_EQ(run.frames.front().phase, 1);
    EXPECT_EQ(run.frames.front().b, 320) << "the ray starts at twelve o'clock";
    int phase = 1;
    for (const ClockFrame &f : run.frames) {
      EXPECT_GE(f.phase, phase);
      phase = f.phase;
    }
    EXPECT_EQ(run.frames.back().phase, 5);
    EXPECT_EQ(run.frames.back().b, 320) << "the sweep closes at twelve o'clock";
    // Start of the second phase: one step past the top corner, H - (e - W mod e).
    for (const ClockFrame &f : run.frames)
      if (f.phase == 2) {
        EXPECT_EQ(f.c, 480 - (51 - 640 % 51));
        EXPECT_EQ(f.kind, CLOCK_SECTOR_V);
        EXPECT_EQ(f.b, ccw ? 0 : 640);
        break;
      }
  }
}

TEST(ClockSweep, FrameCountsForTheSlowestAndFastestSpeeds) {
  // Step 1 on 64 x 48 (cx 32, cy 24): top 32..64 (33), right 47..0 (48),
  // bottom 63..0 (64), left 1..48 (48), top 1..32 (32).
  EXPECT_EQ(SweepRun(64, 48, ClockStep(100), 0).frames.size(), 33u + 48 + 64 + 48 + 32);
  // Step 101 on 640 x 480: top 320..623 (4), right 413..9 (5), bottom
  // 548..43 (6), left 58..462 (5), top 83..285 (3), then the closing frame
  // at 320.
  SweepRun fast(640, 480, ClockStep(0), 0);
  EXPECT_EQ(fast.step, 101);
  EXPECT_EQ(fast.frames.size(), 4u + 5 + 6 + 5 + 3 + 1);
}

TEST(ClockSweep, SmallRectanglesSweepWithASmallerStep) {
  ClockSweep sweep;
  ASSERT_EQ(StartClockSweep(&sweep, 101, 37, 51, 0), 1);
  EXPECT_EQ(sweep.step, 17) << "one less than the half height 18";
  ASSERT_EQ(StartClockSweep(&sweep, 3, 2, 51, 1), 1);
  EXPECT_EQ(sweep.step, 1);
  ASSERT_EQ(StartClockSweep(&sweep, 640, 480, 51, 0), 1);
  EXPECT_EQ(sweep.step, 51);
  EXPECT_EQ(StartClockSweep(&sweep, 0, 10, 5, 0), 0);
  EXPECT_EQ(StartClockSweep(&sweep, 10, -1, 5, 0), 0);
  EXPECT_EQ(StartClockSweep(&sweep, CLOCK_MAX_SIDE + 1, 10, 5, 0), 0);
}

TEST(ClockSweep, RaysThroughTheCentreLineAreVerticalOrHorizontal) {
  // A fixed ray at x0 = cx would divide by cx - x0 = 0: it is taken as
  // pointing straight up, so with the moving ray at the right edge's middle
  // (horizontal) the fill is exactly the upper right quarter, centre row
  // included.
  Pictures p(20, 16);
  SectorV(&p.view, 10, 16, 20, 8, 1);
  for (int32_t r = 0; r < 16; ++r)
    for (int32_t j = 0; j < 20; ++j) ASSERT_EQ(p.IsNew(j, r), j > 10 && r >= 8) << j << "," << r;
  // A fixed ray at y0 = cy (divisor cy - y0 = 0) is horizontal: from 3
  // o'clock to a moving ray straight down fills the lower right quarter.
  Pictures q(20, 16);
  SectorH(&q.view, 20, 8, 10, 0, 0);
  for (int32_t r = 0; r < 16; ++r)
    for (int32_t j = 0; j < 20; ++j) ASSERT_EQ(q.IsNew(j, r), j >= 10 && r < 8) << j << "," << r;
  // One-pixel-high and one-pixel-wide pictures: cy or cx is 0.
  Pictures line(9, 1);
  SectorH(&line.view, 4, 0, 9, 1, 1);
  SectorV(&line.view, 1, 1, 9, 0, 1);
  for (int32_t j = 0; j < 9; ++j) EXPECT_EQ(line.IsNew(j, 0), j > 4) << j;
  Pictures column(1, 9);
  SectorV(&column.view, 0, 9, 1, 9, 1);
  SectorH(&column.view, 0, 1, 0, 9, 1);
  for (int32_t r = 0; r < 9; ++r) EXPECT_EQ(column.IsNew(0, r), r > 4) << r;
}

TEST(ClockSweep, FrameRectanglesCoverOddSizesToTheLastRowAndColumn) {
  SweepRun run(65, 49, 9, 0);
  bool lastColumn = false, lastRow = false;
  for (const ClockFrame &f : run.frames) {
    lastColumn |= f.x + f.width == 65 && f.y + f.height > 25;
    lastRow |= f.y + f.height == 49;
  }
  EXPECT_TRUE(lastColumn);
  EXPECT_TRUE(lastRow);
  EXPECT_EQ(run.OldOnScreen(), 0);
}
