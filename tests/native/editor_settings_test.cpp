// The show's own settings as the editor changes them: a page-size change
// against placements worked out here, and the settings, the voice and the
// music going through both variants of the show file and coming back.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "editor/page_copy.h"
#include "editor/page_items.h"
#include "editor/show_settings.h"
#include "editor/working_extras.h"
#include "shell/base/mem_block.h"
#include "show/show_writer.h"
#include "tests/native/show_read_back.h"
#include "tests/support/temp_folder.h"

namespace {
// A picture whose box on a page of frame is left, top, width x height.
void PlacePicture(Page *page, const PageFrame &frame, double left, double top, double w, double h, int32_t orientation) {
  int32_t index;
  ASSERT_EQ(AddFittedPicture(page, &frame, "a.jpg", 40, 30, 1, &index), 1);
  page->pictures[index].orientation = orientation;
  PageBox box = {left, top, left + w, top + h};
  SetPictureBox(&page->pictures[index], &frame, &box);
}

void ExpectBox(const Page &page, int32_t k, const PageFrame &frame, double left, double top, double w, double h) {
  PageBox box;
  PictureBox(&page.pictures[k], &frame, &box);
  EXPECT_NEAR(box.left, left, 1.01) << "picture " << k;
  EXPECT_NEAR(box.top, top, 1.01) << "picture " << k;
  EXPECT_NEAR(box.right - box.left, w, 1.01) << "picture " << k;
  EXPECT_NEAR(box.bottom - box.top, h, 1.01) << "picture " << k;
  EXPECT_GE(box.left, 0);
  EXPECT_GE(box.top, 0);
  EXPECT_LE(box.right, frame.width);
  EXPECT_LE(box.bottom, frame.height);
}

void NewShowDocument(ShowDocument *show) {
  memset(show, 0, sizeof *show);
  show->pages.pages = static_cast<Page *>(MemAlloc(0));
  ASSERT_EQ(EnsurePages(&show->pages, 2, 0), 1);
}
}  // namespace

TEST(EditorSettings, PageSizeChangeKeepsProportionsAndPicturesOnThePage) {
  ShowDocument show;
  NewShowDocument(&show);
  const PageFrame wide = {1920, 1080, 0};
  SetShowPageSize(show.editorSettings, wide.width, wide.height);
  Page *page = &show.pages.pages[0];
  PlacePicture(page, wide, 100, 100, 400, 300, 0);     // well inside
  PlacePicture(page, wide, 1600, 800, 300, 260, 0);    // near the bottom-right corner
  PlacePicture(page, wide, 700, 200, 200, 500, 1);     // turned a quarter: its shown box is 200 x 500
  PlacePicture(&show.pages.pages[1], wide, -200, -100, 2400, 1300, 0);  // larger than the page
  TextStyle style = {};
  style.font.lfHeight = 30;
  int32_t text;
  ASSERT_EQ(AddText(page, "t", &style, 0.75, 0.25, &text), 1);

  // To 4:3, 1024 x 768: the scale is min(1024/1920, 768/1080) = 0.5333...
  ASSERT_EQ(ResizeShowPages(&show, &wide, 1024, 768), 1);
  const PageFrame four = {1024, 768, 0};
  const double s = 1024.0 / 1920;
  int32_t w, h;
  ShowPageSize(show.editorSettings, &w, &h);
  EXPECT_EQ(w, 1024);
  EXPECT_EQ(h, 768);
  // Each centre keeps its place in fractions of the page.
  auto expect = [&](const Page &p, int32_t k, double cx, double cy, double bw, double bh) {
    double nw = bw * s, nh = bh * s;
    double x = cx / 1920 * 1024 - nw / 2, y = cy / 1080 * 768 - nh / 2;
    x = std::fmin(std::fmax(x, 0), 1024 - nw);
    y = std::fmin(std::fmax(y, 0), 768 - nh);
    ExpectBox(p, k, four, x, y, nw, nh);
  };
  expect(*page, 0, 300, 250, 400, 300);
  expect(*page, 1, 1750, 930, 300, 260);  // its centre maps to y 661; 69 high, it stays on the page
  expect(*page, 2, 800, 450, 200, 500);
  EXPECT_EQ(page->pictures[2].orientation, 1);
  // 2400 x 1300 at 0.5333 is 1280 x 693: still wider than 1024, so shrunk to
  // 1024 wide with its proportions; its centre keeps its height on the page.
  const double big = 1024.0 * 1300 / 2400;
  ExpectBox(show.pages.pages[1], 0, four, 0, 550.0 / 1080 * 768 - big / 2, 1024, big);
  EXPECT_DOUBLE_EQ(page->texts[0].anchor[0], 0.75);
  EXPECT_DOUBLE_EQ(page->texts[0].anchor[1], 0.25);

  // Back to 21:9: the height decides (1080 / 768), pictures grow about their centres.
  ShowDocument before;
  ASSERT_EQ(CopyShow(&before, &show), 1);
  ASSERT_EQ(ResizeShowPages(&show, &four, 2560, 1080), 1);
  const PageFrame ultra = {2560, 1080, 0};
  PageBox was, now;
  PictureBox(&before.pages.pages[0].pictures[0], &four, &was);
  PictureBox(&show.pages.pages[0].pictures[0], &ultra, &now);
  const double t = 1080.0 / 768;
  EXPECT_NEAR(now.right - now.left, (was.right - was.left) * t, 1.5);
  EXPECT_NEAR(now.bottom - now.top, (was.bottom - was.top) * t, 1.5);
  EXPECT_NEAR((now.left + now.right) / 2 / 2560, (was.left + was.right) / 2 / 1024, 1.0 / 1024);
  // Sizes out of range change nothing.
  EXPECT_EQ(ResizeShowPages(&show, &ultra, 0, 1080), 0);
  EXPECT_EQ(ResizeShowPages(&show, &ultra, 2560, MAX_PAGE_SIDE + 1), 0);
  ShowPageSize(show.editorSettings, &w, &h);
  EXPECT_EQ(w, 2560);
  FreeShowCopy(&before);
  FreeShowCopy(&show);
}

