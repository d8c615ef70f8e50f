#include "show/show_stream.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "shell/mem_block.h"
#include "show_bytes.h"

namespace {
// Records what the parser asks to have written, and pretends files exist.
struct Capture {
  std::map<std::string, std::string> written;
  std::vector<std::string> writeOrder;
  std::vector<std::string> names;
  std::set<std::string> existing;
  int failPlugins = 0;
  int passwordAnswer = 1;
  std::string askedPassword;
};

int CaptureWrite(void *context, MediaKind kind, const char *name, const unsigned char *bytes, uint32_t size) {
  auto *c = static_cast<Capture *>(context);
  if (kind == MEDIA_PLUGIN && c->failPlugins) return 0;
  c->written[name] = std::string(reinterpret_cast<const char *>(bytes), size);
  c->writeOrder.push_back(name);
  c->existing.insert(name);
  return 1;
}
void CaptureName(void *context, const char *name) { static_cast<Capture *>(context)->names.push_back(name); }
int CaptureExists(void *context, const char *name) { return static_cast<Capture *>(context)->existing.count(name); }
int CaptureAsk(void *context, const char *password) {
  auto *c = static_cast<Capture *>(context);
  c->askedPassword = password;
  return c->passwordAnswer;
}

struct Loaded {
  ShowDocument show = {};
  Capture capture;
  Loaded() { show.pages.pages = static_cast<Page *>(MemAlloc(0)); }
  ~Loaded() {
    DropAllPages(&show.pages, nullptr);
    MemFreePtr(show.pages.pages);
  }
  ParseResult Parse(const Bytes &b, int mode, int32_t page = 0, int32_t interval = -1, int ask = 0) {
    ShowReader reader;
    MemoryStream stream;
    OpenMemoryReader(&reader, &stream, b.data.data(), b.size());
    ParseRequest request = {};
    request.mode = mode;
    request.pageIndex = page;
    request.askPassword = ask;
    request.intervalOverride = interval;
    request.mediaFolder = "M";
    request.hooks = {&capture, nullptr, CaptureName, CaptureExists, CaptureWrite, CaptureAsk, nullptr,
                     nullptr, nullptr, nullptr, nullptr};
    return ParseShow(&reader, &request, &show);
  }
};

// A saver stream with two pages: page 0 has one picture, two texts, one
// sound and a plug-in; page 1 reuses the transition (no plug-in bytes) and
// has a picture of size 0.
Bytes TwoPageSaver(const std::string &password = "") {
  Bytes b;
  Header(b, "VrmKtScrDat00", 2, 8);
  SaverPrefix(b, "http://example.jp/", "Example", 11, 22);
  MusicSlot(b, "mid", "MThd-music-0");
  MusicSlot(b, "wav", "RIFF-music-1");
  EmptySlots(b, 18);
  Password(b, password);
  PageSpec p0;
  p0.pictures = 1;
  p0.texts = 2;
  p0.sounds = 1;
  p0.colour = 0x0000FF;
  p0.transition = 1234;
  p0.wait = 5;
  p0.pluginSize = 6;
  p0.time = 7000;
  PageRecordBytes(b, 0, p0);
  PictureRecordBytes(b, 4, "C:\\TEMP\\A1.TMP", 0.1, 0.2, 0.6, 0.7, 1, 1);
  b.Raw("JPG0");
  TextRecordBytes(b, 5, 0x00FFFFFF, 10);
  TextRecordBytes(b, 0);
  b.Raw("hello");
  SoundRecordBytes(b, 3, "C:\\voice\\v.wav");
  b.Raw("SND");
  b.Raw("PLUGIN");
  PageSpec p1;
  p1.pictures = 2;
  p1.transition = 1234;
  p1.flag = 0;
  p1.time = 3000;
  PageRecordBytes(b, 1, p1);
  PictureRecordBytes(b, 0, "C:\\missing.jpg");
  PictureRecordBytes(b, 2, "C:\\b.jpeg");
  b.Raw("J2");
  return b;
}
}  // namespace

