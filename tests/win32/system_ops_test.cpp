// Centring over the owner and finding the browser from the html association.
#include "shell/base/center_window.h"
#include "shell/base/system_ops.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

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
