// The process-wide start-up state of the player: one show per process. Set
// by self-extraction and start-up (shell/saver), read by the loader and the
// player, cleared by the shutdown. Only the record lives here, so that every
// layer can read it; the code that fills it sits on top.
#pragma once

#include <windows.h>

#include "shell/base/path_ops.h"
#include "shell/base/player_settings.h"

// The screen-saver framework's name strings.
struct FrameworkNames {
  char name[40];          // program base name
  char appName[40];
  char screenSaver[40];
  char iniFile[14];       // string 1001
  char helpFile[14];      // string 1009
  char noHelpMemory[256]; // string 1008
};

// The cursors the program carries, as indexes into StartupState::cursors
// (their resource names are listed by the start-up).
enum CursorIndex {
  CURSOR_DRAGCOPY,
  CURSOR_DRAGCOPY2,
  CURSOR_DRAGMOVE,
  CURSOR_DRAGMOVE2,
  CURSOR_HAND,
  CURSOR_HAND2,
  CURSOR_HAND3,
  CURSOR_COUNT
};
// The drop-shadow tiles: as many as the raster's list of them (SHADOW_TILE_*).
enum { SHADOW_COUNT = 5 };

struct StartupState {
  HWND mainWindow;
  HINSTANCE instance;
  int soundAvailable;
  int screenWidth, screenHeight;
  int smallWindow;
  char tempFolder[PATH_SIZE];
  char appName[PATH_SIZE];
  char programFolder[PATH_SIZE];
  char programPath[PATH_SIZE];
  char showTempFile[PATH_SIZE];
  char mediaFolder[PATH_SIZE];
  char (*extractedFiles)[PATH_SIZE];  // memory block
  int extractedCount;
  // The pages, the music list and the rest of the show are Show
  // (show/show_document.h).
  HCURSOR cursors[CURSOR_COUNT];      // by CursorIndex
  void *shadowImages[SHADOW_COUNT];   // by SHADOW_TILE_* (raster/dib.h)
  int shadowWidth, shadowHeight;
  PlayerSettings settings;
  FrameworkNames names;
};

extern StartupState Startup;
