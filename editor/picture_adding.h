// Bringing pictures into the show: files from the open dialog or dropped on
// the canvas (added to the current page, fitted, upright by their
// orientation tag), and folders (one page per picture, as the folder
// command makes them). A file that is no picture gets message 5021 naming
// it; a path that cannot be stored is replaced by its short name or a copy.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "show/show_document.h"

// What a picture file holds, found without keeping its pixels.
struct PictureInfo {
  int32_t width, height;  // as stored
  int32_t orientation;    // the code that shows it upright
};
// 0 when the file is no picture or cannot be read; why says which.
int ReadPictureInfo(const std::wstring &path, PictureInfo *info, std::wstring *why);

// The open dialog with the title and filter strings (ids), several files at
// once when asked; one path, or each of several, in paths.
int AskForFiles(HWND owner, UINT title, UINT filter, bool several, std::vector<std::wstring> *paths);
// The folder dialog with the title string (id); "" when cancelled.
std::wstring AskForFolder(HWND owner, UINT title);
// The open dialog (title 5158, several files at once).
int AskForPictures(HWND owner, std::vector<std::wstring> *paths);
// Adds the files to the current page as one change. Returns how many were added.
int AddPictureFiles(const std::vector<std::wstring> &paths);
// The picture files of a folder in natural name order (no subfolders).
std::vector<std::wstring> FolderPictures(const std::wstring &folder);
// Fills pages (appended to show from index at) with one page per picture:
// fitted on the page, the transitions taking turns. Returns the page count
// added; files that are not pictures are left out, damaged ones named in
// skipped.
int AddFolderPages(ShowDocument *show, int32_t at, const std::wstring &folder, std::vector<std::wstring> *skipped);

// The last part of a path: the file's name.
std::wstring FileNameOf(const std::wstring &path);

// The path to store for a picture file (see cp932_text.h); "" when none.
std::string StorablePicturePath(const std::wstring &path);

// Loading pictures for drawing: every format the folder command reads,
// JPEG decoded at a reduced scale when the picture is much larger than it
// is drawn (PictureDrawSize sets that size for the calling thread).
void *LoadPictureForDrawing(const char *path);
void PictureDrawSize(int32_t longestSide);