TEST(ShowStream, FullLoadReadsEveryField) {
  Loaded l;
  Bytes b = TwoPageSaver();
  ASSERT_EQ(l.Parse(b, LoadFull), PARSE_OK);
  const ShowDocument &s = l.show;
  EXPECT_EQ(s.variant, SHOW_SAVER);
  EXPECT_EQ(s.editorSettings[0], 8);
  EXPECT_STREQ(s.linkAddress, "http://example.jp/");
  EXPECT_STREQ(s.linkCaption, "Example");
  EXPECT_EQ(s.carriedA, 11);
  EXPECT_EQ(s.carriedB, 22);
  EXPECT_STREQ(s.bgmPaths.paths[0], "M\\m_0_0.mid");
  EXPECT_STREQ(s.bgmPaths.paths[1], "M\\m_1_1.wav");
  EXPECT_STREQ(s.bgmPaths.paths[2], "");
  ASSERT_EQ(s.pages.pageCount, 2);
  const Page &p0 = s.pages.pages[0];
  EXPECT_EQ(p0.backgroundColour, 0x0000FFu);
  EXPECT_EQ(p0.transitionId, 1234);
  EXPECT_EQ(p0.transitionWait, 5);
  EXPECT_EQ(p0.transitionParams[0], 1);
  EXPECT_EQ(p0.displayTime, 7000);
  ASSERT_EQ(p0.pictureCount, 1);
  EXPECT_STREQ(p0.pictures[0].path, "M\\i_0_0.TMP");
  EXPECT_EQ(p0.pictures[0].orientation, 1);
  EXPECT_EQ(p0.pictures[0].placement[2], 0.6);
  ASSERT_EQ(p0.textCount, 2);
  EXPECT_STREQ(PageText(&p0, 0), "hello");
  EXPECT_STREQ(PageText(&p0, 1), "");
  EXPECT_EQ(p0.texts[0].bufferField, 0u);
  EXPECT_EQ(p0.texts[0].fadeSteps, 10);
  ASSERT_EQ(p0.soundCount, 1);
  EXPECT_STREQ(p0.sounds[0].path, "M\\s_0_0.wav");
  const Page &p1 = s.pages.pages[1];
  EXPECT_EQ(p1.backgroundFlag, 0);
  EXPECT_EQ(p1.displayTime, 3000);
  EXPECT_EQ(p1.transitionId, 1234);
  ASSERT_EQ(p1.pictureCount, 2);
  EXPECT_STREQ(p1.pictures[0].path, "C:\\missing.jpg");  // size 0: path kept, nothing written
  EXPECT_STREQ(p1.pictures[1].path, "M\\i_1_1.jpeg");

  const auto &w = l.capture.written;
  EXPECT_EQ(w.at("M\\m_0_0.mid"), "MThd-music-0");
  EXPECT_EQ(w.at("M\\m_1_1.wav"), "RIFF-music-1");
  EXPECT_EQ(w.at("M\\i_0_0.TMP"), "JPG0");
  EXPECT_EQ(w.at("M\\s_0_0.wav"), "SND");
  EXPECT_EQ(w.at("M\\t_0_0.tns"), "PLUGIN");
  EXPECT_EQ(w.at("M\\i_1_1.jpeg"), "J2");
  EXPECT_EQ(w.size(), 6u);
  // Names of pictures, sounds and plug-ins, in order; music is not listed.
  std::vector<std::string> names = {"M\\i_0_0.TMP", "M\\s_0_0.wav", "M\\t_0_0.tns", "M\\i_1_0.jpg", "M\\i_1_1.jpeg"};
  EXPECT_EQ(l.capture.names, names);
}

