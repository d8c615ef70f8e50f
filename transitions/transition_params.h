// The transition plug-in interface: the parameter block that the player
// passes to every export, and the four exports every ".tns" library offers
// (exported under their plain names with ordinals 1 to 4 by a .def file).
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

enum { EFFECT_PARAM_WORDS = 20, TRANSITION_BLOCK_SIZE = 256, TRANSITION_NAME_SIZE = 512 };

// A zero-initialised 256-byte block; the fields fill its start and the rest stays zero.
struct TransitionParams {
  HWND window;             // window whose client area the effect paints
  HDC dc;                  // device context to read from and draw on
  void *image;             // incoming picture (a Dib); null refuses
  int32_t *imageSize;      // width and height of image
  RECT *destRect;          // where the picture goes, client coordinates
  COLORREF backColor;      // page background
  int32_t wholeWindow;     // 1: cover the client rectangle, outside destRect is backColor
  int32_t abortable;       // 1: poll for user input and stop on it
  int32_t wait;            // the effect's speed value
  int32_t effectParams[EFFECT_PARAM_WORDS];
  int32_t mouseMoveAborts; // 1: mouse movement also interrupts
  int32_t result;          // out: 1 ran to its end, 0 interrupted or failed
  BYTE unused[TRANSITION_BLOCK_SIZE - (5 * sizeof(void *) + 104)];
};

static_assert(sizeof(TransitionParams) == TRANSITION_BLOCK_SIZE, "TransitionParams is a 256-byte block");
#ifndef _WIN64
// The 32-bit layout that the player and the plug-ins agree on.
static_assert(offsetof(TransitionParams, dc) == 4, "layout");
static_assert(offsetof(TransitionParams, image) == 8, "layout");
static_assert(offsetof(TransitionParams, imageSize) == 12, "layout");
static_assert(offsetof(TransitionParams, destRect) == 16, "layout");
static_assert(offsetof(TransitionParams, backColor) == 20, "layout");
static_assert(offsetof(TransitionParams, wholeWindow) == 24, "layout");
static_assert(offsetof(TransitionParams, abortable) == 28, "layout");
static_assert(offsetof(TransitionParams, wait) == 32, "layout");
static_assert(offsetof(TransitionParams, effectParams) == 36, "layout");
static_assert(offsetof(TransitionParams, mouseMoveAborts) == 116, "layout");
static_assert(offsetof(TransitionParams, result) == 120, "layout");
#endif

typedef int(__stdcall *TransitionFunctionPtr)(TransitionParams *);
typedef char *(__stdcall *TransitionNamePtr)(char *);

extern "C" {
int __stdcall GetTransisionDefaultParams(TransitionParams *params);
char *__stdcall GetTransisionName(char *buffer);
int __stdcall GetTransisionParams(TransitionParams *params);
int __stdcall TransisionFunction(TransitionParams *params);
}
