// nijimu drawn into memory DCs: end states, cell and frame counts, refusals,
// interruption, and the real plug-in library with its dialog.
#include "transitions/nijimu/nijimu_effect.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/win32/effect_random.h"
#include "tests/win32/effect_scene.h"
#include "tests/win32/plugin_library.h"

using effect_test::BlitCall;
using effect_test::Recording;
using effect_test::Scene;

namespace {
COLORREF Screen(int, int) { return RGB(10, 20, 30); }
COLORREF Picture(int x, int y) { return RGB((x * 5) & 0xFF, (y * 7) & 0xFF, 90); }
const effect_test::SceneLook LOOK = {Screen, Picture, RGB(200, 100, 50)};

// One effect call on a plain screen, with wait 1 and the cell size in word 0.
struct NijimuScene : Scene {
  NijimuScene(int w, int h, RECT destRect, int cell, int whole) : Scene(w, h, destRect, whole, LOOK) {
    params.wait = 1;
    params.effectParams[0] = cell;
  }
};
}  // namespace

TEST(Nijimu, EndsWithThePictureInDestRectAndLeavesTheRest) {
  Recording rec;
  NijimuScene scene(200, 100, {30, 20, 90, 60}, 16, 0);
  EXPECT_EQ(NijimuRun(&scene.params), 1);
  EXPECT_EQ(scene.params.result, 1);
  scene.ExpectFinalState(RGB(10, 20, 30));
}

TEST(Nijimu, WholeWindowPaintsBackColorOutsideDestRect) {
  Recording rec;
  NijimuScene scene(160, 120, {40, 30, 100, 90}, 64, 1);
  EXPECT_EQ(NijimuRun(&scene.params), 1);
  scene.ExpectFinalState(RGB(200, 100, 50));
}

TEST(Nijimu, CellsAndFramesOfA100By50Area) {
  Recording rec;
  NijimuScene scene(300, 200, {10, 10, 110, 60}, 64, 0);
  // The screen after the first frame, inside the area.
  std::vector<COLORREF> first;
  rec.onFrame = [&](int frame) {
    if (frame != 0) return;
    for (int y = 10; y < 60; ++y)
      for (int x = 10; x < 110; ++x) first.push_back(scene.screen.At(x, y));
  };
  ASSERT_EQ(NijimuRun(&scene.params), 1);
  const std::vector<BlitCall> blits = rec.Stretches();
  // 2 x 1 cells of 64, offset 31: 32 frames of one blit per cell.
  EXPECT_EQ(rec.frames, 32);
  ASSERT_EQ(blits.size(), 64u);
  EXPECT_EQ(rec.sleeps.size(), 32u);
  // First frame: 2 x 2 centre windows at offset 31 blown up to 64 x 64.
  for (int i = 0; i < 2; ++i) {
    const BlitCall &b = blits[i];
    EXPECT_EQ(b.w, 64);
    EXPECT_EQ(b.h, 64);
    EXPECT_EQ(b.sw, 2);
    EXPECT_EQ(b.sx % 64, 31);
    EXPECT_EQ(b.sy % 64, 31);
  }
  // Last frame: 1:1 copies of whole cells.
  for (int i = 62; i < 64; ++i) {
    EXPECT_EQ(blits[i].sw, 64);
    EXPECT_EQ(blits[i].sx % 64, 0);
    EXPECT_EQ(blits[i].sy % 64, 0);
  }
  scene.ExpectFinalState(RGB(10, 20, 30));
  // Each cell of the first frame shows its own centre 2 x 2 pixels of the
  // new content (which the end state shows 1:1), each blown up 32 times.
  ASSERT_EQ(first.size(), 100u * 50);
  for (int y = 10; y < 60; ++y)
    for (int x = 10; x < 110; ++x) {
      const int cellLeft = x < 74 ? 10 : 74;
      const COLORREF want = scene.screen.At(cellLeft + 31 + (x - cellLeft) / 32, 10 + 31 + (y - 10) / 32);
      ASSERT_EQ(first[(y - 10) * 100 + (x - 10)], want) << x << "," << y;
    }
}

