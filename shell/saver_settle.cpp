// Swallowing the input of a full-screen show's first second.
#include "shell/saver_settle.h"

#include <windows.h>

static uint32_t SystemTickCount() { return GetTickCount(); }

// One message per look: a removed WM_PAINT comes back at once while the
// window stays invalid (which is what brings the first page's paint
// afterwards), so draining until the queue is empty would never end.
void SettleInput(uint32_t milliseconds, uint32_t (*tickCount)()) {
  if (!tickCount) tickCount = SystemTickCount;
  uint32_t start = tickCount();
  MSG msg;
  while (tickCount() - start < milliseconds) {
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE) && msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    Sleep(1);
  }
}
