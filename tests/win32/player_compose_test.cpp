// Page composition into memory DCs of known client sizes: placement,
// cutting at the window edge, orientation, the drop shadow, the background
// rules of the entering and the plain paint.
#include <gtest/gtest.h>

#include "tests/win32/player_fixture.h"

using namespace player_test;

namespace {
class Compose : public PlayerTest {};

// Asserts the colour at (x, y) of the surface.
::testing::AssertionResult ColourAt(const TestSurface &s, int x, int y, COLORREF want) {
  COLORREF got = s.At(x, y);
  if (got == want) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "at (" << x << ", " << y << ") got " << std::hex << got << " want " << want;
}
}  // namespace

TEST_F(Compose, FullPlacementFillsTheClient) {
  for (auto size : {std::pair<int, int>{800, 600}, {320, 240}}) {
    UsePlayerWindow(size.first, size.second);
    ClearShowDocument(&Show);
    Page &page = AddPage(1, RGB(9, 9, 9));
    AddPicture(page, WritePicture("q.bmp", 40, 30, [](int x, int y) { return Quadrants(40, 30, x, y); }), 0, 0, 1, 1);
    Prepare();
    SIZE layer;
    ASSERT_TRUE(DibGetSize(Player.view.layers.images[0], &layer));
    EXPECT_EQ(layer.cx, width);  // scaled once to the on-page size
    EXPECT_EQ(layer.cy, height);
    for (int entering = 0; entering < 2; ++entering) {
      TestSurface s(width, height, RGB(1, 2, 3));
      if (entering) PaintEntering(s);
      else EXPECT_EQ(PaintPage(s.dc), 1);
      EXPECT_TRUE(ColourAt(s, 0, 0, TL));
      EXPECT_TRUE(ColourAt(s, width - 1, 0, TR));
      EXPECT_TRUE(ColourAt(s, 0, height - 1, BL));
      EXPECT_TRUE(ColourAt(s, width - 1, height - 1, BR));
      EXPECT_TRUE(ColourAt(s, width / 4, height / 4, TL));
      EXPECT_TRUE(ColourAt(s, 3 * width / 4, 3 * height / 4, BR));
    }
  }
}

TEST_F(Compose, PlacementLeftOfTheEdgeIsCut) {
  // Four vertical bands; the picture's left quarter lies outside the window.
  const COLORREF bands[4] = {RGB(250, 0, 0), RGB(0, 250, 0), RGB(0, 0, 250), RGB(250, 250, 0)};
  Page &page = AddPage(1, RGB(60, 60, 60));
  // At its on-page size already, so that the band edges stay sharp.
  AddPicture(page, WritePicture("b.bmp", 800, 600, [&](int x, int) { return bands[x / 200]; }), -0.25, 0, 0.75, 1);
  Prepare();
  TestSurface s(800, 600, RGB(0, 0, 0));
  EXPECT_EQ(PaintPage(s.dc), 1);
  // The frame runs from -200 to 600: bands 1, 2, 3 are visible, then the page colour.
  for (int y : {0, 300, 599}) {
    EXPECT_TRUE(ColourAt(s, 0, y, bands[1]));
    EXPECT_TRUE(ColourAt(s, 199, y, bands[1]));
    EXPECT_TRUE(ColourAt(s, 200, y, bands[2]));
    EXPECT_TRUE(ColourAt(s, 400, y, bands[3]));
    EXPECT_TRUE(ColourAt(s, 590, y, bands[3]));
    EXPECT_TRUE(ColourAt(s, 599, y, bands[3]));
    EXPECT_TRUE(ColourAt(s, 600, y, RGB(60, 60, 60)));
    EXPECT_TRUE(ColourAt(s, 799, y, RGB(60, 60, 60)));
  }
}

