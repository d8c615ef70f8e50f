// The pure parts of self-extraction: the boundary marker, the chunked copy of
// the show data behind it, and the program's path from its command line.
#include "shell/self_extract_core.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "shell/path_ops.h"

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

namespace {
// A program file in memory, read in pieces no larger than asked, and a show
// temp file that can be made to fail at a given write.
struct FakeFiles {
  std::string program;
  size_t position = 0;
  int readErrorAt = -1;    // the read call that fails (0 = the first)
  int writeErrorAt = -1;   // the write call that fails
  bool createFails = false;
  int reads = 0, writes = 0, creates = 0;
  std::string show;
  size_t largestRead = 0;
};

int64_t FakeRead(void *context, unsigned char *buffer, uint32_t size) {
  auto *f = static_cast<FakeFiles *>(context);
  if (f->reads++ == f->readErrorAt) return -1;
  if (size > f->largestRead) f->largestRead = size;
  size_t n = std::min<size_t>(size, f->program.size() - f->position);
  memcpy(buffer, f->program.data() + f->position, n);
  f->position += n;
  return int64_t(n);
}

int FakeCreate(void *context) {
  auto *f = static_cast<FakeFiles *>(context);
  ++f->creates;
  return !f->createFails;
}

int FakeWrite(void *context, const unsigned char *bytes, uint32_t size) {
  auto *f = static_cast<FakeFiles *>(context);
  if (f->writes++ == f->writeErrorAt) return 0;
  f->show.append(reinterpret_cast<const char *>(bytes), size);
  return 1;
}

ExtractResult Copy(FakeFiles *f, uint32_t chunk, int64_t *boundary) {
  ExtractStreams streams = {f, FakeRead, FakeCreate, FakeWrite};
  return CopyShowData(&streams, chunk, boundary);
}
}  // namespace

// The chunk boundary falls at every offset of the marker, and before and
// after it: a cut marker in front of the real one, and a later marker (part
// of the show data), change nothing.
TEST(CopyShowData, MarkerAcrossEveryChunkBoundaryFirstOccurrenceWins) {
  const std::string show = "VrmKtScrDat00\x01\x02" + Marker() + "tail";
  for (uint32_t chunk : {1u, 2u, 7u, 45u, 46u, 47u, 64u}) {
    for (size_t prefix = 0; prefix < 2 * BOUNDARY_MARKER_SIZE + 70; ++prefix) {
      FakeFiles f;
      std::string head = std::string(prefix, 'P');
      f.program = head + Marker().substr(0, 45) + "#" + Marker() + show;
      int64_t boundary = 0;
      ASSERT_EQ(Copy(&f, chunk, &boundary), EXTRACT_OK) << chunk << " " << prefix;
      EXPECT_EQ(boundary, int64_t(prefix + 46)) << chunk << " " << prefix;
      EXPECT_EQ(f.show, show) << chunk << " " << prefix;
      EXPECT_EQ(f.creates, 1);
      EXPECT_LE(f.largestRead, chunk);
    }
  }
}

TEST(CopyShowData, MarkerAtTheVeryEndGivesAnEmptyShow) {
  for (uint32_t chunk : {1u, 46u, 1u << 20}) {
    FakeFiles f;
    f.program = "program" + Marker();
    int64_t boundary;
    EXPECT_EQ(Copy(&f, chunk, &boundary), EXTRACT_OK);
    EXPECT_EQ(boundary, 7);
    EXPECT_EQ(f.creates, 1);
    EXPECT_EQ(f.show, "");
  }
}

TEST(CopyShowData, NoMarkerCreatesNothing) {
  for (const std::string &program : {std::string("program without data"), "program" + Marker().substr(0, 45),
                                     std::string()}) {
    FakeFiles f;
    f.program = program;
    int64_t boundary;
    EXPECT_EQ(Copy(&f, 8, &boundary), EXTRACT_NO_MARKER);
    EXPECT_EQ(boundary, -1);
    EXPECT_EQ(f.creates, 0);
  }
}

// Every failure is told apart, so the caller can tell "no show" (silent) from
// "no room" (reported); nothing is written after a failed write.
TEST(CopyShowData, ReadCreateAndWriteFailures) {
  const std::string data = std::string(100, 'd');
  int64_t boundary;
  {
    FakeFiles f;
    f.program = "program" + Marker() + data;
    f.readErrorAt = 0;
    EXPECT_EQ(Copy(&f, 16, &boundary), EXTRACT_READ_FAILED);
    EXPECT_EQ(f.creates, 0);
  }
  {
    FakeFiles f;
    f.program = "program" + Marker() + data;
    f.readErrorAt = 5;  // after the marker was found
    EXPECT_EQ(Copy(&f, 16, &boundary), EXTRACT_READ_FAILED);
    EXPECT_EQ(f.creates, 1);
  }
  {
    FakeFiles f;
    f.program = "program" + Marker() + data;
    f.createFails = true;
    EXPECT_EQ(Copy(&f, 16, &boundary), EXTRACT_CREATE_FAILED);
    EXPECT_EQ(f.writes, 0);
  }
  for (int failing : {0, 1, 3}) {
    FakeFiles f;
    f.program = "program" + Marker() + data;
    f.writeErrorAt = failing;
    EXPECT_EQ(Copy(&f, 16, &boundary), EXTRACT_WRITE_FAILED) << failing;
    EXPECT_EQ(f.writes, failing + 1) << "no write after the failed one";
  }
}
