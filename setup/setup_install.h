// Installing the package for the current user and removing it again, with
// no administrator rights: files under %LOCALAPPDATA%\Programs, the
// uninstall entry under the current user's
// Software\Microsoft\Windows\CurrentVersion\Uninstall, and, by kind, the current screen saver (a saver) or the Start-
// menu entry and the ".vkshow" extension (VORMKIT itself).
#pragma once

#include <string>

#include "setup/own_package.h"

// Installs package; selfPath is the running set-up program, whose image
// becomes the uninstaller. 0 with error (a Japanese text) on failure.
int InstallPackage(const OwnPackage &package, const wchar_t *selfPath, std::wstring *error);

// The display name of an installed entry; false when no entry of ours has that key.
bool InstalledName(const std::wstring &key, std::wstring *name);

// What is left for the clean-up once an entry is removed.
struct Leftovers {
  std::wstring uninstaller;   // the uninstaller, which may be running
  std::wstring folder;        // the install folder, removed when empty
  std::wstring stopAt;        // %LOCALAPPDATA%\Programs: empty folders are removed up to it
};

// Removes the installed entry key: gives back the screen saver chosen
// before, removes the files, the shortcut, the extension and the entry. 0
// with error on failure.
int UninstallEntry(const std::wstring &key, Leftovers *leftovers, std::wstring *error);

// Deletes the uninstaller and the install folder and its parents while they
// are empty, up to leftovers.stopAt.
void RemoveLeftovers(const Leftovers &leftovers);
