// Test helpers for the player: a fresh process-wide state (show, start-up
// state, player record, sound windows), a hidden player window of a known
// client size that passes media notifications and its end to the player like
// the saver window (the tests paint and tick themselves), pages
// built in memory with pictures written as BMP files, WAV files made in the
// test, and the probe plug-in.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "player/page_compose.h"
#include "player/page_model.h"
#include "player/page_text.h"
#include "player/play_scheduler.h"
#include "player/player_seams.h"
#include "player/player_state.h"
#include "player/player_window.h"
#include "player/sound_player.h"
#include "raster/dib.h"
#include "shell/base/file_ops.h"
#include "shell/base/mem_block.h"
#include "shell/base/startup_state.h"
#include "show/show_document.h"
#include "tests/support/temp_folder.h"
#include "tests/win32/player_plugins.h"
#include "tests/win32/test_surface.h"

namespace player_test {

// The notifications the player window received, as (notifier role, mode).
struct Notice {
  char role;  // 'v' voice, 'm' music, '?' other
  LPARAM mode;
  int32_t bgmIndexAfter;
};
inline std::vector<Notice> &Notices() {
  static std::vector<Notice> notices;
  return notices;
}

inline LRESULT CALLBACK PlayerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == MEDIA_NOTIFY_MESSAGE) {
    HWND notifier = reinterpret_cast<HWND>(wParam);
    char role = notifier == Audio.voiceWindow ? 'v' : notifier == Audio.bgmWindow ? 'm' : '?';
    RoutePlayerMessage(window, message, wParam, lParam);
    Notices().push_back({role, lParam, Audio.bgmIndex});
    return 0;
  }
  if (message == WM_DESTROY) RoutePlayerMessage(window, message, wParam, lParam);
  if (message == WM_PAINT) {
    PAINTSTRUCT ps;
    BeginPaint(window, &ps);
    EndPaint(window, &ps);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// A hidden popup of the given client size with the procedure above.
inline HWND MakePlayerWindow(int width, int height) {
  static ATOM atom = 0;
  if (!atom) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = PlayerWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "VkPlayerTestWindow";
    atom = RegisterClassA(&wc);
  }
  RECT r = {0, 0, width, height};
  AdjustWindowRectEx(&r, WS_POPUP, FALSE, 0);
  return CreateWindowExA(0, "VkPlayerTestWindow", "", WS_POPUP, 0, 0, r.right - r.left, r.bottom - r.top, nullptr,
                         nullptr, GetModuleHandleA(nullptr), nullptr);
}

// The MCI windows (voice and music) this thread has open.
inline BOOL CALLBACK CountMediaWindow(HWND w, LPARAM count) {
  char name[64] = {};
  GetClassNameA(w, name, sizeof name);
  if (strstr(name, "MCIWnd") || strstr(name, "MCIWND")) ++*reinterpret_cast<int *>(count);
  return TRUE;
}

inline int MediaWindowsOfThisThread() {
  int count = 0;
  EnumThreadWindows(GetCurrentThreadId(), CountMediaWindow, reinterpret_cast<LPARAM>(&count));
  return count;
}

inline std::string BinFolder() {
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string path = self;
  return path.substr(0, path.rfind('\\'));
}

// A mono 8-bit 8 kHz PCM WAV file of the given length (a soft square wave).
inline std::string WriteWav(const std::string &path, int milliseconds) {
  const uint32_t rate = 8000, samples = rate * uint32_t(milliseconds) / 1000;
  std::string bytes;
  auto u32 = [&](uint32_t v) { bytes.append(reinterpret_cast<const char *>(&v), 4); };
  auto u16 = [&](uint16_t v) { bytes.append(reinterpret_cast<const char *>(&v), 2); };
  bytes += "RIFF";
  u32(36 + samples);
  bytes += "WAVEfmt ";
  u32(16);
  u16(1);  // PCM
  u16(1);  // mono
  u32(rate);
  u32(rate);  // bytes per second
  u16(1);     // block align
  u16(8);     // bits per sample
  bytes += "data";
  u32(samples);
  for (uint32_t i = 0; i < samples; ++i) bytes += char((i / 20) % 2 ? 0x90 : 0x70);
  WriteWholeFile(path.c_str(), bytes.data(), DWORD(bytes.size()), false);
  return path;
}

