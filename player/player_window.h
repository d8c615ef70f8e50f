// The window the player plays in (Player.playerWindow): its client size,
// which all page geometry is relative to.
#pragma once

#include <cstdint>

// The client size of Player.playerWindow (0 x 0 without a window).
void PlayerClientSize(int32_t *width, int32_t *height);
