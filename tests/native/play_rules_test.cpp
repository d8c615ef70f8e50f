// The player's pure decisions: when a page changes (with a wrapping tick
// counter), placement and orientation, font scaling, line splitting, the text
// fade frames and the order of the music slots.
#include "player/play_rules.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <set>
#include <string>
#include <vector>

TEST(PageChange, WaitsForTheDisplayTimeAndTheVoice) {
  EXPECT_EQ(ShouldChangePage(1000 + 9999, 1000, 10000, 0), 0);
  EXPECT_EQ(ShouldChangePage(1000 + 10000, 1000, 10000, 0), 1);
  EXPECT_EQ(ShouldChangePage(1000 + 30000, 1000, 10000, 1), 0);  // the voice holds the page
  EXPECT_EQ(ShouldChangePage(1000 + 30000, 1000, 10000, 0), 1);
  // Display time 0: the first tick after the voice.
  EXPECT_EQ(ShouldChangePage(1000, 1000, 0, 1), 0);
  EXPECT_EQ(ShouldChangePage(1000, 1000, 0, 0), 1);
  EXPECT_EQ(ShouldChangePage(1050, 1000, 0, 0), 1);
}

TEST(PageChange, TickCounterWrapsModulo32Bits) {
  const uint32_t start = 0xFFFFFF00u;  // 256 ms before the counter wraps
  EXPECT_EQ(ShouldChangePage(0xFFFFFFFFu, start, 5000, 0), 0);
  EXPECT_EQ(ShouldChangePage(0x00000010u, start, 5000, 0), 0);      // 272 ms after the start
  EXPECT_EQ(ShouldChangePage(uint32_t(start + 4999u), start, 5000, 0), 0);
  EXPECT_EQ(ShouldChangePage(uint32_t(start + 5000u), start, 5000, 0), 1);  // 4744 after the wrap
  EXPECT_EQ(uint32_t(start + 5000u), 4744u);
  EXPECT_EQ(ShouldChangePage(4744u + 50u, start, 5000, 0), 1);
  // The longest display time still ends.
  EXPECT_EQ(ShouldChangePage(uint32_t(7u + 0x7FFFFFFFu), 7u, INT32_MAX, 0), 1);
  EXPECT_EQ(ShouldChangePage(uint32_t(7u + 0x7FFFFFFEu), 7u, INT32_MAX, 0), 0);
}

TEST(PageChange, NegativeDisplayTimeCountsAsZero) {
  EXPECT_EQ(PageTimeIsUp(500, 500, -1), 1);
  EXPECT_EQ(PageTimeIsUp(500, 500, INT32_MIN), 1);
}

TEST(PageChange, PagesLoop) {
  EXPECT_EQ(NextPageIndex(0, 3), 1);
  EXPECT_EQ(NextPageIndex(2, 3), 0);
  EXPECT_EQ(NextPageIndex(0, 1), 0);
  EXPECT_EQ(NextPageIndex(7, 3), 0);
}

TEST(Placement, RectanglesAreTruncated) {
  RECT r;
  const double full[4] = {0, 0, 1, 1};
  PlacementRect(full, 800, 600, 0, &r);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.right, 800);
  EXPECT_EQ(r.bottom, 600);
  const double cut[4] = {-0.25, 0, 0.75, 1};
  PlacementRect(cut, 800, 600, 0, &r);
  EXPECT_EQ(r.left, -200);
  EXPECT_EQ(r.right, 600);
  // 0.333 * 320 = 106.56 and -0.333 * 320 = -106.56 truncate towards zero.
  const double third[4] = {-0.333, 0.333, 0.333, 0.999};
  PlacementRect(third, 320, 240, 0, &r);
  EXPECT_EQ(r.left, -106);
  EXPECT_EQ(r.top, 79);  // 79.92
  EXPECT_EQ(r.right, 106);
  EXPECT_EQ(r.bottom, 239);  // 239.76
}

