// The dialogs whose texts the dialog test measures, in one list. A dialog is
// opened from the real product file beside the test program: a dialog
// resource of a program or plug-in file, created with the texts the program
// fills in at run time (its longest ones), or a plug-in's parameter dialog as
// GetTransisionParams shows it. Another program's dialogs are added here.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/dialogs/text_fit.h"

struct DialogCase {
  std::string name;        // for reports: "VORMKIT.scr settings", "nijimu"
  std::string file;        // the product file beside the test program
  // A dialog resource of the file (a name, or MAKEINTRESOURCE of an id); null
  // for a plug-in's own parameter dialog, opened through GetTransisionParams.
  const wchar_t *resource;
  // Puts the longest texts the program shows at run time into the open dialog.
  void (*prepare)(HWND dialog, HMODULE module);
};

std::vector<DialogCase> DialogCases();

// Opens the case's dialog, prepares it, measures every control and closes it.
// False (with error set) when the file or the dialog cannot be opened.
bool MeasureCase(const DialogCase &c, std::vector<TextFit> *fits, std::string *error);
