// The entering paint with transition plug-ins: the block the probe plug-in
// receives, an early stop, the conditions that draw at once, and the real
// nijimu library.
#include <gtest/gtest.h>

#include "tests/win32/player_fixture.h"

using namespace player_test;

namespace {
class Transition : public PlayerTest {
 protected:
  int32_t probeId = 0;
  void SetUp() override {
    PlayerTest::SetUp();
    probeId = LoadPlugins({"probe_plugin.tns"});
    ProbeReset(1);
    Player.playMode = PLAY_MODE_SAVER;
  }
  // A page of two pictures with the probe's identifier and recognisable parameters.
  Page &TwoPicturePage(int32_t backgroundFlag) {
    Page &page = AddPage(backgroundFlag, RGB(12, 34, 56));
    page.transitionId = probeId;
    page.transitionWait = 37;
    for (int i = 0; i < 80; ++i) page.transitionParams[i] = static_cast<unsigned char>(i * 3 + 1);
    AddPicture(page, WritePicture("a.bmp", 30, 20, [](int x, int y) { return Quadrants(30, 20, x, y); }), 0.1, 0.1,
               0.4, 0.3, 1);  // 240 x 120 turned: 120 x 240 at (80, 60)
    AddPicture(page, WritePicture("b.bmp", 16, 16, [](int, int) { return RGB(0, 150, 250); }), 0.5, 0.5, 0.75,
               0.75);  // 200 x 150 at (400, 300)
    return page;
  }
};
}  // namespace

TEST_F(Transition, ThePluginReceivesTheBlockAsDescribed) {
  TwoPicturePage(1);
  Prepare();
  TestSurface s(800, 600, RGB(0, 0, 0));
  PaintEntering(s);
  std::vector<ProbeCall> calls = ProbeCallsMade();
  ASSERT_EQ(calls.size(), 2u);
  const RECT rects[2] = {{80, 60, 200, 300}, {400, 300, 600, 450}};
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(i);
    const ProbeCall &r = calls[size_t(i)];
    EXPECT_EQ(r.window, window);
    EXPECT_EQ(r.dc, s.dc);
    EXPECT_NE(r.image, nullptr);
    ASSERT_TRUE(r.hasImageSize);
    ASSERT_TRUE(r.hasDestRect);
    EXPECT_EQ(r.destRect.left, rects[i].left);
    EXPECT_EQ(r.destRect.top, rects[i].top);
    EXPECT_EQ(r.destRect.right, rects[i].right);
    EXPECT_EQ(r.destRect.bottom, rects[i].bottom);
    // Turned and sized exactly to the rectangle.
    EXPECT_EQ(r.imageSize[0], rects[i].right - rects[i].left);
    EXPECT_EQ(r.imageSize[1], rects[i].bottom - rects[i].top);
    EXPECT_EQ(r.imageWidth, r.imageSize[0]);
    EXPECT_EQ(r.imageHeight, r.imageSize[1]);
    EXPECT_EQ(r.imageBits, 24);
    EXPECT_EQ(r.backColor, RGB(12, 34, 56));
    EXPECT_EQ(r.wholeWindow, i == 0 ? 1 : 0);
    EXPECT_EQ(r.abortable, 1);
    EXPECT_EQ(r.wait, 37);
    for (int k = 0; k < 80; ++k) EXPECT_EQ(r.effectParams[k], static_cast<unsigned char>(k * 3 + 1));
    EXPECT_EQ(r.mouseMoveAborts, 1);
    EXPECT_EQ(r.result, 0);  // the block starts zeroed
    EXPECT_TRUE(r.tailZero);
    EXPECT_EQ(r.clientRect.right, 800);
    EXPECT_EQ(r.clientRect.bottom, 600);
  }
  // The page fill came first (flag set), before the first layer's effect.
  EXPECT_EQ(calls[0].layerOnScreenBefore, RGB(12, 34, 56));
  // Each picture is drawn 1:1 over whatever the effect left (the probe paints a marker).
  EXPECT_EQ(s.At(80 + 2, 60 + 2), Quadrants(30, 20, 0, 19));  // turned clockwise: bottom-left on top
  EXPECT_EQ(s.At(500, 400), RGB(0, 150, 250));
  EXPECT_EQ(s.At(700, 100), RGB(12, 34, 56));
}

TEST_F(Transition, FlagZeroNeverAsksForTheWholeWindow) {
  TwoPicturePage(0);
  Player.playMode = 0;
  Prepare();
  TestSurface s(800, 600, RGB(0, 0, 0));
  PaintEntering(s);
  std::vector<ProbeCall> calls = ProbeCallsMade();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].wholeWindow, 0);
  EXPECT_EQ(calls[1].wholeWindow, 0);
  EXPECT_EQ(calls[0].mouseMoveAborts, 0);  // not the saver mode
}

