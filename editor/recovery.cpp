// Autosave and recovery; see recovery.h. A recovery file NAME.vkshow comes
// with NAME.lock (held open by its editor while it runs) and NAME.origin
// (the UTF-16 path of the show it was saved from, empty for a new show).
#include "editor/recovery.h"

#include <shlobj.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "editor/document_files.h"
#include "editor/editor_state.h"
#include "editor/wide_messages.h"
#include "resources/editor_ids.h"

namespace {
std::wstring ownStem;  // this run's recovery files without their extension
HANDLE ownLock = INVALID_HANDLE_VALUE;
int32_t lastPage = -1;

std::wstring RecoveryFolder() {
  wchar_t base[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, base))) return L"";
  std::wstring folder = std::wstring(base) + L"\\VORMKIT";
  CreateDirectoryW(folder.c_str(), nullptr);
  folder += L"\\Recovery";
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

// This run's file names, and its lock taken, the first time they are needed.
const std::wstring &OwnStem() {
  if (!ownStem.empty()) return ownStem;
  std::wstring folder = RecoveryFolder();
  if (folder.empty()) return ownStem;
  wchar_t name[48];
  wsprintfW(name, L"\\show-%lu-%lu", GetCurrentProcessId(), GetTickCount());
  std::wstring stem = folder + name;
  ownLock = CreateFileW((stem + L".lock").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (ownLock != INVALID_HANDLE_VALUE) ownStem = stem;
  return ownStem;
}

void WriteOrigin(const std::wstring &stem) {
  HANDLE file = CreateFileW((stem + L".origin").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD done = 0;
  WriteFile(file, Editor.documentPath.data(), DWORD(Editor.documentPath.size() * sizeof(wchar_t)), &done, nullptr);
  CloseHandle(file);
}

std::wstring ReadOrigin(const std::wstring &stem) {
  HANDLE file = CreateFileW((stem + L".origin").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return L"";
  wchar_t text[MAX_PATH * 4] = {};
  DWORD got = 0;
  ReadFile(file, text, sizeof text - sizeof(wchar_t), &got, nullptr);
  CloseHandle(file);
  return std::wstring(text, got / sizeof(wchar_t));
}

void RemoveFiles(const std::wstring &stem) {
  for (const wchar_t *ext : {L".vkshow", L".origin", L".lock"}) DeleteFileW((stem + ext).c_str());
}
}  // namespace

void StartAutosave(HWND window) {
  UINT interval = 120000;
  const char *set = getenv("VK_AUTOSAVE_MS");
  if (set && atoi(set) > 0) interval = UINT(atoi(set));
  SetTimer(window, AUTOSAVE_TIMER_ID, interval, nullptr);
}

void Autosave() {
  if (!Editor.modified) {
    if (!ownStem.empty()) {
      DeleteFileW((ownStem + L".vkshow").c_str());
      DeleteFileW((ownStem + L".origin").c_str());
    }
    return;
  }
  const std::wstring &stem = OwnStem();
  if (stem.empty()) return;
  // The origin first: a recovery file is never found without it.
  WriteOrigin(stem);
  WriteWorkingVariant(stem + L".vkshow", false);
}

void AutosaveOnPageChange(int32_t page) {
  if (page == lastPage) return;
  bool first = lastPage < 0;
  lastPage = page;
  if (!first) Autosave();
}

void OfferRecovery(HWND owner) {
  std::wstring folder = RecoveryFolder();
  if (folder.empty()) return;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"\\*.vkshow").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  std::vector<std::wstring> stems;
  do {
    std::wstring name = found.cFileName;
    stems.push_back(folder + L"\\" + name.substr(0, name.size() - 7));
  } while (FindNextFileW(search, &found));
  FindClose(search);
  bool restored = false;
  for (const std::wstring &stem : stems) {
    // A running editor holds its lock open: its file is not offered.
    std::wstring lock = stem + L".lock";
    if (stem == ownStem || (GetFileAttributesW(lock.c_str()) != INVALID_FILE_ATTRIBUTES && !DeleteFileW(lock.c_str())))
      continue;
    // One show is open at a time: the others wait for the next start.
    if (restored) continue;
    std::wstring origin = ReadOrigin(stem);
    std::wstring name = origin.empty() ? LoadWide(IDS_UNTITLED) : origin.substr(origin.find_last_of(L"\\/") + 1);
    // Restored or declined (or too damaged to open, which the loader said),
    // the file has done its work.
    if (WideQuestion(owner, FormatWide(IDS_RESTORE, name))) restored = OpenRecoveredShow(stem + L".vkshow", origin) != 0;
    RemoveFiles(stem);
  }
}

void RemoveRecovery() {
  if (ownStem.empty()) return;
  if (ownLock != INVALID_HANDLE_VALUE) CloseHandle(ownLock);
  ownLock = INVALID_HANDLE_VALUE;
  RemoveFiles(ownStem);
  ownStem.clear();
}
