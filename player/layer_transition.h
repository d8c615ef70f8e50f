// Running a page's transition plug-in for one picture layer: the test whether
// an effect can run and the call with a filled TransitionParams block. Kept
// apart from the page records so that the plug-in block and the records can
// be used side by side; the caller passes plain values.
#pragma once

#include <windows.h>

#include <cstdint>

struct LayerTransitionCall {
  HWND window;
  HDC dc;
  void *image;           // the layer picture, as drawn
  int32_t imageSize[2];  // its width and height
  RECT destRect;         // client coordinates
  COLORREF backColor;
  int32_t wholeWindow;
  int32_t wait;
  const unsigned char *effectParams;  // the page's 80 bytes of effect parameters
  int32_t mouseMoveAborts;
};

// Index of the loaded plug-in that a page with this transition identifier
// uses, or -1 when none is loaded, the identifier is 0 or no plug-in has it.
int32_t LayerTransitionPlugin(int32_t transitionId);
// Fills a zeroed 256-byte block (abortable 1) and calls the plug-in's
// TransisionFunction; returns the block's result (0: stopped early or failed).
int RunLayerTransition(int32_t pluginIndex, const LayerTransitionCall *call);
