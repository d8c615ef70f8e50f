#include "editor/editor_trace.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>

void TraceEvent(const char *event, int value) {
  wchar_t path[MAX_PATH];
  DWORD n = GetEnvironmentVariableW(L"VORMKIT_EDITOR_TRACE", path, MAX_PATH);
  if (!n || n >= MAX_PATH) return;
  FILETIME created, exited, kernel, user, now;
  if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return;
  GetSystemTimeAsFileTime(&now);
  auto ticks = [](const FILETIME &t) { return (uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
  const uint64_t ms = (ticks(now) - ticks(created)) / 10000;
  FILE *file = _wfopen(path, L"a");
  if (!file) return;
  fprintf(file, "%llu %s %d\n", static_cast<unsigned long long>(ms), event, value);
  fclose(file);
}
