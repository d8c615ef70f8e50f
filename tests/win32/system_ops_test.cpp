// Centring over the owner, finding the browser from the html association and
// starting it only on what is safe to hand it.
#include "shell/base/center_window.h"
#include "shell/base/system_ops.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "shell/base/file_ops.h"
#include "shell/base/path_ops.h"

namespace {
HWND Popup(int x, int y, int w, int h) {
  return CreateWindowExA(0, "STATIC", "", WS_POPUP, x, y, w, h, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}
RECT Work() {
  RECT work;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  return work;
}
}  // namespace

TEST(CenterOverOwner, CentresAndKeepsSize) {
  HWND owner = Popup(100, 100, 400, 300), child = Popup(0, 0, 200, 100);
  CenterOverOwner(child, owner);
  RECT r;
  GetWindowRect(child, &r);
  EXPECT_EQ(r.left, 100 + (400 - 200) / 2);
  EXPECT_EQ(r.top, 100 + (300 - 100) / 2);
  EXPECT_EQ(r.right - r.left, 200);
  EXPECT_EQ(r.bottom - r.top, 100);
  DestroyWindow(child);
  DestroyWindow(owner);
}

TEST(CenterOverOwner, KeptInsideTheWorkArea) {
  RECT work = Work();
  HWND owner = Popup(work.left - 150, work.top - 150, 200, 200), child = Popup(0, 0, 300, 300);
  CenterOverOwner(child, owner);
  RECT r;
  GetWindowRect(child, &r);
  EXPECT_EQ(r.left, work.left);
  EXPECT_EQ(r.top, work.top);
  MoveWindow(owner, work.right - 50, work.bottom - 50, 200, 200, FALSE);
  CenterOverOwner(child, owner);
  GetWindowRect(child, &r);
  EXPECT_EQ(r.right, work.right);
  EXPECT_EQ(r.bottom, work.bottom);
  DestroyWindow(child);
  DestroyWindow(owner);
}

namespace {
// Points the .htm association at a class of our own for one test, then restores it.
struct HtmAssociation {
  char oldClass[260] = {};
  LONG oldSize = sizeof oldClass;
  bool hadClass;
  explicit HtmAssociation(const std::string &command) {
    hadClass = RegQueryValueA(HKEY_CLASSES_ROOT, ".htm", oldClass, &oldSize) == ERROR_SUCCESS;
    RegSetValueA(HKEY_CLASSES_ROOT, ".htm", REG_SZ, "vktest.htm", 10);
    RegSetValueA(HKEY_CLASSES_ROOT, "vktest.htm\\shell\\open\\command", REG_SZ, command.c_str(),
                 static_cast<DWORD>(command.size()));
  }
  ~HtmAssociation() {
    if (hadClass) RegSetValueA(HKEY_CLASSES_ROOT, ".htm", REG_SZ, oldClass, static_cast<DWORD>(strlen(oldClass)));
    else RegDeleteKeyA(HKEY_CLASSES_ROOT, ".htm");
    RegDeleteKeyA(HKEY_CLASSES_ROOT, "vktest.htm\\shell\\open\\command");
    RegDeleteKeyA(HKEY_CLASSES_ROOT, "vktest.htm\\shell\\open");
    RegDeleteKeyA(HKEY_CLASSES_ROOT, "vktest.htm\\shell");
    RegDeleteKeyA(HKEY_CLASSES_ROOT, "vktest.htm");
  }
};

std::string ExistingProgram() {
  char self[PATH_SIZE];
  GetModuleFileNameA(nullptr, self, PATH_SIZE);
  return self;
}
}  // namespace

TEST(FindBrowser, QuotedCommandWithArguments) {
  std::string program = ExistingProgram();
  HtmAssociation association("\"" + program + "\" -nohome \"%1\"");
  char browser[PATH_SIZE];
  ASSERT_EQ(FindBrowser(browser), 1);
  EXPECT_EQ(std::string(browser), program);
}

TEST(FindBrowser, CutAtUrlOption) {
  std::string program = ExistingProgram();
  HtmAssociation association(program + " -url \"%1\"");
  char browser[PATH_SIZE];
  ASSERT_EQ(FindBrowser(browser), 1);
  EXPECT_EQ(std::string(browser), program);
}

TEST(FindBrowser, SystemDriveIsExpanded) {
  std::string program = ExistingProgram();
  ASSERT_EQ(program.substr(0, 2), "Z:");
  SetEnvironmentVariableA("systemdrive", "Z:");
  HtmAssociation association("%SystemDrive%" + program.substr(2) + " %1");
  char browser[PATH_SIZE];
  ASSERT_EQ(FindBrowser(browser), 1);
  EXPECT_EQ(std::string(browser), program);
}

TEST(FindBrowser, MissingProgramFails) {
  HtmAssociation association("\"C:\\no\\such\\browser.exe\" %1");
  char browser[PATH_SIZE] = "junk";
  EXPECT_EQ(FindBrowser(browser), 0);
  EXPECT_STREQ(browser, "");
}

namespace {
// A stand-in browser (browser_probe.exe, which records its arguments in
// args.txt beside itself) in the folder "web browser" of a temp folder of its
// own, made the program of the .htm association. A second copy, the decoy,
// lies at "web.exe" in the temp folder: an unquoted "...\web browser\web.exe"
// on a command line starts the decoy instead.
struct SpacedBrowser {
  std::string base, folder, program, record, decoy, decoyRecord;
  bool copied;
  SpacedBrowser() {
    char temp[PATH_SIZE];
    GetTempPathA(PATH_SIZE, temp);
    base = std::string(temp) + "vkweb" + std::to_string(GetCurrentProcessId());
    folder = base + "\\web browser";
    program = folder + "\\web.exe";
    record = folder + "\\args.txt";
    decoy = base + "\\web.exe";
    decoyRecord = base + "\\args.txt";
    CreateDirectoryA(base.c_str(), nullptr);
    CreateDirectoryA(folder.c_str(), nullptr);
    std::string self = ExistingProgram();
    std::string probe = self.substr(0, self.rfind('\\') + 1) + "browser_probe.exe";
    copied = CopyFileA(probe.c_str(), program.c_str(), FALSE) && CopyFileA(probe.c_str(), decoy.c_str(), FALSE);
  }
  ~SpacedBrowser() {
    DeleteFileA(record.c_str());
    DeleteFileA(decoyRecord.c_str());
    Delete(program);
    Delete(decoy);
    RemoveDirectoryA(folder.c_str());
    RemoveDirectoryA(base.c_str());
  }
  // A probe may still be ending: its file is given a generous while to come free.
  static void Delete(const std::string &file) {
    for (int i = 0; i < 300 && !DeleteFileA(file.c_str()); ++i) {
      if (GetFileAttributesA(file.c_str()) == INVALID_FILE_ATTRIBUTES) break;
      Sleep(100);
    }
  }
  // The arguments the browser recorded (count first), once it has written them.
  std::vector<std::string> WaitForRecord() {
    std::vector<std::string> lines;
    for (int i = 0; i < 300 && GetFileAttributesA(record.c_str()) == INVALID_FILE_ATTRIBUTES; ++i) Sleep(100);
    FILE *f = fopen(record.c_str(), "rb");
    if (!f) return lines;
    char line[1024];
    while (fgets(line, sizeof line, f)) lines.push_back(std::string(line, strcspn(line, "\r\n")));
    fclose(f);
    DeleteFileA(record.c_str());
    return lines;
  }
};
}  // namespace

TEST(OpenInBrowser, OpensNothingButAPlainWebAddress) {
  SpacedBrowser browser;
  ASSERT_TRUE(browser.copied);
  HtmAssociation association("\"" + browser.program + "\" \"%1\"");
  // A quote in the address would end it and pass the rest as browser options.
  EXPECT_EQ(OpenInBrowser("http://example.jp/\" --user-data-dir=C:\\evil \""), 0);
  EXPECT_EQ(OpenInBrowser("C:\\WINDOWS\\system32\\notepad.exe"), 0);
  EXPECT_EQ(OpenInBrowser("javascript:alert(1)"), 0);
  EXPECT_EQ(OpenInBrowser("ftp://example.jp/"), 0);
  EXPECT_EQ(OpenLocalPageInBrowser("C:\\help\" --evil \"x"), 0);
}

TEST(OpenInBrowser, StartsABrowserInAFolderWithASpace) {
  SpacedBrowser browser;
  ASSERT_TRUE(browser.copied);
  HtmAssociation association("\"" + browser.program + "\" \"%1\"");
  const char *address = "http://example.jp/a b?x=1&y=2";
  ASSERT_EQ(OpenInBrowser(address), 1);
  std::vector<std::string> args = browser.WaitForRecord();
  ASSERT_EQ(args.size(), 2u);
  EXPECT_EQ(args[0], "2") << "the program path and the address, nothing else";
  EXPECT_EQ(args[1], address);
  // The help page: a local path of the program's own, with a space in it.
  const char *help = "C:\\My Saver\\help\\index.html";
  ASSERT_EQ(OpenLocalPageInBrowser(help), 1);
  args = browser.WaitForRecord();
  ASSERT_EQ(args.size(), 2u);
  EXPECT_EQ(args[1], help);
  EXPECT_EQ(GetFileAttributesA(browser.decoyRecord.c_str()), INVALID_FILE_ATTRIBUTES) << "the decoy never ran";
}
