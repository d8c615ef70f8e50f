// Pictures into the show: what a file holds (format, size, orientation tag),
// the path the show stores for it, adding files to the current page and a
// folder as pages, and loading pictures for drawing.
#include "editor/picture_adding.h"

#include <commdlg.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>

#include "editor/cp932_text.h"
#include "editor/document_files.h"
#include "editor/editor_plugins.h"
#include "editor/editor_state.h"
#include "editor/show_pages_edit.h"
#include "editor/wide_messages.h"
#include "raster/dib.h"
#include "resources/editor_ids.h"
#include "shell/base/mem_block.h"
#include "show/folder_fit.h"
#include "raster/picture_decode.h"

namespace {
// Up to limit bytes of a file (all of it when limit is 0).
bool ReadBytes(const std::wstring &path, size_t limit, std::string *bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size;
  bool ok = GetFileSizeEx(file, &size) && (limit || size.QuadPart < 0x7FFFFFFF);
  if (ok) {
    size_t want = limit && uint64_t(size.QuadPart) > limit ? limit : size_t(size.QuadPart);
    bytes->resize(want);
    DWORD got = 0;
    ok = want == 0 || (ReadFile(file, &(*bytes)[0], DWORD(want), &got, nullptr) && got == want);
  }
  CloseHandle(file);
  return ok;
}

const unsigned char *Data(const std::string &s) { return reinterpret_cast<const unsigned char *>(s.data()); }

std::u16string U16(const std::wstring &s) { return std::u16string(s.begin(), s.end()); }
std::wstring Wide(const std::u16string &s) { return std::wstring(s.begin(), s.end()); }

std::u16string ShortNameHook(void *, const std::u16string &path) {
  wchar_t out[MAX_PATH * 2];
  DWORD n = GetShortPathNameW(reinterpret_cast<const wchar_t *>(path.c_str()), out, sizeof out / sizeof out[0]);
  return n && n < sizeof out / sizeof out[0] ? U16(std::wstring(out, n)) : std::u16string();
}

// A copy in a folder of the editor's own in the user's application data, by
// a name made of the file's size and name hash (so the same file is copied
// once). Its short form when the long one cannot be stored.
std::u16string CopyHook(void *, const std::u16string &path) {
  wchar_t base[MAX_PATH];
  DWORD n = GetEnvironmentVariableW(L"LOCALAPPDATA", base, MAX_PATH);
  if (!n || n >= MAX_PATH) return std::u16string();
  std::wstring folder = std::wstring(base) + L"\\VORMKIT";
  CreateDirectoryW(folder.c_str(), nullptr);
  folder += L"\\Pictures";
  CreateDirectoryW(folder.c_str(), nullptr);
  std::wstring wide = Wide(path);
  uint32_t hash = 2166136261u;
  for (wchar_t c : wide) hash = (hash ^ uint32_t(c)) * 16777619u;
  size_t dot = wide.find_last_of(L'.');
  std::wstring extension = dot != std::wstring::npos && wide.find_last_of(L"\\/") < dot ? wide.substr(dot) : L"";
  if (extension.size() > 6) extension.clear();
  wchar_t name[32];
  wsprintfW(name, L"\\p%08x", hash);
  std::wstring copy = folder + name + extension;
  if (!CopyFileW(wide.c_str(), copy.c_str(), FALSE)) return std::u16string();
  std::string stored;
  if (ToCp932(U16(copy), &stored, nullptr) && stored.size() < PATH_SIZE) return U16(copy);
  return ShortNameHook(nullptr, U16(copy));
}

thread_local int32_t drawSize = 0;

// A few decoded pictures kept per thread, so that redrawing a page while it
// is edited does not decode its pictures again.
struct CachedPicture {
  std::string path;
  int32_t cover;
  void *dib;
};
thread_local std::vector<CachedPicture> *cache = nullptr;
}  // namespace

