// The settings dialog (resource 2003): four switches per saver file, and a
// button that opens the show author's web page when the show has a link.
#include <windows.h>

#include <cstdio>

#include "shell/file_ops.h"
#include "shell/saver_framework.h"
#include "shell/saver_startup.h"
#include "shell/startup_state.h"
#include "shell/system_ops.h"
#include "show/show_document.h"

enum { IDC_TRANSITION = 5830, IDC_SOUND = 5831, IDC_BGM = 5832, IDC_LINK = 5834, IDC_TEXT_ANIMATION = 5835 };

static void ShowSwitches(HWND dialog) {
  const PlayerSettings &s = Startup.settings;
  CheckDlgButton(dialog, IDC_TRANSITION, s.noTransition ? BST_UNCHECKED : BST_CHECKED);
  CheckDlgButton(dialog, IDC_SOUND, s.noSound ? BST_UNCHECKED : BST_CHECKED);
  CheckDlgButton(dialog, IDC_BGM, s.noBgm ? BST_UNCHECKED : BST_CHECKED);
  CheckDlgButton(dialog, IDC_TEXT_ANIMATION, s.noTextAnimation ? BST_UNCHECKED : BST_CHECKED);
}

static void ReadSwitches(HWND dialog) {
  PlayerSettings &s = Startup.settings;
  s.noTransition = IsDlgButtonChecked(dialog, IDC_TRANSITION) == BST_CHECKED ? 0 : 1;
  s.noSound = IsDlgButtonChecked(dialog, IDC_SOUND) == BST_CHECKED ? 0 : 1;
  s.noBgm = IsDlgButtonChecked(dialog, IDC_BGM) == BST_CHECKED ? 0 : 1;
  s.noTextAnimation = IsDlgButtonChecked(dialog, IDC_TEXT_ANIMATION) == BST_CHECKED ? 0 : 1;
}

BOOL WINAPI ScreenSaverConfigureDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      if (!SaverStartUp(dialog)) {
        PostMessageA(dialog, WM_CLOSE, 0, 0);
        return TRUE;
      }
      if (Show.linkCaption[0]) {
        char text[LINK_FIELD_SIZE + 32];
        snprintf(text, sizeof text, "%s のﾎｰﾑﾍﾟｰｼﾞへ", Show.linkCaption);
        SetDlgItemTextA(dialog, IDC_LINK, text);
      }
      if (!Show.linkAddress[0]) MoveWindow(GetDlgItem(dialog, IDC_LINK), 0, 0, 0, 0, FALSE);
      ShowSwitches(dialog);
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK:
          ReadSwitches(dialog);
          WritePlayerSettings();
          EndDialog(dialog, 1);
          return TRUE;
        case IDCANCEL:
          EndDialog(dialog, 0);
          return TRUE;
        case IDC_LINK:
          OpenInBrowser(Show.linkAddress);
          return TRUE;
      }
      break;
    case WM_CLOSE:
      EndDialog(dialog, 0);
      return TRUE;
    case WM_DESTROY:
      if (SaverStartedIn(dialog)) SaverCleanUp();
      return FALSE;
  }
  return FALSE;
}

BOOL WINAPI RegisterDialogClasses(HANDLE) { return TRUE; }
