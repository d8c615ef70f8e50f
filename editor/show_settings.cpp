// The show's settings and sounds as the editor changes them; see
// show_settings.h. Nothing here reads files or shows anything.
#include "editor/show_settings.h"

#include <algorithm>
#include <cstring>

#include "editor/page_items.h"
#include "shell/base/browser_command.h"
#include "shell/base/mem_block.h"

namespace {
bool FitsField(const char *text, size_t field) { return text && strlen(text) < field; }
}  // namespace

int ResizeShowPages(ShowDocument *show, const PageFrame *oldFrame, int32_t width, int32_t height) {
  if (width < MIN_PAGE_SIDE || height < MIN_PAGE_SIDE || width > MAX_PAGE_SIDE || height > MAX_PAGE_SIDE ||
      oldFrame->width < 1 || oldFrame->height < 1)
    return 0;
  const PageFrame frame = {width, height, oldFrame->grid};
  const double scale = std::min(double(width) / oldFrame->width, double(height) / oldFrame->height);
  for (int32_t i = 0; i < show->pages.pageCount; ++i) {
    Page &page = show->pages.pages[i];
    for (int32_t k = 0; k < page.pictureCount; ++k) {
      PageBox box;
      PictureBox(&page.pictures[k], oldFrame, &box);
      double w = (box.right - box.left) * scale, h = (box.bottom - box.top) * scale;
      // Larger than the new page (it hung over the old one): shrunk to fit.
      double shrink = std::min({1.0, width / std::max(w, 1.0), height / std::max(h, 1.0)});
      w *= shrink;
      h *= shrink;
      double cx = (box.left + box.right) / 2 / oldFrame->width * width;
      double cy = (box.top + box.bottom) / 2 / oldFrame->height * height;
      double left = std::clamp(cx - w / 2, 0.0, std::max(0.0, width - w));
      double top = std::clamp(cy - h / 2, 0.0, std::max(0.0, height - h));
      PageBox moved = {left, top, left + w, top + h};
      SetPictureBox(&page.pictures[k], &frame, &moved);
    }
  }
  SetShowPageSize(show->editorSettings, width, height);
  return 1;
}

int ShowJpegQuality(const unsigned char settings[EDITOR_SETTINGS_SIZE]) {
  return settings[JPEG_QUALITY_SETTINGS_OFFSET] == SMALLER_JPEG_QUALITY ? SMALLER_JPEG_QUALITY : 100;
}

int SetShowJpegQuality(unsigned char settings[EDITOR_SETTINGS_SIZE], int quality) {
  if (quality != 100 && quality != SMALLER_JPEG_QUALITY) return 0;
  settings[JPEG_QUALITY_SETTINGS_OFFSET] = quality == 100 ? 0 : SMALLER_JPEG_QUALITY;
  return 1;
}

int SetShowLink(ShowDocument *show, const char *address, const char *caption) {
  if (!address || !caption) return 0;
  if (!address[0]) {
    show->linkAddress[0] = show->linkCaption[0] = 0;
    return 1;
  }
  if (!IsWebAddress(address) || !FitsField(address, LINK_FIELD_SIZE) || !FitsField(caption, LINK_FIELD_SIZE))
    return 0;
  memset(show->linkAddress, 0, LINK_FIELD_SIZE);
  memset(show->linkCaption, 0, LINK_FIELD_SIZE);
  strcpy(show->linkAddress, address);
  strcpy(show->linkCaption, caption);
  return 1;
}

int SetShowPassword(ShowDocument *show, const char *entry, const char *confirmation) {
  if (!entry || !entry[0]) return 5019;
  if (!confirmation || strcmp(entry, confirmation) != 0) return 5018;
  if (!FitsField(entry, PASSWORD_BUFFER_SIZE)) return -1;
  memset(show->password, 0, PASSWORD_BUFFER_SIZE);
  strcpy(show->password, entry);
  return 0;
}

void RemoveShowPassword(ShowDocument *show) { memset(show->password, 0, PASSWORD_BUFFER_SIZE); }

int SetPageVoice(Page *page, const char *path) {
  if (!FitsField(path, PATH_SIZE) || !path[0]) return 0;
  if (page->soundCount < 1) {
    void *grown = MemRealloc(page->sounds, sizeof(SoundRecord));
    if (!grown) return 0;
    page->sounds = static_cast<SoundRecord *>(grown);
    page->soundCount = 1;
  }
  memset(&page->sounds[0], 0, sizeof(SoundRecord));
  strcpy(page->sounds[0].path, path);
  return 1;
}

int RemovePageVoice(Page *page) {
  if (page->soundCount < 1) return 0;
  memmove(page->sounds, page->sounds + 1, size_t(page->soundCount - 1) * sizeof(SoundRecord));
  --page->soundCount;
  return 1;
}

const char *PageVoice(const Page *page) {
  return page->soundCount > 0 && page->sounds[0].path[0] ? page->sounds[0].path : nullptr;
}

int MusicCount(const BgmPathTable *table) {
  int n = 0;
  while (n < BGM_SLOT_COUNT && table->paths[n][0]) ++n;
  return n;
}

int AddMusic(BgmPathTable *table, const char *path) {
  int n = MusicCount(table);
  if (n >= BGM_SLOT_COUNT) return 5300;
  if (!FitsField(path, PATH_SIZE) || !path[0]) return 0;
  memset(table->paths[n], 0, PATH_SIZE);
  strcpy(table->paths[n], path);
  return 1;
}

int RemoveMusic(BgmPathTable *table, int index) {
  int n = MusicCount(table);
  if (index < 0 || index >= n) return 0;
  memmove(table->paths[index], table->paths[index + 1], size_t(n - 1 - index) * PATH_SIZE);
  memset(table->paths[n - 1], 0, PATH_SIZE);
  return 1;
}

int MoveMusic(BgmPathTable *table, int from, int to) {
  int n = MusicCount(table);
  if (from < 0 || from >= n || to < 0 || to >= n) return 0;
  char moving[PATH_SIZE];
  memcpy(moving, table->paths[from], PATH_SIZE);
  if (from < to) memmove(table->paths[from], table->paths[from + 1], size_t(to - from) * PATH_SIZE);
  else memmove(table->paths[to + 1], table->paths[to], size_t(from - to) * PATH_SIZE);
  memcpy(table->paths[to], moving, PATH_SIZE);
  return 1;
}

int32_t PagePlayTime(int32_t displayTime, int32_t voiceLength) { return std::max(displayTime, voiceLength); }
