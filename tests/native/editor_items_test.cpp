// The editor's operations on a page's pictures and texts and on the page
// list, checked against records worked out here: where the player will draw
// a picture (its truncating rule, written out below), orientation codes
// against turning a small labelled grid by hand, drawing order, the
// clipboard.
#include "editor/page_items.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "editor/page_copy.h"
#include "editor/show_pages_edit.h"
#include "shell/base/mem_block.h"

namespace {
// The player's rectangle for a placement: each side times the page size,
// truncated; an odd code keeps the top-left corner and exchanges the extents.
RECT PlayerRect(const PictureRecord &p, int32_t w, int32_t h) {
  RECT r = {LONG(std::trunc(w * p.placement[0])), LONG(std::trunc(h * p.placement[1])),
            LONG(std::trunc(w * p.placement[2])), LONG(std::trunc(h * p.placement[3]))};
  if (p.orientation % 2) {
    LONG right = r.right;
    r.right = r.left + (r.bottom - r.top);
    r.bottom = r.top + (right - r.left);
  }
  return r;
}

void ExpectRect(const RECT &r, LONG left, LONG top, LONG right, LONG bottom) {
  EXPECT_EQ(r.left, left);
  EXPECT_EQ(r.top, top);
  EXPECT_EQ(r.right, right);
  EXPECT_EQ(r.bottom, bottom);
}

struct TestPage {
  PageArray array = {static_cast<Page *>(MemAlloc(0)), 0, -1};
  TestPage() { EXPECT_EQ(EnsurePages(&array, 1, 0), 1); }
  ~TestPage() {
    DropAllPages(&array, nullptr);
    MemFreePtr(array.pages);
  }
  Page *page() { return &array.pages[0]; }
};

const PageFrame kFrame = {1000, 600, 0};

// A grid of labelled cells, rows top to bottom.
using Grid = std::vector<std::vector<int>>;
Grid Clockwise(const Grid &g) {  // a quarter turn clockwise
  size_t rows = g.size(), cols = g[0].size();
  Grid out(cols, std::vector<int>(rows));
  for (size_t y = 0; y < rows; ++y)
    for (size_t x = 0; x < cols; ++x) out[x][rows - 1 - y] = g[y][x];
  return out;
}
Grid TopBottom(Grid g) { return Grid(g.rbegin(), g.rend()); }
Grid LeftRight(Grid g) {
  for (auto &row : g) row = std::vector<int>(row.rbegin(), row.rend());
  return g;
}
// The image operations of each code as the player's table lists them.
Grid ByCode(const Grid &g, int code) {
  Grid r = g;
  switch (code) {
    case 1: return Clockwise(r);
    case 2: return Clockwise(Clockwise(r));
    case 3: return Clockwise(Clockwise(Clockwise(r)));
    case 4: return TopBottom(r);
    case 5: return TopBottom(Clockwise(r));
    case 6: return LeftRight(r);
    case 7: return TopBottom(Clockwise(Clockwise(Clockwise(r))));
    case 8: return LeftRight(r);
    case 9: return LeftRight(Clockwise(r));
    case 10: return TopBottom(r);
    case 11: return LeftRight(Clockwise(Clockwise(Clockwise(r))));
    default: return r;
  }
}
}  // namespace

TEST(EditorOrientation, TurnsAndMirrorsMatchTheTwelveCodes) {
  const Grid picture = {{1, 2, 3}, {4, 5, 6}};
  for (int code = 0; code < 12; ++code) {
    const Grid shown = ByCode(picture, code);
    struct {
      OrientationTurn turn;
      Grid expected;
    } cases[] = {{TURN_RIGHT, Clockwise(shown)},
                 {TURN_LEFT, Clockwise(Clockwise(Clockwise(shown)))},
                 {TURN_MIRROR, LeftRight(shown)},
                 {TURN_FLIP, TopBottom(shown)}};
    for (auto &c : cases) {
      int32_t next = TurnOrientation(code, c.turn);
      EXPECT_EQ(ByCode(picture, next), c.expected) << "code " << code << " turn " << c.turn;
      // The lowest code that gives that picture.
      for (int lower = 0; lower < next; ++lower) EXPECT_NE(ByCode(picture, lower), c.expected);
    }
  }
  // Four right turns come back; mirror twice comes back.
  int32_t code = 5;
  for (int k = 0; k < 4; ++k) code = TurnOrientation(code, TURN_RIGHT);
  EXPECT_EQ(code, 5);
  EXPECT_EQ(TurnOrientation(TurnOrientation(0, TURN_MIRROR), TURN_MIRROR), 0);
  EXPECT_EQ(CanonicalOrientation(10), 4);
  EXPECT_EQ(CanonicalOrientation(11), 5);
  EXPECT_EQ(TurnOrientation(99, TURN_RIGHT), 1);
}

