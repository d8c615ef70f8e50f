// Files, folders and temp names under Wine.
#include "shell/base/file_ops.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "shell/base/path_ops.h"
#include "tests/support/temp_folder.h"

namespace {
std::string SystemTempFolder() {
  char temp[PATH_SIZE];
  EnsureTempFolder(temp);
  return temp;
}

void Touch(const std::string &path, const char *text = "x") {
  ASSERT_EQ(WriteWholeFile(path.c_str(), text, static_cast<DWORD>(strlen(text)), false), 1);
}
}  // namespace

TEST(EnsureTempFolder, EndsWithBackslashAndExists) {
  std::string temp = SystemTempFolder();
  ASSERT_FALSE(temp.empty());
  EXPECT_EQ(temp.back(), '\\');
  EXPECT_EQ(PathExists(temp.c_str()), 2);
}

TEST(PathExists, FilesFoldersAndRoots) {
  TempFolder dir;
  Touch(dir.File("a.txt"));
  EXPECT_EQ(PathExists(dir.File("a.txt").c_str()), 1);
  EXPECT_EQ(PathExists(dir.path.c_str()), 2);
  EXPECT_EQ(PathExists((dir.path + "\\").c_str()), 2);
  EXPECT_EQ(PathExists(dir.File("missing").c_str()), 0);
  EXPECT_EQ(PathExists("C:\\"), 2);
  EXPECT_EQ(PathExists(""), 0);
}

TEST(PathExists, JapaneseNameWithTrailByteBackslash) {
  TempFolder dir;
  std::string folder = dir.File("\x95\x5c");  // 表
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  EXPECT_EQ(PathExists(folder.c_str()), 2);
  Touch(folder + "\\\x83\x5c.txt");  // ソ.txt
  EXPECT_EQ(PathExists((folder + "\\\x83\x5c.txt").c_str()), 1);
}

TEST(WholeFile, WriteThenReadBack) {
  TempFolder dir;
  std::string path = dir.File("data.bin");
  const char bytes[] = "0123456789";
  ASSERT_EQ(WriteWholeFile(path.c_str(), bytes, 10, false), 1);
  EXPECT_EQ(FileSizeOf(path.c_str()), 10u);
  char back[16] = {};
  EXPECT_EQ(ReadWholeFile(path.c_str(), back, sizeof back, false), 1);
  EXPECT_STREQ(back, bytes);
  char small[4];
  EXPECT_EQ(ReadWholeFile(path.c_str(), small, sizeof small, false), 0) << "never past the caller's buffer";
  EXPECT_EQ(ReadWholeFile(dir.File("none").c_str(), back, sizeof back, false), 0);
  EXPECT_EQ(FileSizeOf(dir.File("none").c_str()), 0u);
}

TEST(WholeFile, FailedCreateReportsZero) {
  TempFolder dir;
  EXPECT_EQ(WriteWholeFile(dir.File("no\\such\\folder\\f").c_str(), "x", 1, false), 0);
}

TEST(TimeStampName, Format) {
  char stamp[20];
  TimeStampName(stamp);
  ASSERT_EQ(strlen(stamp), 18u);
  SYSTEMTIME now;
  GetLocalTime(&now);
  EXPECT_EQ(std::string(stamp, 4), std::to_string(now.wYear));
  EXPECT_EQ(stamp[8], '_');
  for (int i : {0, 1, 2, 3, 4, 5, 6, 7, 9, 10, 11, 12, 13, 14, 15, 16, 17}) EXPECT_TRUE(isdigit(stamp[i])) << i;
}

TEST(MakeUniqueTempName, SecondNameDiffersWhenFirstIsTaken) {
  TempFolder dir;
  char first[PATH_SIZE], second[PATH_SIZE];
  ASSERT_EQ(MakeUniqueTempName(dir.path.c_str(), first), 0);
  EXPECT_STREQ(ExtensionPart(first), "TMP");
  EXPECT_EQ(std::string(first).rfind(dir.path + "\\", 0), 0u);
  Touch(first);
  ASSERT_EQ(MakeUniqueTempName(dir.path.c_str(), second), 0);
  EXPECT_STRNE(first, second);
}

TEST(MakeUniqueTempName, AnyExtensionCollides) {
  TempFolder dir;
  char first[PATH_SIZE], second[PATH_SIZE];
  ASSERT_EQ(MakeUniqueTempName(dir.path.c_str(), first), 0);
  std::string folder = first;
  folder.resize(folder.size() - 4);
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));  // a folder of that name, no extension
  ASSERT_EQ(MakeUniqueTempName(dir.path.c_str(), second), 0);
  EXPECT_STRNE(first, second);
}

TEST(MakeUniqueTempName, FileGivenAsFolderFallsBackToTemp) {
  TempFolder dir;
  Touch(dir.File("plain.txt"));
  char name[PATH_SIZE];
  ASSERT_EQ(MakeUniqueTempName(dir.File("plain.txt").c_str(), name), 0);
  EXPECT_EQ(std::string(name).rfind(SystemTempFolder(), 0), 0u) << name;
}

TEST(DeleteTree, RemovesNestedContents) {
  TempFolder dir;
  std::string tree = dir.File("tree");
  CreateDirectoryA(tree.c_str(), nullptr);
  CreateDirectoryA((tree + "\\sub").c_str(), nullptr);
  Touch(tree + "\\a.txt");
  Touch(tree + "\\sub\\b.txt");
  SetFileAttributesA((tree + "\\sub\\b.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(DeleteTree(tree.c_str()), 1);
  EXPECT_EQ(PathExists(tree.c_str()), 0);
}

TEST(DeleteTree, RefusesRootsSystemFoldersAndMissing) {
  EXPECT_EQ(DeleteTree("C:\\"), 0);
  char windows[PATH_SIZE];
  GetWindowsDirectoryA(windows, PATH_SIZE);
  std::string inside = std::string(windows) + "\\vk-delete-tree-test";
  CreateDirectoryA(inside.c_str(), nullptr);
  EXPECT_EQ(DeleteTree(inside.c_str()), 0);
  EXPECT_EQ(PathExists(inside.c_str()), 2) << "a folder inside the Windows folder survives";
  RemoveDirectoryA(inside.c_str());
  EXPECT_EQ(DeleteTree("C:\\no-such-folder-here"), 0);
}

TEST(DisplayTooShallow, TwentyFourBitDisplayIsDeepEnough) { EXPECT_FALSE(DisplayTooShallow()); }
