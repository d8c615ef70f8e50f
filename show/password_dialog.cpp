// The password dialog "QUERYPASSWORDDIALOG2": asks for the editing password
// of a show, shows '*' for each character, compares exactly.
#include <cstring>

#include "shell/base/center_window.h"
#include "shell/base/messages.h"
#include "shell/base/startup_state.h"
#include "show/show_loader.h"
#include "show/show_records.h"

static INT_PTR CALLBACK PasswordProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      SetWindowLongPtrA(dialog, DWLP_USER, lParam);
      char prompt[512];
      LoadMessage(IDS_PASSWORD_PROMPT, prompt, sizeof prompt);
      SetDlgItemTextA(dialog, IDC_PASSWORD_PROMPT, prompt);
      SetDlgItemTextA(dialog, IDC_PASSWORD_EDIT, "");
      SendDlgItemMessageA(dialog, IDC_PASSWORD_EDIT, EM_LIMITTEXT, PASSWORD_EDIT_LIMIT, 0);
      SendDlgItemMessageA(dialog, IDC_PASSWORD_EDIT, EM_SETPASSWORDCHAR, '*', 0);
      CenterOverOwner(dialog, GetWindow(dialog, GW_OWNER));
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        char typed[PASSWORD_BUFFER_SIZE] = {};  // up to 127 characters are compared
        GetDlgItemTextA(dialog, IDC_PASSWORD_EDIT, typed, sizeof typed);
        const char *stored = reinterpret_cast<const char *>(GetWindowLongPtrA(dialog, DWLP_USER));
        if (stored && strcmp(typed, stored) == 0)
          EndDialog(dialog, 1);
        else
          ShowError(dialog, IDS_WRONG_PASSWORD);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, 0);
        return TRUE;
      }
      break;
  }
  return FALSE;
}

int QueryPassword(HWND owner, const char *password) {
  HINSTANCE instance = Startup.instance ? Startup.instance : GetModuleHandleA(nullptr);
  INT_PTR result = DialogBoxParamA(instance, "QUERYPASSWORDDIALOG2", owner, PasswordProc,
                                   reinterpret_cast<LPARAM>(password));
  return result == 1;
}
