// Voice and music in MCI windows under Wine, with WAV files made here: what
// is refused without opening, the end-of-voice notification, the music order,
// the switches. Wine may finish a WAV faster than real time without a sound
// card, so the tests look at the order of events, never at durations.
#include <gtest/gtest.h>

#include "tests/win32/player_fixture.h"

using namespace player_test;

namespace {
class Sound : public PlayerTest {};


std::vector<int32_t> MusicSequence() {
  std::vector<int32_t> order;
  for (const Notice &n : Notices())
    if (n.role == 'm' && n.mode == 525) order.push_back(n.bgmIndexAfter);
  return order;
}
}  // namespace

TEST_F(Sound, NonSoundFilesAreRefusedWithoutOpeningMci) {
  std::string text = folder.File("voice.txt");
  WriteWholeFile(text.c_str(), "RIFF", 4, false);
  int before = MediaWindowsOfThisThread();
  EXPECT_EQ(PlayVoice(window, text.c_str()), 0);
  EXPECT_EQ(Audio.voiceWindow, nullptr);
  EXPECT_EQ(PlayBgm(window, text.c_str()), 0);
  EXPECT_EQ(Audio.bgmWindow, nullptr);
  EXPECT_EQ(MediaWindowsOfThisThread(), before);
}

TEST_F(Sound, AFileThatCannotBeOpenedLeavesNoWindow) {
  int before = MediaWindowsOfThisThread();
  EXPECT_EQ(PlayVoice(window, folder.File("missing.wav").c_str()), 0);
  EXPECT_EQ(Audio.voiceWindow, nullptr);
  std::string junk = folder.File("junk.wav");
  WriteWholeFile(junk.c_str(), "this is no wave", 15, false);
  EXPECT_EQ(PlayVoice(window, junk.c_str()), 0);
  EXPECT_EQ(Audio.voiceWindow, nullptr);
  PumpUntil([] { return false; }, 200);
  EXPECT_EQ(MediaWindowsOfThisThread(), before);
}

TEST_F(Sound, TheVoiceEndsWithItsStoppedNotification) {
  std::string wav = WriteWav(folder.File("voice.wav"), 400);
  ASSERT_EQ(PlayVoice(window, wav.c_str()), 1);
  ASSERT_NE(Audio.voiceWindow, nullptr);
  HWND playing = Audio.voiceWindow;
  EXPECT_TRUE(PumpUntil([] { return Audio.voiceWindow == nullptr; }));
  // Closed once its notification has returned.
  EXPECT_TRUE(PumpUntil([&] { return !IsWindow(playing); }, 2000));
  bool sawStop = false;
  for (const Notice &n : Notices()) sawStop |= n.role == 'v' && n.mode == 525;
  EXPECT_TRUE(sawStop);
}

TEST_F(Sound, ANewVoiceClosesThePreviousOne) {
  std::string a = WriteWav(folder.File("a.wav"), 3000), b = WriteWav(folder.File("b.wav"), 3000);
  ASSERT_EQ(PlayVoice(window, a.c_str()), 1);
  HWND first = Audio.voiceWindow;
  ASSERT_EQ(PlayVoice(window, b.c_str()), 1);
  EXPECT_NE(Audio.voiceWindow, first);
  EXPECT_FALSE(IsWindow(first));
  StopVoice();
  EXPECT_EQ(Audio.voiceWindow, nullptr);
  StopVoice();  // nothing playing: nothing happens
}

// A voice is closed as soon as its end is reported, while the driver's
// playing thread is still on its way out of the driver: closing the last
// device must not unload the driver under that thread.
TEST_F(Sound, TheWaveDriverStaysLoadedAfterTheLastVoiceCloses) {
  ASSERT_EQ(PlayVoice(window, WriteWav(folder.File("a.wav"), 100).c_str()), 1);
  HWND voice = Audio.voiceWindow;
  EXPECT_TRUE(PumpUntil([voice] { return Audio.voiceWindow == nullptr && !IsWindow(voice); }))
      << "the end is reported and the window closed";
  EXPECT_NE(GetModuleHandleA("mciwave.dll"), nullptr);
}

