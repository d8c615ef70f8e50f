// Making a show from a folder of pictures. Pictures are recognised by their
// first bytes; each goes through the same import as `build`: a JPEG is
// embedded as it is, any other picture is converted to a JPEG first, so that
// its size is known for the fit and a picture that cannot be read is left
// out, with its reason, before anything is written.
#include "tools/pack/pack_folder.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "raster/dib.h"
#include "shell/base/mem_block.h"
#include "shell/base/file_checksum.h"
#include "show/folder_fit.h"
#include "show/picture_convert.h"
#include "tools/pack/pack_files.h"
#include "tools/pack/pack_text.h"
#include "show/picture_import.h"
#include "transitions/effect_defaults.h"

namespace {

// A file that may be meant as a picture: one named like a picture, or one
// that starts with a picture format's signature (JPEG, BMP or packed DIB,
// PNG, GIF, TIFF, WebP, HEIF/AVIF). Such a file that cannot be used gets a
// warning; every other file is left out quietly.
bool LooksLikePicture(const std::string &name, const unsigned char *head, size_t n) {
  return HasPictureExtension(name.c_str()) || PictureFormatOf(head, n) != FORMAT_NONE;
}

// The first bytes of a file (fewer when it is shorter).
size_t ReadHead(const std::string &path, unsigned char *head, size_t size) {
  FILE *file = fopen(path.c_str(), "rb");
  if (!file) return 0;
  size_t n = fread(head, 1, size, file);
  fclose(file);
  return n;
}

// SplitMix64: a small generator whose sequence depends on the seed alone.
uint64_t NextRandom(uint64_t *state) {
  uint64_t z = (*state += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

struct Picture {
  std::string name;     // in the folder
  std::string file;     // what is embedded: the picture itself or its JPEG conversion
  int32_t width, height;  // as stored in the file
  int32_t orientation;  // the code the player turns it by (the odd ones swap width and height)
};

// Checks one picture and finds its size; a picture that is not a JPEG is
// converted first. false with the reason when it cannot be read.
bool PreparePicture(const std::string &path, const FolderOptions &folder, Picture *picture, Manifest *manifest,
                    std::vector<std::string> *warnings, std::string *why) {
  // Pictures larger than the screen are scaled down to it; transparent
  // pixels show the page's colour; Ctrl+C stops a long decode.
  DecodeStop stop = {[](void *) { return Interrupted() ? 1 : 0; }, nullptr};
  PictureImportOptions options = {manifest->jpegQuality, nullptr, folder.screenWidth, folder.screenHeight,
                                  folder.background, &stop};
  ImportedPicture imported;
  if (!ImportPicture(path.c_str(), &options, &imported, why)) {
    // The message starts with the path, which the warning names already.
    if (why->compare(0, path.size() + 2, path + ": ") == 0) why->erase(0, path.size() + 2);
    return false;
  }
  if (imported.temporary) manifest->tempFiles.push_back(imported.path);
  if (imported.droppedBytes)
    warnings->push_back(path + ": the " + std::to_string(imported.droppedBytes) +
                        " bytes after the picture's end (a motion photo's video, or padding) are left out");
  picture->file = imported.path;
  picture->width = imported.width;
  picture->height = imported.height;
  picture->orientation = imported.orientation;
  return true;
}

// The file name without its extension, in CP932; characters CP932 has no
// form for become '?'.
std::string Caption(const std::string &name) {
  size_t dot = name.find_last_of('.');
  std::string stem = dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
  return NameToCp932(stem);
}

// "ＭＳ ゴシック" in CP932: a fixed-pitch face, in which every CP932 byte is
// half the font's height wide, so a caption's width is known beforehand.
const char kCaptionFace[] = "\x82\x6C\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4E";

struct Layout {
  int32_t width, height;  // the screen the fit is made for
  int32_t margin;         // around the picture, in pixels
  int32_t captionPixels;  // the caption's font height in pixels, 0 without captions
  int32_t fontHeight;     // the same for a page 640 pixels wide, as stored
};

Layout MakeLayout(const FolderOptions &options) {
  Layout l;
  l.width = options.screenWidth;
  l.height = options.screenHeight;
  l.margin = FitMargin(l.width, l.height);
  l.fontHeight = options.captions ? std::max<int32_t>(1, (l.height / 27 * 640 + l.width / 2) / l.width) : 0;
  l.captionPixels = int32_t(int64_t(l.fontHeight) * l.width / 640);
  return l;
}

// The picture's place: as large as fits into the screen less the margin on
// every side (and less the caption's line below), keeping its aspect ratio,
// centred; in whole pixels, as fractions of the screen.
void FitPicture(const Layout &l, int32_t pw, int32_t ph, RECT *place) {
  const int32_t boxW = l.width - 2 * l.margin;
  const int32_t boxH = l.height - 2 * l.margin - (l.captionPixels ? l.captionPixels + l.margin / 2 : 0);
  FitPictureInBox(l.margin, boxW, boxH, pw, ph, place);
}

bool AddCaption(const Layout &l, const RECT &place, const std::string &text, uint32_t background, Page *page) {
  page->texts = static_cast<TextRecord *>(MemRealloc(page->texts, sizeof(TextRecord)));
  page->textBuffers = static_cast<char **>(MemRealloc(page->textBuffers, sizeof(char *)));
  if (!page->texts || !page->textBuffers) return false;
  char *buffer = static_cast<char *>(MemAlloc(text.size() + 1));
  if (!buffer) return false;
  memcpy(buffer, text.data(), text.size());
  page->textBuffers[0] = buffer;
  page->textCount = 1;
  TextRecord &t = page->texts[0];
  const int32_t textWidth = int32_t(text.size()) * l.captionPixels / 2;
  int32_t x = (place.left + place.right - textWidth) / 2;
  x = std::max(l.margin, std::min(x, l.width - l.margin - textWidth));
  t.length = int32_t(text.size());
  t.anchor[0] = t.extent[0] = double(std::max(x, 0)) / l.width;
  t.anchor[1] = t.extent[1] = double(place.bottom + l.margin / 2) / l.height;
  t.font.lfHeight = l.fontHeight;
  t.font.lfWeight = 400;
  t.font.lfCharSet = 128;  // SHIFTJIS_CHARSET
  memcpy(t.font.lfFaceName, kCaptionFace, sizeof kCaptionFace);
  // White on dark pages, black on light ones.
  unsigned luma = (299 * (background & 0xFF) + 587 * ((background >> 8) & 0xFF) + 114 * ((background >> 16) & 0xFF)) / 1000;
  t.colour = luma < 128 ? 0xFFFFFF : 0;
  return true;
}

bool FillPage(const Layout &l, const Picture &picture, const FolderOptions &options, Page *page) {
  page->displayTime = options.displayTime;
  page->backgroundColour = options.background;
  page->backgroundFlag = 1;
  page->pictures = static_cast<PictureRecord *>(MemRealloc(page->pictures, sizeof(PictureRecord)));
  if (!page->pictures) return false;
  page->pictureCount = 1;
  PictureRecord &record = page->pictures[0];
  memcpy(record.path, picture.file.c_str(), picture.file.size() + 1);
  record.orientation = picture.orientation;
  RECT place;
  if (picture.orientation % 2) FitPicture(l, picture.height, picture.width, &place);
  else FitPicture(l, picture.width, picture.height, &place);
  // A placement holds the picture as stored; the player turns a quarter-turned
  // picture's rectangle about its top-left corner, so store the fitted
  // (upright) box with its sides exchanged.
  RECT stored = place;
  if (picture.orientation % 2) {
    stored.right = place.left + (place.bottom - place.top);
    stored.bottom = place.top + (place.right - place.left);
  }
  record.placement[0] = double(stored.left) / l.width;
  record.placement[1] = double(stored.top) / l.height;
  record.placement[2] = double(stored.right) / l.width;
  record.placement[3] = double(stored.bottom) / l.height;
  return !options.captions || AddCaption(l, place, Caption(picture.name), options.background, page);
}

struct Effect {
  EffectKind kind;
  int32_t checksum;  // of its plug-in file: the pages' transition identifier
};

// The effects whose plug-in is in the folder, in turn order.
std::vector<Effect> FindEffects(const FolderOptions &options, Manifest *manifest, std::vector<std::string> *warnings) {
  std::vector<Effect> found;
  std::string missing;
  for (int k = 0; k < EFFECT_COUNT; ++k) {
    std::string path = JoinFolder(options.pluginFolder, std::string(EFFECT_TABLE[k].name) + ".tns");
    int32_t checksum = path.size() < PATH_SIZE ? FileChecksum(path.c_str()) : 0;
    if (checksum != 0) {
      found.push_back({EffectKind(k), checksum});
      manifest->pluginFiles.push_back(path);
    } else {
      missing += (missing.empty() ? "" : ", ") + std::string(EFFECT_TABLE[k].name) + ".tns";
    }
  }
  std::string where = options.pluginFolder.empty() ? std::string("the current folder") : options.pluginFolder;
  if (found.empty())
    warnings->push_back("no transition plug-ins in " + where + ": pages change without effects");
  else if (!missing.empty())
    warnings->push_back(where + " lacks " + missing + ": the other effects take their turns");
  return found;
}

int ReadMusic(const FolderOptions &options, Manifest *manifest, std::vector<std::string> *warnings,
              std::string *error) {
  std::vector<std::string> names;
  if (!ListFiles(options.musicFolder, &names)) {
    *error = options.musicFolder + ": cannot read the music folder";
    return 0;
  }
  std::sort(names.begin(), names.end(), NaturalLess);
  int slot = 0, more = 0;
  for (const std::string &name : names) {
    const std::string path = JoinFolder(options.musicFolder, name);
    unsigned char head[64];
    size_t n = ReadHead(path, head, sizeof head);
    if (!SniffMusicExtension(head, n)) continue;
    if (path.size() >= PATH_SIZE) {
      warnings->push_back(path + ": left out: the path is longer than 259 bytes");
      continue;
    }
    if (slot == BGM_SLOT_COUNT) {
      ++more;
      continue;
    }
    memcpy(manifest->show.bgmPaths.paths[slot++], path.c_str(), path.size() + 1);
  }
  if (more)
    warnings->push_back(options.musicFolder + ": a show holds at most 20 tracks; the last " + std::to_string(more) +
                        " in name order are left out");
  return 1;
}
}  // namespace

int ReadFolder(const FolderOptions &options, Manifest *manifest, std::vector<std::string> *warnings,
               std::string *error) {
  StartManifest(manifest);
  std::vector<std::string> names;
  if (!ListFiles(options.folder, &names)) {
    *error = options.folder + ": cannot read the folder";
    return 0;
  }
  std::sort(names.begin(), names.end(), NaturalLess);
  std::vector<Picture> pictures;
  int damaged = 0;
  for (const std::string &name : names) {
    if (Interrupted()) {
      *error = "stopped; nothing was written";
      return 0;
    }
    const std::string path = JoinFolder(options.folder, name);
    unsigned char head[32];
    size_t n = ReadHead(path, head, sizeof head);
    if (!LooksLikePicture(name, head, n)) continue;
    Picture picture = {name, std::string(), 0, 0, 0};
    std::string why;
    if (!PreparePicture(path, options, &picture, manifest, warnings, &why)) {
      warnings->push_back(path + ": left out: " + why);
      ++damaged;
      continue;
    }
    pictures.push_back(picture);
  }
  if (pictures.empty()) {
    if (damaged)
      *error = options.folder + ": no page is left: none of its " + std::to_string(damaged) +
               " pictures can be read (see the warnings)";
    else if (names.empty())
      *error = options.folder + ": the folder holds no files";
    else
      *error = options.folder + ": none of its " + std::to_string(names.size()) + " files is a picture";
    return 0;
  }
  if (options.shuffle) {
    uint64_t state = options.seed;
    for (size_t i = pictures.size() - 1; i > 0; --i) std::swap(pictures[i], pictures[NextRandom(&state) % (i + 1)]);
  }
  if (!options.musicFolder.empty() && !ReadMusic(options, manifest, warnings, error)) return 0;
  const std::vector<Effect> effects = FindEffects(options, manifest, warnings);

  ShowDocument &show = manifest->show;
  if (!EnsurePages(&show.pages, int32_t(pictures.size()), 0)) {
    *error = "out of memory";
    return 0;
  }
  // The pictures are fitted for this screen: it is the show's page size.
  SetShowPageSize(show.editorSettings, options.screenWidth, options.screenHeight);
  const Layout layout = MakeLayout(options);
  for (size_t i = 0; i < pictures.size(); ++i) {
    Page *page = &show.pages.pages[i];
    if (!FillPage(layout, pictures[i], options, page)) {
      *error = "out of memory";
      return 0;
    }
    if (effects.empty()) continue;
    const Effect &effect = effects[i % effects.size()];
    int32_t words[EFFECT_WORD_COUNT];
    ApplyEffectDefaults(effect.kind, &page->transitionWait, words);
    for (int k = 0; k < EFFECT_WORD_COUNT; ++k) PutInt32(page->transitionParams + 4 * k, words[k]);
    page->transitionId = effect.checksum;
  }
  return 1;
}
