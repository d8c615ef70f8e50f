// The scheduler on a fake clock: when pages change, the loop, voices holding
// pages, the interval override on a real show file, the timer during a page
// change, a failed page preparation.
#include <gtest/gtest.h>

#include "tests/win32/dialog_script.h"
#include "tests/win32/player_fixture.h"
#include "shell/saver/saver_startup.h"
#include "show/show_loader.h"
#include "show/show_writer.h"

using namespace player_test;

namespace {
class Scheduler : public PlayerTest {
 protected:
  // One tick of the play timer at the fake time now.
  void TickAt(uint32_t now) {
    FakeNow() = now;
    PlayTick(window, Player.playTimer);
  }
  // The saver window's first paint after StartPlay.
  void FirstPaint() {
    HDC dc = GetDC(window);
    PaintPage(dc);
    ReleaseDC(window, dc);
  }
};
}  // namespace

TEST_F(Scheduler, StartPlayPreparesButDrawsNothing) {
  int32_t id = LoadPlugins({"probe_plugin.tns"});
  ProbeReset(1);
  Page &page = AddPage(1, RGB(1, 2, 3));
  page.transitionId = id;
  ASSERT_EQ(Start(), 1);
  EXPECT_EQ(Player.playerWindow, window);
  EXPECT_EQ(Player.playMode, PLAY_MODE_SAVER);
  EXPECT_EQ(Player.playState, 1);
  EXPECT_EQ(Player.view.entering, 1);
  EXPECT_EQ(Player.view.firstPaint, 1);
  EXPECT_EQ(Player.currentPage, 0);
  EXPECT_EQ(Player.pageStartTick, 1000u);
  EXPECT_EQ(Player.playTimer, UINT_PTR(1));
  EXPECT_EQ(Player.view.layers.count, 1);
  EXPECT_EQ(ProbeCallsMade().size(), 0u);
  // Playing already: nothing changes.
  Player.currentPage = 0;
  EXPECT_EQ(StartPlay(0, 0), 1);
  EXPECT_EQ(Player.playMode, PLAY_MODE_SAVER);
  // The first paint is the entering paint.
  FirstPaint();
  EXPECT_EQ(ProbeCallsMade().size(), 1u);
  EXPECT_EQ(Player.view.entering, 0);
}

TEST_F(Scheduler, AOnePageShowRepaintsWithItsTransitionEveryCycle) {
  int32_t id = LoadPlugins({"probe_plugin.tns"});
  ProbeReset(1);
  Page &page = AddPage(1, RGB(1, 2, 3));
  page.transitionId = id;
  page.displayTime = 3000;
  AddPicture(page, WritePicture("p.bmp", 8, 8, [](int, int) { return RGB(9, 99, 199); }), 0, 0, 1, 1);
  ASSERT_EQ(Start(), 1);
  FirstPaint();
  EXPECT_EQ(ProbeCallsMade().size(), 1u);
  TickAt(1000 + 2999);
  EXPECT_EQ(ProbeCallsMade().size(), 1u);
  PlayTick(window, Player.playTimer + 1);  // another timer: ignored even when due
  FakeNow() = 1000 + 3000;
  PlayTick(window, 7);
  EXPECT_EQ(ProbeCallsMade().size(), 1u);
  TickAt(1000 + 3000);
  EXPECT_EQ(ProbeCallsMade().size(), 2u);
  EXPECT_EQ(Player.currentPage, 0);
  EXPECT_EQ(Player.pageStartTick, 4000u);
  EXPECT_EQ(Player.view.entering, 0);
  EXPECT_NE(Player.playTimer, 0u);
  TickAt(4000 + 3000);
  EXPECT_EQ(ProbeCallsMade().size(), 3u);
}

