#include "shell/saver/self_extract_core.h"

#include <gtest/gtest.h>

#include <string>

#include "shell/base/path_ops.h"

static std::string Marker() { return std::string("@@@@@-----") + "boundary of saver and data" + "-----@@@@@"; }

TEST(BoundaryMarker, IsTheThreePiecesJoined) {
  char marker[BOUNDARY_MARKER_SIZE];
  BuildBoundaryMarker(marker);
  EXPECT_EQ(std::string(marker, BOUNDARY_MARKER_SIZE), Marker());
  EXPECT_EQ(Marker().size(), BOUNDARY_MARKER_SIZE);
}

static int64_t Find(const std::string &s) {
  return FindBoundaryMarker(reinterpret_cast<const unsigned char *>(s.data()), s.size());
}

TEST(BoundaryMarker, FindsTheFirstOccurrence) {
  std::string data = "MZ....@@@@@-----bound" + Marker() + "SHOW" + Marker();
  EXPECT_EQ(Find(data), 21);
}

TEST(BoundaryMarker, AtTheVeryEnd) {
  std::string data = "program" + Marker();
  EXPECT_EQ(Find(data), 7);
}

TEST(BoundaryMarker, MissingOrCut) {
  EXPECT_EQ(Find("no marker here"), -1);
  std::string cut = "program" + Marker().substr(0, 45);
  EXPECT_EQ(Find(cut), -1);
  EXPECT_EQ(Find(""), -1);
  EXPECT_EQ(FindBoundaryMarker(nullptr, 100), -1);
}

struct SplitCase {
  const char *line, *app, *folder;
};

TEST(SplitCommandLine, QuotedUnquotedAndRoot) {
  const SplitCase cases[] = {
      {"\"X:\\dir\\name.scr\" /s", "name.scr", "X:\\dir"},
      {"X:\\dir\\name.scr /s", "name.scr", "X:\\dir"},
      {"\"X:\\name.scr\" /p 1234", "name.scr", "X:\\"},
      {"X:\\name.scr", "name.scr", "X:\\"},
      {"\"C:\\Program Files\\Saver\\My.scr\" /c:77", "My.scr", "C:\\Program Files\\Saver"},
      {"\"C:\\\x95\x5C\\a.scr\" /s", "a.scr", "C:\\\x95\x5C"},
  };
  for (const auto &c : cases) {
    char app[PATH_SIZE], folder[PATH_SIZE];
    EXPECT_EQ(SplitCommandLine(c.line, app, folder), 1) << c.line;
    EXPECT_STREQ(app, c.app) << c.line;
    EXPECT_STREQ(folder, c.folder) << c.line;
  }
}

TEST(SplitCommandLine, BareNameHasNoFolder) {
  char app[PATH_SIZE], folder[PATH_SIZE];
  EXPECT_EQ(SplitCommandLine("saver.scr /s", app, folder), 0);
  EXPECT_STREQ(app, "saver.scr");
  EXPECT_STREQ(folder, "");
}

TEST(SplitCommandLine, OverLongLineIsCutNotOverflowed) {
  std::string line = "\"C:\\" + std::string(400, 'd') + "\\x.scr\" /s";
  char app[PATH_SIZE], folder[PATH_SIZE];
  SplitCommandLine(line.c_str(), app, folder);
  EXPECT_LT(strlen(app), PATH_SIZE);
  EXPECT_LT(strlen(folder), PATH_SIZE);
}
