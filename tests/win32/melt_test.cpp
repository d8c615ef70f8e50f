// melt drawn into memory DCs: the end state for columns and rows, the
// geometry of every pick (old content pushed on, the new line's end laid in
// behind it, steps in whole base steps, the shortened last one), the order of
// the picks drawn from the runtime generator reseeded every pass, the
// one-pixel-high area, interruption, and the real library with its dialog.
#include "transitions/melt/melt_effect.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>
#include <vector>

#include "tests/win32/effect_random.h"
#include "tests/win32/effect_scene.h"
#include "tests/win32/plugin_library.h"

using namespace effect_test;

TEST(Melt, BaseStepFromWait) {
  EXPECT_EQ(MeltBaseStep(30), 16);
  EXPECT_EQ(MeltBaseStep(1), 21);
  EXPECT_EQ(MeltBaseStep(0), 21);
  EXPECT_EQ(MeltBaseStep(101), 1);
  EXPECT_EQ(MeltBaseStep(50), 21 - 1000 / 101);
  EXPECT_EQ(MeltBaseStep(-2000000000), 21) << "untrusted values stay in the dialog's range";
  EXPECT_EQ(MeltBaseStep(2000000000), 1);
}

TEST(Melt, ColumnsEndWithThePicture) {
  Recording rec;
  Scene scene(120, 90, {15, 10, 95, 70}, 0);
  scene.params.wait = 30;
  EXPECT_EQ(MeltRun(&scene.params), 1);
  EXPECT_EQ(scene.params.result, 1);
  scene.ExpectFinalState(static_cast<COLORREF>(-1));
}

TEST(Melt, RowsWithWholeWindowEndWithThePictureOnBackColor) {
  Recording rec;
  Scene scene(100, 70, {20, 10, 80, 60}, 1);
  scene.params.wait = 60;
  scene.params.effectParams[0] = 5;  // any non-zero value means rows
  EXPECT_EQ(MeltRun(&scene.params), 1);
  scene.ExpectFinalState(BACK);
}

namespace {
// One pick that draws: the line (its column or row within the area), its
// progress before the pick and the length t it advances by.
struct Pick {
  int line, p, t;
  bool operator==(const Pick &o) const { return line == o.line && p == o.p && t == o.t; }
};

// The picks of a whole run by the rules: each pass reseeds the runtime
// generator with the clock's next reading, picks l = rand() x n div 32768 and
// t = step x (rand() & 15), and a finished line changes places with the last
// open one. `passes` receives the number of passes (and so of seeds read).
std::vector<Pick> ExpectedPicks(int lines, int length, int step, uint32_t clock, uint32_t clockStep, int *passes) {
  struct Line {
    int position, progress;
  };
  std::vector<Line> line(lines);
  for (int i = 0; i < lines; ++i) line[i] = {i, 0};
  std::vector<Pick> picks;
  const int last = length - 1;
  int n = lines;
  *passes = 0;
  while (n != 0) {
    RuntimeRand rand{clock};
    clock += clockStep;
    ++*passes;
    for (int i = 0; i < n; ++i) {
      const int l = static_cast<int>(static_cast<int64_t>(rand.Next()) * n / 32768);
      int t = step * (rand.Next() & 15);
      Line &picked = line[l];
      if (picked.progress < last) {
        if (picked.progress + t > last) t = last - picked.progress;
        picks.push_back({picked.position, picked.progress, t});
        picked.progress += t;
      }
      if (picked.progress >= last) {
        int j = n - 1;
        while (j >= 0 && line[j].progress >= last) --j;
        if (j < 0) {
          n = 0;
        } else {
          if (l < j) std::swap(line[l], line[j]);
          --n;
        }
      }
    }
  }
  return picks;
}

// Follows every pick from the blits and checks it against the rules: the
// first blit moves the line's old content on by t within the window, the
// second lays the last p + t + 1 pixels of the new line in from the start.
struct PickChecker {
  bool rows;
  int left, top, W, H, step;
  std::map<int, int> progress;  // line -> progress
  int picks = 0, moves = 0, shortened = 0;
  std::vector<Pick> seen;

