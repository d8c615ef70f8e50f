// Preparing an author's pictures for a saver file. The player reads only JPEG
// (and BMP), so every other picture is decoded here and compressed into a
// temporary JPEG file, which is what gets embedded; a JPEG the player reads
// as it is goes in unchanged. Pictures larger than a given box are scaled
// down with the player's smoothing first. The picture's orientation tag
// becomes its orientation code, so the player shows it upright.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "raster/picture_decode.h"
#include "shell/base/path_ops.h"
#include "show/show_document.h"

// A picture whose orientation is to come from the picture's own orientation
// tag carries this until ImportShowPictures replaces it.
constexpr int32_t ORIENTATION_FROM_PICTURE = -1;

struct PictureImportOptions {
  int quality;             // JPEG quality of converted pictures, 1..100
  const char *tempFolder;  // where converted pictures go; null or empty: the system temp folder
  int32_t fitWidth;        // a picture larger than this box once upright is scaled down into it;
  int32_t fitHeight;       // 0 x 0: pictures keep their size
  COLORREF matte;          // what transparent pixels show
  const DecodeStop *stop;  // asked during a long decode; may be null
};

struct ImportedPicture {
  char path[PATH_SIZE];    // the JPEG file to embed: the picture's own file or a new temporary one
  int temporary;           // 1 when path is a temporary file, which the caller removes
  PictureFormat format;    // of the picture's own file
  int32_t orientation;     // code (0..11) that shows the picture upright; 0 without an orientation tag
  int32_t width, height;   // of the embedded picture, as stored (before the orientation code)
  uint64_t droppedBytes;   // bytes after a JPEG's end marker, which the show does not carry
};

// Prepares one picture file: 1 with out filled, or 0 with a message naming the
// file and the reason; out->format is FORMAT_NONE when the file is no
// picture at all, another format when the picture is damaged or cannot be
// read. A JPEG that is kept names the author's file, whose bytes after its
// end marker the writer leaves out. Nothing is left in the temp folder on
// failure.
int ImportPicture(const char *path, const PictureImportOptions *options, ImportedPicture *out, std::string *error);

// Every picture of a show, for `build`. In the saver variant each record's
// path is replaced by the JPEG file to embed (temporary files are added to
// temporaries, for the caller to remove once the show is written) and the
// picture's transparent pixels show its page's colour; in the working variant
// the files stay as they are. In both, a record whose orientation is
// ORIENTATION_FROM_PICTURE gets the code of the picture's orientation tag.
// 0 with a message naming the page, the picture and the file.
int ImportShowPictures(ShowDocument *show, int saver, const PictureImportOptions *options,
                       std::vector<std::string> *temporaries, std::string *error);
// Removes the files and empties the list.
void RemoveTemporaries(std::vector<std::string> *temporaries);
