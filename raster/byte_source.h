// A bounded byte reader over either an open stdio file or a block of memory,
// used by the BMP and JPEG readers so that files and in-memory pictures go
// through the same checks. Reads never go past the end of the data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

struct ByteSource {
  FILE *file;            // when set, reads go to the file
  const uint8_t *data;   // otherwise to this memory
  size_t size;
  size_t pos;
};

inline ByteSource ByteSourceFile(FILE *file) { return ByteSource{file, nullptr, 0, 0}; }
inline ByteSource ByteSourceMemory(const void *bytes, size_t size) {
  return ByteSource{nullptr, static_cast<const uint8_t *>(bytes), bytes ? size : 0, 0};
}

// Bytes actually read (fewer at the end of the data).
inline size_t SourceRead(ByteSource *src, void *out, size_t count) {
  if (src->file) return fread(out, 1, count, src->file);
  size_t left = src->pos < src->size ? src->size - src->pos : 0;
  if (count > left) count = left;
  if (count) {
    memcpy(out, src->data + src->pos, count);
    src->pos += count;
  }
  return count;
}

// -1 at the end of the data.
inline int SourceGetByte(ByteSource *src) {
  if (src->file) return getc(src->file);
  if (src->pos >= src->size) return -1;
  return src->data[src->pos++];
}

// Position as a 64-bit offset; -1 when unknown.
inline int64_t SourceTell(ByteSource *src) {
  if (src->file) return static_cast<int64_t>(ftell(src->file));
  return static_cast<int64_t>(src->pos);
}

// Absolute seek; 0 when the position is negative or cannot be set. Memory
// may be positioned past its end (later reads then give nothing).
inline int SourceSeek(ByteSource *src, int64_t pos) {
  if (pos < 0) return 0;
  if (src->file) {
    if (pos > 0x7FFFFFFF) return 0;
    return fseek(src->file, static_cast<long>(pos), SEEK_SET) == 0;
  }
  src->pos = static_cast<size_t>(pos);
  return 1;
}
