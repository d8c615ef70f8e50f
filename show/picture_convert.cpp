// The JPEG check and the (not yet available) conversion of other pictures.
#include "show/picture_convert.h"

#include <cstdio>

int IsJpegData(const unsigned char *bytes, size_t size) {
  return size >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF;
}

int ConvertPictureToJpeg(const char *path, int quality, const char *tempFolder, char *outPath, char *error,
                         size_t errorSize) {
  if (outPath) outPath[0] = 0;
  if (error && errorSize)
    snprintf(error, errorSize, "%s: not a JPEG picture; converting other picture formats is not supported yet",
             path);
  return 0;
}
