// QUADRIL drawn into memory DCs: end states, rectangles and frame counts,
// the cross-fade arithmetic, overhanging rectangles, refusals, abort spacing,
// and the real library with its dialog.
#include "transitions/QUADRIL/quadril_effect.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "tests/win32/effect_random.h"
#include "tests/win32/effect_scene.h"
#include "tests/win32/plugin_library.h"

using namespace effect_test;

namespace {
void SetRect(Scene &scene, int w, int h, int wait) {
  scene.params.effectParams[0] = w;
  scene.params.effectParams[1] = h;
  scene.params.wait = wait;
}
// The final copies onto the window (the blended frames are DIB draws).
std::vector<BlitCall> FinalCopies(const Recording &rec, HDC dc) {
  std::vector<BlitCall> out;
  for (const BlitCall &b : rec.blits)
    if (b.dest == dc) out.push_back(b);
  return out;
}
}  // namespace

TEST(Quadril, EndsWithThePictureAndLeavesTheRest) {
  Recording rec;
  Scene scene(160, 120, {30, 20, 130, 80}, 0);
  SetRect(scene, 40, 30, 0);
  EXPECT_EQ(QuadrilRun(&scene.params), 1);
  EXPECT_EQ(scene.params.result, 1);
  scene.ExpectFinalState(static_cast<COLORREF>(-1));
}

TEST(Quadril, WholeWindowEndsOnBackColorOutsideDestRect) {
  Recording rec;
  Scene scene(120, 90, {20, 15, 90, 70}, 1);
  SetRect(scene, 32, 32, 0);
  EXPECT_EQ(QuadrilRun(&scene.params), 1);
  scene.ExpectFinalState(BACK);
}

TEST(Quadril, EveryRectangleOnceWithItsFrames) {
  for (int wait : {0, 2}) {
    Recording rec;
    Scene scene(200, 100, {10, 10, 110, 70}, 0);  // 100 x 60
    SetRect(scene, 40, 30, wait);
    ASSERT_EQ(QuadrilRun(&scene.params), 1);
    // 3 x 2 rectangles, each (wait + 1) x 10 frames: the blends and the final copy.
    const int perRect = (wait + 1) * 10;
    EXPECT_EQ(rec.frames, 6 * perRect);
    std::vector<BlitCall> copies = FinalCopies(rec, scene.screen.dc);
    ASSERT_EQ(copies.size(), 6u);
    std::set<std::pair<int, int>> seen;
    for (const BlitCall &b : copies) {
      EXPECT_EQ(b.w, 40);
      EXPECT_EQ(b.h, 30);
      EXPECT_EQ(b.x - 10, b.sx) << "screen position = area corner + target position";
      EXPECT_EQ(b.y - 10, b.sy);
      EXPECT_EQ(b.sx % 40, 0);
      EXPECT_EQ(b.sy % 30, 0);
      seen.insert({b.sx, b.sy});
    }
    EXPECT_EQ(seen.size(), 6u) << "every rectangle exactly once";
  }
}

TEST(Quadril, RectanglesComeInTheOrderShuffledFromTheTickCount) {
  for (uint32_t seed : {99u, 0xFFFFFFF0u}) {
    Recording rec;
    rec.clock = seed;
    Scene scene(200, 100, {10, 10, 110, 70}, 0);  // 100 x 60: 5 x 4 rectangles of 20 x 15
    SetRect(scene, 20, 15, 0);
    ASSERT_EQ(QuadrilRun(&scene.params), 1);
    EXPECT_EQ(rec.clockReads, 1) << "one seed per call";
    const std::vector<int> order = ExpectedCellOrder(20, seed);
    const std::vector<BlitCall> copies = FinalCopies(rec, scene.screen.dc);
    ASSERT_EQ(copies.size(), 20u);
    for (size_t i = 0; i < copies.size(); ++i) {
      EXPECT_EQ(copies[i].sx, (order[i] % 5) * 20) << "rectangle " << i << " seed " << seed;
      EXPECT_EQ(copies[i].sy, (order[i] / 5) * 15) << "rectangle " << i << " seed " << seed;
    }
    scene.ExpectFinalState(static_cast<COLORREF>(-1));
  }
  EXPECT_NE(ExpectedCellOrder(20, 99u), ExpectedCellOrder(20, 0xFFFFFFF0u));
}