std::wstring FileNameOf(const std::wstring &path) {
  size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

int ReadPictureInfo(const std::wstring &path, PictureInfo *info, std::wstring *why) {
  *info = {0, 0, 0};
  std::string bytes;
  if (!ReadBytes(path, size_t(PICTURE_MAX_FILE_BYTES), &bytes)) {
    *why = L"cannot read";
    return 0;
  }
  // The whole picture is decoded once (a JPEG at an eighth of its size): a
  // damaged one is refused here rather than missing from its page later, and
  // the decoders' limits keep a hostile file cheap.
  PictureDecodeOptions options = {0, 1, 1, nullptr};
  DecodedPicture decoded;
  PictureReport report;
  PictureReportClear(&report);
  if (!DecodePictureWith(Data(bytes), bytes.size(), &options, &decoded, &report)) {
    std::string reason = decoded.format == FORMAT_NONE ? "not a picture" : PictureProblemText(decoded.format, &report);
    *why = std::wstring(reason.begin(), reason.end());
    return 0;
  }
  info->width = decoded.width;
  info->height = decoded.height;
  info->orientation = decoded.orientation;
  MemFree(&decoded.dib);
  return 1;
}

std::string StorablePicturePath(const std::wstring &path) {
  PathStoreHooks hooks = {nullptr, ShortNameHook, CopyHook};
  std::string out;
  StorePicturePath(U16(path), &hooks, &out);
  return out;
}

int AskForFiles(HWND owner, UINT title, UINT filter, bool several, std::vector<std::wstring> *paths) {
  std::vector<wchar_t> buffer(65536, 0);
  std::wstring filters = LoadWide(filter), caption = LoadWide(title);
  for (wchar_t &c : filters)
    if (c == L'|') c = 0;
  OPENFILENAMEW ofn = {};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filters.c_str();
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = DWORD(buffer.size());
  ofn.lpstrTitle = caption.c_str();
  ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER |
              (several ? OFN_ALLOWMULTISELECT : 0);
  if (!GetOpenFileNameW(&ofn)) return 0;
  // One file: its path. Several: the folder, then each name.
  std::wstring first = buffer.data();
  const wchar_t *p = buffer.data() + first.size() + 1;
  if (!*p) {
    paths->push_back(first);
    return 1;
  }
  for (; *p; p += wcslen(p) + 1) paths->push_back(first + L"\\" + p);
  return !paths->empty();
}

std::wstring AskForFolder(HWND owner, UINT title) {
  BROWSEINFOW info = {};
  info.hwndOwner = owner;
  std::wstring caption = LoadWide(title);
  info.lpszTitle = caption.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
  LPITEMIDLIST item = SHBrowseForFolderW(&info);
  if (!item) return std::wstring();
  wchar_t path[MAX_PATH] = {};
  std::wstring folder = SHGetPathFromIDListW(item, path) ? path : L"";
  CoTaskMemFree(item);
  return folder;
}

int AskForPictures(HWND owner, std::vector<std::wstring> *paths) {
  return AskForFiles(owner, 5158, IDS_FILTER_PICTURES, true, paths);
}

int AddPictureFiles(const std::vector<std::wstring> &paths) {
  struct Ready {
    std::string stored;
    PictureInfo info;
  };
  std::vector<Ready> ready;
  std::wstring refused, unstorable;
  for (const std::wstring &path : paths) {
    PictureInfo info;
    std::wstring why;
    if (!ReadPictureInfo(path, &info, &why)) {
      refused += FileNameOf(path) + L"\r\n";
      continue;
    }
    std::string stored = StorablePicturePath(path);
    if (stored.empty()) {
      unstorable += FormatWide(IDS_PATH_REFUSED, path) + L"\r\n";
      continue;
    }
    ready.push_back({stored, info});
  }
  if (!refused.empty()) WideError(Editor.window, refused + LoadWide(5021));
  if (!unstorable.empty()) WideError(Editor.window, unstorable);
  Page *page = CurrentShowPage();
  if (ready.empty() || !page || !BeginChange()) return 0;
  PageFrame frame = CurrentFrame();
  int added = 0;
  for (const Ready &r : ready) {
    int32_t index;
    if (AddFittedPicture(page, &frame, r.stored.c_str(), r.info.width, r.info.height, r.info.orientation, &index)) {
      Editor.selection = {ITEM_PICTURE, index};
      ++added;
    }
  }
  EndChange(CHANGE_ITEMS);
  return added;
}

std::vector<std::wstring> FolderPictures(const std::wstring &folder) {
  std::vector<std::pair<std::string, std::wstring>> named;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return {};
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    std::wstring path = folder + L"\\" + found.cFileName;
    std::string head;
    if (!ReadBytes(path, 64, &head) || PictureFormatOf(Data(head), head.size()) == FORMAT_NONE) continue;
    char utf8[MAX_PATH * 4];
    int n = WideCharToMultiByte(CP_UTF8, 0, found.cFileName, -1, utf8, sizeof utf8, nullptr, nullptr);
    named.push_back({std::string(utf8, n > 0 ? size_t(n - 1) : 0), path});
  } while (FindNextFileW(search, &found));
  FindClose(search);
  std::sort(named.begin(), named.end(), [](const auto &a, const auto &b) { return NaturalLess(a.first, b.first); });
  std::vector<std::wstring> paths;
  for (auto &n : named) paths.push_back(n.second);
  return paths;
}

