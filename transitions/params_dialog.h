// The parameter dialog "SETPARAMSDIALOG" that every plug-in shows: a speed
// scroll bar (id 1000, range 0..100) under a group box (id 1001 unless the
// effect names another) whose caption is the live "ウェイト：%d" label, plus
// the effect's own controls.
#pragma once

#include <windows.h>

#include "transitions/params_dialog_ids.h"
#include "transitions/transition_params.h"

struct EffectDialog {
  int waitOffset;  // position = wait - waitOffset on opening, wait = position + waitOffset on OK
  // Fills the effect's controls from the block (may also write limits into it).
  void (*fill)(HWND dialog, TransitionParams *params);
  // Checks the effect's controls. An out-of-range value is replaced by the
  // nearest allowed one in the control and 0 keeps the dialog open; on 1 the
  // accepted words are in words.
  int (*accept)(HWND dialog, int32_t words[EFFECT_PARAM_WORDS]);
  int waitLabel;  // id of the group box showing the speed; 0 means IDC_WAIT_GROUP
};

// Shows the dialog owned by the window with the focus. 1 on OK (wait and the
// effect words written back), 0 on Cancel (block unchanged).
int RunParamsDialog(TransitionParams *params, const EffectDialog *dialog);

// The new scroll position for a WM_HSCROLL code, clamped to 0..100.
int ScrollPosition(int position, int code, int thumb);

// Reads an edit control as an unsigned number (text that is not one reads as 0).
UINT ReadUnsigned(HWND dialog, int id);

// The module instance of the plug-in, recorded when the library is attached.
extern HINSTANCE PluginInstance;
