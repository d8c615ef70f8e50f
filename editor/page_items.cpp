// Pictures and texts of one page: geometry in page pixels, stored as
// fractions that the player's truncation turns back into the same pixels.
#include "editor/page_items.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "shell/base/mem_block.h"
#include "show/folder_fit.h"

namespace {
bool ValidPicture(const Page *page, int32_t index) { return page && index >= 0 && index < page->pictureCount; }
bool ValidText(const Page *page, int32_t index) { return page && index >= 0 && index < page->textCount; }

// A fraction f of size with trunc(f * size) == pixel, so that the player,
// which truncates, lands on the pixel the editor showed.
double Fraction(double pixel, int32_t size) {
  double f = pixel / size;
  for (int k = 0; k < 4 && std::trunc(f * size) != std::trunc(pixel); ++k)
    f = std::nextafter(f, pixel > 0 ? HUGE_VAL : -HUGE_VAL);
  return f;
}

// Grows a record block of count records by one (zeroed); null on failure.
template <typename T>
T *GrowByOne(T *block, int32_t count) {
  return static_cast<T *>(MemRealloc(block, size_t(count + 1) * sizeof(T)));
}

char *DupText(const char *text) {
  size_t n = strlen(text);
  char *copy = static_cast<char *>(MemAlloc(n + 1));
  if (copy) memcpy(copy, text, n);
  return copy;
}

int InsertPictureRecord(Page *page, const PictureRecord *record, int32_t *index) {
  PictureRecord *grown = GrowByOne(page->pictures, page->pictureCount);
  if (!grown) return 0;
  page->pictures = grown;
  grown[page->pictureCount] = *record;
  if (index) *index = page->pictureCount;
  page->pictureCount += 1;
  return 1;
}

int InsertTextRecord(Page *page, const TextRecord *record, const char *text, int32_t *index) {
  char *copy = DupText(text);
  if (!copy) return 0;
  TextRecord *records = GrowByOne(page->texts, page->textCount);
  if (!records) {
    MemFreePtr(copy);
    return 0;
  }
  page->texts = records;
  char **buffers = GrowByOne(page->textBuffers, page->textCount);
  if (!buffers) {
    MemFreePtr(copy);
    return 0;
  }
  page->textBuffers = buffers;
  records[page->textCount] = *record;
  records[page->textCount].length = int32_t(strlen(copy));
  records[page->textCount].bufferField = 0;
  buffers[page->textCount] = copy;
  if (index) *index = page->textCount;
  page->textCount += 1;
  return 1;
}

void ShiftTextTo(TextRecord *text, const PageFrame *frame, double left, double top) {
  double dx = left / frame->width - text->anchor[0], dy = top / frame->height - text->anchor[1];
  text->anchor[0] = Fraction(left, frame->width);
  text->anchor[1] = Fraction(top, frame->height);
  text->extent[0] += dx;
  text->extent[1] += dy;
}
}  // namespace

void PictureBox(const PictureRecord *picture, const PageFrame *frame, PageBox *box) {
  // The player's own rule: each side times the page size, truncated.
  const double *p = picture->placement;
  box->left = std::trunc(frame->width * p[0]);
  box->top = std::trunc(frame->height * p[1]);
  double w = std::trunc(frame->width * p[2]) - box->left, h = std::trunc(frame->height * p[3]) - box->top;
  if (picture->orientation % 2) std::swap(w, h);
  box->right = box->left + w;
  box->bottom = box->top + h;
}

void SetPictureBox(PictureRecord *picture, const PageFrame *frame, const PageBox *box) {
  double left = std::round(box->left), top = std::round(box->top);
  double w = std::round(box->right - box->left), h = std::round(box->bottom - box->top);
  if (picture->orientation % 2) std::swap(w, h);
  picture->placement[0] = Fraction(left, frame->width);
  picture->placement[1] = Fraction(top, frame->height);
  picture->placement[2] = Fraction(left + w, frame->width);
  picture->placement[3] = Fraction(top + h, frame->height);
}

void FitBox(const PageFrame *frame, int32_t width, int32_t height, PageBox *box) {
  // The folder command's fit, so that a picture added by hand lands where a
  // folder's picture does.
  const int32_t margin = FitMargin(frame->width, frame->height);
  RECT place;
  FitPictureInBox(margin, frame->width - 2 * margin, frame->height - 2 * margin, width, height, &place);
  *box = {double(place.left), double(place.top), double(place.right), double(place.bottom)};
}