TEST_F(Sound, MusicPlaysTheSlotsInOrderAndLoops) {
  AddPage(1);
  for (int i = 0; i < 3; ++i)
    CopyPath(Show.bgmPaths.paths[i], WriteWav(folder.File("m" + std::to_string(i) + ".wav"), 150).c_str());
  ASSERT_EQ(Start(), 1);
  ASSERT_NE(Audio.bgmWindow, nullptr);
  EXPECT_EQ(Audio.bgmIndex, 0);
  EXPECT_TRUE(PumpUntil([] { return MusicSequence().size() >= 4; }));
  std::vector<int32_t> order = MusicSequence();
  order.resize(4);
  EXPECT_EQ(order, (std::vector<int32_t>{1, 2, 0, 1}));
}

TEST_F(Sound, AMissingMiddleFileIsSkipped) {
  AddPage(1);
  for (int i = 0; i < 3; ++i)
    CopyPath(Show.bgmPaths.paths[i], WriteWav(folder.File("m" + std::to_string(i) + ".wav"), 150).c_str());
  DeleteFileA(Show.bgmPaths.paths[1]);
  ASSERT_EQ(Start(), 1);
  EXPECT_TRUE(PumpUntil([] { return MusicSequence().size() >= 3; }));
  std::vector<int32_t> order = MusicSequence();
  order.resize(3);
  EXPECT_EQ(order, (std::vector<int32_t>{2, 0, 2}));
}

TEST_F(Sound, ADeletedFirstFileIsStillTried) {
  AddPage(1);
  for (int i = 0; i < 2; ++i)
    CopyPath(Show.bgmPaths.paths[i], WriteWav(folder.File("m" + std::to_string(i) + ".wav"), 150).c_str());
  ASSERT_EQ(Start(), 1);
  ASSERT_NE(Audio.bgmWindow, nullptr);
  // Slot 0 ends and slot 1 plays; then slot 0's file is deleted.
  ASSERT_TRUE(PumpUntil([] { return MusicSequence().size() >= 1; }));
  EXPECT_TRUE(DeleteFileA(Show.bgmPaths.paths[0]));
  // 1 ends -> back to slot 0 without a test; it fails to open and the music stops there.
  EXPECT_TRUE(PumpUntil([] { return MusicSequence().size() >= 2; }));
  PumpUntil([] { return false; }, 500);
  EXPECT_EQ(MusicSequence(), (std::vector<int32_t>{1, 0}));
  EXPECT_EQ(Audio.bgmIndex, 0);
  EXPECT_EQ(Audio.bgmWindow, nullptr);
}

TEST_F(Sound, OneTrackRepeats) {
  AddPage(1);
  CopyPath(Show.bgmPaths.paths[0], WriteWav(folder.File("m0.wav"), 150).c_str());
  ASSERT_EQ(Start(), 1);
  EXPECT_TRUE(PumpUntil([] { return MusicSequence().size() >= 2; }));
  ASSERT_GE(MusicSequence().size(), 2u);
  EXPECT_EQ(MusicSequence()[0], 0);
  EXPECT_EQ(MusicSequence()[1], 0);
  EXPECT_NE(Audio.bgmWindow, nullptr);
}