TEST(ShowStream, PlaybackModeWritesMusicAndPluginsOnly) {
  Loaded l;
  Bytes b = TwoPageSaver();
  ASSERT_EQ(l.Parse(b, LoadForPlayback), PARSE_OK);
  std::vector<std::string> order = {"M\\m_0_0.mid", "M\\m_1_1.wav", "M\\t_0_0.tns"};
  EXPECT_EQ(l.capture.writeOrder, order);
  EXPECT_EQ(l.capture.names.size(), 5u);
  // Paths stay as stored until the page's media are extracted.
  EXPECT_STREQ(l.show.pages.pages[0].pictures[0].path, "C:\\TEMP\\A1.TMP");
  EXPECT_STREQ(PageText(&l.show.pages.pages[0], 0), "hello");

  // Mode 2 for page 0: its picture and sound, once.
  l.capture.writeOrder.clear();
  ASSERT_EQ(l.Parse(b, LoadPageMedia, 0), PARSE_OK);
  order = {"M\\m_0_0.mid", "M\\m_1_1.wav", "M\\i_0_0.TMP", "M\\s_0_0.wav"};
  EXPECT_EQ(l.capture.writeOrder, order);
  EXPECT_STREQ(l.show.pages.pages[0].pictures[0].path, "M\\i_0_0.TMP");
  EXPECT_STREQ(l.show.pages.pages[0].sounds[0].path, "M\\s_0_0.wav");
  EXPECT_STREQ(l.show.pages.pages[1].pictures[1].path, "C:\\b.jpeg");
  // Again: the files exist, only the music is written.
  l.capture.writeOrder.clear();
  ASSERT_EQ(l.Parse(b, LoadPageMedia, 0), PARSE_OK);
  order = {"M\\m_0_0.mid", "M\\m_1_1.wav"};
  EXPECT_EQ(l.capture.writeOrder, order);
  // Page 1: the size-0 picture writes nothing.
  l.capture.writeOrder.clear();
  ASSERT_EQ(l.Parse(b, LoadPageMedia, 1), PARSE_OK);
  order = {"M\\m_0_0.mid", "M\\m_1_1.wav", "M\\i_1_1.jpeg"};
  EXPECT_EQ(l.capture.writeOrder, order);
  EXPECT_STREQ(PageText(&l.show.pages.pages[0], 0), "hello");  // texts untouched by mode 2
}

TEST(ShowStream, PageMediaModeRejectsAShowThatNoLongerMatches) {
  Loaded l;
  Bytes b = TwoPageSaver();
  ASSERT_EQ(l.Parse(b, LoadForPlayback), PARSE_OK);
  Bytes changed = TwoPageSaver();
  // The first page now claims two pictures.
  size_t pageStart = 132 + 4 * 5 + 18 + 7 + (4 + 32 + 4 + 12) * 2 + 18 * 4 + 512;
  ASSERT_EQ(changed.data[pageStart + 8], 1);
  changed.SetInt(pageStart + 8, 2);
  EXPECT_EQ(l.Parse(changed, LoadPageMedia, 0), PARSE_FAILED);
}

TEST(ShowStream, MusicNamesSkipAnEmptySlot) {
  Loaded l;
  Bytes b;
  Header(b, "VrmKtScrDat00", 1);
  SaverPrefix(b);
  MusicSlot(b, "mid", "A");
  EmptySlots(b, 1);
  MusicSlot(b, "wav", "B");
  EmptySlots(b, 17);
  Password(b, "");
  PageRecordBytes(b, 0, PageSpec());
  ASSERT_EQ(l.Parse(b, LoadForPlayback), PARSE_OK);
  EXPECT_STREQ(l.show.bgmPaths.paths[0], "M\\m_0_0.mid");
  EXPECT_STREQ(l.show.bgmPaths.paths[1], "M\\m_2_1.wav");
  EXPECT_EQ(l.capture.written.at("M\\m_2_1.wav"), "B");
}

TEST(ShowStream, UnsafeExtensionsGetSafeNames) {
  Loaded l;
  Bytes b;
  Header(b, "VrmKtScrDat00", 1);
  SaverPrefix(b);
  b.Int(1);  // a slot extension without its NUL, over a wave file
  b.Raw(std::string(32, 'x'));
  b.Int(12);
  b.Raw(std::string("RIFF\0\0\0\0WAVE", 12));
  MusicSlot(b, "..\\..\\x", "MThd");
  EmptySlots(b, 18);
  Password(b, "");
  PageSpec p;
  p.pictures = 1;
  p.sounds = 1;
  PageRecordBytes(b, 0, p);
  PictureRecordBytes(b, 1, "C:\\a.j\\..\\..\\..\\WINDOWS\\x");
  b.Raw("P");
  SoundRecordBytes(b, 1, "C:\\voice." + std::string(300, 'w'));
  b.Raw("S");
  ASSERT_EQ(l.Parse(b, LoadFull), PARSE_OK);
  EXPECT_STREQ(l.show.bgmPaths.paths[0], "M\\m_0_0.wav");
  EXPECT_STREQ(l.show.bgmPaths.paths[1], "M\\m_1_1.mid");
  EXPECT_STREQ(l.show.pages.pages[0].pictures[0].path, "M\\i_0_0.jpg");
  EXPECT_STREQ(l.show.pages.pages[0].sounds[0].path, "M\\s_0_0.dat");
  for (const auto &entry : l.capture.written) EXPECT_EQ(entry.first.find(".."), std::string::npos) << entry.first;
}

