// The set-up program's window: the question with the show's name, its first
// page and Yes / No.
#pragma once

#include "setup/own_package.h"

// True when the user chose Yes.
bool AskToInstall(const OwnPackage &package);

// A message box with the program's own caption for kind (IDS_ERROR,
// IDS_QUESTION or IDS_INFORMATION) and the string id formatted with arg;
// true for Yes on a question.
bool Say(UINT kind, UINT id, const std::wstring &arg);
