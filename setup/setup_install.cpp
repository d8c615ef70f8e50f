// The install and the uninstall, step by step. Every file is written under a
// side name and renamed into place only when the whole package has been
// copied and checked again, so a damaged package leaves nothing behind.
#include "setup/setup_install.h"

#include <shlobj.h>
#include <shlwapi.h>

#include <vector>

#include "setup/setup_format.h"
#include "shell/base/wide_utf8.h"

namespace {
const wchar_t kUninstallRoot[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const wchar_t kDesktop[] = L"Control Panel\\Desktop";
const wchar_t kClasses[] = L"Software\\Classes";

bool SafeName(const std::wstring &name) { return SetupNameIsSafe(WideToUtf8(name)); }

bool SameText(const std::wstring &a, const std::wstring &b) { return lstrcmpiW(a.c_str(), b.c_str()) == 0; }

std::wstring KnownFolder(int csidl) {
  wchar_t path[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, csidl | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, path))) return L"";
  return path;
}

std::wstring Programs() {
  std::wstring local = KnownFolder(CSIDL_LOCAL_APPDATA);
  return local.empty() ? local : local + L"\\Programs";
}

// Creates path and every missing folder above it.
bool MakeFolders(const std::wstring &path) {
  for (size_t at = path.find(L'\\', 3); ; at = path.find(L'\\', at + 1)) {
    std::wstring part = path.substr(0, at);
    if (!CreateDirectoryW(part.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
    if (at == std::wstring::npos) return true;
  }
}

std::wstring FolderOfPath(const std::wstring &path) { return path.substr(0, path.rfind(L'\\')); }

bool WriteBytes(HANDLE file, const void *bytes, DWORD size) {
  DWORD written = 0;
  return WriteFile(file, bytes, size, &written, nullptr) && written == size;
}

// The whole of bytes at path, through a side file.
bool WriteWhole(const std::wstring &path, const std::vector<unsigned char> &bytes) {
  std::wstring side = path + L".part";
  HANDLE file = CreateFileW(side.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool ok = WriteBytes(file, bytes.data(), DWORD(bytes.size()));
  ok = CloseHandle(file) && ok;
  ok = ok && MoveFileExW(side.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
  if (!ok) DeleteFileW(side.c_str());
  return ok;
}

// ---- registry ----------------------------------------------------------------
bool GetString(HKEY key, const wchar_t *name, std::wstring *value) {
  DWORD type = 0, size = 0;
  if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ))
    return false;
  std::vector<wchar_t> text(size / sizeof(wchar_t) + 1, L'\0');
  if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE *>(text.data()), &size) != ERROR_SUCCESS)
    return false;
  *value = text.data();
  return true;
}

bool SetString(HKEY key, const wchar_t *name, const std::wstring &value) {
  return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(value.c_str()),
                        DWORD((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool SetDword(HKEY key, const wchar_t *name, DWORD value) {
  return RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&value), sizeof value) ==
         ERROR_SUCCESS;
}

DWORD GetDword(HKEY key, const wchar_t *name) {
  DWORD value = 0, size = sizeof value, type = 0;
  if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE *>(&value), &size) != ERROR_SUCCESS ||
      type != REG_DWORD)
    return 0;
  return value;
}

std::vector<std::wstring> GetList(HKEY key, const wchar_t *name) {
  std::vector<std::wstring> list;
  DWORD type = 0, size = 0;
  if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_MULTI_SZ)
    return list;
  std::vector<wchar_t> text(size / sizeof(wchar_t) + 2, L'\0');
  RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE *>(text.data()), &size);
  for (const wchar_t *p = text.data(); *p; p += lstrlenW(p) + 1) list.push_back(p);
  return list;
}

bool SetList(HKEY key, const wchar_t *name, const std::vector<std::wstring> &list) {
  std::wstring text;
  for (const std::wstring &item : list) text += item + L'\0';
  text += L'\0';
  return RegSetValueExW(key, name, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE *>(text.data()),
                        DWORD(text.size() * sizeof(wchar_t))) == ERROR_SUCCESS;
}

