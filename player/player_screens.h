// Every monitor plays the show. The saver window covers the primary monitor;
// each further monitor gets a window of its own, owned by a thread of its
// own, with its own view of the current page (its own page rectangle and
// layers). A page change prepares every view on the saver window's thread,
// then every screen paints its entering paint at the same time, each running
// the page's transition at its own size with its own copy of the plug-in
// (so that a plug-in written for one caller at a time is never entered
// twice), and the display time starts when all have finished.
//
// Input: while the show plays full screen, every key, button and mouse
// movement that any screen's thread takes from its queue (also the ones a
// plug-in or a text fade takes to stop early) is passed to the saver window
// as PLAYER_INPUT_MESSAGE, so the saver's own rules end the show on all
// screens; a screen whose transition or fade stops early stops the others'.
#pragma once

#include <windows.h>

#include <cstdint>

#include "player/player_state.h"
#include "show/show_pages.h"
#include "transitions/transition_params.h"

// Sent to the saver window: wParam the input message (WM_KEYDOWN,
// WM_LBUTTONDOWN, WM_MOUSEMOVE, ...), lParam the pointer's position in the
// saver window's client coordinates (MAKELPARAM).
enum { PLAYER_INPUT_MESSAGE = WM_APP + 21 };

// Opens a window on every monitor that the saver window does not cover
// (none in the preview). Returns the number of further screens.
int32_t OpenPlayerScreens(HWND saverWindow);
// Ends the screens' threads and windows and unloads their plug-in copies.
void ClosePlayerScreens();
int32_t PlayerScreenCount();

// Prepares the saver window's view and every screen's view of page (called
// by PreparePage). 0 when a view could not be prepared.
int PrepareScreens(Page *page, PageView *saverView);
// Frees every screen's layers.
void FreeScreenLayers();
// Starts the entering paint of the current page on every further screen.
void EnterPageOnScreens();
// Waits until every screen has finished its entering paint, answering
// messages sent to this thread meanwhile; input waiting in this thread's
// queue stops the other screens' transitions (it stays queued for the saver).
void WaitForScreens();
// A transition or fade on one screen was stopped early: the other screens'
// entering paints stop too.
void StopEnteringOnAllScreens();
// The plug-in function this thread calls for the loaded plug-in index: a
// screen's own copy on a screen's thread, else the table's.
TransitionFunctionPtr ScreenTransitionFunction(int32_t pluginIndex);

// Passing input on to the saver window, from the start of play (after the
// start-up's settling second) to its end. Full screen only.
void WatchPlayerInput(int on);
// 1 for the key message that StopEnteringOnAllScreens posts: it stops an
// effect and is otherwise ignored.
int IsScreenStopKey(UINT message, WPARAM wParam, LPARAM lParam);
