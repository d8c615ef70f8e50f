// The boundary marker between a saver's player image and its show data.
#include "shell/base/boundary_marker.h"

#include <cstring>

// Read through a volatile pointer so that the compiler cannot fold the three
// pieces into one constant: the program file must not hold the whole marker.
static const char *const volatile kMarkerPieces[3] = {"@@@@@-----", "boundary of saver and data", "-----@@@@@"};

void BuildBoundaryMarker(char out[BOUNDARY_MARKER_SIZE]) {
  size_t pos = 0;
  for (int i = 0; i < 3; ++i) {
    const char *piece = kMarkerPieces[i];
    size_t len = strlen(piece);
    memcpy(out + pos, piece, len);
    pos += len;
  }
}

// Horspool's search: each window is judged by its last byte, and a byte that
// does not occur in the marker moves the window on by the whole 46 bytes, so
// the long runs of bytes that a program image and a show hold are passed
// over quickly. Windows are tried from the front, so the first occurrence wins.
int64_t FindBoundaryMarker(const unsigned char *data, size_t size) {
  char marker[BOUNDARY_MARKER_SIZE];
  BuildBoundaryMarker(marker);
  if (!data || size < BOUNDARY_MARKER_SIZE) return -1;
  const size_t last = BOUNDARY_MARKER_SIZE - 1;
  size_t shift[256];
  for (size_t &s : shift) s = BOUNDARY_MARKER_SIZE;
  for (size_t i = 0; i < last; ++i) shift[static_cast<unsigned char>(marker[i])] = last - i;
  const unsigned char final = static_cast<unsigned char>(marker[last]);
  for (size_t j = 0; j <= size - BOUNDARY_MARKER_SIZE; j += shift[data[j + last]])
    if (data[j + last] == final && memcmp(data + j, marker, BOUNDARY_MARKER_SIZE) == 0) return int64_t(j);
  return -1;
}
