// The list of measured dialogs and how each one is opened.
#include "tests/dialogs/dialog_cases.h"

#include <commctrl.h>

#include <cwchar>

#include "resources/editor_ids.h"
#include "resources/show_dialog_ids.h"
#include "resources/string_ids.h"
#include "resources/vormkit_ids.h"
#include "setup/setup_ids.h"
#include "tests/win32/plugin_library.h"
#include "transitions/params_dialog_ids.h"

namespace {
std::wstring BesideTest(const std::string &file) {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring path = self;
  path = path.substr(0, path.rfind(L'\\') + 1);
  return path + std::wstring(file.begin(), file.end());
}

// The password prompt's text comes from the program's string table.
void PreparePasswordPrompt(HWND dialog, HMODULE module) {
  wchar_t prompt[512] = {};
  LoadStringW(module, IDS_PASSWORD_PROMPT, prompt, 512);
  SetDlgItemTextW(dialog, IDC_PASSWORD_PROMPT, prompt);
}

// The speed label at its longest, "ウェイト：100", as the plug-in writes it.
void PrepareSpeed(HWND dialog, HMODULE) {
  SendMessageW(dialog, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 100),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_WAIT_SCROLL)));
}

// A plug-in may write the screen size into a text (QUADRIL's limits): every
// control's number that equals this screen's width or height is replaced by
// that of a 7680 x 4320 screen, the longest the dialog is made for.
void PrepareSpeedAndLargestScreen(HWND dialog, HMODULE module) {
  PrepareSpeed(dialog, module);
  const std::wstring width = std::to_wstring(GetSystemMetrics(SM_CXSCREEN));
  const std::wstring height = std::to_wstring(GetSystemMetrics(SM_CYSCREEN));
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t text[512] = {};
    GetWindowTextW(child, text, 512);
    std::wstring in = text, out;
    for (size_t i = 0; i < in.size();) {
      if (!iswdigit(in[i])) {
        out += in[i++];
        continue;
      }
      size_t j = i;
      while (j < in.size() && iswdigit(in[j])) ++j;
      std::wstring number = in.substr(i, j - i);
      out += number == width ? L"7680" : number == height ? L"4320" : number;
      i = j;
    }
    if (out != in) SetWindowTextW(child, out.c_str());
  }
}

// The set-up window's question (with name) and note, from its string table.
void PrepareSetupTexts(HWND dialog, HMODULE module, UINT question, UINT note, const wchar_t *name) {
  wchar_t format[512] = {}, text[512] = {};
  LoadStringW(module, question, format, 512);
  LoadStringW(module, note, text, 512);
  std::wstring ask = format;
  size_t at = ask.find(L"%s");
  if (at != std::wstring::npos) ask.replace(at, 2, name);
  SetDlgItemTextW(dialog, IDC_SETUP_QUESTION, ask.c_str());
  SetDlgItemTextW(dialog, IDC_SETUP_NOTE, text);
}

// A saver's, with a long show name of 28 full-width characters.
void PrepareSaverSetup(HWND dialog, HMODULE module) {
  PrepareSetupTexts(dialog, module, IDS_ASK_SAVER, IDS_NOTE_SAVER, L"春の京都と奈良の古い寺をめぐる旅の写真集二〇二六年四月");
}

// VORMKIT's own.
void PrepareKitSetup(HWND dialog, HMODULE module) {
  PrepareSetupTexts(dialog, module, IDS_ASK_KIT, IDS_NOTE_KIT, L"VORMKIT");
}

std::wstring LoadedText(HMODULE module, UINT id) {
  wchar_t text[512] = {};
  LoadStringW(module, id, text, 512);
  return text;
}

// The editor's settings pane: the title of page 500 of 500, and the note of
// a page whose plug-in the editor lacks.
void PreparePageSettings(HWND dialog, HMODULE module) {
  wchar_t title[64];
  wsprintfW(title, LoadedText(module, IDS_PAGE_TITLE).c_str(), 500, 500);
  SetDlgItemTextW(dialog, IDC_PAGE_TITLE, title);
  SetDlgItemTextW(dialog, IDC_TRANSITION_NOTE, LoadedText(module, IDS_PLUGIN_MISSING).c_str());
  wchar_t voice[128];
  wsprintfW(voice, LoadedText(module, IDS_VOICE_TIME).c_str(), L"1234.5");
  SetDlgItemTextW(dialog, IDC_VOICE_NAME, (std::wstring(L"春の京都と奈良の寺めぐり.wav\r\n") + voice).c_str());
}

// The music pane's total with long lengths.
void PrepareMusicPane(HWND dialog, HMODULE module) {
  std::wstring total = LoadedText(module, IDS_MUSIC_TOTAL);
  total.replace(total.find(L"%s"), 2, L"12345.6");
  total.replace(total.find(L"%d"), 2, L"12345.6");
  SetDlgItemTextW(dialog, IDC_MUSIC_TOTAL, total.c_str());
}

