// Files of the editor. A working file is written with each page's preview;
// a saver file is the player beside the editor, the marker and the saver
// variant. Both go to a side file that is renamed over the target only when
// complete. A saver file opened for editing is read by the show loader into
// a temp folder of the editor's own, which lives as long as the show is
// open; the working file never points into it.
#include "editor/document_files.h"

#include <commctrl.h>
#include <commdlg.h>

#include <atomic>
#include <cstring>

#include "editor/cp932_text.h"
#include "editor/editor_plugins.h"
#include "editor/editor_state.h"
#include "editor/editor_views.h"
#include "editor/page_copy.h"
#include "editor/page_pictures.h"
#include "editor/picture_adding.h"
#include "editor/wide_messages.h"
#include "editor/working_extras.h"
#include "editor/missing_media.h"
#include "editor/recent_files.h"
#include "editor/show_settings.h"
#include "raster/dib.h"
#include "resources/editor_ids.h"
#include "shell/base/boundary_marker.h"
#include "shell/base/file_ops.h"
#include "shell/base/mem_block.h"
#include "shell/base/signed_size.h"
#include "shell/base/startup_state.h"
#include "show/show_loader.h"
#include "show/show_writer.h"
#include "show/picture_import.h"

namespace {
const wchar_t kTempPrefix[] = L"VkEditor-";
std::wstring editorTemp;      // this run's temp folder, with its lock file open
HANDLE editorTempLock = INVALID_HANDLE_VALUE;

std::u16string U16(const std::wstring &s) { return std::u16string(s.begin(), s.end()); }

bool DeleteTreeW(const std::wstring &folder) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      std::wstring path = folder + L"\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        DeleteTreeW(path);
      } else {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(path.c_str());
      }
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  return RemoveDirectoryW(folder.c_str()) != 0;
}

std::wstring SystemTemp() {
  wchar_t path[MAX_PATH + 1];
  DWORD n = GetTempPathW(MAX_PATH + 1, path);
  std::wstring temp(path, n);
  if (!temp.empty() && temp.back() == L'\\') temp.pop_back();
  return temp;
}

std::wstring FolderOf(const std::wstring &path) {
  size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

std::wstring StemOf(const std::wstring &path) {
  size_t slash = path.find_last_of(L"\\/");
  std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
  size_t dot = name.find_last_of(L'.');
  return dot == std::wstring::npos || dot == 0 ? name : name.substr(0, dot);
}

bool ReadWholeW(const std::wstring &path, std::string *bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size;
  bool ok = GetFileSizeEx(file, &size) && size.QuadPart < 0x40000000;
  if (ok) {
    bytes->resize(size_t(size.QuadPart));
    DWORD got = 0;
    ok = bytes->empty() || (ReadFile(file, &(*bytes)[0], DWORD(bytes->size()), &got, nullptr) && got == bytes->size());
  }
  CloseHandle(file);
  return ok;
}

// A sink on a file handle that counts what it wrote and stops when told.
struct FileSinkState {
  HANDLE file;
  std::atomic<uint64_t> *written;
  std::atomic<int> *cancel;
};
int HandleWrite(void *context, const void *bytes, size_t size) {
  auto *s = static_cast<FileSinkState *>(context);
  if (s->cancel && s->cancel->load()) return 0;
  const char *p = static_cast<const char *>(bytes);
  while (size > 0) {
    DWORD chunk = size > (1u << 20) ? (1u << 20) : DWORD(size), done = 0;
    if (!WriteFile(s->file, p, chunk, &done, nullptr) || done != chunk) return 0;
    p += chunk;
    size -= chunk;
    if (s->written) *s->written += chunk;
  }
  return 1;
}

// Asks for a file name to save under; "" when cancelled.
std::wstring AskSaveName(UINT title, UINT filter, const wchar_t *extension, const std::wstring &suggested) {
  wchar_t file[MAX_PATH * 4] = {};
  lstrcpynW(file, suggested.c_str(), MAX_PATH * 4);
  std::wstring filters = LoadWide(filter), caption = LoadWide(title);
  for (wchar_t &c : filters)
    if (c == L'|') c = 0;
  OPENFILENAMEW ofn = {};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = Editor.window;
  ofn.lpstrFilter = filters.c_str();
  ofn.lpstrFile = file;
  ofn.nMaxFile = MAX_PATH * 4;
  ofn.lpstrTitle = caption.c_str();
  ofn.lpstrDefExt = extension;
  ofn.Flags = OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER | OFN_NOREADONLYRETURN;
  if (!GetSaveFileNameW(&ofn)) return std::wstring();
  return file;
}

bool ConfirmOverwrite(const std::wstring &target) {
  if (GetFileAttributesW(target.c_str()) == INVALID_FILE_ATTRIBUTES) return true;
  return WideQuestion(Editor.window, FormatWide(5104, target));
}

void ShowWriteFailed() { WideError(Editor.window, LoadWide(5006)); }

// Frees every page's preview image: they are made afresh for each save.
void DropPreviews(ShowDocument *show) {
  for (int32_t i = 0; i < show->pages.pageCount; ++i) MemFree(&show->pages.pages[i].preview);
}

int ResetShow() {
  ClearShowDocument(&Show);
  if (!EnsurePages(&Show.pages, 1, 0)) return 0;
  Show.pages.selectedPage = 0;
  SetShowPageSize(Show.editorSettings, Editor.screenWidth, Editor.screenHeight);
  return 1;
}

void Opened(const std::wstring &path, bool saver) {
  Editor.documentPath = path;
  Editor.documentIsSaver = saver;
  Editor.modified = 0;
  Editor.selection = {ITEM_NONE, -1};
  ClearHistory(&Editor.history);
  DocumentChanged(CHANGE_ALL);
}

// The plug-in files in folder (never loaded: only their bytes are written back).
void CollectCarriedPlugins(const std::wstring &folder) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"\\*.tns").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    std::string path = AnsiPath(folder + L"\\" + found.cFileName);
    if (!path.empty()) Editor.carriedPlugins.push_back(path);
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

