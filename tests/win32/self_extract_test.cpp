// Self-extraction end to end: a copy of a test program with data appended
// after the boundary marker finds that data and writes it to a temp file.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "shell/base/file_ops.h"
#include "shell/base/path_ops.h"
#include "shell/saver/self_extract_core.h"

namespace {
std::string ProbePath() {
  char self[PATH_SIZE];
  GetModuleFileNameA(nullptr, self, PATH_SIZE);
  std::string path = self;
  return path.substr(0, path.rfind('\\') + 1) + "extract_probe.exe";
}

std::string ReadFile(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

struct ProbeReport {
  int first = -1, second = -1;
  std::string tempFile;
  unsigned long tempSize = 0;
  std::string appName, programFolder;
  int smallWindow = -1, tempUnchanged = 0;
};

// A folder whose name holds a double-byte character with a '\' trail byte.
struct ProbeCopy {
  std::string folder, program;
  // With appendAt, the appended bytes start at that offset of the file and
  // the gap after the program is a hole (a sparse file: no disk space used).
  explicit ProbeCopy(const std::string &appended, uint64_t appendAt = 0) {
    char name[PATH_SIZE];
    MakeUniqueTempName(nullptr, name);
    folder = name;
    folder.resize(folder.size() - 4);
    folder += "\x95\x5c";  // 表
    CreateDirectoryA(folder.c_str(), nullptr);
    program = folder + "\\saver.scr";
    std::string image = ReadFile(ProbePath());
    if (!appendAt) image += appended;
    WriteWholeFile(program.c_str(), image.data(), static_cast<DWORD>(image.size()), false);
    if (appendAt) {
      HANDLE file = CreateFileA(program.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
      LARGE_INTEGER at;
      at.QuadPart = LONGLONG(appendAt);
      DWORD written = 0;
      SetFilePointerEx(file, at, nullptr, FILE_BEGIN);
      WriteFile(file, appended.data(), DWORD(appended.size()), &written, nullptr);
      CloseHandle(file);
    }
  }
  ~ProbeCopy() { DeleteTree(folder.c_str()); }

  ProbeReport Run(int width, int height) const {
    // The report goes to the probe's current folder: a screen saver's command
    // line carries no backslash after the program path.
    std::string report = folder + "\\report.txt";
    DeleteFileA(report.c_str());
    std::string line = "\"" + program + "\" report.txt " + std::to_string(width) + " " + std::to_string(height);
    std::vector<char> command(line.begin(), line.end());
    command.push_back(0);
    STARTUPINFOA start = {};
    start.cb = sizeof start;
    PROCESS_INFORMATION process = {};
    ProbeReport r;
    if (!CreateProcessA(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &start,
                        &process))
      return r;
    WaitForSingleObject(process.hProcess, 60000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    std::ifstream in(report);
    in >> r.first >> r.second;
    in.ignore();
    std::getline(in, r.tempFile);
    in >> r.tempSize;
    in.ignore();
    std::getline(in, r.appName);
    std::getline(in, r.programFolder);
    in >> r.smallWindow >> r.tempUnchanged;
    return r;
  }
};

std::string Marker() {
  char marker[BOUNDARY_MARKER_SIZE];
  BuildBoundaryMarker(marker);
  return std::string(marker, BOUNDARY_MARKER_SIZE);
}
}  // namespace

TEST(ExtractShowData, WritesTheAppendedDataToATempFile) {
  std::string show = "VrmKtScrDat00";
  show += std::string("\0\x01\x02\xff", 4) + Marker() + "tail";  // a later marker is data
  ProbeCopy copy(Marker() + show);
  ProbeReport r = copy.Run(800, 600);
  ASSERT_EQ(r.first, 1);
  EXPECT_EQ(r.second, 0) << "a second start-up in the same process is refused";
  EXPECT_EQ(r.tempUnchanged, 1);
  EXPECT_EQ(r.appName, "saver.scr");
  EXPECT_EQ(r.programFolder, copy.folder);
  EXPECT_EQ(r.smallWindow, 0);
  EXPECT_STREQ(ExtensionPart(r.tempFile.c_str()), "TMP");
  char temp[PATH_SIZE];
  EnsureTempFolder(temp);
  EXPECT_EQ(r.tempFile.rfind(temp, 0), 0u) << r.tempFile;
  EXPECT_EQ(ReadFile(r.tempFile), show);
  DeleteFileA(r.tempFile.c_str());
}

TEST(ExtractShowData, ProgramWithoutAppendedDataFails) {
  ProbeCopy copy("");
  ProbeReport r = copy.Run(800, 600);
  EXPECT_EQ(r.first, 0);
  EXPECT_EQ(r.tempFile, "");
}

TEST(ExtractShowData, MarkerAtTheVeryEndGivesAnEmptyShowFile) {
  ProbeCopy copy(Marker());
  ProbeReport r = copy.Run(800, 600);
  ASSERT_EQ(r.first, 1);
  EXPECT_EQ(r.tempSize, 0u);
  EXPECT_EQ(PathExists(r.tempFile.c_str()), 1);
  DeleteFileA(r.tempFile.c_str());
}

TEST(ExtractShowData, SmallWindowBelow320By240) {
  ProbeCopy copy(Marker() + "x");
  struct {
    int w, h, small;
  } cases[] = {{319, 240, 1}, {320, 239, 1}, {320, 240, 0}};
  for (auto c : cases) {
    ProbeReport r = copy.Run(c.w, c.h);
    EXPECT_EQ(r.smallWindow, c.small) << c.w << "x" << c.h;
    DeleteFileA(r.tempFile.c_str());
  }
}

// A saver file with the marker beyond 4 GB (beyond 2 GB for the 32-bit
// build, whose system cannot start a program file of 4 GB or more): offsets
// and sizes are 64-bit, and the file is never held in memory.
TEST(ExtractShowData, MarkerBeyondTwoOrFourGigabytes) {
  std::string show = "VrmKtScrDat00" + std::string("\0\x01\x02\xff", 4) + "tail";
  const uint64_t at = (uint64_t(1) << (sizeof(void *) == 4 ? 31 : 32)) + 12345;
  ProbeCopy copy(Marker().substr(0, 20) + "|" + Marker() + show, at);
  WIN32_FILE_ATTRIBUTE_DATA data;
  ASSERT_TRUE(GetFileAttributesExA(copy.program.c_str(), GetFileExInfoStandard, &data));
  ASSERT_GT((uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow, at) << "the saver file is not that large";
  ProbeReport r = copy.Run(800, 600);
  ASSERT_EQ(r.first, 1);
  EXPECT_EQ(r.tempSize, show.size());
  EXPECT_EQ(ReadFile(r.tempFile), show);
  DeleteFileA(r.tempFile.c_str());
}
