// The set-up program is written by the same writer as vormkit-pack's setup
// command (setup/setup_writer.h): the bare vormkit-setup.exe beside the
// editor, then the saver (written first into the editor's temp folder) and
// a picture of the first page for the set-up window. The target is written
// under a side name and renamed into place when complete.
#include "editor/setup_saving.h"

#include <windows.h>

#include <string>
#include <vector>

#include "editor/document_files.h"
#include "editor/editor_state.h"
#include "editor/page_copy.h"
#include "editor/page_frame.h"
#include "editor/page_pictures.h"
#include "editor/wide_messages.h"
#include "raster/dib.h"
#include "resources/editor_ids.h"
#include "setup/setup_writer.h"
#include "shell/base/mem_block.h"
#include "shell/base/wide_utf8.h"

#ifndef VK_VERSION
#define VK_VERSION "0"
#endif

namespace {
// The dialog title "スクリーンセーバーセットアップファイルを保存".
constexpr UINT kSetupTitle = 5154;
// The set-up window's picture of the first page fits this box.
constexpr int32_t kPreviewWidth = 480, kPreviewHeight = 360;

std::wstring NameOf(const std::wstring &path) { return path.substr(path.find_last_of(L"\\/") + 1); }

std::wstring StemOfName(const std::wstring &name) {
  size_t dot = name.find_last_of(L'.');
  return dot == std::wstring::npos || dot == 0 ? name : name.substr(0, dot);
}

// The saver's name inside the set-up program: the target's, without ".exe"
// and without a trailing "-setup".
std::wstring SaverName(const std::wstring &target) {
  std::wstring stem = StemOfName(NameOf(target));
  const std::wstring tail = L"-setup";
  if (stem.size() > tail.size() && lstrcmpiW(stem.substr(stem.size() - tail.size()).c_str(), tail.c_str()) == 0)
    stem.resize(stem.size() - tail.size());
  return stem + L".scr";
}

bool ReadAll(const std::wstring &path, std::vector<unsigned char> *bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size;
  DWORD got = 0;
  bool ok = GetFileSizeEx(file, &size) && size.QuadPart < (64 << 20);
  if (ok) bytes->resize(size_t(size.QuadPart));
  ok = ok && (bytes->empty() || (ReadFile(file, bytes->data(), DWORD(bytes->size()), &got, nullptr) &&
                                 got == bytes->size()));
  CloseHandle(file);
  return ok;
}

// The first page, drawn by the player's composition in the page's shape.
std::vector<unsigned char> FirstPagePicture() {
  std::vector<unsigned char> bytes;
  if (Show.pages.pageCount < 1) return bytes;
  PageFrame frame = CurrentFrame();
  int32_t w = kPreviewWidth, h = int32_t(int64_t(w) * frame.height / frame.width);
  if (h > kPreviewHeight) {
    h = kPreviewHeight;
    w = int32_t(int64_t(h) * frame.width / frame.height);
  }
  Page page;
  if (w < 1 || h < 1 || !CopyPage(&page, &Show.pages.pages[0])) return bytes;
  void *picture = DrawPagePicture(&page, w, h, frame.width, frame.height);
  FreePage(&page);
  if (!picture) return bytes;
  const unsigned char *block = static_cast<const unsigned char *>(picture);
  bytes.assign(block, block + 40 + size_t(DibStride(w, 24)) * size_t(h));
  MemFree(&picture);
  return bytes;
}

int ReadHandleAt(void *context, uint64_t offset, void *buffer, uint32_t size) {
  LARGE_INTEGER at;
  at.QuadPart = LONGLONG(offset);
  DWORD got = 0;
  HANDLE file = static_cast<HANDLE>(context);
  return SetFilePointerEx(file, at, nullptr, FILE_BEGIN) && ReadFile(file, buffer, size, &got, nullptr) && got == size;
}

int WriteHandle(void *context, const void *bytes, size_t size) {
  DWORD written = 0;
  return WriteFile(static_cast<HANDLE>(context), bytes, DWORD(size), &written, nullptr) && written == size;
}

// Writes the set-up program of the saver file at saverPath to target.
bool WriteSetupFile(const std::wstring &target, const std::wstring &saverPath, const std::vector<unsigned char> &stub,
                    std::wstring *reason) {
  HANDLE saver = CreateFileW(saverPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  LARGE_INTEGER size = {};
  if (saver == INVALID_HANDLE_VALUE || !GetFileSizeEx(saver, &size)) {
    if (saver != INVALID_HANDLE_VALUE) CloseHandle(saver);
    return false;
  }
  SetupDetails details;
  details.version = VK_VERSION;
  SetupPackage package;
  std::string error;
  bool ok = SaverSetupPackage(WideToUtf8(SaverName(target)), uint64_t(size.QuadPart), {saver, ReadHandleAt}, details,
                              FirstPagePicture(), &package, &error) != 0;
  const std::wstring side = target + L".part";
  HANDLE out = ok ? CreateFileW(side.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr)
                  : INVALID_HANDLE_VALUE;
  if (ok && out != INVALID_HANDLE_VALUE) {
    ok = WriteSetupProgram(stub, package, {out, WriteHandle}, &error) != 0;
    ok = CloseHandle(out) && ok;
    ok = ok && MoveFileExW(side.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING);
    if (!ok) DeleteFileW(side.c_str());
  } else {
    ok = false;
  }
  CloseHandle(saver);
  int n = MultiByteToWideChar(CP_UTF8, 0, error.data(), int(error.size()), nullptr, 0);
  reason->assign(size_t(n), L'\0');
  if (n) MultiByteToWideChar(CP_UTF8, 0, error.data(), int(error.size()), &(*reason)[0], n);
  return ok;
}
}  // namespace

int SaveSetupAs() {
  std::wstring stem = Editor.documentPath.empty() ? LoadWide(IDS_UNTITLED) : StemOfName(NameOf(Editor.documentPath));
  std::wstring target = AskTargetName(kSetupTitle, IDS_FILTER_SETUP, L"exe", stem + L"-setup.exe");
  if (target.empty()) return 0;
  const std::wstring stubPath = Editor.programFolder + L"vormkit-setup.exe";
  std::vector<unsigned char> stub;
  if (!ReadAll(stubPath, &stub)) {
    WideError(Editor.window, stubPath + L" が見つかりません。");
    return 0;
  }
  const std::wstring &temp = EditorTempFolder();
  if (temp.empty()) {
    WideError(Editor.window, LoadWide(5006));
    return 0;
  }
  // The saver first, with the progress window of a long write; then the set-up program around it.
  const std::wstring saverPath = temp + L"\\setup-" + std::to_wstring(GetTickCount()) + L".scr";
  if (!WriteSaverFile(Editor.window, saverPath, &Show, true)) return 0;
  std::wstring reason;
  bool ok = WriteSetupFile(target, saverPath, stub, &reason);
  DeleteFileW(saverPath.c_str());
  if (!ok) WideError(Editor.window, LoadWide(5006) + (reason.empty() ? L"" : L"\r\n" + reason));
  return ok;
}