TEST_F(Scheduler, PagesChangeInOrderAndLoop) {
  for (int i = 0; i < 3; ++i) AddPage(1, RGB(i * 50, 0, 0)).displayTime = 1000 * (i + 1);
  ASSERT_EQ(Start(), 1);
  FirstPaint();
  std::vector<int32_t> seen;
  uint32_t now = 1000;
  for (int step = 0; step < 400; ++step) {
    now += 50;
    TickAt(now);
    if (seen.empty() || seen.back() != Player.currentPage) seen.push_back(Player.currentPage);
  }
  // 20 s: pages 0 (1 s), 1 (2 s), 2 (3 s), 0, 1, 2, 0, 1, 2, 0 ...
  ASSERT_GE(seen.size(), 7u);
  seen.resize(7);
  EXPECT_EQ(seen, (std::vector<int32_t>{0, 1, 2, 0, 1, 2, 0}));
}

TEST_F(Scheduler, DisplayTimeZeroChangesOnTheFirstTick) {
  AddPage(1).displayTime = 0;
  AddPage(1).displayTime = 0;
  ASSERT_EQ(Start(), 1);
  TickAt(1000);
  EXPECT_EQ(Player.currentPage, 1);
  TickAt(1050);
  EXPECT_EQ(Player.currentPage, 0);
}

TEST_F(Scheduler, TheTickCounterMayWrap) {
  FakeNow() = 0xFFFFFFFFu - 1000;
  AddPage(1).displayTime = 2000;
  AddPage(1).displayTime = 2000;
  ASSERT_EQ(Start(), 1);
  TickAt(0xFFFFFFFFu);
  EXPECT_EQ(Player.currentPage, 0);
  TickAt(998);  // 1999 ms after the start
  EXPECT_EQ(Player.currentPage, 0);
  TickAt(999);
  EXPECT_EQ(Player.currentPage, 1);
}

TEST_F(Scheduler, AVoiceLongerThanTheDisplayTimeHoldsThePage) {
  Page &first = AddPage(1);
  first.displayTime = 100;
  AddSound(first, WriteWav(folder.File("long.wav"), 700));
  Page &second = AddPage(1);
  second.displayTime = 100;
  AddSound(second, folder.File("missing.wav"));  // fails: does not hold the page
  ASSERT_EQ(Start(), 1);
  ASSERT_NE(Audio.voiceWindow, nullptr);
  TickAt(1000 + 100000);
  EXPECT_EQ(Player.currentPage, 0);  // the voice still plays
  EXPECT_TRUE(PumpUntil([] { return Audio.voiceWindow == nullptr; }));
  TickAt(FakeNow() + 50);
  EXPECT_EQ(Player.currentPage, 1);
  EXPECT_EQ(Audio.voiceWindow, nullptr);  // its voice failed
  TickAt(FakeNow() + 100);
  EXPECT_EQ(Player.currentPage, 0);
  EXPECT_NE(Audio.voiceWindow, nullptr);  // the first page's voice again
}

TEST_F(Scheduler, NoSoundLetsPagesChangeOnTheirTime) {
  Startup.settings.noSound = 1;
  Page &first = AddPage(1);
  first.displayTime = 100;
  AddSound(first, WriteWav(folder.File("long.wav"), 5000));
  AddPage(1);
  ASSERT_EQ(Start(), 1);
  EXPECT_EQ(Audio.voiceWindow, nullptr);
  TickAt(1100);
  EXPECT_EQ(Player.currentPage, 1);
}

TEST_F(Scheduler, TheTimerIsNotArmedDuringAPageChange) {
  AddPage(1).displayTime = 0;
  Page &second = AddPage(1);
  AddText(second, "fading", "ＭＳ ゴシック", 24, 0.1, 0.1, RGB(255, 255, 255), 4);
  static std::vector<UINT_PTR> timers;
  timers.clear();
  PlayerSeam.fadeFrame = [](int) { timers.push_back(Player.playTimer); };
  ASSERT_EQ(Start(), 1);
  Player.playMode = 0;  // mouse movement from showing the window must not end the fade
  DrainMessages();
  TickAt(1000);
  ASSERT_EQ(Player.currentPage, 1);
  EXPECT_EQ(timers, (std::vector<UINT_PTR>{0, 0, 0}));
  EXPECT_NE(Player.playTimer, 0u);  // armed again afterwards
}

