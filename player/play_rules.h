// The player's decisions that need no window: when a page is due to change,
// where a picture lands and how it is turned, how fonts scale with the page,
// how a text is split into lines and how its fade runs, and which music slot
// follows. Pure functions over plain values; the Win32 player calls them.
#pragma once

#include <cstddef>
#include <cstdint>

#include "shell/base/win_types.h"

constexpr uint32_t PLAY_TIMER_ID = 1;
constexpr uint32_t PLAY_TICK_MS = 50;
constexpr int32_t REFERENCE_PAGE_WIDTH = 640;  // font heights are given for this page width
constexpr int TEXT_FADE_STEP_PERCENT = 7;
constexpr int MAX_TEXT_FADE_FRAMES = (100 + TEXT_FADE_STEP_PERCENT - 1) / TEXT_FADE_STEP_PERCENT;  // 15

// ---- scheduling ---------------------------------------------------------------
// 1 when the page shown since pageStart has been up for its display time at
// now. Ticks are milliseconds of a 32-bit counter; the difference is taken
// modulo 2^32, so a wrap of the counter neither stalls nor skips a page. A
// negative display time (a damaged show) counts as 0.
int PageTimeIsUp(uint32_t now, uint32_t pageStart, int32_t displayTime);
// The scheduler's test on each tick: the time is up and no voice is playing.
int ShouldChangePage(uint32_t now, uint32_t pageStart, int32_t displayTime, int voicePlaying);
// The page after current in a show of pageCount pages (back to 0 after the last).
int32_t NextPageIndex(int32_t current, int32_t pageCount);

// ---- page and picture geometry ----------------------------------------------
// How every pixel rectangle of a page is computed, for the saver, each
// monitor, the editor's canvas, thumbnails and `vormkit-pack decode --size`:
//
// 1. The page rectangle. A show records the page size P = pw x ph it was laid
//    out for. On a screen S = sw x sh the page rectangle is the largest
//    rectangle of P's shape inside S, centred: when pw * sh >= ph * sw (the
//    page is relatively wider) its width is sw and its height
//    floor((sw * ph + pw / 2) / pw), else its height is sh and its width
//    floor((sh * pw + ph / 2) / ph) (integer arithmetic, halves rounded up);
//    it is moved right by floor((sw - width) / 2) and down by
//    floor((sh - height) / 2). Without a recorded page size the page
//    rectangle is the whole screen.
// 2. Each placement inside it. With W x H the page rectangle's size, a
//    picture's rectangle is left + trunc(W * l), top + trunc(H * t),
//    left + trunc(W * r), top + trunc(H * b); an odd orientation code keeps
//    the top-left corner and exchanges the extents. Its layer is scaled once
//    to trunc(W * (r - l) + 0.5) x trunc(H * (b - t) + 0.5). Text anchors are
//    left + trunc(W * x), top + trunc(H * y), and font heights scale with W.
//
// v converted to an integer by truncation towards zero; NaN gives 0 and values
// beyond +-2^30 are held there, so damaged placements stay representable.
int32_t TruncToInt(double v);
// Step 1: the page rectangle of a pageWidth x pageHeight page on screen (the
// whole screen when either side is 0 or less, or the screen is empty).
void FitPageRect(int32_t pageWidth, int32_t pageHeight, const RECT *screen, RECT *page);
// Step 2, relative to the page rectangle's top-left corner, for a page
// rectangle of pageWidth x pageHeight pixels: the size a picture's layer is
// scaled to, and the picture's rectangle.
void PlacementTargetSize(const double placement[4], int32_t pageWidth, int32_t pageHeight, int32_t *width,
                         int32_t *height);
void PlacementRect(const double placement[4], int32_t pageWidth, int32_t pageHeight, int32_t orientation,
                   RECT *rect);
// Step 2 in the screen's coordinates: the picture's rectangle on page.
void PagePlacementRect(const double placement[4], const RECT *page, int32_t orientation, RECT *rect);

// The five image operations that orientation codes are composed of.
enum OrientOp { ORIENT_ROTATE90, ORIENT_ROTATE180, ORIENT_ROTATE270, ORIENT_FLIP_VERTICAL, ORIENT_FLIP_HORIZONTAL };
constexpr int32_t ORIENTATION_CODE_COUNT = 12;
// The operations for code (rotation first, then the flip) into ops[0..1]:
// returns their count 0..2, or -1 for a code outside 0..11 (nothing is drawn).
int OrientationOps(int32_t code, OrientOp ops[2]);

// ---- text ---------------------------------------------------------------------
// A font height for a page 640 pixels wide, scaled to a page pageWidth wide:
// (height * pageWidth) / 640, truncated towards zero.
int32_t ScaledFontHeight(int32_t height, int32_t pageWidth);

struct TextLine {
  const char *start;
  int32_t length;  // bytes, without the line break
};
// Splits text at each "\r\n"; the end of the text ends the last line, so a
// text ending in "\r\n" has an empty last line and "" is one empty line.
// Fills at most capacity entries of lines (which may be null) and returns the
// number of lines.
int32_t SplitTextLines(const char *text, TextLine *lines, int32_t capacity);

// The blend frames of a text fade of fadeSteps steps: frame k (1-based) is
// drawn at TextFadePercent(k). Steps 0 and 1 mean no fade. The count stops at
// the first frame at full strength: later frames would draw the same pixels
// again, and a damaged step count must not keep the window busy.
int32_t TextFadeFrameCount(int32_t fadeSteps);
int TextFadePercent(int32_t frame);  // 7 * frame, at most 100

// ---- background music -------------------------------------------------------
// The slot that follows current: the first of current + 1 .. count - 1 whose
// path is not empty and names an existing file (exists(path) != 0), else 0.
// paths are count buffers of pathSize bytes.
int32_t NextBgmSlot(const char *paths, size_t pathSize, int32_t count, int32_t current,
                    int (*exists)(const char *path));
