// Writing a show in either variant. The saver variant embeds every picture
// (as JPEG), sound, music file and transition plug-in; the working variant
// refers to them by path and carries each page's preview image. The media are
// read with the C runtime; nothing is shown to the user: failures come back
// as 0 with a message in the options' error buffer.
#pragma once

#include <cstddef>
#include <cstdio>

#include "show/show_document.h"

// Where the bytes go.
struct ShowSink {
  void *context;
  int (*write)(void *context, const void *bytes, size_t size);  // 1 when all written
};

// A growing memory block; block is null until the first write.
struct MemorySink {
  unsigned char *block;
  size_t used;
};
void OpenMemorySink(ShowSink *sink, MemorySink *memory);
void OpenFileSink(ShowSink *sink, FILE *file);

constexpr int DEFAULT_JPEG_QUALITY = 100;

struct WriteOptions {
  ShowVariant variant;
  int jpegQuality;               // 0 means DEFAULT_JPEG_QUALITY
  const char *programFolder;     // expands stored paths that begin with '@'; may be null
  const char *tempFolder;        // where converted pictures are written
  const char *const *pluginFiles;  // the plug-in modules the pages' transitions may name
  int pluginFileCount;
  char *error;                   // receives a message on failure; may be null
  size_t errorSize;
};

// 1 when the whole show was written to the sink.
int WriteShow(const ShowDocument *show, const WriteOptions *options, ShowSink *sink);
