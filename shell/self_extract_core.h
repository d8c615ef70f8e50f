// The pure parts of self-extraction: where the running program lives (from
// its command line) and where the show data starts (after the boundary marker).
#pragma once

#include <cstddef>
#include <cstdint>

constexpr size_t BOUNDARY_MARKER_SIZE = 46;

// Builds the 46-byte marker from its three stored pieces, so that the program
// image never holds it in one piece and its first occurrence in a saver file
// is the boundary between the player and the show data.
void BuildBoundaryMarker(char out[BOUNDARY_MARKER_SIZE]);

// Offset of the first complete marker in data, or -1 when there is none.
int64_t FindBoundaryMarker(const unsigned char *data, size_t size);

// Splits a process command line into the program's file name (cut at the
// first double quote or space) and its folder ("X:" becomes "X:\"). Both
// outputs are PATH_SIZE buffers. Returns 0 when the line names no folder.
int SplitCommandLine(const char *commandLine, char *appName, char *programFolder);

// 1 when a client area of width x height real pixels, on a screen of dpi dots
// per inch, is narrower than 320 or lower than 240 pixels at 96 DPI: the
// Display Properties preview, which grows with the screen's scaling. A dpi of
// 0 or less counts as 96.
int IsSmallWindow(int32_t width, int32_t height, int32_t dpi);
