// Finding the program's own name and folder, and the show data inside the
// program file. No file or system access here: that is self_extract.cpp.
#include "shell/self_extract_core.h"

#include <cstring>

#include "shell/path_ops.h"

// Read through a volatile pointer so that the compiler cannot fold the three
// pieces into one constant: the program file must not hold the whole marker.
static const char *const volatile kMarkerPieces[3] = {"@@@@@-----", "boundary of saver and data", "-----@@@@@"};

void BuildBoundaryMarker(char out[BOUNDARY_MARKER_SIZE]) {
  size_t pos = 0;
  for (int i = 0; i < 3; ++i) {
    const char *piece = kMarkerPieces[i];
    size_t len = strlen(piece);
    memcpy(out + pos, piece, len);
    pos += len;
  }
}

int64_t FindBoundaryMarker(const unsigned char *data, size_t size) {
  char marker[BOUNDARY_MARKER_SIZE];
  BuildBoundaryMarker(marker);
  if (!data || size < BOUNDARY_MARKER_SIZE) return -1;
  const unsigned char *end = data + size - BOUNDARY_MARKER_SIZE + 1;  // last start + 1
  for (const unsigned char *p = data; p < end;) {
    p = static_cast<const unsigned char *>(memchr(p, marker[0], static_cast<size_t>(end - p)));
    if (!p) break;
    if (memcmp(p, marker, BOUNDARY_MARKER_SIZE) == 0) return p - data;
    ++p;
  }
  return -1;
}

int SplitCommandLine(const char *commandLine, char *appName, char *programFolder) {
  char line[PATH_SIZE] = {};
  strncpy(line, commandLine, PATH_SIZE - 1);

  const char *name = FileNamePart(line);
  size_t nameLen = strcspn(name, "\" ");
  memcpy(appName, name, nameLen);
  appName[nameLen] = 0;

  // The folder is everything before the last backslash that precedes the name.
  const char *slash = nullptr;
  for (const char *p = line; *p && p < name; p = NextChar(p))
    if (*p == '\\') slash = p;
  programFolder[0] = 0;
  if (!slash) return 0;
  const char *start = line[0] == '"' ? line + 1 : line;
  size_t len = slash > start ? static_cast<size_t>(slash - start) : 0;
  memcpy(programFolder, start, len);
  programFolder[len] = 0;
  if (len && programFolder[len - 1] == ':') {
    programFolder[len] = '\\';
    programFolder[len + 1] = 0;
  }
  return 1;
}

int IsSmallWindow(int32_t width, int32_t height, int32_t dpi) {
  const int64_t scale = dpi > 0 ? dpi : 96;
  return int64_t(width) * 96 < 320 * scale || int64_t(height) * 96 < 240 * scale;
}
