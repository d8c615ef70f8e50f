// diffuse drawn into memory DCs: complete sweeps on several sizes in both
// directions, the speeds, tiny and empty rectangles, pictures of another
// size than destRect, interruption with its own mouse range, and the real
// library with its dialog.
#include "transitions/diffuse/diffuse_effect.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>

#include "tests/win32/effect_scene.h"
#include "tests/win32/plugin_library.h"

using effect_test::Recording;
using effect_test::Scene;

namespace {
const COLORREF SCREEN = RGB(10, 20, 30);

COLORREF Screen(int, int) { return SCREEN; }
COLORREF Picture(int x, int y) { return RGB((x * 3) & 0xFF, (y * 11) & 0xFF, 120); }
const effect_test::SceneLook LOOK = {Screen, Picture, RGB(200, 100, 50)};

// One effect call on a plain screen with wait 50; the picture has destRect's
// size unless another is given.
struct DiffuseScene : Scene {
  DiffuseScene(int w, int h, RECT destRect, int pictureW = 0, int pictureH = 0)
      : Scene(w, h, destRect, 0, LOOK, pictureW, pictureH) {
    params.wait = 50;
  }
};

// Pixels of destRect that do not show the picture yet.
long OldPixels(const Scene &scene) {
  long n = 0;
  for (int y = scene.dest.top; y < scene.dest.bottom; ++y)
    for (int x = scene.dest.left; x < scene.dest.right; ++x)
      n += scene.screen.At(x, y) != Picture(x - scene.dest.left, y - scene.dest.top);
  return n;
}
long ChangedOutside(const Scene &scene) {
  long n = 0;
  for (int y = 0; y < scene.screen.height; ++y)
    for (int x = 0; x < scene.screen.width; ++x) n += !scene.InDest(x, y) && scene.screen.At(x, y) != SCREEN;
  return n;
}
}  // namespace

TEST(Diffuse, FullSweepsLeaveNoPixelBehind) {
  const RECT rects[] = {{20, 10, 660, 490}, {3, 5, 104, 42}, {0, 0, 64, 48}, {7, 3, 72, 52}};
  for (const RECT &r : rects)
    for (int pattern = 0; pattern < 2; ++pattern) {
      Recording rec;
      DiffuseScene scene(r.right + 11, r.bottom + 7, r);
      scene.params.effectParams[DIFFUSE_PATTERN_WORD] = pattern;
      ASSERT_EQ(DiffuseRun(&scene.params), 1);
      EXPECT_EQ(scene.params.result, 1);
      const long old = OldPixels(scene);
      printf("[ sweep    ] %ld x %ld %s: %d frames, %ld pixels still old\n", r.right - r.left, r.bottom - r.top,
             pattern ? "counter-clockwise" : "clockwise", rec.frames, old);
      EXPECT_EQ(old, 0) << r.right - r.left << "x" << r.bottom - r.top << " pattern " << pattern;
      EXPECT_EQ(ChangedOutside(scene), 0);
      EXPECT_GT(rec.frames, 4);
      EXPECT_TRUE(rec.sleeps.empty()) << "the clock wipe never sleeps";
    }
}

TEST(Diffuse, StepOfOnePixelAndOf101) {
  {
    // wait 100: one pixel of border per frame, (32+1) + 48 + 64 + 48 + 32 frames on 64 x 48.
    Recording rec;
    DiffuseScene scene(64, 48, {0, 0, 64, 48});
    scene.params.wait = 100;
    ASSERT_EQ(DiffuseRun(&scene.params), 1);
    EXPECT_EQ(rec.frames, 33 + 48 + 64 + 48 + 32);
    EXPECT_EQ(OldPixels(scene), 0);
  }
  {
    // wait 0: 101 pixels per frame; 640 x 480 takes 4 + 5 + 6 + 5 + 3 frames
    // and one more that closes the sweep at twelve o'clock.
    Recording rec;
    DiffuseScene scene(640, 480, {0, 0, 640, 480});
    scene.params.wait = 0;
    ASSERT_EQ(DiffuseRun(&scene.params), 1);
    EXPECT_EQ(rec.frames, 24);
    EXPECT_EQ(OldPixels(scene), 0);
  }
}

TEST(Diffuse, WaitsNoDialogStoresNeitherHangNorCrash) {
  for (int32_t wait : {101, 1000, 0x7FFFFFFF}) {
    Recording rec;
    DiffuseScene scene(64, 48, {0, 0, 64, 48});
    scene.params.wait = wait;
    ASSERT_EQ(DiffuseRun(&scene.params), 1) << wait;
    EXPECT_EQ(rec.frames, 33 + 48 + 64 + 48 + 32) << "a step below 1 becomes 1";
    EXPECT_EQ(OldPixels(scene), 0);
  }
  Recording rec;
  DiffuseScene scene(64, 48, {0, 0, 64, 48});
  scene.params.wait = -100000;
  ASSERT_EQ(DiffuseRun(&scene.params), 1);
  EXPECT_EQ(OldPixels(scene), 0);
}