TEST_F(Compose, QuarterTurnExchangesTheExtents) {
  // A 0.5 x 0.25 placement at (0.25, 0.25) of 800 x 600 is 400 x 150; turned, 150 x 400 at (200, 150).
  const COLORREF picture = RGB(200, 120, 40), back = RGB(10, 70, 10);
  Page &page = AddPage(1, back);
  AddPicture(page, WritePicture("p.bmp", 64, 24, [&](int, int) { return picture; }), 0.25, 0.25, 0.75, 0.5, 1);
  Prepare();
  SIZE layer;
  ASSERT_TRUE(DibGetSize(Player.view.layers.images[0], &layer));
  EXPECT_EQ(layer.cx, 400);  // layers keep the unturned placement size
  EXPECT_EQ(layer.cy, 150);
  for (int entering = 0; entering < 2; ++entering) {
    TestSurface s(800, 600, RGB(0, 0, 0));
    if (entering) PaintEntering(s);
    else PaintPage(s.dc);
    EXPECT_TRUE(ColourAt(s, 200, 150, picture));
    EXPECT_TRUE(ColourAt(s, 349, 150, picture));
    EXPECT_TRUE(ColourAt(s, 200, 549, picture));
    EXPECT_TRUE(ColourAt(s, 349, 549, picture));
    EXPECT_TRUE(ColourAt(s, 350, 300, back));
    EXPECT_TRUE(ColourAt(s, 199, 300, back));
    EXPECT_TRUE(ColourAt(s, 250, 149, back));
    EXPECT_TRUE(ColourAt(s, 250, 550, back));
  }
}

TEST_F(Compose, FourKClientGivesLayersInRealPixels) {
  // The client size comes from the window: on a 4K screen a DPI-aware player
  // gets 3840 x 2160 and scales the picture once to its real on-page size.
  // 3840 * (0.3737 - 0.1234) = 961.152 rounds to 961, 2160 * (0.8902 - 0.0567)
  // = 1800.36 to 1800; the rectangle runs from trunc(473.856) = 473 to
  // trunc(1435.008) = 1435 and from trunc(122.472) = 122 to trunc(1922.832) = 1922.
  UsePlayerWindow(3840, 2160);
  RECT client;
  ASSERT_TRUE(GetClientRect(window, &client));
  ASSERT_EQ(client.right, 3840);
  ASSERT_EQ(client.bottom, 2160);
  const COLORREF back = RGB(12, 34, 56);
  Page &page = AddPage(1, back);
  AddPicture(page, WritePicture("q.bmp", 96, 180, [](int x, int y) { return Quadrants(96, 180, x, y); }), 0.1234,
             0.0567, 0.3737, 0.8902);
  Prepare();
  SIZE layer;
  ASSERT_TRUE(DibGetSize(Player.view.layers.images[0], &layer));
  EXPECT_EQ(layer.cx, 961);
  EXPECT_EQ(layer.cy, 1800);
  TestSurface s(3840, 2160, RGB(0, 0, 0));
  EXPECT_EQ(PaintPage(s.dc), 1);
  EXPECT_TRUE(ColourAt(s, 473, 122, TL));
  EXPECT_TRUE(ColourAt(s, 1434, 122, TR));
  EXPECT_TRUE(ColourAt(s, 473, 1921, BL));
  EXPECT_TRUE(ColourAt(s, 1434, 1921, BR));
  EXPECT_TRUE(ColourAt(s, 472, 500, back));
  EXPECT_TRUE(ColourAt(s, 1435, 500, back));
  EXPECT_TRUE(ColourAt(s, 800, 121, back));
  EXPECT_TRUE(ColourAt(s, 800, 1922, back));
}

namespace {
// Corner colours after the operations, from their pixel formulas: each entry
// is (top-left, top-right, bottom-left, bottom-right).
struct Corners {
  COLORREF tl, tr, bl, br;
};
Corners Turn90(Corners c) { return {c.bl, c.tl, c.br, c.tr}; }
Corners FlipTopBottom(Corners c) { return {c.bl, c.br, c.tl, c.tr}; }
Corners FlipLeftRight(Corners c) { return {c.tr, c.tl, c.br, c.bl}; }
// Code = quarter turns clockwise + 4 x flip (1 top-bottom, 2 left-right).
Corners Expected(int code) {
  Corners c = {TL, TR, BL, BR};
  for (int t = 0; t < code % 4; ++t) c = Turn90(c);
  if (code / 4 == 1) c = FlipTopBottom(c);
  if (code / 4 == 2) c = FlipLeftRight(c);
  return c;
}
}  // namespace

