// The text dialog: several lines of text, the font dialog (face, style and
// size), the colour, vertical writing (a face name with '@') and the fade
// steps. Text that code page 932 cannot hold is refused, naming the
// characters, and the dialog stays open.
#pragma once

#include <windows.h>

#include <string>

#include "editor/page_items.h"

// The style of a new text: "ＭＳ ゴシック", white, no fade.
void DefaultTextStyle(TextStyle *style);
// 1 when the user pressed OK: text (CP932, lines joined by "\r\n") and style
// hold what the dialog shows.
int RunTextDialog(HWND owner, std::string *text, TextStyle *style);
// The text of an edit control in CP932; 0, with the characters CP932 cannot
// hold named in a message and the focus on the control, when it has any.
int ShowTextOf(HWND edit, std::string *out);
