// The show loader under Wine, on shows written by the writer (and a few
// hand-made streams): the three modes, the media folder, the failure table.
#include "show/show_loader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "../native/show_bytes.h"
#include "dialog_script.h"
#include "shell/base/file_checksum.h"
#include "shell/base/file_ops.h"
#include "shell/base/mem_block.h"
#include "shell/base/startup_state.h"
#include "show/show_writer.h"

namespace {
const char kLoadFailed[] = "ファイルの読み込みに失敗しました。\r\nファイルが壊れているかもしれません。";
const char kWrongPassword[] = "パスワードが間違っています。";
const char kPasswordPrompt[] = "このファイルにはパスワードが設定されています。\r\nパスワードを入力してください。";
const char kWriteFailedSuffix[] = " の保存に失敗しました。";

const std::string kJpegA = std::string("\xFF\xD8\xFF\xE0", 4) + "picture A";
const std::string kJpegB = std::string("\xFF\xD8\xFF\xE1", 4) + "picture B on page 2";
const std::string kVoice = "RIFF voice bytes";
const std::string kSong = "MThd song bytes";
const std::string kTune = "RIFF tune bytes";
const std::string kPlugin = "MZ transition module";

std::string ReadAll(const std::string &path) {
  FILE *f = fopen(path.c_str(), "rb");
  if (!f) return "<missing>";
  std::string s;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, f)) > 0) s.append(buffer, n);
  fclose(f);
  return s;
}

void WriteAll(const std::string &path, const std::string &contents) {
  FILE *f = fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr) << path;
  fwrite(contents.data(), 1, contents.size(), f);
  fclose(f);
}

std::set<std::string> List(const std::string &folder) {
  std::set<std::string> names;
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    std::string name = data.cFileName;
    if (name != "." && name != "..") names.insert(name);
  } while (FindNextFileA(find, &data));
  FindClose(find);
  return names;
}

class ShowLoader : public ::testing::Test {
 protected:
  std::string root, temp, program, source;

  void SetUp() override {
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    root = std::string(base) + "vkloader" + std::to_string(GetTickCount()) + std::to_string(rand());
    temp = root + "\\tmp";
    program = root + "\\prog";
    source = root + "\\src";
    for (const std::string &folder : {root, temp, program, source}) CreateDirectoryA(folder.c_str(), nullptr);
    CopyPath(Startup.tempFolder, (temp + "\\").c_str());
    CopyPath(Startup.programFolder, program.c_str());
    Startup.mediaFolder[0] = 0;
    Startup.extractedFiles = nullptr;
    Startup.extractedCount = 0;
    Startup.mainWindow = nullptr;
    ClearShowDocument(&Show);
  }

  void TearDown() override {
    ClearShowDocument(&Show);
    MemFreePtr(Startup.extractedFiles);
    Startup.extractedCount = 0;
    Startup.mediaFolder[0] = 0;
    DeleteTree(root.c_str());
  }

  std::string Source(const std::string &name, const std::string &contents) {
    std::string path = source + "\\" + name;
    WriteAll(path, contents);
    return path;
  }

