// The screen-saver command line: what Windows asks the saver to do.
#pragma once

#include <cstdint>

enum SaverAction {
  SAVER_CONFIGURE,  // the settings dialog (owner: `window`, or none / the foreground window)
  SAVER_RUN,        // full screen
  SAVER_PREVIEW,    // a child of `window` (the display settings' thumbnail)
  SAVER_PASSWORD,   // change the password (Windows 9x only)
  SAVER_INVALID,    // anything else: the process ends with -1
};

struct SaverCommand {
  SaverAction action;
  uintptr_t window;   // the decimal window handle that followed, 0 when none
  bool noOwner;       // the configuration dialog without any owner (empty command line)
};

// The arguments after the program path: letters in either case; ' ', '-'
// and '/' are skipped before the letter.
SaverCommand ParseSaverCommand(const char *arguments);

// The part of a process command line after the program path (quoted or not).
const char *SkipProgramPath(const char *commandLine);