TEST(Quadril, CrossFadeFramesBlendOldIntoNew) {
  Recording rec;
  // One rectangle covering the area: ten frames, nine blends at 10 % steps.
  Scene scene(64, 48, {8, 4, 40, 28}, 0);
  SetRect(scene, 32, 24, 0);
  const int px[] = {8, 20, 39}, py[] = {4, 17, 27};
  std::vector<std::vector<COLORREF>> seen;
  rec.onFrame = [&](int) {
    std::vector<COLORREF> row;
    for (int i = 0; i < 3; ++i) row.push_back(scene.screen.At(px[i], py[i]));
    seen.push_back(row);
  };
  ASSERT_EQ(QuadrilRun(&scene.params), 1);
  ASSERT_EQ(seen.size(), 10u);
  for (int f = 1; f <= 9; ++f) {
    const int opacity = 100 * f / 10;
    for (int i = 0; i < 3; ++i) {
      COLORREF o = OldScreen(px[i], py[i]), n = NewPicture(px[i] - 8, py[i] - 4);
      auto mix = [&](int a, int b) { return (opacity * b + (100 - opacity) * a) / 100; };
      COLORREF want = RGB(mix(GetRValue(o), GetRValue(n)), mix(GetGValue(o), GetGValue(n)),
                          mix(GetBValue(o), GetBValue(n)));
      EXPECT_EQ(seen[f - 1][i], want) << "frame " << f << " point " << i;
    }
  }
  for (int i = 0; i < 3; ++i) EXPECT_EQ(seen[9][i], NewPicture(px[i] - 8, py[i] - 4));
}

TEST(Quadril, WiderRectangleThanTheAreaOverhangsWithTheScreensOwnPixels) {
  Recording rec;
  Scene scene(240, 100, {20, 10, 120, 90}, 0);  // area 100 x 80
  SetRect(scene, 150, 40, 0);
  ASSERT_EQ(QuadrilRun(&scene.params), 1);
  std::vector<BlitCall> copies = FinalCopies(rec, scene.screen.dc);
  ASSERT_EQ(copies.size(), 2u) << "one column, two rows";
  for (const BlitCall &b : copies) {
    EXPECT_EQ(b.x, 20);
    EXPECT_EQ(b.w, 150);
  }
  EXPECT_EQ(rec.frames, 20);
  // The overhang (x 120..169) was redrawn with what the screen showed there.
  scene.ExpectFinalState(static_cast<COLORREF>(-1));
}

TEST(Quadril, RefusalsLeaveResultUntouched) {
  Recording rec;
  Scene scene(40, 40, {0, 0, 40, 40}, 0);
  const int32_t sizes[][2] = {{0, 16}, {16, 0}, {-16, 16}, {16, -3}};
  for (const auto &s : sizes) {
    SetRect(scene, s[0], s[1], 0);
    EXPECT_EQ(QuadrilRun(&scene.params), 0) << s[0] << "x" << s[1];
    EXPECT_EQ(scene.params.result, 77);
  }
  SetRect(scene, 16, 16, 0);
  scene.params.image = nullptr;
  EXPECT_EQ(QuadrilRun(&scene.params), 0);
  EXPECT_EQ(scene.params.result, 77);
  EXPECT_TRUE(rec.blits.empty());
  EXPECT_EQ(scene.screen.At(5, 5), OldScreen(5, 5));
}

TEST(Quadril, UntrustedValuesStayBounded) {
  EXPECT_EQ(QuadrilFrames(0), 10);
  EXPECT_EQ(QuadrilFrames(101), 1020);
  EXPECT_EQ(QuadrilFrames(-5), 10);
  EXPECT_EQ(QuadrilFrames(2000000000), 1020);
  Recording rec;
  Scene scene(48, 32, {0, 0, 48, 32}, 0);
  // Two sides whose 32-bit product wraps; the rectangle is held to the window.
  SetRect(scene, 65536, 65536, -7);
  ASSERT_EQ(QuadrilRun(&scene.params), 1);
  std::vector<BlitCall> copies = FinalCopies(rec, scene.screen.dc);
  ASSERT_EQ(copies.size(), 1u);
  EXPECT_EQ(copies[0].w, 48);
  EXPECT_EQ(copies[0].h, 32);
  EXPECT_EQ(rec.frames, 10);
  scene.ExpectFinalState(static_cast<COLORREF>(-1));
}

