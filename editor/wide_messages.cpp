#include "editor/wide_messages.h"

#include "editor/editor_state.h"

std::wstring LoadWide(UINT id) {
  const wchar_t *text = nullptr;
  int n = LoadStringW(Editor.instance, id, reinterpret_cast<wchar_t *>(&text), 0);
  return n > 0 && text ? std::wstring(text, size_t(n)) : std::wstring();
}

std::wstring FormatWide(UINT id, const std::wstring &subject, int number) {
  std::wstring text = LoadWide(id);
  size_t at = text.find(L"%s");
  if (at != std::wstring::npos) text.replace(at, 2, subject);
  at = text.find(L"%d");
  if (at != std::wstring::npos) text.replace(at, 2, std::to_wstring(number));
  return text;
}

static int Box(HWND owner, const std::wstring &text, const wchar_t *caption, UINT flags) {
  return MessageBoxW(owner, text.c_str(), caption, flags | MB_SETFOREGROUND);
}

void WideInfo(HWND owner, const std::wstring &text) { Box(owner, text, L"情報", MB_OK | MB_ICONINFORMATION); }
void WideError(HWND owner, const std::wstring &text) { Box(owner, text, L"エラー", MB_OK | MB_ICONERROR); }
bool WideQuestion(HWND owner, const std::wstring &text) {
  return Box(owner, text, L"質問", MB_YESNO | MB_ICONQUESTION) == IDYES;
}
int WideYesNoCancel(HWND owner, const std::wstring &text) {
  return Box(owner, text, L"質問", MB_YESNOCANCEL | MB_ICONQUESTION);
}
bool WideConfirmNoDefault(HWND owner, const std::wstring &text) {
  return Box(owner, text + L"\nよろしいですか?", L"確認", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}
