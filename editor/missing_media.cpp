// Missing media; see missing_media.h.
#include "editor/missing_media.h"

#include <algorithm>

#include "editor/document_files.h"
#include "editor/editor_state.h"
#include "editor/editor_views.h"
#include "editor/picture_adding.h"
#include "editor/wide_messages.h"
#include "resources/editor_ids.h"

namespace {
// Every stored media path of the show, for reading or for replacing.
template <typename F>
void EachMediaPath(F visit) {
  for (int32_t i = 0; i < Show.pages.pageCount; ++i) {
    Page &page = Show.pages.pages[i];
    for (int32_t k = 0; k < page.pictureCount; ++k) visit(page.pictures[k].path);
    for (int32_t k = 0; k < page.soundCount; ++k) visit(page.sounds[k].path);
  }
  for (auto &path : Show.bgmPaths.paths)
    if (path[0]) visit(path);
}

std::wstring Listed(const std::vector<std::wstring> &files) {
  std::wstring names;
  for (const std::wstring &f : files) names += f + L"\r\n";
  return names;
}
}  // namespace

int MediaMissing(const char *path) {
  return path[0] && GetFileAttributesW(WidePath(path).c_str()) == INVALID_FILE_ATTRIBUTES;
}

std::vector<std::wstring> MissingMediaFiles() {
  std::vector<std::wstring> missing;
  EachMediaPath([&](char *path) {
    std::wstring wide = WidePath(path);
    if (MediaMissing(path) && std::find(missing.begin(), missing.end(), wide) == missing.end()) missing.push_back(wide);
  });
  return missing;
}

void OfferToFindMissing(HWND owner) {
  std::vector<std::wstring> missing = MissingMediaFiles();
  if (!missing.empty() && WideQuestion(owner, FormatWide(IDS_MISSING_MEDIA, Listed(missing)))) FindMissingMedia(owner);
}

void FindMissingMedia(HWND owner) {
  if (MissingMediaFiles().empty()) return;
  std::wstring folder = AskForFolder(owner, IDS_MISSING_TITLE);
  if (folder.empty()) return;
  std::vector<std::pair<char *, std::string>> found;
  EachMediaPath([&](char *path) {
    if (!MediaMissing(path)) return;
    std::wstring there = folder + L"\\" + FileNameOf(WidePath(path));
    if (GetFileAttributesW(there.c_str()) == INVALID_FILE_ATTRIBUTES) return;
    std::string stored = StorablePicturePath(there);
    if (!stored.empty()) found.push_back({path, stored});
  });
  if (found.empty() || !BeginChange()) return;
  // The history holds a copy: the records to change are those of Show.
  for (auto &f : found) CopyPath(f.first, f.second.c_str());
  EndChange(CHANGE_ALL);
}

int RefuseForMissingMedia(HWND owner) {
  std::vector<std::wstring> missing = MissingMediaFiles();
  if (missing.empty()) return 0;
  WideError(owner, FormatWide(IDS_MISSING_REFUSED, Listed(missing)));
  return 1;
}
