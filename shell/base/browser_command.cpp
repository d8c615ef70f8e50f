// Checks on the texts given to the web browser and its command line.
#include "shell/base/browser_command.h"

#include <cstdio>
#include <cstring>

#include "shell/base/path_ops.h"

int IsQuotableArgument(const char *text) {
  if (!text || !*text) return 0;
  // Trail bytes of double-byte characters are never below 0x40, so a byte
  // scan finds every quote and control character.
  for (const unsigned char *p = reinterpret_cast<const unsigned char *>(text); *p; ++p)
    if (*p == '"' || *p < 0x20 || *p == 0x7F) return 0;
  const char *last = text;
  for (const char *p = text; *p; p = NextChar(p)) last = p;
  if (!last[1] && (*last == '\\' || IsLeadByte(static_cast<unsigned char>(*last)))) return 0;
  return 1;
}

int IsWebAddress(const char *address) {
  if (!address) return 0;
  size_t scheme = 0;
  if (PathPrefixEquals(address, "http://")) scheme = 7;
  else if (PathPrefixEquals(address, "https://")) scheme = 8;
  if (!scheme || !address[scheme]) return 0;
  return IsQuotableArgument(address);
}

int BrowserCommandLine(char *out, size_t size, const char *program, const char *argument) {
  if (!out || !size) return 0;
  out[0] = 0;
  if (!IsQuotableArgument(program) || !IsQuotableArgument(argument)) return 0;
  int length = snprintf(out, size, "\"%s\" \"%s\"", program, argument);
  if (length < 0 || static_cast<size_t>(length) >= size) {
    out[0] = 0;
    return 0;
  }
  return 1;
}
