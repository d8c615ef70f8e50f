#include "shell/path_ops.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

// "表" in CP932 is 0x95 0x5C: its trail byte is a backslash.
#define HYO "\x95\x5C"
// "ソ" is 0x83 0x5C.
#define SO "\x83\x5C"

TEST(FileNamePart, Basics) {
  EXPECT_STREQ(FileNamePart("X:\\dir\\name.scr"), "name.scr");
  EXPECT_STREQ(FileNamePart("name.scr"), "name.scr");
  EXPECT_STREQ(FileNamePart("X:name"), "name");
  EXPECT_STREQ(FileNamePart("X:\\"), "");
  EXPECT_STREQ(FileNamePart("X:\\dir\\"), "\\dir\\") << "a trailing backslash cancels what was found";
  EXPECT_STREQ(FileNamePart("dir\\sub\\"), "dir\\sub\\");
}

TEST(FileNamePart, TrailByteBackslashIsNotASeparator) {
  EXPECT_STREQ(FileNamePart("C:\\" HYO "\\" SO ".jpg"), SO ".jpg");
  EXPECT_STREQ(FileNamePart("C:\\dir\\" HYO), HYO);
}

TEST(ExtensionPart, Basics) {
  EXPECT_STREQ(ExtensionPart("x.jpg"), "jpg");
  EXPECT_STREQ(ExtensionPart("a.b\\c"), "");
  EXPECT_STREQ(ExtensionPart("name."), "");
  EXPECT_STREQ(ExtensionPart("a. b"), "");
  EXPECT_STREQ(ExtensionPart("a.tar.gz"), "gz");
  EXPECT_EQ(ExtensionPart(""), nullptr);
  EXPECT_EQ(ExtensionPart(nullptr), nullptr);
}

TEST(ExtensionPart, EmptyResultPointsAtTheEnd) {
  const char *path = "dir\\file";
  EXPECT_EQ(ExtensionPart(path), path + strlen(path));
}

TEST(ExtensionPart, TrailByteBackslashDoesNotCancelTheDot) {
  EXPECT_STREQ(ExtensionPart("a." HYO), HYO);
  EXPECT_STREQ(ExtensionPart("d\\" HYO ".bmp"), "bmp");
}

TEST(SetExtension, OverwritesAppendsAndSkipsEmpty) {
  char path[PATH_SIZE] = "name.";
  EXPECT_EQ(SetExtension(path, "TMP"), 1);
  EXPECT_STREQ(path, "name.TMP");
  strcpy(path, "photo.jpeg");
  SetExtension(path, "bmp");
  EXPECT_STREQ(path, "photo.bmp");
  strcpy(path, "dir.d\\file");
  SetExtension(path, "TMP");
  EXPECT_STREQ(path, "dir.d\\file.TMP");
  strcpy(path, "keep.me");
  EXPECT_EQ(SetExtension(path, ""), 0);
  EXPECT_STREQ(path, "keep.me");
  strcpy(path, "d\\" HYO);
  SetExtension(path, "x");
  EXPECT_STREQ(path, "d\\" HYO ".x");
}

TEST(SetExtension, RefusesToOverflow) {
  char path[PATH_SIZE];
  memset(path, 'a', PATH_SIZE - 2);
  path[PATH_SIZE - 2] = 0;  // 258 characters
  EXPECT_EQ(SetExtension(path, "TMP"), 0);
  EXPECT_EQ(strlen(path), PATH_SIZE - 2u);
  path[PATH_SIZE - 6] = 0;  // 254 characters: ".TMP" makes 258
  EXPECT_EQ(SetExtension(path, "TMP"), 1);
  EXPECT_EQ(strlen(path), 258u);
}

TEST(JoinPath, Separators) {
  char path[PATH_SIZE] = "X:\\dir\\";
  JoinPath(path, "name");
  EXPECT_STREQ(path, "X:\\dir\\name");
  strcpy(path, "\\\\server\\share");
  JoinPath(path, "name");
  EXPECT_STREQ(path, "\\\\server\\share\\name");
  strcpy(path, "X:\\a\\\\b");
  JoinPath(path, "\\c");
  EXPECT_STREQ(path, "X:\\a\\b\\c");
}

