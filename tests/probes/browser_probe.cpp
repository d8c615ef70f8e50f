// Stands in for a web browser: writes the arguments it was started with, one
// a line after their count, to "args.txt" beside itself (complete, by rename).
#include <windows.h>

#include <cstdio>
#include <cstring>

int main(int argc, char **argv) {
  char folder[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, folder, MAX_PATH);
  if (!n || n >= MAX_PATH) return 2;
  char *slash = strrchr(folder, '\\');
  if (!slash) return 2;
  slash[1] = 0;
  char part[MAX_PATH + 16], done[MAX_PATH + 16];
  snprintf(part, sizeof part, "%sargs.part", folder);
  snprintf(done, sizeof done, "%sargs.txt", folder);
  FILE *out = fopen(part, "wb");
  if (!out) return 3;
  fprintf(out, "%d\n", argc);
  for (int i = 1; i < argc; ++i) fprintf(out, "%s\n", argv[i]);
  fclose(out);
  if (MoveFileA(part, done)) return 0;
  DeleteFileA(part);
  return 4;
}
