// The player's process-wide record, shared by the scheduler and the page
// composition. Only the record lives here; the code that fills it does not.
#pragma once

#include <cstdint>

#include "shell/base/win_types.h"

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

// One place a page is shown: a monitor's window, the preview, the editor's
// canvas or a thumbnail. All page geometry is relative to its page
// rectangle (play_rules.h says how each pixel rectangle is computed).
struct PageView {
  PlayerWindowHandle window;  // the window shown in (effects cover its client area); null off screen
  RECT screen;                // the part of the device context that shows the page, margins included
  RECT page;                  // the page rectangle inside screen
  PageLayers layers;          // the page's pictures at their size in this view
  int32_t firstPaint;         // 1 until the view's first entering paint has filled it
  int32_t entering;           // 1 while the next paint is an entering paint (transitions, fades)
  int32_t keepsExtents;       // 1: drawing a text writes its drawn extent back into its record
};

struct PlayerState {
  PlayerWindowHandle playerWindow;  // the saver window; null when no play is active
  PageView view;                    // the saver window's own screen
  int32_t currentPage;
  PlayerTimerId playTimer;  // 0 while the timer is not armed
  uint32_t pageStartTick;
  int32_t playState;
  int32_t playMode;
};

extern PlayerState Player;

// Clears every field to zero (what starting play does before it sets its own).
void ClearPlayerState(PlayerState *state);
// Places a view on screen for a page of pageWidth x pageHeight pixels (0 x 0:
// the page fills the screen); its layers stay as they are.
void SetPageView(PageView *view, PlayerWindowHandle window, const RECT *screen, int32_t pageWidth,
                 int32_t pageHeight);
