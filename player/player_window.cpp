// The player window's client size and the player's share of its messages.
#include "player/player_window.h"

#include "player/page_compose.h"
#include "player/play_scheduler.h"
#include "player/player_screens.h"
#include "player/player_state.h"
#include "player/sound_player.h"

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
      if (IsScreenStopKey(message, wParam, lParam)) return 1;  // it was meant for an effect
      [[fallthrough]];
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
