// The in-memory pages of a show: one contiguous memory block of Page entries,
// each owning its picture, text and sound records and the text buffers. The
// loader fills it; the player reads it. Nothing here draws or reads files.
#pragma once

#include <cstdint>

#include "show/show_records.h"

struct Page {
  void *unitWindow;  // the authoring tool's collage cell; always null here
  int32_t pictureCount;
  PictureRecord *pictures;  // memory block, pictureCount records
  int32_t soundCount;
  SoundRecord *sounds;      // memory block, soundCount records
  int32_t textCount;
  TextRecord *texts;        // memory block, textCount records
  // One NUL-terminated memory block of length + 1 bytes per text record, in
  // record order (memory block of textCount pointers). Kept beside the
  // records because the records' 4-byte buffer field cannot hold a pointer
  // on 64-bit builds.
  char **textBuffers;
  void *preview;            // the authoring tool's preview image (a packed DIB block); null in the player
  int32_t transitionId;
  int32_t transitionWait;
  unsigned char transitionParams[TRANSITION_PARAMS_SIZE];
  int32_t displayTime;
  int32_t backgroundFlag;
  COLORREF backgroundColour;
};

struct PageArray {
  Page *pages;           // memory block of pageCount entries
  int32_t pageCount;
  int32_t selectedPage;  // the authoring tool's selection; -1 when none
};

constexpr int32_t DEFAULT_DISPLAY_TIME = 10000;

// Grows the array to at least n pages with the defaults of a new page (black,
// background flag 1, 10000 ms, no items, no transition); never shrinks it.
// 1 on success, 0 when memory runs out (existing pages unchanged).
int EnsurePages(PageArray *array, int32_t n, int withWindows);
// Removes one page and frees everything it owns. 0 for an index out of range.
int RemovePage(PageArray *array, int32_t index, int relayout);
// Removes every page and empties the background-music list (when given).
void DropAllPages(PageArray *array, BgmPathTable *bgmPaths);

// Frees a page's records, text buffers and preview and gives it fresh empty
// record blocks (counts 0). 0 when the empty blocks cannot be allocated.
int ClearPageItems(Page *page);
// Frees a page's pictures, sounds, texts and preview, leaving it without items.
void FreePageItems(Page *page);
// The text of record index as a NUL-terminated string ("" when it has none).
const char *PageText(const Page *page, int32_t index);
// Holds selectedPage inside 0 .. pageCount - 1 (0 when it lies outside).
void ClampSelectedPage(PageArray *array);
