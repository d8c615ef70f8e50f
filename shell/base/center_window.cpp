// Centring a window over its owner, kept inside the work area.
#include "shell/base/center_window.h"

void CenterOverOwner(HWND window, HWND owner) {
  RECT self, over, work;
  GetWindowRect(window, &self);
  if (!owner || !GetWindowRect(owner, &over)) SetRect(&over, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0))
    SetRect(&work, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  int width = self.right - self.left, height = self.bottom - self.top;
  int x = over.left + ((over.right - over.left) - width) / 2;
  int y = over.top + ((over.bottom - over.top) - height) / 2;
  if (x < work.left) x = work.left;
  else if (x + width > work.right) x = work.right - width;
  if (y < work.top) y = work.top;
  else if (y + height > work.bottom) y = work.bottom - height;
  SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