int AddFittedPicture(Page *page, const PageFrame *frame, const char *path, int32_t storedWidth, int32_t storedHeight,
                     int32_t orientation, int32_t *index) {
  if (!page || !path || strlen(path) >= PATH_SIZE || orientation < 0 || orientation > 11) return 0;
  PictureRecord record = {};
  memcpy(record.path, path, strlen(path) + 1);
  record.orientation = orientation;
  PageBox box;
  if (orientation % 2) FitBox(frame, storedHeight, storedWidth, &box);
  else FitBox(frame, storedWidth, storedHeight, &box);
  SetPictureBox(&record, frame, &box);
  return InsertPictureRecord(page, &record, index);
}

int MoveItem(Page *page, ItemRef item, const PageFrame *frame, double dx, double dy) {
  if (item.kind == ITEM_PICTURE && ValidPicture(page, item.index)) {
    PictureRecord *picture = &page->pictures[item.index];
    PageBox box;
    PictureBox(picture, frame, &box);
    double left = SnapToGrid(box.left + dx, frame->grid), top = SnapToGrid(box.top + dy, frame->grid);
    PageBox moved = {left, top, left + (box.right - box.left), top + (box.bottom - box.top)};
    SetPictureBox(picture, frame, &moved);
    return 1;
  }
  if (item.kind == ITEM_TEXT && ValidText(page, item.index)) {
    TextRecord *text = &page->texts[item.index];
    double left = std::round(SnapToGrid(text->anchor[0] * frame->width + dx, frame->grid));
    double top = std::round(SnapToGrid(text->anchor[1] * frame->height + dy, frame->grid));
    ShiftTextTo(text, frame, left, top);
    return 1;
  }
  return 0;
}

int NudgeItem(Page *page, ItemRef item, const PageFrame *frame, int dx, int dy) {
  double step = frame->grid > 0 ? frame->grid : 1;
  return MoveItem(page, item, frame, dx * step, dy * step);
}

int ResizePicture(Page *page, int32_t index, const PageFrame *frame, const PageBox *start, BoxCorner corner, double x,
                  double y, int keepProportions) {
  if (!ValidPicture(page, index)) return 0;
  const bool right = corner == CORNER_TOP_RIGHT || corner == CORNER_BOTTOM_RIGHT;
  const bool bottom = corner == CORNER_BOTTOM_LEFT || corner == CORNER_BOTTOM_RIGHT;
  const double ax = right ? start->left : start->right, ay = bottom ? start->top : start->bottom;
  const double sx = right ? 1 : -1, sy = bottom ? 1 : -1;
  const double sw = std::max(1.0, start->right - start->left), sh = std::max(1.0, start->bottom - start->top);
  double w = sx * (x - ax), h = sy * (y - ay);
  if (keepProportions) {
    if (w / sw >= h / sh) {
      w = sx * (SnapToGrid(x, frame->grid) - ax);
      h = w * sh / sw;
    } else {
      h = sy * (SnapToGrid(y, frame->grid) - ay);
      w = h * sw / sh;
    }
    double grow = std::max(MIN_PICTURE_SIDE / w, MIN_PICTURE_SIDE / h);
    if (w <= 0 || h <= 0 || grow > 1) {
      double scale = std::max(MIN_PICTURE_SIDE / sw, MIN_PICTURE_SIDE / sh);
      w = sw * scale;
      h = sh * scale;
    }
  } else {
    w = std::max(MIN_PICTURE_SIDE, sx * (SnapToGrid(x, frame->grid) - ax));
    h = std::max(MIN_PICTURE_SIDE, sy * (SnapToGrid(y, frame->grid) - ay));
  }
  PageBox box;
  box.left = right ? ax : ax - w;
  box.right = box.left + w;
  box.top = bottom ? ay : ay - h;
  box.bottom = box.top + h;
  SetPictureBox(&page->pictures[index], frame, &box);
  return 1;
}

