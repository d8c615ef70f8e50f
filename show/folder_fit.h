// How a folder of pictures becomes pages, the parts that the folder command
// and the editor share: the order of the files (natural name order) and the
// fit of a picture onto a page (as large as fits inside a margin, its
// proportions kept, centred, in whole pixels). Portable.
#pragma once

#include <cstdint>
#include <string>

#include "shell/base/win_types.h"

// Natural name order: runs of digits compare by their value ("2" before
// "10"), letters without regard to case; a tie is broken byte by byte.
bool NaturalLess(const std::string &a, const std::string &b);

// The margin around a fitted picture on a page of width x height.
int32_t FitMargin(int32_t width, int32_t height);
// The place of a picture of pictureWidth x pictureHeight (as it shows,
// upright) fitted into the box of boxWidth x boxHeight at (margin, margin).
void FitPictureInBox(int32_t margin, int32_t boxWidth, int32_t boxHeight, int32_t pictureWidth, int32_t pictureHeight,
                     RECT *place);
