// The page as the editor measures it: its size in pixels (the show's page
// size, or the screen's when the show records none) and the snap grid of the
// editor settings (header byte 67). Positions on the page are held as
// fractions; moves, resizes and the grid work in these pixels.
#pragma once

#include <cstdint>

#include "show/show_records.h"

struct PageFrame {
  int32_t width, height;  // never below 1
  int32_t grid;           // snap spacing in pixels, 0 for none
};

// The spacings the grid may have; anything else stored counts as none.
constexpr int32_t GRID_SPACINGS[] = {0, 2, 4, 8, 16, 32, 64};
constexpr int GRID_SPACING_COUNT = 7;
int32_t GridSpacing(const unsigned char settings[EDITOR_SETTINGS_SIZE]);
// Stores spacing (one of GRID_SPACINGS); 0 for another value, nothing changed.
int SetGridSpacing(unsigned char settings[EDITOR_SETTINGS_SIZE], int32_t spacing);

// The frame of a show: its recorded page size or, when it records none,
// fallbackWidth x fallbackHeight; its grid.
PageFrame ShowFrame(const unsigned char settings[EDITOR_SETTINGS_SIZE], int32_t fallbackWidth, int32_t fallbackHeight);

// v moved to the nearest multiple of grid (v itself without a grid).
double SnapToGrid(double v, int32_t grid);
