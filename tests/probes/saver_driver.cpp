// Drives a real saver file the way Windows does, for the end-to-end tests:
//   saver_driver preview SAVER LINKLOG  - runs "SAVER /p <hwnd>" in a small
//       parent window, checks the child fills it, clicks it (the HTML
//       association points at "saver_driver record LINKLOG"), presses Esc.
//   saver_driver config SAVER [uncheck IDS] [cancel] - runs "SAVER /c:<hwnd>",
//       reports the four boxes and the link button, unchecks the given boxes
//       (comma-separated ids), presses OK or Cancel, reports the profile value.
//   saver_driver errorbox [utf8] - waits for a message box captioned "エラー"
//       (any process), prints its text ("box: ...", in UTF-8 with utf8), and
//       presses its OK button.
//   saver_driver ARGS... (anything else) - the stand-in browser: appends its
//       arguments to the file named by the environment variable VORMKIT_LINK_LOG.
// Every check prints "ok: ..." or "FAIL: ..."; the exit status counts failures.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "shell/base/messages.h"

namespace {
int failures = 0;

void Check(bool ok, const char *what) {
  printf("%s: %s\n", ok ? "ok" : "FAIL", what);
  fflush(stdout);
  if (!ok) ++failures;
}

PROCESS_INFORMATION Start(const std::string &saver, const std::string &arguments) {
  std::string line = "\"" + saver + "\" " + arguments;
  STARTUPINFOA start = {};
  start.cb = sizeof start;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &start, &process))
    process.hProcess = nullptr;
  return process;
}

bool Ended(const PROCESS_INFORMATION &process, DWORD ms) {
  return process.hProcess && WaitForSingleObject(process.hProcess, ms) == WAIT_OBJECT_0;
}

std::string AppNameOf(const std::string &saver) { return saver.substr(saver.find_last_of("\\/") + 1); }

void PumpFor(DWORD ms) {
  DWORD start = GetTickCount();
  MSG msg;
  while (GetTickCount() - start < ms) {
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    Sleep(10);
  }
}