// Pumps this thread's messages until done() or about timeoutMs have passed
// (a bound for a broken build, not a measurement). Returns done().
inline bool PumpUntil(const std::function<bool()> &done, DWORD timeoutMs = 20000) {
  DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > timeoutMs) return done();
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return true;
}

// Writes the surface as a BMP file into the folder named by VORMKIT_SNAPSHOTS,
// when that is set, for looking at composed pages; does nothing otherwise.
inline void SaveSnapshot(const TestSurface &surface, const char *name) {
  const char *dir = getenv("VORMKIT_SNAPSHOTS");
  if (!dir || !*dir) return;
  void *dib = CaptureDC(surface.dc, surface.width, surface.height);
  std::string path = std::string(dir) + "\\" + name + ".bmp";
  if (!dib || !DibSaveFile(path.c_str(), dib)) fprintf(stderr, "snapshot %s not written\n", path.c_str());
  MemFree(&dib);
}

// Drops this thread's pending messages. A removed WM_PAINT stays pending until
// its window is validated, so paints are validated instead of dispatched.
inline void DrainMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
    if (msg.message == WM_PAINT) ValidateRect(msg.hwnd, nullptr);
}

// A controllable clock for the scheduler.
inline uint32_t &FakeNow() {
  static uint32_t now = 0;
  return now;
}
inline uint32_t FakeTickCount() { return FakeNow(); }

// Quadrant colours of the asymmetric test picture.
constexpr COLORREF TL = RGB(220, 30, 30), TR = RGB(30, 200, 40), BL = RGB(40, 50, 210), BR = RGB(230, 220, 20);
inline COLORREF Quadrants(int w, int h, int x, int y) {
  bool right = x >= w / 2, bottom = y >= h / 2;
  return bottom ? (right ? BR : BL) : (right ? TR : TL);
}

// Resets every piece of process-wide state the player reads and gives it a
// player window of the given client size; undoes it all at the end.
class PlayerTest : public ::testing::Test {
 protected:
  TempFolder folder;
  HWND window = nullptr;
  int width = 0, height = 0;

  void UsePlayerWindow(int w, int h) {
    if (window) DestroyWindow(window);
    width = w;
    height = h;
    window = MakePlayerWindow(w, h);
    ASSERT_NE(window, nullptr);
    Startup.mainWindow = window;
    Player.playerWindow = window;
    // What PreparePage sets: the page fills the window (no page size recorded).
    const RECT client = {0, 0, w, h};
    SetPageView(&Player.view, window, &client, 0, 0);
    Player.view.keepsExtents = 1;
  }

  void SetUp() override {
    ResetPlayback();
    Startup.showTempFile[0] = 0;  // LoadShow then extracts nothing and succeeds
    Startup.settings = {};
    Startup.soundAvailable = 1;
    Startup.smallWindow = 0;
    CopyPath(Startup.programFolder, folder.path.c_str());
    for (int i = 0; i < SHADOW_TILE_COUNT; ++i)
      Startup.shadowImages[i] = DibFromResource(GetModuleHandleA(nullptr), SHADOW_TILE_NAMES[i]);
    PlayerSeam.fadeFrame = nullptr;
    PlayerSeam.tickCount = FakeTickCount;
    PlayerSeam.setTimer = nullptr;
    FakeNow() = 1000;
    Notices().clear();
    DrainMessages();
    UsePlayerWindow(800, 600);
  }

  void TearDown() override {
    ResetPlayback();
    if (window && IsWindow(window)) DestroyWindow(window);
    window = nullptr;
    Startup.mainWindow = nullptr;
    UnloadTestPlugins();
    for (int i = 0; i < SHADOW_TILE_COUNT; ++i) MemFree(&Startup.shadowImages[i]);
    PlayerSeam.fadeFrame = nullptr;
    DrainMessages();
  }

