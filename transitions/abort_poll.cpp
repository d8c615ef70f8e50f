// Polling the message queue for user input during an effect or a fade.
#include "transitions/abort_poll.h"

static int Poll(UINT firstMouse, UINT lastMouse) {
  MSG msg;
  if (PeekMessageA(&msg, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE)) return 1;
  return PeekMessageA(&msg, nullptr, firstMouse, lastMouse, PM_REMOVE) ? 1 : 0;
}

int AbortRequested(int mouseMoves) {
  return mouseMoves ? Poll(WM_MOUSEMOVE, 0x20A) : Poll(WM_LBUTTONDOWN, WM_MBUTTONDBLCLK);
}

int AbortRequestedNoWheel(int mouseMoves) {
  return mouseMoves ? Poll(WM_MOUSEMOVE, WM_MBUTTONDBLCLK) : Poll(WM_LBUTTONDOWN, WM_MBUTTONDBLCLK);
}