TEST(Placement, OddCodesExchangeTheExtents) {
  RECT r;
  const double p[4] = {0.25, 0.5, 0.75, 0.75};  // 400 x 150 at (200, 300) in 800 x 600
  for (int code : {1, 3, 5, 7, 9, 11}) {
    PlacementRect(p, 800, 600, code, &r);
    EXPECT_EQ(r.left, 200) << code;
    EXPECT_EQ(r.top, 300) << code;
    EXPECT_EQ(r.right - r.left, 150) << code;
    EXPECT_EQ(r.bottom - r.top, 400) << code;
  }
  for (int code : {0, 2, 4, 6, 8, 10}) {
    PlacementRect(p, 800, 600, code, &r);
    EXPECT_EQ(r.right - r.left, 400) << code;
    EXPECT_EQ(r.bottom - r.top, 150) << code;
  }
}

TEST(Placement, TargetSizeIsRounded) {
  int32_t w, h;
  const double p[4] = {0.1, 0.125, 0.4, 0.375};  // 0.3 * 333 = 99.9, 0.25 * 250 = 62.5
  PlacementTargetSize(p, 333, 250, &w, &h);
  EXPECT_EQ(w, 100);
  EXPECT_EQ(h, 63);
  const double q[4] = {0, 0, 0.5, 0.25};
  PlacementTargetSize(q, 800, 600, &w, &h);
  EXPECT_EQ(w, 400);
  EXPECT_EQ(h, 150);
}

// A 16:9 page on screens of other shapes: the page rectangle is the largest
// of its shape, centred (sizes worked out by hand from the screen sizes).
TEST(PageRect, SixteenByNineOnOtherShapes) {
  struct Case {
    RECT screen;
    RECT page;
  } cases[] = {
      {{0, 0, 1024, 768}, {0, 96, 1024, 672}},          // 4:3: 1024 x 576, 96 rows above and below
      {{0, 0, 1680, 1050}, {0, 52, 1680, 997}},         // 16:10: 1680 x 945, 105 rows shared 52 / 53
      {{0, 0, 2560, 1080}, {320, 0, 2240, 1080}},       // 21:9: 1920 x 1080, 320 columns each side
      {{0, 0, 1080, 1920}, {0, 656, 1080, 1264}},       // 9:16 portrait: 1080 x 607.5, rounded up to 608
      {{1280, 0, 3200, 1080}, {1280, 0, 3200, 1080}},   // the same shape on a second monitor
      {{-1920, -300, 0, 900}, {-1920, -240, 0, 840}},   // 16:10 left of and above the primary
  };
  for (const Case &c : cases) {
    RECT page;
    FitPageRect(1920, 1080, &c.screen, &page);
    EXPECT_EQ(page.left, c.page.left) << c.screen.right;
    EXPECT_EQ(page.top, c.page.top) << c.screen.right;
    EXPECT_EQ(page.right, c.page.right) << c.screen.right;
    EXPECT_EQ(page.bottom, c.page.bottom) << c.screen.right;
  }
  // An odd page on an odd screen: 1001 x 777 is relatively taller than
  // 640 x 480, so the height is 480 and the width 480 * 1001 / 777 = 618.4.
  RECT screen = {-1280, 3, -640, 483}, page;
  FitPageRect(1001, 777, &screen, &page);
  EXPECT_EQ(page.right - page.left, 618);
  EXPECT_EQ(page.left, -1280 + 11);
  EXPECT_EQ(page.top, 3);
  EXPECT_EQ(page.bottom, 483);
  // No recorded page size: the page is the screen.
  FitPageRect(0, 0, &screen, &page);
  EXPECT_EQ(page.left, screen.left);
  EXPECT_EQ(page.right, screen.right);
  EXPECT_EQ(page.bottom, screen.bottom);
}

