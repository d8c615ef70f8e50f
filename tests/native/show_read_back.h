// Reading a show the writer put into memory back through the loader, as the
// writer's tests check what they wrote: the whole show, with the media files
// the loader extracts kept in memory by the names it gives them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

#include "shell/base/mem_block.h"
#include "show/show_pages.h"
#include "show/show_stream.h"

// Extracted media files by name.
using KeptFiles = std::map<std::string, std::string>;

inline int KeepFile(void *context, MediaKind, const char *name, const unsigned char *bytes, uint32_t size) {
  (*static_cast<KeptFiles *>(context))[name] = std::string(reinterpret_cast<const char *>(bytes), size);
  return 1;
}

// Parses size bytes at data in LoadFull mode into *back, allocating its page
// array. Media go into *files under names starting with mediaFolder; with no
// files they are not extracted. *remaining, when given, gets the bytes the
// parser left unread.
inline ParseResult ReadShowBack(const void *data, size_t size, const char *mediaFolder, KeptFiles *files,
                                ShowDocument *back, uint64_t *remaining = nullptr) {
  *back = ShowDocument{};
  back->pages.pages = static_cast<Page *>(MemAlloc(0));
  ParseRequest request = {};
  request.mode = LoadFull;
  request.intervalOverride = -1;
  request.mediaFolder = mediaFolder;
  if (files) {
    request.hooks.context = files;
    request.hooks.writeFile = KeepFile;
  }
  ShowReader reader;
  MemoryStream stream;
  OpenMemoryReader(&reader, &stream, data, size);
  ParseResult result = ParseShow(&reader, &request, back);
  if (remaining) *remaining = reader.remaining;
  return result;
}

// Frees the pages of a show built or read by a test.
inline void FreeShow(ShowDocument *show) {
  DropAllPages(&show->pages, nullptr);
  MemFreePtr(show->pages.pages);
}
