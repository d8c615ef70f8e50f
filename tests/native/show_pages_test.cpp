#include "show/show_pages.h"

#include <gtest/gtest.h>

#include <cstring>

#include "player/player_state.h"
#include "shell/base/mem_block.h"

static PageArray EmptyArray() {
  PageArray array = {};
  array.pages = static_cast<Page *>(MemAlloc(0));
  return array;
}

static void AddText(Page *page, const char *text) {
  int32_t n = page->textCount + 1;
  page->texts = static_cast<TextRecord *>(MemRealloc(page->texts, size_t(n) * sizeof(TextRecord)));
  page->textBuffers = static_cast<char **>(MemRealloc(page->textBuffers, size_t(n) * sizeof(char *)));
  page->textBuffers[n - 1] = static_cast<char *>(MemAlloc(strlen(text) + 1));
  strcpy(page->textBuffers[n - 1], text);
  page->texts[n - 1].length = int32_t(strlen(text));
  page->textCount = n;
}

TEST(PageModel, EnsurePagesGivesDefaults) {
  PageArray array = EmptyArray();
  ASSERT_EQ(EnsurePages(&array, 3, 0), 1);
  EXPECT_EQ(array.pageCount, 3);
  for (int i = 0; i < 3; ++i) {
    const Page &p = array.pages[i];
    EXPECT_EQ(p.backgroundColour, 0u);
    EXPECT_EQ(p.backgroundFlag, 1);
    EXPECT_EQ(p.displayTime, 10000);
    EXPECT_EQ(p.pictureCount + p.textCount + p.soundCount, 0);
    EXPECT_EQ(p.transitionId, 0);
    EXPECT_EQ(p.unitWindow, nullptr);
    EXPECT_EQ(p.preview, nullptr);
    EXPECT_NE(p.pictures, nullptr);
    EXPECT_NE(p.texts, nullptr);
    EXPECT_NE(p.sounds, nullptr);
  }
  // Never shrinks.
  array.pages[2].displayTime = 1234;
  EXPECT_EQ(EnsurePages(&array, 2, 0), 1);
  EXPECT_EQ(array.pageCount, 3);
  EXPECT_EQ(array.pages[2].displayTime, 1234);
  DropAllPages(&array, nullptr);
  MemFreePtr(array.pages);
}

TEST(PageModel, SelectedPageFollowsTheArray) {
  PageArray array = EmptyArray();
  array.selectedPage = -1;
  ASSERT_EQ(EnsurePages(&array, 1, 0), 1);
  EXPECT_EQ(array.selectedPage, 0);
  ASSERT_EQ(RemovePage(&array, 0, 0), 1);
  EXPECT_EQ(array.pageCount, 0);
  EXPECT_EQ(array.selectedPage, -1);
  EXPECT_EQ(RemovePage(&array, 0, 0), 0);

  ASSERT_EQ(EnsurePages(&array, 4, 0), 1);
  array.selectedPage = 3;
  ASSERT_EQ(RemovePage(&array, 1, 0), 1);
  EXPECT_EQ(array.selectedPage, 2);
  array.selectedPage = 7;
  ClampSelectedPage(&array);
  EXPECT_EQ(array.selectedPage, 0);
  DropAllPages(&array, nullptr);
  MemFreePtr(array.pages);
}

TEST(PageModel, RemovePageMovesLaterPagesDownAndFreesTexts) {
  PageArray array = EmptyArray();
  ASSERT_EQ(EnsurePages(&array, 3, 0), 1);
  for (int i = 0; i < 3; ++i) array.pages[i].displayTime = 1000 * (i + 1);
  AddText(&array.pages[1], "gone");
  AddText(&array.pages[2], "first");
  AddText(&array.pages[2], "second");
  ASSERT_EQ(RemovePage(&array, 1, 0), 1);
  ASSERT_EQ(array.pageCount, 2);
  EXPECT_EQ(array.pages[0].displayTime, 1000);
  EXPECT_EQ(array.pages[1].displayTime, 3000);
  EXPECT_STREQ(PageText(&array.pages[1], 1), "second");
  EXPECT_STREQ(PageText(&array.pages[1], 2), "");  // out of range
  EXPECT_STREQ(PageText(&array.pages[1], -1), "");
  DropAllPages(&array, nullptr);
  MemFreePtr(array.pages);
}

TEST(PageModel, DropAllPagesClearsTheMusicList) {
  PageArray array = EmptyArray();
  BgmPathTable bgm;
  memset(&bgm, 'x', sizeof bgm);
  ASSERT_EQ(EnsurePages(&array, 2, 0), 1);
  AddText(&array.pages[0], "text");
  DropAllPages(&array, &bgm);
  EXPECT_EQ(array.pageCount, 0);
  for (const auto &path : bgm.paths)
    for (char c : path) ASSERT_EQ(c, 0);
  MemFreePtr(array.pages);
}

TEST(PlayerState, ClearZeroesEveryField) {
  PlayerState state;
  memset(&state, 0x5A, sizeof state);
  ClearPlayerState(&state);
  EXPECT_EQ(state.playerWindow, nullptr);
  EXPECT_EQ(state.view.layers.count, 0);
  EXPECT_EQ(state.view.layers.images, nullptr);
  EXPECT_EQ(state.currentPage + state.view.firstPaint + state.playState + state.view.entering + state.playMode, 0);
  EXPECT_EQ(state.playTimer, 0u);
}
