// The show manifest of the authoring tool: a JSON file that lists the pages,
// their pictures, texts, sounds and transitions, the music and the link. It
// is turned into a ShowDocument (texts in CP932, paths resolved against the
// manifest's folder) that the show writer can write. The folder command
// fills the same structure from a folder of pictures.
#pragma once

#include <string>
#include <vector>

#include "show/picture_import.h"  // ORIENTATION_FROM_PICTURE: a manifest entry without an orientation
#include "show/show_document.h"

struct Manifest {
  ShowDocument show;
  int jpegQuality;
  std::vector<std::string> pluginFiles;  // every distinct plug-in the pages name
  std::vector<std::string> tempFiles;    // made for this show; FreeManifest deletes them
};

// Empties the manifest: no pages yet, quality 100.
void StartManifest(Manifest *manifest);

// Reads and checks the manifest. A transition's plug-in is looked for beside
// the manifest, then in pluginFolder (the player's folder; may be empty).
// What a transition leaves out is the effect's default. On failure returns 0
// with a message for the user in error that names the manifest, the line and
// column, and the page and item. The show's pages belong to the manifest:
// FreeManifest frees them.
int ReadManifest(const std::string &path, const std::string &pluginFolder, Manifest *manifest, std::string *error);
void FreeManifest(Manifest *manifest);