TEST_F(Scheduler, StartPlayFailsWhenTheFirstPageCannotBePrepared) {
  AddPage(1);
  EXPECT_EQ(Start(5), 0);  // no such page
}

TEST_F(Scheduler, StartPlayFailsAndStopsWhenThePlayTimerCannotBeSet) {
  PlayerSeam.setTimer = [](void *, uintptr_t, uint32_t) -> uintptr_t { return 0; };
  Page &page = AddPage(1, RGB(1, 2, 3));
  AddSound(page, WriteWav(folder.File("voice.wav"), 2000));
  EXPECT_EQ(Start(), 0);
  EXPECT_EQ(Player.playerWindow, nullptr);
  EXPECT_EQ(Player.playTimer, 0u);
  EXPECT_EQ(Player.view.layers.count, 0);
  EXPECT_EQ(Audio.voiceWindow, nullptr);  // nothing was left playing
}

namespace {
// The banner JPEG from the program's resources, as a file (the writer embeds JPEG files only).
std::string WriteBanner(const TempFolder &folder) {
  HRSRC found = FindResourceA(nullptr, "BANNER", MAKEINTRESOURCEA(10));
  EXPECT_NE(found, nullptr);
  if (!found) return "";
  const void *bytes = LockResource(LoadResource(nullptr, found));
  std::string path = folder.File("banner.jpg");
  WriteWholeFile(path.c_str(), bytes, SizeofResource(nullptr, found), false);
  return path;
}

// A saver-variant show file of two pages with a picture each, written by the writer.
std::string WriteShowFile(const TempFolder &folder, const std::string &picture) {
  ShowDocument doc = {};
  doc.pages.pages = static_cast<Page *>(MemAlloc(0));
  EXPECT_EQ(EnsurePages(&doc.pages, 2, 0), 1);
  for (int i = 0; i < 2; ++i) {
    Page &p = doc.pages.pages[i];
    p.displayTime = i == 0 ? 9000 : 2000;
    p.pictureCount = 1;
    p.pictures = static_cast<PictureRecord *>(MemRealloc(p.pictures, sizeof(PictureRecord)));
    CopyPath(p.pictures[0].path, picture.c_str());
    p.pictures[0].placement[2] = 1;
    p.pictures[0].placement[3] = 1;
  }
  char error[256] = {};
  WriteOptions options = {SHOW_SAVER, 0, nullptr, folder.path.c_str(), nullptr, 0, error, sizeof error};
  std::string path = folder.File("show.TMP");
  FILE *f = fopen(path.c_str(), "wb");
  ShowSink sink;
  OpenFileSink(&sink, f);
  EXPECT_EQ(WriteShow(&doc, &options, &sink), 1) << error;
  fclose(f);
  DropAllPages(&doc.pages, nullptr);
  MemFreePtr(doc.pages.pages);
  return path;
}

struct LoadedShow {
  LoadedShow(const TempFolder &folder, const std::string &show) {
    CopyPath(Startup.tempFolder, (folder.path + "\\").c_str());
    CopyPath(Startup.showTempFile, show.c_str());
    Startup.mediaFolder[0] = 0;
    Startup.extractedFiles = nullptr;
    Startup.extractedCount = 0;
  }
  ~LoadedShow() {
    if (Startup.mediaFolder[0]) DeleteTree(Startup.mediaFolder);
    Startup.mediaFolder[0] = 0;
    Startup.showTempFile[0] = 0;
    MemFreePtr(Startup.extractedFiles);
    Startup.extractedCount = 0;
  }
};
}  // namespace