TEST(EditorSettings, PasswordLinkAndMusicRules) {
  ShowDocument show;
  NewShowDocument(&show);
  EXPECT_EQ(SetShowPassword(&show, "", ""), 5019);
  EXPECT_EQ(SetShowPassword(&show, "himitsu", "himitsv"), 5018);
  EXPECT_EQ(show.password[0], 0);
  EXPECT_EQ(SetShowPassword(&show, std::string(128, 'p').c_str(), std::string(128, 'p').c_str()), -1);
  EXPECT_EQ(SetShowPassword(&show, "himitsu", "himitsu"), 0);
  EXPECT_STREQ(show.password, "himitsu");
  RemoveShowPassword(&show);
  EXPECT_EQ(show.password[0], 0);

  EXPECT_EQ(SetShowLink(&show, "ftp://example.com/", "x"), 0);
  EXPECT_EQ(SetShowLink(&show, "file:///C:/a.html", "x"), 0);
  EXPECT_EQ(SetShowLink(&show, "http://", "x"), 0);
  EXPECT_EQ(SetShowLink(&show, "http://a\"b", "x"), 0);
  EXPECT_EQ(SetShowLink(&show, ("https://" + std::string(250, 'a')).c_str(), "x"), 0);
  EXPECT_EQ(show.linkAddress[0], 0);
  EXPECT_EQ(SetShowLink(&show, "HTTPS://example.com/ja/", "\x83\x7A\x81\x5B\x83\x80"), 1);
  EXPECT_STREQ(show.linkAddress, "HTTPS://example.com/ja/");
  EXPECT_EQ(SetShowLink(&show, "", "kept?"), 1);
  EXPECT_EQ(show.linkCaption[0], 0);

  for (int k = 0; k < BGM_SLOT_COUNT; ++k)
    ASSERT_EQ(AddMusic(&show.bgmPaths, ("C:\\m\\" + std::to_string(k) + ".mid").c_str()), 1);
  EXPECT_EQ(AddMusic(&show.bgmPaths, "C:\\m\\20.mid"), 5300);
  EXPECT_EQ(MusicCount(&show.bgmPaths), 20);
  ASSERT_EQ(MoveMusic(&show.bgmPaths, 0, 2), 1);  // 1 2 0 3 ...
  EXPECT_STREQ(show.bgmPaths.paths[0], "C:\\m\\1.mid");
  EXPECT_STREQ(show.bgmPaths.paths[2], "C:\\m\\0.mid");
  ASSERT_EQ(MoveMusic(&show.bgmPaths, 19, 0), 1);
  EXPECT_STREQ(show.bgmPaths.paths[0], "C:\\m\\19.mid");
  EXPECT_STREQ(show.bgmPaths.paths[19], "C:\\m\\18.mid");
  ASSERT_EQ(RemoveMusic(&show.bgmPaths, 0), 1);
  EXPECT_EQ(MusicCount(&show.bgmPaths), 19);
  EXPECT_STREQ(show.bgmPaths.paths[0], "C:\\m\\1.mid");
  EXPECT_EQ(show.bgmPaths.paths[19][0], 0);
  EXPECT_EQ(RemoveMusic(&show.bgmPaths, 19), 0);
  EXPECT_EQ(MoveMusic(&show.bgmPaths, 0, 19), 0);

  Page *page = &show.pages.pages[0];
  EXPECT_EQ(PageVoice(page), nullptr);
  ASSERT_EQ(SetPageVoice(page, "C:\\v\\one.wav"), 1);
  ASSERT_EQ(SetPageVoice(page, "C:\\v\\two.wav"), 1);
  EXPECT_EQ(page->soundCount, 1);
  EXPECT_STREQ(PageVoice(page), "C:\\v\\two.wav");
  ASSERT_EQ(RemovePageVoice(page), 1);
  EXPECT_EQ(PageVoice(page), nullptr);
  EXPECT_EQ(RemovePageVoice(page), 0);
  EXPECT_EQ(PagePlayTime(10000, 12500), 12500);
  EXPECT_EQ(PagePlayTime(10000, 0), 10000);
  FreeShowCopy(&show);
}

