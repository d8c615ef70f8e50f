// Plug-in checksums and whole-file reading through the C runtime.
#include "shell/base/file_checksum.h"

#include <cstdio>

#include "shell/base/mem_block.h"

int32_t SignedByteSum(const unsigned char *bytes, size_t size) {
  uint32_t sum = 0;  // unsigned, so that the wrap is defined
  for (size_t i = 0; i < size; ++i) sum += uint32_t(int32_t(int8_t(bytes[i])));
  return int32_t(sum);
}

unsigned char *ReadFileBlock(const char *path, size_t *size) {
  *size = 0;
  if (!path || !*path) return nullptr;
  FILE *file = fopen(path, "rb");
  if (!file) return nullptr;
  unsigned char *bytes = nullptr;
  long length = -1;
  if (fseek(file, 0, SEEK_END) == 0) length = ftell(file);
  if (length >= 0 && length <= INT32_MAX && fseek(file, 0, SEEK_SET) == 0) {
    bytes = static_cast<unsigned char *>(MemAlloc(size_t(length)));
    if (bytes && fread(bytes, 1, size_t(length), file) != size_t(length)) MemFreePtr(bytes);
  }
  fclose(file);
  if (bytes) *size = size_t(length);
  return bytes;
}

int32_t FileChecksum(const char *path) {
  size_t size;
  unsigned char *bytes = ReadFileBlock(path, &size);
  if (!bytes) return 0;
  int32_t sum = SignedByteSum(bytes, size);
  MemFreePtr(bytes);
  return sum;
}
