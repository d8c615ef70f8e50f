// Drawing one text of the current page: the font scaled with the client
// width, the box measured from the lines and the string "8", horizontal or
// vertical ('@' faces, turned with quarter turns), faded in over the captured
// background when the page is entering, and the drawn extent written back.
#include "player/page_text.h"

#include <cstring>

#include "player/page_model.h"
#include "player/play_rules.h"
#include "player/player_screens.h"
#include "player/player_seams.h"
#include "player/player_state.h"
#include "raster/dib.h"
#include "shell/base/mem_block.h"
#include "shell/base/startup_state.h"
#include "transitions/abort_poll.h"

const char *const FALLBACK_FACE_NAME = "ＭＳ ゴシック";

namespace {

// The screen under (x, y, w, h) as a 24-bit image.
void *CaptureArea(HDC dc, int x, int y, int w, int h) {
  if (w <= 0 || h <= 0) return nullptr;
  HDC memory = CreateCompatibleDC(dc);
  HBITMAP bitmap = memory ? CreateCompatibleBitmap(dc, w, h) : nullptr;
  void *dib = nullptr;
  if (bitmap) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    BOOL copied = BitBlt(memory, 0, 0, w, h, dc, x, y, SRCCOPY);
    SelectObject(memory, old);
    if (copied) dib = DibFromBitmap(bitmap, BI_RGB, 24, nullptr);
    DeleteObject(bitmap);
  }
  if (memory) DeleteDC(memory);
  return dib;
}

HFONT CreatePageFont(LOGFONTA *font, bool vertical) {
  HFONT handle = CreateFontIndirectA(font);
  if (handle) return handle;
  char face[LF_FACESIZE] = {};
  if (vertical) face[0] = '@';
  strncat(face, FALLBACK_FACE_NAME, LF_FACESIZE - 2);
  memcpy(font->lfFaceName, face, LF_FACESIZE);
  return CreateFontIndirectA(font);
}

// A text measured in the font selected into a device context: its lines and
// the box they fill lying horizontally.
struct TextLayout {
  TextLine *lines;  // memory block of lineCount lines
  int32_t lineCount;
  int32_t lineHeight;
  int64_t boxWidth, boxHeight;
};

// The "8" gives the line height and the smallest box width; an italic font
// makes every line half an "8" wider. 0 when memory runs out.
int MeasureText(HDC dc, const char *text, bool italic, TextLayout *layout) {
  SIZE eight = {0, 0};
  GetTextExtentPoint32A(dc, "8", 1, &eight);
  layout->lineHeight = eight.cy;
  const int32_t italicAddition = italic ? eight.cx / 2 : 0;
  layout->lineCount = SplitTextLines(text, nullptr, 0);
  layout->lines = static_cast<TextLine *>(MemAlloc(size_t(layout->lineCount) * sizeof(TextLine)));
  if (!layout->lines) return 0;
  SplitTextLines(text, layout->lines, layout->lineCount);
  layout->boxWidth = eight.cx;
  for (int32_t k = 0; k < layout->lineCount; ++k) {
    const TextLine &line = layout->lines[k];
    SIZE extent = {0, 0};
    if (line.length > 0) GetTextExtentPoint32A(dc, line.start, line.length, &extent);
    if (int64_t(extent.cx) + italicAddition > layout->boxWidth) layout->boxWidth = int64_t(extent.cx) + italicAddition;
  }
  layout->boxHeight = int64_t(layout->lineCount) * layout->lineHeight;
  return 1;
}

// A rendered text and the screen it covers, both as they lie on the screen.
struct TextImage {
  void *background;  // the screen under the text (24 bits)
  void *text;        // the text drawn over that background; null when it could not be made
  int32_t width, height;
};

