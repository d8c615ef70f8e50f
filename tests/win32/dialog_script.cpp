// The hook and timer behind DialogScript (see dialog_script.h).
#include "dialog_script.h"

#include "show/show_loader.h"

static DialogScript *Current = nullptr;

static std::string TextOf(HWND window, int id) {
  char text[1024] = {};
  GetDlgItemTextA(window, id, text, sizeof text);
  return text;
}

static bool IsDialog(HWND window) {
  char name[32] = {};
  GetClassNameA(window, name, sizeof name);
  return lstrcmpA(name, "#32770") == 0;
}

static LRESULT CALLBACK ScriptHook(int code, WPARAM wParam, LPARAM lParam) {
  if (Current && code == HCBT_ACTIVATE) {
    HWND window = reinterpret_cast<HWND>(wParam);
    if (IsDialog(window)) {
      if (GetDlgItem(window, IDC_PASSWORD_EDIT)) {
        Current->passwordDialog = window;
      } else if (window != Current->openBox) {
        Current->openBox = window;
        Current->boxTexts.push_back(TextOf(window, 0xFFFF));
        PostMessageA(window, WM_COMMAND, IDOK, 0);
      }
    }
  }
  if (Current && code == HCBT_DESTROYWND) {
    HWND window = reinterpret_cast<HWND>(wParam);
    if (window == Current->openBox) Current->openBox = nullptr;
    if (window == Current->passwordDialog) Current->passwordDialog = nullptr;
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

static void CALLBACK ScriptTimer(HWND, UINT, UINT_PTR, DWORD) {
  DialogScript *s = Current;
  if (!s || !s->passwordDialog || s->openBox || !IsWindow(s->passwordDialog)) return;
  HWND dialog = s->passwordDialog;
  HWND edit = GetDlgItem(dialog, IDC_PASSWORD_EDIT);
  if (s->nextAnswer == 0) {
    s->prompt = TextOf(dialog, IDC_PASSWORD_PROMPT);
    s->passwordChar = int(SendMessageA(edit, EM_GETPASSWORDCHAR, 0, 0));
    s->limit = int(SendMessageA(edit, EM_GETLIMITTEXT, 0, 0));
    GetWindowRect(dialog, &s->rect);
  }
  if (s->nextAnswer >= s->answers.size()) {
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    return;
  }
  const std::string &answer = s->answers[s->nextAnswer++];
  if (answer == "\x1b") {
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    return;
  }
  SetWindowTextA(edit, answer.c_str());
  PostMessageA(dialog, WM_COMMAND, IDOK, 0);
}

DialogScript::DialogScript() {
  Current = this;
  hook = SetWindowsHookExA(WH_CBT, ScriptHook, nullptr, GetCurrentThreadId());
  timer = SetTimer(nullptr, 0, 100, ScriptTimer);
}

DialogScript::~DialogScript() {
  KillTimer(nullptr, timer);
  UnhookWindowsHookEx(hook);
  Current = nullptr;
}
