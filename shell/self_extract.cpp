// Self-extraction: the first phase of start-up. Reads the running program's
// own file, finds the boundary marker and writes the show data behind it to
// a temporary show file.
#include <cstring>
#include <initializer_list>

#include "shell/file_ops.h"
#include "shell/mem_block.h"
#include "shell/messages.h"
#include "shell/self_extract_core.h"
#include "shell/startup_state.h"
#include "show/show_document.h"

StartupState Startup;

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

static unsigned char *ReadProgramFile(DWORD *size) {
  *size = FileSizeOf(Startup.programPath);
  if (*size == 0xFFFFFFFFu) return nullptr;
  auto *data = static_cast<unsigned char *>(MemAlloc(*size));
  if (!data) return nullptr;
  if (!ReadWholeFile(Startup.programPath, data, *size, false) || FileSizeOf(Startup.programPath) != *size) {
    MemFreePtr(data);
    return nullptr;
  }
  return data;
}

static int WriteShowTempFile(const unsigned char *data, DWORD size) {
  if (MakeUniqueTempName(Startup.tempFolder, Startup.showTempFile) != 0) {
    Startup.showTempFile[0] = 0;
    return 0;
  }
  HANDLE file = CreateFileA(Startup.showTempFile, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    Startup.showTempFile[0] = 0;
    return 0;
  }
  DWORD written = 0;
  bool ok = WriteFile(file, data, size, &written, nullptr) && written == size;
  CloseHandle(file);
  if (!ok) {
    DeleteFileA(Startup.showTempFile);
    Startup.showTempFile[0] = 0;
  }
  return ok;
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

  DWORD size = 0;
  unsigned char *data = ReadProgramFile(&size);
  if (!data) return 0;
  int64_t boundary = FindBoundaryMarker(data, size);
  int ok = boundary >= 0 && WriteShowTempFile(data + boundary + BOUNDARY_MARKER_SIZE,
                                              size - static_cast<DWORD>(boundary) - BOUNDARY_MARKER_SIZE);
  MemFreePtr(data);
  if (!ok) return 0;

  Startup.extractedFiles = static_cast<char(*)[PATH_SIZE]>(MemAlloc(32));
  Startup.extractedCount = 0;
  return 1;
}