  // Three pages: page 0 with two pictures (the second missing at save
  // time), a text, a voice and a transition; page 1 empty; page 2 with a
  // picture and the same transition.
  std::string WriteTestShow(ShowVariant variant, const char *password = "") {
    ShowDocument doc = {};
    doc.pages.pages = static_cast<Page *>(MemAlloc(0));
    strcpy(doc.password, password);
    strcpy(doc.bgmPaths.paths[0], Source("song.mid", kSong).c_str());
    strcpy(doc.bgmPaths.paths[1], Source("tune.wav", kTune).c_str());
    EXPECT_EQ(EnsurePages(&doc.pages, 3, 0), 1);
    int32_t id = SignedByteSum(reinterpret_cast<const unsigned char *>(kPlugin.data()), kPlugin.size());
    Page *p = doc.pages.pages;
    p[0].transitionId = id;
    p[0].displayTime = 7000;
    p[0].pictureCount = 2;
    p[0].pictures = static_cast<PictureRecord *>(MemRealloc(p[0].pictures, 2 * sizeof(PictureRecord)));
    strcpy(p[0].pictures[0].path, Source("a.jpg", kJpegA).c_str());
    strcpy(p[0].pictures[1].path, (source + "\\gone.jpg").c_str());
    p[0].textCount = 1;
    p[0].texts = static_cast<TextRecord *>(MemRealloc(p[0].texts, sizeof(TextRecord)));
    p[0].textBuffers = static_cast<char **>(MemRealloc(p[0].textBuffers, sizeof(char *)));
    p[0].textBuffers[0] = static_cast<char *>(MemAlloc(6));
    strcpy(p[0].textBuffers[0], "hello");
    p[0].soundCount = 1;
    p[0].sounds = static_cast<SoundRecord *>(MemRealloc(p[0].sounds, sizeof(SoundRecord)));
    strcpy(p[0].sounds[0].path, Source("voice.wav", kVoice).c_str());
    p[1].displayTime = 2000;
    p[2].transitionId = id;
    p[2].pictureCount = 1;
    p[2].pictures = static_cast<PictureRecord *>(MemRealloc(p[2].pictures, sizeof(PictureRecord)));
    strcpy(p[2].pictures[0].path, Source("b.jpeg", kJpegB).c_str());
    std::string plugin = Source("melt.tns", kPlugin);
    const char *plugins[] = {plugin.c_str()};
    char error[256] = {};
    WriteOptions options = {variant, 0, nullptr, source.c_str(), plugins, 1, error, sizeof error};
    std::string path = root + (variant == SHOW_SAVER ? "\\show.TMP" : "\\work.dat");
    FILE *f = fopen(path.c_str(), "wb");
    ShowSink sink;
    OpenFileSink(&sink, f);
    EXPECT_EQ(WriteShow(&doc, &options, &sink), 1) << error;
    fclose(f);
    DropAllPages(&doc.pages, nullptr);
    MemFreePtr(doc.pages.pages);
    return path;
  }

  std::string Media() const { return Startup.mediaFolder; }
  std::vector<std::string> Extracted() const {
    std::vector<std::string> names;
    for (int i = 0; i < Startup.extractedCount; ++i) names.push_back(FileNamePart(Startup.extractedFiles[i]));
    return names;
  }
};
}  // namespace

TEST_F(ShowLoader, IsShowFileLooksAtTheMagic) {
  EXPECT_EQ(IsShowFile(WriteTestShow(SHOW_SAVER).c_str()), 1);
  EXPECT_EQ(IsShowFile(WriteTestShow(SHOW_WORKING).c_str()), 1);
  std::string junk(200, 'x');
  EXPECT_EQ(IsShowFile(Source("junk.dat", junk).c_str()), 0);
  EXPECT_EQ(IsShowFile(Source("short.dat", "VrmKtScrDat00" + std::string(100, '\0')).c_str()), 0);
  EXPECT_EQ(IsShowFile(Source("exact.dat", "VrmKtScrDat00" + std::string(119, '\0')).c_str()), 1);
  EXPECT_EQ(IsShowFile((root + "\\none.dat").c_str()), 0);
  EXPECT_EQ(IsShowFile(""), 0);
}

TEST_F(ShowLoader, MissingPathReturnsOneSilently) {
  DialogScript script;
  EXPECT_EQ(LoadShow((root + "\\nothing.TMP").c_str(), LoadForPlayback, 0, 0), 1);
  EXPECT_TRUE(script.boxTexts.empty());
  EXPECT_EQ(Show.pages.pageCount, 0);
  EXPECT_TRUE(List(temp).empty());
}

