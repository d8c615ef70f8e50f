// The cross-fade frames of one QUADRIL rectangle without a blend made per
// frame. A blend of the old value q and the new value p at opacity a is
// (a p + (100 - a) q) div 100 = q + floor(a (p - q) / 100), so the old
// pixels and the channel differences are laid out once per rectangle, and
// each frame is three table lookups per pixel into a 32-bit frame picture.
// Portable; draws nothing.
#pragma once

#include <cstdint>

struct CrossFade {
  int32_t width, height;
  uint32_t *base;    // old pixels, 0x00RRGGBB, bottom row first
  uint16_t *delta;   // per pixel blue, green, red: new - old + 255
  int32_t table[3][511];
};

// Room for rectangles of width x height; 0 when the memory cannot be had.
int CrossFadeStart(CrossFade *fade, int32_t width, int32_t height);
// Takes the old and the new content of a rectangle: two 24-bit Dibs of the
// fade's size. 0 when either is missing or does not fit.
int CrossFadeLoad(CrossFade *fade, const void *oldDib, const void *newDib);
// Writes the blend at `opacity` (0..100) into a 32-bit frame picture of the
// fade's size (FramePictureNew).
void CrossFadeFrame(CrossFade *fade, int opacity, void *frame);
void CrossFadeEnd(CrossFade *fade);
