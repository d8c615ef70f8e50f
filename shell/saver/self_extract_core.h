// The pure parts of self-extraction: where the running program lives (from
// its command line), where the show data starts (after the boundary marker),
// and the chunked copy of what follows the marker.
#pragma once

#include <cstddef>
#include <cstdint>

#include "shell/base/boundary_marker.h"  // the marker itself: the saver and the editor both use it

// The program file and the show temp file, as the chunked copy sees them.
struct ExtractStreams {
  void *context;
  // Reads up to size bytes of the program file into buffer: the number of
  // bytes read, 0 at the end of the file, -1 on a read error.
  int64_t (*read)(void *context, unsigned char *buffer, uint32_t size);
  // Called once, when the marker has been found: creates the show temp file.
  // 0 when it cannot be created.
  int (*create)(void *context);
  // Appends size bytes to the show temp file; 1 when all were written.
  int (*write)(void *context, const unsigned char *bytes, uint32_t size);
};

enum ExtractResult {
  EXTRACT_OK,             // everything after the marker is in the show temp file
  EXTRACT_NO_MARKER,      // the file holds no complete marker: nothing was created
  EXTRACT_READ_FAILED,    // the program file could not be read to its end
  EXTRACT_CREATE_FAILED,  // the show temp file could not be created
  EXTRACT_WRITE_FAILED,   // a write to the show temp file failed (a full disk)
  EXTRACT_NO_MEMORY,      // the chunk buffer could not be allocated
};

// The chunk size of the player's copy.
constexpr uint32_t EXTRACT_CHUNK_SIZE = 1u << 20;

// Reads the program file front to back in pieces of at most chunkSize bytes,
// finds the first complete marker (also when it straddles two pieces) and
// copies everything after it to the show temp file. Memory use is one buffer
// of chunkSize + 45 bytes whatever the size of the file; offsets are 64-bit.
// *boundary gets the offset of the marker, -1 when none was found.
ExtractResult CopyShowData(const ExtractStreams *streams, uint32_t chunkSize, int64_t *boundary);

// Splits a process command line into the program's file name (cut at the
// first double quote or space) and its folder ("X:" becomes "X:\"). Both
// outputs are PATH_SIZE buffers. Returns 0 when the line names no folder.
int SplitCommandLine(const char *commandLine, char *appName, char *programFolder);

// 1 when a client area of width x height real pixels, on a screen of dpi dots
// per inch, is narrower than 320 or lower than 240 pixels at 96 DPI: the
// Display Properties preview, which grows with the screen's scaling. A dpi of
// 0 or less counts as 96.
int IsSmallWindow(int32_t width, int32_t height, int32_t dpi);
