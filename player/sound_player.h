// The page voice and the background music, each played by a hidden MCI
// window whose mode changes are reported to the player window as
// MCIWNDM_NOTIFYMODE; the end of the voice releases the page, the end of a
// music track starts the next one. Nothing here draws or shows a message.
#pragma once

#include <windows.h>

#include <cstdint>

// What is sounding: the voice and music windows and the music slot.
struct SoundState {
  HWND voiceWindow;  // plays the current page's voice; null when none plays
  HWND bgmWindow;    // plays the current music track; null when none plays
  int32_t bgmIndex;  // the music slot last started (0 when play starts)
};

extern SoundState Audio;

// WS_POPUP with the MCI window flags: no error boxes, mode notifications, no
// menu, no play bar. The window is never shown.
extern const DWORD MCI_WINDOW_STYLE;
// The window message of a mode change (MCIWNDM_NOTIFYMODE).
enum { MEDIA_NOTIFY_MESSAGE = 1224 };

// Stops any voice, then opens and plays path in a new MCI window owned by
// parent. 1 when playing; 0 for a file that is not a sound file by its
// extension or that cannot be opened or played (no window is left behind).
int PlayVoice(HWND parent, const char *path);
void StopVoice();
// The same for the music.
int PlayBgm(HWND parent, const char *path);
void StopBgm();

// 1 while the page voice plays. A voice window that reports the stopped mode
// without its notification having arrived (a sound that ended before the MCI
// window saw it play, or a device that never started) is closed here, so
// that such a voice cannot hold its page for ever.
int VoiceHoldsPage();

// Message 1224 of the player window: a stopped voice window is closed; a
// stopped music window is closed and the next track of the music list starts
// (slots in order, missing files skipped, back to slot 0 after the last; slot
// 0 is played without a test), unless noBgm is set or there is no sound.
void HandleMediaNotify(HWND notifier, LPARAM mode);
