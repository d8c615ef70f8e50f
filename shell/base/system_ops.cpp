// Finding the web browser and starting it on a web address or on a page of
// the program's own.
#include "shell/base/system_ops.h"

#include <cstdio>
#include <initializer_list>
#include <cstring>

#include "shell/base/browser_command.h"
#include "shell/base/file_ops.h"
#include "shell/base/mem_block.h"
#include "shell/base/path_ops.h"

static bool ReadDefaultValue(const char *key, char *out, LONG size) {
  LONG length = size;
  if (RegQueryValueA(HKEY_CLASSES_ROOT, key, out, &length) != ERROR_SUCCESS) return false;
  out[size - 1] = 0;
  return true;
}

// The open command of the first of .htm and .html whose class has one.
static bool OpenCommandFor(char *command, LONG size) {
  for (const char *extension : {"htm", "html"}) {
    char key[300], fileClass[257] = {};
    snprintf(key, sizeof key, ".%s", extension);
    if (!ReadDefaultValue(key, fileClass, 256) || !*fileClass) continue;
    snprintf(key, sizeof key, "%s\\shell\\open\\command", fileClass);
    if (ReadDefaultValue(key, command, size)) return true;
  }
  return false;
}

int FindBrowser(char *buffer) {
  buffer[0] = 0;
  char command[1024] = {};
  if (OpenCommandFor(command, sizeof command)) {
    const char *p = command;
    while (*p == ' ' || *p == '\t' || *p == '"') ++p;
    char program[1024];
    size_t keep = _strnicmp(p, "%systemdrive%", 13) == 0 ? 13 : 0;
    size_t len = keep + strcspn(p + keep, "\"%");
    memcpy(program, p, len);
    program[len] = 0;
    if (char *url = strstr(program, "-url")) *url = 0;
    char expanded[1024];
    if (keep) {
      char drive[64];
      DWORD n = GetEnvironmentVariableA("systemdrive", drive, sizeof drive);
      snprintf(expanded, sizeof expanded, "%s%s", n && n < sizeof drive ? drive : "%systemdrive%", program + 13);
    } else {
      strcpy(expanded, program);
    }
    // Trailing blanks left before a cut argument are not part of the file name.
    size_t end = strlen(expanded);
    while (end && expanded[end - 1] == ' ') expanded[--end] = 0;
    return CopyPath(buffer, expanded) && PathExists(buffer) == 1 ? 1 : (buffer[0] = 0, 0);
  }
  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof version;
  GetVersionExA(&version);
  bool modern = version.dwPlatformId == VER_PLATFORM_WIN32_NT ? version.dwMajorVersion >= 5
                                                                : (version.dwBuildNumber & 0xFFFF) > 1997;
  if (!modern) return 0;
  strcpy(buffer, "explorer");
  return 1;
}

// Starts the browser on one argument, both quoted; 0 when no browser is
// known or the argument could break out of its quotes.
static int StartBrowser(const char *argument) {
  char browser[PATH_SIZE];
  if (!FindBrowser(browser)) return 0;
  size_t size = strlen(browser) + strlen(argument) + 6;
  char *command = static_cast<char *>(MemAlloc(size));
  if (!command) return 0;
  int ok = BrowserCommandLine(command, size, browser, argument);
  if (ok) WinExec(command, SW_SHOWNORMAL);
  MemFreePtr(command);
  return ok;
}

int OpenInBrowser(const char *target) {
  // The address comes from the show file: only a plain web address is opened,
  // never a local file (which the explorer fallback would run) or a script.
  if (!IsWebAddress(target)) return 0;
  return StartBrowser(target);
}

int OpenLocalPageInBrowser(const char *path) {
  if (!path) return 0;
  return StartBrowser(path);
}
