// VELLUX drawn into memory DCs: the bands of each pass, clipping at the
// area's edge, the sleeps, the end state of columns and rows, refusals,
// interruption, and the real library with its dialog.
#include "transitions/VELLUX/vellux_effect.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "tests/win32/effect_scene.h"
#include "tests/win32/plugin_library.h"

using effect_test::BlitCall;
using effect_test::Recording;
using effect_test::Scene;

namespace {
const COLORREF SCREEN = RGB(10, 20, 30);
const COLORREF BACK = RGB(200, 100, 50);

COLORREF Screen(int, int) { return SCREEN; }
COLORREF Picture(int x, int y) { return RGB((x * 3) & 0xFF, (y * 11) & 0xFF, 120); }
const effect_test::SceneLook LOOK = {Screen, Picture, BACK};

// One effect call on a plain screen, with wait 1 and the direction in word 0.
struct VelluxScene : Scene {
  VelluxScene(int w, int h, RECT destRect, int direction, int whole = 0) : Scene(w, h, destRect, whole, LOOK) {
    params.wait = 1;
    params.effectParams[0] = direction;
  }
};

// The new state at (x, y) of the client: the picture inside dest, outside
// backColor with wholeWindow and the old screen without.
COLORREF Target(const Scene &scene, int x, int y) {
  if (scene.InDest(x, y)) return Picture(x - scene.dest.left, y - scene.dest.top);
  return scene.params.wholeWindow == 1 ? BACK : SCREEN;
}
}  // namespace

TEST(Vellux, ColumnsOfA700PixelArea) {
  Recording rec;
  VelluxScene scene(800, 60, {50, 10, 750, 50}, 1);
  ASSERT_EQ(VelluxRun(&scene.params), 1);
  EXPECT_EQ(scene.params.result, 1);
  const std::vector<BlitCall> b = rec.Stretches();
  // Span 1024: the pass of four bands draws 0, 256 and 512 only; 768 is outside.
  ASSERT_EQ(b.size(), 3u + 6 + 11 + 22 + 44 + 88 + 175 + 350);
  const int xs[] = {0, 256, 512}, ws[] = {256, 256, 188};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(b[i].x, 50 + xs[i]);
    EXPECT_EQ(b[i].w, ws[i]);
    EXPECT_EQ(b[i].y, 10);
    EXPECT_EQ(b[i].h, 40);
    EXPECT_EQ(b[i].sx, xs[i]) << "one target column per band";
    EXPECT_EQ(b[i].sw, 1);
    EXPECT_EQ(b[i].sy, 0);
    EXPECT_EQ(b[i].sh, 40);
  }
  EXPECT_EQ(b[3].x, 50);
  EXPECT_EQ(b[3].w, 128) << "the next pass halves the bands";
  // Every band of every pass stays inside the area.
  for (const BlitCall &band : b) {
    EXPECT_GE(band.x, 50);
    EXPECT_LE(band.x + band.w, 750);
  }
  // Sleeps after band 0, 10, 20, ...: one per ten bands, of wait milliseconds.
  EXPECT_EQ(rec.sleeps.size(), (b.size() + 9) / 10);
  for (DWORD s : rec.sleeps) EXPECT_EQ(s, 1u);
  EXPECT_EQ(rec.frames, static_cast<int>(b.size()));
  // The last pass repeats every even column once more: no 1:1 picture.
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 800; ++x) {
      bool in = x >= 50 && x < 750 && y >= 10 && y < 50;
      COLORREF want = in ? Picture((x - 50) & ~1, y - 10) : SCREEN;
      ASSERT_EQ(scene.screen.At(x, y), want) << x << "," << y;
    }
}

TEST(Vellux, RowsEndWithEveryEvenRowDoubled) {
  Recording rec;
  VelluxScene scene(40, 100, {4, 2, 36, 92}, 0);
  ASSERT_EQ(VelluxRun(&scene.params), 1);
  // Span 128 over 90 rows: bands 32, 16, 8, 4, 2 high.
  const std::vector<BlitCall> bands = rec.Stretches();
  ASSERT_EQ(bands.size(), 3u + 6 + 12 + 23 + 45);
  const BlitCall &first = bands[2];
  EXPECT_EQ(first.y, 2 + 64);
  EXPECT_EQ(first.h, 26) << "the band at 64 is clipped to the area's bottom";
  EXPECT_EQ(first.sh, 1);
  EXPECT_EQ(first.w, 32);
  for (int y = 2; y < 92; ++y)
    for (int x = 4; x < 36; ++x) ASSERT_EQ(scene.screen.At(x, y), Picture(x - 4, (y - 2) & ~1)) << x << "," << y;
}