void TellMissingPlugins() {
  int missing = 0;
  for (int32_t i = 0; i < Show.pages.pageCount; ++i)
    if (Show.pages.pages[i].transitionId && PluginIndexFor(Show.pages.pages[i].transitionId) < 0) ++missing;
  if (missing) WideInfo(Editor.window, FormatWide(IDS_PLUGINS_MISSING_ON_OPEN, L"", missing));
}

// The show data of a saver file (what follows the first marker), copied into
// showFile. 0 when the file holds no marker or the copy fails.
int CopySaverShowData(const std::wstring &path, const std::wstring &showFile) {
  std::string bytes;
  if (!ReadWholeW(path, &bytes)) return 0;
  // A signature appended by signing is not part of the show.
  bytes.resize(size_t(UnsignedSize(reinterpret_cast<const unsigned char *>(bytes.data()), bytes.size(), bytes.size())));
  int64_t at = FindBoundaryMarker(reinterpret_cast<const unsigned char *>(bytes.data()), bytes.size());
  if (at < 0) return 0;
  HANDLE out = CreateFileW(showFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (out == INVALID_HANDLE_VALUE) return 0;
  FileSinkState state = {out, nullptr, nullptr};
  size_t start = size_t(at) + BOUNDARY_MARKER_SIZE;
  int ok = HandleWrite(&state, bytes.data() + start, bytes.size() - start);
  CloseHandle(out);
  if (!ok) DeleteFileW(showFile.c_str());
  return ok;
}

// Reads the show file at showPath (working or saver variant) into Show with
// the show loader; the old show comes back when that fails or the password
// prompt is cancelled. mediaRoot is where a saver variant's media go.
int LoadIntoShow(const std::wstring &showPath, const std::wstring &mediaRoot) {
  std::string ansi = AnsiPath(showPath), root = AnsiPath(mediaRoot);
  if (ansi.empty() || root.empty()) return 0;
  ShowDocument backup = Show;
  memset(&Show, 0, sizeof Show);
  Show.pages.pages = static_cast<Page *>(MemAlloc(0));
  CopyPath(Startup.tempFolder, (root + "\\").c_str());
  Startup.mediaFolder[0] = 0;
  // No "interval.inf" is read for editing: the pages keep their own times.
  Startup.programFolder[0] = 0;
  // The loader returns the page count, 0 when it fails, and 1 also for a
  // file that is not there, which leaves no pages: a show of one page is 1.
  int result = LoadShow(ansi.c_str(), LoadFull, 0, 1);
  MemFree(&Startup.extractedFiles);
  Startup.extractedCount = 0;
  if (result == 0 || Show.pages.pageCount < 1) {
    FreeShowCopy(&Show);
    Show = backup;
    return 0;
  }
  FreeShowCopy(&backup);
  DropPreviews(&Show);
  ClampSelectedPage(&Show.pages);
  return 1;
}

// The link, carried values and password after a working file's pages.
void ReadWorkingExtras(const std::wstring &path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  LARGE_INTEGER size = {};
  GetFileSizeEx(file, &size);
  std::string tail(size_t(size.QuadPart < int64_t(WORKING_EXTRAS_MAX_SIZE) ? size.QuadPart : WORKING_EXTRAS_MAX_SIZE), 0);
  LARGE_INTEGER at;
  at.QuadPart = size.QuadPart - int64_t(tail.size());
  DWORD got = 0;
  if (!tail.empty() && SetFilePointerEx(file, at, nullptr, FILE_BEGIN) &&
      ReadFile(file, &tail[0], DWORD(tail.size()), &got, nullptr) && got == tail.size())
    DecodeWorkingExtras(reinterpret_cast<const unsigned char *>(tail.data()), tail.size(), &Show);
  CloseHandle(file);
}

int OpenShowFile(const std::wstring &path, bool remember = true) {
  unsigned char head[SHOW_HEADER_SIZE] = {};
  std::string bytes;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  DWORD got = 0;
  if (file == INVALID_HANDLE_VALUE) {
    WideError(Editor.window, path + L"\r\n" + LoadWide(5010));
    return 0;
  }
  ReadFile(file, head, sizeof head, &got, nullptr);
  CloseHandle(file);
  bool working = got == sizeof head && MagicVariant(head) == SHOW_WORKING;
  bool stream = got == sizeof head && MagicVariant(head) == SHOW_SAVER;
  bool program = got >= 2 && head[0] == 'M' && head[1] == 'Z';
  if (!working && !stream && !program) {
    WideError(Editor.window, FormatWide(IDS_NOT_A_SHOW, path));
    return 0;
  }
  // The new show's temp folder; the old one stays until the new show is in.
  std::wstring root = EditorTempFolder();
  if (root.empty()) return 0;
  wchar_t name[32];
  static int serial = 0;
  wsprintfW(name, L"\\show%d", ++serial);
  std::wstring folder = root + name;
  if (!CreateDirectoryW(folder.c_str(), nullptr)) return 0;
  std::wstring showPath = path;
  if (program) {
    showPath = folder + L"\\show.dat";
    if (!CopySaverShowData(path, showPath)) {
      DeleteTreeW(folder);
      WideError(Editor.window, FormatWide(IDS_NOT_A_SHOW, path));
      return 0;
    }
  }
  if (!LoadIntoShow(showPath, folder)) {
    DeleteTreeW(folder);
    return 0;
  }
  if (program) DeleteFileW(showPath.c_str());
  CloseShowFiles();
  Editor.tempFolder = folder;
  if (working) {
    ReadWorkingExtras(path);
    // Plug-ins carried beside a working file by an earlier save.
    CollectCarriedPlugins(FolderOf(path) + L"\\" + StemOf(path) + L"_media");
  } else {
    CollectCarriedPlugins(WidePath(Startup.mediaFolder));
  }
  Opened(path, !working);
  if (remember) AddRecentFile(path);
  TellMissingPlugins();
  OfferToFindMissing(Editor.window);
  return 1;
}

int OpenFolder(const std::wstring &folder) {
  std::wstring trimmed = folder;
  while (trimmed.size() > 3 && (trimmed.back() == L'\\' || trimmed.back() == L'/')) trimmed.pop_back();
  ShowDocument built = {};
  built.pages.pages = static_cast<Page *>(MemAlloc(0));
  SetShowPageSize(built.editorSettings, Editor.screenWidth, Editor.screenHeight);
  std::vector<std::wstring> skipped;
  int added = AddFolderPages(&built, 0, trimmed, &skipped);
  if (!skipped.empty()) {
    std::wstring names;
    for (const std::wstring &n : skipped) names += n + L"\r\n";
    WideError(Editor.window, names + LoadWide(5021));
  }
  if (added < 1) {
    FreeShowCopy(&built);
    WideError(Editor.window, FormatWide(IDS_NO_PICTURES_IN_FOLDER, trimmed));
    return 0;
  }
  built.pages.selectedPage = 0;
  CloseShowFiles();
  FreeShowCopy(&Show);
  Show = built;
  Opened(L"", false);
  Editor.modified = 1;
  UpdateTitle();
  return 1;
}

// Every media file of the show whose stored path begins with fromPrefix is
// copied into media (made when needed) and the records name the copies.
int CopyMediaInto(const std::string &fromPrefix, const std::wstring &media) {
  if (fromPrefix.empty()) return 1;
  bool made = false;
  auto relocate = [&](char *stored) -> int {
    if (!stored[0] || !PathPrefixEquals(stored, fromPrefix.c_str())) return 1;
    if (!made) {
      CreateDirectoryW(media.c_str(), nullptr);
      made = true;
    }
    std::wstring from = WidePath(stored);
    std::wstring to = media + L"\\" + from.substr(from.find_last_of(L'\\') + 1);
    if (!CopyFileW(from.c_str(), to.c_str(), FALSE)) return 0;
    std::string path = StorablePicturePath(to);
    if (path.empty()) return 0;
    CopyPath(stored, path.c_str());
    return 1;
  };
  for (int32_t i = 0; i < Show.pages.pageCount; ++i) {
    Page &page = Show.pages.pages[i];
    for (int32_t k = 0; k < page.pictureCount; ++k)
      if (!relocate(page.pictures[k].path)) return 0;
    for (int32_t k = 0; k < page.soundCount; ++k)
      if (!relocate(page.sounds[k].path)) return 0;
  }
  for (auto &path : Show.bgmPaths.paths)
    if (!relocate(path)) return 0;
  for (std::string &plugin : Editor.carriedPlugins) {
    char stored[PATH_SIZE];
    CopyPath(stored, plugin.c_str());
    if (!relocate(stored)) return 0;
    plugin = stored;
  }
  return 1;
}

// Media that an opened saver file brought live in the temp folder: before a
// working file is written they are copied into a folder beside it and the
// records name the copies.
int MoveMediaBeside(const std::wstring &target) {
  std::string temp = Editor.tempFolder.empty() ? std::string() : AnsiPath(Editor.tempFolder);
  return CopyMediaInto(temp, FolderOf(target) + L"\\" + StemOf(target) + L"_media");
}

int WriteWorkingFile(const std::wstring &target) {
  if (!MoveMediaBeside(target)) {
    ShowWriteFailed();
    return 0;
  }
  int ok = WriteWorkingVariant(target, true);
  if (!ok) {
    ShowWriteFailed();
    return 0;
  }
  Editor.documentPath = target;
  Editor.documentIsSaver = false;
  Editor.modified = 0;
  AddRecentFile(target);
  UpdateTitle();
  return 1;
}

// ---- the saver file's writing, on a worker thread -----------------------------
struct SaverJob {
  const ShowDocument *show;
  std::wstring target, side;
  std::string player;
  std::vector<std::string> plugins;
  std::string tempFolder;
  std::atomic<uint64_t> written{0};
  std::atomic<int> pagesDone{0};
  std::atomic<int> cancel{0};
  std::atomic<int> finished{0};
  int ok = 0;
  std::wstring error;
};

DWORD WINAPI SaverWorker(void *context) {
  auto *job = static_cast<SaverJob *>(context);
  ShowDocument copy = {};
  std::vector<std::string> temporaries;
  int ok = CopyShow(&copy, job->show);
  // Every picture as the JPEG the player reads, page by page so that Cancel
  // is heard between pages.
  // Cancel also stops a long decode.
  DecodeStop stop = {[](void *context) { return int(static_cast<SaverJob *>(context)->cancel.load()); }, job};
  const int quality = ShowJpegQuality(copy.editorSettings);
  PictureImportOptions import = {quality, job->tempFolder.c_str(), 0, 0, 0, &stop};
  for (int32_t i = 0; ok && i < copy.pages.pageCount; ++i) {
    if (job->cancel.load()) ok = 0;
    ShowDocument one = {};
    one.pages.pages = &copy.pages.pages[i];
    one.pages.pageCount = 1;
    std::string error;
    if (ok && !ImportShowPictures(&one, 1, &import, &temporaries, &error)) {
      // The message counts pages from the one it was given.
      std::u16string text = FromCp932("page " + std::to_string(i + 1) + error.substr(error.rfind("page 1", 0) == 0 ? 6 : 0));
      job->error = std::wstring(text.begin(), text.end());
      ok = 0;
    }
    job->pagesDone = i + 1;
  }
  HANDLE file = INVALID_HANDLE_VALUE;
  if (ok) {
    file = CreateFileW(job->side.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ok = file != INVALID_HANDLE_VALUE;
  }
  if (ok) {
    FileSinkState state = {file, &job->written, &job->cancel};
    char marker[BOUNDARY_MARKER_SIZE];
    BuildBoundaryMarker(marker);
    ok = HandleWrite(&state, job->player.data(), job->player.size()) && HandleWrite(&state, marker, sizeof marker);
    std::vector<const char *> plugins;
    for (const std::string &p : job->plugins) plugins.push_back(p.c_str());
    char message[1024] = {};
    ShowSink sink = {&state, HandleWrite};
    WriteOptions options = {SHOW_SAVER, quality, nullptr, job->tempFolder.c_str(), plugins.data(),
                            int(plugins.size()), message, sizeof message};
    ok = ok && WriteShow(&copy, &options, &sink);
    if (!ok && message[0] && strcmp(message, "cannot write the show data") != 0) {
      std::u16string text = FromCp932(message);
      job->error = std::wstring(text.begin(), text.end());
    }
    ok = FlushFileBuffers(file) && ok;
    CloseHandle(file);
    ok = ok && !job->cancel.load() &&
         MoveFileExW(job->side.c_str(), job->target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) DeleteFileW(job->side.c_str());
  }
  RemoveTemporaries(&temporaries);
  FreeShowCopy(&copy);
  job->ok = ok;
  job->finished = 1;
  return 0;
}

INT_PTR CALLBACK ProgressProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(dialog, GWLP_USERDATA, lParam);
    SendDlgItemMessageW(dialog, IDC_PROGRESS_BAR, PBM_SETRANGE32, 0, 1000);
    return TRUE;
  }
  if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
    auto *job = reinterpret_cast<SaverJob *>(GetWindowLongPtrW(dialog, GWLP_USERDATA));
    if (job) job->cancel = 1;
    EnableWindow(GetDlgItem(dialog, IDCANCEL), FALSE);
    return TRUE;
  }
  return FALSE;
}

