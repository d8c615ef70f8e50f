// Pictures and sounds whose files have moved or been deleted: found, named,
// marked on the canvas (canvas.cpp), looked for in another folder, and a
// reason to refuse writing a saver file.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// 1 when the stored (CP932) path names no file.
int MediaMissing(const char *path);
// The missing files of the show (pictures, voices, music), each once.
std::vector<std::wstring> MissingMediaFiles();
// After opening: names the missing files and offers to look in another folder.
void OfferToFindMissing(HWND owner);
// Asks for a folder and points every missing file found there by name at it
// (one change).
void FindMissingMedia(HWND owner);
// 1 (with the message naming them) when files are missing.
int RefuseForMissingMedia(HWND owner);
