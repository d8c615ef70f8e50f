// The playback scheduler: starts play in the saver window, changes pages on
// the 50 ms play timer when a page's display time has passed and its voice
// has ended, and stops play when the window goes. All on the window's thread.
#pragma once

#include <windows.h>

#include <cstdint>

// Starts play in Startup.mainWindow at startPage (mode 3: inside the saver
// window): prepares the first page, arms the timer, starts the first voice
// and the music. Draws nothing; the next paint is the page's entering paint.
// 1 when play runs (also when it runs already), 0 when the first page
// cannot be prepared.
int StartPlay(int32_t startPage, int32_t mode);
// Every WM_TIMER of the saver window.
void PlayTick(HWND window, UINT_PTR timerId);
// What the window's destruction does first: the timer killed, voice and
// music stopped and closed, the page layers freed, no player window.
void StopPlayback();
// Back to a process that has played nothing: playback stopped, the show
// cleared (an empty page block left), the player and sound records cleared.
void ResetPlayback();
