// Deep copies of pages and shows, and their comparison.
#include "editor/page_copy.h"

#include <cstring>

#include "shell/base/mem_block.h"

namespace {
void *DupBlock(const void *block, size_t bytes) {
  void *copy = MemAlloc(bytes);
  if (copy && bytes) memcpy(copy, block, bytes);
  return copy;
}
}  // namespace

void FreePage(Page *page) {
  FreePageItems(page);
  memset(page, 0, sizeof *page);
}

int CopyPage(Page *dst, const Page *src) {
  *dst = *src;
  dst->unitWindow = nullptr;
  dst->preview = nullptr;
  dst->pictures = static_cast<PictureRecord *>(DupBlock(src->pictures, size_t(src->pictureCount) * sizeof(PictureRecord)));
  dst->sounds = static_cast<SoundRecord *>(DupBlock(src->sounds, size_t(src->soundCount) * sizeof(SoundRecord)));
  dst->texts = static_cast<TextRecord *>(DupBlock(src->texts, size_t(src->textCount) * sizeof(TextRecord)));
  dst->textBuffers = static_cast<char **>(MemAlloc(size_t(src->textCount) * sizeof(char *)));
  int ok = dst->pictures && dst->sounds && dst->texts && dst->textBuffers;
  for (int32_t k = 0; ok && k < src->textCount; ++k) {
    const char *text = PageText(src, k);
    dst->textBuffers[k] = static_cast<char *>(DupBlock(text, strlen(text) + 1));
    ok = dst->textBuffers[k] != nullptr;
  }
  if (!ok) {
    FreePage(dst);
    return 0;
  }
  return 1;
}

void FreeShowCopy(ShowDocument *show) {
  for (int32_t i = 0; show->pages.pages && i < show->pages.pageCount; ++i) FreePage(&show->pages.pages[i]);
  MemFreePtr(show->pages.pages);
  memset(show, 0, sizeof *show);
}

int CopyShow(ShowDocument *dst, const ShowDocument *src) {
  *dst = *src;
  dst->pages.pageCount = 0;
  dst->pages.pages = static_cast<Page *>(MemAlloc(size_t(src->pages.pageCount) * sizeof(Page)));
  if (!dst->pages.pages) {
    memset(dst, 0, sizeof *dst);
    return 0;
  }
  for (int32_t i = 0; i < src->pages.pageCount; ++i) {
    if (!CopyPage(&dst->pages.pages[i], &src->pages.pages[i])) {
      FreeShowCopy(dst);
      return 0;
    }
    dst->pages.pageCount = i + 1;
  }
  return 1;
}

size_t ShowCopyBytes(const ShowDocument *show) {
  size_t bytes = sizeof *show + size_t(show->pages.pageCount) * sizeof(Page);
  for (int32_t i = 0; i < show->pages.pageCount; ++i) {
    const Page &page = show->pages.pages[i];
    bytes += size_t(page.pictureCount) * sizeof(PictureRecord) + size_t(page.soundCount) * sizeof(SoundRecord) +
             size_t(page.textCount) * (sizeof(TextRecord) + sizeof(char *));
    for (int32_t k = 0; k < page.textCount; ++k) bytes += strlen(PageText(&page, k)) + 1;
  }
  return bytes;
}

namespace {
int SamePage(const Page &a, const Page &b) {
  if (a.pictureCount != b.pictureCount || a.soundCount != b.soundCount || a.textCount != b.textCount ||
      a.transitionId != b.transitionId || a.transitionWait != b.transitionWait ||
      memcmp(a.transitionParams, b.transitionParams, TRANSITION_PARAMS_SIZE) != 0 || a.displayTime != b.displayTime ||
      a.backgroundFlag != b.backgroundFlag || a.backgroundColour != b.backgroundColour)
    return 0;
  if (a.pictureCount && memcmp(a.pictures, b.pictures, size_t(a.pictureCount) * sizeof(PictureRecord)) != 0) return 0;
  if (a.soundCount && memcmp(a.sounds, b.sounds, size_t(a.soundCount) * sizeof(SoundRecord)) != 0) return 0;
  for (int32_t k = 0; k < a.textCount; ++k) {
    TextRecord x = a.texts[k], y = b.texts[k];
    x.extent[0] = x.extent[1] = y.extent[0] = y.extent[1] = 0;
    x.length = y.length = 0;
    if (memcmp(&x, &y, sizeof x) != 0 || strcmp(PageText(&a, k), PageText(&b, k)) != 0) return 0;
  }
  return 1;
}
}  // namespace

int SameShowRecords(const ShowDocument *a, const ShowDocument *b) {
  if (memcmp(a->editorSettings, b->editorSettings, EDITOR_SETTINGS_SIZE) != 0 || a->carriedA != b->carriedA ||
      a->carriedB != b->carriedB || strcmp(a->linkAddress, b->linkAddress) != 0 ||
      strcmp(a->linkCaption, b->linkCaption) != 0 || strcmp(a->password, b->password) != 0 ||
      memcmp(&a->bgmPaths, &b->bgmPaths, sizeof a->bgmPaths) != 0 || a->pages.pageCount != b->pages.pageCount)
    return 0;
  for (int32_t i = 0; i < a->pages.pageCount; ++i)
    if (!SamePage(a->pages.pages[i], b->pages.pages[i])) return 0;
  return 1;
}