uint64_t FileSize(const char *path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data)) return 0;
  return (uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}
}  // namespace

int WriteWorkingVariant(const std::wstring &target, bool previews) {
  if (previews) {
    int32_t pageWidth, pageHeight;
    ShowPageSize(Show.editorSettings, &pageWidth, &pageHeight);
    for (int32_t i = 0; i < Show.pages.pageCount; ++i) {
      Page &page = Show.pages.pages[i];
      MemFree(&page.preview);
      page.preview = DrawPagePicture(&page, PREVIEW_WIDTH, PREVIEW_HEIGHT, pageWidth, pageHeight);
    }
  }
  // Written beside the target and renamed over it only when complete: the
  // previous file stays whole whatever happens to this one.
  std::wstring side = target + L".part";
  HANDLE file = CreateFileW(side.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  int ok = file != INVALID_HANDLE_VALUE;
  if (ok) {
    FileSinkState state = {file, nullptr, nullptr};
    ShowSink sink = {&state, HandleWrite};
    WriteOptions options = {SHOW_WORKING, 0, nullptr, nullptr, nullptr, 0, nullptr, 0};
    ok = WriteShow(&Show, &options, &sink);
    std::string extras = EncodeWorkingExtras(&Show);
    ok = ok && HandleWrite(&state, extras.data(), extras.size());
    ok = FlushFileBuffers(file) && ok;
    CloseHandle(file);
    ok = ok && MoveFileExW(side.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) DeleteFileW(side.c_str());
  }
  DropPreviews(&Show);
  return ok;
}

std::string AnsiPath(const std::wstring &path) {
  std::string out;
  if (ToCp932(U16(path), &out, nullptr) && out.size() < PATH_SIZE) return out;
  wchar_t shortPath[MAX_PATH * 2];
  DWORD n = GetShortPathNameW(path.c_str(), shortPath, MAX_PATH * 2);
  if (n && n < MAX_PATH * 2 && ToCp932(U16(std::wstring(shortPath, n)), &out, nullptr) && out.size() < PATH_SIZE)
    return out;
  return std::string();
}

std::wstring WidePath(const std::string &cp932) {
  std::u16string wide = FromCp932(cp932);
  return std::wstring(wide.begin(), wide.end());
}

void RemoveStaleTempFolders() {
  std::wstring temp = SystemTemp();
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((temp + L"\\" + kTempPrefix + L"*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
    std::wstring folder = temp + L"\\" + found.cFileName;
    // A running editor holds its folder's lock file open: it cannot be deleted.
    std::wstring lock = folder + L"\\lock";
    if (GetFileAttributesW(lock.c_str()) != INVALID_FILE_ATTRIBUTES && !DeleteFileW(lock.c_str())) continue;
    DeleteTreeW(folder);
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

const std::wstring &EditorTempFolder() {
  if (!editorTemp.empty()) return editorTemp;
  wchar_t name[64];
  wsprintfW(name, L"%s%lu-%lu", kTempPrefix, GetCurrentProcessId(), GetTickCount());
  std::wstring folder = SystemTemp() + L"\\" + name;
  if (!CreateDirectoryW(folder.c_str(), nullptr)) return editorTemp;
  editorTempLock = CreateFileW((folder + L"\\lock").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_TEMPORARY, nullptr);
  editorTemp = folder;
  return editorTemp;
}

void CloseShowFiles() {
  if (!Editor.tempFolder.empty()) DeleteTreeW(Editor.tempFolder);
  Editor.tempFolder.clear();
  Editor.carriedPlugins.clear();
}

void RemoveEditorTempFolder() {
  CloseShowFiles();
  if (editorTempLock != INVALID_HANDLE_VALUE) CloseHandle(editorTempLock);
  editorTempLock = INVALID_HANDLE_VALUE;
  if (!editorTemp.empty()) DeleteTreeW(editorTemp);
  editorTemp.clear();
}

void NewShow() {
  CloseShowFiles();
  ResetShow();
  Opened(L"", false);
}

int OpenRecoveredShow(const std::wstring &file, const std::wstring &origin) {
  // Save asks for a name when the show came from a saver file.
  unsigned char head[MAGIC_SIZE] = {};
  DWORD got = 0;
  HANDLE was = CreateFileW(origin.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (was != INVALID_HANDLE_VALUE) {
    ReadFile(was, head, sizeof head, &got, nullptr);
    CloseHandle(was);
  }
  bool saver = (got >= 2 && head[0] == 'M' && head[1] == 'Z') || (got == MAGIC_SIZE && MagicVariant(head) == SHOW_SAVER);
  if (!OpenShowFile(file, false)) return 0;
  // A show that was opened from a saver file had its media in the temp
  // folder of the editor that ended: they come into this run's show folder
  // before that folder is removed as stale.
  std::string stale = AnsiPath(SystemTemp() + L"\\" + kTempPrefix);
  if (!CopyMediaInto(stale, Editor.tempFolder)) OfferToFindMissing(Editor.window);
  Editor.documentPath = origin;
  Editor.documentIsSaver = saver;
  Editor.modified = 1;
  UpdateTitle();
  return 1;
}

int AskToKeepChanges() {
  if (!Editor.modified) return 1;
  std::wstring name = Editor.documentPath.empty() ? LoadWide(IDS_UNTITLED) : Editor.documentPath;
  switch (WideYesNoCancel(Editor.window, FormatWide(IDS_ASK_SAVE, name))) {
    case IDYES: return SaveWorking(false);
    case IDNO: return 1;
    default: return 0;
  }
}

int OpenPath(const std::wstring &path) {
  if (!AskToKeepChanges()) return 0;
  DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return OpenFolder(path);
  return OpenShowFile(path);
}

int SaveWorking(bool askName) {
  std::wstring target = Editor.documentPath;
  if (askName || target.empty() || Editor.documentIsSaver) {
    std::wstring suggested = target.empty() ? LoadWide(IDS_UNTITLED) : StemOf(target);
    target = AskSaveName(IDS_SAVE_TITLE, IDS_FILTER_WORKING, L"vkshow", suggested);
    if (target.empty() || !ConfirmOverwrite(target)) return 0;
  }
  return WriteWorkingFile(target);
}

int SaveSaverAs() {
  if (RefuseForMissingMedia(Editor.window)) return 0;
  std::wstring suggested = Editor.documentPath.empty() ? LoadWide(IDS_UNTITLED) : StemOf(Editor.documentPath);
  std::wstring target = AskSaveName(IDS_SAVER_TITLE, IDS_FILTER_SAVER, L"scr", suggested);
  if (target.empty() || !ConfirmOverwrite(target)) return 0;
  return WriteSaverFile(Editor.window, target, &Show, true);
}

std::vector<std::string> PluginFilesForWriting() {
  std::vector<std::string> files = OwnPluginFiles();
  files.insert(files.end(), Editor.carriedPlugins.begin(), Editor.carriedPlugins.end());
  return files;
}

int WriteSaverFile(HWND owner, const std::wstring &target, const ShowDocument *show, bool progress) {
  SaverJob job;
  job.show = show;
  job.target = target;
  job.side = target + L".part";
  job.plugins = PluginFilesForWriting();
  job.tempFolder = AnsiPath(EditorTempFolder());
  std::wstring playerPath = Editor.programFolder + L"VORMKIT.scr";
  if (!ReadWholeW(playerPath, &job.player) ||
      FindBoundaryMarker(reinterpret_cast<const unsigned char *>(job.player.data()), job.player.size()) >= 0) {
    WideError(owner, playerPath + L" が見つかりません。");
    return 0;
  }
  // What the writing will come to, for the progress bar.
  uint64_t total = job.player.size();
  for (int32_t i = 0; i < show->pages.pageCount; ++i) {
    const Page &page = show->pages.pages[i];
    for (int32_t k = 0; k < page.pictureCount; ++k) total += FileSize(page.pictures[k].path);
    for (int32_t k = 0; k < page.soundCount; ++k) total += FileSize(page.sounds[k].path);
  }
  HANDLE worker = CreateThread(nullptr, 0, SaverWorker, &job, 0, nullptr);
  if (!worker) {
    ShowWriteFailed();
    return 0;
  }
  // The window stays answering; a dialog with a progress bar and Cancel
  // comes up when the writing takes more than a moment.
  HWND dialog = nullptr;
  DWORD start = GetTickCount();
  EnableWindow(owner, FALSE);
  while (!job.finished.load()) {
    DWORD wait = MsgWaitForMultipleObjects(1, &worker, FALSE, 100, QS_ALLINPUT);
    if (wait == WAIT_OBJECT_0) break;
    if (progress && !dialog && GetTickCount() - start > 400) {
      dialog = CreateDialogParamW(Editor.instance, MAKEINTRESOURCEW(IDD_PROGRESS), owner, ProgressProc,
                                  reinterpret_cast<LPARAM>(&job));
      if (dialog) {
        SetDlgItemTextW(dialog, IDC_PROGRESS_TEXT, FormatWide(IDS_WRITING, target.substr(target.find_last_of(L'\\') + 1)).c_str());
        ShowWindow(dialog, SW_SHOW);
      }
    }
    if (dialog) {
      int pages = show->pages.pageCount > 0 ? show->pages.pageCount : 1;
      uint64_t done = job.written.load();
      int permille = int(500 * job.pagesDone.load() / pages) + (total ? int(500 * (done > total ? total : done) / total) : 0);
      SendDlgItemMessageW(dialog, IDC_PROGRESS_BAR, PBM_SETPOS, WPARAM(permille), 0);
    }
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        PostQuitMessage(int(msg.wParam));
        job.cancel = 1;
        break;
      }
      if (dialog && IsDialogMessageW(dialog, &msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  WaitForSingleObject(worker, INFINITE);
  CloseHandle(worker);
  EnableWindow(owner, TRUE);
  if (dialog) DestroyWindow(dialog);
  SetForegroundWindow(owner);
  if (!job.ok && !job.cancel.load()) {
    if (job.error.empty()) ShowWriteFailed();
    else WideError(owner, job.error + L"\r\n" + LoadWide(5006));
  }
  return job.ok;
}

std::wstring AskTargetName(UINT title, UINT filter, const wchar_t *extension, const std::wstring &suggested) {
  std::wstring target = AskSaveName(title, filter, extension, suggested);
  return target.empty() || !ConfirmOverwrite(target) ? std::wstring() : target;
}
