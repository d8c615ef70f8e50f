// The stored switches obeyed in play: a show with music, page voices,
// transitions and text fades, started and changed to its second page with
// the switches parsed from the stored value "1111" (everything off) and, for
// contrast, "0000" (everything on). The page shows its picture and text
// either way.
#include <gtest/gtest.h>

#include "shell/base/player_settings.h"
#include "tests/win32/player_fixture.h"

using namespace player_test;

namespace {
const char kGothic[] = "ＭＳ ゴシック";
constexpr COLORREF kPage = RGB(0, 0, 80), kPicture = RGB(200, 30, 30), kText = RGB(255, 255, 255);

int &Fades() {
  static int fades;
  return fades;
}

// What one run of the show did.
struct Seen {
  bool voiceAtStart, musicAtStart;
  size_t effectsFirstPage;
  int fadesFirstPage;
  COLORREF picture, text, page;
  bool changed;
  bool voiceAfterChange, musicAfterChange;
  size_t effects;
  int fades;
  int mediaWindows;
};

class Switches : public PlayerTest {
 protected:
  int32_t probeId = 0;
  POINT textCentre = {};

  void SetUp() override {
    PlayerTest::SetUp();
    probeId = LoadPlugins({"probe_plugin.tns"});
    ProbeReset(1);
    Fades() = 0;
    PlayerSeam.fadeFrame = [](int) { ++Fades(); };
    std::string voice0 = WriteWav(folder.File("voice0.wav"), 300);
    std::string voice1 = WriteWav(folder.File("voice1.wav"), 60000);
    std::string music = WriteWav(folder.File("music.wav"), 60000);
    std::string picture = WritePicture("p.bmp", 8, 8, [](int, int) { return kPicture; });
    for (const std::string &voice : {voice0, voice1}) {
      Page &page = AddPage(1, kPage);
      page.displayTime = 2000;
      page.transitionId = probeId;
      AddPicture(page, picture, 0.1, 0.1, 0.4, 0.4);  // (80, 60) - (320, 240)
      AddText(page, "■", kGothic, 48, 0.6, 0.6, kText, 15);
      AddSound(page, voice);
    }
    CopyPath(Show.bgmPaths.paths[0], music.c_str());
    // The square's middle, from the font the text is drawn in: 48 * 800 / 640 = 60.
    LOGFONTA lf = {};
    lf.lfHeight = 60;
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = SHIFTJIS_CHARSET;
    strcpy(lf.lfFaceName, kGothic);
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT font = CreateFontIndirectA(&lf);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE square = {};
    GetTextExtentPoint32A(dc, "■", int(strlen("■")), &square);
    SelectObject(dc, old);
    DeleteObject(font);
    DeleteDC(dc);
    textCentre = {480 + square.cx / 2, 360 + square.cy / 2};
  }

  // Starts play, makes the first paint on a surface, lets the first voice end
  // and changes to the second page on the play timer.
  Seen Play(const char *stored) {
    ParsePlayerSettings(stored, &Startup.settings);
    Seen seen = {};
    EXPECT_EQ(Start(), 1);
    seen.voiceAtStart = Audio.voiceWindow != nullptr;
    seen.musicAtStart = Audio.bgmWindow != nullptr;
    // Showing the window makes a mouse move, which would end the fade; the
    // saver's settle time swallows it.
    MSG mouse;
    while (PeekMessageA(&mouse, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
    }
    TestSurface s(800, 600, RGB(0, 0, 0));
    EXPECT_EQ(Player.view.entering, 1);
    EXPECT_EQ(PaintPage(s.dc), 1);
    seen.effectsFirstPage = ProbeCallsMade().size();
    seen.fadesFirstPage = Fades();
    seen.picture = s.At(200, 150);
    seen.text = s.At(textCentre.x, textCentre.y);
    seen.page = s.At(700, 100);
    HWND firstVoice = Audio.voiceWindow;
    EXPECT_TRUE(PumpUntil([&] { return !Audio.voiceWindow && !(firstVoice && IsWindow(firstVoice)); }));
    FakeNow() = 1000 + 2000;
    PlayTick(window, Player.playTimer);
    seen.changed = Player.currentPage == 1;
    seen.voiceAfterChange = Audio.voiceWindow != nullptr;
    seen.musicAfterChange = Audio.bgmWindow != nullptr;
    seen.effects = ProbeCallsMade().size();
    seen.fades = Fades();
    seen.mediaWindows = MediaWindowsOfThisThread();
    return seen;
  }
};
}  // namespace

TEST_F(Switches, StoredOnesPlayWithoutMusicVoicesTransitionsOrFades) {
  Seen seen = Play("1111");
  EXPECT_EQ(Startup.settings.noTransition, 1);
  EXPECT_EQ(Startup.settings.noSound, 1);
  EXPECT_EQ(Startup.settings.noBgm, 1);
  EXPECT_EQ(Startup.settings.noTextAnimation, 1);
  EXPECT_FALSE(seen.voiceAtStart);
  EXPECT_FALSE(seen.musicAtStart);
  EXPECT_EQ(seen.effectsFirstPage, 0u);
  EXPECT_EQ(seen.fadesFirstPage, 0);
  EXPECT_EQ(seen.picture, kPicture);
  EXPECT_EQ(seen.text, kText);
  EXPECT_EQ(seen.page, kPage);
  EXPECT_TRUE(seen.changed);
  EXPECT_FALSE(seen.voiceAfterChange);
  EXPECT_FALSE(seen.musicAfterChange);
  EXPECT_EQ(seen.effects, 0u);
  EXPECT_EQ(seen.fades, 0);
  EXPECT_EQ(seen.mediaWindows, 0);
}

TEST_F(Switches, StoredZerosPlayEverything) {
  Seen seen = Play("0000");
  EXPECT_TRUE(seen.voiceAtStart);
  EXPECT_TRUE(seen.musicAtStart);
  EXPECT_EQ(seen.effectsFirstPage, 1u);  // one picture layer
  EXPECT_EQ(seen.fadesFirstPage, 14);    // 15 steps: 14 blended frames
  EXPECT_EQ(seen.picture, kPicture);
  EXPECT_EQ(seen.text, kText);
  EXPECT_EQ(seen.page, kPage);
  EXPECT_TRUE(seen.changed);
  EXPECT_TRUE(seen.voiceAfterChange);
  EXPECT_TRUE(seen.musicAfterChange);
  EXPECT_EQ(seen.effects, 2u);
  EXPECT_EQ(seen.fades, 28);
  EXPECT_EQ(seen.mediaWindows, 2);
}