TEST(EditorPictures, AddedPictureIsFittedUprightWithItsProportions) {
  TestPage t;
  // 1000 x 600: margin 600 / 36 = 16, room 968 x 568.
  int32_t index = -1;
  ASSERT_EQ(AddFittedPicture(t.page(), &kFrame, "C:\\a.jpg", 400, 300, 0, &index), 1);
  EXPECT_EQ(index, 0);
  // 400 x 300 is taller than the room: 568 high, 400 * 568 / 300 = 757.3 -> 757 wide.
  ExpectRect(PlayerRect(t.page()->pictures[0], 1000, 600), 121, 16, 121 + 757, 16 + 568);
  EXPECT_STREQ(t.page()->pictures[0].path, "C:\\a.jpg");
  // A phone picture stored 400 x 300 with a quarter turn shows 300 x 400:
  // 568 high, 300 * 568 / 400 = 426 wide, centred: left 16 + (968 - 426) / 2.
  ASSERT_EQ(AddFittedPicture(t.page(), &kFrame, "C:\\b.jpg", 400, 300, 1, &index), 1);
  EXPECT_EQ(index, 1);
  EXPECT_EQ(t.page()->pictures[1].orientation, 1);
  ExpectRect(PlayerRect(t.page()->pictures[1], 1000, 600), 287, 16, 287 + 426, 16 + 568);
  // A wide panorama fills the width.
  ASSERT_EQ(AddFittedPicture(t.page(), &kFrame, "C:\\c.jpg", 2000, 500, 0, &index), 1);
  ExpectRect(PlayerRect(t.page()->pictures[2], 1000, 600), 16, 16 + (568 - 242) / 2, 16 + 968,
             16 + (568 - 242) / 2 + 242);
  EXPECT_EQ(AddFittedPicture(t.page(), &kFrame, std::string(300, 'x').c_str(), 10, 10, 0, &index), 0);
  EXPECT_EQ(t.page()->pictureCount, 3);
}

TEST(EditorPictures, MoveAndNudgeLandOnTheGrid) {
  TestPage t;
  int32_t index;
  ASSERT_EQ(AddFittedPicture(t.page(), &kFrame, "a.jpg", 400, 300, 0, &index), 1);
  ItemRef item = {ITEM_PICTURE, 0};
  ASSERT_EQ(MoveItem(t.page(), item, &kFrame, 10, 7), 1);
  ExpectRect(PlayerRect(t.page()->pictures[0], 1000, 600), 131, 23, 131 + 757, 23 + 568);
  PageFrame grid = kFrame;
  grid.grid = 16;
  // 131 + 10 = 141 -> 144, 23 + 7 = 30 -> 32.
  ASSERT_EQ(MoveItem(t.page(), item, &grid, 10, 7), 1);
  ExpectRect(PlayerRect(t.page()->pictures[0], 1000, 600), 144, 32, 144 + 757, 32 + 568);
  ASSERT_EQ(NudgeItem(t.page(), item, &grid, -1, 1), 1);
  ExpectRect(PlayerRect(t.page()->pictures[0], 1000, 600), 128, 48, 128 + 757, 48 + 568);
  ASSERT_EQ(NudgeItem(t.page(), item, &kFrame, 1, 0), 1);
  ExpectRect(PlayerRect(t.page()->pictures[0], 1000, 600), 129, 48, 129 + 757, 48 + 568);
  // Far off the page to the left and top: the player's truncation of
  // negative sides still gives the pixels shown.
  ASSERT_EQ(MoveItem(t.page(), item, &kFrame, -429, -348), 1);
  ExpectRect(PlayerRect(t.page()->pictures[0], 1000, 600), -300, -300, -300 + 757, -300 + 568);
  EXPECT_EQ(MoveItem(t.page(), {ITEM_PICTURE, 1}, &kFrame, 1, 1), 0);
}

