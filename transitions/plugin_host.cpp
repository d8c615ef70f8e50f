// Loading the transition plug-ins extracted from the show. Files that cannot
// be read, sum to 0, do not load or lack an export are left out silently,
// and their library is freed again.
#include "transitions/plugin_host.h"

#include <cstring>

#include "shell/base/file_checksum.h"
#include "shell/base/mem_block.h"

TransitionPluginTable TransitionPlugins;

// Fills an entry from a loaded library; false when an export is missing.
static bool Register(TransitionPlugin *entry) {
  entry->transitionFunction =
      reinterpret_cast<TransitionFunctionPtr>(GetProcAddress(entry->module, "TransisionFunction"));
  if (!entry->transitionFunction) return false;
  entry->paramsFunction = reinterpret_cast<TransitionParamsPtr>(GetProcAddress(entry->module, "GetTransisionParams"));
  if (!entry->paramsFunction) return false;
  auto defaults = reinterpret_cast<TransitionParamsPtr>(GetProcAddress(entry->module, "GetTransisionDefaultParams"));
  if (!defaults) return false;
  TransitionParams params;
  memset(&params, 0, sizeof params);
  defaults(&params);
  memcpy(entry->defaultParams, params.effectParams, sizeof entry->defaultParams);
  entry->defaultWait = params.wait;
  auto name = reinterpret_cast<TransitionNamePtr>(GetProcAddress(entry->module, "GetTransisionName"));
  if (!name) return false;
  name(entry->displayName);
  entry->displayName[TRANSITION_NAME_SIZE - 1] = 0;
  return true;
}

void LoadTransitionPlugins(const char *folder) {
  TransitionPlugins.entries = static_cast<TransitionPlugin *>(MemAlloc(1));
  TransitionPlugins.count = 0;
  char pattern[PATH_SIZE];
  if (!CopyPath(pattern, folder) || !JoinPath(pattern, "*.tns")) return;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(pattern, &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    TransitionPlugin entry;
    memset(&entry, 0, sizeof entry);
    int32_t before = TransitionPlugins.count;
    if (!CopyPath(entry.path, folder) || !JoinPath(entry.path, found.cFileName)) continue;
    entry.checksum = FileChecksum(entry.path);
    if (!entry.checksum) continue;
    entry.module = LoadLibraryA(entry.path);
    if (!entry.module) continue;
    if (Register(&entry)) {
      void *grown = MemRealloc(TransitionPlugins.entries, (before + 1) * sizeof(TransitionPlugin));
      if (grown) {
        TransitionPlugins.entries = static_cast<TransitionPlugin *>(grown);
        TransitionPlugins.entries[before] = entry;
        TransitionPlugins.count = before + 1;
      }
    }
    if (TransitionPlugins.count == before) FreeLibrary(entry.module);
  } while (FindNextFileA(search, &found));
  FindClose(search);
}

int32_t FindTransitionPlugin(int32_t checksum) {
  for (int32_t i = 0; i < TransitionPlugins.count; ++i)
    if (TransitionPlugins.entries[i].checksum == checksum) return i;
  return -1;
}

void UnloadTransitionPlugins() {
  for (int32_t i = 0; i < TransitionPlugins.count; ++i) {
    if (TransitionPlugins.entries[i].module) FreeLibrary(TransitionPlugins.entries[i].module);
    TransitionPlugins.entries[i].module = nullptr;
  }
  MemFreePtr(TransitionPlugins.entries);
  TransitionPlugins.count = 0;
}