int TurnPicture(Page *page, int32_t index, const PageFrame *frame, OrientationTurn turn) {
  if (!ValidPicture(page, index)) return 0;
  PictureRecord *picture = &page->pictures[index];
  PageBox box;
  PictureBox(picture, frame, &box);
  double cx = (box.left + box.right) / 2, cy = (box.top + box.bottom) / 2;
  double w = box.right - box.left, h = box.bottom - box.top;
  if (turn == TURN_RIGHT || turn == TURN_LEFT) std::swap(w, h);
  picture->orientation = TurnOrientation(picture->orientation, turn);
  PageBox turned = {std::round(cx - w / 2), std::round(cy - h / 2), 0, 0};
  turned.right = turned.left + w;
  turned.bottom = turned.top + h;
  SetPictureBox(picture, frame, &turned);
  return 1;
}

int SetPictureShadow(Page *page, int32_t index, int shadow) {
  if (!ValidPicture(page, index)) return 0;
  page->pictures[index].shadow = shadow ? 1 : 0;
  return 1;
}

namespace {
int SwapItems(Page *page, ItemKind kind, int32_t a, int32_t b) {
  if (kind == ITEM_PICTURE && ValidPicture(page, a) && ValidPicture(page, b)) {
    std::swap(page->pictures[a], page->pictures[b]);
    return 1;
  }
  if (kind == ITEM_TEXT && ValidText(page, a) && ValidText(page, b)) {
    std::swap(page->texts[a], page->texts[b]);
    std::swap(page->textBuffers[a], page->textBuffers[b]);
    return 1;
  }
  return 0;
}
}  // namespace

int BringItemForward(Page *page, ItemRef *item) {
  if (!SwapItems(page, item->kind, item->index, item->index + 1)) return 0;
  item->index += 1;
  return 1;
}

int SendItemBack(Page *page, ItemRef *item) {
  if (!SwapItems(page, item->kind, item->index, item->index - 1)) return 0;
  item->index -= 1;
  return 1;
}

int DeleteItem(Page *page, ItemRef item) {
  if (item.kind == ITEM_PICTURE && ValidPicture(page, item.index)) {
    int32_t later = page->pictureCount - item.index - 1;
    if (later > 0) memmove(&page->pictures[item.index], &page->pictures[item.index + 1], size_t(later) * sizeof(PictureRecord));
    page->pictureCount -= 1;
    memset(&page->pictures[page->pictureCount], 0, sizeof(PictureRecord));
    return 1;
  }
  if (item.kind == ITEM_TEXT && ValidText(page, item.index)) {
    MemFreePtr(page->textBuffers[item.index]);
    int32_t later = page->textCount - item.index - 1;
    if (later > 0) {
      memmove(&page->texts[item.index], &page->texts[item.index + 1], size_t(later) * sizeof(TextRecord));
      memmove(&page->textBuffers[item.index], &page->textBuffers[item.index + 1], size_t(later) * sizeof(char *));
    }
    page->textCount -= 1;
    memset(&page->texts[page->textCount], 0, sizeof(TextRecord));
    page->textBuffers[page->textCount] = nullptr;
    return 1;
  }
  return 0;
}

void GetTextStyle(const TextRecord *record, TextStyle *style) {
  style->font = record->font;
  style->colour = COLORREF(record->colour);
  style->fadeSteps = record->fadeSteps;
}

int AddText(Page *page, const char *text, const TextStyle *style, double left, double top, int32_t *index) {
  if (!page || !text || !style) return 0;
  TextRecord record = {};
  record.anchor[0] = record.extent[0] = left;
  record.anchor[1] = record.extent[1] = top;
  record.font = style->font;
  record.colour = int32_t(style->colour);
  record.fadeSteps = style->fadeSteps;
  return InsertTextRecord(page, &record, text, index);
}

int SetText(Page *page, int32_t index, const char *text, const TextStyle *style) {
  if (!ValidText(page, index) || !text) return 0;
  char *copy = DupText(text);
  if (!copy) return 0;
  MemFreePtr(page->textBuffers[index]);
  page->textBuffers[index] = copy;
  TextRecord *record = &page->texts[index];
  record->length = int32_t(strlen(copy));
  if (style) {
    record->font = style->font;
    record->colour = int32_t(style->colour);
    record->fadeSteps = style->fadeSteps;
  }
  // The extent is the drawing's; until the next drawing it is unknown.
  record->extent[0] = record->anchor[0];
  record->extent[1] = record->anchor[1];
  return 1;
}

