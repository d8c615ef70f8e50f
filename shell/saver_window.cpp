// ScreenSaverProc: the saver window's messages. Every message, handled here
// or not, goes on to DefScreenSaverProc, which ends the full-screen show on
// input; in the preview only Esc closes the window.
#include <windows.h>

#include "player/page_compose.h"
#include "player/play_scheduler.h"
#include "player/player_state.h"
#include "player/sound_player.h"
#include "shell/file_ops.h"
#include "shell/path_ops.h"
#include "shell/saver_framework.h"
#include "shell/saver_settle.h"
#include "shell/saver_startup.h"
#include "shell/startup_state.h"
#include "shell/system_ops.h"
#include "show/show_document.h"

enum { WM_SAVER_BEGIN = WM_USER + 55, MCIWNDM_NOTIFYMODE_MESSAGE = 1224 };
static_assert(WM_SAVER_BEGIN == 1079, "the settle message");

static void OpenHelp() {
  char help[PATH_SIZE];
  if (CopyPath(help, Startup.programFolder) && JoinPath(help, "help\\index.html")) OpenInBrowser(help);
}

LRESULT WINAPI ScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      if (SaverStartUp(window)) {
        if (!Startup.smallWindow) ShowCursor(FALSE);
        PostMessageA(window, WM_SAVER_BEGIN, 0, 0);
      } else {
        PostMessageA(window, WM_CLOSE, 0, 0);
      }
      break;
    case WM_SAVER_BEGIN:
      if (!Startup.smallWindow) SettleInput(SETTLE_MS, nullptr);
      if (!StartPlay(0, PLAY_MODE_SAVER)) PostMessageA(window, WM_CLOSE, 0, 0);
      break;
    case WM_DESTROY:
      // Whatever start-up made goes, whatever the display depth is by now.
      if (SaverStartedIn(window)) {
        StopPlayback();
        SaverCleanUp();
      }
      break;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      PaintPage(dc);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_TIMER:
      PlayTick(window, wParam);
      break;
    case WM_KEYDOWN:
      StopVoice();
      StopBgm();
      if (wParam == VK_ESCAPE) PostMessageA(window, WM_CLOSE, 0, 0);
      else if (wParam == VK_F1) OpenHelp();
      break;
    case WM_MOUSEMOVE:
      SetCursor(Startup.smallWindow ? Startup.cursors[4] : nullptr);
      break;
    case WM_LBUTTONDOWN:
      StopVoice();
      StopBgm();
      if (Show.linkAddress[0] && Startup.smallWindow) OpenInBrowser(Show.linkAddress);
      break;
    case WM_RBUTTONDOWN:
      StopVoice();
      StopBgm();
      break;
    case MCIWNDM_NOTIFYMODE_MESSAGE:
      HandleMediaNotify(reinterpret_cast<HWND>(wParam), lParam);
      break;
  }
  return DefScreenSaverProc(window, message, wParam, lParam);
}