  void Check(const BlitCall &move, const BlitCall &lay, HDC dc) {
    ++picks;
    ASSERT_EQ(move.dest, dc);
    ASSERT_EQ(move.src, dc) << "the first blit moves pixels within the window";
    ASSERT_EQ(lay.dest, dc);
    ASSERT_NE(lay.src, dc);
    const int L = rows ? W : H;
    int line, p, t;
    if (rows) {
      line = move.y - top;
      ASSERT_EQ(move.h, 1);
      ASSERT_EQ(lay.h, 1);
      ASSERT_EQ(move.sy, move.y);
      p = move.sx - left;
      t = move.x - move.sx;
      ASSERT_EQ(move.w, W - p - t);
      ASSERT_EQ(lay.x, left);
      ASSERT_EQ(lay.y, move.y);
      ASSERT_EQ(lay.w, p + t + 1);
      ASSERT_EQ(lay.sx, W - p - t - 1) << "the new row enters right end first";
      ASSERT_EQ(lay.sy, line);
    } else {
      line = move.x - left;
      ASSERT_EQ(move.w, 1);
      ASSERT_EQ(lay.w, 1);
      ASSERT_EQ(move.sx, move.x);
      p = move.sy - top;
      t = move.y - move.sy;
      ASSERT_EQ(move.h, H - p - t);
      ASSERT_EQ(lay.y, top);
      ASSERT_EQ(lay.x, move.x);
      ASSERT_EQ(lay.h, p + t + 1);
      ASSERT_EQ(lay.sy, H - p - t - 1) << "the column's bottom enters first";
      ASSERT_EQ(lay.sx, line);
    }
    ASSERT_EQ(p, progress[line]) << "each pick starts where the line's last one ended";
    ASSERT_LT(p, L - 1) << "finished lines are not drawn again";
    ASSERT_GE(t, 0);
    if (t % step != 0 || t / step > 15) {
      ASSERT_EQ(p + t, L - 1) << "only the last step is cut short";
      ++shortened;
    }
    if (t > 0) ++moves;
    progress[line] = p + t;
    seen.push_back({line, p, t});
  }
};

void RunAndCheckPicks(bool rows, int wait) {
  Recording rec;
  const uint32_t clock = rec.clock, clockStep = rec.clockStep;
  Scene scene(90, 70, {10, 5, 80, 65}, 0);  // 70 x 60
  scene.params.wait = wait;
  scene.params.effectParams[0] = rows ? 1 : 0;
  ASSERT_EQ(MeltRun(&scene.params), 1);
  PickChecker check{rows, 10, 5, 70, 60, MeltBaseStep(wait), {}};
  ASSERT_EQ(rec.blits.size() % 2, 0u);
  ASSERT_EQ(static_cast<size_t>(rec.frames), rec.blits.size() / 2) << "every pick draws an open line";
  for (size_t i = 0; i + 1 < rec.blits.size(); i += 2) {
    check.Check(rec.blits[i], rec.blits[i + 1], scene.screen.dc);
    if (testing::Test::HasFatalFailure()) return;
  }
  const int lines = rows ? 60 : 70, L = rows ? 70 : 60;
  ASSERT_EQ(static_cast<int>(check.progress.size()), lines) << "every line was drawn";
  for (const auto &entry : check.progress) EXPECT_EQ(entry.second, L - 1) << "line " << entry.first;
  EXPECT_GT(check.moves, 0);
  // The picks come in the order the runtime generator draws them.
  int passes = 0;
  const std::vector<Pick> expected = ExpectedPicks(lines, L, MeltBaseStep(wait), clock, clockStep, &passes);
  ASSERT_EQ(check.seen.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i)
    ASSERT_TRUE(check.seen[i] == expected[i]) << "pick " << i << ": line " << check.seen[i].line << " p "
                                              << check.seen[i].p << " t " << check.seen[i].t << ", expected line "
                                              << expected[i].line << " p " << expected[i].p << " t " << expected[i].t;
  EXPECT_EQ(rec.clockReads, passes) << "a new seed for every pass";
  EXPECT_GT(passes, 1);
  scene.ExpectFinalState(static_cast<COLORREF>(-1));
}
}  // namespace

