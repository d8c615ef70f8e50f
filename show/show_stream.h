// Reading a show stream front to back, both variants, over a bounded reader:
// every count and size is checked against what is left of the stream before
// anything is allocated, so a damaged or hostile stream fails cleanly instead
// of asking for huge blocks or wrapping 32-bit arithmetic. What happens to the
// embedded files (writing them, or not) is left to the caller's hooks; this
// file creates no files and shows no messages.
#pragma once

#include <cstdint>

#include "show/show_document.h"

// A source of bytes with a known number of bytes left.
struct ShowReader {
  void *context;
  int (*read)(void *context, void *buffer, uint32_t size);  // 1 when all bytes were read
  int (*skip)(void *context, uint32_t size);               // 1 when skipped
  uint64_t remaining;
};

// Reads or skips exactly size bytes; 0 (and nothing consumed) when fewer are left.
int StreamRead(ShowReader *reader, void *buffer, uint64_t size);
int StreamSkip(ShowReader *reader, uint64_t size);
int StreamReadInt32(ShowReader *reader, int32_t *value);

struct MemoryStream {
  const unsigned char *data;
  size_t size;
  size_t position;
};
void OpenMemoryReader(ShowReader *reader, MemoryStream *stream, const void *data, size_t size);

// The largest piece of an embedded file that streamed writing holds at once.
constexpr uint32_t MEDIA_CHUNK_SIZE = 1u << 20;

enum LoadMode { LoadFull = 0, LoadForPlayback = 1, LoadPageMedia = 2 };
enum MediaKind { MEDIA_MUSIC, MEDIA_PICTURE, MEDIA_SOUND, MEDIA_PLUGIN };
enum ParseResult { PARSE_FAILED = 0, PARSE_OK = 1, PARSE_CANCELLED = 2 };

// What the caller does with the stream's side effects. Every hook may be null.
struct ParseHooks {
  void *context;
  // After the header (variant known): 0 fails the load. The loader creates
  // the media folder here.
  int (*headerRead)(void *context, ShowVariant variant, int mode);
  // A picture, sound or plug-in name assigned in modes 0 and 1.
  void (*nameAssigned)(void *context, const char *name);
  // 1 when a file of that name exists already (mode 2 writes only new files).
  int (*fileExists)(void *context, const char *name);
  // Writes one embedded file, handed over whole; 1 when it was written.
  int (*writeFile)(void *context, MediaKind kind, const char *name, const unsigned char *bytes, uint32_t size);
  // The show has a password and the request asks for it: 1 goes on, 0 cancels.
  int (*askPassword)(void *context, const char *password);
  // A blank preview image for a page of the saver variant read in mode 0.
  void *(*blankPreview)(void *context);
  // Streamed writing, used instead of writeFile when openFile is set, so that
  // no embedded file is ever held whole: openFile creates the file (null when
  // it cannot), writeChunk appends a piece of at most MEDIA_CHUNK_SIZE bytes
  // (1 when written), closeFile closes it and deletes it unless complete.
  // writeFailed then reports a file that could not be created or written.
  void *(*openFile)(void *context, MediaKind kind, const char *name);
  int (*writeChunk)(void *context, void *file, const unsigned char *bytes, uint32_t size);
  void (*closeFile)(void *context, void *file, const char *name, int complete);
  void (*writeFailed)(void *context, MediaKind kind, const char *name);
};

struct ParseRequest {
  int mode;                  // LoadMode
  int32_t pageIndex;         // the page whose media mode 2 extracts
  int askPassword;
  int32_t intervalOverride;  // 1 or more: seconds per page for every page
  const char *mediaFolder;   // prefix of extracted names (may be changed by headerRead)
  ParseHooks hooks;
};

// Reads the stream into show: pages, music list, link, password and the rest.
// Pages read before a failure stay. The caller removes files on failure.
ParseResult ParseShow(ShowReader *reader, const ParseRequest *request, ShowDocument *show);

// Counts and sizes of a whole stream, for tools and tests.
struct ShowSummary {
  ShowVariant variant;
  int32_t pageCount;
  int32_t musicCount;
  int64_t pictureCount, textCount, soundCount, pluginCount;
  uint64_t mediaBytes;  // embedded pictures, sounds, plug-ins and music
};
// Walks the stream front to back without writing anything; 1 when it is whole.
int WalkShow(ShowReader *reader, ShowSummary *summary);

// The extracted file names, "%s\m_%d_%d.%s" and the like; 0 when the result
// would not fit a path buffer.
int FormatMediaName(char *out, const char *folder, char prefix, int32_t a, int32_t b, const char *extension);
