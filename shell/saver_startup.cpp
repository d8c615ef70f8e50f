// SaverStartUp and SaverCleanUp, in the order the player depends on: the
// plug-ins are unloaded before their files are deleted.
#include "shell/saver_startup.h"

#include "raster/dib.h"
#include "shell/file_ops.h"
#include "shell/mem_block.h"
#include "shell/player_settings.h"
#include "shell/startup_state.h"
#include "show/show_document.h"
#include "show/show_loader.h"
#include "transitions/plugin_host.h"

static const char *const kCursorNames[CURSOR_COUNT] = {"DRAGCOPY", "DRAGCOPY2", "DRAGMOVE", "DRAGMOVE2",
                                                       "HANDCUR",  "HANDCUR2",  "HANDCUR3"};
static const char *const kShadowNames[SHADOW_COUNT] = {"SHADOW_V", "SHADOW_H", "SHADOW_HV", "SHADOW_HL", "SHADOW_VT"};

void ReadPlayerSettings() {
  char value[64] = {};
  GetProfileStringA(Startup.appName, "setting", "", value, sizeof value);
  ParsePlayerSettings(value, &Startup.settings);
}

void WritePlayerSettings() {
  char value[8];
  FormatPlayerSettings(&Startup.settings, value);
  WriteProfileStringA(Startup.appName, "setting", value);
}

int SaverStartedIn(HWND window) { return window && Startup.mainWindow == window; }

int SaverStartUp(HWND window) {
  if (!ExtractShowData(window)) return 0;
  if (!LoadShow(Startup.showTempFile, LoadForPlayback, 0, 0)) {
    DeleteFileA(Startup.showTempFile);
    return 0;
  }
  LoadTransitionPlugins(Startup.mediaFolder);
  HINSTANCE instance = Startup.instance ? Startup.instance : GetModuleHandleA(nullptr);
  for (int i = 0; i < CURSOR_COUNT; ++i) Startup.cursors[i] = LoadCursorA(instance, kCursorNames[i]);
  for (int i = 0; i < SHADOW_COUNT; ++i) Startup.shadowImages[i] = DibFromResource(instance, kShadowNames[i]);
  SIZE shadow;
  if (Startup.shadowImages[1] && DibGetSize(Startup.shadowImages[1], &shadow)) {
    Startup.shadowWidth = shadow.cx;
    Startup.shadowHeight = shadow.cy;
  }
  ReadPlayerSettings();
  return 1;
}

void SaverCleanUp() {
  UnloadTransitionPlugins();
  for (int i = 0; i < Startup.extractedCount; ++i) {
    SetFileAttributesA(Startup.extractedFiles[i], FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(Startup.extractedFiles[i]);
  }
  MemFreePtr(Startup.extractedFiles);
  Startup.extractedCount = 0;
  if (Startup.mediaFolder[0]) {
    DeleteTree(Startup.mediaFolder);
    RemoveDirectoryA(Startup.mediaFolder);
  }
  Startup.mediaFolder[0] = 0;
  if (Startup.showTempFile[0]) DeleteFileA(Startup.showTempFile);
  Startup.showTempFile[0] = 0;
  ClearShowDocument(&Show);
  MemFreePtr(Show.pages.pages);
  for (void *&image : Startup.shadowImages) MemFree(&image);
  Startup.mainWindow = nullptr;
}