TEST(Melt, EveryPickOfColumnsFollowsTheRules) { RunAndCheckPicks(false, 30); }
TEST(Melt, EveryPickOfRowsFollowsTheRules) { RunAndCheckPicks(true, 70); }

TEST(Melt, RowsShowTheNewRowsRightEndAndPushTheOldContentRight) {
  Recording rec;
  int passes = 0;
  const std::vector<Pick> expected = ExpectedPicks(20, 60, 21 - 50 * 20 / 101, rec.clock, rec.clockStep, &passes);
  Scene scene(60, 20, {0, 0, 60, 20}, 0);
  scene.params.wait = 50;
  scene.params.effectParams[0] = 1;
  std::vector<int> progress(20, 0);
  size_t seen = 0;
  int checked = 0;
  rec.onFrame = [&](int) {
    // The pick just made: its two blits tell the row and its new progress.
    ASSERT_EQ(rec.blits.size(), seen + 2);
    const BlitCall &lay = rec.blits[seen + 1];
    seen += 2;
    const int row = lay.y, p = lay.w - 1;
    ASSERT_LT(static_cast<size_t>(checked), expected.size());
    ASSERT_EQ(row, expected[checked].line) << "pick " << checked;
    ASSERT_EQ(p, expected[checked].p + expected[checked].t) << "pick " << checked;
    progress[row] = p;
    for (int x = 0; x < 60; ++x) {
      // Left of the progress line: the new row's last p + 1 pixels; right of
      // it: the old row, moved on by p.
      COLORREF want = x <= p ? NewPicture(60 - 1 - p + x, row) : OldScreen(x - p, row);
      ASSERT_EQ(scene.screen.At(x, row), want) << "row " << row << " x " << x << " progress " << p;
    }
    ++checked;
  };
  ASSERT_EQ(MeltRun(&scene.params), 1);
  EXPECT_EQ(checked, static_cast<int>(expected.size())) << "every pick drawn from the seeds was checked";
  EXPECT_GT(checked, 20);
}

TEST(Melt, AreaOneHighWithColumnsDrawsNothing) {
  Recording rec;
  Scene scene(50, 30, {5, 10, 45, 11}, 0);
  EXPECT_EQ(MeltRun(&scene.params), 1);
  EXPECT_EQ(scene.params.result, 1);
  EXPECT_TRUE(rec.blits.empty());
  EXPECT_EQ(scene.screen.At(20, 10), OldScreen(20, 10)) << "every line is finished from the start";
}

TEST(Melt, EmptyAreaAndNullImage) {
  Recording rec;
  Scene scene(40, 40, {10, 10, 10, 30}, 0);  // no width: no columns at all
  EXPECT_EQ(MeltRun(&scene.params), 1);
  EXPECT_TRUE(rec.blits.empty());
  scene.params.result = 77;
  scene.params.image = nullptr;
  EXPECT_EQ(MeltRun(&scene.params), 0);
  EXPECT_EQ(scene.params.result, 77) << "a refusal does not touch result";
}

TEST(Melt, KeyPressStopsAfterThePick) {
  Recording rec;
  Scene scene(64, 64, {0, 0, 64, 64}, 0);
  PostMessageA(scene.window, WM_KEYDOWN, 'A', 0);
  EXPECT_EQ(MeltRun(&scene.params), 0);
  EXPECT_EQ(scene.params.result, 0);
  EXPECT_EQ(rec.frames, 1) << "polled after every pick";
  EXPECT_EQ(rec.blits.size(), 2u);
  EXPECT_FALSE(InputQueued());
}

