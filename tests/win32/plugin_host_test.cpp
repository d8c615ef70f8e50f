// Loading real plug-in files from a folder: good ones, copies, broken ones.
#include "transitions/plugin_host.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "shell/base/file_ops.h"
#include "tests/support/temp_folder.h"

namespace {
std::string BinFolder() {
  char self[PATH_SIZE];
  GetModuleFileNameA(nullptr, self, PATH_SIZE);
  std::string path = self;
  return path.substr(0, path.rfind('\\'));
}

// A temp folder of plug-in files; the libraries are unloaded before the files go.
struct PluginFolder : TempFolder {
  ~PluginFolder() { UnloadTransitionPlugins(); }
  std::string Copy(const char *builtName, const char *as) const {
    std::string target = File(as);
    CopyFileA((BinFolder() + "\\" + builtName).c_str(), target.c_str(), FALSE);
    return target;
  }
  std::string Write(const char *as, const std::string &bytes) const { return Put(as, bytes); }
};
}  // namespace

TEST(FileChecksum, SignedByteSumThatWraps) {
  PluginFolder dir;
  EXPECT_EQ(FileChecksum(dir.Write("a.bin", "\x80\x01\x7f").c_str()), 0);
  EXPECT_EQ(FileChecksum(dir.Write("b.bin", "\xff\xff\x05").c_str()), 3);
  EXPECT_EQ(FileChecksum(dir.Write("c.bin", std::string(3, '\x80')).c_str()), -384);
  EXPECT_EQ(FileChecksum(dir.Write("d.bin", "").c_str()), 0);
  EXPECT_EQ(FileChecksum((dir.path + "\\missing").c_str()), 0);
  EXPECT_EQ(FileChecksum(""), 0);
}

TEST(LoadTransitionPlugins, FolderWithoutPluginsGivesAnEmptyTable) {
  PluginFolder dir;
  dir.Write("readme.txt", "no plug-ins here");
  LoadTransitionPlugins(dir.path.c_str());
  EXPECT_EQ(TransitionPlugins.count, 0);
  EXPECT_EQ(FindTransitionPlugin(1), -1);
}

TEST(LoadTransitionPlugins, RegistersGoodFilesAndLeavesOutBrokenOnes) {
  PluginFolder dir;
  std::string a = dir.Copy("nijimu.tns", "a.tns"), b = dir.Copy("nijimu.tns", "b.tns");
  std::string partial = dir.Copy("partial_plugin.tns", "partial.tns");
  std::string zero = dir.Write("zero.tns", std::string(64, '\0'));
  std::string text = dir.Write("text.tns", "this is not a library");
  int32_t sum = FileChecksum(a.c_str());
  ASSERT_NE(sum, 0);

  LoadTransitionPlugins(dir.path.c_str());
  ASSERT_EQ(TransitionPlugins.count, 2) << "two copies with the same checksum register twice";
  for (int i = 0; i < 2; ++i) {
    const TransitionPlugin &entry = TransitionPlugins.entries[i];
    EXPECT_EQ(entry.checksum, sum);
    EXPECT_NE(entry.module, nullptr);
    EXPECT_STREQ(entry.displayName, "\x9f\xf8\x82\xde");  // 滲む
    EXPECT_EQ(entry.defaultWait, 1);
    EXPECT_EQ(entry.defaultParams[0], 64);
    for (int w = 1; w < EFFECT_PARAM_WORDS; ++w) EXPECT_EQ(entry.defaultParams[w], 0);
    EXPECT_NE(entry.transitionFunction, nullptr);
    EXPECT_NE(entry.paramsFunction, nullptr);
    EXPECT_EQ(entry.button, nullptr);
  }
  EXPECT_EQ(FindTransitionPlugin(sum), 0) << "equal checksums resolve to the first entry";
  EXPECT_EQ(FindTransitionPlugin(sum + 1), -1);
  EXPECT_EQ(FindTransitionPlugin(0), -1);

  EXPECT_NE(GetModuleHandleA(a.c_str()), nullptr);
  EXPECT_NE(GetModuleHandleA(b.c_str()), nullptr);
  EXPECT_EQ(GetModuleHandleA(partial.c_str()), nullptr) << "a plug-in missing an export is freed";
  EXPECT_EQ(GetModuleHandleA(text.c_str()), nullptr);
  EXPECT_EQ(GetModuleHandleA(zero.c_str()), nullptr);

  UnloadTransitionPlugins();
  EXPECT_EQ(TransitionPlugins.count, 0);
  EXPECT_EQ(GetModuleHandleA(a.c_str()), nullptr);
  EXPECT_EQ(GetModuleHandleA(b.c_str()), nullptr);
  EXPECT_TRUE(DeleteFileA(a.c_str())) << "unloaded plug-in files can be deleted";
}
