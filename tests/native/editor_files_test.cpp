// A show made with the editor's operations goes through both variants of
// the show file and comes back with the same records: the working variant
// with every page's 160 x 120 preview, the saver variant with every picture
// and plug-in embedded. The state after an undo round-trips the same way.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "editor/page_copy.h"
#include "editor/page_items.h"
#include "editor/show_pages_edit.h"
#include "editor/undo_history.h"
#include "raster/dib.h"
#include "shell/base/file_checksum.h"
#include "shell/base/mem_block.h"
#include "show/show_writer.h"
#include "tests/native/show_read_back.h"
#include "tests/support/temp_folder.h"

namespace {
const std::string kJpeg = std::string("\xFF\xD8\xFF\xE0", 4) + "a picture's bytes";
const std::string kPlugin = "MZ a plug-in module";
const PageFrame kFrame = {1280, 800, 16};

// Two pages made by hand: a fitted, moved and turned picture with a shadow
// and a Japanese text on the first, a duplicate of it moved to the end.
void BuildShow(ShowDocument *show, const TempFolder &dir, UndoHistory *history) {
  memset(show, 0, sizeof *show);
  show->pages.pages = static_cast<Page *>(MemAlloc(0));
  ASSERT_EQ(EnsurePages(&show->pages, 1, 0), 1);
  SetShowPageSize(show->editorSettings, kFrame.width, kFrame.height);
  SetGridSpacing(show->editorSettings, kFrame.grid);
  Page *page = &show->pages.pages[0];
  int32_t index;
  ASSERT_EQ(AddFittedPicture(page, &kFrame, dir.Put("a.jpg", kJpeg).c_str(), 400, 300, 1, &index), 1);
  ASSERT_EQ(MoveItem(page, {ITEM_PICTURE, 0}, &kFrame, 37, -21), 1);
  ASSERT_EQ(TurnPicture(page, 0, &kFrame, TURN_MIRROR), 1);
  ASSERT_EQ(SetPictureShadow(page, 0, 1), 1);
  TextStyle style = {};
  style.font.lfHeight = 40;
  strcpy(style.font.lfFaceName, "@\x82\x6C\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4E");  // "@ＭＳ ゴシック"
  style.colour = 0x00FFE0B0;
  style.fadeSteps = 12;
  ASSERT_EQ(AddText(page, "\x89\xD4\r\nhana", &style, 0.25, 0.5, &index), 1);
  page->transitionId = SignedByteSum(reinterpret_cast<const unsigned char *>(kPlugin.data()), kPlugin.size());
  page->transitionWait = 7;
  PutInt32(page->transitionParams, 24);
  page->backgroundColour = 0x00336699;
  ASSERT_EQ(RecordBeforeChange(history, show), 1);
  ASSERT_EQ(DuplicatePage(&show->pages, 0), 1);
  ASSERT_EQ(InsertNewPage(&show->pages, 0), 1);
  ASSERT_EQ(MovePage(&show->pages, 0, 2), 1);
  show->pages.pages[1].displayTime = 4000;
  show->pages.pages[1].backgroundFlag = 0;
}

void AddPreviews(ShowDocument *show) {
  for (int32_t i = 0; i < show->pages.pageCount; ++i)
    show->pages.pages[i].preview = DibCreateSolid(160, 120, 24, RGB(10 * i, 20, 30));
}

MemorySink Write(const ShowDocument *show, ShowVariant variant, const std::string &plugin) {
  const char *plugins[1] = {plugin.c_str()};
  char error[256] = {};
  WriteOptions options = {variant, 0, nullptr, nullptr, plugins, 1, error, sizeof error};
  ShowSink sink;
  MemorySink memory;
  OpenMemorySink(&sink, &memory);
  EXPECT_EQ(WriteShow(show, &options, &sink), 1) << error;
  return memory;
}
}  // namespace

