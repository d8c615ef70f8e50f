// The player's stop request for a picture being decoded, against the real
// message queue: a waiting key or button, or a mouse movement away from
// where the cursor was, stops the decode; the message stays in the queue for
// the saver window; outside the full-screen saver pictures decode whole.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "player/picture_stop.h"
#include "player/player_state.h"
#include "raster/dib.h"
#include "shell/base/file_ops.h"
#include "shell/base/mem_block.h"
#include "shell/base/startup_state.h"
#include "tests/support/temp_folder.h"

namespace {

void DrainQueue() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
  }
}

// Takes the first message of the range from the queue: 1 when there was one.
int Take(UINT first, UINT last) {
  MSG msg;
  return PeekMessageA(&msg, nullptr, first, last, PM_REMOVE) ? 1 : 0;
}

std::string BannerFile(const TempFolder &folder) {
  HRSRC found = FindResourceA(nullptr, "BANNER", MAKEINTRESOURCEA(10));
  EXPECT_NE(found, nullptr);
  if (!found) return "";
  std::string path = folder.File("banner.jpg");
  WriteWholeFile(path.c_str(), LockResource(LoadResource(nullptr, found)), SizeofResource(nullptr, found), false);
  return path;
}

TEST(PictureStop, WaitingInputIsSeenAndLeftInTheQueue) {
  DrainQueue();
  POINT here;
  ASSERT_TRUE(GetCursorPos(&here));
  EXPECT_EQ(InputWaiting(&here), 0);
  DWORD thread = GetCurrentThreadId();
  ASSERT_TRUE(PostThreadMessageA(thread, WM_KEYDOWN, 'B', 0));
  EXPECT_EQ(InputWaiting(&here), 1);
  EXPECT_EQ(Take(WM_KEYDOWN, WM_KEYDOWN), 1);  // still there after the look
  ASSERT_TRUE(PostThreadMessageA(thread, WM_RBUTTONDOWN, 0, 0));
  EXPECT_EQ(InputWaiting(&here), 1);
  EXPECT_EQ(Take(WM_RBUTTONDOWN, WM_RBUTTONDOWN), 1);
  // A movement counts only away from where the cursor was when the decode
  // began: a message at that very place is no movement.
  ASSERT_TRUE(PostThreadMessageA(thread, WM_MOUSEMOVE, 0, 0));
  MSG move;
  ASSERT_TRUE(PeekMessageA(&move, nullptr, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_NOREMOVE));
  POINT start = move.pt;
  EXPECT_EQ(InputWaiting(&start), 0);
  POINT before = {start.x + 40, start.y};
  EXPECT_EQ(InputWaiting(&before), 1);
  EXPECT_EQ(Take(WM_MOUSEMOVE, WM_MOUSEMOVE), 1);
  EXPECT_EQ(InputWaiting(&before), 0);
}

TEST(PictureStop, AKeyStopsTheSaversDecodeAndNothingElses) {
  TempFolder folder;
  std::string banner = BannerFile(folder);
  DrainQueue();
  int32_t mode = Player.playMode;
  int small = Startup.smallWindow;
  Player.playMode = PLAY_MODE_SAVER;
  Startup.smallWindow = 0;
  // Nothing waiting: the picture is decoded.
  void *image = LoadPagePicture(banner.c_str());
  SIZE size;
  EXPECT_TRUE(DibGetSize(image, &size));
  EXPECT_EQ(size.cx, 360);
  MemFree(&image);
  EXPECT_EQ(TakePictureStop(), 0);
  // A key waiting: no picture, the stop recorded, the key still queued, and
  // the next picture of the page not decoded either.
  ASSERT_TRUE(PostThreadMessageA(GetCurrentThreadId(), WM_KEYDOWN, 'B', 0));
  EXPECT_EQ(LoadPagePicture(banner.c_str()), nullptr);
  EXPECT_EQ(Take(WM_KEYDOWN, WM_KEYDOWN), 1);
  EXPECT_EQ(LoadPagePicture(banner.c_str()), nullptr);
  EXPECT_EQ(TakePictureStop(), 1);
  EXPECT_EQ(TakePictureStop(), 0);
  // The preview ignores input: the picture is decoded with a key waiting.
  Startup.smallWindow = 1;
  ASSERT_TRUE(PostThreadMessageA(GetCurrentThreadId(), WM_KEYDOWN, 'B', 0));
  image = LoadPagePicture(banner.c_str());
  EXPECT_NE(image, nullptr);
  MemFree(&image);
  EXPECT_EQ(TakePictureStop(), 0);
  DrainQueue();
  Player.playMode = mode;
  Startup.smallWindow = small;
}

}  // namespace