// Sets name to value, or deletes it when there is no value.
void PutOrDelete(HKEY key, const wchar_t *name, bool present, const std::wstring &value) {
  if (present) SetString(key, name, value);
  else RegDeleteValueW(key, name);
}

HKEY OpenEntry(const std::wstring &key, REGSAM access) {
  HKEY entry = nullptr;
  std::wstring path = std::wstring(kUninstallRoot) + L"\\" + key;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, access, &entry) != ERROR_SUCCESS) return nullptr;
  if (!GetDword(entry, L"VormkitSetup")) {
    RegCloseKey(entry);
    return nullptr;
  }
  return entry;
}

// ---- the parts of a package --------------------------------------------------
struct Plan {
  std::wstring kind, name, key, folder, version, publisher, saver, icon, uninstaller;
  std::wstring shortcut, shortcutName, extension, progid, typeName;
  std::wstring dir;  // the install folder
};

bool Plain(const std::wstring &text, const wchar_t *allowed) {
  if (text.empty()) return false;
  for (wchar_t c : text)
    if (!((c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') || wcschr(allowed, c)))
      return false;
  return true;
}

bool MakePlan(const OwnPackage &package, Plan *plan, std::wstring *error) {
  plan->kind = InfoValue(package, "kind");
  plan->name = InfoValue(package, "name");
  plan->key = InfoValue(package, "key");
  plan->folder = InfoValue(package, "folder");
  plan->version = InfoValue(package, "version");
  plan->publisher = InfoValue(package, "publisher");
  plan->saver = InfoValue(package, "saver");
  plan->icon = InfoValue(package, "icon");
  plan->uninstaller = InfoValue(package, "uninstaller");
  plan->shortcut = InfoValue(package, "shortcut");
  plan->shortcutName = InfoValue(package, "shortcutName");
  plan->extension = InfoValue(package, "extension");
  plan->progid = InfoValue(package, "progid");
  plan->typeName = InfoValue(package, "typeName");
  bool ok = (plan->kind == L"saver" || plan->kind == L"kit") && !plan->name.empty() && !plan->key.empty() &&
            plan->key.size() < 200 && plan->key.find(L'\\') == std::wstring::npos && SafeName(plan->folder) &&
            SafeName(plan->uninstaller) && plan->uninstaller.find(L'\\') == std::wstring::npos &&
            (plan->kind != L"saver" || (SafeName(plan->saver) && plan->saver.find(L'\\') == std::wstring::npos)) &&
            (plan->icon.empty() || SafeName(plan->icon)) &&
            (plan->shortcut.empty() || (SafeName(plan->shortcut) && SafeName(plan->shortcutName))) &&
            (plan->extension.empty() ||
             (plan->extension[0] == L'.' && Plain(plan->extension.substr(1), L"") && Plain(plan->progid, L".") &&
              SafeName(plan->shortcut)));
  std::wstring programs = Programs();
  if (!ok || programs.empty()) {
    *error = ok ? L"ユーザーのフォルダ (LOCALAPPDATA) が見つかりません。" : L"セットアップの内容が正しくありません。";
    return false;
  }
  plan->dir = programs + L"\\" + plan->folder;
  return true;
}

// The value SCRNSAVE.EXE gets: the saver's path, its short form when the
// long one holds a space (the system starts the saver from this text).
std::wstring SaverValue(const std::wstring &path) {
  if (path.find(L' ') == std::wstring::npos) return path;
  wchar_t shortPath[MAX_PATH] = {};
  DWORD n = GetShortPathNameW(path.c_str(), shortPath, MAX_PATH);
  return n && n < MAX_PATH ? std::wstring(shortPath) : path;
}

struct Part {
  std::wstring side, target;
};

// Copies every file of the package into side files beside their targets,
// checking the bytes against the package's checksum again on the way.
bool CopyFiles(const OwnPackage &package, const Plan &plan, std::vector<Part> *parts, std::vector<std::wstring> *names,
               uint64_t *total, std::wstring *error) {
  uint32_t crc = Crc32(0, package.info.data(), package.info.size());
  crc = Crc32(crc, package.preview.data(), package.preview.size());
  uint64_t at = package.filesAt;
  const uint64_t end = package.filesAt - package.header.infoSize - package.header.previewSize + package.header.bodySize;
  std::vector<unsigned char> piece(1u << 20);
  for (uint32_t i = 0; i < package.header.fileCount; ++i) {
    unsigned char fields[8];
    std::string name;
    if (at + 4 > end || !ReadAt(package.file, at, fields, 4)) return false;
    uint32_t nameSize = GetU32(fields);
    if (nameSize > SETUP_MAX_NAME || at + 4 + nameSize + 8 > end) return false;
    name.resize(nameSize);
    if ((nameSize && !ReadAt(package.file, at + 4, &name[0], nameSize)) ||
        !ReadAt(package.file, at + 4 + nameSize, fields, 8))
      return false;
    unsigned char sizeField[4];
    PutU32(sizeField, nameSize);
    crc = Crc32(Crc32(Crc32(crc, sizeField, 4), name.data(), name.size()), fields, 8);
    uint64_t size = GetU64(fields);
    at += 12 + nameSize;
    std::wstring wide = Wide(name);
    if (!SetupNameIsSafe(name) || size > end - at || SameText(wide, plan.uninstaller)) return false;
    std::wstring target = plan.dir + L"\\" + wide;
    if (!MakeFolders(FolderOfPath(target))) {
      *error = FolderOfPath(target) + L" を作れません。";
      return false;
    }
    Part part = {target + L".part", target};
    HANDLE file = CreateFileW(part.side.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      *error = target + L" を書き込めません。";
      return false;
    }
    parts->push_back(part);
    bool ok = true;
    for (uint64_t done = 0; ok && done < size;) {
      uint32_t n = uint32_t(size - done < piece.size() ? size - done : piece.size());
      ok = ReadAt(package.file, at + done, piece.data(), n);
      if (!ok) break;
      crc = Crc32(crc, piece.data(), n);
      ok = WriteBytes(file, piece.data(), n);
      if (!ok) *error = target + L" を書き込めません。ディスクの空きが足りないかもしれません。";
      done += n;
    }
    ok = CloseHandle(file) && ok;
    if (!ok) return false;
    at += size;
    *total += size;
    names->push_back(wide);
  }
  return at == end && crc == package.bodyCrc;
}

bool MakeShortcut(const std::wstring &target, const std::wstring &folder, const std::wstring &link,
                  const std::wstring &description) {
  bool ok = false;
  HRESULT init = CoInitialize(nullptr);
  IShellLinkW *shell = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                 reinterpret_cast<void **>(&shell)))) {
    shell->SetPath(target.c_str());
    shell->SetWorkingDirectory(folder.c_str());
    shell->SetDescription(description.c_str());
    IPersistFile *file = nullptr;
    if (SUCCEEDED(shell->QueryInterface(IID_IPersistFile, reinterpret_cast<void **>(&file)))) {
      ok = SUCCEEDED(file->Save(link.c_str(), TRUE));
      file->Release();
    }
    shell->Release();
  }
  if (SUCCEEDED(init)) CoUninitialize();
  return ok;
}