TEST(EditorFiles, WorkingVariantRoundTripKeepsRecordsAndPreviews) {
  TempFolder dir;
  ShowDocument show;
  UndoHistory history;
  StartHistory(&history, 10, 1u << 20);
  BuildShow(&show, dir, &history);
  AddPreviews(&show);
  MemorySink written = Write(&show, SHOW_WORKING, dir.Put("fx.tns", kPlugin));
  ShowDocument back;
  ASSERT_EQ(ReadShowBack(written.block, written.used, "", nullptr, &back), PARSE_OK);
  EXPECT_EQ(back.variant, SHOW_WORKING);
  EXPECT_EQ(SameShowRecords(&show, &back), 1);
  ASSERT_EQ(back.pages.pageCount, 3);
  for (int32_t i = 0; i < 3; ++i) {
    SIZE size = {};
    ASSERT_EQ(DibGetSize(back.pages.pages[i].preview, &size), 1);
    EXPECT_EQ(size.cx, 160);
    EXPECT_EQ(size.cy, 120);
    ASSERT_EQ(MemSize(back.pages.pages[i].preview), MemSize(show.pages.pages[i].preview));
    EXPECT_EQ(memcmp(back.pages.pages[i].preview, show.pages.pages[i].preview, MemSize(show.pages.pages[i].preview)), 0);
  }
  // The records byte for byte: the pages' picture and text blocks.
  const Page &a = show.pages.pages[0], &b = back.pages.pages[0];
  ASSERT_EQ(b.pictureCount, 1);
  EXPECT_EQ(memcmp(a.pictures, b.pictures, sizeof(PictureRecord)), 0);
  EXPECT_STREQ(PageText(&b, 0), "\x89\xD4\r\nhana");
  EXPECT_EQ(b.texts[0].font.lfFaceName[0], '@');

  // Undo takes the page list back to one page; that state round-trips too.
  ASSERT_EQ(UndoChange(&history, &show), 1);
  ASSERT_EQ(show.pages.pageCount, 1);
  MemFreePtr(written.block);
  written = Write(&show, SHOW_WORKING, dir.File("fx.tns"));
  ShowDocument undone;
  ASSERT_EQ(ReadShowBack(written.block, written.used, "", nullptr, &undone), PARSE_OK);
  EXPECT_EQ(SameShowRecords(&show, &undone), 1);
  EXPECT_EQ(undone.pages.pageCount, 1);
  MemFreePtr(written.block);
  FreeShow(&back);
  FreeShow(&undone);
  ClearHistory(&history);
  FreeShowCopy(&show);
}

TEST(EditorFiles, SaverVariantEmbedsEveryPictureAndThePluginOnce) {
  TempFolder dir;
  ShowDocument show;
  UndoHistory history;
  StartHistory(&history, 10, 1u << 20);
  BuildShow(&show, dir, &history);
  MemorySink written = Write(&show, SHOW_SAVER, dir.Put("fx.tns", kPlugin));
  ShowDocument back;
  KeptFiles files;
  ASSERT_EQ(ReadShowBack(written.block, written.used, "M", &files, &back), PARSE_OK);
  EXPECT_EQ(back.variant, SHOW_SAVER);
  ASSERT_EQ(back.pages.pageCount, 3);
  // The pictures name their extracted files; everything else is as made.
  for (int32_t i = 0; i < 3; ++i) {
    const Page &made = show.pages.pages[i], &read = back.pages.pages[i];
    ASSERT_EQ(read.pictureCount, made.pictureCount);
    for (int32_t k = 0; k < made.pictureCount; ++k) {
      PictureRecord x = made.pictures[k], y = read.pictures[k];
      EXPECT_EQ(y.size, int32_t(kJpeg.size()));
      EXPECT_EQ(files[y.path], kJpeg) << y.path;
      memset(x.path, 0, PATH_SIZE);
      memset(y.path, 0, PATH_SIZE);
      x.size = y.size = 0;
      EXPECT_EQ(memcmp(&x, &y, sizeof x), 0) << "page " << i << " picture " << k;
    }
    EXPECT_EQ(read.transitionId, made.transitionId);
    EXPECT_EQ(memcmp(read.transitionParams, made.transitionParams, TRANSITION_PARAMS_SIZE), 0);
    EXPECT_EQ(read.displayTime, made.displayTime);
    EXPECT_EQ(read.backgroundFlag, made.backgroundFlag);
    ASSERT_EQ(read.textCount, made.textCount);
    for (int32_t k = 0; k < made.textCount; ++k) EXPECT_STREQ(PageText(&read, k), PageText(&made, k));
  }
  EXPECT_EQ(memcmp(back.editorSettings, show.editorSettings, EDITOR_SETTINGS_SIZE), 0);
  // Two pages use the plug-in: it is embedded once.
  int plugins = 0;
  for (auto &file : files)
    if (file.second == kPlugin) ++plugins;
  EXPECT_EQ(plugins, 1);
  MemFreePtr(written.block);
  FreeShow(&back);
  ClearHistory(&history);
  FreeShowCopy(&show);
}