TEST(EditorPictures, CornerResizeKeepsProportionsUnlessFreed) {
  TestPage t;
  int32_t index;
  ASSERT_EQ(AddFittedPicture(t.page(), &kFrame, "a.jpg", 400, 300, 0, &index), 1);
  PageBox start;
  PictureBox(&t.page()->pictures[0], &kFrame, &start);
  EXPECT_EQ(start.left, 121);
  EXPECT_EQ(start.right, 878);
  // Bottom-right to (700, 300): the width shrinks to 579 / 757, the height
  // only to 284 / 568, so the width decides: 579 x 579 * 568 / 757 = 434.4.
  ASSERT_EQ(ResizePicture(t.page(), 0, &kFrame, &start, CORNER_BOTTOM_RIGHT, 700, 300, 1), 1);
  ExpectRect(PlayerRect(t.page()->pictures[0], 1000, 600), 121, 16, 700, 16 + 434);
  // Freed: the corner goes where the pointer is.
  ASSERT_EQ(ResizePicture(t.page(), 0, &kFrame, &start, CORNER_BOTTOM_RIGHT, 700, 300, 0), 1);
  ExpectRect(PlayerRect(t.page()->pictures[0], 1000, 600), 121, 16, 700, 300);
  // Top-left corner: the bottom-right one stays. To (500, 100): the height
  // decides (484 / 568 against 378 / 757), width 484 * 757 / 568 = 645.05.
  ASSERT_EQ(ResizePicture(t.page(), 0, &kFrame, &start, CORNER_TOP_LEFT, 500, 100, 1), 1);
  ExpectRect(PlayerRect(t.page()->pictures[0], 1000, 600), 878 - 645, 100, 878, 584);
  // With a grid of 32 the deciding coordinate snaps: x 700 -> 704, width
  // 583, height 583 * 568 / 757 = 437.4.
  PageFrame grid = kFrame;
  grid.grid = 32;
  ASSERT_EQ(ResizePicture(t.page(), 0, &grid, &start, CORNER_BOTTOM_RIGHT, 700, 300, 1), 1);
  ExpectRect(PlayerRect(t.page()->pictures[0], 1000, 600), 121, 16, 704, 16 + 437);
  ASSERT_EQ(ResizePicture(t.page(), 0, &grid, &start, CORNER_BOTTOM_RIGHT, 700, 300, 0), 1);
  ExpectRect(PlayerRect(t.page()->pictures[0], 1000, 600), 121, 16, 704, 288);
  // Dragged past the opposite corner: the picture keeps a minimal size on its side.
  ASSERT_EQ(ResizePicture(t.page(), 0, &kFrame, &start, CORNER_BOTTOM_RIGHT, 0, 0, 0), 1);
  ExpectRect(PlayerRect(t.page()->pictures[0], 1000, 600), 121, 16, 125, 20);
}

TEST(EditorPictures, TurningKeepsTheCentreAndSwapsTheSides) {
  TestPage t;
  int32_t index;
  ASSERT_EQ(AddFittedPicture(t.page(), &kFrame, "a.jpg", 400, 300, 0, &index), 1);
  // Box 121..878 x 16..584, centre (499.5, 300); turned: 568 wide, 757 high.
  ASSERT_EQ(TurnPicture(t.page(), 0, &kFrame, TURN_RIGHT), 1);
  EXPECT_EQ(t.page()->pictures[0].orientation, 1);
  // left = round(499.5 - 284) = 216, top = round(300 - 378.5) = -79 (halves away from zero).
  ExpectRect(PlayerRect(t.page()->pictures[0], 1000, 600), 216, -79, 216 + 568, -79 + 757);
  ASSERT_EQ(TurnPicture(t.page(), 0, &kFrame, TURN_MIRROR), 1);
  EXPECT_EQ(t.page()->pictures[0].orientation, TurnOrientation(1, TURN_MIRROR));
  ExpectRect(PlayerRect(t.page()->pictures[0], 1000, 600), 216, -79, 216 + 568, -79 + 757);
  ASSERT_EQ(TurnPicture(t.page(), 0, &kFrame, TURN_LEFT), 1);
  EXPECT_EQ(t.page()->pictures[0].orientation % 2, 0);
  ASSERT_EQ(SetPictureShadow(t.page(), 0, 7), 1);
  EXPECT_EQ(t.page()->pictures[0].shadow, 1);
}