TEST(Diffuse, TinyAndEmptyRectangles) {
  const RECT tiny[] = {{5, 5, 6, 6}, {5, 5, 7, 8}, {5, 5, 8, 7}, {0, 0, 1, 30}, {0, 0, 30, 1}, {2, 2, 4, 4}};
  for (const RECT &r : tiny)
    for (int pattern = 0; pattern < 2; ++pattern) {
      Recording rec;
      DiffuseScene scene(40, 40, r);
      scene.params.effectParams[DIFFUSE_PATTERN_WORD] = pattern;
      ASSERT_EQ(DiffuseRun(&scene.params), 1) << r.right - r.left << "x" << r.bottom - r.top;
      EXPECT_EQ(OldPixels(scene), 0) << r.right - r.left << "x" << r.bottom - r.top << " pattern " << pattern;
      EXPECT_EQ(ChangedOutside(scene), 0);
    }
  Recording rec;
  DiffuseScene scene(40, 40, {10, 10, 10, 30});
  EXPECT_EQ(DiffuseRun(&scene.params), 1) << "nothing to sweep";
  EXPECT_EQ(rec.frames, 0);
  EXPECT_EQ(ChangedOutside(scene), 0);
}

TEST(Diffuse, IgnoresWholeWindowAndBackColor) {
  Recording rec;
  DiffuseScene scene(80, 60, {10, 10, 50, 40});
  scene.params.wholeWindow = 1;
  ASSERT_EQ(DiffuseRun(&scene.params), 1);
  EXPECT_EQ(OldPixels(scene), 0);
  EXPECT_EQ(ChangedOutside(scene), 0) << "only destRect is animated";
}

TEST(Diffuse, PicturesOfAnotherSizeStayInsideTheirPixels) {
  {
    // A smaller picture: its pixels at the rectangle's top left, the rest old.
    Recording rec;
    DiffuseScene scene(70, 60, {10, 10, 60, 50}, 30, 20);
    ASSERT_EQ(DiffuseRun(&scene.params), 1);
    for (int y = 0; y < 60; ++y)
      for (int x = 0; x < 70; ++x) {
        bool picture = x >= 10 && x < 40 && y >= 10 && y < 30;
        ASSERT_EQ(scene.screen.At(x, y), picture ? Picture(x - 10, y - 10) : SCREEN) << x << "," << y;
      }
  }
  {
    // A larger picture: the rectangle shows its top left part, nothing spills out.
    Recording rec;
    DiffuseScene scene(100, 80, {10, 10, 60, 50}, 80, 60);
    ASSERT_EQ(DiffuseRun(&scene.params), 1);
    EXPECT_EQ(OldPixels(scene), 0);
    EXPECT_EQ(ChangedOutside(scene), 0);
  }
}

TEST(Diffuse, PatternOneSweepsLeftwardsFirst) {
  for (int pattern = 0; pattern < 2; ++pattern) {
    Recording rec;
    DiffuseScene scene(100, 80, {0, 0, 100, 80});
    scene.params.wait = 91;  // 10 pixels per frame
    scene.params.effectParams[DIFFUSE_PATTERN_WORD] = pattern;
    rec.onFrame = [&](int frame) {
      if (frame == 2) PostMessageA(scene.window, WM_KEYDOWN, 0, 0);
    };
    ASSERT_EQ(DiffuseRun(&scene.params), 0);
    EXPECT_EQ(rec.frames, 3);
    long left = 0, right = 0;
    for (int y = 0; y < 80; ++y)
      for (int x = 0; x < 100; ++x)
        if (scene.screen.At(x, y) != SCREEN) (x < 50 ? left : right) += 1;
    // Three frames reach 20 pixels along the top edge from the centre.
    if (pattern) {
      EXPECT_GT(left, 100);
      EXPECT_EQ(right, 0);
    } else {
      EXPECT_GT(right, 100);
      EXPECT_LE(left, 0);
    }
  }
}

TEST(Diffuse, KeyStopsAfterTheFirstFrameAndIsConsumed) {
  Recording rec;
  DiffuseScene scene(64, 48, {0, 0, 64, 48});
  PostMessageA(scene.window, WM_KEYDOWN, 'A', 0);
  EXPECT_EQ(DiffuseRun(&scene.params), 0);
  EXPECT_EQ(scene.params.result, 0);
  EXPECT_EQ(rec.frames, 1);
  EXPECT_GT(OldPixels(scene), 64 * 48 / 2);
  MSG msg;
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE));
}

