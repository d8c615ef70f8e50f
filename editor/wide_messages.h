// The editor's message boxes: the four kinds the show's messages use, with
// their fixed Japanese captions, in Unicode; texts from the string table by
// id or composed by the caller.
#pragma once

#include <windows.h>

#include <string>

std::wstring LoadWide(UINT id);
// The string id with %s replaced by subject (and %d by number).
std::wstring FormatWide(UINT id, const std::wstring &subject, int number = 0);

void WideInfo(HWND owner, const std::wstring &text);
void WideError(HWND owner, const std::wstring &text);
bool WideQuestion(HWND owner, const std::wstring &text);
// Yes, No or Cancel (IDYES, IDNO, IDCANCEL) with the question icon.
int WideYesNoCancel(HWND owner, const std::wstring &text);
// The confirmation kind: the text, "\nよろしいですか?", No the default button.
bool WideConfirmNoDefault(HWND owner, const std::wstring &text);
