// File and folder operations of the shell. Every failure is reported by the
// result; only the whole-file read and write show a box, and only on request.
#include "shell/base/file_ops.h"

#include <cstdio>
#include <cstring>

#include "shell/base/messages.h"
#include "shell/base/path_ops.h"

namespace {
// Suppresses the system's critical-error boxes (empty drives) for one scope.
struct QuietErrors {
  UINT old = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  ~QuietErrors() { SetErrorMode(old); }
};

void StripTrailingBackslash(char *path) {
  if (EndsWithBackslash(path)) path[strlen(path) - 1] = 0;
}
}  // namespace

int PathExists(const char *path) {
  if (!path || !*path) return 0;
  QuietErrors quiet;
  char work[PATH_SIZE];
  if (!CopyPath(work, path)) return 0;
  if (EndsWithBackslash(work)) {
    if (strlen(work) == 3 && work[1] == ':') {
      UINT type = GetDriveTypeA(work);
      return type != DRIVE_UNKNOWN && type != DRIVE_NO_ROOT_DIR ? 2 : 0;
    }
    StripTrailingBackslash(work);
    DWORD attributes = GetFileAttributesA(work);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) ? 2 : 0;
  }
  DWORD attributes = GetFileAttributesA(work);
  if (attributes == INVALID_FILE_ATTRIBUTES) return 0;
  return attributes & FILE_ATTRIBUTE_DIRECTORY ? 2 : 1;
}

DWORD FileSizeOf(const char *path) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(path, &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  FindClose(search);
  return found.nFileSizeHigh ? 0xFFFFFFFFu : found.nFileSizeLow;
}

int ReadWholeFile(const char *path, void *buffer, size_t capacity, bool report) {
  int ok = 0;
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    DWORD high = 0;
    DWORD size = GetFileSize(file, &high);
    DWORD got = 0;
    if (size != INVALID_FILE_SIZE && !high && size <= capacity &&
        ReadFile(file, buffer, size, &got, nullptr) && got == size)
      ok = 1;
    CloseHandle(file);
  }
  if (!ok && report) ShowReadFailure(path);
  return ok;
}

int WriteWholeFile(const char *path, const void *bytes, DWORD length, bool report) {
  int ok = 0;
  HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    DWORD written = 0;
    ok = WriteFile(file, bytes, length, &written, nullptr) && written == length;
    CloseHandle(file);
    if (!ok) DeleteFileA(path);
  }
  if (!ok && report) ShowWriteFailure(path);
  return ok;
}

int EnsureTempFolder(char *buffer) {
  DWORD n = GetTempPathA(PATH_SIZE, buffer);
  if (n == 0 || n >= PATH_SIZE) {
    buffer[0] = 0;
    return 0;
  }
  if (PathExists(buffer) != 2) CreateDirectoryA(buffer, nullptr);
  return 1;
}

bool DisplayTooShallow() {
  HDC dc = GetDC(nullptr);
  if (!dc) return false;
  int bits = GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES);
  ReleaseDC(nullptr, dc);
  return bits <= 8;
}

void TimeStampName(char *out) {
  SYSTEMTIME t;
  GetLocalTime(&t);
  snprintf(out, 19, "%04d%02d%02d_%02d%02d%02d%03d", t.wYear % 10000, t.wMonth, t.wDay, t.wHour, t.wMinute,
           t.wSecond, t.wMilliseconds);
}

static bool AnythingMatches(const char *candidate) {
  char pattern[PATH_SIZE];
  if (!CopyPath(pattern, candidate) || !SetExtension(pattern, "*")) return true;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(pattern, &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  return true;
}

static bool MakeCandidate(const char *folder, char *out) {
  char stamp[20];
  TimeStampName(stamp);
  return CopyPath(out, folder) && JoinPath(out, stamp) && SetExtension(out, "TMP");
}

int MakeUniqueTempName(const char *folder, char *out) {
  char base[PATH_SIZE];
  if (!folder || !*folder || PathExists(folder) == 1 || !CopyPath(base, folder)) EnsureTempFolder(base);
  if (!MakeCandidate(base, out)) return 1000;
  for (int tries = 0; AnythingMatches(out); ++tries) {
    if (tries == 1000) return 1000;
    Sleep(10);
    MakeCandidate(base, out);
  }
  return 0;
}

namespace {
struct ReferenceFolders {
  char windows[PATH_SIZE], system[PATH_SIZE], temp[PATH_SIZE];
};

const ReferenceFolders &References() {
  static ReferenceFolders folders = [] {
    ReferenceFolders f{};
    if (GetWindowsDirectoryA(f.windows, PATH_SIZE) >= PATH_SIZE) f.windows[0] = 0;
    if (GetSystemDirectoryA(f.system, PATH_SIZE) >= PATH_SIZE) f.system[0] = 0;
    if (GetTempPathA(PATH_SIZE, f.temp) >= PATH_SIZE) f.temp[0] = 0;
    StripTrailingBackslash(f.windows);
    StripTrailingBackslash(f.system);
    StripTrailingBackslash(f.temp);
    return f;
  }();
  return folders;
}

bool Inside(const char *path, const char *folder) { return *folder && PathPrefixEquals(path, folder); }
}  // namespace

int DeleteTree(const char *folder) {
  char root[PATH_SIZE];
  if (!folder || !CopyPath(root, folder)) return 0;
  StripTrailingBackslash(root);
  if (PathExists(root) != 2) return 0;
  size_t len = strlen(root);
  if (len <= 2 || (len == 3 && root[1] == ':')) return 0;
  const ReferenceFolders &ref = References();
  if ((Inside(root, ref.windows) || Inside(root, ref.system)) && !Inside(root, ref.temp)) return 0;

  char pattern[PATH_SIZE];
  if (!CopyPath(pattern, root) || !JoinPath(pattern, "*.*")) return 0;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(pattern, &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if (!strcmp(found.cFileName, ".") || !strcmp(found.cFileName, "..")) continue;
      char child[PATH_SIZE];
      if (!CopyPath(child, root) || !JoinPath(child, found.cFileName)) {
        FindClose(search);
        return 0;
      }
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        if (!DeleteTree(child)) {
          FindClose(search);
          return 0;
        }
      } else {
        SetFileAttributesA(child, FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(child);
      }
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  return RemoveDirectoryA(root) ? 1 : 0;
}