TEST(Quadril, KeyPressStopsAfterTheFirstRectangle) {
  Recording rec;
  Scene scene(80, 60, {0, 0, 80, 60}, 0);
  SetRect(scene, 20, 20, 0);  // 12 rectangles: polled after each
  PostMessageA(scene.window, WM_KEYDOWN, 'A', 0);
  EXPECT_EQ(QuadrilRun(&scene.params), 0);
  EXPECT_EQ(scene.params.result, 0);
  EXPECT_EQ(FinalCopies(rec, scene.screen.dc).size(), 1u);
  EXPECT_EQ(rec.frames, 10) << "the rectangle is finished before the poll";
  EXPECT_FALSE(InputQueued()) << "the key was consumed";
}

TEST(Quadril, PollingEveryKthRectangle) {
  Recording rec;
  // 8 x 5 = 40 rectangles: k = 2, polled after rectangles 0, 2, 4 ...
  Scene scene(40, 25, {0, 0, 40, 25}, 0);
  SetRect(scene, 5, 5, 0);
  rec.onFrame = [&](int frame) {
    if (frame == 10) PostMessageA(scene.window, WM_KEYDOWN, 'A', 0);  // during rectangle 1
  };
  EXPECT_EQ(QuadrilRun(&scene.params), 0);
  EXPECT_EQ(FinalCopies(rec, scene.screen.dc).size(), 3u) << "not polled after rectangle 1, stopped after 2";
}

TEST(Quadril, MouseMovesOnlyWhenAskedAndNotWhenNotAbortable) {
  Recording rec;
  Scene scene(40, 40, {0, 0, 40, 40}, 0);
  SetRect(scene, 20, 20, 0);
  PostMessageA(scene.window, WM_MOUSEMOVE, 0, 0);
  EXPECT_EQ(QuadrilRun(&scene.params), 1);
  scene.params.mouseMoveAborts = 1;
  PostMessageA(scene.window, WM_MOUSEMOVE, 0, 0);
  EXPECT_EQ(QuadrilRun(&scene.params), 0);
  scene.params.abortable = 0;
  PostMessageA(scene.window, WM_KEYDOWN, 'A', 0);
  EXPECT_EQ(QuadrilRun(&scene.params), 1);
  EXPECT_TRUE(InputQueued()) << "not abortable: the key stays queued";
}

TEST(QuadrilLibrary, ExportsNameDefaultsAndDrawsTheFinalPicture) {
  PluginLibrary lib("QUADRIL.tns");
  ASSERT_NE(lib.module, nullptr);
  EXPECT_EQ(lib.Name(), "\x83\x57\x83\x8f\x83\x8a");  // ジワリ
  TransitionParams defaults;
  memset(&defaults, 0xAB, sizeof defaults);
  lib.Get("GetTransisionDefaultParams")(&defaults);
  EXPECT_EQ(defaults.wait, 10);
  EXPECT_EQ(defaults.effectParams[0], 128);
  EXPECT_EQ(defaults.effectParams[1], 128);
  for (int i = 2; i < EFFECT_PARAM_WORDS; ++i) EXPECT_EQ(defaults.effectParams[i], 0);
  EXPECT_EQ(defaults.result, static_cast<int32_t>(0xABABABAB));
  EXPECT_EQ(defaults.abortable, static_cast<int32_t>(0xABABABAB));

  Scene scene(100, 80, {10, 10, 90, 70}, 1);
  SetRect(scene, 30, 30, 0);
  EXPECT_EQ(lib.Get("TransisionFunction")(&scene.params), 1);
  scene.ExpectFinalState(BACK);
}

