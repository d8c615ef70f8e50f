// The player's process-wide record, shared by the scheduler and the page
// composition. Only the record lives here; the code that fills it does not.
#pragma once

#include <cstdint>

#ifdef _WIN32
#include <windows.h>
typedef HWND PlayerWindowHandle;
typedef UINT_PTR PlayerTimerId;
#else
typedef void *PlayerWindowHandle;
typedef uintptr_t PlayerTimerId;
#endif

enum { PLAY_STATE_PLAYING = 1, PLAY_MODE_SAVER = 3 };

struct PageLayers {
  int32_t count;
  void **images;  // memory block of count image pointers (packed DIB blocks)
};

struct PlayerState {
  PlayerWindowHandle playerWindow;  // the saver window; null when no play is active
  int32_t firstPaint;
  PageLayers layers;
  int32_t currentPage;
  PlayerTimerId playTimer;  // 0 while the timer is not armed
  uint32_t pageStartTick;
  int32_t playState;
  int32_t pageEntering;
  int32_t playMode;
};

extern PlayerState Player;

// Clears every field to zero (what starting play does before it sets its own).
void ClearPlayerState(PlayerState *state);
