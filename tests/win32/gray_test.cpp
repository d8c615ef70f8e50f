// gray drawn into memory DCs: both halves frame by frame against the pull
// formula, the last frame, the margins (painted only at the end, only with
// wholeWindow), wait 0 and 1, interruption, and the real library and dialog.
#include "transitions/gray/gray_effect.h"

#include <gtest/gtest.h>

#include "tests/win32/effect_scene.h"
#include "tests/win32/plugin_library.h"

using namespace effect_test;

namespace {
int PullChannel(int v, int percent) {
  int m = percent * 128 / 100;
  if (v > 128) return v - m < 128 ? 128 : v - m;
  return v + m > 128 ? 128 : v + m;
}
COLORREF Pulled(COLORREF c, int percent) {
  return RGB(PullChannel(GetRValue(c), percent), PullChannel(GetGValue(c), percent),
             PullChannel(GetBValue(c), percent));
}
const COLORREF GREY = RGB(128, 128, 128);
}  // namespace

TEST(Gray, BothHalvesFrameByFrameAndTheLastFrame) {
  Recording rec;
  Scene scene(100, 80, {20, 10, 70, 60}, 0);
  scene.params.wait = 4;
  const int px[] = {20, 45, 69}, py[] = {10, 33, 59};
  std::vector<std::vector<COLORREF>> seen;
  rec.onFrame = [&](int) {
    std::vector<COLORREF> row;
    for (int i = 0; i < 3; ++i) row.push_back(scene.screen.At(px[i], py[i]));
    row.push_back(scene.screen.At(5, 5));  // outside the area
    seen.push_back(row);
  };
  ASSERT_EQ(GrayRun(&scene.params), 1);
  EXPECT_EQ(scene.params.result, 1);
  ASSERT_EQ(seen.size(), 8u) << "wait frames in each half";
  for (int i = 0; i < 4; ++i)
    for (int k = 0; k < 3; ++k) {
      EXPECT_EQ(seen[i][k], Pulled(OldScreen(px[k], py[k]), 100 * i / 4)) << "first half frame " << i;
      EXPECT_EQ(seen[4 + i][k], Pulled(NewPicture(px[k] - 20, py[k] - 10), 100 * (4 - i) / 4))
          << "second half frame " << i;
    }
  for (int k = 0; k < 3; ++k) EXPECT_EQ(seen[4][k], GREY) << "the second half starts flat grey";
  for (const auto &row : seen) EXPECT_EQ(row[3], OldScreen(5, 5));
  // The window ends on the picture pulled by 100 div wait = 25 percent.
  for (int y = 0; y < 80; ++y)
    for (int x = 0; x < 100; ++x) {
      COLORREF want = scene.InDest(x, y) ? Pulled(NewPicture(x - 20, y - 10), 25) : OldScreen(x, y);
      ASSERT_EQ(scene.screen.At(x, y), want) << x << "," << y;
    }
}

TEST(Gray, WholeWindowGreysABackColorFieldAndPaintsTheMarginsAtTheEnd) {
  Recording rec;
  Scene scene(90, 70, {15, 20, 60, 50}, 1);
  scene.params.wait = 3;
  std::vector<COLORREF> inside, margin;
  rec.onFrame = [&](int) {
    inside.push_back(scene.screen.At(30, 30));
    margin.push_back(scene.screen.At(80, 5));
  };
  ASSERT_EQ(GrayRun(&scene.params), 1);
  ASSERT_EQ(inside.size(), 6u);
  EXPECT_EQ(inside[0], BACK) << "the old content is a plain backColor field";
  EXPECT_EQ(inside[1], Pulled(BACK, 33));
  EXPECT_EQ(inside[2], Pulled(BACK, 66));
  EXPECT_EQ(inside[3], GREY);
  for (COLORREF c : margin) EXPECT_EQ(c, OldScreen(80, 5)) << "margins untouched during the frames";
  for (int y = 0; y < 70; ++y)
    for (int x = 0; x < 90; ++x) {
      COLORREF want = scene.InDest(x, y) ? Pulled(NewPicture(x - 15, y - 20), 33) : BACK;
      ASSERT_EQ(scene.screen.At(x, y), want) << x << "," << y;
    }
}

TEST(Gray, WaitZeroDrawsNoFramesButPaintsTheMargins) {
  {
    Recording rec;
    Scene scene(60, 40, {10, 10, 30, 30}, 1);
    scene.params.wait = 0;
    EXPECT_EQ(GrayRun(&scene.params), 1);
    EXPECT_EQ(scene.params.result, 1);
    EXPECT_EQ(rec.frames, 0);
    EXPECT_EQ(scene.screen.At(20, 20), OldScreen(20, 20)) << "the area is left to the player's final draw";
    EXPECT_EQ(scene.screen.At(0, 0), BACK);
    EXPECT_EQ(scene.screen.At(59, 39), BACK);
    EXPECT_EQ(scene.screen.At(5, 20), BACK);
    EXPECT_EQ(scene.screen.At(45, 20), BACK);
    EXPECT_EQ(scene.screen.At(20, 35), BACK);
  }
  {
    Recording rec;
    Scene scene(60, 40, {10, 10, 30, 30}, 0);
    scene.params.wait = -50;  // untrusted: no frames, not a crash
    EXPECT_EQ(GrayRun(&scene.params), 1);
    EXPECT_EQ(rec.frames, 0);
    EXPECT_EQ(scene.screen.At(0, 0), OldScreen(0, 0)) << "margins only with wholeWindow";
  }
}

