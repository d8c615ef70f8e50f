// A page drawn small, by the player's own composition: the page list's
// thumbnails and the working file's 160 x 120 previews. Safe on any thread
// for a page the caller owns (a copy when another thread edits the show).
#pragma once

#include <cstdint>

#include "show/show_pages.h"

constexpr int32_t PREVIEW_WIDTH = 160, PREVIEW_HEIGHT = 120;

// A new 24-bit image (a packed Dib memory block) of width x height showing
// page in the page shape pageWidth x pageHeight (0 x 0: the whole image),
// the margins in the page colour; null on failure.
void *DrawPagePicture(Page *page, int32_t width, int32_t height, int32_t pageWidth, int32_t pageHeight);
