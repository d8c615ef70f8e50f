// Pictures stored in a module's RCDATA resources (a BMP or JPEG file's
// bytes): as a Dib, or as a device bitmap for the screen.
#include <cstring>

#include "raster/dib.h"
#include "shell/base/mem_block.h"

void *DibFromResource(HMODULE module, const char *name) {
  if (!name) return nullptr;
  HRSRC found = FindResourceA(module, name, MAKEINTRESOURCEA(10));  // RT_RCDATA
  if (!found) return nullptr;
  DWORD size = SizeofResource(module, found);
  HGLOBAL loaded = LoadResource(module, found);
  const void *bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes || !size) return nullptr;
  void *copy = MemAlloc(size);
  if (!copy) return nullptr;
  memcpy(copy, bytes, size);
  void *dib = DibFromImageData(copy, size);
  MemFree(&copy);
  return dib;
}

HBITMAP BitmapFromResource(HMODULE module, const char *name) {
  void *dib = DibFromResource(module, name);
  if (!dib) return nullptr;
  HBITMAP bitmap = DibToBitmap(dib, nullptr);
  MemFree(&dib);
  return bitmap;
}