TEST_F(ShowLoader, PlaybackModeWritesMusicAndPluginsOnly) {
  std::string path = WriteTestShow(SHOW_SAVER);
  DialogScript script;
  ASSERT_EQ(LoadShow(path.c_str(), LoadForPlayback, 0, 0), 3);
  EXPECT_TRUE(script.boxTexts.empty());
  // The media folder is a bare time-stamp name in the temp folder.
  ASSERT_FALSE(Media().empty());
  EXPECT_EQ(Media().rfind(temp + "\\", 0), 0u) << Media();
  EXPECT_EQ(Media().find('.', temp.size()), std::string::npos);
  std::set<std::string> files = {"m_0_0.mid", "m_1_1.wav", "t_0_0.tns"};
  EXPECT_EQ(List(Media()), files);
  EXPECT_EQ(ReadAll(Media() + "\\m_0_0.mid"), kSong);
  EXPECT_EQ(ReadAll(Media() + "\\t_0_0.tns"), kPlugin);
  std::vector<std::string> names = {"i_0_0.jpg", "i_0_1.jpg", "s_0_0.wav", "t_0_0.tns", "i_2_0.jpeg"};
  EXPECT_EQ(Extracted(), names);
  EXPECT_EQ(std::string(Show.bgmPaths.paths[0]), Media() + "\\m_0_0.mid");
  EXPECT_EQ(std::string(Show.bgmPaths.paths[1]), Media() + "\\m_1_1.wav");
  EXPECT_STREQ(Show.bgmPaths.paths[2], "");
  EXPECT_EQ(Show.pages.pages[0].displayTime, 7000);
  EXPECT_EQ(Show.pages.pages[2].transitionId, Show.pages.pages[0].transitionId);
  EXPECT_STREQ(PageText(&Show.pages.pages[0], 0), "hello");
  EXPECT_EQ(Show.pages.pages[0].preview, nullptr);
}

TEST_F(ShowLoader, PageMediaModeExtractsOnePageOnce) {
  std::string path = WriteTestShow(SHOW_SAVER);
  DialogScript script;
  ASSERT_EQ(LoadShow(path.c_str(), LoadForPlayback, 0, 0), 3);
  std::string media = Media();
  ASSERT_EQ(LoadShow(path.c_str(), LoadPageMedia, 0, 0), 3);
  EXPECT_EQ(Media(), media);
  std::set<std::string> files = {"m_0_0.mid", "m_1_1.wav", "t_0_0.tns", "i_0_0.jpg", "s_0_0.wav"};
  EXPECT_EQ(List(media), files);  // the size-0 picture wrote nothing
  EXPECT_EQ(ReadAll(media + "\\i_0_0.jpg"), kJpegA);
  EXPECT_EQ(ReadAll(media + "\\s_0_0.wav"), kVoice);
  EXPECT_EQ(std::string(Show.pages.pages[0].pictures[0].path), media + "\\i_0_0.jpg");
  EXPECT_EQ(std::string(Show.pages.pages[0].pictures[1].path), source + "\\gone.jpg");
  EXPECT_EQ(std::string(Show.pages.pages[0].sounds[0].path), media + "\\s_0_0.wav");
  EXPECT_EQ(Extracted().size(), 5u);  // mode 2 adds no names

  // Existing page files are not written again; the music files are.
  WriteAll(media + "\\i_0_0.jpg", "kept");
  WriteAll(media + "\\m_0_0.mid", "stale");
  ASSERT_EQ(LoadShow(path.c_str(), LoadPageMedia, 0, 0), 3);
  EXPECT_EQ(ReadAll(media + "\\i_0_0.jpg"), "kept");
  EXPECT_EQ(ReadAll(media + "\\m_0_0.mid"), kSong);

  ASSERT_EQ(LoadShow(path.c_str(), LoadPageMedia, 2, 0), 3);
  EXPECT_EQ(ReadAll(media + "\\i_2_0.jpeg"), kJpegB);
  EXPECT_EQ(List(media).size(), 6u);
  EXPECT_TRUE(script.boxTexts.empty());
}

TEST_F(ShowLoader, FullModeExtractsEverything) {
  std::string path = WriteTestShow(SHOW_SAVER);
  DialogScript script;
  ASSERT_EQ(LoadShow(path.c_str(), LoadFull, 0, 0), 3);
  std::set<std::string> files = {"m_0_0.mid", "m_1_1.wav", "t_0_0.tns", "i_0_0.jpg", "s_0_0.wav", "i_2_0.jpeg"};
  EXPECT_EQ(List(Media()), files);
  EXPECT_EQ(ReadAll(Media() + "\\i_2_0.jpeg"), kJpegB);
  // Each page gets a blank 160 x 120 preview at 24 bits.
  for (int i = 0; i < 3; ++i) {
    const auto *info = static_cast<const BITMAPINFOHEADER *>(Show.pages.pages[i].preview);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->biWidth, 160);
    EXPECT_EQ(info->biHeight, 120);
    EXPECT_EQ(info->biBitCount, 24);
    EXPECT_EQ(MemSize(info), 40u + 160 * 3 * 120);
  }
}