// A 4:3 picture and a quarter-turned phone portrait, fitted on a 16:9 page,
// keep their proportions within one pixel on every screen shape.
TEST(PageRect, FittedPicturesKeepTheirShapeOnAnyScreen) {
  // 1440 x 1080 centred on 1920 x 1080; the portrait stored 4032 x 3024 with
  // a quarter turn shows 810 x 1080, so its placement holds 1080 x 810 pixels
  // as stored (width and height exchange on the page).
  const double wide[4] = {240.0 / 1920, 0, 1680.0 / 1920, 1};
  const double turned[4] = {555.0 / 1920, 0, 1635.0 / 1920, 810.0 / 1080};
  const RECT screens[] = {{0, 0, 1024, 768}, {0, 0, 1280, 1024}, {0, 0, 1366, 768}, {0, 0, 2560, 1080},
                          {0, 0, 1080, 1920}, {0, 0, 3440, 1440}, {-1280, 0, 0, 1024}, {0, 0, 333, 257}};
  for (const RECT &screen : screens) {
    RECT page, r;
    FitPageRect(1920, 1080, &screen, &page);
    const double scale = double(page.right - page.left) / 1920;
    PagePlacementRect(wide, &page, 0, &r);
    EXPECT_NEAR(r.right - r.left, (r.bottom - r.top) * 4.0 / 3.0, 1.0 + 4.0 / 3.0) << screen.right;
    EXPECT_NEAR(r.left, page.left + 240 * scale, 1.0) << screen.right;
    PagePlacementRect(turned, &page, 1, &r);
    EXPECT_NEAR(r.right - r.left, (r.bottom - r.top) * 810.0 / 1080.0, 1.75) << screen.right;
    EXPECT_NEAR(r.bottom - r.top, 1080 * scale, 1.0) << screen.right;
    EXPECT_GE(r.left, page.left);
    EXPECT_LE(r.right, page.right);
  }
}

TEST(Placement, DamagedValuesStayRepresentable) {
  EXPECT_EQ(TruncToInt(1e300), 1 << 30);
  EXPECT_EQ(TruncToInt(-1e300), -(1 << 30));
  EXPECT_EQ(TruncToInt(std::nan("")), 0);
  EXPECT_EQ(TruncToInt(-2.9), -2);
  EXPECT_EQ(TruncToInt(2.9), 2);
}

namespace {
// Applies the operations of a code to the corner labels of a w x h picture
// whose corners are TL, TR, BL, BR (by the pixel formulas of each operation)
// and returns the label that ends in the top-left corner and the final size.
struct Corners {
  char tl, tr, bl, br;
  int w, h;
};
Corners Apply(Corners c, OrientOp op) {
  switch (op) {
    case ORIENT_ROTATE90: return {c.bl, c.tl, c.br, c.tr, c.h, c.w};   // target (x,y) = source (y, H-1-x)
    case ORIENT_ROTATE180: return {c.br, c.bl, c.tr, c.tl, c.w, c.h};
    case ORIENT_ROTATE270: return {c.tr, c.br, c.tl, c.bl, c.h, c.w};  // target (x,y) = source (W-1-y, x)
    case ORIENT_FLIP_VERTICAL: return {c.bl, c.br, c.tl, c.tr, c.w, c.h};
    case ORIENT_FLIP_HORIZONTAL: return {c.tr, c.tl, c.br, c.bl, c.w, c.h};
  }
  return c;
}
}  // namespace