bool SetDefault(const std::wstring &path, const std::wstring &value) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
      ERROR_SUCCESS)
    return false;
  bool ok = SetString(key, nullptr, value);
  RegCloseKey(key);
  return ok;
}

bool Associate(const Plan &plan) {
  const std::wstring exe = plan.dir + L"\\" + plan.shortcut;
  const std::wstring progid = std::wstring(kClasses) + L"\\" + plan.progid;
  bool ok = SetDefault(std::wstring(kClasses) + L"\\" + plan.extension, plan.progid) &&
            SetDefault(progid, plan.typeName) && SetDefault(progid + L"\\DefaultIcon", L"\"" + exe + L"\",0") &&
            SetDefault(progid + L"\\shell\\open\\command", L"\"" + exe + L"\" \"%1\"");
  SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
  return ok;
}

void Unassociate(const std::wstring &extension, const std::wstring &progid) {
  HKEY classes = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kClasses, 0, KEY_ALL_ACCESS, &classes) != ERROR_SUCCESS) return;
  HKEY key = nullptr;
  std::wstring current;
  if (RegOpenKeyExW(classes, extension.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
    GetString(key, nullptr, &current);
    RegCloseKey(key);
  }
  // The extension is ours only while it still names our type.
  if (SameText(current, progid)) SHDeleteKeyW(classes, extension.c_str());
  SHDeleteKeyW(classes, progid.c_str());
  RegCloseKey(classes);
  SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

void TellScreenSaverChanged(bool active) {
  SystemParametersInfoW(SPI_SETSCREENSAVEACTIVE, active, nullptr, SPIF_SENDCHANGE);
}
}  // namespace