  // Pages -----------------------------------------------------------------
  Page &AddPage(int32_t backgroundFlag = 1, COLORREF colour = RGB(0, 0, 0)) {
    EXPECT_EQ(EnsurePages(&Show.pages, Show.pages.pageCount + 1, 0), 1);
    Page &page = Show.pages.pages[Show.pages.pageCount - 1];
    page.backgroundFlag = backgroundFlag;
    page.backgroundColour = colour;
    return page;
  }

  std::string WritePicture(const std::string &name, int w, int h,
                           const std::function<COLORREF(int, int)> &pixel) {
    void *dib = MakeTestDib(w, h, pixel);
    std::string path = folder.File(name);
    EXPECT_EQ(DibSaveFile(path.c_str(), dib), 1);
    MemFree(&dib);
    return path;
  }

  PictureRecord &AddPicture(Page &page, const std::string &path, double l, double t, double r, double b,
                            int32_t orientation = 0, int32_t shadow = 0) {
    page.pictures = static_cast<PictureRecord *>(
        MemRealloc(page.pictures, size_t(page.pictureCount + 1) * sizeof(PictureRecord)));
    PictureRecord &record = page.pictures[page.pictureCount++];
    memset(&record, 0, sizeof record);
    CopyPath(record.path, path.c_str());
    record.placement[0] = l;
    record.placement[1] = t;
    record.placement[2] = r;
    record.placement[3] = b;
    record.orientation = orientation;
    record.shadow = shadow;
    return record;
  }

  TextRecord &AddText(Page &page, const char *text, const char *face, int32_t fontHeight, double x, double y,
                      COLORREF colour, int32_t fadeSteps = 0) {
    int32_t n = page.textCount + 1;
    page.texts = static_cast<TextRecord *>(MemRealloc(page.texts, size_t(n) * sizeof(TextRecord)));
    page.textBuffers = static_cast<char **>(MemRealloc(page.textBuffers, size_t(n) * sizeof(char *)));
    page.textBuffers[n - 1] = static_cast<char *>(MemAlloc(strlen(text) + 1));
    strcpy(page.textBuffers[n - 1], text);
    TextRecord &record = page.texts[n - 1];
    memset(&record, 0, sizeof record);
    record.length = int32_t(strlen(text));
    record.anchor[0] = x;
    record.anchor[1] = y;
    record.extent[0] = record.extent[1] = -7;  // stored values that drawing replaces
    record.font.lfHeight = fontHeight;
    record.font.lfWeight = FW_NORMAL;
    record.font.lfCharSet = SHIFTJIS_CHARSET;
    strncpy(record.font.lfFaceName, face, LF_FACESIZE - 1);
    record.colour = int32_t(colour);
    record.fadeSteps = fadeSteps;
    page.textCount = n;
    return record;
  }

  void AddSound(Page &page, const std::string &path) {
    page.sounds = static_cast<SoundRecord *>(
        MemRealloc(page.sounds, size_t(page.soundCount + 1) * sizeof(SoundRecord)));
    SoundRecord &record = page.sounds[page.soundCount++];
    memset(&record, 0, sizeof record);
    CopyPath(record.path, path.c_str());
  }

  // Plug-ins --------------------------------------------------------------
  // Loads the named built plug-ins from a folder of their own; returns the
  // checksum of the first.
  int32_t LoadPlugins(const std::vector<std::string> &builtNames) {
    int32_t count = 0;
    static int loads;
    int32_t id = LoadTestPlugins(folder.File("plugins" + std::to_string(++loads)), builtNames, &count);
    EXPECT_EQ(count, int32_t(builtNames.size()));
    return id;
  }

  // Starts play in the window as the saver does (the tests set the player
  // window themselves for composition; play starts without one).
  int Start(int32_t page = 0, int32_t mode = PLAY_MODE_SAVER) {
    Player.playerWindow = nullptr;
    return StartPlay(page, mode);
  }

  // Painting ----------------------------------------------------------------
  void Prepare(int32_t page = 0) {
    Player.currentPage = page;
    ASSERT_EQ(PreparePage(), 1);
  }
  void PaintEntering(TestSurface &surface) {
    Player.view.entering = 1;
    EXPECT_EQ(PaintPage(surface.dc), 1);
    EXPECT_EQ(Player.view.entering, 0);
  }
};

}  // namespace player_test
