// The last eight shows opened or saved, in the ファイル menu above 終了, kept
// in the registry beside the window's place (HKCU\Software\VORMKIT\Editor,
// values Recent0 .. Recent7, the latest first).
#pragma once

#include <string>

void AddRecentFile(const std::wstring &path);
// The k-th (0 = latest); "" when none.
std::wstring RecentFile(int k);
// Puts the list into the window's ファイル menu.
void UpdateRecentMenu();
