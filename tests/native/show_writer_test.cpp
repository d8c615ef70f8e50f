#include "show/show_writer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <unistd.h>

#include "shell/base/file_checksum.h"
#include "shell/base/mem_block.h"
#include "show/show_stream.h"
#include "tests/native/show_read_back.h"
#include "tests/support/temp_folder.h"

namespace {
const std::string kJpeg1 = std::string("\xFF\xD8\xFF\xE0", 4) + "first picture";
const std::string kJpeg2 = std::string("\xFF\xD8\xFF\xDB", 4) + "second";
const std::string kPlugin = "MZ plug-in module bytes";

void SetText(Page *page, int k, const char *text) {
  page->textBuffers[k] = static_cast<char *>(MemAlloc(strlen(text) + 1));
  strcpy(page->textBuffers[k], text);
}

// Three pages: the first and third share a transition, the second has none.
void BuildShow(ShowDocument *show, TempFolder &dir) {
  memset(show, 0, sizeof *show);
  show->pages.pages = static_cast<Page *>(MemAlloc(0));
  show->editorSettings[0] = 16;
  show->carriedA = 5;
  show->carriedB = -6;
  strcpy(show->linkAddress, "http://example.jp/");
  strcpy(show->linkCaption, "\x83\x65\x83\x58\x83\x67");  // "テスト" in CP932
  strcpy(show->password, "pw");
  strcpy(show->bgmPaths.paths[1], dir.Put("song.mid", "MThd song").c_str());
  strcpy(show->bgmPaths.paths[3], (dir.path + "/missing.wav").c_str());
  strcpy(show->bgmPaths.paths[5], dir.Put("tune.wav", "RIFF tune").c_str());
  ASSERT_EQ(EnsurePages(&show->pages, 3, 0), 1);
  int32_t id = SignedByteSum(reinterpret_cast<const unsigned char *>(kPlugin.data()), kPlugin.size());
  Page *p = show->pages.pages;
  p[0].transitionId = id;
  p[0].transitionWait = 3;
  p[0].transitionParams[0] = 9;
  p[0].displayTime = 4000;
  p[0].backgroundColour = 0x00336699;
  p[0].pictureCount = 2;
  p[0].pictures = static_cast<PictureRecord *>(MemRealloc(p[0].pictures, 2 * sizeof(PictureRecord)));
  strcpy(p[0].pictures[0].path, dir.Put("a.jpg", kJpeg1).c_str());
  p[0].pictures[0].placement[2] = 0.5;
  p[0].pictures[0].orientation = 5;
  p[0].pictures[0].shadow = 1;
  strcpy(p[0].pictures[1].path, (dir.path + "/gone.jpg").c_str());
  p[0].textCount = 2;
  p[0].texts = static_cast<TextRecord *>(MemRealloc(p[0].texts, 2 * sizeof(TextRecord)));
  p[0].textBuffers = static_cast<char **>(MemRealloc(p[0].textBuffers, 2 * sizeof(char *)));
  SetText(&p[0], 0, "hello");
  SetText(&p[0], 1, "");
  p[0].texts[0].length = 99;  // stale: the writer uses the buffer's length
  p[0].texts[0].font.lfHeight = 30;
  strcpy(p[0].texts[0].font.lfFaceName, "@Face");
  p[0].texts[0].fadeSteps = 12;
  p[0].soundCount = 1;
  p[0].sounds = static_cast<SoundRecord *>(MemRealloc(p[0].sounds, sizeof(SoundRecord)));
  strcpy(p[0].sounds[0].path, dir.Put("v.wav", "RIFF voice").c_str());
  p[1].backgroundFlag = 0;
  p[2].transitionId = id;
  p[2].pictureCount = 1;
  p[2].pictures = static_cast<PictureRecord *>(MemRealloc(p[2].pictures, sizeof(PictureRecord)));
  strcpy(p[2].pictures[0].path, dir.Put("b.jpeg", kJpeg2).c_str());
}

}  // namespace