TEST(ShowStream, ZeroItemPageIs256Bytes) {
  Loaded l;
  Bytes b;
  Header(b, "VrmKtScrDat00", 2);
  SaverPrefix(b);
  EmptySlots(b, 20);
  Password(b, "");
  PageRecordBytes(b, 0, PageSpec());
  PageRecordBytes(b, 1, PageSpec());
  ASSERT_EQ(l.Parse(b, LoadFull), PARSE_OK);
  EXPECT_EQ(l.show.pages.pageCount, 2);
  // One byte fewer: the second page is short.
  Loaded cut;
  Bytes c = b;
  c.data.pop_back();
  EXPECT_EQ(cut.Parse(c, LoadFull), PARSE_FAILED);
}

TEST(ShowStream, WorkingVariantCarriesPathsAndPreview) {
  Loaded l;
  Bytes b;
  Header(b, "VrmKtTmpDat00", 1);
  size_t table = b.size();
  b.Zeros(5200);
  memcpy(&b.data[table], "C:\\music\\a.mid", 14);
  memcpy(&b.data[table + 260 * 19], "C:\\music\\z.wav", 14);
  PageSpec p;
  p.preview = 6;
  p.pictures = 1;
  p.texts = 1;
  p.sounds = 1;
  PageRecordBytes(b, 0, p);
  b.Raw("PREVIE");
  PictureRecordBytes(b, 999, "@pics\\a.bmp");  // sizes are not followed by bytes here
  TextRecordBytes(b, 2);
  b.Raw("hi");
  SoundRecordBytes(b, 999, "@v.wav");
  ASSERT_EQ(l.Parse(b, LoadFull), PARSE_OK);
  EXPECT_EQ(l.show.variant, SHOW_WORKING);
  EXPECT_STREQ(l.show.bgmPaths.paths[0], "C:\\music\\a.mid");
  EXPECT_STREQ(l.show.bgmPaths.paths[19], "C:\\music\\z.wav");
  const Page &page = l.show.pages.pages[0];
  ASSERT_NE(page.preview, nullptr);
  EXPECT_EQ(MemSize(page.preview), 6u);
  EXPECT_EQ(0, memcmp(page.preview, "PREVIE", 6));
  EXPECT_STREQ(page.pictures[0].path, "@pics\\a.bmp");
  EXPECT_STREQ(PageText(&page, 0), "hi");
  EXPECT_STREQ(page.sounds[0].path, "@v.wav");
  EXPECT_TRUE(l.capture.written.empty());
  EXPECT_TRUE(l.capture.names.empty());
}

TEST(ShowStream, IntervalOverride) {
  Bytes b = TwoPageSaver();
  for (int32_t interval : {-1, 0}) {
    Loaded l;
    ASSERT_EQ(l.Parse(b, LoadForPlayback, 0, interval), PARSE_OK);
    EXPECT_EQ(l.show.pages.pages[0].displayTime, 7000);
    EXPECT_EQ(l.show.pages.pages[1].displayTime, 3000);
  }
  Loaded five;
  ASSERT_EQ(five.Parse(b, LoadForPlayback, 0, 5), PARSE_OK);
  EXPECT_EQ(five.show.pages.pages[0].displayTime, 5000);
  EXPECT_EQ(five.show.pages.pages[1].displayTime, 5000);
  Loaded huge;
  ASSERT_EQ(huge.Parse(b, LoadForPlayback, 0, 3000000), PARSE_OK);
  EXPECT_EQ(huge.show.pages.pages[0].displayTime, INT32_MAX);
}

TEST(ShowStream, PluginWriteFailureKeepsPageDefaults) {
  Loaded l;
  l.capture.failPlugins = 1;
  ASSERT_EQ(l.Parse(TwoPageSaver(), LoadFull), PARSE_OK);
  const Page &p0 = l.show.pages.pages[0];
  EXPECT_EQ(p0.transitionId, 0);
  EXPECT_EQ(p0.displayTime, 10000);
  EXPECT_EQ(p0.backgroundColour, 0u);
  EXPECT_EQ(p0.backgroundFlag, 1);
  EXPECT_EQ(p0.pictureCount, 1);  // the items stay
  EXPECT_EQ(l.show.pages.pages[1].transitionId, 1234);
}

