// Pictures embedded in a saver file are JPEG files. This is where a picture
// in another format (anything the player can show, that is a BMP) is decoded
// as the player decodes it and compressed into a JPEG temp file before it is
// embedded. Nothing here shows a message; failures come back with a message.
#pragma once

#include <cstddef>

// 1 when the bytes start like a JPEG file (SOI followed by a marker).
int IsJpegData(const unsigned char *bytes, size_t size);

// Converts the picture at path into a JPEG file at the given quality (1..100)
// in tempFolder (the system temp folder when null or empty), under a new name
// with the extension "TMP"; outPath (PATH_SIZE) receives its name. The caller
// deletes that file when it is done with it. 0 with a message in error when
// the picture cannot be decoded or the file cannot be written; nothing is
// left behind then.
int ConvertPictureToJpeg(const char *path, int quality, const char *tempFolder, char *outPath, char *error,
                         size_t errorSize);
// The compression half of the above for a picture already decoded: any
// depth, compressed as 24-bit rows; what names the picture in messages.
int ConvertDibToJpeg(const void *dib, const char *what, int quality, const char *tempFolder, char *outPath,
                     char *error, size_t errorSize);
