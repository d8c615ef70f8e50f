// The orientation tag of an EXIF block, read with libexif: the one in a
// JPEG's APP1 segment, and the bare blocks that PNG and WebP files carry.
#include <climits>
#include <cstring>
#include <vector>

#include <libexif/exif-data.h>

#include "raster/picture_formats.h"

namespace {

// The first picture's orientation (IFD 0; a thumbnail's own is ignored).
int Orientation(ExifData *data) {
  if (!data) return 0;
  int value = 0;
  ExifEntry *entry = exif_content_get_entry(data->ifd[EXIF_IFD_0], EXIF_TAG_ORIENTATION);
  if (entry && entry->format == EXIF_FORMAT_SHORT && entry->components >= 1 && entry->data && entry->size >= 2)
    value = exif_get_short(entry->data, exif_data_get_byte_order(data));
  exif_data_unref(data);
  return value;
}

}  // namespace

int ExifBlockOrientation(const unsigned char *exif, size_t size) {
  static const unsigned char header[6] = {'E', 'x', 'i', 'f', 0, 0};
  if (!exif || size < 8 || size > UINT_MAX - sizeof header) return 0;
  if (memcmp(exif, header, sizeof header) == 0) return Orientation(exif_data_new_from_data(exif, unsigned(size)));
  // A bare block starts at its TIFF header; libexif wants the APP1 form.
  std::vector<unsigned char> block(header, header + sizeof header);
  block.insert(block.end(), exif, exif + size);
  return Orientation(exif_data_new_from_data(block.data(), unsigned(block.size())));
}

int JpegExifOrientation(const unsigned char *bytes, size_t size) {
  if (!bytes || size < 4) return 0;
  // libexif walks the JPEG's leading application segments to the EXIF one.
  return Orientation(exif_data_new_from_data(bytes, unsigned(size > UINT_MAX ? UINT_MAX : size)));
}