TEST(Orientation, TwelveCodesComposeTheFiveOperations) {
  // Expected corners of each code: a rotation of r quarter turns clockwise
  // (code % 4), then flip code / 4 (1 top-bottom, 2 left-right).
  const Corners start = {'a', 'b', 'c', 'd', 30, 20};
  for (int code = 0; code < 12; ++code) {
    Corners want = start;
    int turns = code % 4;
    for (int t = 0; t < turns; ++t) want = Apply(want, ORIENT_ROTATE90);
    if (code / 4 == 1) want = Apply(want, ORIENT_FLIP_VERTICAL);
    if (code / 4 == 2) want = Apply(want, ORIENT_FLIP_HORIZONTAL);

    OrientOp ops[2];
    int n = OrientationOps(code, ops);
    ASSERT_GE(n, 0) << code;
    ASSERT_LE(n, 2) << code;
    Corners got = start;
    for (int i = 0; i < n; ++i) got = Apply(got, ops[i]);
    EXPECT_EQ(std::string({got.tl, got.tr, got.bl, got.br}), std::string({want.tl, want.tr, want.bl, want.br}))
        << "code " << code;
    EXPECT_EQ(got.w, want.w) << code;
    EXPECT_EQ(got.h, want.h) << code;
    EXPECT_EQ(got.w != start.w, code % 2 == 1) << code;
  }
}

TEST(Orientation, TableOperations) {
  OrientOp ops[2];
  ASSERT_EQ(OrientationOps(0, ops), 0);
  ASSERT_EQ(OrientationOps(7, ops), 2);
  EXPECT_EQ(ops[0], ORIENT_ROTATE270);
  EXPECT_EQ(ops[1], ORIENT_FLIP_VERTICAL);
  ASSERT_EQ(OrientationOps(9, ops), 2);
  EXPECT_EQ(ops[0], ORIENT_ROTATE90);
  EXPECT_EQ(ops[1], ORIENT_FLIP_HORIZONTAL);
  ASSERT_EQ(OrientationOps(6, ops), 1);
  EXPECT_EQ(ops[0], ORIENT_FLIP_HORIZONTAL);
  ASSERT_EQ(OrientationOps(10, ops), 1);
  EXPECT_EQ(ops[0], ORIENT_FLIP_VERTICAL);
  EXPECT_EQ(OrientationOps(12, ops), -1);
  EXPECT_EQ(OrientationOps(-1, ops), -1);
}

TEST(FontHeight, ScalesWithTheClientWidth) {
  EXPECT_EQ(ScaledFontHeight(24, 320), 12);
  EXPECT_EQ(ScaledFontHeight(24, 1280), 48);
  EXPECT_EQ(ScaledFontHeight(24, 700), 26);   // 26.25
  EXPECT_EQ(ScaledFontHeight(24, 640), 24);
  EXPECT_EQ(ScaledFontHeight(-24, 700), -26);  // towards zero
  EXPECT_EQ(ScaledFontHeight(1, 639), 0);
  EXPECT_EQ(ScaledFontHeight(INT32_MAX, 1280), INT32_MAX);  // no overflow
}

namespace {
std::vector<std::string> Lines(const char *text) {
  int32_t n = SplitTextLines(text, nullptr, 0);
  std::vector<TextLine> lines(size_t(n) + 1);
  EXPECT_EQ(SplitTextLines(text, lines.data(), n), n);
  std::vector<std::string> out;
  for (int32_t i = 0; i < n; ++i) out.emplace_back(lines[i].start, size_t(lines[i].length));
  return out;
}
}  // namespace

TEST(TextLines, SplitAtCarriageReturnLineFeed) {
  EXPECT_EQ(Lines("A\r\nBB"), (std::vector<std::string>{"A", "BB"}));
  EXPECT_EQ(Lines("A\r\n"), (std::vector<std::string>{"A", ""}));
  EXPECT_EQ(Lines(""), (std::vector<std::string>{""}));
  EXPECT_EQ(Lines("\r\n\r\n"), (std::vector<std::string>{"", "", ""}));
  // A lone CR or LF is not a line break.
  EXPECT_EQ(Lines("a\rb\nc"), (std::vector<std::string>{"a\rb\nc"}));
  // Double-byte text: "日本\r\n語" in CP932.
  EXPECT_EQ(Lines("\x93\xfa\x96\x7b\r\n\x8c\xea"), (std::vector<std::string>{"\x93\xfa\x96\x7b", "\x8c\xea"}));
  EXPECT_EQ(Lines(nullptr), (std::vector<std::string>{""}));
}