TEST(EditorItems, OrderDeleteHitAndPaste) {
  TestPage t;
  int32_t index;
  ASSERT_EQ(AddFittedPicture(t.page(), &kFrame, "a.jpg", 400, 300, 0, &index), 1);
  ASSERT_EQ(AddFittedPicture(t.page(), &kFrame, "b.jpg", 100, 100, 0, &index), 1);
  ASSERT_EQ(AddFittedPicture(t.page(), &kFrame, "c.jpg", 100, 100, 0, &index), 1);
  ItemRef item = {ITEM_PICTURE, 0};
  ASSERT_EQ(BringItemForward(t.page(), &item), 1);
  EXPECT_EQ(item.index, 1);
  EXPECT_STREQ(t.page()->pictures[0].path, "b.jpg");
  EXPECT_STREQ(t.page()->pictures[1].path, "a.jpg");
  ASSERT_EQ(BringItemForward(t.page(), &item), 1);
  EXPECT_EQ(BringItemForward(t.page(), &item), 0);  // already on top
  EXPECT_EQ(item.index, 2);
  // The topmost picture under the centre is a.jpg now.
  ItemRef hit = HitItem(t.page(), &kFrame, 500, 300);
  EXPECT_EQ(hit.kind, ITEM_PICTURE);
  EXPECT_EQ(hit.index, 2);
  EXPECT_EQ(HitItem(t.page(), &kFrame, 5, 5).kind, ITEM_NONE);
  ASSERT_EQ(SendItemBack(t.page(), &item), 1);
  ASSERT_EQ(DeleteItem(t.page(), {ITEM_PICTURE, 0}), 1);
  ASSERT_EQ(t.page()->pictureCount, 2);
  EXPECT_STREQ(t.page()->pictures[0].path, "a.jpg");
  EXPECT_STREQ(t.page()->pictures[1].path, "c.jpg");

  // Texts lie above pictures; a text copied and pasted onto its own page
  // moves by the offset, onto another page it keeps its place.
  TextStyle style = {};
  style.font.lfHeight = 64;  // 100 pixels on a page 1000 wide
  strcpy(style.font.lfFaceName, "Arial");
  style.colour = 0x00112233;
  style.fadeSteps = 12;
  ASSERT_EQ(AddText(t.page(), "AB\r\nC", &style, 0.5, 0.5, &index), 1);
  EXPECT_EQ(t.page()->texts[0].length, 5);
  hit = HitItem(t.page(), &kFrame, 505, 305);
  EXPECT_EQ(hit.kind, ITEM_TEXT);
  EXPECT_EQ(hit.index, 0);
  PageBox box;
  TextBox(t.page(), 0, &kFrame, &box);  // not drawn yet: 2 lines of 100, 2 bytes of 50
  EXPECT_EQ(box.right - box.left, 100);
  EXPECT_EQ(box.bottom - box.top, 200);
  ItemClipboard clip;
  ASSERT_EQ(CopyItem(t.page(), hit, &clip), 1);
  ItemRef pasted;
  ASSERT_EQ(PasteItems(t.page(), &clip, &kFrame, 20, &pasted), 1);
  EXPECT_EQ(pasted.kind, ITEM_TEXT);
  EXPECT_EQ(pasted.index, 1);
  EXPECT_STREQ(PageText(t.page(), 1), "AB\r\nC");
  EXPECT_DOUBLE_EQ(t.page()->texts[1].anchor[0] * 1000, 520);
  EXPECT_DOUBLE_EQ(t.page()->texts[1].anchor[1] * 600, 320);
  EXPECT_EQ(t.page()->texts[1].colour, 0x00112233);
  EXPECT_EQ(t.page()->texts[1].fadeSteps, 12);
  ASSERT_EQ(CopyItem(t.page(), {ITEM_PICTURE, 1}, &clip), 1);
  ASSERT_EQ(DeleteItem(t.page(), {ITEM_PICTURE, 1}), 1);  // a cut
  TestPage other;
  ASSERT_EQ(PasteItems(other.page(), &clip, &kFrame, 20, &pasted), 1);
  ASSERT_EQ(other.page()->pictureCount, 1);
  EXPECT_STREQ(other.page()->pictures[0].path, "c.jpg");
  ASSERT_EQ(PasteItems(other.page(), &clip, &kFrame, 20, &pasted), 1);
  RECT first = PlayerRect(other.page()->pictures[0], 1000, 600), second = PlayerRect(other.page()->pictures[1], 1000, 600);
  EXPECT_EQ(second.left - first.left, 20);
  EXPECT_EQ(second.top - first.top, 20);
  ASSERT_EQ(DeleteItem(t.page(), {ITEM_TEXT, 0}), 1);
  ASSERT_EQ(t.page()->textCount, 1);
  EXPECT_STREQ(PageText(t.page(), 0), "AB\r\nC");
  ASSERT_EQ(SetText(t.page(), 0, "x", nullptr), 1);
  EXPECT_STREQ(PageText(t.page(), 0), "x");
  EXPECT_EQ(t.page()->texts[0].length, 1);
}