int AddFolderPages(ShowDocument *show, int32_t at, const std::wstring &folder, std::vector<std::wstring> *skipped) {
  const PageFrame frame = ShowFrame(show->editorSettings, Editor.screenWidth, Editor.screenHeight);
  const std::vector<TransitionChoice> turns = TurnChoices();
  int added = 0;
  for (const std::wstring &path : FolderPictures(folder)) {
    std::string head;
    ReadBytes(path, 64, &head);
    PictureInfo info;
    std::wstring why;
    // A JPEG is only looked at up to its size here: the folder of a camera
    // holds hundreds, and decoding comes with the thumbnails.
    bool jpeg = PictureFormatOf(Data(head), head.size()) == FORMAT_JPEG;
    std::string bytes;
    int w = 0, h = 0, bits = 0;
    if (jpeg && ReadBytes(path, 1 << 20, &bytes) && JpegScanMemory(bytes.data(), bytes.size(), &w, &h, &bits) &&
        PictureSizeAllowed(w, h, nullptr)) {
      info = {w, h, OrientationForExif(PictureExifOrientation(Data(bytes), bytes.size(), FORMAT_JPEG))};
    } else if (!ReadPictureInfo(path, &info, &why)) {
      skipped->push_back(FileNameOf(path));
      continue;
    }
    std::string stored = StorablePicturePath(path);
    if (stored.empty()) {
      skipped->push_back(FileNameOf(path));
      continue;
    }
    int32_t index = at + added;
    if (!InsertNewPage(&show->pages, index)) break;
    Page *page = &show->pages.pages[index];
    page->displayTime = 5000;
    int32_t picture;
    AddFittedPicture(page, &frame, stored.c_str(), info.width, info.height, info.orientation, &picture);
    if (!turns.empty()) {
      const TransitionChoice &choice = turns[size_t(added) % turns.size()];
      page->transitionId = choice.id;
      page->transitionWait = choice.wait;
      for (int k = 0; k < 20; ++k) PutInt32(page->transitionParams + 4 * k, choice.words[k]);
    }
    ++added;
  }
  return added;
}

void PictureDrawSize(int32_t longestSide) { drawSize = longestSide; }

void *LoadPictureForDrawing(const char *path) {
  if (!path || !*path) return nullptr;
  if (!cache) cache = new std::vector<CachedPicture>();
  for (CachedPicture &c : *cache)
    if (c.path == path && c.cover == drawSize) return MemDup(c.dib);
  size_t size = 0;
  uint64_t dropped = 0;
  PictureReport report;
  PictureReportClear(&report);
  unsigned char *bytes = ReadPictureFile(path, &size, &dropped, &report);
  if (!bytes) return nullptr;
  // A JPEG much larger than it is drawn is decoded at a fraction of its size.
  PictureDecodeOptions options = {0, drawSize, drawSize, nullptr};
  DecodedPicture decoded;
  int ok = DecodePictureWith(bytes, size, &options, &decoded, &report);
  MemFreePtr(bytes);
  if (!ok) return nullptr;
  if (cache->size() >= 6) {
    MemFree(&cache->front().dib);
    cache->erase(cache->begin());
  }
  cache->push_back({path, drawSize, MemDup(decoded.dib)});
  return decoded.dib;
}
