// The set-up program reads the package behind its own image (setup_format.h):
// the header and the whole body are checked before anything is installed.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "setup/setup_format.h"

struct OwnPackage {
  HANDLE file = INVALID_HANDLE_VALUE;
  uint64_t imageEnd = 0;     // where the program image ends and the package begins
  SetupHeader header = {};
  std::string info;
  std::vector<unsigned char> preview;
  uint64_t filesAt = 0;      // offset of the first file entry
  uint32_t bodyCrc = 0;      // the CRC-32 the package ends with
};

enum PackageState {
  PACKAGE_OK,
  PACKAGE_NONE,       // a bare set-up program (or an uninstaller): nothing behind the image
  PACKAGE_DAMAGED,    // cut short, or its bytes do not match their checksum
};

// Opens path (the program's own file) and checks its package; the file stays
// open in package->file while the state is PACKAGE_OK.
PackageState OpenOwnPackage(const wchar_t *path, OwnPackage *package);
void CloseOwnPackage(OwnPackage *package);

// Reads size bytes at offset; true when all were read.
bool ReadAt(HANDLE file, uint64_t offset, void *buffer, uint32_t size);

// The program image of the file at path without anything behind it (the
// package, a signature), its certificate entry cleared: the bytes of the
// uninstaller and of its clean-up copy.
bool ReadProgramImage(const wchar_t *path, std::vector<unsigned char> *image);

std::wstring Wide(const std::string &utf8);
// The value of key in the package's info text, as UTF-16.
std::wstring InfoValue(const OwnPackage &package, const char *key);
