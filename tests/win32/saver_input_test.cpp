// Input in the saver window, through the real ScreenSaverProc: a key or a
// right click stops the page voice and the music at once (their MCI windows
// are gone and nothing starts again), then the framework asks the full-screen
// window to close; the preview is not closed by either.
#include <windows.h>

#include <gtest/gtest.h>
#include <vfw.h>

#include "shell/saver/saver_framework.h"
#include "tests/win32/player_fixture.h"

using namespace player_test;

namespace {
LRESULT ModeOf(HWND media) {
  char name[32] = {};
  return SendMessageA(media, MCIWNDM_GETMODEA, sizeof name, reinterpret_cast<LPARAM>(name));
}

// Handles everything queued on this thread up to a marker posted now.
bool HandleQueued() {
  const UINT marker = WM_APP + 13;
  PostThreadMessageA(GetCurrentThreadId(), marker, 0, 0);
  bool seen = false;
  PumpUntil([&] {
    MSG msg;
    while (!seen && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (!msg.hwnd && msg.message == marker) {
        seen = true;
        break;
      }
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    return seen;
  });
  return seen;
}

class SaverInput : public PlayerTest {
 protected:
  void TearDown() override {
    Framework.childPreview = FALSE;
    PlayerTest::TearDown();
  }
};
}  // namespace

TEST_F(SaverInput, AKeyOrARightClickStopsVoiceAndMusic) {
  // Long enough to be playing still when the input comes right after the start.
  std::string voice = WriteWav(folder.File("voice.wav"), 60000);
  std::string music = WriteWav(folder.File("music.wav"), 60000);
  struct Case {
    const char *name;
    UINT message;
    WPARAM wParam;
    bool preview;
  };
  const Case cases[] = {
      {"key, full screen", WM_KEYDOWN, 'A', false},
      {"right click, full screen", WM_RBUTTONDOWN, MK_RBUTTON, false},
      {"key, preview", WM_KEYDOWN, 'A', true},
      {"right click, preview", WM_RBUTTONDOWN, MK_RBUTTON, true},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    StopPlayback();
    ClearShowDocument(&Show);
    UsePlayerWindow(c.preview ? 152 : 800, c.preview ? 112 : 600);
    Framework.childPreview = c.preview;
    Startup.smallWindow = c.preview;
    Page &page = AddPage(1);
    AddSound(page, voice);
    CopyPath(Show.bgmPaths.paths[0], music.c_str());
    ASSERT_EQ(Start(), 1);
    // The preview plays no music: there the voice alone is checked.
    HWND voiceBefore = Audio.voiceWindow, musicBefore = Audio.bgmWindow;
    ASSERT_NE(voiceBefore, nullptr);
    ASSERT_EQ(ModeOf(voiceBefore), MCI_MODE_PLAY);
    if (!c.preview) {
      ASSERT_NE(musicBefore, nullptr);
      ASSERT_EQ(ModeOf(musicBefore), MCI_MODE_PLAY);
    }
    ASSERT_EQ(MediaWindowsOfThisThread(), c.preview ? 1 : 2);

    ScreenSaverProc(window, c.message, c.wParam, MAKELPARAM(5, 5));

    // Stopped within the handler: the players are closed and forgotten.
    EXPECT_EQ(Audio.voiceWindow, nullptr);
    EXPECT_EQ(Audio.bgmWindow, nullptr);
    EXPECT_FALSE(IsWindow(voiceBefore));
    if (musicBefore) {
      EXPECT_FALSE(IsWindow(musicBefore));
    }
    // The full-screen framework then asks the window to close; the preview stays.
    MSG close;
    EXPECT_EQ(PeekMessageA(&close, window, WM_CLOSE, WM_CLOSE, PM_REMOVE) != 0, !c.preview);
    // Whatever the stopped players reported is handled: nothing starts again.
    EXPECT_TRUE(HandleQueued());
    EXPECT_EQ(Audio.voiceWindow, nullptr);
    EXPECT_EQ(Audio.bgmWindow, nullptr);
    EXPECT_EQ(MediaWindowsOfThisThread(), 0);
    EXPECT_TRUE(IsWindow(window));
  }
}
