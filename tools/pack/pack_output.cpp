// The saver or working file: side file, player image, marker, show, rename.
#include "tools/pack/pack_output.h"

#include <cstdio>

#include "shell/saver/self_extract_core.h"
#include "show/show_writer.h"
#include "tools/pack/pack_files.h"

int ReadPlayer(const std::string &path, std::vector<unsigned char> *image, std::string *error) {
  if (!ReadWhole(path, image)) {
    *error = path + ": cannot read the player (give it with --player)";
    return 0;
  }
  if (FindBoundaryMarker(image->data(), image->size()) >= 0) {
    *error = path + ": already holds a show; give the bare player";
    return 0;
  }
  return 1;
}

int WriteShowFile(const std::string &output, const std::vector<unsigned char> *playerImage, const Manifest &manifest,
                  const std::string &source, std::string *error) {
  std::string side = output + ".part";
  FILE *file = fopen(side.c_str(), "wb");
  if (!file) {
    *error = output + ": cannot create the output file";
    return 0;
  }
  bool ok = true;
  if (playerImage) {
    char marker[BOUNDARY_MARKER_SIZE];
    BuildBoundaryMarker(marker);
    ok = fwrite(playerImage->data(), 1, playerImage->size(), file) == playerImage->size() &&
         fwrite(marker, 1, sizeof marker, file) == sizeof marker;
    if (!ok) *error = output + ": cannot write the player image";
  }
  std::vector<const char *> plugins;
  for (const std::string &p : manifest.pluginFiles) plugins.push_back(p.c_str());
  // Pictures that are not JPEG are converted in the system temp folder.
  char message[1024] = {};
  WriteOptions options = {playerImage ? SHOW_SAVER : SHOW_WORKING, manifest.jpegQuality, nullptr, nullptr,
                          plugins.data(), int(plugins.size()), message, sizeof message};
  // Every write first looks whether the user has stopped the tool.
  ShowSink sink = {file, [](void *context, const void *bytes, size_t size) -> int {
                     return !Interrupted() && (size == 0 || fwrite(bytes, 1, size, static_cast<FILE *>(context)) == size);
                   }};
  if (ok && !WriteShow(&manifest.show, &options, &sink)) {
    // A failed write is the output's fault; anything else is the media's.
    if (Interrupted()) *error = "stopped; nothing was written";
    else if (ferror(file) || !message[0]) *error = output + ": cannot write the output file (is the disk full?)";
    else *error = source + ": " + message;
    ok = false;
  }
  if (fclose(file) != 0 && ok) {
    *error = output + ": cannot write the output file (is the disk full?)";
    ok = false;
  }
  if (ok && !MoveIntoPlace(side, output)) {
    *error = output + ": cannot rename the finished file into place";
    ok = false;
  }
  if (!ok) remove(side.c_str());
  return ok;
}