TEST(ShowWriter, SaverVariantRoundTrip) {
  TempFolder dir;
  ShowDocument show;
  BuildShow(&show, dir);
  std::string pluginPath = dir.Put("melt.tns", kPlugin);
  std::string otherPlugin = dir.Put("other.tns", "another module");
  const char *plugins[] = {otherPlugin.c_str(), pluginPath.c_str()};
  char error[256];
  WriteOptions options = {SHOW_SAVER, 0, nullptr, dir.path.c_str(), plugins, 2, error, sizeof error};
  ShowSink sink;
  MemorySink memory;
  OpenMemorySink(&sink, &memory);
  ASSERT_EQ(WriteShow(&show, &options, &sink), 1) << error;

  const unsigned char *d = memory.block;
  EXPECT_EQ(0, memcmp(d, "VrmKtScrDat00", 13));
  EXPECT_EQ(GetInt32(d + 16), 3);
  EXPECT_EQ(d[67], 16);
  // Prefix: N = 0, A, L1, link, L2, caption, B.
  size_t at = 132;
  EXPECT_EQ(GetInt32(d + at), 0);
  EXPECT_EQ(GetInt32(d + at + 4), 5);
  EXPECT_EQ(GetInt32(d + at + 8), 18);
  at += 12 + 18;
  EXPECT_EQ(GetInt32(d + at), 6);
  at += 4 + 6;
  EXPECT_EQ(GetInt32(d + at), -6);
  at += 4;
  // Occupied slots first (the missing file left out), then 18 empty ones.
  EXPECT_EQ(GetInt32(d + at), 1);
  EXPECT_STREQ(reinterpret_cast<const char *>(d + at + 4), "mid");
  EXPECT_EQ(GetInt32(d + at + 36), 9);
  at += 40 + 9;
  EXPECT_EQ(GetInt32(d + at), 1);
  EXPECT_STREQ(reinterpret_cast<const char *>(d + at + 4), "wav");
  at += 40 + 9;
  for (int k = 0; k < 18; ++k, at += 4) ASSERT_EQ(GetInt32(d + at), 0);
  // Password block.
  EXPECT_EQ(d[at + 508], uint8_t(~'p'));
  EXPECT_EQ(d[at + 504], uint8_t(~'w'));
  EXPECT_EQ(d[at + 500], 0xFF);
  at += 512;
  // First page record: plug-in size on the first page only.
  EXPECT_EQ(GetInt32(d + at), 0);
  EXPECT_EQ(GetInt32(d + at + 8), 2);
  EXPECT_EQ(GetInt32(d + at + 112), int32_t(kPlugin.size()));
  EXPECT_EQ(GetInt32(d + at + 116), 4000);

  KeptFiles written;
  ShowDocument back;
  uint64_t remaining = 1;
  ASSERT_EQ(ReadShowBack(memory.block, memory.used, "X", &written, &back, &remaining), PARSE_OK);
  EXPECT_EQ(remaining, 0u);

  EXPECT_EQ(back.carriedA, 5);
  EXPECT_EQ(back.carriedB, -6);
  EXPECT_STREQ(back.linkAddress, show.linkAddress);
  EXPECT_STREQ(back.linkCaption, show.linkCaption);
  EXPECT_STREQ(back.password, "pw");
  EXPECT_EQ(back.editorSettings[0], 16);
  EXPECT_EQ(written["X\\m_0_0.mid"], "MThd song");
  EXPECT_EQ(written["X\\m_1_1.wav"], "RIFF tune");
  EXPECT_STREQ(back.bgmPaths.paths[2], "");
  ASSERT_EQ(back.pages.pageCount, 3);
  const Page *p = back.pages.pages;
  EXPECT_EQ(p[0].transitionId, show.pages.pages[0].transitionId);
  EXPECT_EQ(p[0].transitionWait, 3);
  EXPECT_EQ(p[0].transitionParams[0], 9);
  EXPECT_EQ(p[0].backgroundColour, 0x00336699u);
  EXPECT_EQ(p[0].pictures[0].size, int32_t(kJpeg1.size()));
  EXPECT_EQ(p[0].pictures[0].placement[2], 0.5);
  EXPECT_EQ(p[0].pictures[0].orientation, 5);
  EXPECT_EQ(p[0].pictures[0].shadow, 1);
  EXPECT_EQ(p[0].pictures[1].size, 0);  // missing at save time
  EXPECT_STREQ(p[0].pictures[1].path, show.pages.pages[0].pictures[1].path);
  EXPECT_EQ(written["X\\i_0_0.jpg"], kJpeg1);
  EXPECT_EQ(written["X\\s_0_0.wav"], "RIFF voice");
  EXPECT_EQ(written["X\\t_0_0.tns"], kPlugin);
  EXPECT_EQ(written.count("X\\t_2_0.tns"), 0u);  // embedded once
  EXPECT_EQ(written["X\\i_2_0.jpeg"], kJpeg2);
  EXPECT_STREQ(PageText(&p[0], 0), "hello");
  EXPECT_EQ(p[0].texts[0].length, 5);
  EXPECT_EQ(p[0].texts[0].font.lfHeight, 30);
  EXPECT_STREQ(p[0].texts[0].font.lfFaceName, "@Face");
  EXPECT_EQ(p[0].texts[0].fadeSteps, 12);
  EXPECT_EQ(p[1].backgroundFlag, 0);
  EXPECT_EQ(p[2].transitionId, p[0].transitionId);
  FreeShow(&back);
  MemFreePtr(memory.block);
  FreeShow(&show);
}