TEST(TextLines, CapacityLimitsWhatIsFilled) {
  TextLine lines[2] = {{nullptr, -1}, {nullptr, -1}};
  EXPECT_EQ(SplitTextLines("a\r\nb\r\nc", lines, 1), 3);
  EXPECT_EQ(lines[0].length, 1);
  EXPECT_EQ(lines[1].length, -1);  // untouched
}

TEST(TextFade, FifteenStepsGoThroughSevenToNinetyEight) {
  ASSERT_EQ(TextFadeFrameCount(15), 14);
  for (int k = 1; k <= 14; ++k) EXPECT_EQ(TextFadePercent(k), 7 * k);
  EXPECT_EQ(TextFadePercent(14), 98);
}

TEST(TextFade, NoFadeForZeroOrOneStep) {
  EXPECT_EQ(TextFadeFrameCount(0), 0);
  EXPECT_EQ(TextFadeFrameCount(1), 0);
  EXPECT_EQ(TextFadeFrameCount(-5), 0);
  EXPECT_EQ(TextFadeFrameCount(2), 1);
  EXPECT_EQ(TextFadePercent(1), 7);
}

TEST(TextFade, LongFadesStopAtFullStrength) {
  // 30 steps: frames 15 .. 29 would all be drawn at 100 %; one of them is enough.
  EXPECT_EQ(TextFadeFrameCount(16), 15);
  EXPECT_EQ(TextFadePercent(15), 100);
  EXPECT_EQ(TextFadeFrameCount(30), 15);
  EXPECT_EQ(TextFadeFrameCount(2000000000), 15);
  EXPECT_EQ(TextFadeFrameCount(INT32_MAX), 15);
  for (int k = 15; k <= 29; ++k) EXPECT_EQ(TextFadePercent(k), 100);
}

namespace {
std::set<std::string> existing;
int Exists(const char *path) { return existing.count(path) ? 1 : 0; }

struct Music {
  char paths[20][260] = {};
  int32_t Next(int32_t current) { return NextBgmSlot(paths[0], 260, 20, current, Exists); }
};
}  // namespace

TEST(MusicOrder, SlotsInOrderThenBackToZero) {
  Music m;
  existing = {"m0", "m1", "m2"};
  strcpy(m.paths[0], "m0");
  strcpy(m.paths[1], "m1");
  strcpy(m.paths[2], "m2");
  EXPECT_EQ(m.Next(0), 1);
  EXPECT_EQ(m.Next(1), 2);
  EXPECT_EQ(m.Next(2), 0);
}

TEST(MusicOrder, MissingFilesAreSkippedButSlotZeroIsNotTested) {
  Music m;
  strcpy(m.paths[0], "m0");
  strcpy(m.paths[1], "m1");
  strcpy(m.paths[2], "m2");
  existing = {"m0", "m2"};
  EXPECT_EQ(m.Next(0), 2);  // the missing middle file is skipped
  existing = {"m1", "m2"};
  EXPECT_EQ(m.Next(2), 0);  // slot 0 comes back even though its file is gone
  existing = {};
  EXPECT_EQ(m.Next(0), 0);
}

TEST(MusicOrder, EmptySlotsBetweenAreSkipped) {
  Music m;
  strcpy(m.paths[0], "m0");
  strcpy(m.paths[5], "m5");
  strcpy(m.paths[19], "m19");
  existing = {"m0", "m5", "m19"};
  EXPECT_EQ(m.Next(0), 5);
  EXPECT_EQ(m.Next(5), 19);
  EXPECT_EQ(m.Next(19), 0);
  Music alone;
  strcpy(alone.paths[0], "m0");
  existing = {"m0"};
  EXPECT_EQ(alone.Next(0), 0);  // one track repeats
}
