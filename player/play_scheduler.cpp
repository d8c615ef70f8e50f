// Starting play, the page change on the play timer, stopping play.
#include "player/play_scheduler.h"

#include "player/page_compose.h"
#include "player/page_model.h"
#include "player/play_rules.h"
#include "player/player_screens.h"
#include "player/player_seams.h"
#include "player/player_state.h"
#include "player/sound_player.h"
#include "shell/base/startup_state.h"
#include "show/show_document.h"

static uint32_t SystemTickCount() { return GetTickCount(); }
static uintptr_t SystemSetTimer(void *window, uintptr_t id, uint32_t milliseconds) {
  return SetTimer(static_cast<HWND>(window), id, milliseconds, nullptr);
}

PlayerSeams PlayerSeam = {SystemTickCount, nullptr, SystemSetTimer};

namespace {

uint32_t Now() { return PlayerSeam.tickCount ? PlayerSeam.tickCount() : GetTickCount(); }

// The display time starts now and the next tick is 50 ms away. 0 when the
// timer could not be set: without it play would stand still.
int ArmTimer() {
  Player.pageStartTick = Now();
  uintptr_t (*setTimer)(void *, uintptr_t, uint32_t) = PlayerSeam.setTimer ? PlayerSeam.setTimer : SystemSetTimer;
  Player.playTimer = setTimer(Player.playerWindow, PLAY_TIMER_ID, PLAY_TICK_MS);
  return Player.playTimer != 0;
}

// The current page's first sound, unless sounds are off.
void StartPageVoice() {
  const Page *page = CurrentPage();
  if (!page || page->soundCount <= 0 || !page->sounds) return;
  if (!Startup.soundAvailable || Startup.settings.noSound) return;
  char path[PATH_SIZE];
  if (!ProgramRelativePath(path, page->sounds[0].path, Startup.programFolder, PATH_EXPAND)) return;
  PlayVoice(Player.playerWindow, path);
}

}  // namespace

int StartPlay(int32_t startPage, int32_t mode) {
  if (Player.playerWindow) return 1;
  FreePageLayers();
  ClearPlayerState(&Player);
  Player.playMode = mode;
  Player.view.firstPaint = 1;
  Audio.bgmIndex = 0;
  Player.currentPage = startPage;
  Player.playerWindow = Startup.mainWindow;
  if (!PreparePage()) return 0;
  ShowWindow(Player.playerWindow, SW_SHOWNORMAL);
  Player.playState = PLAY_STATE_PLAYING;
  Player.view.entering = 1;
  if (mode == PLAY_MODE_SAVER) WatchPlayerInput(1);
  EnterPageOnScreens();
  if (!ArmTimer()) {
    StopPlayback();
    return 0;
  }
  if (Startup.soundAvailable) {
    StartPageVoice();
    const char *first = Show.bgmPaths.paths[Audio.bgmIndex];
    if (!Startup.smallWindow && !Startup.settings.noBgm && first[0]) PlayBgm(Player.playerWindow, first);
  }
  return 1;
}

void PlayTick(HWND window, UINT_PTR timerId) {
  if (!Startup.smallWindow) ShowCursor(FALSE);
  if (!Player.playerWindow || Player.playTimer == 0 || timerId != Player.playTimer) return;
  if (Player.playState != PLAY_STATE_PLAYING || VoiceHoldsPage()) return;
  const Page *page = CurrentPage();
  if (page && !PageTimeIsUp(Now(), Player.pageStartTick, page->displayTime)) return;

  KillTimer(Player.playerWindow, Player.playTimer);
  Player.playTimer = 0;
  Player.currentPage = NextPageIndex(Player.currentPage, Show.pages.pageCount);
  WaitForScreens();  // the other screens are done with the page before
  if (!PreparePage()) {
    // The loader has told the user; destroying the window ends the program.
    DestroyWindow(Player.playerWindow);
    return;
  }
  // Every screen brings the page in at the same time; its display time
  // starts when the last has finished.
  HDC dc = GetDC(Player.playerWindow);
  Player.view.entering = 1;
  EnterPageOnScreens();
  PaintPage(dc);
  ReleaseDC(Player.playerWindow, dc);
  WaitForScreens();
  StartPageVoice();
  // Without its timer the show would stand still on this page: end it as a
  // failed start would, through the window's destruction and the shutdown.
  if (!ArmTimer()) DestroyWindow(Player.playerWindow);
}

void StopPlayback() {
  if (Player.playTimer && Player.playerWindow) KillTimer(Player.playerWindow, Player.playTimer);
  Player.playTimer = 0;
  WatchPlayerInput(0);
  ClosePlayerScreens();
  StopVoice();
  StopBgm();
  FreePageLayers();
  Player.playerWindow = nullptr;
}
