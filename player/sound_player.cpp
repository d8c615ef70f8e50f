// Voice and music in hidden MCI windows.
#include "player/sound_player.h"

#include <vfw.h>

#include "player/play_rules.h"
#include "player/player_state.h"
#include "raster/dib.h"
#include "shell/base/file_ops.h"
#include "shell/base/startup_state.h"
#include "show/show_document.h"

SoundState Audio;

const DWORD MCI_WINDOW_STYLE = WS_POPUP | MCIWNDF_NOERRORDLG | MCIWNDF_NOTIFYMODE | MCIWNDF_NOMENU | MCIWNDF_NOPLAYBAR;

static_assert(MEDIA_NOTIFY_MESSAGE == MCIWNDM_NOTIFYMODE, "the mode-change message of MCI windows");

namespace {

void CloseMediaWindow(HWND window) {
  if (!window) return;
  SendMessageA(window, MCI_STOP, 0, 0);
  SendMessageA(window, MCI_CLOSE, 0, 0);
  SendMessageA(window, WM_CLOSE, 0, 0);
}

// Closes a window that is reporting its own mode change: it is still inside its
// window procedure, so it is closed by posted messages once that call is over
// (destroying it there frees what the MCI window goes on to use).
void RetireNotifyingWindow(HWND window) {
  PostMessageA(window, MCI_CLOSE, 0, 0);
  PostMessageA(window, WM_CLOSE, 0, 0);
}

// Keeps the MCI drivers that are loaded now (the one that has just opened a
// device among them) loaded until the process ends. A driver reports the end
// of playing from its own playing thread, which then still runs inside the
// driver; the player closes a voice as soon as that report comes, and closing
// the last device unloads the driver, so without this the thread could
// return into code that is gone (Wine's waveaudio driver does).
void PinMciDrivers() {
  static const char *const drivers[] = {"mciwave.dll", "mciseq.dll", "mciqtz32.dll", "mcicda.dll", "mciavi32.dll"};
  for (const char *name : drivers) {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_PIN, name, &module);
  }
}

HWND OpenMediaWindow(HWND parent, const char *path) {
  if (!path || !IsSoundFile(path)) return nullptr;
  HINSTANCE instance = Startup.instance ? Startup.instance : GetModuleHandleA(nullptr);
  HWND window = MCIWndCreateA(parent, instance, MCI_WINDOW_STYLE, nullptr);
  if (!window) return nullptr;
  // The player window is never to be seen (some MCI implementations show it on creation).
  ShowWindow(window, SW_HIDE);
  if (SendMessageA(window, MCIWNDM_OPENA, 0, reinterpret_cast<LPARAM>(path)) != 0) {
    CloseMediaWindow(window);
    return nullptr;
  }
  PinMciDrivers();
  if (SendMessageA(window, MCI_PLAY, 0, 0) != 0) {
    CloseMediaWindow(window);
    return nullptr;
  }
  return window;
}

int FileThere(const char *path) { return PathExists(path) == 1; }

}  // namespace

void StopVoice() {
  // Forget the window first: closing it may report its new mode at once.
  HWND window = Audio.voiceWindow;
  Audio.voiceWindow = nullptr;
  CloseMediaWindow(window);
}

void StopBgm() {
  HWND window = Audio.bgmWindow;
  Audio.bgmWindow = nullptr;
  CloseMediaWindow(window);
}

int PlayVoice(HWND parent, const char *path) {
  StopVoice();
  Audio.voiceWindow = OpenMediaWindow(parent, path);
  return Audio.voiceWindow != nullptr;
}

int PlayBgm(HWND parent, const char *path) {
  StopBgm();
  Audio.bgmWindow = OpenMediaWindow(parent, path);
  return Audio.bgmWindow != nullptr;
}

int VoiceHoldsPage() {
  if (!Audio.voiceWindow) return 0;
  char name[32] = {};
  LRESULT mode = SendMessageA(Audio.voiceWindow, MCIWNDM_GETMODEA, sizeof name, reinterpret_cast<LPARAM>(name));
  if (mode != MCI_MODE_STOP) return 1;
  StopVoice();
  return 0;
}

void HandleMediaNotify(HWND notifier, LPARAM mode) {
  if (mode != MCI_MODE_STOP || !notifier) return;
  if (notifier == Audio.voiceWindow) {
    Audio.voiceWindow = nullptr;
    RetireNotifyingWindow(notifier);
    return;
  }
  if (notifier != Audio.bgmWindow || Startup.settings.noBgm || !Startup.soundAvailable) return;
  Audio.bgmWindow = nullptr;
  RetireNotifyingWindow(notifier);
  Audio.bgmIndex = NextBgmSlot(Show.bgmPaths.paths[0], PATH_SIZE, BGM_SLOT_COUNT, Audio.bgmIndex, FileThere);
  const char *path = Show.bgmPaths.paths[Audio.bgmIndex];
  if (path[0]) PlayBgm(Player.playerWindow, path);
}