TEST_F(Sound, SwitchesDecideWhatStarts) {
  struct Case {
    int soundAvailable, noSound, noBgm, smallWindow;
    bool voice, music;
  };
  const Case cases[] = {
      {1, 0, 0, 0, true, true},  {1, 1, 0, 0, false, true}, {1, 0, 1, 0, true, false},
      {0, 0, 0, 0, false, false}, {1, 0, 0, 1, true, false},
  };
  std::string voice = WriteWav(folder.File("v.wav"), 5000), song = WriteWav(folder.File("s.wav"), 5000);
  for (const Case &c : cases) {
    SCOPED_TRACE(::testing::Message() << c.soundAvailable << c.noSound << c.noBgm << c.smallWindow);
    StopPlayback();
    ClearShowDocument(&Show);
    UsePlayerWindow(800, 600);
    Page &page = AddPage(1);
    AddSound(page, voice);
    AddSound(page, folder.File("second-is-never-played.txt"));
    CopyPath(Show.bgmPaths.paths[0], song.c_str());
    Startup.soundAvailable = c.soundAvailable;
    Startup.settings.noSound = c.noSound;
    Startup.settings.noBgm = c.noBgm;
    Startup.smallWindow = c.smallWindow;
    ASSERT_EQ(Start(), 1);
    EXPECT_EQ(Audio.voiceWindow != nullptr, c.voice);
    EXPECT_EQ(Audio.bgmWindow != nullptr, c.music);
  }
}

TEST_F(Sound, NoBgmStopsTheAdvance) {
  AddPage(1);
  CopyPath(Show.bgmPaths.paths[0], WriteWav(folder.File("m0.wav"), 150).c_str());
  CopyPath(Show.bgmPaths.paths[1], WriteWav(folder.File("m1.wav"), 150).c_str());
  ASSERT_EQ(Start(), 1);
  ASSERT_NE(Audio.bgmWindow, nullptr);
  Startup.settings.noBgm = 1;  // a track that ends now starts no other
  HWND playing = Audio.bgmWindow;
  EXPECT_TRUE(PumpUntil([&] {
    for (const Notice &n : Notices())
      if (n.role == 'm' && n.mode == 525) return true;
    return false;
  }));
  EXPECT_EQ(Audio.bgmIndex, 0);
  EXPECT_EQ(Audio.bgmWindow, playing);  // left as it is: nothing follows
}

TEST_F(Sound, StopPlaybackClosesVoiceAndMusic) {
  Page &page = AddPage(1);
  AddSound(page, WriteWav(folder.File("v.wav"), 5000));
  CopyPath(Show.bgmPaths.paths[0], WriteWav(folder.File("s.wav"), 5000).c_str());
  ASSERT_EQ(Start(), 1);
  HWND voice = Audio.voiceWindow, music = Audio.bgmWindow;
  ASSERT_NE(voice, nullptr);
  ASSERT_NE(music, nullptr);
  StopPlayback();
  EXPECT_EQ(Audio.voiceWindow, nullptr);
  EXPECT_EQ(Audio.bgmWindow, nullptr);
  EXPECT_FALSE(IsWindow(voice));
  EXPECT_FALSE(IsWindow(music));
  EXPECT_EQ(Player.playerWindow, nullptr);
  EXPECT_EQ(Player.playTimer, 0u);
  EXPECT_EQ(Player.view.layers.count, 0);
}

TEST_F(Sound, AVoiceWhoseEndWasNotReportedDoesNotHoldThePage) {
  // The voice's window reports to a window that does not pass the
  // notification on; the scheduler then sees the stopped mode itself.
  HWND deaf = MakeClientWindow(10, 10);
  Page &first = AddPage(1);
  first.displayTime = 100;
  AddPage(1);
  ASSERT_EQ(Start(), 1);
  ASSERT_EQ(PlayVoice(deaf, WriteWav(folder.File("v.wav"), 300).c_str()), 1);
  HWND voice = Audio.voiceWindow;
  FakeNow() = 1000 + 100;
  PlayTick(window, Player.playTimer);
  if (Audio.voiceWindow) {
    EXPECT_EQ(Player.currentPage, 0);  // still playing: held
  }
  EXPECT_TRUE(PumpUntil([&] {
    PlayTick(window, Player.playTimer);
    return Player.currentPage == 1;
  }));
  EXPECT_EQ(Audio.voiceWindow, nullptr);
  EXPECT_FALSE(IsWindow(voice));
  DestroyWindow(deaf);
}
