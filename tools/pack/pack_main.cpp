// vormkit-pack: the authoring command line. Builds a saver file (player
// image, boundary marker, show data) or a working-variant show from a JSON
// manifest or from a folder of pictures, lists what a show or saver file
// holds, extracts its embedded files, and decodes a picture as the player
// will show it. Errors go to stderr with exit status 1; an output file is
// written beside its target and renamed only when complete.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "player/picture_orient.h"
#include "raster/dib.h"
#include "raster/picture_decode.h"
#include "raster/picture_report.h"
#include "shell/base/file_checksum.h"
#include "shell/base/mem_block.h"
#include "shell/base/signed_size.h"
#include "shell/saver/self_extract_core.h"
#include "show/show_stream.h"
#include "tools/pack/pack_files.h"
#include "tools/pack/pack_folder.h"
#include "tools/pack/pack_manifest.h"
#include "tools/pack/pack_output.h"
#include "tools/pack/pack_setup.h"
#include "tools/pack/pack_text.h"
#include "show/picture_import.h"

namespace {
const char kUsage[] =
    "usage:\n"
    "  vormkit-pack folder DIR -o NAME.scr [--player VORMKIT.scr] [--music DIR] [--time SECONDS]\n"
    "               [--shuffle [--seed N]] [--background #RRGGBB] [--captions] [--screen WxH]\n"
    "  vormkit-pack build MANIFEST.json -o NAME.scr [--player VORMKIT.scr] [--working] [--fit WxH]\n"
    "  vormkit-pack info NAME.scr\n"
    "  vormkit-pack extract NAME.scr DIR\n"
    "  vormkit-pack decode PICTURE -o OUT.bmp [--size WxH] [--orient N] [--embed [--fit WxH] [--background #RRGGBB]]\n"
    "  vormkit-pack setup ... (a set-up program: vormkit-pack setup --help)\n";

int Fail(const std::string &message) {
  fprintf(stderr, "vormkit-pack: %s\n", message.c_str());
  return 1;
}

// A long decode stops when Ctrl+C was pressed.
int InterruptRequested(void *) { return Interrupted() ? 1 : 0; }
const DecodeStop kInterruptStop = {InterruptRequested, nullptr};

// #RRGGBB as a COLORREF.
bool ParseColour(const std::string &text, uint32_t *colour) {
  unsigned red, green, blue;
  char tail;
  if (text.size() != 7 || sscanf(text.c_str(), "#%2x%2x%2x%c", &red, &green, &blue, &tail) != 3) return false;
  *colour = red | green << 8 | blue << 16;
  return true;
}

// A whole decimal number in [low, high], nothing else in the text.
bool ParseNumber(const std::string &text, long low, long high, long *value) {
  if (text.empty() || text.size() > 9) return false;
  long v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  if (v < low || v > high) return false;
  *value = v;
  return true;
}

// WIDTHxHEIGHT, each side in [low, high].
bool ParseSize(const std::string &size, long low, long high, long *width, long *height) {
  size_t x = size.find_first_of("xX");
  return x != std::string::npos && ParseNumber(size.substr(0, x), low, high, width) &&
         ParseNumber(size.substr(x + 1), low, high, height);
}

int Build(const std::vector<std::string> &args) {
  std::string manifestPath, output, player;
  bool working = false;
  long fitWidth = 0, fitHeight = 0;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "-o" && i + 1 < args.size()) output = args[++i];
    else if (args[i] == "--player" && i + 1 < args.size()) player = args[++i];
    else if (args[i] == "--working") working = true;
    else if (args[i] == "--fit" && i + 1 < args.size()) {
      if (!ParseSize(args[++i], 1, 32767, &fitWidth, &fitHeight))
        return Fail("--fit " + args[i] + ": give WIDTHxHEIGHT, each side 1 to 32767");
    }
    else if (manifestPath.empty() && !args[i].empty() && args[i][0] != '-') manifestPath = args[i];
    else return Fail("unknown option " + args[i] + "\n" + kUsage);
  }
  if (manifestPath.empty() || output.empty()) return Fail(std::string("build needs a manifest and -o\n") + kUsage);

  // The player's folder is also where plug-ins are looked for second.
  if (player.empty()) player = ToolFolder() + "VORMKIT.scr";
  std::vector<unsigned char> playerImage;
  std::string error;
  if (!working && !ReadPlayer(player, &playerImage, &error)) return Fail(error);
  Manifest manifest;
  if (!ReadManifest(manifestPath, FolderOf(player), &manifest, &error)) {
    FreeManifest(&manifest);
    return Fail(error);
  }
  // The page size: the manifest's "screen", else the --fit box; pictures
  // are fitted into the --fit box, else into the page.
  int32_t pageWidth, pageHeight;
  ShowPageSize(manifest.show.editorSettings, &pageWidth, &pageHeight);
  if (pageWidth == 0 && fitWidth > 0) SetShowPageSize(manifest.show.editorSettings, int32_t(fitWidth), int32_t(fitHeight));
  else if (fitWidth == 0) fitWidth = pageWidth, fitHeight = pageHeight;
  // Pictures become the JPEG files to embed (temporary ones for other
  // formats, removed once the show is written) and get their orientation.
  std::vector<std::string> converted;
  PictureImportOptions pictureOptions = {manifest.jpegQuality, nullptr, int32_t(fitWidth), int32_t(fitHeight), 0,
                                         &kInterruptStop};
  if (!ImportShowPictures(&manifest.show, !working, &pictureOptions, &converted, &error)) {
    RemoveTemporaries(&converted);
    FreeManifest(&manifest);
    return Fail(error);
  }
  bool ok = WriteShowFile(output, working ? nullptr : &playerImage, manifest, manifestPath, &error);
  FreeManifest(&manifest);
  RemoveTemporaries(&converted);
  return ok ? 0 : Fail(error);
}