TEST_F(Compose, EveryOrientationCodeLandsTheRightCorners) {
  UsePlayerWindow(400, 300);
  std::string path = WritePicture("q.bmp", 60, 40, [](int x, int y) { return Quadrants(60, 40, x, y); });
  for (int code = 0; code < 12; ++code) {
    ClearShowDocument(&Show);
    const COLORREF back = RGB(5, 5, 5);
    Page &page = AddPage(1, back);
    AddPicture(page, path, 0.1, 0.1, 0.5, 0.5, code);  // 160 x 120 at (40, 30)
    Prepare();
    int w = code % 2 ? 120 : 160, h = code % 2 ? 160 : 120;
    Corners want = Expected(code);
    for (int entering = 0; entering < 2; ++entering) {
      TestSurface s(400, 300, RGB(0, 0, 0));
      if (entering) PaintEntering(s);
      else PaintPage(s.dc);
      SCOPED_TRACE(::testing::Message() << "code " << code << (entering ? " entering" : " plain"));
      EXPECT_TRUE(ColourAt(s, 40 + 2, 30 + 2, want.tl));
      EXPECT_TRUE(ColourAt(s, 40 + w - 3, 30 + 2, want.tr));
      EXPECT_TRUE(ColourAt(s, 40 + 2, 30 + h - 3, want.bl));
      EXPECT_TRUE(ColourAt(s, 40 + w - 3, 30 + h - 3, want.br));
      EXPECT_TRUE(ColourAt(s, 40 + w, 30 + 2, back));
      EXPECT_TRUE(ColourAt(s, 40 + 2, 30 + h, back));
    }
  }
}

TEST_F(Compose, UnknownOrientationDrawsNothing) {
  const COLORREF back = RGB(90, 80, 70);
  Page &page = AddPage(1, back);
  AddPicture(page, WritePicture("p.bmp", 8, 8, [](int, int) { return RGB(255, 255, 255); }), 0, 0, 1, 1, 12);
  Prepare();
  TestSurface s(800, 600, RGB(0, 0, 0));
  PaintEntering(s);
  EXPECT_TRUE(ColourAt(s, 400, 300, back));  // the page fill, no picture
  EXPECT_TRUE(ColourAt(s, 0, 0, back));
}

TEST_F(Compose, DropShadowBurnsTheBackgroundByTheTiles) {
  // Tile grey levels from the picture's edge outwards.
  const int edge[8] = {88, 109, 136, 168, 201, 233, 255, 255};
  const int corner[8][8] = {{115, 133, 157, 185, 214, 242, 255, 255}, {133, 150, 172, 197, 223, 249, 255, 255},
                            {157, 172, 190, 212, 235, 255, 255, 255}, {185, 197, 212, 230, 249, 255, 255, 255},
                            {214, 223, 235, 249, 255, 255, 255, 255}, {242, 249, 255, 255, 255, 255, 255, 255},
                            {255, 255, 255, 255, 255, 255, 255, 255}, {255, 255, 255, 255, 255, 255, 255, 255}};
  const int backR = 200, backG = 150, backB = 100;
  auto burn = [](int v, int tile) { return v + tile - 255 < 0 ? 0 : v + tile - 255; };
  auto burnt = [&](int tile) { return RGB(burn(backR, tile), burn(backG, tile), burn(backB, tile)); };

  Page &page = AddPage(1, RGB(backR, backG, backB));
  // 200 x 150 at (100, 150) of 800 x 600: left 100, top 150, right 300, bottom 300.
  AddPicture(page, WritePicture("p.bmp", 20, 15, [](int, int) { return RGB(0, 0, 0); }), 0.125, 0.25, 0.375, 0.5, 0,
             1);
  Prepare();
  for (int entering = 0; entering < 2; ++entering) {
    TestSurface s(800, 600, RGB(0, 0, 0));
    if (entering) PaintEntering(s);
    else PaintPage(s.dc);
    SCOPED_TRACE(entering ? "entering" : "plain");
    const int l = 100, t = 150, r = 300, b = 300, k = 8;
    for (int i = 0; i < k; ++i) {
      // Bottom strip from left + 8, rows outwards; right strip from top + 8, columns outwards.
      EXPECT_TRUE(ColourAt(s, l + k, b + i, burnt(edge[i])));
      EXPECT_TRUE(ColourAt(s, 200, b + i, burnt(edge[i])));
      EXPECT_TRUE(ColourAt(s, r - 1, b + i, burnt(edge[i])));
      EXPECT_TRUE(ColourAt(s, r + i, t + k, burnt(edge[i])));
      EXPECT_TRUE(ColourAt(s, r + i, 220, burnt(edge[i])));
      EXPECT_TRUE(ColourAt(s, r + i, b - 1, burnt(edge[i])));
      for (int j = 0; j < k; ++j) {
        EXPECT_TRUE(ColourAt(s, r + j, b + i, burnt(corner[i][j])));          // bottom-right
        EXPECT_TRUE(ColourAt(s, l + j, b + i, burnt(corner[i][k - 1 - j])));  // bottom-left, mirrored
        EXPECT_TRUE(ColourAt(s, r + j, t + i, burnt(corner[k - 1 - i][j])));  // top-right, flipped
      }
    }
    EXPECT_TRUE(ColourAt(s, r + 8, 200, RGB(backR, backG, backB)));
    EXPECT_TRUE(ColourAt(s, 200, b + 8, RGB(backR, backG, backB)));
    EXPECT_TRUE(ColourAt(s, 200, 200, RGB(0, 0, 0)));  // the picture itself
  }
}

