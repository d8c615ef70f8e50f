// Every menu command of the editor, by its id (resources/editor_ids.h).
#pragma once

#include <windows.h>

void RunCommand(HWND window, int id);
// 1 when the command can run now (for the menus' grey state).
int CommandEnabled(int id);
