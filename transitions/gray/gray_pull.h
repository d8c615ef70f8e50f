// Pulling a picture toward middle grey: every colour channel moves toward 128
// by (percent x 128) div 100, never past it. Portable; draws nothing.
#pragma once

#include <cstdint>

// A new 24-bit Dib of the (24-bit) input's block size with every channel
// pulled toward 128 by `percent` (clamped to 0..100); the input is not
// changed, a picture of another depth is first expanded to 24 bits. Null
// for a null or damaged input, or when the memory cannot be had.
void *DibPullToGray(const void *dib, int percent);

// The same pull for a band of rows, as a 32-bit frame picture: fills `band`
// (FramePictureNew of the 24-bit `dib`'s width and any height up to its
// height) with the pixels DibPullToGray makes for the dib's rows from `top`
// down (counted from the top), through one table of the 256 channel values.
// 0 when the two do not fit together or the band reaches beyond the dib.
int PullToGrayBand(const void *dib, int percent, int32_t top, void *band);
