// Texts of a page: lines and their box, font scaling with the client width,
// vertical text, the fade frames and their interruption, the extent written
// back into the record.
#include <gtest/gtest.h>

#include <cmath>

#include "player/page_text.h"
#include "tests/win32/player_fixture.h"

using namespace player_test;

namespace {
const char kGothic[] = "ＭＳ ゴシック";
const char kVerticalGothic[] = "@ＭＳ ゴシック";

std::vector<int> &FadeFrames() {
  static std::vector<int> frames;
  return frames;
}
void RecordFade(int percent) { FadeFrames().push_back(percent); }

// Measures strings in a font made here from the same values.
struct Measure {
  HDC dc;
  HFONT font;
  HGDIOBJ old;
  Measure(const char *face, int32_t height, BYTE italic = 0) {
    LOGFONTA lf = {};
    lf.lfHeight = height;
    lf.lfWeight = FW_NORMAL;
    lf.lfItalic = italic;
    lf.lfCharSet = SHIFTJIS_CHARSET;
    strcpy(lf.lfFaceName, face);
    dc = CreateCompatibleDC(nullptr);
    font = CreateFontIndirectA(&lf);
    old = SelectObject(dc, font);
  }
  ~Measure() {
    SelectObject(dc, old);
    DeleteObject(font);
    DeleteDC(dc);
  }
  SIZE Of(const char *s) {
    SIZE size = {};
    GetTextExtentPoint32A(dc, s, int(strlen(s)), &size);
    return size;
  }
};

// The bounding box of the pixels that differ from back, or an empty rect.
RECT Changed(const TestSurface &s, COLORREF back) {
  RECT box = {s.width, s.height, -1, -1};
  for (int y = 0; y < s.height; ++y)
    for (int x = 0; x < s.width; ++x)
      if (s.At(x, y) != back) {
        box.left = std::min<LONG>(box.left, x);
        box.top = std::min<LONG>(box.top, y);
        box.right = std::max<LONG>(box.right, x + 1);
        box.bottom = std::max<LONG>(box.bottom, y + 1);
      }
  return box;
}

class Text : public PlayerTest {
 protected:
  void SetUp() override {
    PlayerTest::SetUp();
    FadeFrames().clear();
    PlayerSeam.fadeFrame = RecordFade;
    Player.playMode = PLAY_MODE_SAVER;
  }
  // Box size in pixels, from the extent written back.
  double BoxWidth(const TextRecord &t) const { return (t.extent[0] - t.anchor[0]) * width; }
  double BoxHeight(const TextRecord &t) const { return (t.extent[1] - t.anchor[1]) * height; }
};
}  // namespace

TEST_F(Text, TwoLinesMakeABoxTwoLineHeightsTall) {
  UsePlayerWindow(640, 480);
  Page &page = AddPage(0);
  AddText(page, "A\r\nBB", kGothic, 40, 0.25, 0.5, RGB(255, 255, 255));
  Prepare();
  TestSurface s(640, 480, RGB(0, 0, 0));
  DrawPageText(s.dc, CurrentPage(), &Player.view, 0);
  Measure m(kGothic, 40);
  SIZE eight = m.Of("8"), bb = m.Of("BB");
  const TextRecord &t = Show.pages.pages[0].texts[0];
  EXPECT_NEAR(BoxWidth(t), std::max(eight.cx, bb.cx), 1e-6);
  EXPECT_NEAR(BoxHeight(t), 2 * eight.cy, 1e-6);
  EXPECT_DOUBLE_EQ(t.extent[0], 0.25 + double(std::max(eight.cx, bb.cx)) / 640);
  // Ink in both line bands, inside the box, nowhere else.
  RECT ink = Changed(s, RGB(0, 0, 0));
  EXPECT_GE(ink.left, 160);
  EXPECT_GE(ink.top, 240);
  EXPECT_LE(ink.right, 160 + std::max(eight.cx, bb.cx));
  EXPECT_LE(ink.bottom, 240 + 2 * eight.cy);
  auto inkInRows = [&](int from, int to) {
    for (int y = from; y < to; ++y)
      for (int x = 160; x < 160 + bb.cx; ++x)
        if (s.At(x, y) != RGB(0, 0, 0)) return true;
    return false;
  };
  EXPECT_TRUE(inkInRows(240, 240 + eight.cy));
  EXPECT_TRUE(inkInRows(240 + eight.cy, 240 + 2 * eight.cy));
  // The second line is wider than the first: "BB" reaches further right.
  auto rightmostInk = [&](int from, int to) {
    int right = -1;
    for (int y = from; y < to; ++y)
      for (int x = 160; x < 160 + bb.cx; ++x)
        if (s.At(x, y) != RGB(0, 0, 0)) right = std::max(right, x);
    return right;
  };
  EXPECT_GT(rightmostInk(240 + eight.cy, 240 + 2 * eight.cy), rightmostInk(240, 240 + eight.cy));
}