TEST(Diffuse, MouseMoveStopsOnlyWhenAskedAndTheWheelNever) {
  Recording rec;
  DiffuseScene scene(64, 48, {0, 0, 64, 48});
  PostMessageA(scene.window, WM_MOUSEMOVE, 0, 0);
  EXPECT_EQ(DiffuseRun(&scene.params), 1) << "without mouseMoveAborts a move does not interrupt";
  Recording::Drain();
  scene.params.mouseMoveAborts = 1;
  PostMessageA(scene.window, 0x20A, 0, 0);  // WM_MOUSEWHEEL
  EXPECT_EQ(DiffuseRun(&scene.params), 1) << "the wheel lies outside this plug-in's mouse range";
  MSG msg;
  EXPECT_TRUE(PeekMessageA(&msg, nullptr, 0x20A, 0x20A, PM_REMOVE)) << "and stays queued";
  PostMessageA(scene.window, WM_MOUSEMOVE, 0, 0);
  EXPECT_EQ(DiffuseRun(&scene.params), 0);
  scene.params.mouseMoveAborts = 0;
  PostMessageA(scene.window, WM_MBUTTONDBLCLK, 0, 0);
  EXPECT_EQ(DiffuseRun(&scene.params), 0) << "a click interrupts in every mode";
  scene.params.abortable = 0;
  PostMessageA(scene.window, WM_KEYDOWN, 'A', 0);
  EXPECT_EQ(DiffuseRun(&scene.params), 1);
  Recording::Drain();
}

TEST(Diffuse, RefusesOnlyWithoutAPicture) {
  Recording rec;
  DiffuseScene scene(32, 32, {0, 0, 32, 32});
  scene.params.image = nullptr;
  EXPECT_EQ(DiffuseRun(&scene.params), 0);
  EXPECT_EQ(scene.params.result, 77);
  scene.params.image = scene.image;
  scene.params.imageSize = nullptr;  // not read: the picture's own size counts
  EXPECT_EQ(DiffuseRun(&scene.params), 1);
  EXPECT_EQ(OldPixels(scene), 0);
}

TEST(DiffuseLibrary, ExportsNameDefaultsAndSweeps) {
  PluginLibrary lib("diffuse.tns");
  ASSERT_NE(lib.module, nullptr);
  char name[512];
  lib.Get<TransitionNamePtr>("GetTransisionName")(name);
  EXPECT_STREQ(name, "\x83\x4e\x83\x8d\x83\x62\x83\x4e");  // クロック
  TransitionParams defaults;
  memset(&defaults, 0xAB, sizeof defaults);
  lib.Get<TransitionFunctionPtr>("GetTransisionDefaultParams")(&defaults);
  EXPECT_EQ(defaults.wait, 50);
  for (int i = 0; i < EFFECT_PARAM_WORDS; ++i) EXPECT_EQ(defaults.effectParams[i], 0) << i;
  EXPECT_EQ(defaults.result, static_cast<int32_t>(0xABABABAB));

  DiffuseScene scene(120, 90, {10, 10, 110, 80});
  EXPECT_EQ(lib.Get<TransitionFunctionPtr>("TransisionFunction")(&scene.params), 1);
  EXPECT_EQ(OldPixels(scene), 0);
}

TEST(DiffuseLibrary, DialogStoresWaitWithoutOffsetAndThePattern) {
  PluginLibrary lib("diffuse.tns");
  TransitionParams params;
  memset(&params, 0, sizeof params);
  params.wait = 50;
  params.effectParams[DIFFUSE_PATTERN_WORD] = 1;
  ParamsDialogScript script;
  script.watch = {1010, 1011};
  script.pageRights = 1;
  script.clicks = {1010};
  EXPECT_EQ(RunParamsDialogScript(lib, &params, &script), 1);
  ASSERT_TRUE(script.opened);
  EXPECT_EQ(script.position, 50) << "the slider shows wait itself";
  EXPECT_EQ(script.caption, WaitCaption(50));
  ASSERT_EQ(script.checked.size(), 1u);
  EXPECT_EQ(script.checked[0], 1011);
  EXPECT_EQ(params.wait, 60);
  EXPECT_EQ(params.effectParams[DIFFUSE_PATTERN_WORD], 0);

  ParamsDialogScript none;
  none.uncheck = {1010, 1011};
  EXPECT_EQ(RunParamsDialogScript(lib, &params, &none), 1);
  EXPECT_EQ(params.effectParams[DIFFUSE_PATTERN_WORD], 8) << "no button selected";
  EXPECT_EQ(params.wait, 60);

  params.effectParams[DIFFUSE_PATTERN_WORD] = 5;  // no such button
  ParamsDialogScript odd;
  odd.watch = {1010, 1011};
  EXPECT_EQ(RunParamsDialogScript(lib, &params, &odd), 1);
  EXPECT_TRUE(odd.checked.empty());
  EXPECT_EQ(params.effectParams[DIFFUSE_PATTERN_WORD], 8);

  params.effectParams[DIFFUSE_PATTERN_WORD] = 0;
  ParamsDialogScript cancel;
  cancel.pageRights = 2;
  cancel.clicks = {1011};
  cancel.cancel = true;
  EXPECT_EQ(RunParamsDialogScript(lib, &params, &cancel), 0);
  EXPECT_EQ(params.wait, 60);
  EXPECT_EQ(params.effectParams[DIFFUSE_PATTERN_WORD], 0);
}
