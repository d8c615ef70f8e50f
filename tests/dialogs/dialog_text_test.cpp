// Every label, check box, radio button and group title of the product's
// dialogs shows its whole text: measured in the built files under Wine, at
// the DPI the prefix is set to (96 here; tests/dialogs/dialog_dpi.sh runs the
// same test at higher ones with VORMKIT_EXPECT_DPI set). VORMKIT_DIALOG_REPORT=1
// prints every measured text with the room it needs and has.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "tests/dialogs/dialog_cases.h"
#include "tests/dialogs/text_fit.h"

namespace {
int ScreenDpi() {
  HDC dc = GetDC(nullptr);
  int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  ReleaseDC(nullptr, dc);
  return dpi;
}

// A window holding one control of the given class and style, w x h pixels,
// in the dialog font at this DPI.
struct LoneControl {
  HWND parent = nullptr, control = nullptr;
  HFONT font = nullptr;
  LoneControl(const wchar_t *cls, DWORD style, const wchar_t *text, int w, int h) {
    parent = CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 2000, 400, nullptr, nullptr, nullptr, nullptr);
    control = CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, 10, 10, w, h, parent, nullptr, nullptr,
                              nullptr);
    font = CreateFontW(-MulDiv(9, ScreenDpi(), 72), 0, 0, 0, FW_NORMAL, 0, 0, 0, SHIFTJIS_CHARSET, 0, 0, 0, 0,
                       L"ＭＳ Ｐゴシック");
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
  ~LoneControl() {
    DestroyWindow(parent);
    DeleteObject(font);
  }
  // The text's own single-line width in the control's font.
  int TextWidth() {
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size;
    GetTextExtentPoint32W(dc, L"文字のアニメーションを行う", 13, &size);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return size.cx;
  }
};

const wchar_t kLong[] = L"文字のアニメーションを行う";

bool Fits(LoneControl &c) {
  TextFit fit;
  EXPECT_TRUE(MeasureControl(c.control, &fit));
  return fit.fits;
}
}  // namespace

// The DPI the run was set up for is the one the process sees.
TEST(DialogText, RunsAtTheExpectedDpi) {
  const char *expected = getenv("VORMKIT_EXPECT_DPI");
  EXPECT_EQ(ScreenDpi(), expected ? atoi(expected) : 96);
}

// The measure tells a cut text from a whole one, for each kind of control:
// a control half as wide as its bare text cannot show it, one twice as wide
// (plus a glyph's room) can, and a label one line high cannot hold two lines.
TEST(DialogText, MeasureTellsCutFromWhole) {
  const int line = MulDiv(20, ScreenDpi(), 96);
  LoneControl probe(L"Static", SS_LEFT, kLong, 100, line);
  const int text = probe.TextWidth();
  ASSERT_GT(text, 13 * MulDiv(6, ScreenDpi(), 96));  // thirteen full-width characters
  const int glyph = GetSystemMetrics(SM_CXMENUCHECK);

  LoneControl shortLabel(L"Static", SS_LEFT, kLong, text / 2, line);
  EXPECT_FALSE(Fits(shortLabel));
  LoneControl wideLabel(L"Static", SS_LEFT, kLong, text * 2, line);
  EXPECT_TRUE(Fits(wideLabel));
  // Exactly as wide as the text, but the check box's glyph takes its room.
  LoneControl shortCheck(L"Button", BS_AUTOCHECKBOX, kLong, text, line);
  EXPECT_FALSE(Fits(shortCheck));
  LoneControl wideCheck(L"Button", BS_AUTOCHECKBOX, kLong, text * 2 + glyph, line);
  EXPECT_TRUE(Fits(wideCheck));
  LoneControl shortRadio(L"Button", BS_AUTORADIOBUTTON, kLong, text + glyph / 2, line);
  EXPECT_FALSE(Fits(shortRadio));
  // A group box as wide as its title has no room for the title's indent.
  LoneControl shortGroup(L"Button", BS_GROUPBOX, kLong, text, 4 * line);
  EXPECT_FALSE(Fits(shortGroup));
  LoneControl wideGroup(L"Button", BS_GROUPBOX, kLong, text * 2, 4 * line);
  EXPECT_TRUE(Fits(wideGroup));
  // Two lines in a label one line high.
  LoneControl twoLines(L"Static", SS_LEFT, L"一行目\r\n二行目", text * 2, line);
  EXPECT_FALSE(Fits(twoLines));
  LoneControl twoLinesTall(L"Static", SS_LEFT, L"一行目\r\n二行目", text * 2, 3 * line);
  EXPECT_TRUE(Fits(twoLinesTall));
}

// Every text of every listed dialog fits its control.
TEST(DialogText, EveryDialogShowsItsWholeTexts) {
  int dialogs = 0;
  for (const DialogCase &c : DialogCases()) {
    std::vector<TextFit> fits;
    std::string error;
    ASSERT_TRUE(MeasureCase(c, &fits, &error)) << error;
    EXPECT_FALSE(fits.empty()) << c.name << ": no text measured";
    for (const TextFit &fit : fits) {
      EXPECT_TRUE(fit.fits) << Describe(c.name, fit);
      if (getenv("VORMKIT_DIALOG_REPORT")) printf("%s\n", Describe(c.name, fit).c_str());
    }
    ++dialogs;
  }
  // The settings dialog, the password prompt, the set-up window twice, the
  // editor's three and six plug-ins.
  EXPECT_GE(dialogs, 13);
}