TEST(Gray, WaitOneShowsTheOldContentThenFlatGrey) {
  Recording rec;
  Scene scene(50, 50, {5, 5, 45, 45}, 0);
  scene.params.wait = 1;
  std::vector<COLORREF> seen;
  rec.onFrame = [&](int) { seen.push_back(scene.screen.At(25, 30)); };
  ASSERT_EQ(GrayRun(&scene.params), 1);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0], OldScreen(25, 30));
  EXPECT_EQ(seen[1], GREY);
  EXPECT_EQ(scene.screen.At(5, 5), GREY);
  EXPECT_EQ(scene.screen.At(44, 44), GREY);
}

TEST(Gray, LargeWaitIsHeldToTheDialogsRange) {
  Recording rec;
  Scene scene(12, 10, {2, 2, 10, 8}, 0);
  scene.params.wait = 2000000000;
  ASSERT_EQ(GrayRun(&scene.params), 1);
  EXPECT_EQ(rec.frames, 2 * 101);
  EXPECT_EQ(scene.screen.At(5, 5), Pulled(NewPicture(3, 3), 0)) << "100 div 101 = 0 percent";
}

TEST(Gray, KeyPressStopsAfterTheFirstFrameWithoutMargins) {
  Recording rec;
  Scene scene(60, 40, {10, 10, 30, 30}, 1);
  scene.params.wait = 5;
  PostMessageA(scene.window, WM_KEYDOWN, 'A', 0);
  EXPECT_EQ(GrayRun(&scene.params), 0);
  EXPECT_EQ(scene.params.result, 0);
  EXPECT_EQ(rec.frames, 1);
  EXPECT_EQ(scene.screen.At(0, 0), OldScreen(0, 0)) << "an interrupted run paints no margins";
  EXPECT_FALSE(InputQueued());
  // Not abortable: the key stays queued and the run completes.
  scene.params.abortable = 0;
  PostMessageA(scene.window, WM_KEYDOWN, 'A', 0);
  EXPECT_EQ(GrayRun(&scene.params), 1);
  EXPECT_EQ(rec.frames, 1 + 10);
  EXPECT_TRUE(InputQueued());
}

TEST(Gray, NullImageIsRefused) {
  Recording rec;
  Scene scene(20, 20, {0, 0, 20, 20}, 1);
  scene.params.wait = 2;
  scene.params.image = nullptr;
  EXPECT_EQ(GrayRun(&scene.params), 0);
  EXPECT_EQ(scene.params.result, 77);
  EXPECT_EQ(rec.frames, 0);
  EXPECT_EQ(scene.screen.At(0, 0), OldScreen(0, 0));
}

TEST(GrayLibrary, ExportsNameDefaultsAndRuns) {
  PluginLibrary lib("gray.tns");
  ASSERT_NE(lib.module, nullptr);
  EXPECT_EQ(lib.Name(), "\x83\x4f\x83\x8c\x83\x43");  // グレイ
  TransitionParams defaults;
  memset(&defaults, 0xAB, sizeof defaults);
  lib.Get("GetTransisionDefaultParams")(&defaults);
  EXPECT_EQ(defaults.wait, 20);
  for (int i = 0; i < EFFECT_PARAM_WORDS; ++i) EXPECT_EQ(defaults.effectParams[i], 0);
  EXPECT_EQ(defaults.result, static_cast<int32_t>(0xABABABAB));

  Scene scene(40, 30, {5, 5, 35, 25}, 1);
  scene.params.wait = 2;
  EXPECT_EQ(lib.Get("TransisionFunction")(&scene.params), 1);
  EXPECT_EQ(scene.screen.At(10, 10), Pulled(NewPicture(5, 5), 50));
  EXPECT_EQ(scene.screen.At(1, 1), BACK);
}

TEST(GrayLibrary, DialogSpeedLabelIn1004) {
  PluginLibrary lib("gray.tns");
  TransitionParams params;
  memset(&params, 0, sizeof params);
  params.wait = 20;
  std::string label, after;
  int result = RunDialog(lib, &params, [&](HWND dialog) {
    label = ItemText(dialog, 1004);
    PageRight(dialog, 9);  // 19 + 90 is held at 100
    after = ItemText(dialog, 1004);
    PressOkStaysOpen(dialog);
  });
  EXPECT_EQ(result, 1);
  EXPECT_EQ(label, WaitCaption(19));
  EXPECT_EQ(after, WaitCaption(100));
  EXPECT_EQ(params.wait, 101);
  result = RunDialog(lib, &params, [&](HWND dialog) {
    SendMessageA(dialog, WM_HSCROLL, SB_LINELEFT, reinterpret_cast<LPARAM>(GetDlgItem(dialog, 1000)));
    SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(params.wait, 101);
}
