// The player window's client size and the player's share of its messages.
#include "player/player_window.h"

#include "player/page_compose.h"
#include "player/play_scheduler.h"
#include "player/player_state.h"
#include "player/sound_player.h"

void PlayerClientSize(int32_t *width, int32_t *height) {
  RECT client = {0, 0, 0, 0};
  if (!Player.playerWindow || !GetClientRect(Player.playerWindow, &client)) client = {0, 0, 0, 0};
  *width = client.right - client.left;
  *height = client.bottom - client.top;
}

int RoutePlayerMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      PaintPage(dc);
      EndPaint(window, &paint);
      return 1;
    }
    case WM_TIMER:
      PlayTick(window, wParam);
      break;
    case WM_KEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
      StopVoice();
      StopBgm();
      break;
    case MEDIA_NOTIFY_MESSAGE:
      HandleMediaNotify(reinterpret_cast<HWND>(wParam), lParam);
      break;
    case WM_DESTROY:
      StopPlayback();
      break;
  }
  return 0;
}