TEST_F(Compose, PageWithoutPicturesAndFlagZeroLeavesTheOldScreen) {
  AddPage(0, RGB(255, 0, 0));
  Prepare();
  EXPECT_EQ(Player.view.layers.count, 0);
  TestSurface s(800, 600, RGB(0, 0, 0));
  for (int y = 0; y < 600; y += 50)
    for (int x = 0; x < 800; x += 50) SetPixel(s.dc, x, y, RGB(x / 4, y / 3, 77));
  PaintEntering(s);
  for (int y = 0; y < 600; y += 50)
    for (int x = 0; x < 800; x += 50) EXPECT_TRUE(ColourAt(s, x, y, RGB(x / 4, y / 3, 77)));
}

TEST_F(Compose, PageWithoutPicturesAndFlagSetBringsInItsColour) {
  const COLORREF colour = RGB(30, 60, 90);
  AddPage(1, colour);
  Prepare();
  ASSERT_EQ(Player.view.layers.count, 1);
  SIZE layer;
  ASSERT_TRUE(DibGetSize(Player.view.layers.images[0], &layer));
  EXPECT_EQ(layer.cx, 800);
  EXPECT_EQ(layer.cy, 600);
  TestSurface s(800, 600, RGB(255, 255, 255));
  PaintEntering(s);
  EXPECT_TRUE(ColourAt(s, 0, 0, colour));
  EXPECT_TRUE(ColourAt(s, 799, 599, colour));
}

TEST_F(Compose, FlagZeroLaysPicturesOverThePreviousPage) {
  Page &page = AddPage(0, RGB(255, 0, 0));
  std::string p = WritePicture("p.bmp", 10, 10, [](int, int) { return RGB(0, 0, 255); });
  AddPicture(page, p, 0.0, 0.0, 0.25, 0.25);
  AddPicture(page, p, 0.5, 0.0, 0.75, 0.25);
  AddPicture(page, p, 0.0, 0.5, 0.25, 0.75);
  Prepare();
  TestSurface s(800, 600, RGB(0, 128, 0));
  // Not the first paint of the show: nothing is filled.
  Player.view.firstPaint = 0;
  PaintEntering(s);
  EXPECT_TRUE(ColourAt(s, 50, 50, RGB(0, 0, 255)));
  EXPECT_TRUE(ColourAt(s, 450, 50, RGB(0, 0, 255)));
  EXPECT_TRUE(ColourAt(s, 50, 350, RGB(0, 0, 255)));
  EXPECT_TRUE(ColourAt(s, 300, 50, RGB(0, 128, 0)));
  EXPECT_TRUE(ColourAt(s, 700, 500, RGB(0, 128, 0)));
  // The first paint of the show fills with the page colour once.
  Player.view.firstPaint = 1;
  TestSurface first(800, 600, RGB(0, 128, 0));
  PaintEntering(first);
  EXPECT_EQ(Player.view.firstPaint, 0);
  EXPECT_TRUE(ColourAt(first, 700, 500, RGB(255, 0, 0)));
  // The plain paint always composes on the page colour.
  TestSurface plain(800, 600, RGB(0, 128, 0));
  EXPECT_EQ(PaintPage(plain.dc), 1);
  EXPECT_TRUE(ColourAt(plain, 700, 500, RGB(255, 0, 0)));
  EXPECT_TRUE(ColourAt(plain, 50, 50, RGB(0, 0, 255)));
}

TEST_F(Compose, MissingPictureLeavesAnEmptyLayer) {
  const COLORREF back = RGB(1, 100, 200);
  Page &page = AddPage(1, back);
  AddPicture(page, folder.File("gone.bmp"), 0, 0, 0.5, 0.5);
  AddPicture(page, WritePicture("p.bmp", 4, 4, [](int, int) { return RGB(255, 255, 255); }), 0.5, 0.5, 1, 1);
  AddPicture(page, WritePicture("junk.bmp", 1, 1, [](int, int) { return 0; }), 0, 0, 0.1, 0.1);
  WriteWholeFile(folder.File("junk.bmp").c_str(), "not a picture", 13, false);
  Prepare();
  ASSERT_EQ(Player.view.layers.count, 3);
  EXPECT_EQ(Player.view.layers.images[0], nullptr);
  EXPECT_NE(Player.view.layers.images[1], nullptr);
  EXPECT_EQ(Player.view.layers.images[2], nullptr);
  TestSurface s(800, 600, RGB(0, 0, 0));
  PaintEntering(s);
  EXPECT_TRUE(ColourAt(s, 100, 100, back));
  EXPECT_TRUE(ColourAt(s, 600, 400, RGB(255, 255, 255)));
}

