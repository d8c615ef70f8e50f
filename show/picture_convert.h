// Pictures embedded in a saver file are JPEG files. This is where a picture
// in another format is turned into a JPEG temp file before it is embedded.
#pragma once

#include <cstddef>

// 1 when the bytes start like a JPEG file (SOI followed by a marker).
int IsJpegData(const unsigned char *bytes, size_t size);

// Converts the picture at path into a JPEG file at the given quality (1..100)
// in tempFolder, named with the extension "TMP"; outPath (PATH_SIZE) receives
// its name. Decoding pictures other than JPEG is not part of this build yet,
// so for now every call fails with a message in error.
int ConvertPictureToJpeg(const char *path, int quality, const char *tempFolder, char *outPath, char *error,
                         size_t errorSize);