TEST(ShowStream, PasswordPrompt) {
  Bytes b = TwoPageSaver("secret");
  Loaded noAsk;
  ASSERT_EQ(noAsk.Parse(b, LoadFull), PARSE_OK);
  EXPECT_STREQ(noAsk.show.password, "secret");
  EXPECT_EQ(noAsk.capture.askedPassword, "");
  Loaded cancel;
  cancel.capture.passwordAnswer = 0;
  EXPECT_EQ(cancel.Parse(b, LoadFull, 0, -1, 1), PARSE_CANCELLED);
  EXPECT_EQ(cancel.capture.askedPassword, "secret");
  EXPECT_EQ(cancel.show.pages.pageCount, 0);
  EXPECT_STREQ(cancel.show.bgmPaths.paths[0], "");
  Loaded ok;
  EXPECT_EQ(ok.Parse(b, LoadFull, 0, -1, 1), PARSE_OK);
  // No password: no prompt.
  Loaded none;
  none.capture.passwordAnswer = 0;
  EXPECT_EQ(none.Parse(TwoPageSaver(), LoadFull, 0, -1, 1), PARSE_OK);
}

TEST(ShowStream, LongLinkTextsAreCut) {
  Loaded l;
  Bytes b;
  Header(b, "VrmKtScrDat00", 1);
  std::string link(300, 'a');
  link[254] = 'Z';
  link[255] = 'Q';
  SaverPrefix(b, link, std::string(1000, 'c'), 1, 77);
  EmptySlots(b, 20);
  Password(b, "");
  PageRecordBytes(b, 0, PageSpec());
  ASSERT_EQ(l.Parse(b, LoadFull), PARSE_OK);
  EXPECT_EQ(strlen(l.show.linkAddress), 255u);
  EXPECT_EQ(l.show.linkAddress[254], 'Z');
  EXPECT_EQ(strlen(l.show.linkCaption), 255u);
  EXPECT_EQ(l.show.carriedB, 77);  // the rest of the texts was skipped
}

TEST(ShowStream, BadCountsAndSizesFail) {
  struct Case {
    const char *what;
    size_t offset;  // from the start of the first page record
    int32_t value;
  };
  // Offsets into TwoPageSaver's first page.
  const Case cases[] = {{"negative picture count", 8, -1},
                        {"huge picture count", 8, 0x7FFFFFFF},
                        {"negative text count", 12, -5},
                        {"huge sound count", 16, 0x40000000},
                        {"negative picture size", 256, -1},
                        {"picture size past the end", 256, 0x7FFFFFF0},
                        {"huge plug-in size", 112, 0x7FFFFFFF},
                        {"negative plug-in size", 112, -2},
                        {"text length past the end", 256 + 392 + 4, 0x7FFFFFFF},
                        {"negative text length", 256 + 392 + 4, -1}};
  size_t pageStart = 132 + 4 * 5 + 18 + 7 + (4 + 32 + 4 + 12) * 2 + 18 * 4 + 512;
  for (const Case &c : cases) {
    Bytes b = TwoPageSaver();
    b.SetInt(pageStart + c.offset, c.value);
    Loaded l;
    EXPECT_EQ(l.Parse(b, LoadFull), PARSE_FAILED) << c.what;
  }
  for (int32_t pages : {-1, 0, 3, 0x7FFFFFFF}) {
    Bytes b = TwoPageSaver();
    b.SetInt(16, pages);
    Loaded l;
    EXPECT_EQ(l.Parse(b, LoadFull), PARSE_FAILED) << pages;
    EXPECT_LE(l.show.pages.pageCount, 3);
  }
  Bytes link = TwoPageSaver();
  link.SetInt(132 + 8, -1);
  Loaded l1;
  EXPECT_EQ(l1.Parse(link, LoadFull), PARSE_FAILED);
  Bytes music = TwoPageSaver();
  music.SetInt(132 + 4 * 5 + 18 + 7 + 4 + 32, 0x7FFFFFFF);
  Loaded l2;
  EXPECT_EQ(l2.Parse(music, LoadFull), PARSE_FAILED);
}

