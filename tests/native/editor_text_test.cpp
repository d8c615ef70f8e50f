// Text and paths the show stores in code page 932: what converts, what is
// refused by name, and the path rule (the path, its short name, or a copy).
#include "editor/cp932_text.h"

#include <gtest/gtest.h>

namespace {
struct FakeSystem {
  std::u16string shortForm, copyPath;
  int shortAsked = 0, copied = 0;
};
std::u16string ShortName(void *context, const std::u16string &) {
  auto *s = static_cast<FakeSystem *>(context);
  ++s->shortAsked;
  return s->shortForm;
}
std::u16string CopyFile(void *context, const std::u16string &) {
  auto *s = static_cast<FakeSystem *>(context);
  ++s->copied;
  return s->copyPath;
}
}  // namespace

TEST(EditorText, ConvertsWhatCp932HoldsAndNamesTheRest) {
  std::string out;
  std::u16string refused = u"stale";
  // 日 93 FA, 本 96 7B, 語 8C EA, half-width カ B6, ～ (full-width tilde) 81 60.
  ASSERT_EQ(ToCp932(u"日本語 aｶ～\r\n", &out, &refused), 1);
  EXPECT_EQ(out, "\x93\xFA\x96\x7B\x8C\xEA a\xB6\x81\x60\r\n");
  EXPECT_TRUE(refused.empty());
  EXPECT_EQ(FromCp932(out), u"日本語 aｶ～\r\n");
  // An accented Latin letter, the euro sign and an emoji (a surrogate pair)
  // have no CP932 form: each is named once, nothing is half converted.
  ASSERT_EQ(ToCp932(u"café € 😀 é€", &out, &refused), 0);
  EXPECT_EQ(refused, u"é€😀");
  EXPECT_TRUE(out.empty());
  ASSERT_EQ(ToCp932(std::u16string(u"a\0b", 3), &out, &refused), 0);
  EXPECT_EQ(refused, std::u16string(1, u'\0'));
  EXPECT_EQ(FromCp932("\x82\xA0"), u"あ");
}

TEST(EditorText, PicturePathsThatCannotBeStored) {
  FakeSystem sys;
  PathStoreHooks hooks = {&sys, ShortName, CopyFile};
  std::string out;
  // A Japanese path is stored as it is.
  EXPECT_EQ(StorePicturePath(u"C:\\写真\\花.jpg", &hooks, &out), STORED_AS_IS);
  EXPECT_EQ(out, "C:\\\x8E\xCA\x90\x5E\\\x89\xD4.jpg");
  EXPECT_EQ(sys.shortAsked, 0);
  // A character outside CP932: the short name.
  sys.shortForm = u"C:\\CAFE~1\\A.JPG";
  EXPECT_EQ(StorePicturePath(u"C:\\Café\\a.jpg", &hooks, &out), STORED_SHORT_NAME);
  EXPECT_EQ(out, "C:\\CAFE~1\\A.JPG");
  // Too long: 130 kanji are 260 bytes, one more than a path field holds.
  std::u16string longPath = u"C:\\" + std::u16string(128, u'画') + u".j";
  EXPECT_EQ(StorePicturePath(longPath, &hooks, &out), STORED_SHORT_NAME);
  std::u16string fits = u"C:\\" + std::u16string(126, u'画') + u".j";  // 3 + 252 + 2 = 257 bytes
  EXPECT_EQ(StorePicturePath(fits, &hooks, &out), STORED_AS_IS);
  EXPECT_EQ(out.size(), 257u);
  // No short name (or one that cannot be stored either): a copy.
  sys.shortForm = u"C:\\Café\\a.jpg";
  sys.copyPath = u"C:\\Users\\u\\AppData\\Local\\VORMKIT\\Pictures\\1.jpg";
  EXPECT_EQ(StorePicturePath(u"C:\\Café\\a.jpg", &hooks, &out), STORED_COPY);
  EXPECT_EQ(out, "C:\\Users\\u\\AppData\\Local\\VORMKIT\\Pictures\\1.jpg");
  EXPECT_EQ(sys.copied, 1);
  sys.copyPath.clear();
  EXPECT_EQ(StorePicturePath(u"C:\\Café\\a.jpg", &hooks, &out), STORED_NONE);
  EXPECT_TRUE(out.empty());
  EXPECT_EQ(StorePicturePath(u"C:\\Café\\a.jpg", nullptr, &out), STORED_NONE);
}