TEST(EditorPages, InsertDuplicateDeleteAndReorder) {
  TestPage t;
  PageArray *pages = &t.array;
  pages->pages[0].displayTime = 1000;
  ASSERT_EQ(InsertNewPage(pages, 1), 1);
  EXPECT_EQ(pages->pages[1].displayTime, 10000);
  EXPECT_EQ(pages->pages[1].backgroundFlag, 1);
  pages->pages[1].displayTime = 2000;
  TextStyle style = {};
  int32_t index;
  ASSERT_EQ(AddText(&pages->pages[1], "two", &style, 0.1, 0.1, &index), 1);
  ASSERT_EQ(DuplicatePage(pages, 1), 1);
  ASSERT_EQ(pages->pageCount, 3);
  EXPECT_EQ(pages->selectedPage, 2);
  EXPECT_EQ(pages->pages[2].displayTime, 2000);
  EXPECT_STREQ(PageText(&pages->pages[2], 0), "two");
  EXPECT_NE(pages->pages[2].textBuffers[0], pages->pages[1].textBuffers[0]);  // its own copy
  pages->pages[2].displayTime = 3000;
  ASSERT_EQ(InsertNewPage(pages, 0), 1);
  pages->pages[0].displayTime = 500;
  auto times = [&] {
    std::vector<int32_t> v;
    for (int32_t i = 0; i < pages->pageCount; ++i) v.push_back(pages->pages[i].displayTime);
    return v;
  };
  EXPECT_EQ(times(), (std::vector<int32_t>{500, 1000, 2000, 3000}));
  ASSERT_EQ(MovePage(pages, 0, 3), 1);
  EXPECT_EQ(times(), (std::vector<int32_t>{1000, 2000, 3000, 500}));
  ASSERT_EQ(MovePage(pages, 2, 0), 1);
  EXPECT_EQ(times(), (std::vector<int32_t>{3000, 1000, 2000, 500}));
  EXPECT_EQ(MovePage(pages, 0, 4), 0);
  ASSERT_EQ(DeletePage(pages, 2), 1);
  EXPECT_EQ(times(), (std::vector<int32_t>{3000, 1000, 500}));
  ASSERT_EQ(DeletePage(pages, 0), 1);
  ASSERT_EQ(DeletePage(pages, 0), 1);
  EXPECT_EQ(DeletePage(pages, 0), 0);  // the only page stays
  EXPECT_EQ(times(), (std::vector<int32_t>{500}));

  // Transitions: one to all, then taking turns.
  ASSERT_EQ(InsertNewPage(pages, 1), 1);
  ASSERT_EQ(InsertNewPage(pages, 2), 1);
  pages->pages[0].transitionId = 77;
  pages->pages[0].transitionWait = 5;
  pages->pages[0].transitionParams[4] = 9;
  ASSERT_EQ(ApplyTransitionToAll(pages, 0), 1);
  for (int32_t i = 0; i < 3; ++i) {
    EXPECT_EQ(pages->pages[i].transitionId, 77);
    EXPECT_EQ(pages->pages[i].transitionWait, 5);
    EXPECT_EQ(pages->pages[i].transitionParams[4], 9);
  }
  TransitionChoice choices[2] = {{11, 1, {4}}, {22, 2, {0, 8}}};
  ASSERT_EQ(TakeTurns(pages, choices, 2), 1);
  EXPECT_EQ(pages->pages[0].transitionId, 11);
  EXPECT_EQ(pages->pages[1].transitionId, 22);
  EXPECT_EQ(pages->pages[2].transitionId, 11);
  EXPECT_EQ(GetInt32(pages->pages[1].transitionParams + 4), 8);
  EXPECT_EQ(GetInt32(pages->pages[1].transitionParams + 0), 0);
  EXPECT_EQ(GetInt32(pages->pages[2].transitionParams + 0), 4);
}