int InstallPackage(const OwnPackage &package, const wchar_t *selfPath, std::wstring *error) {
  Plan plan;
  if (!MakePlan(package, &plan, error)) return 0;
  // Until the entry is written, a failure takes back the folders made for
  // this install (only empty ones: an earlier install's files stay).
  const Leftovers made = {std::wstring(), plan.dir, Programs()};
  if (!MakeFolders(plan.dir)) {
    *error = plan.dir + L" を作れません。";
    RemoveLeftovers(made);
    return 0;
  }
  std::vector<unsigned char> uninstaller;
  if (!ReadProgramImage(selfPath, &uninstaller)) {
    *error = L"セットアッププログラム自身を読めません。";
    RemoveLeftovers(made);
    return 0;
  }
  // 1. The files, checked again, then renamed into place together.
  std::vector<Part> parts;
  std::vector<std::wstring> names;
  uint64_t total = 0;
  bool copied = CopyFiles(package, plan, &parts, &names, &total, error);
  bool placed = copied;
  for (const Part &part : parts) {
    if (placed && !MoveFileExW(part.side.c_str(), part.target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
      *error = part.target + L" を置き換えられません。使用中かもしれません。";
      placed = false;
    }
    DeleteFileW(part.side.c_str());
  }
  if (!placed) {
    if (error->empty()) *error = L"セットアッププログラムが壊れています。";
    RemoveLeftovers(made);
    return 0;
  }
  const std::wstring uninstallerPath = plan.dir + L"\\" + plan.uninstaller;
  if (!WriteWhole(uninstallerPath, uninstaller)) {
    *error = uninstallerPath + L" を書き込めません。";
    RemoveLeftovers(made);
    return 0;
  }

  // 2. What an earlier install of the same entry left: its previous screen
  // saver stays the one to give back, and its files that this one lacks go.
  HKEY old = OpenEntry(plan.key, KEY_READ);
  const bool reinstall = old != nullptr;
  bool hadPrevious = false, hadActive = false;
  std::wstring previous, previousActive;
  if (old) {
    hadPrevious = GetString(old, L"VormkitPreviousSaver", &previous);
    hadActive = GetString(old, L"VormkitPreviousActive", &previousActive);
    std::wstring oldDir;
    GetString(old, L"InstallLocation", &oldDir);
    for (const std::wstring &name : GetList(old, L"VormkitFiles")) {
      bool kept = false;
      for (const std::wstring &now : names) kept = kept || SameText(now, name);
      if (!kept && SafeName(name) && SameText(oldDir, plan.dir)) DeleteFileW((oldDir + L"\\" + name).c_str());
    }
    RegCloseKey(old);
  }

  // 3. The screen saver, keeping what it replaces.
  std::wstring saverValue;
  HKEY desktop = nullptr;
  if (plan.kind == L"saver") {
    saverValue = SaverValue(plan.dir + L"\\" + plan.saver);
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kDesktop, 0, nullptr, 0, KEY_READ | KEY_SET_VALUE, nullptr, &desktop,
                        nullptr) != ERROR_SUCCESS) {
      *error = L"スクリーンセーバーの設定を変えられません。";
      return 0;
    }
    if (!reinstall) {
      std::wstring current;
      hadPrevious = GetString(desktop, L"SCRNSAVE.EXE", &current) && !SameText(current, saverValue);
      if (hadPrevious) previous = current;
      hadActive = GetString(desktop, L"ScreenSaveActive", &previousActive);
    }
  }

  // 4. The uninstall entry.
  HKEY entry = nullptr;
  std::wstring path = std::wstring(kUninstallRoot) + L"\\" + plan.key;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &entry, nullptr) !=
      ERROR_SUCCESS) {
    if (desktop) RegCloseKey(desktop);
    *error = L"アンインストールの項目を登録できません。";
    return 0;
  }
  const std::wstring command = L"\"" + uninstallerPath + L"\" /uninstall \"" + plan.key + L"\"";
  const std::wstring icon = plan.icon.empty() ? uninstallerPath : plan.dir + L"\\" + plan.icon;
  bool ok = SetString(entry, L"DisplayName", plan.name) && SetString(entry, L"DisplayVersion", plan.version) &&
            SetString(entry, L"Publisher", plan.publisher) && SetString(entry, L"DisplayIcon", icon) &&
            SetString(entry, L"UninstallString", command) &&
            SetString(entry, L"QuietUninstallString", command + L" /S") &&
            SetString(entry, L"InstallLocation", plan.dir) &&
            SetDword(entry, L"EstimatedSize", DWORD((total + uninstaller.size() + 1023) / 1024)) &&
            SetDword(entry, L"NoModify", 1) && SetDword(entry, L"NoRepair", 1) && SetDword(entry, L"VormkitSetup", 1) &&
            SetList(entry, L"VormkitFiles", names) && SetString(entry, L"VormkitUninstaller", uninstallerPath);
  if (plan.kind == L"saver") {
    ok = ok && SetString(entry, L"VormkitSaver", saverValue);
    PutOrDelete(entry, L"VormkitPreviousSaver", hadPrevious, previous);
    PutOrDelete(entry, L"VormkitPreviousActive", hadActive, previousActive);
    ok = ok && SetString(desktop, L"SCRNSAVE.EXE", saverValue) && SetString(desktop, L"ScreenSaveActive", L"1");
    RegCloseKey(desktop);
    TellScreenSaverChanged(true);
  }
  // 5. VORMKIT itself: the editor in the Start menu, ".vkshow" opening in it.
  if (ok && !plan.shortcut.empty()) {
    std::wstring programs = KnownFolder(CSIDL_PROGRAMS);
    std::wstring link = programs + L"\\" + plan.shortcutName + L".lnk";
    ok = !programs.empty() && MakeShortcut(plan.dir + L"\\" + plan.shortcut, plan.dir, link, plan.shortcutName) &&
         SetString(entry, L"VormkitShortcut", link);
    if (!ok) *error = L"スタートメニューに登録できません。";
  }
  if (ok && !plan.extension.empty()) {
    ok = SetString(entry, L"VormkitExtension", plan.extension) && SetString(entry, L"VormkitProgId", plan.progid) &&
         Associate(plan);
    if (!ok) *error = plan.extension + L" のファイルの関連付けができません。";
  }
  RegCloseKey(entry);
  if (!ok && error->empty()) *error = L"レジストリに書き込めません。";
  return ok;
}

