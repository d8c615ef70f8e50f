// What may be handed to the web browser and the command line that starts it.
#include "shell/base/browser_command.h"

#include <gtest/gtest.h>

#include <cstring>

// "表" in CP932 is 0x95 0x5C: its trail byte is a backslash.
#define HYO "\x95\x5C"

TEST(BrowserCommand, OnlyPlainWebAddressesAreOpened) {
  for (const char *good : {"http://example.com/", "https://example.com/a b?x=1&y=%22", "HTTP://EXAMPLE.COM",
                           "http://example.jp/" HYO}) {
    EXPECT_EQ(IsWebAddress(good), 1) << good;
  }
  const char *bad[] = {
      "http://example.com/\" --user-data-dir=C:\\x \"",  // a quote would end the argument
      "C:\\WINDOWS\\system32\\calc.exe", "\\\\server\\share\\page.html", "file:///C:/page.html",
      "javascript:alert(1)", "ftp://example.com/", " http://example.com/", "http://", "https://",
      "http://example.com/\r\nx", "http://example.com/\tx", "http://example.com/\x7F",
      "http://example.com\\",  // would escape the closing quote
      "http://example.jp/\x95",  // a lead byte would take the closing quote as its trail
      "", nullptr};
  for (const char *address : bad) EXPECT_EQ(IsWebAddress(address), 0) << (address ? address : "(null)");
}

TEST(BrowserCommand, ProgramAndArgumentAreEachQuoted) {
  char line[100];
  ASSERT_EQ(BrowserCommandLine(line, sizeof line, "C:\\Program Files\\Web\\web.exe", "http://example.com/a b"), 1);
  EXPECT_STREQ(line, "\"C:\\Program Files\\Web\\web.exe\" \"http://example.com/a b\"");
  // The help page is a local path: quoted the same way, refused when it could break out.
  ASSERT_EQ(BrowserCommandLine(line, sizeof line, "explorer", "C:\\My Saver\\help\\index.html"), 1);
  EXPECT_STREQ(line, "\"explorer\" \"C:\\My Saver\\help\\index.html\"");
  EXPECT_EQ(BrowserCommandLine(line, sizeof line, "explorer", "C:\\" HYO), 1) << "a trail byte is no backslash";
  EXPECT_EQ(BrowserCommandLine(line, sizeof line, "explorer", "C:\\a\" \"b"), 0);
  EXPECT_STREQ(line, "");
  EXPECT_EQ(BrowserCommandLine(line, sizeof line, "explorer", "C:\\dir\\"), 0);
  EXPECT_EQ(BrowserCommandLine(line, sizeof line, "C:\\a\"b.exe", "http://example.com/"), 0);
  EXPECT_EQ(BrowserCommandLine(line, sizeof line, "", "http://example.com/"), 0);
  // "\"e\" \"http://x\"" is 14 characters: 15 bytes fit, 14 do not.
  EXPECT_EQ(BrowserCommandLine(line, 15, "e", "http://x"), 1);
  EXPECT_EQ(BrowserCommandLine(line, 14, "e", "http://x"), 0);
  EXPECT_STREQ(line, "");
}
