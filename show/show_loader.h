// Loading a show file into the process-wide show (Show) and writing its
// embedded files into the per-run media folder, in stages: music and
// plug-ins at start-up, a page's pictures and sounds when the page is about
// to be shown. Windows only: it creates files and folders, reads
// "interval.inf" and shows the load-failure message and the password dialog.
#pragma once

#include <windows.h>

#include <cstdint>

#include "resources/show_dialog_ids.h"
#include "show/show_stream.h"

// 1 when the file exists, its first 132 bytes can be read and they begin
// with either show magic.
int IsShowFile(const char *path);

// Reads the show at path in mode LoadFull, LoadForPlayback or LoadPageMedia
// (pageIndex names the page for the last). Returns the page count on
// success, 0 on failure (message 5010 shown, the media folder removed), and
// 1 without reading anything when the path does not exist.
int LoadShow(const char *path, int mode, int32_t pageIndex, int askPassword);

// The seconds-per-page override from "interval.inf" in the program folder
// (section "time", key "interval"); -1 when absent.
int32_t ReadIntervalOverride(const char *programFolder);

// The password dialog "QUERYPASSWORDDIALOG2": 1 when the user typed the
// stored password, 0 when the dialog was cancelled.
int QueryPassword(HWND owner, const char *password);

// The longest password the dialog's edit control takes.
enum { PASSWORD_EDIT_LIMIT = 129 };
