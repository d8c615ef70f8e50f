// The folder command's show: one page per picture of a folder, in natural
// name order or shuffled, each picture fitted to the screen with a margin,
// the six effects taking turns with their defaults, optional captions and
// music. It fills the same Manifest that `build` reads from JSON.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "show/folder_fit.h"  // NaturalLess
#include "tools/pack/pack_manifest.h"

struct FolderOptions {
  std::string folder;        // the pictures
  std::string musicFolder;   // empty: no music
  std::string pluginFolder;  // where the effects' .tns files are (the player's folder)
  int32_t displayTime = 5000;  // milliseconds
  bool shuffle = false;
  uint64_t seed = 0;         // the order of a shuffle
  uint32_t background = 0;   // COLORREF
  bool captions = false;
  int32_t screenWidth = 1920, screenHeight = 1080;
};

// Fills manifest from the folder. Files that are not pictures are left out
// quietly; files named like pictures or starting like one that cannot be
// used are left out with a line in warnings that gives the reason. 0 with the reason in error only when no page is left or a
// folder cannot be read.
int ReadFolder(const FolderOptions &options, Manifest *manifest, std::vector<std::string> *warnings,
               std::string *error);

