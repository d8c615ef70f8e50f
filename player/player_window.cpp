// The player window's client size.
#include "player/player_window.h"

#include <windows.h>

#include "player/player_state.h"

void PlayerClientSize(int32_t *width, int32_t *height) {
  RECT client = {0, 0, 0, 0};
  if (!Player.playerWindow || !GetClientRect(Player.playerWindow, &client)) client = {0, 0, 0, 0};
  *width = client.right - client.left;
  *height = client.bottom - client.top;
}