TEST(EditorSettings, SettingsVoiceAndMusicRoundTripInBothVariants) {
  TempFolder dir;
  const std::string wav = std::string("RIFF\x24\0\0\0WAVEfmt ", 16) + std::string(28, '\x01');
  const std::string mid = std::string("MThd\0\0\0\x06", 8) + "music";
  ShowDocument show;
  NewShowDocument(&show);
  SetShowPageSize(show.editorSettings, 1920, 1200);
  SetGridSpacing(show.editorSettings, 32);
  ASSERT_EQ(SetShowJpegQuality(show.editorSettings, SMALLER_JPEG_QUALITY), 1);
  EXPECT_EQ(SetShowJpegQuality(show.editorSettings, 75), 0);
  ASSERT_EQ(SetShowLink(&show, "https://example.com/", "\x97\xE1"), 1);
  ASSERT_EQ(SetShowPassword(&show, "pass word", "pass word"), 0);
  show.carriedA = 7;
  show.carriedB = -3;
  ASSERT_EQ(SetPageVoice(&show.pages.pages[1], dir.Put("voice.wav", wav).c_str()), 1);
  for (const char *name : {"a.mid", "b.mid", "c.mid"}) ASSERT_EQ(AddMusic(&show.bgmPaths, dir.Put(name, mid).c_str()), 1);

  for (ShowVariant variant : {SHOW_WORKING, SHOW_SAVER}) {
    SCOPED_TRACE(variant == SHOW_WORKING ? "working" : "saver");
    char error[256] = {};
    WriteOptions options = {variant, 0, nullptr, nullptr, nullptr, 0, error, sizeof error};
    ShowSink sink;
    MemorySink memory;
    OpenMemorySink(&sink, &memory);
    ASSERT_EQ(WriteShow(&show, &options, &sink), 1) << error;
    std::string bytes(reinterpret_cast<char *>(memory.block), memory.used);
    MemFreePtr(memory.block);
    if (variant == SHOW_WORKING) bytes += EncodeWorkingExtras(&show);
    ShowDocument back;
    KeptFiles files;
    uint64_t left = 0;
    ASSERT_EQ(ReadShowBack(bytes.data(), bytes.size(), "M", &files, &back, &left), PARSE_OK);
    if (variant == SHOW_WORKING) {
      // The loader stops after the pages; the block after them holds the rest.
      EXPECT_EQ(left, EncodeWorkingExtras(&show).size());
      EXPECT_EQ(back.linkAddress[0], 0);
      ASSERT_EQ(DecodeWorkingExtras(reinterpret_cast<const unsigned char *>(bytes.data()), bytes.size(), &back), 1);
      for (int k = 0; k < 3; ++k) EXPECT_STREQ(back.bgmPaths.paths[k], show.bgmPaths.paths[k]);
      EXPECT_STREQ(back.pages.pages[1].sounds[0].path, show.pages.pages[1].sounds[0].path);
    } else {
      EXPECT_EQ(left, 0u);
      EXPECT_EQ(MusicCount(&back.bgmPaths), 3);
      for (int k = 0; k < 3; ++k) EXPECT_EQ(files[back.bgmPaths.paths[k]], mid);
      ASSERT_EQ(back.pages.pages[1].soundCount, 1);
      EXPECT_EQ(files[back.pages.pages[1].sounds[0].path], wav);
      EXPECT_EQ(back.pages.pages[1].sounds[0].size, int32_t(wav.size()));
    }
    EXPECT_EQ(memcmp(back.editorSettings, show.editorSettings, EDITOR_SETTINGS_SIZE), 0);
    EXPECT_EQ(ShowJpegQuality(back.editorSettings), SMALLER_JPEG_QUALITY);
    EXPECT_EQ(GridSpacing(back.editorSettings), 32);
    EXPECT_STREQ(back.linkAddress, "https://example.com/");
    EXPECT_STREQ(back.linkCaption, "\x97\xE1");
    EXPECT_STREQ(back.password, "pass word");
    EXPECT_EQ(back.carriedA, 7);
    EXPECT_EQ(back.carriedB, -3);
    EXPECT_EQ(back.pages.pages[0].soundCount, 0);
    FreeShow(&back);
  }
  // A working file without the block (written before it existed) leaves the show as it is.
  ShowDocument plain = {};
  const std::string older = "VrmKtTmpDat00 and a few page bytes";
  EXPECT_EQ(DecodeWorkingExtras(reinterpret_cast<const unsigned char *>(older.data()), older.size(), &plain), 0);
  std::string cut = EncodeWorkingExtras(&show);
  cut.erase(20, 1);
  EXPECT_EQ(DecodeWorkingExtras(reinterpret_cast<const unsigned char *>(cut.data()), cut.size(), &plain), 0);
  EXPECT_EQ(plain.linkAddress[0], 0);
  FreeShowCopy(&show);
}
