// The page settings pane: background colour (the colour dialog), display
// time in seconds, "over the previous page" (background flag 0) and the
// transition with its own settings dialog, a preview on the canvas, "apply
// to all pages" and "take turns". A page whose plug-in the editor lacks
// keeps it and says so.
#include <windows.h>
#include <commctrl.h>

#include "editor/editor_commands.h"
#include "editor/editor_plugins.h"
#include "editor/editor_state.h"
#include "editor/editor_views.h"
#include "editor/document_files.h"
#include "editor/picture_adding.h"
#include "editor/show_settings.h"
#include "editor/sound_commands.h"
#include "editor/sound_files.h"
#include "editor/wide_messages.h"
#include "resources/editor_ids.h"

namespace {
bool updating = false;
// The undo level of the last time typed, so that typing a number is one change.
size_t timeEditLevel = size_t(-1);
int32_t timeEditPage = -1;

void FillTransitions(HWND pane) {
  HWND combo = GetDlgItem(pane, IDC_TRANSITION_COMBO);
  SendMessageW(combo, CB_RESETCONTENT, 0, 0);
  LRESULT none = SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(LoadWide(IDS_NO_TRANSITION).c_str()));
  SendMessageW(combo, CB_SETITEMDATA, WPARAM(none), LPARAM(-1));
  for (int k = 0; k < PluginCount(); ++k) {
    LRESULT at = SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(PluginName(k).c_str()));
    SendMessageW(combo, CB_SETITEMDATA, WPARAM(at), LPARAM(k));
  }
}

void SelectTransition(HWND pane, const Page *page) {
  HWND combo = GetDlgItem(pane, IDC_TRANSITION_COMBO);
  int index = page ? PluginIndexFor(page->transitionId) : -1;
  bool missing = page && page->transitionId && index < 0;
  int count = int(SendMessageW(combo, CB_GETCOUNT, 0, 0));
  int select = missing ? -1 : 0;
  for (int k = 0; k < count && !missing; ++k)
    if (int(SendMessageW(combo, CB_GETITEMDATA, WPARAM(k), 0)) == index) select = k;
  SendMessageW(combo, CB_SETCURSEL, WPARAM(select), 0);
  SetDlgItemTextW(pane, IDC_TRANSITION_NOTE, missing ? LoadWide(IDS_PLUGIN_MISSING).c_str() : L"");
  bool has = index >= 0;
  EnableWindow(GetDlgItem(pane, IDC_TRANSITION_SETTINGS), has);
  EnableWindow(GetDlgItem(pane, IDC_TRANSITION_PREVIEW), has);
}

void TimeEdited(HWND pane) {
  Page *page = CurrentShowPage();
  BOOL ok = FALSE;
  UINT seconds = GetDlgItemInt(pane, IDC_TIME_EDIT, &ok, FALSE);
  if (!page || !ok || seconds > 86400 || int32_t(seconds * 1000) == page->displayTime) return;
  bool same = timeEditPage == Show.pages.selectedPage && timeEditLevel == Editor.history.past.size() &&
              Editor.history.future.empty();
  if (!same && !BeginChange()) return;
  page->displayTime = int32_t(seconds * 1000);
  timeEditPage = Show.pages.selectedPage;
  timeEditLevel = Editor.history.past.size();
  EndChange(CHANGE_PAGE);
}