TEST(Nijimu, EveryFrameDrawsTheCellsInTheOrderShuffledFromTheTickCount) {
  // 100 x 60 with 16-pixel cells: 7 x 4 cells, offset 7: 8 frames.
  for (uint32_t seed : {4711u, 0x80000001u}) {
    Recording rec;
    rec.clock = seed;
    NijimuScene scene(130, 80, {20, 10, 120, 70}, 16, 0);
    ASSERT_EQ(NijimuRun(&scene.params), 1);
    EXPECT_EQ(rec.clockReads, 1) << "one seed per call";
    const std::vector<int> order = effect_test::ExpectedCellOrder(28, seed);
    const std::vector<BlitCall> blits = rec.Stretches();
    ASSERT_EQ(rec.frames, 8);
    ASSERT_EQ(blits.size(), 8u * 28);
    for (size_t i = 0; i < blits.size(); ++i) {
      const int cell = order[i % 28];
      ASSERT_EQ(blits[i].x, 20 + (cell % 7) * 16) << "blit " << i << " seed " << seed;
      ASSERT_EQ(blits[i].y, 10 + (cell / 7) * 16) << "blit " << i << " seed " << seed;
    }
    scene.ExpectFinalState(RGB(10, 20, 30));
  }
  EXPECT_NE(effect_test::ExpectedCellOrder(28, 4711u), effect_test::ExpectedCellOrder(28, 0x80000001u));
}

TEST(Nijimu, SmallAndOddCells) {
  {
    Recording rec;
    NijimuScene scene(40, 40, {0, 0, 40, 40}, 4, 0);
    ASSERT_EQ(NijimuRun(&scene.params), 1);
    const std::vector<BlitCall> blits = rec.Stretches();
    EXPECT_EQ(rec.frames, 2);
    EXPECT_EQ(blits.front().sw, 2);
    EXPECT_EQ(blits.back().sw, 4);
  }
  {
    Recording rec;
    NijimuScene scene(40, 40, {0, 0, 40, 40}, 5, 0);
    ASSERT_EQ(NijimuRun(&scene.params), 1);
    const std::vector<BlitCall> blits = rec.Stretches();
    EXPECT_EQ(rec.frames, 2);
    EXPECT_EQ(blits.front().sw, 3);
    EXPECT_EQ(blits.front().sx % 5, 1);
    EXPECT_EQ(blits.back().sw, 5);
    scene.ExpectFinalState(RGB(10, 20, 30));
  }
}

TEST(Nijimu, RefusalsAndTheOnePixelCell) {
  Recording rec;
  NijimuScene scene(50, 50, {0, 0, 50, 50}, 0, 0);
  EXPECT_EQ(NijimuRun(&scene.params), 0);
  EXPECT_EQ(scene.params.result, 77) << "a refusal does not touch result";
  scene.params.effectParams[0] = -8;
  EXPECT_EQ(NijimuRun(&scene.params), 0);
  EXPECT_EQ(scene.params.result, 77);
  scene.params.effectParams[0] = 16;
  scene.params.image = nullptr;
  EXPECT_EQ(NijimuRun(&scene.params), 0);
  EXPECT_EQ(scene.params.result, 77);
  scene.params.image = scene.image;
  scene.params.effectParams[0] = 1;
  EXPECT_EQ(NijimuRun(&scene.params), 1);
  EXPECT_EQ(scene.params.result, 1);
  EXPECT_TRUE(rec.Stretches().empty());
  EXPECT_EQ(scene.screen.At(25, 25), RGB(10, 20, 30)) << "a one-pixel cell draws nothing";
}

TEST(Nijimu, UntrustedWaitIsClamped) {
  Recording rec;
  NijimuScene scene(32, 32, {0, 0, 32, 32}, 8, 0);
  scene.params.wait = -1000;
  ASSERT_EQ(NijimuRun(&scene.params), 1);
  for (DWORD s : rec.sleeps) EXPECT_EQ(s, 0u);
  rec.sleeps.clear();
  scene.params.wait = 2000000000;
  ASSERT_EQ(NijimuRun(&scene.params), 1);
  for (DWORD s : rec.sleeps) EXPECT_EQ(s, 101u);
}

TEST(Nijimu, KeyPressStopsAfterTheFirstFrameAndIsConsumed) {
  Recording rec;
  NijimuScene scene(64, 64, {0, 0, 64, 64}, 16, 0);
  PostMessageA(scene.window, WM_KEYDOWN, 'A', 0);
  EXPECT_EQ(NijimuRun(&scene.params), 0);
  EXPECT_EQ(scene.params.result, 0);
  EXPECT_EQ(rec.frames, 1);
  MSG msg;
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE)) << "the key was removed";
}

