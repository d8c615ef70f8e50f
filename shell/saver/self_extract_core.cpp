// Finding the program's own name and folder, and the show data inside the
// program file, and copying that data out chunk by chunk. No file or system
// access here: that is self_extract.cpp, through ExtractStreams.
#include "shell/saver/self_extract_core.h"

#include <cstring>

#include "shell/base/mem_block.h"
#include "shell/base/path_ops.h"

// The copy after the marker: first the rest of the piece in which the marker
// was found, then every further piece as it is read.
static ExtractResult CopyRest(const ExtractStreams *streams, unsigned char *buffer, uint32_t chunkSize,
                              const unsigned char *rest, size_t restSize) {
  if (!streams->create(streams->context)) return EXTRACT_CREATE_FAILED;
  if (restSize && !streams->write(streams->context, rest, uint32_t(restSize))) return EXTRACT_WRITE_FAILED;
  for (;;) {
    int64_t got = streams->read(streams->context, buffer, chunkSize);
    if (got < 0 || got > int64_t(chunkSize)) return EXTRACT_READ_FAILED;
    if (got == 0) return EXTRACT_OK;
    if (!streams->write(streams->context, buffer, uint32_t(got))) return EXTRACT_WRITE_FAILED;
  }
}

ExtractResult CopyShowData(const ExtractStreams *streams, uint32_t chunkSize, int64_t *boundary) {
  *boundary = -1;
  if (chunkSize == 0) chunkSize = 1;
  // The last 45 bytes of each piece are kept in front of the next one, so a
  // marker that straddles two pieces is seen whole; 45 bytes cannot hold a
  // whole marker, so nothing is found twice and the first occurrence wins.
  const size_t keep = BOUNDARY_MARKER_SIZE - 1;
  auto *buffer = static_cast<unsigned char *>(MemAlloc(keep + chunkSize));
  if (!buffer) return EXTRACT_NO_MEMORY;
  ExtractResult result = EXTRACT_NO_MARKER;
  size_t held = 0;     // bytes kept from the previous piece
  uint64_t start = 0;  // offset in the file of buffer[0]
  for (;;) {
    int64_t got = streams->read(streams->context, buffer + held, chunkSize);
    if (got < 0 || got > int64_t(chunkSize)) {
      result = EXTRACT_READ_FAILED;
      break;
    }
    if (got == 0) break;
    size_t filled = held + size_t(got);
    int64_t at = FindBoundaryMarker(buffer, filled);
    if (at >= 0) {
      *boundary = int64_t(start) + at;
      size_t after = size_t(at) + BOUNDARY_MARKER_SIZE;
      result = CopyRest(streams, buffer, chunkSize, buffer + after, filled - after);
      break;
    }
    held = filled < keep ? filled : keep;
    memmove(buffer, buffer + filled - held, held);
    start += filled - held;
  }
  MemFreePtr(buffer);
  return result;
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
