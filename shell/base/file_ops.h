// Files, folders and temporary names on Windows.
#pragma once

#include <windows.h>

#include <cstddef>

int PathExists(const char *path);  // 0 nothing, 1 a file, 2 a folder
DWORD FileSizeOf(const char *path);  // by directory search; 0 when missing

// Reads the whole file into buffer (capacity bytes). Fails when the file is
// larger than the buffer. With report set, a failure shows the read-failure box.
int ReadWholeFile(const char *path, void *buffer, size_t capacity, bool report);
// Creates or truncates the file and writes the bytes; a failed or short write
// deletes the file. With report set, a failure shows the write-failure box.
int WriteWholeFile(const char *path, const void *bytes, DWORD length, bool report);

// The system temp path with its trailing '\' (created when missing).
int EnsureTempFolder(char *buffer);
// True when the desktop has 8 or fewer bits per pixel.
bool DisplayTooShallow();

// Local time as "YYYYMMDD_hhmmssmmm" into a buffer of at least 19 bytes.
void TimeStampName(char *out);
// A fresh "<time stamp>.TMP" path in folder (or the temp folder): 0 when no
// file or folder of that name with any extension exists, 1000 after 1000
// collisions (the last candidate stays in out).
int MakeUniqueTempName(const char *folder, char *out);
// Removes a folder and everything in it. Refuses drive roots and folders
// inside the Windows or system folder (unless inside the temp folder).
int DeleteTree(const char *folder);