TEST_F(ShowLoader, WorkingVariantNeedsNoMediaFolder) {
  std::string path = WriteTestShow(SHOW_WORKING);
  DialogScript script;
  ASSERT_EQ(LoadShow(path.c_str(), LoadFull, 0, 0), 3);
  EXPECT_STREQ(Startup.mediaFolder, "");
  EXPECT_TRUE(List(temp).empty());
  EXPECT_EQ(std::string(Show.bgmPaths.paths[0]), source + "\\song.mid");
  EXPECT_EQ(std::string(Show.pages.pages[0].pictures[0].path), source + "\\a.jpg");
  EXPECT_EQ(Show.pages.pages[0].preview, nullptr);  // written without previews
  EXPECT_EQ(Startup.extractedCount, 0);
}

TEST_F(ShowLoader, MusicNamesWithAnEmptySlotBetween) {
  Bytes b;
  Header(b, "VrmKtScrDat00", 1);
  SaverPrefix(b);
  MusicSlot(b, "mid", "first");
  EmptySlots(b, 1);
  MusicSlot(b, "wav", "second");
  EmptySlots(b, 17);
  Password(b, "");
  PageRecordBytes(b, 0, PageSpec());
  std::string path = Source("slots.TMP", std::string(b.data.begin(), b.data.end()));
  ASSERT_EQ(LoadShow(path.c_str(), LoadForPlayback, 0, 0), 1);
  std::set<std::string> files = {"m_0_0.mid", "m_2_1.wav"};
  EXPECT_EQ(List(Media()), files);
  EXPECT_EQ(ReadAll(Media() + "\\m_2_1.wav"), "second");
  EXPECT_EQ(std::string(Show.bgmPaths.paths[1]), Media() + "\\m_2_1.wav");
}

TEST_F(ShowLoader, IntervalFileOverridesEveryPage) {
  std::string path = WriteTestShow(SHOW_SAVER);
  WriteAll(program + "\\interval.inf", "[time]\r\ninterval=5\r\n");
  ASSERT_EQ(LoadShow(path.c_str(), LoadForPlayback, 0, 0), 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Show.pages.pages[i].displayTime, 5000);
  DeleteTree(Media().c_str());
  WriteAll(program + "\\interval.inf", "[time]\r\ninterval=0\r\n");
  ASSERT_EQ(LoadShow(path.c_str(), LoadForPlayback, 0, 0), 3);
  EXPECT_EQ(Show.pages.pages[0].displayTime, 7000);
  EXPECT_EQ(Show.pages.pages[1].displayTime, 2000);
  EXPECT_EQ(Show.pages.pages[2].displayTime, 10000);
}

TEST_F(ShowLoader, DamagedShowInPageMediaModeRemovesTheMediaFolder) {
  std::string path = WriteTestShow(SHOW_SAVER);
  DialogScript script;
  ASSERT_EQ(LoadShow(path.c_str(), LoadForPlayback, 0, 0), 3);
  std::string media = Media();
  // Cut the file inside the last page's picture.
  std::string bytes = ReadAll(path);
  WriteAll(path, bytes.substr(0, bytes.size() - 5));
  EXPECT_EQ(LoadShow(path.c_str(), LoadPageMedia, 2, 0), 0);
  ASSERT_EQ(script.boxTexts.size(), 1u);
  EXPECT_EQ(script.boxTexts[0], kLoadFailed);
  EXPECT_EQ(PathExists(media.c_str()), 0);
  EXPECT_TRUE(List(temp).empty());
  EXPECT_EQ(Show.pages.pageCount, 3);  // pages read before stay
}

