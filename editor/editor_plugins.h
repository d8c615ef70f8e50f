// The transitions the editor offers: the plug-ins beside the editor, loaded
// into the plug-in host's table and matched to pages by checksum. Plug-ins
// that an opened saver file carries are never loaded. A page's own dialog
// (GetTransisionParams) and a preview on the canvas.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "editor/show_pages_edit.h"
#include "show/show_pages.h"

void LoadEditorPlugins();
void UnloadEditorPlugins();
int PluginCount();
// The table index of the plug-in with that checksum, -1 when the editor has none.
int PluginIndexFor(int32_t checksum);
std::wstring PluginName(int index);
// Gives page the plug-in's transition with its default speed and words
// (index -1: no transition).
void SetPageTransition(Page *page, int index);
// The plug-in's own dialog on the page's speed and words; 1 when the user
// changed them (page updated), 0 when cancelled or the editor lacks it.
int EditTransitionParams(HWND owner, Page *page);
// The six effects in the folder command's turn order, those the editor has,
// each with its defaults.
std::vector<TransitionChoice> TurnChoices();
// Plays page's transition on the window, from the previous page (as drawn
// in previous, the page rectangle page) to next (a 24-bit Dib of the page
// rectangle's size). 1 when it ran.
int PlayTransition(HWND window, HDC dc, const Page *page, const RECT *pageRect, void *next);
// The paths of the editor's own plug-in files (ANSI).
std::vector<std::string> OwnPluginFiles();