TEST_F(Scheduler, IntervalOverrideOfFiveMakesEveryPageLastFiveSeconds) {
  std::string picture = WriteBanner(folder);
  std::string show = WriteShowFile(folder, picture);
  WritePrivateProfileStringA("time", "interval", "5", folder.File("interval.inf").c_str());
  LoadedShow loaded(folder, show);
  ClearShowDocument(&Show);
  ASSERT_EQ(LoadShow(show.c_str(), LoadForPlayback, 0, 0), 2);
  EXPECT_EQ(Show.pages.pages[0].displayTime, 5000);
  EXPECT_EQ(Show.pages.pages[1].displayTime, 5000);

  ASSERT_EQ(Start(), 1);
  // The first page's picture was extracted and loaded at the client size.
  ASSERT_EQ(Player.view.layers.count, 1);
  SIZE size;
  ASSERT_TRUE(DibGetSize(Player.view.layers.images[0], &size));
  EXPECT_EQ(size.cx, 800);
  EXPECT_EQ(size.cy, 600);
  EXPECT_EQ(PathExists((std::string(Startup.mediaFolder) + "\\i_0_0.jpg").c_str()), 1);
  EXPECT_EQ(PathExists((std::string(Startup.mediaFolder) + "\\i_1_0.jpg").c_str()), 0);
  TickAt(1000 + 4999);
  EXPECT_EQ(Player.currentPage, 0);
  TickAt(1000 + 5000);
  EXPECT_EQ(Player.currentPage, 1);
  EXPECT_EQ(PathExists((std::string(Startup.mediaFolder) + "\\i_1_0.jpg").c_str()), 1);
  TickAt(6000 + 4999);
  EXPECT_EQ(Player.currentPage, 1);
  TickAt(6000 + 5000);
  EXPECT_EQ(Player.currentPage, 0);
}

TEST_F(Scheduler, AFailedPagePreparationDestroysTheWindow) {
  std::string picture = WriteBanner(folder);
  std::string show = WriteShowFile(folder, picture);
  LoadedShow loaded(folder, show);
  ClearShowDocument(&Show);
  ASSERT_EQ(LoadShow(show.c_str(), LoadForPlayback, 0, 0), 2);
  ASSERT_EQ(Start(), 1);
  // The show temp file is damaged meanwhile: the next page cannot be extracted.
  WriteWholeFile(show.c_str(), "VrmKtScrDat00", 13, false);
  DialogScript script;
  TickAt(1000 + 9000);
  EXPECT_EQ(script.boxTexts.size(), 1u);  // the loader's message
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(Player.playerWindow, nullptr);
  EXPECT_EQ(Player.playTimer, 0u);
  window = nullptr;
}

// The media folder cannot go while a file in it is in use (the music, a
// loaded plug-in): the failed page change must leave its path for the
// shutdown, which removes it once playback has stopped.
TEST_F(Scheduler, AFailedPageChangeLeavesTheMediaFolderToTheShutdown) {
  std::string picture = WriteBanner(folder);
  std::string show = WriteShowFile(folder, picture);
  LoadedShow loaded(folder, show);
  ClearShowDocument(&Show);
  ASSERT_EQ(LoadShow(show.c_str(), LoadForPlayback, 0, 0), 2);
  std::string media = Startup.mediaFolder;
  ASSERT_EQ(PathExists(media.c_str()), 2);
  ASSERT_EQ(Start(), 1);
  std::string music = media + "\\m_0_0.wav";
  ASSERT_EQ(WriteWholeFile(music.c_str(), "RIFF", 4, false), 1);
  HANDLE inUse = CreateFileA(music.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(inUse, INVALID_HANDLE_VALUE);
  WriteWholeFile(show.c_str(), "VrmKtScrDat00", 13, false);
  DialogScript script;
  TickAt(1000 + 9000);
  EXPECT_EQ(script.boxTexts.size(), 1u);
  EXPECT_FALSE(IsWindow(window));
  window = nullptr;
  EXPECT_EQ(PathExists(media.c_str()), 2);  // still there, in use
  EXPECT_STREQ(Startup.mediaFolder, media.c_str());
  CloseHandle(inUse);  // as the music's window is closed when playback stops
  SaverCleanUp();
  EXPECT_EQ(PathExists(media.c_str()), 0);
  EXPECT_STREQ(Startup.mediaFolder, "");
}