int Preview(const std::string &saver, const std::string &linkLog) {
  HWND parent = CreateWindowExA(0, "STATIC", "preview parent", WS_POPUP | WS_VISIBLE, 100, 100, 152, 112, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
  PROCESS_INFORMATION process = Start(saver, "/p " + std::to_string(reinterpret_cast<uintptr_t>(parent)));
  Check(process.hProcess != nullptr, "the saver starts in preview mode");
  HWND child = nullptr;
  for (int i = 0; i < 300 && !child; ++i) {
    PumpFor(50);
    child = FindWindowExA(parent, nullptr, "WindowsScreenSaverClass", "Preview");
  }
  Check(child != nullptr, "a child window of class WindowsScreenSaverClass named Preview appears");
  if (!child) return failures;
  RECT pc, cc;
  GetClientRect(parent, &pc);
  GetClientRect(child, &cc);
  Check(pc.right == cc.right && pc.bottom == cc.bottom, "the child fills the parent's client area");
  PumpFor(1500);
  Check(!Ended(process, 0), "the preview keeps running");
  DeleteFileA(linkLog.c_str());
  PostMessageA(child, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  PostMessageA(child, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
  bool opened = false;
  for (int i = 0; i < 100 && !opened; ++i) {
    PumpFor(100);
    opened = GetFileAttributesA(linkLog.c_str()) != INVALID_FILE_ATTRIBUTES;
  }
  Check(opened, "a click in the preview opens the link address in the browser");
  Check(!Ended(process, 500), "the preview keeps playing after the click");
  PostMessageA(child, WM_KEYDOWN, VK_ESCAPE, 0);
  bool ended = false;
  for (int i = 0; i < 100 && !ended; ++i) {
    PumpFor(50);
    ended = Ended(process, 0);
  }
  Check(ended, "Esc closes the preview");
  DestroyWindow(parent);
  return failures;
}

int Config(const std::string &saver, const std::string &uncheck, bool cancel) {
  HWND owner = CreateWindowExA(0, "STATIC", "config owner", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
  PROCESS_INFORMATION process = Start(saver, "/c:" + std::to_string(reinterpret_cast<uintptr_t>(owner)));
  HWND dialog = nullptr;
  // "スクリーンセーバー セットアップ"
  const char *caption = "\x83\x58\x83\x4e\x83\x8a\x81\x5b\x83\x93\x83\x5a\x81\x5b\x83\x6f\x81\x5b\x20\x83\x5a\x83"
                        "\x62\x83\x67\x83\x41\x83\x62\x83\x76";
  // Visible once its WM_INITDIALOG has filled it.
  for (int i = 0; i < 300 && !dialog; ++i) {
    PumpFor(50);
    HWND found = FindWindowA("#32770", caption);
    if (found && IsWindowVisible(found)) dialog = found;
  }
  Check(dialog != nullptr, "the settings dialog appears");
  if (!dialog) return failures;
  PumpFor(300);
  const int boxes[4] = {5830, 5831, 5832, 5835};
  printf("boxes:");
  for (int id : boxes) printf(" %d=%d", id, static_cast<int>(IsDlgButtonChecked(dialog, id)));
  RECT link;
  GetWindowRect(GetDlgItem(dialog, 5834), &link);
  char linkText[300] = {};
  GetDlgItemTextA(dialog, 5834, linkText, sizeof linkText);
  printf("\nlink: %ldx%ld %s\n", link.right - link.left, link.bottom - link.top, linkText);
  for (const char *p = uncheck.c_str(); *p;) {
    int id = atoi(p);
    if (id) SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
    p = strchr(p, ',') ? strchr(p, ',') + 1 : p + strlen(p);
  }
  SendMessageA(GetDlgItem(dialog, cancel ? IDCANCEL : IDOK), BM_CLICK, 0, 0);
  Check(Ended(process, 10000), "the dialog ends the process");
  DWORD code = 99;
  GetExitCodeProcess(process.hProcess, &code);
  printf("exit: %lu\n", code);
  char value[32] = "(none)";
  GetProfileStringA(AppNameOf(saver).c_str(), "setting", "(none)", value, sizeof value);
  printf("setting: %s\n", value);
  DestroyWindow(owner);
  return failures;
}
// A message box's text is its static control with the id 0xFFFF.
// utf8: the text as the box shows it (a Unicode program's box), in UTF-8.
int ErrorBox(bool utf8) {
  HWND box = nullptr;
  for (int i = 0; i < 600 && !box; ++i) {
    box = FindWindowA("#32770", CAPTION_ERROR);
    if (!box) Sleep(50);
  }
  Check(box != nullptr, "an error box appears");
  if (!box) return failures;
  char text[2048] = {};
  if (utf8) {
    wchar_t wide[1024] = {};
    GetDlgItemTextW(box, 0xFFFF, wide, 1024);
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, text, sizeof text, nullptr, nullptr);
  } else {
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
  }
  printf("box: %s\n", text);
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  return failures;
}
}  // namespace

int main(int argc, char **argv) {
  if (argc >= 2 && !strcmp(argv[1], "errorbox")) return ErrorBox(argc >= 3 && !strcmp(argv[2], "utf8"));
  if (argc >= 4 && !strcmp(argv[1], "preview")) return Preview(argv[2], argv[3]);
  if (argc >= 3 && !strcmp(argv[1], "config")) {
    std::string uncheck;
    bool cancel = false;
    for (int i = 3; i < argc; ++i) {
      if (!strcmp(argv[i], "cancel")) cancel = true;
      else if (!strcmp(argv[i], "uncheck") && i + 1 < argc) uncheck = argv[++i];
    }
    return Config(argv[2], uncheck, cancel);
  }
  const char *log = getenv("VORMKIT_LINK_LOG");
  if (!log) {
    fprintf(stderr, "usage: saver_driver preview SAVER LINKLOG | config SAVER [uncheck IDS] [cancel] | errorbox\n");
    return 2;
  }
  FILE *file = fopen(log, "a");
  if (!file) return 1;
  for (int i = 1; i < argc; ++i) fprintf(file, "%s ", argv[i]);
  fprintf(file, "\n");
  fclose(file);
  return 0;
}
