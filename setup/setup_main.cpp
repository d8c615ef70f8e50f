// The set-up program: installs the package behind its image for the current
// user (asking first, or silently with /S), or, started as the uninstaller
// with /uninstall KEY, removes that entry. Exit status: 0 done, 1 the user
// said no, 2 the set-up program is damaged or cut short, 3 the install
// failed, 4 the uninstall failed or the entry is not installed, 5 a bad
// command line or a set-up program without a package.
//
// An uninstaller cannot delete its own running file. It copies its image to
// the temp folder, opens that copy with delete-on-close, and starts it with
// /cleanup, handing it that handle and its own process handle: the copy
// waits for the uninstaller to end, deletes it and the emptied folders, and
// when the copy itself ends the system closes the handle and deletes it.
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "setup/own_package.h"
#include "setup/setup_ids.h"
#include "setup/setup_install.h"
#include "setup/setup_window.h"

namespace {
enum ExitStatus { DONE = 0, DECLINED = 1, DAMAGED = 2, INSTALL_FAILED = 3, UNINSTALL_FAILED = 4, BAD_USE = 5 };

bool IsSwitch(const wchar_t *arg, const wchar_t *name) { return lstrcmpiW(arg, name) == 0; }

std::wstring Quoted(const std::wstring &text) { return L"\"" + text + L"\""; }

// Starts the clean-up copy for an uninstaller that is this running program.
bool StartCleanup(const Leftovers &leftovers, const wchar_t *self) {
  std::vector<unsigned char> image;
  wchar_t temp[MAX_PATH] = {};
  if (!ReadProgramImage(self, &image) || !GetTempPathW(MAX_PATH, temp)) return false;
  const std::wstring copy = std::wstring(temp) + L"vormkit-cleanup-" + std::to_wstring(GetCurrentProcessId()) +
                            L".exe";
  HANDLE file = CreateFileW(copy.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = WriteFile(file, image.data(), DWORD(image.size()), &written, nullptr) && written == image.size();
  CloseHandle(file);
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE keep = ok ? CreateFileW(copy.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, &inherit,
                                 OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE, nullptr)
                   : INVALID_HANDLE_VALUE;
  HANDLE me = nullptr;
  if (keep == INVALID_HANDLE_VALUE ||
      !DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &me, SYNCHRONIZE, TRUE, 0)) {
    if (keep != INVALID_HANDLE_VALUE) CloseHandle(keep);
    DeleteFileW(copy.c_str());
    return false;
  }
  std::wstring command = Quoted(copy) + L" /cleanup " + std::to_wstring(uintptr_t(me)) + L" " +
                         Quoted(leftovers.uninstaller) + L" " + Quoted(leftovers.folder) + L" " +
                         Quoted(leftovers.stopAt);
  STARTUPINFOW start = {};
  start.cb = sizeof start;
  PROCESS_INFORMATION process = {};
  ok = CreateProcessW(copy.c_str(), &command[0], nullptr, nullptr, TRUE, 0, nullptr, temp, &start, &process);
  if (ok) {
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  // The copy holds its own duplicate of keep; closing ours deletes nothing
  // while it runs (and deletes the copy at once when it did not start).
  CloseHandle(keep);
  CloseHandle(me);
  return ok;
}

// The screen-saver settings, so that the user sees the saver chosen. The
// control panel is started from the system folder by its full path: a
// set-up program usually runs from Downloads, where a file named
// control.exe must not be the one started.
void OpenScreenSaverSettings() {
  wchar_t system[MAX_PATH] = {};
  UINT n = GetSystemDirectoryW(system, MAX_PATH);
  if (!n || n >= MAX_PATH) return;
  const std::wstring control = std::wstring(system) + L"\\control.exe";
  ShellExecuteW(nullptr, L"open", control.c_str(), L"desk.cpl,,@screensaver", system, SW_SHOWNORMAL);
}

int Uninstall(const std::wstring &key, bool silent, const wchar_t *self) {
  std::wstring name, error;
  if (!InstalledName(key, &name)) {
    if (!silent) Say(IDS_ERROR, IDS_NOT_INSTALLED, key);
    return UNINSTALL_FAILED;
  }
  if (!silent && !Say(IDS_QUESTION, IDS_ASK_UNINSTALL, name)) return DECLINED;
  Leftovers leftovers;
  if (!UninstallEntry(key, &leftovers, &error)) {
    if (!silent) Say(IDS_ERROR, IDS_UNINSTALL_FAILED, error);
    return UNINSTALL_FAILED;
  }
  if (lstrcmpiW(leftovers.uninstaller.c_str(), self) != 0 || !StartCleanup(leftovers, self)) {
    // Not the running program (or no copy could start): removed now, as far as it goes.
    RemoveLeftovers(leftovers);
  }
  if (!silent) Say(IDS_INFORMATION, IDS_UNINSTALLED, name);
  return DONE;
}

int Install(bool silent, const wchar_t *self) {
  OwnPackage package;
  PackageState state = OpenOwnPackage(self, &package);
  if (state != PACKAGE_OK) {
    if (!silent) Say(IDS_ERROR, state == PACKAGE_NONE ? IDS_NO_PACKAGE : IDS_DAMAGED, L"");
    return state == PACKAGE_NONE ? BAD_USE : DAMAGED;
  }
  if (!silent && !AskToInstall(package)) {
    CloseOwnPackage(&package);
    return DECLINED;
  }
  std::wstring error;
  int ok = InstallPackage(package, self, &error);
  const std::wstring name = InfoValue(package, "name"), kind = InfoValue(package, "kind");
  CloseOwnPackage(&package);
  if (!ok) {
    if (!silent) Say(IDS_ERROR, IDS_INSTALL_FAILED, error);
    return INSTALL_FAILED;
  }
  if (!silent && kind == L"saver")
    OpenScreenSaverSettings();
  else if (!silent)
    Say(IDS_INFORMATION, IDS_INSTALLED_KIT, name);
  return DONE;
}
}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  int argc = 0;
  wchar_t **argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  if (!argv) return BAD_USE;

  if (argc == 6 && IsSwitch(argv[1], L"/cleanup")) {
    HANDLE uninstaller = reinterpret_cast<HANDLE>(uintptr_t(_wcstoui64(argv[2], nullptr, 10)));
    WaitForSingleObject(uninstaller, 10 * 60 * 1000);
    CloseHandle(uninstaller);
    RemoveLeftovers({argv[3], argv[4], argv[5]});
    return DONE;
  }
  bool silent = false, bad = false;
  std::wstring key;
  bool uninstall = false;
  for (int i = 1; i < argc; ++i) {
    if (IsSwitch(argv[i], L"/S")) silent = true;
    else if (IsSwitch(argv[i], L"/uninstall") && i + 1 < argc) uninstall = true, key = argv[++i];
    else bad = true;
  }
  if (bad) {
    if (!silent) Say(IDS_ERROR, IDS_USAGE, self);
    LocalFree(argv);
    return BAD_USE;
  }
  LocalFree(argv);
  return uninstall ? Uninstall(key, silent, self) : Install(silent, self);
}