TEST_F(Text, TrailingLineBreakCountsAnEmptyLine) {
  UsePlayerWindow(640, 480);
  Page &page = AddPage(0);
  AddText(page, "A\r\n", kGothic, 30, 0, 0, RGB(255, 255, 255));
  AddText(page, "", kGothic, 30, 0.5, 0.5, RGB(255, 255, 255));
  Prepare();
  TestSurface s(640, 480, RGB(0, 0, 0));
  DrawPageText(s.dc, CurrentPage(), &Player.view, 0);
  DrawPageText(s.dc, CurrentPage(), &Player.view, 1);
  Measure m(kGothic, 30);
  SIZE eight = m.Of("8");
  EXPECT_NEAR(BoxHeight(Show.pages.pages[0].texts[0]), 2 * eight.cy, 1e-6);
  EXPECT_NEAR(BoxHeight(Show.pages.pages[0].texts[1]), eight.cy, 1e-6);  // one empty line
  EXPECT_NEAR(BoxWidth(Show.pages.pages[0].texts[1]), eight.cx, 1e-6);    // the "8" minimum
}

TEST_F(Text, FontHeightScalesWithTheClientWidth) {
  struct Case {
    int w, h;
    int32_t scaled;
  };
  // 3840 x 2160: a DPI-aware player on a 4K screen, six times the 640 page.
  for (Case c : {Case{320, 240, 12}, Case{1280, 960, 48}, Case{700, 500, 26}, Case{3840, 2160, 144}}) {
    UsePlayerWindow(c.w, c.h);
    ClearShowDocument(&Show);
    Page &page = AddPage(0);
    AddText(page, "8", kGothic, 24, 0, 0, RGB(255, 255, 255));
    Prepare();
    TestSurface s(c.w, c.h, RGB(0, 0, 0));
    DrawPageText(s.dc, CurrentPage(), &Player.view, 0);
    Measure m(kGothic, c.scaled);
    SIZE eight = m.Of("8");
    const TextRecord &t = Show.pages.pages[0].texts[0];
    EXPECT_NEAR(BoxHeight(t), eight.cy, 1e-6) << c.w;
    EXPECT_NEAR(BoxWidth(t), eight.cx, 1e-6) << c.w;
  }
}

TEST_F(Text, ItalicAddsHalfTheWidthOfEight) {
  UsePlayerWindow(640, 480);
  Page &page = AddPage(0);
  TextRecord &t = AddText(page, "WWWW", kGothic, 30, 0, 0, RGB(255, 255, 255));
  t.font.lfItalic = 1;
  Prepare();
  TestSurface s(640, 480, RGB(0, 0, 0));
  DrawPageText(s.dc, CurrentPage(), &Player.view, 0);
  Measure m(kGothic, 30, 1);
  EXPECT_NEAR(BoxWidth(Show.pages.pages[0].texts[0]), m.Of("WWWW").cx + m.Of("8").cx / 2, 1e-6);
}

