// Entry point of a plug-in library: records the module instance, which the
// plug-in uses only to load its dialog resource.
#include <windows.h>

#include "transitions/params_dialog.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    PluginInstance = instance;
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}
