// Writing what the authoring tool makes: the player image, the boundary
// marker and the show (the saver variant), or the show alone (the working
// variant). `build` and `folder` both end here. The file is written under a
// side name beside the target and renamed into place only when complete.
#pragma once

#include <string>
#include <vector>

#include "tools/pack/pack_manifest.h"

// The bare player program: the file at path, refused when it already holds a show.
int ReadPlayer(const std::string &path, std::vector<unsigned char> *image, std::string *error);

// Writes manifest's show to output: after playerImage when it is given (the
// saver variant), alone in the working variant when it is null. On failure
// nothing is left at output's side name and error says why; a fault in the
// show's media is told after source (the manifest or folder it came from).
int WriteShowFile(const std::string &output, const std::vector<unsigned char> *playerImage, const Manifest &manifest,
                  const std::string &source, std::string *error);
