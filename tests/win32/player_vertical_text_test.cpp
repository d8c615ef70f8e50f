// Vertical text ('@' face) by its pixels: upright characters, each line a
// column read top to bottom, the first line the rightmost column. The
// characters tell orientation apart by their ink: "一" is one horizontal
// stroke (upright it is much wider than tall; on its side it would be much
// taller than wide) and "口" is a hollow square whose side strokes reach
// below its bottom stroke (upside down, the legs would stand on top).
#include <gtest/gtest.h>

#include <algorithm>

#include "player/page_text.h"
#include "tests/win32/player_fixture.h"

using namespace player_test;

namespace {
const char kVerticalGothic[] = "@ＭＳ ゴシック";
constexpr COLORREF kBack = RGB(0, 0, 0);

// The bounding box of the pixels in r that differ from the background; empty
// (right <= left) when there are none.
RECT InkIn(const TestSurface &s, RECT r) {
  RECT box = {r.right, r.bottom, r.left, r.top};
  for (int y = std::max<LONG>(r.top, 0); y < std::min<LONG>(r.bottom, s.height); ++y)
    for (int x = std::max<LONG>(r.left, 0); x < std::min<LONG>(r.right, s.width); ++x)
      if (s.At(x, y) != kBack) {
        box.left = std::min<LONG>(box.left, x);
        box.top = std::min<LONG>(box.top, y);
        box.right = std::max<LONG>(box.right, x + 1);
        box.bottom = std::max<LONG>(box.bottom, y + 1);
      }
  return box;
}

bool Empty(const RECT &r) { return r.right <= r.left || r.bottom <= r.top; }
LONG W(const RECT &r) { return r.right - r.left; }
LONG H(const RECT &r) { return r.bottom - r.top; }

// "一": a flat stroke.
void ExpectFlatStroke(const RECT &ink) {
  ASSERT_FALSE(Empty(ink));
  EXPECT_GT(W(ink), 3 * H(ink)) << "ink " << W(ink) << " x " << H(ink);
}

int InkInRow(const TestSurface &s, const RECT &ink, LONG y) {
  int count = 0;
  for (LONG x = ink.left; x < ink.right; ++x) count += s.At(x, y) != kBack;
  return count;
}

// "口": about as wide as tall, background in its middle, and upright: its top
// edge is the full top stroke, its bottom edge only the two short legs that
// the side strokes put below the bottom stroke.
void ExpectUprightSquare(const TestSurface &s, const RECT &ink) {
  ASSERT_FALSE(Empty(ink));
  EXPECT_GT(W(ink) * 10, H(ink) * 7) << "ink " << W(ink) << " x " << H(ink);
  EXPECT_GT(H(ink) * 10, W(ink) * 7) << "ink " << W(ink) << " x " << H(ink);
  EXPECT_EQ(s.At((ink.left + ink.right) / 2, (ink.top + ink.bottom) / 2), kBack);
  EXPECT_GT(InkInRow(s, ink, ink.top), 2 * InkInRow(s, ink, ink.bottom - 1));
}

class VerticalText : public PlayerTest {};
}  // namespace

TEST_F(VerticalText, UprightColumnsTopToBottomFirstLineOnTheRight) {
  UsePlayerWindow(640, 480);
  Page &page = AddPage(0);
  AddText(page, "一口\r\n口", kVerticalGothic, 40, 0.5, 0.1, RGB(255, 255, 255));
  Prepare();
  TestSurface s(640, 480, kBack);
  DrawPageText(s.dc, CurrentPage(), &Player.view, 0);
  SaveSnapshot(s, "vertical_text");

  // The font's own measures, taken here: a column is one line height wide
  // (the height of "8"); along a column each character takes its advance.
  LOGFONTA lf = {};
  lf.lfHeight = 40;  // 40 * 640 / 640
  lf.lfWeight = FW_NORMAL;
  lf.lfCharSet = SHIFTJIS_CHARSET;
  strcpy(lf.lfFaceName, kVerticalGothic);
  HDC dc = CreateCompatibleDC(nullptr);
  HFONT font = CreateFontIndirectA(&lf);
  HGDIOBJ old = SelectObject(dc, font);
  auto extent = [&](const char *text) {
    SIZE size = {};
    GetTextExtentPoint32A(dc, text, int(strlen(text)), &size);
    return size;
  };
  const LONG line = extent("8").cy, one = extent("一").cx, mouth = extent("口").cx;
  const LONG length = std::max(extent("一口").cx, extent("8").cx);
  SelectObject(dc, old);
  DeleteObject(font);
  DeleteDC(dc);
  ASSERT_GT(line, 20);
  ASSERT_GT(one, 20);

  // Anchor (320, 48); two columns, so the box is two line heights wide.
  const LONG x = 320, y = 48;
  const RECT box = {x, y, x + 2 * line, y + length};
  RECT all = InkIn(s, {0, 0, 640, 480});
  ASSERT_FALSE(Empty(all));
  EXPECT_GE(all.left, box.left);
  EXPECT_GE(all.top, box.top);
  EXPECT_LE(all.right, box.right);
  EXPECT_LE(all.bottom, box.bottom);

  // First line, right column: "一" at the top, "口" below it.
  const LONG right = x + line;
  {
    SCOPED_TRACE("first line, first character");
    ExpectFlatStroke(InkIn(s, {right, y, right + line, y + one}));
  }
  {
    SCOPED_TRACE("first line, second character");
    ExpectUprightSquare(s, InkIn(s, {right, y + one, right + line, y + one + mouth}));
  }
  // Second line, left column: "口" at the top and nothing below it.
  {
    SCOPED_TRACE("second line");
    ExpectUprightSquare(s, InkIn(s, {x, y, x + line, y + mouth}));
    EXPECT_TRUE(Empty(InkIn(s, {x, y + mouth, x + line, 480})));
  }
}
