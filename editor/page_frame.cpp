#include "editor/page_frame.h"

#include <cmath>

int32_t GridSpacing(const unsigned char settings[EDITOR_SETTINGS_SIZE]) {
  for (int32_t spacing : GRID_SPACINGS)
    if (settings[0] == spacing) return spacing;
  return 0;
}

int SetGridSpacing(unsigned char settings[EDITOR_SETTINGS_SIZE], int32_t spacing) {
  for (int32_t allowed : GRID_SPACINGS)
    if (allowed == spacing) {
      settings[0] = static_cast<unsigned char>(spacing);
      return 1;
    }
  return 0;
}

PageFrame ShowFrame(const unsigned char settings[EDITOR_SETTINGS_SIZE], int32_t fallbackWidth, int32_t fallbackHeight) {
  int32_t width = 0, height = 0;
  ShowPageSize(settings, &width, &height);
  if (width < 1 || height < 1) width = fallbackWidth, height = fallbackHeight;
  PageFrame frame = {width < 1 ? 1 : width, height < 1 ? 1 : height, GridSpacing(settings)};
  return frame;
}

double SnapToGrid(double v, int32_t grid) {
  if (grid <= 0) return v;
  return std::floor(v / grid + 0.5) * grid;
}
