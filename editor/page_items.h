// The editor's operations on one page's pictures and texts, as free
// functions over the page's own records: adding, moving and resizing with
// the snap grid, turning and mirroring, the drop shadow, drawing order,
// deleting, and the item clipboard. Geometry is worked in the page's pixels
// (PageFrame) and stored as fractions of the page, as the player reads it.
// Results are 1 or 0 (0: index out of range or memory exhausted, nothing
// changed).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "editor/orientation_turns.h"
#include "editor/page_frame.h"
#include "show/show_pages.h"

// A rectangle in page pixels.
struct PageBox {
  double left, top, right, bottom;
};

enum ItemKind { ITEM_NONE, ITEM_PICTURE, ITEM_TEXT };
struct ItemRef {
  ItemKind kind;
  int32_t index;
};

// The picture's rectangle as it shows on the page, in whole pixels as the
// player draws it: its placement times the page size, truncated; an odd
// orientation code keeps the top-left corner and exchanges the extents.
void PictureBox(const PictureRecord *picture, const PageFrame *frame, PageBox *box);
// The placement that shows the picture in box (the inverse of PictureBox).
void SetPictureBox(PictureRecord *picture, const PageFrame *frame, const PageBox *box);

// Where a picture of width x height (as it shows, upright) goes when it is
// fitted onto the page, as the folder command fits it: as large as fits
// inside the margin, proportions kept, centred, in whole pixels.
void FitBox(const PageFrame *frame, int32_t width, int32_t height, PageBox *box);

// Appends a picture record for path (CP932, shorter than PATH_SIZE) of
// storedWidth x storedHeight pixels as stored in its file, shown upright by
// orientation, fitted onto the page. index receives the new picture's place.
int AddFittedPicture(Page *page, const PageFrame *frame, const char *path, int32_t storedWidth, int32_t storedHeight,
                     int32_t orientation, int32_t *index);

// Moves the item by dx, dy page pixels; with a grid, its top-left corner
// lands on the nearest grid point.
int MoveItem(Page *page, ItemRef item, const PageFrame *frame, double dx, double dy);
// The arrow keys: one grid step (one pixel without a grid) in direction
// (dx, dy each -1, 0 or 1), onto the grid.
int NudgeItem(Page *page, ItemRef item, const PageFrame *frame, int dx, int dy);

enum BoxCorner { CORNER_TOP_LEFT, CORNER_TOP_RIGHT, CORNER_BOTTOM_LEFT, CORNER_BOTTOM_RIGHT };
// Resizing a picture by dragging one corner of the box it had when the drag
// began (start) to the point (x, y): the opposite corner stays. Proportions
// are kept unless freed: the side that grows more relative to start decides
// the scale. With a grid, the dragged corner's deciding coordinate (both
// when freed) lands on the grid. The box never turns inside out: each side
// is at least MIN_PICTURE_SIDE pixels.
constexpr double MIN_PICTURE_SIDE = 4;
int ResizePicture(Page *page, int32_t index, const PageFrame *frame, const PageBox *start, BoxCorner corner, double x,
                  double y, int keepProportions);

// Turns or mirrors a picture about the centre of its box.
int TurnPicture(Page *page, int32_t index, const PageFrame *frame, OrientationTurn turn);
int SetPictureShadow(Page *page, int32_t index, int shadow);

// Drawing order: pictures are drawn in record order and every text after
// them; forward moves an item one place later among its kind, back one place
// earlier. item->index follows the item.
int BringItemForward(Page *page, ItemRef *item);
int SendItemBack(Page *page, ItemRef *item);
int DeleteItem(Page *page, ItemRef item);

// Texts. text is CP932 (lines separated by "\r\n"); font is the record's
// LOGFONTA (height for a page 640 pixels wide; '@' before the face: vertical).
struct TextStyle {
  LOGFONTA font;
  COLORREF colour;
  int32_t fadeSteps;
};
int AddText(Page *page, const char *text, const TextStyle *style, double left, double top, int32_t *index);
int SetText(Page *page, int32_t index, const char *text, const TextStyle *style);
void GetTextStyle(const TextRecord *record, TextStyle *style);
// The text's box as last drawn (its anchor to its extent); before any drawing
// an estimate from the font height and the longest line.
void TextBox(const Page *page, int32_t index, const PageFrame *frame, PageBox *box);

// The topmost item under (x, y) in page pixels, ITEM_NONE when none: texts
// above pictures, later items above earlier ones.
ItemRef HitItem(const Page *page, const PageFrame *frame, double x, double y);

// Copied items, between pages.
struct ItemClipboard {
  std::vector<PictureRecord> pictures;
  std::vector<TextRecord> texts;
  std::vector<std::string> textStrings;
};
int CopyItem(const Page *page, ItemRef item, ItemClipboard *clip);
// Appends the clipboard's items to the page; item receives the last one.
// Items that would land exactly on an equal item of the page (pasting onto
// the page they came from) are moved by offset page pixels down and right.
int PasteItems(Page *page, const ItemClipboard *clip, const PageFrame *frame, double offset, ItemRef *item);