TEST_F(Compose, ProgramRelativePicturePath) {
  Page &page = AddPage(1, RGB(0, 0, 0));
  WritePicture("rel.bmp", 4, 4, [](int, int) { return RGB(7, 77, 177); });
  AddPicture(page, "@\\rel.bmp", 0, 0, 1, 1);
  Prepare();
  TestSurface s(800, 600, RGB(0, 0, 0));
  PaintPage(s.dc);
  EXPECT_TRUE(ColourAt(s, 400, 300, RGB(7, 77, 177)));
}

TEST_F(Compose, AComposedPageWithEverything) {
  // A page as a show would have it: turned pictures with shadows, horizontal
  // and vertical text, drawn entering and plain; both paints agree.
  UsePlayerWindow(640, 480);
  const COLORREF back = RGB(70, 110, 150);
  Page &page = AddPage(1, back);
  std::string q = WritePicture("q.bmp", 120, 80, [](int x, int y) { return Quadrants(120, 80, x, y); });
  std::string g = WritePicture("g.bmp", 64, 64, [](int x, int y) { return RGB(x * 4, y * 4, 128); });
  AddPicture(page, q, 0.05, 0.08, 0.45, 0.48, 0, 1);
  AddPicture(page, q, 0.55, 0.08, 0.80, 0.40, 1, 1);
  AddPicture(page, g, 0.05, 0.58, 0.35, 0.95, 6, 1);
  AddPicture(page, q, -0.1, 0.7, 0.1, 0.9, 11, 0);
  AddText(page, "スライドショー\r\nVORMKIT", "ＭＳ ゴシック", 32, 0.40, 0.60, RGB(255, 255, 255));
  AddText(page, "縦書きの文字", "@ＭＳ ゴシック", 28, 0.90, 0.08, RGB(255, 240, 0));
  TextRecord &italic = AddText(page, "italic 8", "ＭＳ ゴシック", 24, 0.40, 0.85, RGB(0, 0, 0));
  italic.font.lfItalic = 1;
  Prepare();
  TestSurface entering(640, 480, RGB(0, 0, 0));
  Player.view.firstPaint = 1;
  PaintEntering(entering);
  TestSurface plain(640, 480, RGB(0, 0, 0));
  EXPECT_EQ(PaintPage(plain.dc), 1);
  SaveSnapshot(entering, "page_entering");
  SaveSnapshot(plain, "page_plain");
  int differences = 0;
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x) differences += entering.At(x, y) != plain.At(x, y);
  EXPECT_EQ(differences, 0);
  EXPECT_EQ(plain.At(600, 470), back);
  EXPECT_EQ(plain.At(32 + 3, 38 + 3), TL);
}

TEST_F(Compose, TwelveOrientationsSideBySide) {
  // A grid of 4 x 3 cells, cell i holding the picture with code i.
  UsePlayerWindow(640, 480);
  const COLORREF back = RGB(255, 255, 255);
  Page &page = AddPage(1, back);
  std::string q = WritePicture("q.bmp", 60, 40, [](int x, int y) { return Quadrants(60, 40, x, y); });
  for (int code = 0; code < 12; ++code) {
    double l = 0.02 + 0.25 * (code % 4), t = 0.03 + (1.0 / 3) * (code / 4);
    AddPicture(page, q, l, t, l + 0.1875, t + 0.1875, code, 1);  // 120 x 90 before turning
  }
  Prepare();
  TestSurface s(640, 480, RGB(0, 0, 0));
  PaintEntering(s);
  SaveSnapshot(s, "orientations");
  for (int code = 0; code < 12; ++code) {
    int left = int(640 * (0.02 + 0.25 * (code % 4))), top = int(480 * (0.03 + (1.0 / 3) * (code / 4)));
    int w = code % 2 ? 90 : 120, h = code % 2 ? 120 : 90;
    Corners want = Expected(code);
    SCOPED_TRACE(code);
    EXPECT_TRUE(ColourAt(s, left + 2, top + 2, want.tl));
    EXPECT_TRUE(ColourAt(s, left + w - 3, top + h - 3, want.br));
  }
}