TEST(ShowWriter, WorkingVariantRoundTrip) {
  TempFolder dir;
  ShowDocument show;
  BuildShow(&show, dir);
  show.pages.pages[1].preview = MemAlloc(40);
  memset(show.pages.pages[1].preview, 0x42, 40);
  WriteOptions options = {SHOW_WORKING, 0, nullptr, nullptr, nullptr, 0, nullptr, 0};
  ShowSink sink;
  MemorySink memory;
  OpenMemorySink(&sink, &memory);
  ASSERT_EQ(WriteShow(&show, &options, &sink), 1);
  // No music slots or password: the music table follows the header.
  EXPECT_EQ(0, memcmp(memory.block, "VrmKtTmpDat00", 13));
  EXPECT_STREQ(reinterpret_cast<const char *>(memory.block + 132 + 260), show.bgmPaths.paths[1]);
  // Header, table, 3 page records, 3 picture, 2 text and 1 sound records,
  // 5 text bytes and the preview.
  EXPECT_EQ(memory.used, 132u + 5200 + 3 * 256 + 3 * 392 + 2 * 168 + 320 + 5 + 40);
  ShowDocument back;
  ASSERT_EQ(ReadShowBack(memory.block, memory.used, "", nullptr, &back), PARSE_OK);
  EXPECT_EQ(0, memcmp(&back.bgmPaths, &show.bgmPaths, sizeof show.bgmPaths));
  EXPECT_STREQ(back.pages.pages[0].pictures[0].path, show.pages.pages[0].pictures[0].path);
  EXPECT_STREQ(back.pages.pages[0].sounds[0].path, show.pages.pages[0].sounds[0].path);
  ASSERT_NE(back.pages.pages[1].preview, nullptr);
  EXPECT_EQ(MemSize(back.pages.pages[1].preview), 40u);
  EXPECT_EQ(static_cast<unsigned char *>(back.pages.pages[1].preview)[39], 0x42);
  EXPECT_EQ(back.pages.pages[0].transitionId, show.pages.pages[0].transitionId);
  EXPECT_STREQ(PageText(&back.pages.pages[0], 0), "hello");
  FreeShow(&back);
  MemFreePtr(memory.block);
  FreeShow(&show);
}

TEST(ShowWriter, RefusesWhatItCannotEmbed) {
  TempFolder dir;
  ShowDocument show;
  BuildShow(&show, dir);
  char error[256];
  ShowSink sink;
  MemorySink memory;
  OpenMemorySink(&sink, &memory);
  // No plug-in file with the pages' checksum.
  WriteOptions options = {SHOW_SAVER, 0, nullptr, dir.path.c_str(), nullptr, 0, error, sizeof error};
  EXPECT_EQ(WriteShow(&show, &options, &sink), 0);
  EXPECT_NE(strstr(error, "plug-in"), nullptr) << error;
  MemFreePtr(memory.block);
  // A picture that is not JPEG.
  std::string pluginPath = dir.Put("melt.tns", kPlugin);
  const char *plugins[] = {pluginPath.c_str()};
  strcpy(show.pages.pages[2].pictures[0].path, dir.Put("c.bmp", "BM not a jpeg").c_str());
  WriteOptions again = {SHOW_SAVER, 0, nullptr, dir.path.c_str(), plugins, 1, error, sizeof error};
  OpenMemorySink(&sink, &memory);
  EXPECT_EQ(WriteShow(&show, &again, &sink), 0);
  EXPECT_NE(strstr(error, "c.bmp"), nullptr) << error;
  EXPECT_NE(strstr(error, "JPEG"), nullptr) << error;
  MemFreePtr(memory.block);
  FreeShow(&show);
}

TEST(FileChecksum, SignedByteSum) {
  const unsigned char bytes[] = {0x01, 0xFF, 0x80, 0x7F, 0x10};  // 1 - 1 - 128 + 127 + 16
  EXPECT_EQ(SignedByteSum(bytes, sizeof bytes), 15);
  TempFolder dir;
  EXPECT_EQ(FileChecksum(dir.Put("x", std::string(3, '\xFF')).c_str()), -3);
  EXPECT_EQ(FileChecksum((dir.path + "/none").c_str()), 0);
  EXPECT_EQ(FileChecksum(""), 0);
}
