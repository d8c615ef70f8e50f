// The first second of a full-screen show on a stepped clock: queued input is
// removed without reaching the window, and a quit request ends the wait.
#include <windows.h>

#include <gtest/gtest.h>

#include "shell/saver_settle.h"

namespace {
uint32_t fakeNow;
int delivered;

uint32_t StepClock() { return fakeNow += 10; }  // every look at the clock costs 10 ms

LRESULT CALLBACK CountInput(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message >= WM_KEYFIRST && message <= WM_MOUSELAST) ++delivered;
  return DefWindowProcA(window, message, wParam, lParam);
}

HWND MakeWindow() {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = CountInput;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "VkSettleTest";
  RegisterClassA(&wc);
  return CreateWindowExA(0, "VkSettleTest", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
}
}  // namespace

TEST(SaverSettle, InputOfTheFirstSecondIsRemovedUndelivered) {
  HWND window = MakeWindow();
  ASSERT_NE(window, nullptr);
  delivered = 0;
  PostMessageA(window, WM_KEYDOWN, 'A', 0);
  PostMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(300, 200));
  PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(300, 200));
  fakeNow = 0;
  SettleInput(SETTLE_MS, StepClock);
  EXPECT_GE(fakeNow, 1000u);  // the whole second, by the given clock
  MSG msg;
  EXPECT_FALSE(PeekMessageA(&msg, window, WM_KEYFIRST, WM_MOUSELAST, PM_REMOVE));
  EXPECT_EQ(delivered, 0);
  DestroyWindow(window);
}

TEST(SaverSettle, AQuitRequestEndsTheWaitAndStaysQueued) {
  fakeNow = 0;
  PostQuitMessage(3);
  SettleInput(SETTLE_MS, StepClock);
  EXPECT_LT(fakeNow, 1000u);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 3u);
}
