// The setup command: checks the saver (a player, the marker and a whole show
// in the saver variant; a signature appended behind it is carried along),
// draws the first page for the set-up window, and writes the bare set-up
// program with the package behind it (setup/setup_writer.h). The saver is
// copied byte for byte, so a signed saver stays signed. The output is
// written beside its target and renamed when complete.
#include "tools/pack/pack_setup.h"

#include <cstdio>
#include <cstring>
#include <filesystem>

#ifdef _WIN32
#include <windows.h>
#endif

#include "setup/setup_writer.h"
#include "shell/base/mem_block.h"
#include "shell/base/signed_size.h"
#include "shell/saver/self_extract_core.h"
#include "show/show_pages.h"
#include "show/show_stream.h"
#include "tools/pack/pack_files.h"
#include "tools/pack/setup_preview.h"

#ifndef VK_VERSION
#define VK_VERSION "0"
#endif

const char SETUP_USAGE[] =
    "  vormkit-pack setup NAME.scr -o NAME-setup.exe [--name TEXT] [--version TEXT] [--publisher TEXT]\n"
    "               [--stub vormkit-setup.exe]\n"
    "  vormkit-pack setup --kit FOLDER -o SETUP.exe [--version TEXT] [--stub vormkit-setup.exe]\n";

namespace {
// The preview's largest size in the set-up window's pixels.
constexpr int32_t kPreviewWidth = 480, kPreviewHeight = 360;

int Fail(const std::string &message) {
  fprintf(stderr, "vormkit-pack: %s\n", message.c_str());
  return 1;
}

// Text as the system hands it to the tool, as UTF-8.
std::string Utf8(const std::string &text) {
#ifdef _WIN32
  int n = MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0);
  std::wstring wide(size_t(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), &wide[0], n);
  int m = WideCharToMultiByte(CP_UTF8, 0, wide.data(), n, nullptr, 0, nullptr, nullptr);
  std::string out(size_t(m), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), n, &out[0], m, nullptr, nullptr);
  return out;
#else
  return text;
#endif
}

int Seek(FILE *file, uint64_t offset) {
#ifdef _WIN32
  return _fseeki64(file, int64_t(offset), SEEK_SET) == 0;
#else
  return fseeko(file, off_t(offset), SEEK_SET) == 0;
#endif
}

uint64_t FileSize(FILE *file) {
#ifdef _WIN32
  if (_fseeki64(file, 0, SEEK_END) != 0) return 0;
  return uint64_t(_ftelli64(file));
#else
  if (fseeko(file, 0, SEEK_END) != 0) return 0;
  return uint64_t(ftello(file));
#endif
}

int ReadFileAt(void *context, uint64_t offset, void *buffer, uint32_t size) {
  FILE *file = static_cast<FILE *>(context);
  return Seek(file, offset) && fread(buffer, 1, size, file) == size;
}

int ReadMemoryAt(void *context, uint64_t offset, void *buffer, uint32_t size) {
  const auto *bytes = static_cast<const std::vector<unsigned char> *>(context);
  if (offset > bytes->size() || size > bytes->size() - offset) return 0;
  memcpy(buffer, bytes->data() + offset, size);
  return 1;
}

struct FileStream {
  FILE *file;
};

int StreamFileRead(void *context, void *buffer, uint32_t size) {
  return fread(buffer, 1, size, static_cast<FileStream *>(context)->file) == size;
}

int StreamFileSkip(void *context, uint32_t size) {
#ifdef _WIN32
  return _fseeki64(static_cast<FileStream *>(context)->file, size, SEEK_CUR) == 0;
#else
  return fseeko(static_cast<FileStream *>(context)->file, off_t(size), SEEK_CUR) == 0;
#endif
}

// Keeps the embedded pictures of the first page ("\i_0_N.ext").
int KeepFirstPage(void *context, MediaKind kind, const char *name, const unsigned char *bytes, uint32_t size) {
  int index;
  char tail;
  if (kind == MEDIA_PICTURE && sscanf(name, "\\i_0_%d.%c", &index, &tail) == 2)
    static_cast<std::vector<PagePicture> *>(context)->push_back({index, std::vector<unsigned char>(bytes, bytes + size)});
  return 1;
}

// The saver file's show, read front to back after its marker, and its first
// page's pictures; false with error when the file is not a whole saver.
bool ReadSaver(FILE *file, uint64_t size, const std::string &path, ShowDocument *show,
               std::vector<PagePicture> *pictures, std::string *error) {
  // The player image, and the marker behind it, lie in the first megabytes.
  std::vector<unsigned char> head(size_t(size < (64u << 20) ? size : (64u << 20)));
  if (!Seek(file, 0) || fread(head.data(), 1, head.size(), file) != head.size()) {
    *error = path + ": cannot read the file";
    return false;
  }
  int64_t marker = FindBoundaryMarker(head.data(), head.size());
  if (marker < 0) {
    *error = path + ": not a saver file (no show after a player)";
    return false;
  }
  // The show ends where a signature appended by signing begins.
  const uint64_t showEnd = UnsignedSize(head.data(), head.size(), size);
  if (uint64_t(marker) + BOUNDARY_MARKER_SIZE > showEnd) {
    *error = path + ": not a saver file (no show after a player)";
    return false;
  }
  FileStream stream = {file};
  ShowReader reader = {&stream, StreamFileRead, StreamFileSkip, showEnd - uint64_t(marker) - BOUNDARY_MARKER_SIZE};
  Seek(file, uint64_t(marker) + BOUNDARY_MARKER_SIZE);
  ParseRequest request = {};
  request.mode = LoadFull;
  request.intervalOverride = -1;
  request.mediaFolder = "";
  request.hooks.context = pictures;
  request.hooks.writeFile = KeepFirstPage;
  if (ParseShow(&reader, &request, show) != PARSE_OK || show->variant != SHOW_SAVER || show->pages.pageCount < 1) {
    *error = path + ": the saver's show is damaged or cut short";
    return false;
  }
  return true;
}

