// The player's share of the messages of the window it plays in
// (Player.playerWindow), which the saver window passes on first.
#pragma once

#include <windows.h>

#include <cstdint>

// The player's messages: WM_PAINT paints the page, WM_TIMER runs the play
// timer, a key or a mouse button (WM_KEYDOWN, WM_LBUTTONDOWN, WM_RBUTTONDOWN)
// silences voice and music, MEDIA_NOTIFY_MESSAGE passes a media window's mode
// change on, WM_DESTROY stops playback. 1 when the message needs nothing
// more (the window procedure returns 0); 0 when the window goes on with it.
int RoutePlayerMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
