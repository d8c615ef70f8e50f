// The player's arithmetic on a 3840 x 2160 screen, the size a DPI-aware
// player gets from the system on a 4K screen at any scaling: placements,
// target sizes, text anchors and font heights come out in real pixels, odd
// where the fractions make them odd, never halved nor on a two-pixel grid.
// Expected values are worked out here in integers (fractions in ten-
// thousandths), apart from the code's floating-point path.
#include "player/play_rules.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {
constexpr int32_t W = 3840, H = 2160;

// size * n / 10000, truncated (n >= 0).
int32_t Part(int64_t size, int64_t n) { return int32_t(size * n / 10000); }
// size * n / 10000, rounded half up (n >= 0).
int32_t RoundedPart(int64_t size, int64_t n) { return int32_t((2 * size * n + 10000) / 20000); }
}  // namespace

TEST(RealPixels, FullAndHalfPlacementsAtFourK) {
  const double full[4] = {0, 0, 1, 1};
  int32_t w, h;
  PlacementTargetSize(full, W, H, &w, &h);
  EXPECT_EQ(w, 3840);
  EXPECT_EQ(h, 2160);
  RECT r;
  PlacementRect(full, W, H, 0, &r);
  EXPECT_EQ(r.right - r.left, 3840);
  EXPECT_EQ(r.bottom - r.top, 2160);

  // Half the page each way is 1920 x 1080 at (960, 540): what a player
  // scaled by the system to 200 % would have taken for the whole screen.
  const double half[4] = {0.25, 0.25, 0.75, 0.75};
  PlacementTargetSize(half, W, H, &w, &h);
  EXPECT_EQ(w, 1920);
  EXPECT_EQ(h, 1080);
  PlacementRect(half, W, H, 0, &r);
  EXPECT_EQ(r.left, 960);
  EXPECT_EQ(r.top, 540);
  EXPECT_EQ(r.right, 2880);
  EXPECT_EQ(r.bottom, 1620);
}

TEST(RealPixels, PlacementsLandOnSinglePixels) {
  // 3840 * 0.1234 = 473.856, 2160 * 0.0567 = 122.472, 3840 * 0.3737 = 1435.008,
  // 2160 * 0.8902 = 1922.832; the width 3840 * 0.2503 = 961.152, the height
  // 2160 * 0.8335 = 1800.36.
  const double p[4] = {0.1234, 0.0567, 0.3737, 0.8902};
  RECT r;
  PlacementRect(p, W, H, 0, &r);
  EXPECT_EQ(r.left, Part(W, 1234));
  EXPECT_EQ(r.top, Part(H, 567));
  EXPECT_EQ(r.right, Part(W, 3737));
  EXPECT_EQ(r.bottom, Part(H, 8902));
  EXPECT_EQ(r.left, 473);  // odd: no two-pixel grid
  EXPECT_EQ(r.right, 1435);
  EXPECT_EQ(r.bottom, 1922);

  int32_t w, h;
  PlacementTargetSize(p, W, H, &w, &h);
  EXPECT_EQ(w, RoundedPart(W, 3737 - 1234));
  EXPECT_EQ(h, RoundedPart(H, 8902 - 567));
  EXPECT_EQ(w, 961);
  EXPECT_EQ(h, 1800);

  // A quarter turn keeps the corner and exchanges the real extents 962 x 1800.
  PlacementRect(p, W, H, 1, &r);
  EXPECT_EQ(r.left, 473);
  EXPECT_EQ(r.top, 122);
  EXPECT_EQ(r.right - r.left, 1800);
  EXPECT_EQ(r.bottom - r.top, 962);
}

TEST(RealPixels, TextAnchorsAndFontsFollowTheRealWidth) {
  // Anchors: 3840 * 0.5003 = 1921.152, 2160 * 0.1237 = 267.192.
  EXPECT_EQ(TruncToInt(double(W) * 0.5003), Part(W, 5003));
  EXPECT_EQ(TruncToInt(double(H) * 0.1237), Part(H, 1237));
  EXPECT_EQ(Part(W, 5003), 1921);

  // Font heights for a page 640 wide: six times as high on a 3840-wide page
  // (not three times, as on the 1920-wide page of a system-scaled player).
  EXPECT_EQ(ScaledFontHeight(24, W), 24 * 3840 / 640);
  EXPECT_EQ(ScaledFontHeight(24, W), 144);
  EXPECT_EQ(ScaledFontHeight(-13, W), -78);
  EXPECT_EQ(ScaledFontHeight(7, W), 42);
  // 2880 wide (a 3K screen): 27 * 4.5 = 121.5 truncates to 121; doubling the
  // height for a 1440-wide page would give 2 * 60 = 120.
  EXPECT_EQ(ScaledFontHeight(27, 2880), 121);
  EXPECT_EQ(ScaledFontHeight(-27, 2880), -121);
  EXPECT_EQ(ScaledFontHeight(13, 2880), 58);  // 58.5
  // Both 4K screens side by side, one virtual screen 7680 wide: twelve times.
  EXPECT_EQ(ScaledFontHeight(25, 7680), 300);
}