void TextBox(const Page *page, int32_t index, const PageFrame *frame, PageBox *box) {
  *box = {0, 0, 0, 0};
  if (!ValidText(page, index)) return;
  const TextRecord &text = page->texts[index];
  box->left = text.anchor[0] * frame->width;
  box->top = text.anchor[1] * frame->height;
  if (text.extent[0] > text.anchor[0] && text.extent[1] > text.anchor[1]) {
    box->right = text.extent[0] * frame->width;
    box->bottom = text.extent[1] * frame->height;
    return;
  }
  double line = std::max(1.0, std::fabs(double(text.font.lfHeight)) * frame->width / 640);
  int lines = 1;
  size_t longest = 0, current = 0;
  for (const char *p = PageText(page, index); *p; ++p) {
    if (p[0] == '\r' && p[1] == '\n') {
      ++lines;
      ++p;
      current = 0;
      continue;
    }
    longest = std::max(longest, ++current);
  }
  double across = std::max(line / 2, double(longest) * line / 2), down = lines * line;
  if (text.font.lfFaceName[0] == '@') std::swap(across, down);
  box->right = box->left + across;
  box->bottom = box->top + down;
}

ItemRef HitItem(const Page *page, const PageFrame *frame, double x, double y) {
  auto inside = [&](const PageBox &b) { return x >= b.left && x < b.right && y >= b.top && y < b.bottom; };
  for (int32_t k = page->textCount - 1; k >= 0; --k) {
    PageBox box;
    TextBox(page, k, frame, &box);
    if (inside(box)) return {ITEM_TEXT, k};
  }
  for (int32_t k = page->pictureCount - 1; k >= 0; --k) {
    PageBox box;
    PictureBox(&page->pictures[k], frame, &box);
    if (inside(box)) return {ITEM_PICTURE, k};
  }
  return {ITEM_NONE, -1};
}

int CopyItem(const Page *page, ItemRef item, ItemClipboard *clip) {
  if (item.kind == ITEM_PICTURE && ValidPicture(page, item.index)) {
    *clip = ItemClipboard();
    clip->pictures.push_back(page->pictures[item.index]);
    return 1;
  }
  if (item.kind == ITEM_TEXT && ValidText(page, item.index)) {
    *clip = ItemClipboard();
    clip->texts.push_back(page->texts[item.index]);
    clip->textStrings.push_back(PageText(page, item.index));
    return 1;
  }
  return 0;
}

int PasteItems(Page *page, const ItemClipboard *clip, const PageFrame *frame, double offset, ItemRef *item) {
  if (!page || clip->texts.size() != clip->textStrings.size()) return 0;
  if (clip->pictures.empty() && clip->texts.empty()) return 0;
  offset = std::max(1.0, offset);
  for (const PictureRecord &source : clip->pictures) {
    PictureRecord record = source;
    for (int32_t k = 0; k < page->pictureCount; ++k) {
      if (memcmp(&page->pictures[k], &record, sizeof record) != 0) continue;
      PageBox box;
      PictureBox(&record, frame, &box);
      PageBox moved = {box.left + offset, box.top + offset, box.right + offset, box.bottom + offset};
      SetPictureBox(&record, frame, &moved);
      k = -1;  // look again from the start at the new place
    }
    int32_t index;
    if (!InsertPictureRecord(page, &record, &index)) return 0;
    if (item) *item = {ITEM_PICTURE, index};
  }
  for (size_t n = 0; n < clip->texts.size(); ++n) {
    TextRecord record = clip->texts[n];
    for (int32_t k = 0; k < page->textCount; ++k) {
      if (page->texts[k].anchor[0] != record.anchor[0] || page->texts[k].anchor[1] != record.anchor[1]) continue;
      ShiftTextTo(&record, frame, std::round(record.anchor[0] * frame->width + offset),
                  std::round(record.anchor[1] * frame->height + offset));
      k = -1;
    }
    int32_t index;
    if (!InsertTextRecord(page, &record, clip->textStrings[n].c_str(), &index)) return 0;
    if (item) *item = {ITEM_TEXT, index};
  }
  return 1;
}