// The show's settings with large estimated sizes and the longer password state.
void PrepareShowSettings(HWND dialog, HMODULE module) {
  wchar_t text[128];
  wsprintfW(text, LoadedText(module, IDS_QUALITY_BEST).c_str(), L"1234.5 MB");
  SetDlgItemTextW(dialog, IDC_QUALITY_BEST, text);
  wsprintfW(text, LoadedText(module, IDS_QUALITY_SMALL).c_str(), L"1234.5 MB");
  SetDlgItemTextW(dialog, IDC_QUALITY_SMALL, text);
  SetDlgItemTextW(dialog, IDC_PASSWORD_STATE, LoadedText(module, IDS_PASSWORD_OFF).c_str());
}

// The text dialog with a long face, size and style, as the editor writes them.
void PrepareTextDialog(HWND dialog, HMODULE) {
  SetDlgItemTextW(dialog, IDC_TEXT_FONT_NAME, L"ＭＳ Ｐ明朝  144  B  I");
}

// The progress of writing a saver with a name of 16 full-width characters.
void PrepareProgress(HWND dialog, HMODULE module) {
  wchar_t text[256];
  wsprintfW(text, LoadedText(module, IDS_WRITING).c_str(), L"春の京都と奈良の寺めぐり二〇二六.scr");
  SetDlgItemTextW(dialog, IDC_PROGRESS_TEXT, text);
}

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }
}  // namespace

std::vector<DialogCase> DialogCases() {
  std::vector<DialogCase> cases = {
      {"VORMKIT.scr settings", "VORMKIT.scr", MAKEINTRESOURCEW(DLG_SCRNSAVECONFIGURE), nullptr},
      {"VORMKIT.scr password prompt", "VORMKIT.scr", L"QUERYPASSWORDDIALOG2", PreparePasswordPrompt},
      {"vormkit-setup.exe, a saver", "vormkit-setup.exe", MAKEINTRESOURCEW(IDD_SETUP), PrepareSaverSetup},
      {"vormkit-setup.exe, VORMKIT", "vormkit-setup.exe", MAKEINTRESOURCEW(IDD_SETUP), PrepareKitSetup},
      {"vormkit-editor.exe page settings", "vormkit-editor.exe", MAKEINTRESOURCEW(IDD_PAGE_SETTINGS),
       PreparePageSettings},
      {"vormkit-editor.exe text", "vormkit-editor.exe", MAKEINTRESOURCEW(IDD_TEXT), PrepareTextDialog},
      {"vormkit-editor.exe progress", "vormkit-editor.exe", MAKEINTRESOURCEW(IDD_PROGRESS), PrepareProgress},
      {"vormkit-editor.exe music pane", "vormkit-editor.exe", MAKEINTRESOURCEW(IDD_MUSIC_PANE), PrepareMusicPane},
      {"vormkit-editor.exe show settings", "vormkit-editor.exe", MAKEINTRESOURCEW(IDD_SHOW_SETTINGS),
       PrepareShowSettings},
  };
  // Every effect of the effect list, as the build gives it: "nijimu,QUADRIL,...".
  std::string effects = VK_EFFECTS;
  for (size_t start = 0; start < effects.size();) {
    size_t comma = effects.find(',', start);
    if (comma == std::string::npos) comma = effects.size();
    std::string effect = effects.substr(start, comma - start);
    cases.push_back({effect, effect + ".tns", nullptr, PrepareSpeedAndLargestScreen});
    start = comma + 1;
  }
  return cases;
}

bool MeasureCase(const DialogCase &c, std::vector<TextFit> *fits, std::string *error) {
  std::wstring path = BesideTest(c.file);
  if (c.resource) {
    // The editor's dialogs hold common controls (up-down, progress bar).
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_UPDOWN_CLASS | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) {
      *error = c.file + ": cannot be loaded";
      return false;
    }
    // A pane that is a child dialog gets a hidden window to live in.
    HWND holder = CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 2000, 2000, nullptr, nullptr, nullptr, nullptr);
    HWND dialog = CreateDialogParamW(module, c.resource, holder, PlainDialogProc, 0);
    if (dialog) {
      if (c.prepare) c.prepare(dialog, module);
      *fits = MeasureDialog(dialog);
      DestroyWindow(dialog);
    } else {
      *error = c.name + ": the dialog cannot be created from " + c.file;
    }
    DestroyWindow(holder);
    FreeLibrary(module);
    return dialog != nullptr;
  }

  // A plug-in's dialog runs in GetTransisionParams's modal loop; it is
  // measured from a second thread and cancelled.
  PluginLibrary lib(c.file.c_str());
  if (!lib.module || !lib.Get("GetTransisionParams")) {
    *error = c.file + ": cannot be loaded as a plug-in";
    return false;
  }
  TransitionParams params = {};
  lib.Get("GetTransisionDefaultParams")(&params);
  bool opened = false;
  RunParamsDialog(lib, &params, [&](HWND dialog) {
    opened = true;
    if (c.prepare) c.prepare(dialog, lib.module);
    *fits = MeasureDialog(dialog);
    SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  if (!opened) *error = c.name + ": the parameter dialog did not open";
  return opened;
}
