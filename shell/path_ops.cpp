// Double-byte aware path operations shared by the player, the plug-ins and
// the authoring tool.
#include "shell/path_ops.h"

#include <cstring>

#ifdef _WIN32
#include <windows.h>
bool IsLeadByte(unsigned char c) { return IsDBCSLeadByte(c) != 0; }
#else
bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
#endif

const char *NextChar(const char *p) {
  if (!*p) return p;
  if (IsLeadByte(static_cast<unsigned char>(*p)) && p[1]) return p + 2;
  return p + 1;
}

const char *FileNamePart(const char *path) {
  const char *found = nullptr;
  for (const char *p = path; *p; p = NextChar(p)) {
    if (*p == '\\') found = p[1] ? p + 1 : nullptr;
  }
  if (found) return found;
  size_t len = strlen(path);
  if (len == 3 && path[1] == ':') return path + 3;
  if (len >= 2 && path[1] == ':') return path + 2;
  return path;
}

const char *ExtensionPart(const char *path) {
  if (!path || !*path) return nullptr;
  const char *dot = nullptr;
  const char *p = path;
  for (; *p; p = NextChar(p)) {
    if (*p == '.')
      dot = (p[1] && p[1] != ' ') ? p + 1 : nullptr;
    else if (*p == '\\')
      dot = nullptr;
  }
  return dot ? dot : p;
}

bool EndsWithBackslash(const char *path) {
  const char *last = nullptr;
  for (const char *p = path; *p; p = NextChar(p)) last = p;
  return last && *last == '\\' && !(IsLeadByte(static_cast<unsigned char>(*last)));
}

int SetExtension(char *path, const char *extension) {
  if (!path || !extension || !*extension) return 0;
  const char *ext = ExtensionPart(path);
  if (!ext) ext = path;
  size_t base = static_cast<size_t>(ext - path);
  bool hasExt = *ext != 0;
  char work[PATH_SIZE];
  memcpy(work, path, base);
  size_t pos = base;
  if (!hasExt && (base == 0 || path[base - 1] != '.')) {
    if (pos + 1 >= PATH_SIZE) return 0;
    work[pos++] = '.';
  }
  size_t extLen = strlen(extension);
  if (pos + extLen >= PATH_SIZE) return 0;
  memcpy(work + pos, extension, extLen + 1);
  memcpy(path, work, pos + extLen + 1);
  return 1;
}

int JoinPath(char *path, const char *name) {
  size_t len = strlen(path), nameLen = strlen(name);
  char joined[2 * PATH_SIZE + 2];
  if (len + nameLen + 1 >= sizeof(joined)) return 0;
  memcpy(joined, path, len);
  joined[len] = '\\';
  memcpy(joined + len + 1, name, nameLen + 1);

  // Fold every doubled backslash into one, except a leading "\\" (network path).
  char out[sizeof(joined)];
  size_t o = 0;
  const char *p = joined;
  if (p[0] == '\\' && p[1] == '\\') {
    out[o++] = '\\';
    out[o++] = '\\';
    p += 2;
  }
  bool lastWasSeparator = o > 0;
  while (*p) {
    const char *next = NextChar(p);
    bool separator = (next - p == 1) && *p == '\\';
    if (!(separator && lastWasSeparator)) {
      while (p < next) out[o++] = *p++;
    }
    p = next;
    lastWasSeparator = separator;
  }
  out[o] = 0;
  if (o >= PATH_SIZE) return 0;
  memcpy(path, out, o + 1);
  return 1;
}

bool PathPrefixEquals(const char *path, const char *prefix) {
  auto lower = [](unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; };
  const char *p = path, *q = prefix;
  while (*q) {
    const char *nq = NextChar(q);
    size_t width = static_cast<size_t>(nq - q);
    for (size_t i = 0; i < width; ++i) {
      if (!p[i]) return false;
      unsigned char a = static_cast<unsigned char>(p[i]), b = static_cast<unsigned char>(q[i]);
      if (width == 1 ? lower(a) != lower(b) : a != b) return false;
    }
    p += width;
    q = nq;
  }
  return true;
}

int CopyPath(char *out, const char *text) {
  size_t len = strlen(text);
  if (len >= PATH_SIZE) {
    out[0] = 0;
    return 0;
  }
  memmove(out, text, len + 1);
  return 1;
}

int ProgramRelativePath(char *out, const char *path, const char *programFolder, PathDirection direction) {
  char result[PATH_SIZE];
  size_t folderLen = strlen(programFolder);
  if (direction == PATH_EXPAND && path[0] == '@') {
    size_t restLen = strlen(path + 1);
    if (folderLen + restLen >= PATH_SIZE) return 0;
    memcpy(result, programFolder, folderLen);
    memcpy(result + folderLen, path + 1, restLen + 1);
  } else if (direction == PATH_CONTRACT && folderLen && strlen(path) > folderLen &&
             PathPrefixEquals(path, programFolder)) {
    size_t restLen = strlen(path + folderLen);
    if (1 + restLen >= PATH_SIZE) return 0;
    result[0] = '@';
    memcpy(result + 1, path + folderLen, restLen + 1);
  } else if (!CopyPath(result, path)) {
    return 0;
  }
  memcpy(out, result, strlen(result) + 1);
  return 1;
}