// Seconds as milliseconds: a positive decimal number, at most three decimals.
bool ParseSeconds(const std::string &text, int32_t *milliseconds) {
  if (text.empty() || text.find_first_not_of("0123456789.") != std::string::npos) return false;
  char *end = nullptr;
  double seconds = strtod(text.c_str(), &end);
  if (*end || !std::isfinite(seconds) || seconds < 0.001 || seconds > 2147483.0) return false;
  *milliseconds = int32_t(std::lround(seconds * 1000));
  return true;
}

// folder DIR -o NAME.scr [options]: one page per picture of DIR.
int Folder(const std::vector<std::string> &args) {
  FolderOptions options;
  std::string output, player;
  bool seeded = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string &a = args[i];
    const bool value = i + 1 < args.size();
    if (a == "-o" && value) {
      output = args[++i];
    } else if (a == "--player" && value) {
      player = args[++i];
    } else if (a == "--music" && value) {
      options.musicFolder = args[++i];
    } else if (a == "--time" && value) {
      if (!ParseSeconds(args[++i], &options.displayTime))
        return Fail("--time " + args[i] + ": give the seconds each picture shows, more than 0");
    } else if (a == "--shuffle") {
      options.shuffle = true;
    } else if (a == "--seed" && value) {
      char *end = nullptr;
      options.seed = strtoull(args[++i].c_str(), &end, 10);
      if (args[i].empty() || *end || args[i][0] == '-') return Fail("--seed " + args[i] + ": give a whole number");
      seeded = true;
    } else if (a == "--background" && value) {
      const std::string &c = args[++i];
      if (!ParseColour(c, &options.background)) return Fail("--background " + c + ": give the colour as #RRGGBB");
    } else if (a == "--captions") {
      options.captions = true;
    } else if (a == "--screen" && value) {
      long width, height;
      if (!ParseSize(args[++i], 64, 32767, &width, &height))
        return Fail("--screen " + args[i] + ": give WIDTHxHEIGHT, each side 64 to 32767");
      options.screenWidth = int32_t(width);
      options.screenHeight = int32_t(height);
    } else if (options.folder.empty() && !a.empty() && a[0] != '-') {
      options.folder = a;
    } else {
      return Fail("unknown option " + a + "\n" + kUsage);
    }
  }
  if (options.folder.empty() || output.empty()) return Fail(std::string("folder needs a folder and -o\n") + kUsage);
  if (seeded && !options.shuffle) return Fail("--seed orders a shuffle: give --shuffle as well");
  if (!IsFolder(options.folder)) return Fail(options.folder + ": not a folder");
  if (player.empty()) player = ToolFolder() + "VORMKIT.scr";
  std::vector<unsigned char> playerImage;
  std::string error;
  if (!ReadPlayer(player, &playerImage, &error)) return Fail(error);
  options.pluginFolder = FolderOf(player);
  if (options.shuffle && !seeded) {
    options.seed = uint64_t(time(nullptr)) * 2654435761u ^ uint64_t(clock());
    printf("pages shuffled with --seed %llu\n", static_cast<unsigned long long>(options.seed));
  }

  Manifest manifest;
  std::vector<std::string> warnings;
  int read = ReadFolder(options, &manifest, &warnings, &error);
  for (const std::string &warning : warnings) fprintf(stderr, "vormkit-pack: warning: %s\n", warning.c_str());
  bool ok = read && WriteShowFile(output, &playerImage, manifest, options.folder, &error);
  int pages = manifest.show.pages.pageCount, tracks = 0;
  for (const auto &path : manifest.show.bgmPaths.paths) tracks += path[0] != 0;
  FreeManifest(&manifest);
  if (!ok) return Fail(error);
  printf("%s: %d page%s, %d music track%s\n", output.c_str(), pages, pages == 1 ? "" : "s", tracks,
         tracks == 1 ? "" : "s");
  return 0;
}