TEST(Nijimu, MouseMoveStopsOnlyWhenAsked) {
  Recording rec;
  NijimuScene scene(64, 64, {0, 0, 64, 64}, 16, 0);
  PostMessageA(scene.window, WM_MOUSEMOVE, 0, 0);
  EXPECT_EQ(NijimuRun(&scene.params), 1) << "without mouseMoveAborts a move does not interrupt";
  scene.params.mouseMoveAborts = 1;
  EXPECT_EQ(NijimuRun(&scene.params), 0);
  PostMessageA(scene.window, WM_LBUTTONDOWN, 0, 0);
  scene.params.mouseMoveAborts = 0;
  EXPECT_EQ(NijimuRun(&scene.params), 0) << "a click interrupts in every mode";
}

// The real library, as the player loads it.
TEST(NijimuLibrary, ExportsNameDefaultsAndDrawsTheFinalPicture) {
  PluginLibrary lib("nijimu.tns");
  ASSERT_NE(lib.module, nullptr);
  char name[512];
  lib.Get<TransitionNamePtr>("GetTransisionName")(name);
  EXPECT_STREQ(name, "\x9f\xf8\x82\xde");
  TransitionParams defaults;
  memset(&defaults, 0xAB, sizeof defaults);
  lib.Get<TransitionFunctionPtr>("GetTransisionDefaultParams")(&defaults);
  EXPECT_EQ(defaults.wait, 1);
  EXPECT_EQ(defaults.effectParams[0], 64);
  EXPECT_EQ(defaults.effectParams[19], 0);
  EXPECT_EQ(defaults.result, static_cast<int32_t>(0xABABABAB)) << "defaults touch only wait and the words";

  NijimuScene scene(120, 90, {10, 10, 110, 80}, 32, 1);
  EXPECT_EQ(lib.Get<TransitionFunctionPtr>("TransisionFunction")(&scene.params), 1);
  scene.ExpectFinalState(RGB(200, 100, 50));
}

namespace {
// Drives the open dialog from a second thread: types each text into the cell
// edit and presses OK, recording what the edit shows afterwards.
struct DialogScript {
  std::vector<std::string> texts;
  std::vector<std::string> shown;
  bool cancel = false;
  int pageRights = 0;
  std::string caption;
};

int RunCellScript(PluginLibrary &lib, TransitionParams *params, DialogScript *script) {
  return RunParamsDialog(lib, params, [script](HWND dialog) {
    PageRight(dialog, script->pageRights);
    script->caption = ItemText(dialog, 1001);
    for (const std::string &text : script->texts) {
      SetDlgItemTextA(dialog, IDC_NIJIMU_CELL, text.c_str());
      // A dialog that ended is hidden until the modal loop returns.
      if (!PressOkStaysOpen(dialog)) return;
      script->shown.push_back(ItemText(dialog, IDC_NIJIMU_CELL));
    }
    SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  });
}
}  // namespace

TEST(NijimuLibrary, DialogClampsCellSizeAndKeepsItOpen) {
  PluginLibrary lib("nijimu.tns");
  TransitionParams params;
  memset(&params, 0, sizeof params);
  params.wait = 11;  // position 10
  params.effectParams[0] = 64;
  DialogScript script;
  script.texts = {"3", "100", "", "32"};
  script.pageRights = 2;
  EXPECT_EQ(RunCellScript(lib, &params, &script), 1);
  ASSERT_EQ(script.shown.size(), 3u);
  EXPECT_EQ(script.shown[0], "4");
  EXPECT_EQ(script.shown[1], "64");
  EXPECT_EQ(script.shown[2], "4");
  EXPECT_EQ(params.effectParams[0], 32);
  EXPECT_EQ(params.wait, 31) << "position 10 + 2 pages, stored as position + 1";
  EXPECT_EQ(script.caption, "\x83\x45\x83\x46\x83\x43\x83\x67\x81\x46" "30");  // ウェイト：30
}

TEST(NijimuLibrary, CancelLeavesTheBlockUnchanged) {
  PluginLibrary lib("nijimu.tns");
  TransitionParams params;
  memset(&params, 0, sizeof params);
  params.wait = 5;
  params.effectParams[0] = 16;
  DialogScript script;
  script.pageRights = 3;
  EXPECT_EQ(RunCellScript(lib, &params, &script), 0);
  EXPECT_EQ(params.wait, 5);
  EXPECT_EQ(params.effectParams[0], 16);
}
