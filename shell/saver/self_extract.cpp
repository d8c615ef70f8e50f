// Self-extraction: the first phase of start-up. Reads the running program's
// own file chunk by chunk, finds the boundary marker and copies the show data
// behind it to a temporary show file.
#include <cstring>
#include <initializer_list>

#include "shell/base/file_ops.h"
#include "shell/base/mem_block.h"
#include "shell/base/messages.h"
#include "shell/base/signed_size.h"
#include "shell/base/startup_state.h"
#include "shell/saver/self_extract.h"
#include "shell/saver/self_extract_core.h"
#include "show/show_document.h"

static void FillFrameworkNames() {
  FrameworkNames &names = Startup.names;
  char base[PATH_SIZE];
  CopyPath(base, Startup.appName);
  const char *extension = ExtensionPart(base);
  if (extension && *extension) base[extension - base - 1] = 0;
  for (char *target : {names.name, names.appName, names.screenSaver}) lstrcpynA(target, base, sizeof names.name);
  LoadMessage(IDS_INI_FILE, names.iniFile, sizeof names.iniFile);
  LoadMessage(IDS_HELP_FILE, names.helpFile, sizeof names.helpFile);
  LoadMessage(IDS_NO_HELP_MEMORY, names.noHelpMemory, sizeof names.noHelpMemory);
}

// The DPI of the screen the window is on: the window's own where the system
// tells it (Windows 10 version 1607 and later), else the system's, which is
// what a DPI-aware program has on older systems.
static int WindowDpi(HWND window) {
  using DpiForWindow = UINT(WINAPI *)(HWND);
  HMODULE user = GetModuleHandleA("user32.dll");
  FARPROC found = user ? GetProcAddress(user, "GetDpiForWindow") : nullptr;
  auto forWindow = reinterpret_cast<DpiForWindow>(reinterpret_cast<void (*)()>(found));
  if (UINT dpi = forWindow ? forWindow(window) : 0) return int(dpi);
  HDC dc = GetDC(window);
  int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSX) : 96;
  if (dc) ReleaseDC(window, dc);
  return dpi;
}

// The program's own path from the command line; when the line names no
// folder (started by a bare file name) the module path is used instead.
static void FindOwnPath() {
  if (!SplitCommandLine(GetCommandLineA(), Startup.appName, Startup.programFolder)) {
    char module[PATH_SIZE] = {};
    GetModuleFileNameA(nullptr, module, PATH_SIZE - 1);
    SplitCommandLine(module, Startup.appName, Startup.programFolder);
  }
  CopyPath(Startup.programPath, Startup.programFolder);
  JoinPath(Startup.programPath, Startup.appName);
}

// The two files of the copy: the program file, read to the size it had when
// it was opened, and the show temp file, created once the marker is found.
struct ExtractFiles {
  HANDLE program;
  uint64_t left;  // bytes of the program file not read yet
  HANDLE show;
};

static int64_t ReadProgram(void *context, unsigned char *buffer, uint32_t size) {
  auto *files = static_cast<ExtractFiles *>(context);
  if (files->left == 0) return 0;
  if (size > files->left) size = uint32_t(files->left);
  DWORD got = 0;
  if (!ReadFile(files->program, buffer, size, &got, nullptr) || got == 0) return -1;  // short: the file shrank
  files->left -= got;
  return got;
}

static int CreateShowTempFile(void *context) {
  auto *files = static_cast<ExtractFiles *>(context);
  if (MakeUniqueTempName(Startup.tempFolder, Startup.showTempFile) != 0) return 0;
  files->show = CreateFileA(Startup.showTempFile, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  return files->show != INVALID_HANDLE_VALUE;
}

static int WriteShowTempFile(void *context, const unsigned char *bytes, uint32_t size) {
  DWORD written = 0;
  return WriteFile(static_cast<ExtractFiles *>(context)->show, bytes, size, &written, nullptr) && written == size;
}

// Copies the show data behind the marker to the show temp file in chunks.
// A program without a marker (or unreadable) ends silently; a show that
// cannot be written (no room in the temp folder, a failed write) shows the
// write-failure box with the temp file's name. Either way no temp file stays.
static int CopyShowToTempFile() {
  ExtractFiles files = {INVALID_HANDLE_VALUE, 0, INVALID_HANDLE_VALUE};
  files.program = CreateFileA(Startup.programPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (files.program == INVALID_HANDLE_VALUE) return 0;
  LARGE_INTEGER size;
  if (!GetFileSizeEx(files.program, &size)) {
    CloseHandle(files.program);
    return 0;
  }
  // A signed saver carries its signature behind the show: the copy ends where it begins.
  unsigned char head[SIGNED_SIZE_HEAD];
  DWORD headSize = 0;
  if (!ReadFile(files.program, head, sizeof head, &headSize, nullptr) ||
      SetFilePointer(files.program, 0, nullptr, FILE_BEGIN) != 0) {
    CloseHandle(files.program);
    return 0;
  }
  files.left = UnsignedSize(head, headSize, uint64_t(size.QuadPart));
  ExtractStreams streams = {&files, ReadProgram, CreateShowTempFile, WriteShowTempFile};
  int64_t boundary;
  ExtractResult result = CopyShowData(&streams, EXTRACT_CHUNK_SIZE, &boundary);
  CloseHandle(files.program);
  if (files.show != INVALID_HANDLE_VALUE) CloseHandle(files.show);
  if (result == EXTRACT_OK) return 1;

  char failed[PATH_SIZE];
  CopyPath(failed, Startup.showTempFile);
  if (files.show != INVALID_HANDLE_VALUE) DeleteFileA(Startup.showTempFile);
  Startup.showTempFile[0] = 0;
  if (result == EXTRACT_CREATE_FAILED || result == EXTRACT_WRITE_FAILED) ShowWriteFailure(failed);
  return 0;
}

int ExtractShowData(HWND window) {
  if (DisplayTooShallow()) {
    ShowError(GetFocus(), IDS_DISPLAY_TOO_SHALLOW);
    return 0;
  }
  if (Startup.mainWindow) return 0;

  Startup.mainWindow = window;
  Startup.soundAvailable = sndPlaySoundA(nullptr, 0) ? 1 : 0;
  Startup.screenWidth = GetSystemMetrics(SM_CXSCREEN);
  Startup.screenHeight = GetSystemMetrics(SM_CYSCREEN);
  RECT client = {};
  GetClientRect(window, &client);
  Startup.smallWindow = IsSmallWindow(client.right - client.left, client.bottom - client.top, WindowDpi(window));
  EnsureTempFolder(Startup.tempFolder);
  Startup.instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));

  FindOwnPath();
  FillFrameworkNames();

  Show.pages.pages = static_cast<Page *>(MemAlloc(0));
  Show.pages.pageCount = 0;

  if (!CopyShowToTempFile()) return 0;

  Startup.extractedFiles = static_cast<char(*)[PATH_SIZE]>(MemAlloc(32));
  Startup.extractedCount = 0;
  return 1;
}
