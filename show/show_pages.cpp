// Growing, shrinking and freeing the page array.
#include "show/show_pages.h"

#include <cstring>

#include "shell/base/mem_block.h"

static int SetPageDefaults(Page *page) {
  memset(page, 0, sizeof *page);
  page->pictures = static_cast<PictureRecord *>(MemAlloc(0));
  page->sounds = static_cast<SoundRecord *>(MemAlloc(0));
  page->texts = static_cast<TextRecord *>(MemAlloc(0));
  page->textBuffers = static_cast<char **>(MemAlloc(0));
  page->backgroundColour = 0;
  page->backgroundFlag = 1;
  page->displayTime = DEFAULT_DISPLAY_TIME;
  return page->pictures && page->sounds && page->texts && page->textBuffers;
}

void FreePageItems(Page *page) {
  MemFreePtr(page->pictures);
  MemFreePtr(page->sounds);
  if (page->textBuffers) {
    size_t slots = MemSize(page->textBuffers) / sizeof(char *);
    for (size_t i = 0; i < slots; ++i) MemFreePtr(page->textBuffers[i]);
  }
  MemFreePtr(page->textBuffers);
  MemFreePtr(page->texts);
  MemFree(&page->preview);
  page->pictureCount = page->soundCount = page->textCount = 0;
}

int ClearPageItems(Page *page) {
  FreePageItems(page);
  page->pictures = static_cast<PictureRecord *>(MemAlloc(0));
  page->sounds = static_cast<SoundRecord *>(MemAlloc(0));
  page->texts = static_cast<TextRecord *>(MemAlloc(0));
  page->textBuffers = static_cast<char **>(MemAlloc(0));
  return page->pictures && page->sounds && page->texts && page->textBuffers;
}

const char *PageText(const Page *page, int32_t index) {
  if (!page->textBuffers || index < 0 || index >= page->textCount) return "";
  if (size_t(index) >= MemSize(page->textBuffers) / sizeof(char *)) return "";
  const char *text = page->textBuffers[index];
  return text ? text : "";
}

int EnsurePages(PageArray *array, int32_t n, int withWindows) {
  if (array->pageCount >= n) return 1;
  if (size_t(n) > SIZE_MAX / sizeof(Page)) return 0;
  auto *grown = static_cast<Page *>(MemRealloc(array->pages, size_t(n) * sizeof(Page)));
  if (!grown) return 0;
  array->pages = grown;
  for (int32_t i = array->pageCount; i < n; ++i) {
    if (!SetPageDefaults(&grown[i])) {
      // Undo the new entries so that the array stays as it was.
      for (int32_t j = array->pageCount; j <= i; ++j) FreePageItems(&grown[j]);
      return 0;
    }
  }
  array->pageCount = n;
  if (array->pageCount != 0 && array->selectedPage == -1) array->selectedPage = 0;
  return 1;
}

int RemovePage(PageArray *array, int32_t index, int relayout) {
  if (index < 0 || index >= array->pageCount) return 0;
  Page *pages = array->pages;
  FreePageItems(&pages[index]);
  int32_t later = array->pageCount - index - 1;
  if (later > 0) memmove(&pages[index], &pages[index + 1], size_t(later) * sizeof(Page));
  array->pageCount -= 1;
  memset(&pages[array->pageCount], 0, sizeof(Page));
  // Shrink the block; when that fails it simply stays larger.
  void *smaller = MemRealloc(pages, size_t(array->pageCount) * sizeof(Page));
  if (smaller) array->pages = static_cast<Page *>(smaller);
  if (array->selectedPage >= array->pageCount) array->selectedPage = array->pageCount - 1;
  return 1;
}

void DropAllPages(PageArray *array, BgmPathTable *bgmPaths) {
  while (array->pageCount > 0) RemovePage(array, array->pageCount - 1, 0);
  array->pageCount = 0;
  if (bgmPaths) memset(bgmPaths, 0, sizeof *bgmPaths);
}

void ClampSelectedPage(PageArray *array) {
  if (array->selectedPage < 0 || array->selectedPage >= array->pageCount) array->selectedPage = 0;
}
