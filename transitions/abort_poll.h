// The input poll that ends effects and text fades: removes the first queued
// key press, or one mouse message, from the calling thread's queue.
#pragma once

#include <windows.h>

// 1 when a WM_KEYDOWN was queued, else when a mouse message of the range
// (0x200..0x20A with mouseMoves, 0x201..0x209 without) was queued; the
// message is removed and never reaches a window. 0 otherwise.
int AbortRequested(int mouseMoves);
// The same with the mouse range 0x200..0x209 (the clock wipe's variant).
int AbortRequestedNoWheel(int mouseMoves);