// The show data of a saver file (after the marker) or of a bare show file.
bool ShowData(const std::string &path, std::vector<unsigned char> *bytes, size_t *start, std::string *error) {
  if (!ReadWhole(path, bytes)) {
    *error = path + ": cannot read the file";
    return false;
  }
  if (bytes->size() >= MAGIC_SIZE && MagicVariant(bytes->data()) != SHOW_UNKNOWN) {
    *start = 0;
    return true;
  }
  // A signature appended by signing is not part of the show.
  bytes->resize(size_t(UnsignedSize(bytes->data(), bytes->size(), bytes->size())));
  int64_t marker = FindBoundaryMarker(bytes->data(), bytes->size());
  if (marker < 0) {
    *error = path + ": neither a show file nor a saver file with a show";
    return false;
  }
  *start = size_t(marker) + BOUNDARY_MARKER_SIZE;
  return true;
}

struct Embedded {
  MediaKind kind;
  std::string name;  // the extracted name, without the folder
  std::vector<unsigned char> bytes;
};

int KeepEmbedded(void *context, MediaKind kind, const char *name, const unsigned char *bytes, uint32_t size) {
  auto *files = static_cast<std::vector<Embedded> *>(context);
  const char *bare = name[0] == '\\' ? name + 1 : name;
  files->push_back({kind, bare, std::vector<unsigned char>(bytes, bytes + size)});
  return 1;
}

// Parses a show with every embedded file kept in memory.
bool LoadAll(const std::string &path, ShowDocument *show, std::vector<Embedded> *files, std::string *error) {
  std::vector<unsigned char> bytes;
  size_t start;
  memset(show, 0, sizeof *show);
  show->pages.pages = static_cast<Page *>(MemAlloc(0));
  if (!ShowData(path, &bytes, &start, error)) return false;
  ShowReader reader;
  MemoryStream stream;
  OpenMemoryReader(&reader, &stream, bytes.data() + start, bytes.size() - start);
  ParseRequest request = {};
  request.mode = LoadFull;
  request.intervalOverride = -1;
  request.mediaFolder = "";
  request.hooks.context = files;
  request.hooks.writeFile = KeepEmbedded;
  if (ParseShow(&reader, &request, show) != PARSE_OK) {
    *error = path + ": the show data is damaged or cut short";
    return false;
  }
  return true;
}

void FreeShow(ShowDocument *show) {
  DropAllPages(&show->pages, nullptr);
  MemFreePtr(show->pages.pages);
}

