// The common parameter dialog of the plug-ins. Its state lives in module
// variables: a plug-in has at most one dialog open at a time.
#include "transitions/params_dialog.h"

#include <cstdio>
#include <cstring>

#include "shell/base/center_window.h"

HINSTANCE PluginInstance;

static TransitionParams *dialogParams;
static const EffectDialog *dialogSpec;
static int dialogPosition;

int ScrollPosition(int position, int code, int thumb) {
  switch (code) {
    case SB_LINELEFT: position -= 1; break;
    case SB_LINERIGHT: position += 1; break;
    case SB_PAGELEFT: position -= 10; break;
    case SB_PAGERIGHT: position += 10; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: position = thumb; break;
    default: break;
  }
  return position < 0 ? 0 : position > 100 ? 100 : position;
}

UINT ReadUnsigned(HWND dialog, int id) {
  BOOL ok = FALSE;
  UINT value = GetDlgItemInt(dialog, id, &ok, FALSE);
  return ok ? value : 0;
}

static void ShowPosition(HWND dialog) {
  char label[64];
  snprintf(label, sizeof label, "ウェイト：%d", dialogPosition);
  SetDlgItemTextA(dialog, dialogSpec->waitLabel ? dialogSpec->waitLabel : IDC_WAIT_GROUP, label);
  SetScrollPos(GetDlgItem(dialog, IDC_WAIT_SCROLL), SB_CTL, dialogPosition, TRUE);
}

static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      HWND scroll = GetDlgItem(dialog, IDC_WAIT_SCROLL);
      SetScrollRange(scroll, SB_CTL, 0, 100, FALSE);
      dialogPosition = dialogParams->wait - dialogSpec->waitOffset;
      if (dialogPosition < 0) dialogPosition = 0;
      if (dialogPosition > 100) dialogPosition = 100;
      ShowPosition(dialog);
      if (dialogSpec->fill) dialogSpec->fill(dialog, dialogParams);
      CenterOverOwner(dialog, GetDesktopWindow());
      return TRUE;
    }
    case WM_HSCROLL: {
      int position = ScrollPosition(dialogPosition, LOWORD(wParam), static_cast<short>(HIWORD(wParam)));
      if (position != dialogPosition) {
        dialogPosition = position;
        ShowPosition(dialog);
      }
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        int32_t words[EFFECT_PARAM_WORDS];
        memcpy(words, dialogParams->effectParams, sizeof words);
        if (dialogSpec->accept && !dialogSpec->accept(dialog, words)) return TRUE;
        dialogParams->wait = dialogPosition + dialogSpec->waitOffset;
        memcpy(dialogParams->effectParams, words, sizeof words);
        EndDialog(dialog, 1);
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

int RunParamsDialog(TransitionParams *params, const EffectDialog *dialog) {
  if (!params || !dialog) return 0;
  dialogParams = params;
  dialogSpec = dialog;
  INT_PTR result = DialogBoxParamA(PluginInstance, "SETPARAMSDIALOG", GetFocus(), DialogProc, 0);
  dialogParams = nullptr;
  return result == 1 ? 1 : 0;
}
