// Test helpers for the player's plug-in tests: loading built plug-ins and
// reading what the probe plug-in recorded. Kept apart from the page records
// (their effect-parameter size constant and the plug-in block's size
// constant share a name), so this header includes neither.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// One call of the probe plug-in, as plain values.
struct ProbeCall {
  HWND window;
  HDC dc;
  void *image;
  int hasImageSize, hasDestRect;
  int32_t imageSize[2];
  RECT destRect;
  COLORREF backColor;
  int32_t wholeWindow, abortable, wait, mouseMoveAborts, result;
  unsigned char effectParams[80];
  bool tailZero;  // every byte after the fields is 0
  LONG imageWidth, imageHeight;
  WORD imageBits;
  RECT clientRect;
  COLORREF layerOnScreenBefore;
};

// Copies the built plug-ins into folder and loads that folder; returns the
// checksum of the first table entry (0 when none loaded) and the count.
int32_t LoadTestPlugins(const std::string &folder, const std::vector<std::string> &builtNames, int32_t *count);
void UnloadTestPlugins();
std::vector<ProbeCall> ProbeCallsMade();
void ProbeReset(int result);