bool InstalledName(const std::wstring &key, std::wstring *name) {
  HKEY entry = OpenEntry(key, KEY_READ);
  if (!entry) return false;
  GetString(entry, L"DisplayName", name);
  RegCloseKey(entry);
  return true;
}

int UninstallEntry(const std::wstring &key, Leftovers *leftovers, std::wstring *error) {
  HKEY entry = OpenEntry(key, KEY_READ);
  if (!entry) {
    *error = L"アンインストールの項目が見つかりません。";
    return 0;
  }
  std::wstring dir, saver, previous, previousActive, shortcut, extension, progid;
  GetString(entry, L"InstallLocation", &dir);
  GetString(entry, L"VormkitUninstaller", &leftovers->uninstaller);
  bool isSaver = GetString(entry, L"VormkitSaver", &saver);
  bool hadPrevious = GetString(entry, L"VormkitPreviousSaver", &previous);
  bool hadActive = GetString(entry, L"VormkitPreviousActive", &previousActive);
  bool linked = GetString(entry, L"VormkitShortcut", &shortcut);
  bool associated = GetString(entry, L"VormkitExtension", &extension) && GetString(entry, L"VormkitProgId", &progid);
  std::vector<std::wstring> files = GetList(entry, L"VormkitFiles");
  RegCloseKey(entry);

  // The screen saver: given back where this one is still the current one;
  // otherwise another entry that kept this one as its previous saver keeps
  // this one's previous saver instead, so that removing them in any order
  // ends with the saver chosen before the first of them.
  if (isSaver) {
    HKEY desktop = nullptr;
    std::wstring current;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kDesktop, 0, KEY_READ | KEY_SET_VALUE, &desktop) == ERROR_SUCCESS) {
      if (GetString(desktop, L"SCRNSAVE.EXE", &current) && SameText(current, saver)) {
        PutOrDelete(desktop, L"SCRNSAVE.EXE", hadPrevious, previous);
        PutOrDelete(desktop, L"ScreenSaveActive", hadActive, previousActive);
        TellScreenSaverChanged(hadActive && previousActive == L"1");
      }
      RegCloseKey(desktop);
    }
    HKEY root = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kUninstallRoot, 0, KEY_READ, &root) == ERROR_SUCCESS) {
      wchar_t name[256];
      for (DWORD i = 0; ; ++i) {
        DWORD length = 256;
        if (RegEnumKeyExW(root, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        if (SameText(name, key)) continue;
        HKEY other = OpenEntry(name, KEY_READ | KEY_SET_VALUE);
        if (!other) continue;
        std::wstring theirs;
        if (GetString(other, L"VormkitPreviousSaver", &theirs) && SameText(theirs, saver)) {
          PutOrDelete(other, L"VormkitPreviousSaver", hadPrevious, previous);
          PutOrDelete(other, L"VormkitPreviousActive", hadActive, previousActive);
        }
        RegCloseKey(other);
      }
      RegCloseKey(root);
    }
  }
  if (linked) DeleteFileW(shortcut.c_str());
  if (associated) Unassociate(extension, progid);

  bool removed = true;
  for (const std::wstring &name : files) {
    if (!SafeName(name) || dir.empty()) continue;
    std::wstring path = dir + L"\\" + name;
    if (!DeleteFileW(path.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND) {
      *error = path + L" を削除できません。使用中かもしれません。";
      removed = false;
    }
    // Folders inside the install folder that held only this file.
    for (std::wstring folder = FolderOfPath(path); folder.size() > dir.size(); folder = FolderOfPath(folder))
      if (!RemoveDirectoryW(folder.c_str())) break;
  }
  HKEY root = nullptr;
  if (removed && RegOpenKeyExW(HKEY_CURRENT_USER, kUninstallRoot, 0, KEY_ALL_ACCESS, &root) == ERROR_SUCCESS) {
    removed = SHDeleteKeyW(root, key.c_str()) == ERROR_SUCCESS;
    RegCloseKey(root);
    if (!removed) *error = L"アンインストールの項目を消せません。";
  }
  leftovers->folder = dir;
  leftovers->stopAt = Programs();
  return removed;
}

void RemoveLeftovers(const Leftovers &leftovers) {
  if (!leftovers.uninstaller.empty()) {
    // The uninstaller's process has ended; its file may stay locked a moment.
    for (int i = 0; i < 100 && !DeleteFileW(leftovers.uninstaller.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND;
         ++i)
      Sleep(50);
  }
  if (leftovers.folder.empty() || leftovers.stopAt.empty()) return;
  for (std::wstring folder = leftovers.folder; folder.size() > leftovers.stopAt.size() &&
                                               folder.compare(0, leftovers.stopAt.size(), leftovers.stopAt) == 0;
       folder = FolderOfPath(folder))
    if (!RemoveDirectoryW(folder.c_str())) break;
}