TEST_F(Text, VerticalTextIsTallerThanWide) {
  UsePlayerWindow(640, 480);
  Page &page = AddPage(0);
  AddText(page, "日本語の文", kVerticalGothic, 30, 0.5, 0.1, RGB(255, 255, 0));
  Prepare();
  TestSurface s(640, 480, RGB(0, 0, 0));
  DrawPageText(s.dc, CurrentPage(), &Player.view, 0);
  const TextRecord &t = Show.pages.pages[0].texts[0];
  Measure m(kVerticalGothic, 30);
  // The box lies on its side: its screen width is the line height, its height the line's length.
  EXPECT_NEAR(BoxWidth(t), m.Of("8").cy, 1e-6);
  EXPECT_NEAR(BoxHeight(t), m.Of("日本語の文").cx, 1e-6);
  EXPECT_GT(BoxHeight(t), 2 * BoxWidth(t));
  RECT ink = Changed(s, RGB(0, 0, 0));
  EXPECT_GT(ink.bottom - ink.top, 2 * (ink.right - ink.left));
  EXPECT_GE(ink.left, 320);
  EXPECT_GE(ink.top, 48);
}

TEST_F(Text, FifteenStepsFadeThroughSevenToNinetyEightPercent) {
  Page &page = AddPage(0);
  AddText(page, "fade", kGothic, 24, 0.1, 0.1, RGB(255, 255, 255), 15);
  Prepare();
  TestSurface s(800, 600, RGB(0, 0, 0));
  Player.view.entering = 1;
  DrawPageText(s.dc, CurrentPage(), &Player.view, 0);
  std::vector<int> want;
  for (int k = 1; k <= 14; ++k) want.push_back(7 * k);
  EXPECT_EQ(FadeFrames(), want);
}

TEST_F(Text, LongAndDamagedFadesStopAtFullStrength) {
  Page &page = AddPage(0);
  AddText(page, "thirty", kGothic, 24, 0.1, 0.1, RGB(255, 255, 255), 30);
  AddText(page, "damaged", kGothic, 24, 0.1, 0.5, RGB(255, 255, 255), 2000000000);
  Prepare();
  TestSurface s(800, 600, RGB(0, 0, 0));
  std::vector<int> want;
  for (int k = 1; k <= 14; ++k) want.push_back(7 * k);
  want.push_back(100);
  for (int i = 0; i < 2; ++i) {
    FadeFrames().clear();
    Player.view.entering = 1;
    DrawPageText(s.dc, CurrentPage(), &Player.view, i);
    EXPECT_EQ(FadeFrames(), want) << i;
  }
}

TEST_F(Text, NoFadeWhenNotEnteringOrSwitchedOff) {
  Page &page = AddPage(0);
  AddText(page, "one", kGothic, 24, 0.1, 0.1, RGB(255, 255, 255), 1);
  AddText(page, "many", kGothic, 24, 0.1, 0.3, RGB(255, 255, 255), 15);
  Prepare();
  TestSurface s(800, 600, RGB(0, 0, 0));
  Player.view.entering = 1;
  DrawPageText(s.dc, CurrentPage(), &Player.view, 0);  // 1 step: no fade
  Player.view.entering = 0;
  DrawPageText(s.dc, CurrentPage(), &Player.view, 1);  // plain paint: no fade
  Startup.settings.noTextAnimation = 1;
  Player.view.entering = 1;
  DrawPageText(s.dc, CurrentPage(), &Player.view, 1);
  EXPECT_TRUE(FadeFrames().empty());
}