TEST(Vellux, WholeWindowFillsTheClientWithBackColorAroundThePicture) {
  Recording rec;
  VelluxScene scene(64, 40, {10, 6, 50, 30}, 1, 1);
  ASSERT_EQ(VelluxRun(&scene.params), 1);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 64; ++x) ASSERT_EQ(scene.screen.At(x, y), Target(scene, x & ~1, y)) << x << "," << y;
}

TEST(Vellux, SpansOfFourOrLessAndEmptyClientsDrawNoBand) {
  {
    Recording rec;
    VelluxScene scene(20, 20, {2, 2, 6, 18}, 1);  // 4 columns
    EXPECT_EQ(VelluxRun(&scene.params), 1);
    EXPECT_EQ(scene.params.result, 1);
    EXPECT_TRUE(rec.Stretches().empty());
    EXPECT_EQ(scene.screen.At(3, 3), SCREEN);
  }
  {
    Recording rec;
    VelluxScene scene(20, 20, {2, 2, 18, 5}, 0);  // 3 rows
    EXPECT_EQ(VelluxRun(&scene.params), 1);
    EXPECT_TRUE(rec.Stretches().empty());
  }
  {
    // A window whose client has no width: span 0, nothing drawn, result 1.
    Recording rec;
    VelluxScene scene(32, 32, {0, 0, 32, 32}, 1);
    SetWindowPos(scene.window, nullptr, 0, 0, 0, 32, SWP_NOMOVE | SWP_NOZORDER);
    RECT client;
    GetClientRect(scene.window, &client);
    ASSERT_EQ(client.right, 0);
    EXPECT_EQ(VelluxRun(&scene.params), 1);
    EXPECT_TRUE(rec.Stretches().empty());
    // The same window draws rows: its client has a height.
    scene.params.effectParams[0] = 0;
    EXPECT_EQ(VelluxRun(&scene.params), 1);
    EXPECT_FALSE(rec.Stretches().empty());
  }
}

TEST(Vellux, RefusesOnlyWithoutAPicture) {
  Recording rec;
  VelluxScene scene(32, 32, {0, 0, 32, 32}, 1);
  scene.params.image = nullptr;
  EXPECT_EQ(VelluxRun(&scene.params), 0);
  EXPECT_EQ(scene.params.result, 77) << "a refusal does not touch result";
  scene.params.image = scene.image;
  scene.params.effectParams[0] = -3;  // any non-zero word draws columns
  EXPECT_EQ(VelluxRun(&scene.params), 1);
  const std::vector<BlitCall> bands = rec.Stretches();
  ASSERT_FALSE(bands.empty());
  EXPECT_EQ(bands[0].sw, 1);
  EXPECT_EQ(bands[0].w, 8);
}

TEST(Vellux, UntrustedWaitIsClamped) {
  Recording rec;
  VelluxScene scene(64, 16, {0, 0, 64, 16}, 1);
  scene.params.wait = -50;
  ASSERT_EQ(VelluxRun(&scene.params), 1);
  ASSERT_FALSE(rec.sleeps.empty());
  for (DWORD s : rec.sleeps) EXPECT_EQ(s, 0u);
  rec.sleeps.clear();
  scene.params.wait = 2000000000;
  ASSERT_EQ(VelluxRun(&scene.params), 1);
  for (DWORD s : rec.sleeps) EXPECT_EQ(s, 101u);
}

TEST(Vellux, AKeyStopsAfterTheBandBeforeItAndIsConsumed) {
  Recording rec;
  VelluxScene scene(128, 16, {0, 0, 128, 16}, 1);
  rec.onFrame = [&](int frame) {
    if (frame == 5) PostMessageA(scene.window, WM_KEYDOWN, 0, 0);
  };
  EXPECT_EQ(VelluxRun(&scene.params), 0);
  EXPECT_EQ(scene.params.result, 0);
  EXPECT_EQ(rec.Stretches().size(), 6u) << "bands 0..5 drawn, none after the key";
  MSG msg;
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE));
  // The screen shows the six bands: passes of 32 (4 bands) and 16 (2 of 8).
  EXPECT_EQ(scene.screen.At(100, 8), Picture(96, 8));
  EXPECT_EQ(scene.screen.At(20, 8), Picture(16, 8));
  EXPECT_EQ(scene.screen.At(56, 8), Picture(32, 8)) << "the band at 48 of the second pass is not drawn";
}