TEST(JoinPath, TrailByteBackslashIsKept) {
  char path[PATH_SIZE] = "X:\\" HYO;
  JoinPath(path, "f");
  EXPECT_STREQ(path, "X:\\" HYO "\\f") << "0x5C after a lead byte is not a doubled separator";
  strcpy(path, "X:\\" HYO "\\");
  JoinPath(path, "g");
  EXPECT_STREQ(path, "X:\\" HYO "\\g");
}

TEST(JoinPath, RefusesToOverflow) {
  char path[PATH_SIZE];
  memset(path, 'a', 250);
  path[250] = 0;
  EXPECT_EQ(JoinPath(path, "123456789"), 0);
  EXPECT_EQ(strlen(path), 250u);
  EXPECT_EQ(JoinPath(path, "12345678"), 1);
  EXPECT_EQ(strlen(path), 259u);
}

TEST(ProgramRelativePath, ExpandAndContract) {
  char out[PATH_SIZE];
  ProgramRelativePath(out, "@\\pic\\a.jpg", "C:\\Saver", PATH_EXPAND);
  EXPECT_STREQ(out, "C:\\Saver\\pic\\a.jpg");
  ProgramRelativePath(out, "D:\\a.jpg", "C:\\Saver", PATH_EXPAND);
  EXPECT_STREQ(out, "D:\\a.jpg");
  ProgramRelativePath(out, "c:\\saver\\pic\\a.jpg", "C:\\Saver", PATH_CONTRACT);
  EXPECT_STREQ(out, "@\\pic\\a.jpg");
  ProgramRelativePath(out, "C:\\Saver", "C:\\Saver", PATH_CONTRACT);
  EXPECT_STREQ(out, "C:\\Saver") << "only a longer path is contracted";
}

TEST(ProgramRelativePath, ExpandRefusesToOverflow) {
  std::string folder(200, 'f'), stored = "@" + std::string(100, 's');
  char out[PATH_SIZE] = "untouched";
  EXPECT_EQ(ProgramRelativePath(out, stored.c_str(), folder.c_str(), PATH_EXPAND), 0);
  EXPECT_STREQ(out, "untouched");
}

TEST(ProgramRelativePath, ContractRefusesToOverflow) {
  // A path beginning with the folder whose "@" + rest would not fit in PATH_SIZE.
  std::string folder = "C:\\Saver", rest(300, 'r');
  std::string path = folder + rest;
  char out[PATH_SIZE] = "untouched";
  EXPECT_EQ(ProgramRelativePath(out, path.c_str(), folder.c_str(), PATH_CONTRACT), 0);
  EXPECT_STREQ(out, "untouched");
  // "@" + 258 characters is the longest result that fits.
  path = folder + std::string(PATH_SIZE - 2, 'r');
  EXPECT_EQ(ProgramRelativePath(out, path.c_str(), folder.c_str(), PATH_CONTRACT), 1);
  EXPECT_EQ(strlen(out), PATH_SIZE - 1u);
  EXPECT_EQ(out[0], '@');
  path += "r";
  EXPECT_EQ(ProgramRelativePath(out, path.c_str(), folder.c_str(), PATH_CONTRACT), 0);
}

TEST(PathPrefixEquals, CaseInsensitiveForAsciiOnly) {
  EXPECT_TRUE(PathPrefixEquals("C:\\WINDOWS\\system32", "c:\\windows"));
  EXPECT_FALSE(PathPrefixEquals("C:\\WIN", "c:\\windows"));
  EXPECT_TRUE(PathPrefixEquals("C:\\" HYO "\\x", "C:\\" HYO));
  EXPECT_FALSE(PathPrefixEquals("C:\\\x95\x7C", "C:\\\x95\x5C")) << "trail bytes compare exactly";
}

TEST(EndsWithBackslash, TrailByteDoesNotCount) {
  EXPECT_TRUE(EndsWithBackslash("C:\\"));
  EXPECT_FALSE(EndsWithBackslash("C:\\" HYO));
  EXPECT_FALSE(EndsWithBackslash(""));
}