TEST_F(ShowLoader, FailuresLeaveNothingInTheTempFolder) {
  std::string good = ReadAll(WriteTestShow(SHOW_SAVER));
  struct Case {
    const char *what;
    std::string bytes;
  };
  std::string negative = good;
  negative[132 + 8] = '\xFF';  // link length becomes negative
  negative[132 + 9] = '\xFF';
  negative[132 + 10] = '\xFF';
  negative[132 + 11] = '\xFF';
  std::string noPages = good;
  noPages[16] = 0;
  std::string hugePages = good;
  hugePages[19] = 0x7F;
  const Case cases[] = {{"unknown magic", "VrmKtXXXDat00" + good.substr(13)},
                        {"short header", good.substr(0, 100)},
                        {"empty file", ""},
                        {"cut in the prefix", good.substr(0, 140)},
                        {"cut in the music", good.substr(0, 132 + 4 * 5 + 40 + 3)},
                        {"cut in the password block", good.substr(0, good.size() - 600)},
                        {"cut in the last page", good.substr(0, good.size() - 1)},
                        {"negative link length", negative},
                        {"page count 0", noPages},
                        {"impossible page count", hugePages}};
  int n = 0;
  for (const Case &c : cases) {
    std::string path = Source("case" + std::to_string(n++) + ".TMP", c.bytes);
    DialogScript script;
    EXPECT_EQ(LoadShow(path.c_str(), LoadForPlayback, 0, 0), 0) << c.what;
    ASSERT_EQ(script.boxTexts.size(), 1u) << c.what;
    EXPECT_EQ(script.boxTexts[0], kLoadFailed) << c.what;
    EXPECT_TRUE(List(temp).empty()) << c.what;
    EXPECT_STREQ(Startup.mediaFolder, "") << c.what;
    EXPECT_TRUE(Show.pages.selectedPage >= 0 && Show.pages.selectedPage < std::max(Show.pages.pageCount, 1));
  }
}

TEST_F(ShowLoader, MediaFolderThatCannotBeCreatedFails) {
  std::string path = WriteTestShow(SHOW_SAVER);
  CopyPath(Startup.tempFolder, (root + "\\no\\such\\folder\\").c_str());
  DialogScript script;
  EXPECT_EQ(LoadShow(path.c_str(), LoadForPlayback, 0, 0), 0);
  ASSERT_EQ(script.boxTexts.size(), 1u);
  EXPECT_EQ(script.boxTexts[0], kLoadFailed);
  EXPECT_EQ(Show.pages.pageCount, 0);
}

TEST_F(ShowLoader, PictureThatCannotBeWrittenIsReportedAndTheLoadGoesOn) {
  std::string path = WriteTestShow(SHOW_SAVER);
  ASSERT_EQ(LoadShow(path.c_str(), LoadForPlayback, 0, 0), 3);
  std::string media = Media();
  // With the folder gone no write can succeed: the picture is reported,
  // the sound and the music are not, and the load goes on.
  ASSERT_EQ(DeleteTree(media.c_str()), 1);
  DialogScript script;
  EXPECT_EQ(LoadShow(path.c_str(), LoadPageMedia, 0, 0), 3);
  ASSERT_EQ(script.boxTexts.size(), 1u);
  EXPECT_EQ(script.boxTexts[0], media + "\\i_0_0.jpg" + kWriteFailedSuffix);
  EXPECT_EQ(Show.pages.pageCount, 3);
}

TEST_F(ShowLoader, PasswordCancelKeepsTheMediaFolderForShutdown) {
  std::string path = WriteTestShow(SHOW_SAVER, "abc");
  {
    DialogScript script;
    script.answers = {"\x1b"};
    EXPECT_EQ(LoadShow(path.c_str(), LoadForPlayback, 0, 1), 0);
    EXPECT_TRUE(script.boxTexts.empty());
    EXPECT_EQ(Show.pages.pageCount, 0);
    EXPECT_STREQ(Show.bgmPaths.paths[0], "");
    EXPECT_EQ(PathExists(Startup.mediaFolder), 2);
    EXPECT_EQ(script.prompt, kPasswordPrompt);
    EXPECT_EQ(script.passwordChar, '*');
    EXPECT_EQ(script.limit, 129);
    // No owner here: centred on the screen.
    int centreX = (script.rect.left + script.rect.right) / 2, centreY = (script.rect.top + script.rect.bottom) / 2;
    EXPECT_NEAR(centreX, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
    EXPECT_NEAR(centreY, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
  }
  DeleteTree(Startup.mediaFolder);
  {
    DialogScript script;
    script.answers = {"ABC", "abc"};
    EXPECT_EQ(LoadShow(path.c_str(), LoadForPlayback, 0, 1), 3);
    ASSERT_EQ(script.boxTexts.size(), 1u);
    EXPECT_EQ(script.boxTexts[0], kWrongPassword);
    EXPECT_EQ(script.nextAnswer, 2u);
  }
  // The player never asks.
  DialogScript script;
  EXPECT_EQ(LoadShow(path.c_str(), LoadForPlayback, 0, 0), 3);
  EXPECT_EQ(script.nextAnswer, 0u);
}