TEST(Vellux, MouseMoveStopsOnlyWhenAskedAndAClickAlways) {
  Recording rec;
  VelluxScene scene(64, 16, {0, 0, 64, 16}, 1);
  PostMessageA(scene.window, WM_MOUSEMOVE, 0, 0);
  EXPECT_EQ(VelluxRun(&scene.params), 1);
  scene.params.mouseMoveAborts = 1;
  PostMessageA(scene.window, WM_MOUSEMOVE, 0, 0);
  rec.blits.clear();
  EXPECT_EQ(VelluxRun(&scene.params), 0);
  EXPECT_EQ(rec.Stretches().size(), 1u);
  scene.params.mouseMoveAborts = 0;
  PostMessageA(scene.window, WM_RBUTTONDOWN, 0, 0);
  EXPECT_EQ(VelluxRun(&scene.params), 0);
  scene.params.abortable = 0;
  PostMessageA(scene.window, WM_KEYDOWN, 'A', 0);
  EXPECT_EQ(VelluxRun(&scene.params), 1) << "not abortable: runs to the end";
  Recording::Drain();
}

TEST(VelluxLibrary, ExportsNameDefaultsAndBands) {
  PluginLibrary lib("VELLUX.tns");
  ASSERT_NE(lib.module, nullptr);
  char name[512];
  lib.Get<TransitionNamePtr>("GetTransisionName")(name);
  EXPECT_STREQ(name, "\x8f\x99\x81\x58\x82\xc9");  // 徐々に
  TransitionParams defaults;
  memset(&defaults, 0xAB, sizeof defaults);
  lib.Get<TransitionFunctionPtr>("GetTransisionDefaultParams")(&defaults);
  EXPECT_EQ(defaults.wait, 1);
  EXPECT_EQ(defaults.effectParams[0], 1);
  for (int i = 1; i < EFFECT_PARAM_WORDS; ++i) EXPECT_EQ(defaults.effectParams[i], 0);
  EXPECT_EQ(defaults.result, static_cast<int32_t>(0xABABABAB));

  VelluxScene scene(48, 24, {8, 4, 40, 20}, 1);
  scene.params.abortable = 0;
  scene.params.wait = 0;
  EXPECT_EQ(lib.Get<TransitionFunctionPtr>("TransisionFunction")(&scene.params), 1);
  for (int x = 8; x < 40; ++x) ASSERT_EQ(scene.screen.At(x, 10), Picture((x - 8) & ~1, 6)) << x;
}

TEST(VelluxLibrary, DialogShowsAndStoresWaitAndDirection) {
  PluginLibrary lib("VELLUX.tns");
  TransitionParams params;
  memset(&params, 0, sizeof params);
  params.wait = 21;
  params.effectParams[0] = 1;
  ParamsDialogScript script;
  script.watch = {IDC_VELLUX_VERTICAL, IDC_VELLUX_HORIZONTAL};
  script.pageRights = 1;
  script.clicks = {IDC_VELLUX_HORIZONTAL};
  EXPECT_EQ(RunParamsDialogScript(lib, &params, &script), 1);
  ASSERT_TRUE(script.opened);
  EXPECT_EQ(script.position, 20) << "position = wait - 1";
  EXPECT_EQ(script.caption, WaitCaption(20));
  ASSERT_EQ(script.checked.size(), 1u);
  EXPECT_EQ(script.checked[0], IDC_VELLUX_VERTICAL);
  EXPECT_EQ(params.wait, 31) << "position 30 stored as 31";
  EXPECT_EQ(params.effectParams[0], 0) << "横 selected";

  ParamsDialogScript again;
  again.watch = {IDC_VELLUX_VERTICAL, IDC_VELLUX_HORIZONTAL};
  again.clicks = {IDC_VELLUX_VERTICAL};
  EXPECT_EQ(RunParamsDialogScript(lib, &params, &again), 1);
  ASSERT_EQ(again.checked.size(), 1u);
  EXPECT_EQ(again.checked[0], IDC_VELLUX_HORIZONTAL);
  EXPECT_EQ(params.effectParams[0], 1);
  EXPECT_EQ(params.wait, 31);

  params.effectParams[0] = 7;
  ParamsDialogScript cancel;
  cancel.clicks = {IDC_VELLUX_HORIZONTAL};
  cancel.pageRights = 3;
  cancel.cancel = true;
  EXPECT_EQ(RunParamsDialogScript(lib, &params, &cancel), 0);
  EXPECT_EQ(params.wait, 31);
  EXPECT_EQ(params.effectParams[0], 7);
}