namespace {
std::string SizeLabel(int w, int h) {
  // "矩形の大きさ (横：1～%d、縦：1～%d)" in code page 932.
  return std::string("\x8b\xe9\x8c\x60\x82\xcc\x91\xe5\x82\xab\x82\xb3 (\x89\xa1\x81\x46" "1\x81\x60") +
         std::to_string(w) + "\x81\x41\x8f\x63\x81\x46" "1\x81\x60" + std::to_string(h) + ")";
}
}  // namespace

TEST(QuadrilLibrary, DialogCutsStoredSizesToTheScreenEvenWhenCancelled) {
  PluginLibrary lib("QUADRIL.tns");
  const int W = GetSystemMetrics(SM_CXSCREEN), H = GetSystemMetrics(SM_CYSCREEN);
  TransitionParams params;
  memset(&params, 0, sizeof params);
  params.wait = 21;
  params.effectParams[0] = W + 500;
  params.effectParams[1] = H + 1;
  std::string width, height, label, waitLabel;
  int result = RunDialog(lib, &params, [&](HWND dialog) {
    width = ItemText(dialog, 1002);
    height = ItemText(dialog, 1003);
    label = ItemText(dialog, 1001);
    waitLabel = ItemText(dialog, 1004);
    SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(width, std::to_string(W));
  EXPECT_EQ(height, std::to_string(H));
  EXPECT_EQ(label, SizeLabel(W, H));
  EXPECT_EQ(waitLabel, WaitCaption(20)) << "the speed label lives in 1004";
  EXPECT_EQ(params.effectParams[0], W) << "written into the block on opening";
  EXPECT_EQ(params.effectParams[1], H);
  EXPECT_EQ(params.wait, 21);
}

TEST(QuadrilLibrary, DialogStaysOpenUntilBothValuesAreAccepted) {
  PluginLibrary lib("QUADRIL.tns");
  const int W = GetSystemMetrics(SM_CXSCREEN), H = GetSystemMetrics(SM_CYSCREEN);
  TransitionParams params;
  memset(&params, 0, sizeof params);
  params.wait = 1;
  params.effectParams[0] = 64;
  params.effectParams[1] = 48;
  std::vector<std::string> shown;
  std::vector<bool> open;
  int result = RunDialog(lib, &params, [&](HWND dialog) {
    PageRight(dialog, 3);
    auto attempt = [&](const char *w, const char *h) {
      if (w) SetDlgItemTextA(dialog, 1002, w);
      if (h) SetDlgItemTextA(dialog, 1003, h);
      bool stays = PressOkStaysOpen(dialog);
      open.push_back(stays);
      if (stays) shown.push_back(ItemText(dialog, 1002) + "x" + ItemText(dialog, 1003));
    };
    attempt("0", "30");      // width 0 becomes 1, height kept
    attempt("99999", "");    // too wide becomes W, empty height becomes 1
    attempt("25", "4294967295");  // a negative signed value becomes 1
    attempt(nullptr, nullptr);    // both now accepted unchanged
  });
  EXPECT_EQ(result, 1);
  ASSERT_EQ(open.size(), 4u);
  EXPECT_TRUE(open[0]);
  EXPECT_TRUE(open[1]);
  EXPECT_TRUE(open[2]);
  EXPECT_FALSE(open[3]);
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[0], "1x30");
  EXPECT_EQ(shown[1], std::to_string(W) + "x1");
  EXPECT_EQ(shown[2], "25x1");
  EXPECT_EQ(params.effectParams[0], 25);
  EXPECT_EQ(params.effectParams[1], 1);
  EXPECT_EQ(params.wait, 31) << "position 0 + 3 pages, stored as position + 1";
  (void)H;
}

TEST(QuadrilLibrary, AllowedSides) {
  EXPECT_EQ(QuadrilAllowedSide(0, 800), 1);
  EXPECT_EQ(QuadrilAllowedSide(1, 800), 1);
  EXPECT_EQ(QuadrilAllowedSide(800, 800), 800);
  EXPECT_EQ(QuadrilAllowedSide(801, 800), 800);
  EXPECT_EQ(QuadrilAllowedSide(0x80000000u, 800), 1);
}