std::string Hex(uint32_t colour) {
  char text[16];
  snprintf(text, sizeof text, "#%02x%02x%02x", colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
  return text;
}

std::string Utf8(const char *cp932) { return Cp932ToUtf8(cp932); }

int Info(const std::vector<std::string> &args) {
  if (args.size() != 1) return Fail(std::string("info needs one file\n") + kUsage);
  ShowDocument show;
  std::vector<Embedded> files;
  std::string error;
  if (!LoadAll(args[0], &show, &files, &error)) {
    FreeShow(&show);
    return Fail(error);
  }
  auto embeddedSize = [&](const std::string &name) -> long long {
    for (const Embedded &e : files)
      if (e.name == name) return (long long)e.bytes.size();
    return -1;
  };
  printf("variant: %s\n", show.variant == SHOW_SAVER ? "saver" : "working");
  printf("pages: %d\n", show.pages.pageCount);
  printf("grid: %d\n", show.editorSettings[0]);
  int32_t pageWidth, pageHeight;
  ShowPageSize(show.editorSettings, &pageWidth, &pageHeight);
  if (pageWidth > 0) printf("page size: %d x %d\n", pageWidth, pageHeight);
  else printf("page size: not recorded (pages fill each screen)\n");
  printf("link: %s\n", Utf8(show.linkAddress).c_str());
  printf("link caption: %s\n", Utf8(show.linkCaption).c_str());
  printf("password: %s\n", show.password[0] ? "set" : "none");
  for (int k = 0; k < BGM_SLOT_COUNT; ++k) {
    const char *path = show.bgmPaths.paths[k];
    if (!path[0]) continue;
    std::string name = path[0] == '\\' ? path + 1 : path;
    if (show.variant == SHOW_SAVER)
      printf("music %d: %s, %lld bytes\n", k + 1, name.c_str(), embeddedSize(name));
    else
      printf("music %d: %s\n", k + 1, Utf8(path).c_str());
  }
  for (int32_t i = 0; i < show.pages.pageCount; ++i) {
    const Page &p = show.pages.pages[i];
    printf("page %d: time %d ms, colour %s, background flag %d\n", i + 1, p.displayTime,
           Hex(p.backgroundColour).c_str(), p.backgroundFlag);
    if (p.transitionId) {
      char name[32];
      snprintf(name, sizeof name, "t_%d_0.tns", i);
      long long size = embeddedSize(name);
      printf("  transition: checksum %d, wait %d, params", p.transitionId, p.transitionWait);
      for (int k = 0; k < 20; ++k) printf(" %d", GetInt32(p.transitionParams + 4 * k));
      if (size >= 0) printf(", plug-in %lld bytes embedded here", size);
      printf("\n");
    }
    for (int32_t j = 0; j < p.pictureCount; ++j) {
      const PictureRecord &r = p.pictures[j];
      printf("  picture %d: %d bytes, place %.4f %.4f %.4f %.4f, orientation %d, shadow %d, %s\n", j + 1, r.size,
             r.placement[0], r.placement[1], r.placement[2], r.placement[3], r.orientation, r.shadow,
             Utf8(r.path[0] == '\\' ? r.path + 1 : r.path).c_str());
    }
    for (int32_t k = 0; k < p.textCount; ++k) {
      const TextRecord &t = p.texts[k];
      printf("  text %d: \"%s\" at %.4f %.4f, font \"%s\" height %d weight %d italic %d, colour %s, fade %d\n", k + 1,
             Utf8(PageText(&p, k)).c_str(), t.anchor[0], t.anchor[1], Utf8(t.font.lfFaceName).c_str(),
             int(t.font.lfHeight), int(t.font.lfWeight), int(t.font.lfItalic), Hex(uint32_t(t.colour)).c_str(), t.fadeSteps);
    }
    for (int32_t j = 0; j < p.soundCount; ++j)
      printf("  sound %d: %d bytes, %s\n", j + 1, p.sounds[j].size,
             Utf8(p.sounds[j].path[0] == '\\' ? p.sounds[j].path + 1 : p.sounds[j].path).c_str());
  }
  FreeShow(&show);
  return 0;
}

int Extract(const std::vector<std::string> &args) {
  if (args.size() != 2) return Fail(std::string("extract needs a file and a folder\n") + kUsage);
  ShowDocument show;
  std::vector<Embedded> files;
  std::string error;
  bool ok = LoadAll(args[0], &show, &files, &error);
  FreeShow(&show);
  if (!ok) return Fail(error);
  if (!MakeFolder(args[1])) return Fail(args[1] + ": cannot create the folder");
  for (const Embedded &e : files) {
    // The names come from the loader's own patterns with checked extensions.
    std::string path = JoinFolder(args[1], e.name);
    std::string side = path + ".part";
    FILE *file = fopen(side.c_str(), "wb");
    bool written = file && fwrite(e.bytes.data(), 1, e.bytes.size(), file) == e.bytes.size();
    if (file && fclose(file) != 0) written = false;
    if (!written || !MoveIntoPlace(side, path)) {
      remove(side.c_str());
      return Fail(path + ": cannot write the file");
    }
    printf("%s (%zu bytes)\n", e.name.c_str(), e.bytes.size());
  }
  return 0;
}

// The largest side --size accepts; the picture's memory limit still applies.
const long kMaxDecodeSide = 32767;

// What the player does with a picture it decodes despite damage.
std::string PlayerShowsAnyway(const PictureReport &report) {
  return report.problem == PICTURE_CUT_SHORT
             ? "; the player would show it with what is missing filled in, and folder and build leave it out"
             : "; the player would show what libjpeg makes of it, and folder and build leave it out";
}

// The player's decoder on the file as stored; null with the message.
void *PlayerView(const std::string &input, std::string *error) {
  PictureReport report;
  void *image = PictureLoadChecked(input.c_str(), 1, &kInterruptStop, &report);
  if (image && report.problem == PICTURE_FINE) return image;
  unsigned char head[32];
  size_t n = 0;
  if (FILE *f = fopen(input.c_str(), "rb")) {
    n = fread(head, 1, sizeof head, f);
    fclose(f);
  }
  PictureFormat format = PictureFormatOf(head, n);
  const std::string convert = ": folder and build convert it to JPEG (decode --embed shows what they embed)";
  if (image) {
    MemFree(&image);
    *error = input + ": " + PictureProblemText(format, &report) + PlayerShowsAnyway(report);
  } else if (report.problem == PICTURE_MISSING) {
    *error = input + ": file not found";
  } else if (report.problem == PICTURE_NOT_A_PICTURE && format != FORMAT_NONE && format != FORMAT_BMP) {
    *error = input + ": a " + PictureFormatName(format) + " picture, which the player cannot show as it is" + convert;
  } else if (report.problem == PICTURE_NOT_A_PICTURE) {
    *error = input + ": not a picture the player can show (neither a readable BMP nor a JPEG)";
  } else if (report.problem == PICTURE_UNSUPPORTED && format == FORMAT_BMP) {
    *error = input + ": " + PictureProblemText(format, &report) + convert;
  } else {
    *error = input + ": " + PictureProblemText(format, &report);
  }
  return nullptr;
}

// What folder and build embed, through the player's decoder; null with the
// message. Says on stdout what was embedded.
void *EmbeddedView(const std::string &input, int32_t fitWidth, int32_t fitHeight, uint32_t matte,
                   std::string *error) {
  PictureImportOptions options = {100, nullptr, fitWidth, fitHeight, matte, &kInterruptStop};
  ImportedPicture imported;
  if (!ImportPicture(input.c_str(), &options, &imported, error)) return nullptr;
  PictureReport report;
  void *image = PictureLoadChecked(imported.path, 1, &kInterruptStop, &report);
  long long bytes = -1;
  if (FILE *f = fopen(imported.path, "rb")) {
    if (fseek(f, 0, SEEK_END) == 0) bytes = ftell(f);
    fclose(f);
  }
  if (imported.temporary) remove(imported.path);
  if (!image || report.problem != PICTURE_FINE) {
    MemFree(&image);
    *error = input + ": the embedded JPEG cannot be shown: " + PictureProblemText(FORMAT_JPEG, &report);
    return nullptr;
  }
  std::string what = imported.temporary ? "converted from " + std::string(PictureFormatName(imported.format)) +
                                              " to a JPEG of " + std::to_string(bytes) + " bytes"
                                        : "embedded as it is, " + std::to_string(bytes - (long long)imported.droppedBytes) +
                                              " bytes";
  if (imported.droppedBytes) what += ", the " + std::to_string(imported.droppedBytes) + " bytes after its end left out";
  printf("%s: %s, %d x %d, orientation code %d\n", input.c_str(), what.c_str(), imported.width, imported.height,
         imported.orientation);
  return image;
}

// decode PICTURE -o OUT.bmp [--size WxH] [--orient N] [--embed [--fit WxH]
// [--background #RRGGBB]]: the picture as the player decodes the file as it
// is (or, with --embed, what folder and build embed for it), then
// DibScaleSmooth to the size, then the orientation code's image operations,
// then DibSaveFile, as the player prepares and draws a picture layer.
int Decode(const std::vector<std::string> &args) {
  std::string input, output;
  long width = 0, height = 0, orientation = 0, fitWidth = 0, fitHeight = 0;
  bool sized = false, embed = false;
  uint32_t matte = 0;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "-o" && i + 1 < args.size()) {
      output = args[++i];
    } else if (args[i] == "--size" && i + 1 < args.size()) {
      const std::string &size = args[++i];
      if (!ParseSize(size, 1, kMaxDecodeSide, &width, &height))
        return Fail("--size " + size + ": give WIDTHxHEIGHT, each side 1 to " + std::to_string(kMaxDecodeSide));
      sized = true;
    } else if (args[i] == "--orient" && i + 1 < args.size()) {
      if (!ParseNumber(args[++i], 0, 11, &orientation))
        return Fail("--orient " + args[i] + ": the orientation code must be between 0 and 11");
    } else if (args[i] == "--embed") {
      embed = true;
    } else if (args[i] == "--fit" && i + 1 < args.size()) {
      if (!ParseSize(args[++i], 1, 32767, &fitWidth, &fitHeight))
        return Fail("--fit " + args[i] + ": give WIDTHxHEIGHT, each side 1 to 32767");
    } else if (args[i] == "--background" && i + 1 < args.size()) {
      if (!ParseColour(args[++i], &matte)) return Fail("--background " + args[i] + ": give the colour as #RRGGBB");
    } else if (input.empty() && !args[i].empty() && args[i][0] != '-') {
      input = args[i];
    } else {
      return Fail("unknown option " + args[i] + "\n" + kUsage);
    }
  }
  if (input.empty() || output.empty()) return Fail(std::string("decode needs a picture and -o\n") + kUsage);
  if ((fitWidth || matte) && !embed) return Fail("--fit and --background belong to --embed");

  FILE *probe = fopen(input.c_str(), "rb");
  if (!probe) return Fail(input + ": file not found");
  fclose(probe);
  std::string error;
  void *image = embed ? EmbeddedView(input, int32_t(fitWidth), int32_t(fitHeight), matte, &error)
                      : PlayerView(input, &error);
  if (!image) return Fail(error);
  if (sized) {
    RECT target = {0, 0, int32_t(width), int32_t(height)};
    void *scaled = DibScaleSmooth(image, &target, 1, 0);
    MemFree(&image);
    if (!scaled) return Fail(input + ": cannot scale the picture to " + std::to_string(width) + "x" +
                             std::to_string(height) + " (out of memory)");
    image = scaled;
  }
  void *turned = OrientLayer(image, int32_t(orientation));
  if (turned != image) MemFree(&image);
  if (!turned) return Fail(input + ": cannot apply orientation " + std::to_string(orientation) + " (out of memory)");

  std::string side = output + ".part";
  bool ok = DibSaveFile(side.c_str(), turned) != 0;
  MemFree(&turned);
  if (!ok || !MoveIntoPlace(side, output)) {
    remove(side.c_str());
    return Fail(output + ": cannot write the picture");
  }
  return 0;
}
}  // namespace

int main(int argc, char **argv) {
  if (argc < 2) return Fail(kUsage);
  std::string command = argv[1];
  std::vector<std::string> args(argv + 2, argv + argc);
  // The commands that write a saver or a picture stop cleanly on Ctrl+C.
  if (command == "folder" || command == "build" || command == "decode") CatchInterrupts();
  if (command == "folder") return Folder(args);
  if (command == "build") return Build(args);
  if (command == "info") return Info(args);
  if (command == "extract") return Extract(args);
  if (command == "decode") return Decode(args);
  if (command == "setup") return SetupCommand(args);
  return Fail("unknown command " + command + "\n" + kUsage);
}
