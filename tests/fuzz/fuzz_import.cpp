// Fuzz target: the authoring side's whole picture import, as `folder` and
// `build` run it on a file: reading the file no further than its picture,
// recognising and decoding any format, fitting into a small box, compressing
// to a JPEG file in a private temp folder, which is then removed.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

#include "shell/base/mem_block.h"
#include "show/picture_import.h"

namespace {

struct Place {
  std::string folder, input;
  Place() {
    char name[] = "/tmp/vk_fuzz_import_XXXXXX";
    folder = mkdtemp(name) ? name : "/tmp";
    input = folder + "/picture";
  }
  ~Place() {
    remove(input.c_str());
    rmdir(folder.c_str());
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  static Place place;
  FILE *file = fopen(place.input.c_str(), "wb");
  if (!file) return 0;
  bool written = fwrite(data, 1, size, file) == size;
  if (fclose(file) != 0 || !written) return 0;
  PictureImportOptions options = {75, place.folder.c_str(), 64, 48, RGB(10, 20, 30), nullptr};
  ImportedPicture out;
  std::string error;
  if (ImportPicture(place.input.c_str(), &options, &out, &error) && out.temporary) remove(out.path);
  return 0;
}
