// The editor's files: a new show, opening a working file, a saver file or a
// folder of pictures, saving the working variant with its previews, and
// writing a saver file. The opened show's temp folder lives here too.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "show/show_document.h"

// A path the ANSI file functions (and the show's CP932 paths) can name: the
// path itself when CP932 holds it, else its short form; "" when neither.
std::string AnsiPath(const std::wstring &path);
std::wstring WidePath(const std::string &cp932);

// Removes the temp folders that earlier editor runs left behind (a crash).
void RemoveStaleTempFolders();
// Creates the running editor's temp folder when it has none; "" on failure.
const std::wstring &EditorTempFolder();
// Removes the open show's temp folder and forgets the carried plug-ins.
void CloseShowFiles();
// At the end of the run: the show's files and the editor's temp folder.
void RemoveEditorTempFolder();

// One empty page in the page size of the monitor the editor runs on.
void NewShow();
// Opens what path names, by its content: a working file, a saver file (the
// password asked when it has one), or a folder (one page per picture).
// Unsaved changes are asked about first. 0 when nothing was opened (the
// show in the editor then stays as it was).
int OpenPath(const std::wstring &path);
// 1 when the show may be replaced or closed: no unsaved changes, or the user
// saved or discarded them; 0 when the user cancelled.
int AskToKeepChanges();

// Writes the show as a working file at target, beside it first and renamed
// over it when complete (with each page's preview when asked); 0 with the
// target unchanged and no side file left when it fails. Shows nothing.
int WriteWorkingVariant(const std::wstring &target, bool previews);
// Opens a recovery file (a working file) as the show it was saved from:
// named origin ("" for a new show), with unsaved changes.
int OpenRecoveredShow(const std::wstring &file, const std::wstring &origin);

// Save (asking for a name when the show has none, or always with askName).
int SaveWorking(bool askName);
// Ctrl+E: asks for the target and writes the saver file.
int SaveSaverAs();
// Writes show as a saver file at target (ANSI-capable path): the player
// beside the editor, the marker and the saver variant, through a side file
// renamed into place; with progress and Cancel when it takes a while.
// 0 with message 5006 (or the reason) shown on failure; target unchanged.
int WriteSaverFile(HWND owner, const std::wstring &target, const ShowDocument *show, bool progress);

// Asks for a file to save under with the dialog title and filter string ids,
// then whether to replace it when it exists; "" when cancelled.
std::wstring AskTargetName(UINT title, UINT filter, const wchar_t *extension, const std::wstring &suggested);

// The plug-in files the writer may embed: the editor's own and those the
// open show brought with it.
std::vector<std::string> PluginFilesForWriting();
