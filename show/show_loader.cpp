// The show loader: opens the show file, names and creates the media folder,
// and runs the shared stream reading with hooks that write the embedded files
// piece by piece, list their names for the shutdown, and ask for the
// password. On failure it removes the media folder and shows message 5010.
#include "show/show_loader.h"

#include <cstring>

#include "raster/dib.h"
#include "shell/file_ops.h"
#include "shell/mem_block.h"
#include "shell/messages.h"
#include "shell/startup_state.h"

int IsShowFile(const char *path) {
  if (!path || !*path || PathExists(path) != 1) return 0;
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 0;
  unsigned char header[SHOW_HEADER_SIZE];
  DWORD read = 0;
  BOOL ok = ReadFile(file, header, sizeof header, &read, nullptr);
  CloseHandle(file);
  return ok && read == sizeof header && MagicVariant(header) != SHOW_UNKNOWN;
}

int32_t ReadIntervalOverride(const char *programFolder) {
  char path[PATH_SIZE];
  if (!programFolder || !*programFolder || !CopyPath(path, programFolder) || !JoinPath(path, "interval.inf"))
    return -1;
  return int32_t(GetPrivateProfileIntA("time", "interval", -1, path));
}

static int FileRead(void *context, void *buffer, uint32_t size) {
  DWORD read = 0;
  return ReadFile(static_cast<HANDLE>(context), buffer, size, &read, nullptr) && read == size;
}

static int FileSkip(void *context, uint32_t size) {
  LARGE_INTEGER distance;
  distance.QuadPart = size;
  return SetFilePointerEx(static_cast<HANDLE>(context), distance, nullptr, FILE_CURRENT) != 0;
}

// The media folder: a fresh time-stamp name in the temp folder, created.
static int CreateMediaFolder(void *, ShowVariant variant, int mode) {
  if (variant != SHOW_SAVER) return 1;
  if (mode == LoadPageMedia) return Startup.mediaFolder[0] != 0;  // reuses the folder of start-up
  if (!Startup.tempFolder[0]) EnsureTempFolder(Startup.tempFolder);
  char name[PATH_SIZE];
  if (MakeUniqueTempName(Startup.tempFolder, name) != 0) return 0;
  const char *extension = ExtensionPart(name);
  if (extension && extension > name && extension[-1] == '.') name[extension - name - 1] = 0;
  if (!CreateDirectoryA(name, nullptr)) return 0;
  CopyPath(Startup.mediaFolder, name);
  return 1;
}

static void AppendExtractedName(void *, const char *name) {
  size_t needed = size_t(Startup.extractedCount + 1) * PATH_SIZE;
  if (!Startup.extractedFiles || MemSize(Startup.extractedFiles) < needed) {
    void *grown = MemReallocChunked(Startup.extractedFiles, needed, 32 * PATH_SIZE);
    if (!grown) return;  // the file then goes with the media folder
    Startup.extractedFiles = static_cast<char(*)[PATH_SIZE]>(grown);
  }
  CopyPath(Startup.extractedFiles[Startup.extractedCount++], name);
}

static int NameExists(void *, const char *name) { return PathExists(name) != 0; }

// Embedded files are written piece by piece (see ParseHooks), so that none
// is ever held whole in memory.
static void *OpenMedia(void *, MediaKind, const char *name) {
  HANDLE file = CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  return file == INVALID_HANDLE_VALUE ? nullptr : file;
}

static int WriteMediaChunk(void *, void *file, const unsigned char *bytes, uint32_t size) {
  DWORD written = 0;
  return WriteFile(static_cast<HANDLE>(file), bytes, size, &written, nullptr) && written == size;
}

static void CloseMedia(void *, void *file, const char *name, int complete) {
  CloseHandle(static_cast<HANDLE>(file));
  if (!complete) DeleteFileA(name);
}

// Pictures and plug-ins report a failed write; music and sounds are silent.
static void ReportWriteFailure(void *, MediaKind kind, const char *name) {
  if (kind == MEDIA_PICTURE || kind == MEDIA_PLUGIN) ShowErrorText(Startup.mainWindow, name, " の保存に失敗しました。");
}

static int AskPassword(void *, const char *password) { return QueryPassword(Startup.mainWindow, password); }

// A blank 160 x 120 image at 24 bits per pixel (black): the page's preview
// slot in a full load.
static void *BlankPreview(void *) { return DibCreateSolid(160, 120, 24, RGB(0, 0, 0)); }

// The media folder is forgotten only once it is really gone: during play its
// plug-ins are loaded and its music may be open, so the removal can fail here,
// and the shutdown must then still find it.
static int FailLoad() {
  if (Startup.mediaFolder[0] && PathExists(Startup.mediaFolder)) DeleteTree(Startup.mediaFolder);
  if (!PathExists(Startup.mediaFolder)) Startup.mediaFolder[0] = 0;
  ShowError(Startup.mainWindow, IDS_LOAD_FAILED);
  ClampSelectedPage(&Show.pages);
  return 0;
}

int LoadShow(const char *path, int mode, int32_t pageIndex, int askPassword) {
  int32_t interval = ReadIntervalOverride(Startup.programFolder);
  if (!path || !*path || !PathExists(path)) return 1;
  if (mode < LoadFull || mode > LoadPageMedia) return FailLoad();
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  LARGE_INTEGER size;
  if (file == INVALID_HANDLE_VALUE) return FailLoad();
  if (!GetFileSizeEx(file, &size)) {
    CloseHandle(file);
    return FailLoad();
  }
  if (!Show.pages.pages) Show.pages.pages = static_cast<Page *>(MemAlloc(0));

  ShowReader reader = {file, FileRead, FileSkip, uint64_t(size.QuadPart)};
  ParseRequest request = {};
  request.mode = mode;
  request.pageIndex = pageIndex;
  request.askPassword = askPassword;
  request.intervalOverride = interval;
  request.mediaFolder = Startup.mediaFolder;
  request.hooks.headerRead = CreateMediaFolder;
  request.hooks.nameAssigned = AppendExtractedName;
  request.hooks.fileExists = NameExists;
  request.hooks.openFile = OpenMedia;
  request.hooks.writeChunk = WriteMediaChunk;
  request.hooks.closeFile = CloseMedia;
  request.hooks.writeFailed = ReportWriteFailure;
  request.hooks.askPassword = AskPassword;
  request.hooks.blankPreview = BlankPreview;
  ParseResult result = ParseShow(&reader, &request, &Show);
  CloseHandle(file);
  if (result == PARSE_CANCELLED) return 0;  // the media folder stays for the shutdown
  if (result != PARSE_OK) return FailLoad();
  return Show.pages.pageCount;
}