// Captures the screen under the text's box at (x, y) and draws the lines over
// it. The working box holds the text lying horizontally; for vertical text the
// screen area is the box turned a quarter turn, and the result is turned
// upright: characters in columns read top to bottom, first line on the right.
void RenderText(HDC dc, HFONT font, COLORREF colour, bool vertical, int x, int y, const TextLayout &layout,
                TextImage *out) {
  *out = {nullptr, nullptr, 0, 0};
  const int64_t boxWidth = layout.boxWidth, boxHeight = layout.boxHeight;
  if (!(boxWidth > 0 && boxHeight > 0 && boxWidth < 0x8000 && boxHeight < 0x8000)) return;
  const int32_t bw = int32_t(boxWidth), bh = int32_t(boxHeight);
  out->background = vertical ? CaptureArea(dc, x, y, bh, bw) : CaptureArea(dc, x, y, bw, bh);
  void *working = vertical ? DibRotate270(out->background) : out->background;
  HDC memory = CreateCompatibleDC(dc);
  HBITMAP bitmap = memory ? CreateCompatibleBitmap(dc, bw, bh) : nullptr;
  if (working && bitmap) {
    HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
    DibDraw(memory, 0, 0, bw, bh, working, 0, 0);
    HGDIOBJ oldMemoryFont = SelectObject(memory, font);
    SetBkMode(memory, TRANSPARENT);
    SetTextColor(memory, colour);
    for (int32_t k = 0; k < layout.lineCount; ++k) {
      const TextLine &line = layout.lines[k];
      if (line.length > 0) TextOutA(memory, 0, k * layout.lineHeight, line.start, line.length);
    }
    SelectObject(memory, oldMemoryFont);
    SelectObject(memory, oldBitmap);
    out->text = DibFromBitmap(bitmap, BI_RGB, 24, nullptr);
  }
  if (working != out->background) MemFree(&working);
  if (bitmap) DeleteObject(bitmap);
  if (memory) DeleteDC(memory);
  out->width = bw;
  out->height = bh;
  if (out->text && vertical) {
    void *upright = DibRotate90(out->text);
    MemFree(&out->text);
    out->text = upright;
    out->width = bh;
    out->height = bw;
  }
}

// Draws the text at (x, y): with fade, first blended over its background in
// growing strength frame by frame (user input ends the fade early), then whole.
void FadeInText(HDC dc, int x, int y, const TextImage &image, bool fade, int32_t fadeSteps) {
  if (fade && image.background) {
    RECT box = {0, 0, image.width, image.height};
    int32_t frames = TextFadeFrameCount(fadeSteps);
    for (int32_t k = 1; k <= frames; ++k) {
      int percent = TextFadePercent(k);
      void *frame = DibBlend(image.background, &box, image.text, percent, COLORREF(-1));
      if (frame) DibDraw(dc, x, y, image.width, image.height, frame, 0, 0);
      MemFree(&frame);
      if (PlayerSeam.fadeFrame) PlayerSeam.fadeFrame(percent);
      if (AbortRequested(Player.playMode == PLAY_MODE_SAVER)) {
        StopEnteringOnAllScreens();
        break;
      }
    }
  }
  DibDraw(dc, x, y, image.width, image.height, image.text, 0, 0);
}

}  // namespace

void DrawPageText(HDC dc, Page *page, PageView *view, int32_t textIndex) {
  if (!dc || !page || !view) return;
  if (textIndex < 0 || textIndex >= page->textCount || !page->texts) return;
  TextRecord *record = &page->texts[textIndex];
  const char *text = PageText(page, textIndex);
  const int32_t width = view->page.right - view->page.left, height = view->page.bottom - view->page.top;

  LOGFONTA font = record->font;
  font.lfFaceName[LF_FACESIZE - 1] = 0;
  font.lfHeight = ScaledFontHeight(font.lfHeight, width);
  const bool vertical = font.lfFaceName[0] == '@';
  HFONT handle = CreatePageFont(&font, vertical);
  if (!handle) return;
  HGDIOBJ oldFont = SelectObject(dc, handle);

  TextLayout layout;
  if (MeasureText(dc, text, font.lfItalic != 0, &layout)) {
    const int x = view->page.left + TruncToInt(double(width) * record->anchor[0]);
    const int y = view->page.top + TruncToInt(double(height) * record->anchor[1]);
    TextImage image;
    RenderText(dc, handle, COLORREF(record->colour), vertical, x, y, layout, &image);
    if (image.text) {
      const bool fade = view->entering && record->fadeSteps > 1 && !Startup.settings.noTextAnimation;
      FadeInText(dc, x, y, image, fade, record->fadeSteps);
      if (view->keepsExtents && width > 0 && height > 0) {
        record->extent[0] = record->anchor[0] + double(image.width) / width;
        record->extent[1] = record->anchor[1] + double(image.height) / height;
      }
    }
    MemFree(&image.background);
    MemFree(&image.text);
  }
  MemFree(&layout.lines);
  SelectObject(dc, oldFont);
  DeleteObject(handle);
}
