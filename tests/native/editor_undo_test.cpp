// Undo and redo over record snapshots: sequences of changes taken back and
// done again, the redo list forgotten by a new change, and the history's
// bounds (levels and bytes).
#include "editor/undo_history.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "editor/page_copy.h"
#include "editor/page_items.h"
#include "editor/show_pages_edit.h"
#include "shell/base/mem_block.h"

namespace {
struct TestShow {
  ShowDocument show = {};
  UndoHistory history;
  TestShow(size_t levels = 100, size_t bytes = 1u << 24) {
    show.pages.pages = static_cast<Page *>(MemAlloc(0));
    EXPECT_EQ(EnsurePages(&show.pages, 1, 0), 1);
    StartHistory(&history, levels, bytes);
  }
  ~TestShow() {
    ClearHistory(&history);
    FreeShowCopy(&show);
  }
  // What the test follows of the show: every page's display time and picture paths.
  std::vector<std::string> State() const {
    std::vector<std::string> v;
    for (int32_t i = 0; i < show.pages.pageCount; ++i) {
      const Page &p = show.pages.pages[i];
      std::string s = std::to_string(p.displayTime);
      for (int32_t k = 0; k < p.pictureCount; ++k) s += std::string(" ") + p.pictures[k].path;
      for (int32_t k = 0; k < p.textCount; ++k) s += std::string(" '") + PageText(&p, k) + "'";
      v.push_back(s);
    }
    return v;
  }
  void SetTime(int32_t page, int32_t ms) {
    ASSERT_EQ(RecordBeforeChange(&history, &show), 1);
    show.pages.pages[page].displayTime = ms;
  }
};
using S = std::vector<std::string>;
const PageFrame kFrame = {800, 600, 0};
}  // namespace

TEST(EditorUndo, UndoRedoSequences) {
  TestShow t;
  EXPECT_EQ(CanUndo(&t.history), 0);
  EXPECT_EQ(UndoChange(&t.history, &t.show), 0);
  const S s0 = {"10000"};
  ASSERT_EQ(t.State(), s0);

  ASSERT_EQ(RecordBeforeChange(&t.history, &t.show), 1);
  ASSERT_EQ(InsertNewPage(&t.show.pages, 1), 1);
  const S s1 = {"10000", "10000"};
  t.SetTime(1, 3000);
  const S s2 = {"10000", "3000"};
  ASSERT_EQ(RecordBeforeChange(&t.history, &t.show), 1);
  int32_t index;
  ASSERT_EQ(AddFittedPicture(&t.show.pages.pages[0], &kFrame, "p.jpg", 10, 10, 0, &index), 1);
  const S s3 = {"10000 p.jpg", "3000"};
  ASSERT_EQ(RecordBeforeChange(&t.history, &t.show), 1);
  TextStyle style = {};
  ASSERT_EQ(AddText(&t.show.pages.pages[1], "hi", &style, 0, 0, &index), 1);
  const S s4 = {"10000 p.jpg", "3000 'hi'"};
  ASSERT_EQ(t.State(), s4);

  ASSERT_EQ(UndoChange(&t.history, &t.show), 1);
  EXPECT_EQ(t.State(), s3);
  ASSERT_EQ(UndoChange(&t.history, &t.show), 1);
  EXPECT_EQ(t.State(), s2);
  ASSERT_EQ(UndoChange(&t.history, &t.show), 1);
  EXPECT_EQ(t.State(), s1);
  ASSERT_EQ(RedoChange(&t.history, &t.show), 1);
  EXPECT_EQ(t.State(), s2);
  ASSERT_EQ(RedoChange(&t.history, &t.show), 1);
  EXPECT_EQ(t.State(), s3);
  ASSERT_EQ(UndoChange(&t.history, &t.show), 1);
  ASSERT_EQ(UndoChange(&t.history, &t.show), 1);
  ASSERT_EQ(UndoChange(&t.history, &t.show), 1);
  EXPECT_EQ(t.State(), s0);
  EXPECT_EQ(UndoChange(&t.history, &t.show), 0);
  EXPECT_EQ(t.State(), s0);
  ASSERT_EQ(RedoChange(&t.history, &t.show), 1);
  EXPECT_EQ(t.State(), s1);

  // A new change forgets what could be redone.
  EXPECT_EQ(CanRedo(&t.history), 1);
  t.SetTime(0, 7000);
  EXPECT_EQ(CanRedo(&t.history), 0);
  EXPECT_EQ(RedoChange(&t.history, &t.show), 0);
  EXPECT_EQ(t.State(), (S{"7000", "10000"}));
  ASSERT_EQ(UndoChange(&t.history, &t.show), 1);
  EXPECT_EQ(t.State(), s1);
  ASSERT_EQ(UndoChange(&t.history, &t.show), 1);
  EXPECT_EQ(t.State(), s0);
}

TEST(EditorUndo, TheHistoryKeepsAtMostItsLevels) {
  TestShow t(3);
  for (int k = 1; k <= 6; ++k) t.SetTime(0, k * 1000);
  EXPECT_EQ(t.State(), (S{"6000"}));
  int undone = 0;
  while (UndoChange(&t.history, &t.show)) ++undone;
  EXPECT_EQ(undone, 3);
  EXPECT_EQ(t.State(), (S{"3000"}));
  int redone = 0;
  while (RedoChange(&t.history, &t.show)) ++redone;
  EXPECT_EQ(redone, 3);
  EXPECT_EQ(t.State(), (S{"6000"}));
}

TEST(EditorUndo, TheHistoryKeepsWithinItsBytes) {
  // One state of a 20-page show with a picture on each page: the fixed part,
  // 20 pages and 20 picture records.
  const size_t state = sizeof(ShowDocument) + 20 * sizeof(Page) + 20 * sizeof(PictureRecord);
  TestShow t(1000, 5 * state + state / 2);
  ASSERT_EQ(EnsurePages(&t.show.pages, 20, 0), 1);
  int32_t index;
  for (int32_t i = 0; i < 20; ++i)
    ASSERT_EQ(AddFittedPicture(&t.show.pages.pages[i], &kFrame, "p.jpg", 10, 10, 0, &index), 1);
  EXPECT_EQ(ShowCopyBytes(&t.show), state);
  for (int k = 1; k <= 50; ++k) {
    t.SetTime(k % 20, k);
    EXPECT_LE(t.history.bytes, t.history.byteLimit);
  }
  int undone = 0;
  while (UndoChange(&t.history, &t.show)) ++undone;
  EXPECT_EQ(undone, 5);
  // Five changes back: k = 46 .. 50 are undone, 45 stays.
  EXPECT_EQ(t.show.pages.pages[45 % 20].displayTime, 45);
  EXPECT_EQ(t.show.pages.pages[46 % 20].displayTime, 26);
  EXPECT_LE(t.history.bytes, t.history.byteLimit);
}