struct OutputFile {
  FILE *file;
};

int WriteOutput(void *context, const void *bytes, size_t size) {
  return fwrite(bytes, 1, size, static_cast<OutputFile *>(context)->file) == size;
}

// Writes the set-up program to output through a side file.
int WriteOutputFile(const std::string &output, const std::vector<unsigned char> &stub, const SetupPackage &package) {
  std::string side = output + ".part", error;
  OutputFile out = {fopen(side.c_str(), "wb")};
  if (!out.file) return Fail(output + ": cannot create the output file");
  SetupSink sink = {&out, WriteOutput};
  bool ok = WriteSetupProgram(stub, package, sink, &error);
  if (fclose(out.file) != 0 && ok) {
    ok = false;
    error = "cannot write the set-up program (is the disk full?)";
  }
  if (ok && !MoveIntoPlace(side, output)) {
    ok = false;
    error = "cannot rename the finished file into place";
  }
  if (!ok) {
    remove(side.c_str());
    return Fail(output + ": " + error);
  }
  return 0;
}

// Every plain file under folder, with its name relative to it ('\' between folders).
bool ListKit(const std::string &folder, std::vector<std::string> *paths, std::vector<std::string> *names,
             std::string *error) {
  namespace fs = std::filesystem;
  std::error_code failed;
  for (fs::recursive_directory_iterator it(fs::path(folder), failed), end; !failed && it != end; it.increment(failed)) {
    if (!it->is_regular_file(failed)) continue;
    std::string relative = Utf8(fs::relative(it->path(), fs::path(folder), failed).string());
    for (char &c : relative)
      if (c == '/') c = '\\';
    paths->push_back(it->path().string());
    names->push_back(relative);
  }
  if (failed) *error = folder + ": cannot be read";
  return !failed;
}
}  // namespace

int SetupCommand(const std::vector<std::string> &args) {
  std::string input, output, stubPath, kit;
  SetupDetails details;
  details.version = VK_VERSION;
  if (args.size() == 1 && args[0] == "--help") {
    printf("usage:\n%s", SETUP_USAGE);
    return 0;
  }
  for (size_t i = 0; i < args.size(); ++i) {
    const bool value = i + 1 < args.size();
    if (args[i] == "-o" && value) output = args[++i];
    else if (args[i] == "--name" && value) details.displayName = Utf8(args[++i]);
    else if (args[i] == "--version" && value) details.version = Utf8(args[++i]);
    else if (args[i] == "--publisher" && value) details.publisher = Utf8(args[++i]);
    else if (args[i] == "--stub" && value) stubPath = args[++i];
    else if (args[i] == "--kit" && value) kit = args[++i];
    else if (input.empty() && !args[i].empty() && args[i][0] != '-') input = args[i];
    else return Fail("unknown option " + args[i] + "\nusage:\n" + SETUP_USAGE);
  }
  if (output.empty() || input.empty() == kit.empty())
    return Fail(std::string("setup needs a saver file (or --kit FOLDER) and -o\nusage:\n") + SETUP_USAGE);
  if (details.version.empty()) return Fail("--version: give a version");
  if (stubPath.empty()) stubPath = ToolFolder() + "vormkit-setup.exe";
  std::vector<unsigned char> stub;
  if (!ReadWhole(stubPath, &stub)) return Fail(stubPath + ": cannot read the set-up program (give it with --stub)");

  std::string error;
  SetupPackage package;
  if (!kit.empty()) {
    if (!IsFolder(kit)) return Fail(kit + ": not a folder");
    std::vector<std::string> paths, names;
    if (!ListKit(kit, &paths, &names, &error)) return Fail(error);
    std::vector<std::vector<unsigned char>> contents(paths.size());
    std::vector<SetupItem> items;
    for (size_t k = 0; k < paths.size(); ++k) {
      if (!ReadWhole(paths[k], &contents[k])) return Fail(paths[k] + ": cannot read the file");
      items.push_back({names[k], contents[k].size(), {&contents[k], ReadMemoryAt}});
    }
    if (!KitSetupPackage(items, details, &package, &error)) return Fail(kit + ": " + error);
    int status = WriteOutputFile(output, stub, package);
    if (status == 0) printf("%s: VORMKIT %s, %zu files\n", output.c_str(), details.version.c_str(), items.size());
    return status;
  }

  FILE *saver = fopen(input.c_str(), "rb");
  if (!saver) return Fail(input + ": file not found");
  const uint64_t size = FileSize(saver);
  ShowDocument show;
  memset(&show, 0, sizeof show);
  show.pages.pages = static_cast<Page *>(MemAlloc(0));
  std::vector<PagePicture> pictures;
  bool ok = ReadSaver(saver, size, input, &show, &pictures, &error);
  std::vector<unsigned char> preview;
  if (ok) preview = FirstPagePreview(show, pictures, kPreviewWidth, kPreviewHeight);
  DropAllPages(&show.pages, nullptr);
  MemFreePtr(show.pages.pages);
  std::string name = Utf8(input.substr(FolderOf(input).size()));
  if (ok && !SaverSetupPackage(name, size, {saver, ReadFileAt}, details, preview, &package, &error)) {
    error = input + ": " + error;
    ok = false;
  }
  int status = ok ? WriteOutputFile(output, stub, package) : Fail(error);
  fclose(saver);
  if (status == 0)
    printf("%s: installs %s (%llu bytes)%s\n", output.c_str(), name.c_str(), static_cast<unsigned long long>(size),
           preview.empty() ? "" : ", with its first page");
  return status;
}
