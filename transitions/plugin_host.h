// The player's side of the plug-in interface: loading every ".tns" of a
// folder into a table keyed by file checksum, lookup, and unloading.
#pragma once

#include <windows.h>

#include <cstdint>

#include "shell/base/file_checksum.h"  // FileChecksum: a plug-in's identifier
#include "shell/base/path_ops.h"
#include "transitions/transition_params.h"

typedef int(__stdcall *TransitionParamsPtr)(TransitionParams *);

struct TransitionPlugin {
  HWND button;          // the editor's palette button; 0 in the player
  HMODULE module;
  char path[PATH_SIZE];
  int32_t checksum;     // never 0 in a stored entry
  char displayName[TRANSITION_NAME_SIZE];
  TransitionFunctionPtr transitionFunction;
  TransitionParamsPtr paramsFunction;
  int32_t buttonState;  // the editor's; 0 in the player
  int32_t defaultWait;
  int32_t defaultParams[EFFECT_PARAM_WORDS];
};
#ifndef _WIN64
static_assert(sizeof(TransitionPlugin) == 880, "a table entry is 880 bytes");
#endif

struct TransitionPluginTable {
  TransitionPlugin *entries;  // memory block of count entries
  int32_t count;
};

extern TransitionPluginTable TransitionPlugins;

void LoadTransitionPlugins(const char *folder);
int32_t FindTransitionPlugin(int32_t checksum);  // index, or -1
void UnloadTransitionPlugins();
