// What the probe plug-in keeps of each call: the whole block as received and
// copies of what its pointers pointed to during the call.
#pragma once

#include <windows.h>

#include "transitions/transition_params.h"

enum { PROBE_MAX_RECORDS = 16 };
constexpr COLORREF PROBE_MARKER_COLOUR = RGB(255, 0, 255);

struct ProbeRecord {
  TransitionParams block;
  int hasImageSize;
  int32_t imageSize[2];
  int hasDestRect;
  RECT destRect;
  LONG imageWidth, imageHeight;
  WORD imageBits;
  RECT clientRect;                 // of block.window, read during the call
  COLORREF layerOnScreenBefore;    // the dc's pixel at destRect's top-left when called
};

typedef int(__stdcall *ProbeCallsPtr)(ProbeRecord *out, int capacity);
typedef void(__stdcall *ProbeResetPtr)(int result);