TEST_F(Transition, PageWithoutPicturesBringsInItsColour) {
  Page &page = AddPage(1, RGB(90, 10, 10));
  page.transitionId = probeId;
  Prepare();
  TestSurface s(800, 600, RGB(0, 0, 0));
  PaintEntering(s);
  std::vector<ProbeCall> calls = ProbeCallsMade();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].destRect.left, 0);
  EXPECT_EQ(calls[0].destRect.right, 800);
  EXPECT_EQ(calls[0].destRect.bottom, 600);
  EXPECT_EQ(calls[0].imageSize[0], 800);
  EXPECT_EQ(calls[0].imageSize[1], 600);
  EXPECT_EQ(calls[0].wholeWindow, 1);
  EXPECT_EQ(s.At(400, 300), RGB(90, 10, 10));
}

TEST_F(Transition, AnEarlyStopTurnsOffTheRestOfThePage) {
  Page &page = TwoPicturePage(1);
  AddText(page, "no fade", "ＭＳ ゴシック", 24, 0.1, 0.8, RGB(255, 255, 255), 15);
  static int fades;
  fades = 0;
  PlayerSeam.fadeFrame = [](int) { ++fades; };
  ProbeReset(0);
  Prepare();
  TestSurface s(800, 600, RGB(0, 0, 0));
  PaintEntering(s);
  EXPECT_EQ(ProbeCallsMade().size(), 1u);  // the second layer came at once
  EXPECT_EQ(fades, 0);                      // and the text without fade
  EXPECT_EQ(s.At(80 + 2, 60 + 2), Quadrants(30, 20, 0, 19));
  EXPECT_EQ(s.At(500, 400), RGB(0, 150, 250));

  // The next entering paint runs the effects again.
  ProbeReset(1);
  TestSurface again(800, 600, RGB(0, 0, 0));
  PaintEntering(again);
  EXPECT_EQ(ProbeCallsMade().size(), 2u);
  EXPECT_EQ(fades, 14);
}

TEST_F(Transition, ConditionsThatDrawAtOnce) {
  Page &page = TwoPicturePage(1);
  Prepare();
  auto paintCountingCalls = [&]() {
    ProbeReset(1);
    TestSurface s(800, 600, RGB(0, 0, 0));
    PaintEntering(s);
    EXPECT_EQ(s.At(500, 400), RGB(0, 150, 250));  // drawn all the same
    EXPECT_EQ(s.At(80 + 2, 60 + 2), Quadrants(30, 20, 0, 19));
    return ProbeCallsMade().size();
  };
  EXPECT_EQ(paintCountingCalls(), 2u);
  Startup.settings.noTransition = 1;
  EXPECT_EQ(paintCountingCalls(), 0u);
  Startup.settings.noTransition = 0;
  Startup.smallWindow = 1;
  EXPECT_EQ(paintCountingCalls(), 0u);
  Startup.smallWindow = 0;
  page.transitionId = 0;
  EXPECT_EQ(paintCountingCalls(), 0u);
  page.transitionId = probeId + 1;  // no plug-in has it
  EXPECT_EQ(paintCountingCalls(), 0u);
  page.transitionId = probeId;
  EXPECT_EQ(paintCountingCalls(), 2u);
  // The plain paint never runs effects.
  ProbeReset(1);
  TestSurface plain(800, 600, RGB(0, 0, 0));
  Player.view.entering = 0;
  PaintPage(plain.dc);
  EXPECT_EQ(ProbeCallsMade().size(), 0u);
  EXPECT_EQ(plain.At(500, 400), RGB(0, 150, 250));
}

TEST_F(Transition, NoPluginLoadedDrawsAtOnce) {
  Page &page = TwoPicturePage(1);
  UnloadTestPlugins();
  page.transitionId = probeId;
  Prepare();
  TestSurface s(800, 600, RGB(0, 0, 0));
  PaintEntering(s);
  EXPECT_EQ(s.At(500, 400), RGB(0, 150, 250));
}

TEST_F(Transition, RealNijimuEndsWithThePictureExactlyDrawn) {
  UnloadTestPlugins();
  int32_t id = LoadPlugins({"nijimu.tns"});
  ASSERT_NE(id, 0);
  UsePlayerWindow(320, 240);
  Page &page = AddPage(1, RGB(0, 0, 0));
  page.transitionId = id;
  page.transitionWait = 1;
  page.transitionParams[0] = 16;  // cell size
  AddPicture(page, WritePicture("q.bmp", 40, 30, [](int x, int y) { return Quadrants(40, 30, x, y); }), 0.25, 0.25,
             0.75, 0.75);
  Prepare();
  TestSurface s(320, 240, RGB(255, 255, 255));
  PaintEntering(s);
  EXPECT_EQ(s.At(80 + 1, 60 + 1), TL);
  EXPECT_EQ(s.At(239 - 1, 60 + 1), TR);
  EXPECT_EQ(s.At(80 + 1, 179 - 1), BL);
  EXPECT_EQ(s.At(239 - 1, 179 - 1), BR);
  EXPECT_EQ(s.At(10, 10), RGB(0, 0, 0));
}