INT_PTR CALLBACK PaneProc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      SendDlgItemMessageW(pane, IDC_TIME_SPIN, UDM_SETRANGE32, 0, 86400);
      FillTransitions(pane);
      return FALSE;
    case WM_DRAWITEM: {
      auto *draw = reinterpret_cast<DRAWITEMSTRUCT *>(lParam);
      if (draw->CtlID != IDC_COLOUR_SWATCH) return FALSE;
      Page *page = CurrentShowPage();
      HBRUSH brush = CreateSolidBrush(page ? page->backgroundColour : 0);
      FillRect(draw->hDC, &draw->rcItem, brush);
      DeleteObject(brush);
      FrameRect(draw->hDC, &draw->rcItem, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
      return TRUE;
    }
    case WM_COMMAND: {
      if (updating) return TRUE;
      int id = LOWORD(wParam), code = HIWORD(wParam);
      Page *page = CurrentShowPage();
      switch (id) {
        case IDC_COLOUR_BUTTON:
        case IDC_COLOUR_SWATCH:
          if (code == BN_CLICKED || code == STN_CLICKED) RunCommand(Editor.window, IDM_PAGE_COLOUR);
          return TRUE;
        case IDC_TIME_EDIT:
          if (code == EN_CHANGE) TimeEdited(pane);
          return TRUE;
        case IDC_OVER_PREVIOUS:
          if (code == BN_CLICKED && page && BeginChange()) {
            page->backgroundFlag = IsDlgButtonChecked(pane, IDC_OVER_PREVIOUS) == BST_CHECKED ? 0 : 1;
            EndChange(CHANGE_PAGE);
          }
          return TRUE;
        case IDC_TRANSITION_COMBO:
          if (code == CBN_SELCHANGE && page) {
            HWND combo = GetDlgItem(pane, IDC_TRANSITION_COMBO);
            LRESULT at = SendMessageW(combo, CB_GETCURSEL, 0, 0);
            if (at == CB_ERR) return TRUE;
            int index = int(SendMessageW(combo, CB_GETITEMDATA, WPARAM(at), 0));
            if (index == PluginIndexFor(page->transitionId) && (index >= 0 || !page->transitionId)) return TRUE;
            if (BeginChange()) {
              SetPageTransition(page, index);
              EndChange(CHANGE_PAGE);
            }
          }
          return TRUE;
        case IDC_TRANSITION_SETTINGS: RunCommand(Editor.window, IDM_TRANSITION_SETTINGS); return TRUE;
        case IDC_TRANSITION_PREVIEW: RunCommand(Editor.window, IDM_TRANSITION_PREVIEW); return TRUE;
        case IDC_TRANSITION_ALL: RunCommand(Editor.window, IDM_TRANSITION_ALL); return TRUE;
        case IDC_TRANSITION_TURNS: RunCommand(Editor.window, IDM_TRANSITION_TURNS); return TRUE;
        case IDC_VOICE_ADD: RunCommand(Editor.window, IDM_VOICE_ADD); return TRUE;
        case IDC_VOICE_PLAY: RunCommand(Editor.window, IDM_VOICE_PLAY); return TRUE;
        case IDC_VOICE_STOP: RunCommand(Editor.window, IDM_SOUND_STOP); return TRUE;
        case IDC_VOICE_REMOVE: RunCommand(Editor.window, IDM_VOICE_REMOVE); return TRUE;
      }
      return FALSE;
    }
  }
  return FALSE;
}
}  // namespace

HWND CreateSettingsPane(HWND parent) {
  HWND pane = CreateDialogParamW(Editor.instance, MAKEINTRESOURCEW(IDD_PAGE_SETTINGS), parent, PaneProc, 0);
  if (pane) ShowWindow(pane, SW_SHOW);
  return pane;
}

void SettingsPaneChanged() {
  HWND pane = Editor.settingsPane;
  if (!pane) return;
  Page *page = CurrentShowPage();
  updating = true;
  std::wstring title = LoadWide(IDS_PAGE_TITLE);
  size_t at = title.find(L"%d");
  if (at != std::wstring::npos) title.replace(at, 2, std::to_wstring(Show.pages.selectedPage + 1));
  at = title.find(L"%d");
  if (at != std::wstring::npos) title.replace(at, 2, std::to_wstring(Show.pages.pageCount));
  SetDlgItemTextW(pane, IDC_PAGE_TITLE, title.c_str());
  if (page) {
    BOOL ok = FALSE;
    UINT shown = GetDlgItemInt(pane, IDC_TIME_EDIT, &ok, FALSE);
    if (!ok || int32_t(shown * 1000) != page->displayTime) SetDlgItemInt(pane, IDC_TIME_EDIT, UINT(page->displayTime / 1000), FALSE);
    CheckDlgButton(pane, IDC_OVER_PREVIOUS, page->backgroundFlag ? BST_UNCHECKED : BST_CHECKED);
  }
  SelectTransition(pane, page);
  const char *voice = page ? PageVoice(page) : nullptr;
  std::wstring voiceText = voice ? FileNameOf(WidePath(voice)) + L"\r\n" + VoiceText(SoundLength(voice)) : LoadWide(IDS_VOICE_NONE);
  SetDlgItemTextW(pane, IDC_VOICE_NAME, voiceText.c_str());
  EnableWindow(GetDlgItem(pane, IDC_VOICE_PLAY), voice != nullptr);
  EnableWindow(GetDlgItem(pane, IDC_VOICE_STOP), voice != nullptr);
  EnableWindow(GetDlgItem(pane, IDC_VOICE_REMOVE), voice != nullptr);
  InvalidateRect(GetDlgItem(pane, IDC_COLOUR_SWATCH), nullptr, FALSE);
  updating = false;
}