TEST(Melt, MouseClickStopsMovementOnlyWhenAsked) {
  Recording rec;
  Scene scene(32, 32, {0, 0, 32, 32}, 0);
  PostMessageA(scene.window, WM_MOUSEMOVE, 0, 0);
  EXPECT_EQ(MeltRun(&scene.params), 1);
  PostMessageA(scene.window, WM_RBUTTONDOWN, 0, 0);
  EXPECT_EQ(MeltRun(&scene.params), 0);
  scene.params.mouseMoveAborts = 1;
  PostMessageA(scene.window, WM_MOUSEMOVE, 0, 0);
  EXPECT_EQ(MeltRun(&scene.params), 0);
}

TEST(MeltLibrary, ExportsNameDefaultsAndDrawsTheFinalPicture) {
  PluginLibrary lib("melt.tns");
  ASSERT_NE(lib.module, nullptr);
  EXPECT_EQ(lib.Name(), "\x97\x6e\x82\xaf\x82\xe9");  // 溶ける
  TransitionParams defaults;
  memset(&defaults, 0xAB, sizeof defaults);
  lib.Get("GetTransisionDefaultParams")(&defaults);
  EXPECT_EQ(defaults.wait, 30);
  for (int i = 0; i < EFFECT_PARAM_WORDS; ++i) EXPECT_EQ(defaults.effectParams[i], 0);
  EXPECT_EQ(defaults.result, static_cast<int32_t>(0xABABABAB));

  Scene scene(90, 60, {10, 10, 70, 50}, 0);
  scene.params.wait = 30;
  EXPECT_EQ(lib.Get("TransisionFunction")(&scene.params), 1);
  scene.ExpectFinalState(static_cast<COLORREF>(-1));
}

TEST(MeltLibrary, DialogRadioButtonsAndSpeed) {
  PluginLibrary lib("melt.tns");
  TransitionParams params;
  memset(&params, 0, sizeof params);
  params.wait = 30;
  bool columnsChecked = false, rowsChecked = true;
  std::string label;
  int result = RunDialog(lib, &params, [&](HWND dialog) {
    columnsChecked = IsDlgButtonChecked(dialog, 1003) == BST_CHECKED;
    rowsChecked = IsDlgButtonChecked(dialog, 1004) == BST_CHECKED;
    label = ItemText(dialog, 1001);
    PageRight(dialog, 1);
    SendMessageA(GetDlgItem(dialog, 1004), BM_CLICK, 0, 0);
    PressOkStaysOpen(dialog);
  });
  EXPECT_EQ(result, 1);
  EXPECT_TRUE(columnsChecked);
  EXPECT_FALSE(rowsChecked);
  EXPECT_EQ(label, WaitCaption(29));
  EXPECT_EQ(params.effectParams[0], 1) << "横 stores 1";
  EXPECT_EQ(params.wait, 40);

  // Any non-zero direction opens on 横; choosing 縦 stores 0.
  params.effectParams[0] = 7;
  result = RunDialog(lib, &params, [&](HWND dialog) {
    rowsChecked = IsDlgButtonChecked(dialog, 1004) == BST_CHECKED;
    SendMessageA(GetDlgItem(dialog, 1003), BM_CLICK, 0, 0);
    PressOkStaysOpen(dialog);
  });
  EXPECT_EQ(result, 1);
  EXPECT_TRUE(rowsChecked);
  EXPECT_EQ(params.effectParams[0], 0);

  // Cancel changes nothing.
  result = RunDialog(lib, &params, [&](HWND dialog) {
    PageRight(dialog, 5);
    SendMessageA(GetDlgItem(dialog, 1004), BM_CLICK, 0, 0);
    SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(params.effectParams[0], 0);
  EXPECT_EQ(params.wait, 40);
}
