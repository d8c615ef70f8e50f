// Reading the screen-saver command line ("/s", "/p 1234", "/c:5678", ...).
#include "shell/saver/saver_command.h"

static const char *SkipSeparators(const char *p) {
  while (*p == ' ' || *p == '-' || *p == '/' || *p == '\t') ++p;
  return p;
}

static uintptr_t ReadHandle(const char *p, bool *found) {
  while (*p == ' ' || *p == '\t' || *p == ':') ++p;
  uintptr_t value = 0;
  *found = false;
  while (*p >= '0' && *p <= '9') {
    value = value * 10 + static_cast<uintptr_t>(*p++ - '0');
    *found = true;
  }
  return value;
}

SaverCommand ParseSaverCommand(const char *arguments) {
  SaverCommand command = {SAVER_INVALID, 0, false};
  const char *p = SkipSeparators(arguments ? arguments : "");
  bool found = false;
  switch (*p | 0x20) {
    case 0x20:  // end of the line (NUL | 0x20)
      command.action = SAVER_CONFIGURE;
      command.noOwner = true;
      break;
    case 's':
      command.action = SAVER_RUN;
      break;
    case 'p':
    case 'l':
      command.window = ReadHandle(p + 1, &found);
      command.action = found ? SAVER_PREVIEW : SAVER_INVALID;
      break;
    case 'c':
      command.action = SAVER_CONFIGURE;
      command.window = ReadHandle(p + 1, &found);
      break;
    case 'a':
      command.action = SAVER_PASSWORD;
      command.window = ReadHandle(p + 1, &found);
      break;
    default:
      break;
  }
  return command;
}

const char *SkipProgramPath(const char *commandLine) {
  const char *p = commandLine;
  while (*p == ' ' || *p == '\t') ++p;
  if (*p == '"') {
    ++p;
    while (*p && *p != '"') ++p;
    if (*p == '"') ++p;
  } else {
    while (*p && *p != ' ' && *p != '\t') ++p;
  }
  return p;
}
