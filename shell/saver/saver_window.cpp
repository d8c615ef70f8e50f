// ScreenSaverProc: the saver window's messages. The player answers its own
// first (paint, play timer, media notifications, silence on input, the end
// of playback); every message but a paint then goes on to what the saver
// does and to DefScreenSaverProc, which ends the full-screen show on input;
// in the preview only Esc closes the window.
#include <windows.h>

#include "player/play_scheduler.h"
#include "player/player_screens.h"
#include "player/player_state.h"
#include "player/player_window.h"
#include "shell/base/file_ops.h"
#include "shell/base/path_ops.h"
#include "shell/base/startup_state.h"
#include "shell/base/system_ops.h"
#include "shell/saver/saver_framework.h"
#include "shell/saver/saver_settle.h"
#include "shell/saver/saver_startup.h"
#include "show/show_document.h"

enum { WM_SAVER_BEGIN = WM_USER + 55 };
static_assert(WM_SAVER_BEGIN == 1079, "the settle message");

static void OpenHelp() {
  char help[PATH_SIZE];
  if (CopyPath(help, Startup.programFolder) && JoinPath(help, "help\\index.html")) OpenLocalPageInBrowser(help);
}

LRESULT WINAPI ScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (RoutePlayerMessage(window, message, wParam, lParam)) return 0;
  switch (message) {
    case WM_CREATE:
      if (SaverStartUp(window)) {
        OpenPlayerScreens(window);
        if (!Startup.smallWindow) ShowCursor(FALSE);
        PostMessageA(window, WM_SAVER_BEGIN, 0, 0);
      } else {
        PostMessageA(window, WM_CLOSE, 0, 0);
      }
      break;
    case PLAYER_INPUT_MESSAGE:
      // Input that a screen's thread or an effect took from a queue: the
      // saver's rules decide as for input of its own.
      return DefScreenSaverProc(window, UINT(wParam), 0, lParam);
    case WM_SAVER_BEGIN:
      if (!Startup.smallWindow) SettleInput(SETTLE_MS, nullptr);
      if (!StartPlay(0, PLAY_MODE_SAVER)) PostMessageA(window, WM_CLOSE, 0, 0);
      break;
    case WM_DESTROY:
      // Whatever start-up made goes, whatever the display depth is by now
      // (the player's share of the message has stopped playback already).
      if (SaverStartedIn(window)) SaverCleanUp();
      break;
    case WM_KEYDOWN:
      if (wParam == VK_ESCAPE) PostMessageA(window, WM_CLOSE, 0, 0);
      else if (wParam == VK_F1) OpenHelp();
      break;
    case WM_MOUSEMOVE:
      SetCursor(Startup.smallWindow ? Startup.cursors[CURSOR_HAND] : nullptr);
      break;
    case WM_LBUTTONDOWN:
      if (Show.linkAddress[0] && Startup.smallWindow) OpenInBrowser(Show.linkAddress);
      break;
  }
  return DefScreenSaverProc(window, message, wParam, lParam);
}
