// The recent files; see recent_files.h.
#include "editor/recent_files.h"

#include <windows.h>

#include <vector>

#include "editor/editor_state.h"
#include "resources/editor_ids.h"

namespace {
const wchar_t kSettingsKey[] = L"Software\\VORMKIT\\Editor";

std::vector<std::wstring> ReadList() {
  std::vector<std::wstring> list;
  HKEY key;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return list;
  for (int k = 0; k < RECENT_FILE_COUNT; ++k) {
    wchar_t name[16], value[MAX_PATH * 4] = {};
    wsprintfW(name, L"Recent%d", k);
    DWORD size = sizeof value - sizeof(wchar_t), type = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE *>(value), &size) == ERROR_SUCCESS &&
        type == REG_SZ && value[0])
      list.push_back(value);
  }
  RegCloseKey(key);
  return list;
}
}  // namespace

void AddRecentFile(const std::wstring &path) {
  std::vector<std::wstring> list = ReadList();
  for (size_t k = 0; k < list.size(); ++k)
    if (lstrcmpiW(list[k].c_str(), path.c_str()) == 0) list.erase(list.begin() + long(k--));
  list.insert(list.begin(), path);
  if (list.size() > RECENT_FILE_COUNT) list.resize(RECENT_FILE_COUNT);
  HKEY key;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return;
  for (int k = 0; k < RECENT_FILE_COUNT; ++k) {
    wchar_t name[16];
    wsprintfW(name, L"Recent%d", k);
    if (size_t(k) < list.size())
      RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(list[size_t(k)].c_str()),
                     DWORD((list[size_t(k)].size() + 1) * sizeof(wchar_t)));
    else
      RegDeleteValueW(key, name);
  }
  RegCloseKey(key);
  UpdateRecentMenu();
}

std::wstring RecentFile(int k) {
  std::vector<std::wstring> list = ReadList();
  return k >= 0 && size_t(k) < list.size() ? list[size_t(k)] : std::wstring();
}

void UpdateRecentMenu() {
  HMENU bar = Editor.window ? GetMenu(Editor.window) : nullptr;
  HMENU file = bar ? GetSubMenu(bar, 0) : nullptr;
  if (!file) return;
  // The old entries and their separator go; the new ones come above 終了.
  for (int k = 0; k < RECENT_FILE_COUNT; ++k) DeleteMenu(file, UINT(IDM_RECENT_FIRST + k), MF_BYCOMMAND);
  DeleteMenu(file, UINT(IDM_RECENT_FIRST + RECENT_FILE_COUNT), MF_BYCOMMAND);
  std::vector<std::wstring> list = ReadList();
  if (list.empty()) return;
  int exitAt = -1;
  for (int k = 0; k < GetMenuItemCount(file); ++k)
    if (GetMenuItemID(file, k) == IDM_EXIT) exitAt = k;
  if (exitAt < 0) return;
  for (size_t k = 0; k < list.size(); ++k) {
    std::wstring name = list[k];
    size_t slash = name.find_last_of(L"\\/");
    if (slash != std::wstring::npos) name = name.substr(slash + 1);
    std::wstring item = L"&" + std::to_wstring(k + 1) + L" " + name;
    InsertMenuW(file, UINT(exitAt++), MF_BYPOSITION | MF_STRING, UINT_PTR(IDM_RECENT_FIRST + int(k)), item.c_str());
  }
  // A separator with an id of its own, so that it goes with the entries.
  MENUITEMINFOW separator = {};
  separator.cbSize = sizeof separator;
  separator.fMask = MIIM_FTYPE | MIIM_ID;
  separator.fType = MFT_SEPARATOR;
  separator.wID = UINT(IDM_RECENT_FIRST + RECENT_FILE_COUNT);
  InsertMenuItemW(file, UINT(exitAt), TRUE, &separator);
}
