// The show manifest of the authoring tool: a JSON file that lists the pages,
// their pictures, texts, sounds and transitions, the music and the link. It
// is turned into a ShowDocument (texts in CP932, paths resolved against the
// manifest's folder) that the show writer can write.
#pragma once

#include <string>
#include <vector>

#include "show/show_document.h"

// A picture whose manifest entry gives no orientation carries this until the
// picture's own orientation tag replaces it (ImportShowPictures).
constexpr int32_t ORIENTATION_FROM_PICTURE = -1;

struct Manifest {
  ShowDocument show;
  int jpegQuality;
  std::vector<std::string> pluginFiles;  // every distinct plug-in the pages name
};

// Reads and checks the manifest. On failure returns 0 with a message for the
// user in error (file, line and column for bad JSON; page and item for bad
// values). The show's pages belong to the manifest: FreeManifest frees them.
int ReadManifest(const std::string &path, Manifest *manifest, std::string *error);
void FreeManifest(Manifest *manifest);
