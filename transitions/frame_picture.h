// A 32-bit picture (packed Dib, BI_RGB, bottom-up rows of 0x00RRGGBB) that an
// effect fills frame after frame: a window's surface takes such rows without
// converting them, where a 24-bit picture is converted pixel by pixel at
// every draw. Portable.
#pragma once

#include <cstdint>

// A new width x height 32-bit Dib, pixels zero; null when a side is not
// positive or the memory cannot be had.
void *FramePictureNew(int32_t width, int32_t height);
// The first (bottom) row of its pixels.
uint32_t *FramePixels(void *picture);
