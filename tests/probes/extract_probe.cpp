// Test program for self-extraction: runs ExtractShowData on a window of the
// size given on its command line, twice, and writes what it found to a
// report file: result, second result, show temp file, its size, app name,
// program folder, small-window flag. Usage: extract_probe REPORT WIDTH HEIGHT
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "shell/base/file_ops.h"
#include "shell/base/startup_state.h"
#include "shell/saver/self_extract.h"

int main(int argc, char **argv) {
  if (argc < 4) return 2;
  HWND window = CreateWindowExA(0, "STATIC", "probe", WS_POPUP, 0, 0, atoi(argv[2]), atoi(argv[3]), nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
  int first = ExtractShowData(window);
  char firstTemp[PATH_SIZE];
  CopyPath(firstTemp, Startup.showTempFile);
  int second = ExtractShowData(window);
  FILE *report = fopen(argv[1], "w");
  if (!report) return 3;
  fprintf(report, "%d\n%d\n%s\n%lu\n%s\n%s\n%d\n%d\n", first, second, firstTemp,
          static_cast<unsigned long>(FileSizeOf(firstTemp)), Startup.appName, Startup.programFolder,
          Startup.smallWindow, strcmp(firstTemp, Startup.showTempFile) == 0);
  fclose(report);
  DestroyWindow(window);
  return 0;
}
