// Page timing, placement, orientation, font scaling, line splitting, fade
// frames and the music order, as pure functions.
#include "player/play_rules.h"

#include <cmath>

int PageTimeIsUp(uint32_t now, uint32_t pageStart, int32_t displayTime) {
  uint32_t shown = now - pageStart;  // modulo 2^32
  uint32_t wanted = displayTime > 0 ? uint32_t(displayTime) : 0u;
  return shown >= wanted;
}

int ShouldChangePage(uint32_t now, uint32_t pageStart, int32_t displayTime, int voicePlaying) {
  return !voicePlaying && PageTimeIsUp(now, pageStart, displayTime);
}

int32_t NextPageIndex(int32_t current, int32_t pageCount) {
  if (pageCount <= 0) return 0;
  int32_t next = current + 1;
  return (next >= pageCount || next < 0) ? 0 : next;
}

int32_t TruncToInt(double v) {
  const double limit = 1073741824.0;  // 2^30
  if (std::isnan(v)) return 0;
  if (v > limit) return int32_t(limit);
  if (v < -limit) return -int32_t(limit);
  return int32_t(v);
}

void FitPageRect(int32_t pageWidth, int32_t pageHeight, const RECT *screen, RECT *page) {
  *page = *screen;
  const int64_t sw = int64_t(screen->right) - screen->left, sh = int64_t(screen->bottom) - screen->top;
  if (pageWidth <= 0 || pageHeight <= 0 || sw <= 0 || sh <= 0) return;
  const int64_t pw = pageWidth, ph = pageHeight;
  int64_t width = sw, height = sh;
  if (pw * sh >= ph * sw) height = (sw * ph + pw / 2) / pw;
  else width = (sh * pw + ph / 2) / ph;
  page->left = LONG(screen->left + (sw - width) / 2);
  page->top = LONG(screen->top + (sh - height) / 2);
  page->right = LONG(page->left + width);
  page->bottom = LONG(page->top + height);
}

void PlacementTargetSize(const double placement[4], int32_t pageWidth, int32_t pageHeight, int32_t *width,
                         int32_t *height) {
  *width = TruncToInt(double(pageWidth) * (placement[2] - placement[0]) + 0.5);
  *height = TruncToInt(double(pageHeight) * (placement[3] - placement[1]) + 0.5);
}

void PlacementRect(const double placement[4], int32_t pageWidth, int32_t pageHeight, int32_t orientation,
                   RECT *rect) {
  rect->left = TruncToInt(double(pageWidth) * placement[0]);
  rect->top = TruncToInt(double(pageHeight) * placement[1]);
  rect->right = TruncToInt(double(pageWidth) * placement[2]);
  rect->bottom = TruncToInt(double(pageHeight) * placement[3]);
  if (orientation & 1) {
    int64_t width = int64_t(rect->right) - rect->left, height = int64_t(rect->bottom) - rect->top;
    rect->right = LONG(rect->left + height);
    rect->bottom = LONG(rect->top + width);
  }
}

void PagePlacementRect(const double placement[4], const RECT *page, int32_t orientation, RECT *rect) {
  PlacementRect(placement, page->right - page->left, page->bottom - page->top, orientation, rect);
  rect->left += page->left;
  rect->right += page->left;
  rect->top += page->top;
  rect->bottom += page->top;
}

int OrientationOps(int32_t code, OrientOp ops[2]) {
  // code = rotation + 4 * flip, rotation first. A half turn followed by one
  // flip is the other flip alone, so codes 6 and 8, and 4 and 10, agree.
  struct Steps {
    int count;
    OrientOp ops[2];
  };
  static const Steps table[ORIENTATION_CODE_COUNT] = {
      {0, {}},
      {1, {ORIENT_ROTATE90}},
      {1, {ORIENT_ROTATE180}},
      {1, {ORIENT_ROTATE270}},
      {1, {ORIENT_FLIP_VERTICAL}},
      {2, {ORIENT_ROTATE90, ORIENT_FLIP_VERTICAL}},
      {1, {ORIENT_FLIP_HORIZONTAL}},
      {2, {ORIENT_ROTATE270, ORIENT_FLIP_VERTICAL}},
      {1, {ORIENT_FLIP_HORIZONTAL}},
      {2, {ORIENT_ROTATE90, ORIENT_FLIP_HORIZONTAL}},
      {1, {ORIENT_FLIP_VERTICAL}},
      {2, {ORIENT_ROTATE270, ORIENT_FLIP_HORIZONTAL}},
  };
  if (code < 0 || code >= ORIENTATION_CODE_COUNT) return -1;
  const Steps &steps = table[code];
  for (int i = 0; i < steps.count; ++i) ops[i] = steps.ops[i];
  return steps.count;
}

int32_t ScaledFontHeight(int32_t height, int32_t clientWidth) {
  int64_t scaled = int64_t(height) * clientWidth / REFERENCE_PAGE_WIDTH;  // truncates towards zero
  if (scaled > INT32_MAX) return INT32_MAX;
  if (scaled < INT32_MIN) return INT32_MIN;
  return int32_t(scaled);
}

int32_t SplitTextLines(const char *text, TextLine *lines, int32_t capacity) {
  if (!text) text = "";
  int32_t count = 0;
  const char *start = text;
  for (const char *p = text;; ++p) {
    bool end = *p == 0;
    if (end || (p[0] == '\r' && p[1] == '\n')) {
      if (lines && count < capacity) lines[count] = {start, int32_t(p - start)};
      ++count;
      if (end) break;
      ++p;  // past the '\n'
      start = p + 1;
    }
  }
  return count;
}

int32_t TextFadeFrameCount(int32_t fadeSteps) {
  if (fadeSteps <= 1) return 0;
  int32_t frames = fadeSteps - 1;
  return frames < MAX_TEXT_FADE_FRAMES ? frames : MAX_TEXT_FADE_FRAMES;
}

int TextFadePercent(int32_t frame) {
  if (frame <= 0) return 0;
  if (frame >= MAX_TEXT_FADE_FRAMES) return 100;
  int percent = TEXT_FADE_STEP_PERCENT * frame;
  return percent < 100 ? percent : 100;
}

int32_t NextBgmSlot(const char *paths, size_t pathSize, int32_t count, int32_t current,
                    int (*exists)(const char *path)) {
  if (!paths || !exists) return 0;
  int32_t from = current < 0 ? 0 : current + 1;
  for (int32_t s = from; s < count; ++s) {
    const char *path = paths + size_t(s) * pathSize;
    if (path[0] && exists(path)) return s;
  }
  return 0;
}
