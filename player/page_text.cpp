// Drawing one text of the current page: the font scaled with the client
// width, the box measured from the lines and the string "8", horizontal or
// vertical ('@' faces, turned with quarter turns), faded in over the captured
// background when the page is entering, and the drawn extent written back.
#include <cstring>

#include "player/page_compose.h"
#include "player/play_rules.h"
#include "player/player_seams.h"
#include "player/player_state.h"
#include "raster/dib.h"
#include "shell/base/mem_block.h"
#include "shell/base/startup_state.h"
#include "show/show_document.h"
#include "transitions/abort_poll.h"

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

}  // namespace

void DrawPageText(HDC dc, int32_t textIndex) {
  if (!dc || !Show.pages.pages || Player.currentPage < 0 || Player.currentPage >= Show.pages.pageCount) return;
  Page *page = &Show.pages.pages[Player.currentPage];
  if (textIndex < 0 || textIndex >= page->textCount || !page->texts) return;
  TextRecord *record = &page->texts[textIndex];
  const char *text = PageText(page, textIndex);
  int32_t width, height;
  PlayerClientSize(&width, &height);

  LOGFONTA font = record->font;
  font.lfFaceName[LF_FACESIZE - 1] = 0;
  font.lfHeight = ScaledFontHeight(font.lfHeight, width);
  const bool vertical = font.lfFaceName[0] == '@';
  HFONT handle = CreatePageFont(&font, vertical);
  if (!handle) return;
  HGDIOBJ oldFont = SelectObject(dc, handle);

  // The "8" gives the line height and the smallest box width.
  SIZE eight = {0, 0};
  GetTextExtentPoint32A(dc, "8", 1, &eight);
  const int32_t lineHeight = eight.cy;
  const int32_t italicAddition = font.lfItalic ? eight.cx / 2 : 0;
  int32_t lineCount = SplitTextLines(text, nullptr, 0);
  auto *lines = static_cast<TextLine *>(MemAlloc(size_t(lineCount) * sizeof(TextLine)));
  if (!lines) {
    SelectObject(dc, oldFont);
    DeleteObject(handle);
    return;
  }
  SplitTextLines(text, lines, lineCount);
  int64_t boxWidth = eight.cx;
  for (int32_t k = 0; k < lineCount; ++k) {
    SIZE extent = {0, 0};
    if (lines[k].length > 0) GetTextExtentPoint32A(dc, lines[k].start, lines[k].length, &extent);
    if (int64_t(extent.cx) + italicAddition > boxWidth) boxWidth = int64_t(extent.cx) + italicAddition;
  }
  int64_t boxHeight = int64_t(lineCount) * lineHeight;
  const int x = TruncToInt(double(width) * record->anchor[0]);
  const int y = TruncToInt(double(height) * record->anchor[1]);

  // The working box holds the text lying horizontally; for vertical text the
  // screen area is the box turned a quarter turn.
  const int32_t bw = int32_t(boxWidth), bh = int32_t(boxHeight);
  void *screenBackground = nullptr, *working = nullptr, *textImage = nullptr;
  HDC memory = nullptr;
  HBITMAP bitmap = nullptr;
  if (boxWidth > 0 && boxHeight > 0 && boxWidth < 0x8000 && boxHeight < 0x8000) {
    screenBackground = vertical ? CaptureArea(dc, x, y, bh, bw) : CaptureArea(dc, x, y, bw, bh);
    working = vertical ? DibRotate270(screenBackground) : screenBackground;
    memory = CreateCompatibleDC(dc);
    bitmap = memory ? CreateCompatibleBitmap(dc, bw, bh) : nullptr;
  }
  if (working && bitmap) {
    HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
    DibDraw(memory, 0, 0, bw, bh, working, 0, 0);
    HGDIOBJ oldMemoryFont = SelectObject(memory, handle);
    SetBkMode(memory, TRANSPARENT);
    SetTextColor(memory, COLORREF(record->colour));
    for (int32_t k = 0; k < lineCount; ++k)
      if (lines[k].length > 0) TextOutA(memory, 0, k * lineHeight, lines[k].start, lines[k].length);
    SelectObject(memory, oldMemoryFont);
    SelectObject(memory, oldBitmap);
    textImage = DibFromBitmap(bitmap, BI_RGB, 24, nullptr);
  }
  int32_t screenWidth = bw, screenHeight = bh;
  if (textImage && vertical) {
    // Upright characters in columns read top to bottom, first line on the right.
    void *upright = DibRotate90(textImage);
    MemFree(&textImage);
    textImage = upright;
    screenWidth = bh;
    screenHeight = bw;
  }

  if (textImage) {
    const bool fade = Player.pageEntering && record->fadeSteps > 1 && !Startup.settings.noTextAnimation;
    if (fade && screenBackground) {
      RECT box = {0, 0, screenWidth, screenHeight};
      int32_t frames = TextFadeFrameCount(record->fadeSteps);
      for (int32_t k = 1; k <= frames; ++k) {
        int percent = TextFadePercent(k);
        void *frame = DibBlend(screenBackground, &box, textImage, percent, COLORREF(-1));
        if (frame) DibDraw(dc, x, y, screenWidth, screenHeight, frame, 0, 0);
        MemFree(&frame);
        if (PlayerSeam.fadeFrame) PlayerSeam.fadeFrame(percent);
        if (AbortRequested(Player.playMode == PLAY_MODE_SAVER)) break;
      }
    }
    DibDraw(dc, x, y, screenWidth, screenHeight, textImage, 0, 0);
    if (width > 0 && height > 0) {
      record->extent[0] = record->anchor[0] + double(screenWidth) / width;
      record->extent[1] = record->anchor[1] + double(screenHeight) / height;
    }
  }

  if (working != screenBackground) MemFree(&working);
  MemFree(&screenBackground);
  MemFree(&textImage);
  if (bitmap) DeleteObject(bitmap);
  if (memory) DeleteDC(memory);
  MemFree(&lines);
  SelectObject(dc, oldFont);
  DeleteObject(handle);
}