TEST(ShowStream, EveryCutStreamFailsAndUnknownMagicFails) {
  Bytes b = TwoPageSaver("pw");
  for (size_t cut = 0; cut < b.size(); ++cut) {
    ShowReader reader;
    MemoryStream stream;
    OpenMemoryReader(&reader, &stream, b.data.data(), cut);
    ShowSummary summary;
    ASSERT_EQ(WalkShow(&reader, &summary), 0) << cut;
  }
  Bytes bad = b;
  bad.data[12] = '1';
  ShowReader reader;
  MemoryStream stream;
  OpenMemoryReader(&reader, &stream, bad.data.data(), bad.size());
  ShowSummary summary;
  EXPECT_EQ(WalkShow(&reader, &summary), 0);
}

TEST(ShowStream, WalkCountsEverything) {
  Bytes b = TwoPageSaver();
  ShowReader reader;
  MemoryStream stream;
  OpenMemoryReader(&reader, &stream, b.data.data(), b.size());
  ShowSummary s;
  ASSERT_EQ(WalkShow(&reader, &s), 1);
  EXPECT_EQ(s.variant, SHOW_SAVER);
  EXPECT_EQ(s.pageCount, 2);
  EXPECT_EQ(s.musicCount, 2);
  EXPECT_EQ(s.pictureCount, 3);
  EXPECT_EQ(s.textCount, 2);
  EXPECT_EQ(s.soundCount, 1);
  EXPECT_EQ(s.pluginCount, 1);
  EXPECT_EQ(s.mediaBytes, 12u + 12 + 4 + 3 + 6 + 2);
}

TEST(ShowStream, ExtractedNamesNeverOverflowAPathBuffer) {
  char name[PATH_SIZE];
  ASSERT_EQ(FormatMediaName(name, "C:\\T", 'i', 12, 3, "jpeg"), 1);
  EXPECT_STREQ(name, "C:\\T\\i_12_3.jpeg");
  ASSERT_EQ(FormatMediaName(name, "C:\\T", 't', 4, 0, nullptr), 1);
  EXPECT_STREQ(name, "C:\\T\\t_4_0.tns");
  std::string folder(259 - 10, 'f');  // "\\m_0_0.mid" is 10 more: exactly 259
  EXPECT_EQ(FormatMediaName(name, folder.c_str(), 'm', 0, 0, "mid"), 1);
  EXPECT_EQ(strlen(name), 259u);
  folder += "f";
  EXPECT_EQ(FormatMediaName(name, folder.c_str(), 'm', 0, 0, "mid"), 0);
  EXPECT_STREQ(name, "");

  // A show whose media folder leaves no room for a name fails to load.
  Bytes b;
  Header(b, "VrmKtScrDat00", 1);
  SaverPrefix(b);
  MusicSlot(b, "mid", "A");
  EmptySlots(b, 19);
  Password(b, "");
  PageRecordBytes(b, 0, PageSpec());
  ShowDocument show = {};
  show.pages.pages = static_cast<Page *>(MemAlloc(0));
  ShowReader reader;
  MemoryStream stream;
  OpenMemoryReader(&reader, &stream, b.data.data(), b.size());
  ParseRequest request = {};
  request.mode = LoadFull;
  request.mediaFolder = folder.c_str();
  EXPECT_EQ(ParseShow(&reader, &request, &show), PARSE_FAILED);
  DropAllPages(&show.pages, nullptr);
  MemFreePtr(show.pages.pages);
}

