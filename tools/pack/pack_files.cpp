// File and folder operations of the authoring tool: POSIX natively, the ANSI
// Win32 functions in the Windows console program.
#include "tools/pack/pack_files.h"

#include <csignal>
#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "shell/base/mem_block.h"
#include "shell/base/file_checksum.h"

bool ReadWhole(const std::string &path, std::vector<unsigned char> *bytes) {
  size_t size;
  unsigned char *block = ReadFileBlock(path.c_str(), &size);
  if (!block) return false;
  bytes->assign(block, block + size);
  MemFreePtr(block);
  return true;
}

bool FileExists(const std::string &path) {
  FILE *f = fopen(path.c_str(), "rb");
  if (f) fclose(f);
  return f != nullptr;
}

std::string FolderOf(const std::string &path) {
#ifdef _WIN32
  size_t slash = path.find_last_of("\\/");
#else
  size_t slash = path.find_last_of('/');
#endif
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string JoinFolder(const std::string &folder, const std::string &name) {
  if (folder.empty()) return name;
  char last = folder.back();
  if (last == '/' || (PATH_SEPARATOR == '\\' && last == '\\')) return folder + name;
  return folder + PATH_SEPARATOR + name;
}

#ifdef _WIN32
bool IsFolder(const std::string &path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsAbsolutePath(const std::string &p) {
  return (p.size() > 2 && p[1] == ':') || (!p.empty() && (p[0] == '\\' || p[0] == '/'));
}

bool ListFiles(const std::string &folder, std::vector<std::string> *names) {
  names->clear();
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(JoinFolder(folder, "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND && IsFolder(folder);
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names->push_back(found.cFileName);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return true;
}

bool MoveIntoPlace(const std::string &from, const std::string &to) {
  return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

bool MakeFolder(const std::string &path) {
  return CreateDirectoryA(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

std::string ToolFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH - 1);
  return FolderOf(path);
}
#else
bool IsFolder(const std::string &path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsAbsolutePath(const std::string &p) { return !p.empty() && p[0] == '/'; }

bool ListFiles(const std::string &folder, std::vector<std::string> *names) {
  names->clear();
  DIR *dir = opendir(folder.c_str());
  if (!dir) return false;
  while (dirent *entry = readdir(dir)) {
    struct stat st;
    if (stat(JoinFolder(folder, entry->d_name).c_str(), &st) == 0 && S_ISREG(st.st_mode))
      names->push_back(entry->d_name);
  }
  closedir(dir);
  return true;
}

bool MoveIntoPlace(const std::string &from, const std::string &to) { return rename(from.c_str(), to.c_str()) == 0; }

bool MakeFolder(const std::string &path) { return mkdir(path.c_str(), 0777) == 0 || IsFolder(path); }

std::string ToolFolder() {
  char path[4096] = {};
  ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return std::string();
  return FolderOf(std::string(path, size_t(n)));
}
#endif

namespace {
volatile sig_atomic_t interrupted = 0;

#ifdef _WIN32
BOOL WINAPI OnConsoleEvent(DWORD) {
  if (interrupted) return FALSE;  // the default handler ends the process
  interrupted = 1;
  return TRUE;
}
#else
void OnSignal(int signal) {
  interrupted = 1;
  ::signal(signal, SIG_DFL);
}
#endif
}  // namespace

void CatchInterrupts() {
#ifdef _WIN32
  SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
#else
  signal(SIGINT, OnSignal);
  signal(SIGTERM, OnSignal);
  signal(SIGHUP, OnSignal);
#endif
}

bool Interrupted() { return interrupted != 0; }