TEST_F(Text, FadeFramesBlendOverTheBackground) {
  // A text in white over mid grey: a frame at a percent has text pixels of
  // (a * 255 + (100 - a) * 100) / 100. Seen by drawing the frames one at a time.
  UsePlayerWindow(320, 240);
  Page &page = AddPage(0);
  AddText(page, "■", kGothic, 64, 0.1, 0.1, RGB(255, 255, 255), 3);
  Prepare();
  TestSurface s(320, 240, RGB(100, 100, 100));
  static TestSurface *surface;
  static std::vector<COLORREF> centre;
  surface = &s;
  centre.clear();
  PlayerSeam.fadeFrame = [](int) { centre.push_back(surface->At(32 + 12, 24 + 14)); };
  Player.view.entering = 1;
  DrawPageText(s.dc, CurrentPage(), &Player.view, 0);
  ASSERT_EQ(centre.size(), 2u);
  auto blend = [](int a) { return (a * 255 + (100 - a) * 100) / 100; };
  EXPECT_EQ(centre[0], RGB(blend(7), blend(7), blend(7)));
  EXPECT_EQ(centre[1], RGB(blend(14), blend(14), blend(14)));
  EXPECT_EQ(s.At(32 + 12, 24 + 14), RGB(255, 255, 255));
}

TEST_F(Text, KeyDuringTheFadeEndsItAndTheTextIsComplete) {
  Page &page = AddPage(0);
  AddText(page, "Key stop", kGothic, 40, 0.1, 0.1, RGB(250, 240, 230), 15);
  Prepare();
  TestSurface reference(800, 600, RGB(20, 30, 40));
  DrawPageText(reference.dc, CurrentPage(), &Player.view, 0);  // drawn at once

  TestSurface s(800, 600, RGB(20, 30, 40));
  PostMessageA(window, WM_KEYDOWN, 'A', 0);
  Player.view.entering = 1;
  DrawPageText(s.dc, CurrentPage(), &Player.view, 0);
  EXPECT_EQ(FadeFrames(), std::vector<int>{7});  // one frame, then the key ended it
  MSG msg;
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE));  // consumed
  int differences = 0;
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 800; ++x) differences += s.At(x, y) != reference.At(x, y);
  EXPECT_EQ(differences, 0);
}

TEST_F(Text, MouseMovementEndsTheFadeOnlyInSaverMode) {
  Page &page = AddPage(0);
  AddText(page, "mouse", kGothic, 24, 0.1, 0.1, RGB(255, 255, 255), 15);
  Prepare();
  TestSurface s(800, 600, RGB(0, 0, 0));
  Player.playMode = 0;
  PostMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  Player.view.entering = 1;
  DrawPageText(s.dc, CurrentPage(), &Player.view, 0);
  EXPECT_EQ(FadeFrames().size(), 14u);
  DrainMessages();
  FadeFrames().clear();
  Player.playMode = PLAY_MODE_SAVER;
  PostMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  Player.view.entering = 1;
  DrawPageText(s.dc, CurrentPage(), &Player.view, 0);
  EXPECT_EQ(FadeFrames(), std::vector<int>{7});
}

TEST_F(Text, EnteringPaintFadesTextsAfterThePictures) {
  Page &page = AddPage(1, RGB(0, 0, 80));
  AddPicture(page, WritePicture("p.bmp", 4, 4, [](int, int) { return RGB(200, 0, 0); }), 0, 0, 1, 1);
  AddText(page, "over", kGothic, 48, 0.2, 0.2, RGB(255, 255, 255), 4);
  Prepare();
  TestSurface s(800, 600, RGB(0, 0, 0));
  PaintEntering(s);
  EXPECT_EQ(FadeFrames(), (std::vector<int>{7, 14, 21}));
  const TextRecord &t = Show.pages.pages[0].texts[0];
  EXPECT_GT(t.extent[0], 0.2);  // stored values replaced
  EXPECT_GT(t.extent[1], 0.2);
  // The box's background is the picture, not the page colour.
  EXPECT_EQ(s.At(160 + 1, 120 + 1), RGB(200, 0, 0));
}