namespace {
// Streamed writing: every piece handed over, and which files were closed
// complete, deleted or reported.
struct PieceCapture {
  std::map<std::string, std::string> files;  // what each file holds when closed
  std::map<std::string, bool> complete;
  std::vector<std::string> failed;
  size_t largestPiece = 0;
  std::string failName;  // the file whose second piece fails to write
};
struct PieceFile {
  PieceCapture *capture;
  std::string name, bytes;
  int pieces;
};
void *OpenPieces(void *context, MediaKind, const char *name) {
  return new PieceFile{static_cast<PieceCapture *>(context), name, "", 0};
}
int WritePiece(void *, void *file, const unsigned char *bytes, uint32_t size) {
  auto *f = static_cast<PieceFile *>(file);
  if (size > f->capture->largestPiece) f->capture->largestPiece = size;
  if (f->name == f->capture->failName && ++f->pieces == 2) return 0;
  f->bytes.append(reinterpret_cast<const char *>(bytes), size);
  return 1;
}
void ClosePieces(void *, void *file, const char *name, int complete) {
  auto *f = static_cast<PieceFile *>(file);
  f->capture->files[name] = f->bytes;
  f->capture->complete[name] = complete != 0;
  delete f;
}
void NotePieceFailure(void *context, MediaKind, const char *name) {
  static_cast<PieceCapture *>(context)->failed.push_back(name);
}

std::string Pattern(size_t size, int seed) {
  std::string s(size, 0);
  for (size_t i = 0; i < size; ++i) s[i] = char((i * 7 + size_t(seed) + i / 251) & 0xFF);
  return s;
}
}  // namespace

// Files larger than a piece reach the hooks in pieces no larger than
// MEDIA_CHUNK_SIZE, byte for byte; a file whose write fails part way is
// closed incomplete and reported, and the files after it still come out right.
TEST(ShowStream, StreamedWritingPassesFilesInPieces) {
  const std::string music = "RIFF" + Pattern(4, 1) + "WAVE" + Pattern(MEDIA_CHUNK_SIZE + 5, 2);
  const std::string big = Pattern(2 * MEDIA_CHUNK_SIZE + 17, 3), small = "J2", plugin = Pattern(MEDIA_CHUNK_SIZE, 4);
  Bytes b;
  Header(b, "VrmKtScrDat00", 1);
  SaverPrefix(b);
  MusicSlot(b, "w?v", music);  // not a plain extension: the first bytes name it
  EmptySlots(b, 19);
  Password(b, "");
  PageSpec p;
  p.pictures = 2;
  p.transition = 77;
  p.pluginSize = int32_t(plugin.size());
  PageRecordBytes(b, 0, p);
  PictureRecordBytes(b, int32_t(big.size()), "C:\\big.jpg");
  PictureRecordBytes(b, int32_t(small.size()), "C:\\small.jpg");
  b.Raw(big);
  b.Raw(small);
  b.Raw(plugin);

  for (bool failing : {false, true}) {
    PieceCapture capture;
    if (failing) capture.failName = "M\\i_0_0.jpg";
    ShowDocument show = {};
    show.pages.pages = static_cast<Page *>(MemAlloc(0));
    ShowReader reader;
    MemoryStream stream;
    OpenMemoryReader(&reader, &stream, b.data.data(), b.size());
    ParseRequest request = {};
    request.mode = LoadFull;
    request.intervalOverride = -1;
    request.mediaFolder = "M";
    request.hooks.context = &capture;
    request.hooks.openFile = OpenPieces;
    request.hooks.writeChunk = WritePiece;
    request.hooks.closeFile = ClosePieces;
    request.hooks.writeFailed = NotePieceFailure;
    ASSERT_EQ(ParseShow(&reader, &request, &show), PARSE_OK) << failing;
    EXPECT_EQ(reader.remaining, 0u);
    EXPECT_LE(capture.largestPiece, size_t(MEDIA_CHUNK_SIZE));
    EXPECT_STREQ(show.bgmPaths.paths[0], "M\\m_0_0.wav");
    EXPECT_TRUE(capture.files.at("M\\m_0_0.wav") == music);
    EXPECT_TRUE(capture.files.at("M\\i_0_1.jpg") == small);
    EXPECT_TRUE(capture.files.at("M\\t_0_0.tns") == plugin);
    EXPECT_TRUE(capture.complete.at("M\\i_0_1.jpg"));
    EXPECT_EQ(show.pages.pages[0].transitionId, 77);
    if (failing) {
      EXPECT_FALSE(capture.complete.at("M\\i_0_0.jpg"));
      EXPECT_EQ(capture.failed, std::vector<std::string>{"M\\i_0_0.jpg"});
    } else {
      EXPECT_TRUE(capture.files.at("M\\i_0_0.jpg") == big);
      EXPECT_TRUE(capture.complete.at("M\\i_0_0.jpg"));
      EXPECT_TRUE(capture.failed.empty());
    }
    DropAllPages(&show.pages, nullptr);
    MemFreePtr(show.pages.pages);
  }
}
