// Test helper: does every label, check box, radio button and group title of a
// dialog show its whole text? Each control's text is measured with DrawText
// in the control's own font (WM_GETFONT) and compared with the room the
// control gives it at the dialog's current DPI.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct TextFit {
  int id;              // the control id
  std::string kind;    // "label", "check box", "radio button", "group title"
  std::string text;    // the text, UTF-8
  SIZE need;           // pixels the text needs, glyph and indents included
  SIZE room;           // pixels the control offers
  bool fits;
};

// The pixel width of a check box's or radio button's glyph and the gap
// before its text, at the DPI of the current process.
int ButtonGlyphWidth(HDC dc);

// Measures one control; false when it is not a kind that shows a text of its
// own (edits, scroll bars, push buttons) or its text is empty.
bool MeasureControl(HWND control, TextFit *fit);

// Measures every child control of dialog.
std::vector<TextFit> MeasureDialog(HWND dialog);

// "QUADRIL: group title 1001 "..." needs 212 x 15 px, has 208 x 73" for a failure report.
std::string Describe(const std::string &dialogName, const TextFit &fit);
