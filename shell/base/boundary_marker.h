// The 46-byte boundary marker that a saver file holds between the player
// image and the show data: the saver looks for it in its own file, the
// authoring tools write it. In the ground, so that both tops share it.
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
