// The show writer: the records in stream order, each file's bytes after its
// record group, occupied music slots first, each plug-in once.
#include "show/show_writer.h"

#include <cstdarg>
#include <cstring>

#include "shell/base/file_checksum.h"
#include "shell/base/mem_block.h"
#include "raster/dib.h"
#include "raster/picture_report.h"
#include "show/picture_convert.h"

static int MemoryWrite(void *context, const void *bytes, size_t size) {
  auto *memory = static_cast<MemorySink *>(context);
  if (size > SIZE_MAX - memory->used) return 0;
  size_t needed = memory->used + size;
  if (needed > MemSize(memory->block) || !memory->block) {
    void *grown = MemReallocChunked(memory->block, needed, 65536);
    if (!grown) return 0;
    memory->block = static_cast<unsigned char *>(grown);
  }
  if (size) memcpy(memory->block + memory->used, bytes, size);
  memory->used = needed;
  return 1;
}

void OpenMemorySink(ShowSink *sink, MemorySink *memory) {
  memory->block = nullptr;
  memory->used = 0;
  sink->context = memory;
  sink->write = MemoryWrite;
}

static int FileWrite(void *context, const void *bytes, size_t size) {
  return size == 0 || fwrite(bytes, 1, size, static_cast<FILE *>(context)) == size;
}

void OpenFileSink(ShowSink *sink, FILE *file) {
  sink->context = file;
  sink->write = FileWrite;
}

namespace {
struct Writer {
  const ShowDocument *show;
  const WriteOptions *options;
  ShowSink *sink;
  int32_t *pluginSums;  // memory block, one checksum per plug-in file
  int ok;
};
}  // namespace

static void Fail(Writer *w, const char *format, ...) {
  if (w->ok && w->options->error && w->options->errorSize) {
    va_list args;
    va_start(args, format);
    vsnprintf(w->options->error, w->options->errorSize, format, args);
    va_end(args);
  }
  w->ok = 0;
}

static void Put(Writer *w, const void *bytes, size_t size) {
  if (w->ok && !w->sink->write(w->sink->context, bytes, size)) Fail(w, "cannot write the show data");
}

static void PutInt(Writer *w, int32_t value) {
  unsigned char bytes[4];
  PutInt32(bytes, value);
  Put(w, bytes, 4);
}

// The file a stored path names, with '@' expanded.
static void ResolvePath(const Writer *w, const char *stored, char *out) {
  if (!w->options->programFolder || !ProgramRelativePath(out, stored, w->options->programFolder, PATH_EXPAND))
    CopyPath(out, stored);
}

// Reads a stored path's file; null (size 0) when it is missing.
static unsigned char *ReadMedia(const Writer *w, const char *stored, size_t *size) {
  char path[PATH_SIZE];
  ResolvePath(w, stored, path);
  unsigned char *bytes = ReadFileBlock(path, size);
  if (!bytes) *size = 0;
  return bytes;
}

static void WriteHeader(Writer *w) {
  ShowHeader header = {};
  memcpy(header.magic, w->options->variant == SHOW_SAVER ? SAVER_MAGIC : WORKING_MAGIC, MAGIC_SIZE);
  header.pageCount = w->show->pages.pageCount;
  memcpy(header.editorSettings, w->show->editorSettings, EDITOR_SETTINGS_SIZE);
  unsigned char bytes[SHOW_HEADER_SIZE];
  EncodeShowHeader(&header, bytes);
  Put(w, bytes, sizeof bytes);
}

static void WriteLinkText(Writer *w, const char *text) {
  size_t length = strnlen(text, LINK_FIELD_SIZE - 1);
  PutInt(w, int32_t(length));
  Put(w, text, length);
}

static void WriteSaverPrefix(Writer *w) {
  PutInt(w, 0);  // no extra block
  PutInt(w, w->show->carriedA);
  WriteLinkText(w, w->show->linkAddress);
  WriteLinkText(w, w->show->linkCaption);
  PutInt(w, w->show->carriedB);
}

static void WriteMusicSlots(Writer *w) {
  int written = 0;
  for (int k = 0; k < BGM_SLOT_COUNT && w->ok; ++k) {
    const char *stored = w->show->bgmPaths.paths[k];
    if (!stored[0]) continue;
    size_t size;
    unsigned char *bytes = ReadMedia(w, stored, &size);
    if (!bytes) continue;  // missing at save time: left out
    char extension[BGM_EXTENSION_SIZE] = {};
    const char *ext = ExtensionPart(stored);
    if (ext) strncpy(extension, ext, BGM_EXTENSION_SIZE - 1);
    PutInt(w, 1);
    Put(w, extension, sizeof extension);
    PutInt(w, int32_t(size));
    Put(w, bytes, size);
    MemFreePtr(bytes);
    ++written;
  }
  for (; written < BGM_SLOT_COUNT; ++written) PutInt(w, 0);
}

static void WritePassword(Writer *w) {
  PasswordBlock block;
  InterleaveInvertWrite(w->show->password, &block);
  Put(w, block.bytes, sizeof block.bytes);
}

// The embedded size of the page's plug-in: non-zero only on the first page
// that uses its identifier. bytes receives the module's contents then.
static int32_t PluginFor(Writer *w, int32_t pageIndex, unsigned char **bytes, size_t *size) {
  *bytes = nullptr;
  *size = 0;
  const Page *pages = w->show->pages.pages;
  int32_t id = pages[pageIndex].transitionId;
  if (w->options->variant != SHOW_SAVER || id == 0) return 0;
  for (int32_t earlier = 0; earlier < pageIndex; ++earlier)
    if (pages[earlier].transitionId == id) return 0;
  for (int k = 0; k < w->options->pluginFileCount; ++k) {
    if (w->pluginSums[k] != id) continue;
    *bytes = ReadFileBlock(w->options->pluginFiles[k], size);
    if (*bytes && *size > 0) return int32_t(*size);
    MemFreePtr(*bytes);
  }
  Fail(w, "page %d: no plug-in file has the transition identifier %d", int(pageIndex + 1), int(id));
  return 0;
}

// The saver variant's picture: its file as JPEG (converted when it is not),
// with the record's path naming what was embedded.
static unsigned char *PictureBytes(Writer *w, int32_t pageIndex, int32_t pictureIndex, const PictureRecord *record,
                                   char *storedPath, size_t *size) {
  // A JPEG goes in up to its end marker: what a file carries after it (a
  // phone's video, padding) is not the picture and the player never reads it.
  char resolved[PATH_SIZE];
  ResolvePath(w, record->path, resolved);
  PictureReport report;
  unsigned char *bytes = ReadPictureFile(resolved, size, nullptr, &report);
  if (!bytes && report.problem != PICTURE_MISSING) {
    char reason[400];
    PictureReportText(&report, reason, sizeof reason);
    Fail(w, "page %d picture %d: %s: %s", int(pageIndex + 1), int(pictureIndex + 1), resolved, reason);
  }
  if (!bytes) *size = 0;
  if (!bytes || IsJpegData(bytes, *size)) return bytes;
  MemFreePtr(bytes);
  char converted[PATH_SIZE];
  char path[PATH_SIZE];
  ResolvePath(w, record->path, path);
  int quality = w->options->jpegQuality ? w->options->jpegQuality : DEFAULT_JPEG_QUALITY;
  char message[PATH_SIZE + 128] = {};
  if (!ConvertPictureToJpeg(path, quality, w->options->tempFolder, converted, message, sizeof message)) {
    Fail(w, "page %d picture %d: %s", int(pageIndex + 1), int(pictureIndex + 1), message);
    *size = 0;
    return nullptr;
  }
  // The converted file is only a vehicle for its bytes: it goes at once, so
  // a build leaves nothing in the temp folder. The record keeps its name.
  bytes = ReadFileBlock(converted, size);
  remove(converted);
  if (!bytes) {
    Fail(w, "page %d picture %d: %s: cannot read the converted picture", int(pageIndex + 1), int(pictureIndex + 1),
         converted);
    *size = 0;
    return nullptr;
  }
  memcpy(storedPath, converted, PATH_SIZE);
  return bytes;
}

static void WritePage(Writer *w, int32_t i) {
  const Page &page = w->show->pages.pages[i];
  bool saver = w->options->variant == SHOW_SAVER;
  unsigned char *plugin;
  size_t pluginSize;
  PageRecord record = {};
  record.pageIndex = i;
  record.previewSize = !saver && page.preview ? int32_t(MemSize(page.preview)) : 0;
  record.pictureCount = page.pictureCount;
  record.textCount = page.textCount;
  record.soundCount = page.soundCount;
  record.backgroundColour = int32_t(page.backgroundColour);
  record.transitionId = page.transitionId;
  record.transitionWait = page.transitionWait;
  memcpy(record.transitionParams, page.transitionParams, TRANSITION_PARAMS_SIZE);
  record.pluginSize = PluginFor(w, i, &plugin, &pluginSize);
  record.displayTime = page.displayTime;
  record.backgroundFlag = page.backgroundFlag;
  unsigned char bytes[PICTURE_RECORD_SIZE];
  EncodePageRecord(&record, bytes);
  Put(w, bytes, PAGE_RECORD_SIZE);
  if (record.previewSize) Put(w, page.preview, size_t(record.previewSize));

  // Pictures: in the saver variant all records first, then all files.
  unsigned char **files = static_cast<unsigned char **>(MemAlloc(size_t(page.pictureCount) * sizeof(void *)));
  size_t *sizes = static_cast<size_t *>(MemAlloc(size_t(page.pictureCount) * sizeof(size_t)));
  if (!files || !sizes) Fail(w, "out of memory");
  for (int32_t j = 0; w->ok && j < page.pictureCount; ++j) {
    PictureRecord picture = page.pictures[j];
    if (saver) {
      files[j] = PictureBytes(w, i, j, &page.pictures[j], picture.path, &sizes[j]);
      picture.size = int32_t(sizes[j]);
    }
    EncodePictureRecord(&picture, bytes);
    Put(w, bytes, PICTURE_RECORD_SIZE);
  }
  for (int32_t j = 0; saver && w->ok && j < page.pictureCount; ++j) Put(w, files[j], sizes[j]);
  for (int32_t j = 0; files && j < page.pictureCount; ++j) MemFreePtr(files[j]);
  MemFreePtr(files);
  MemFreePtr(sizes);

  for (int32_t k = 0; k < page.textCount; ++k) {
    TextRecord text = page.texts[k];
    text.length = int32_t(strlen(PageText(&page, k)));
    EncodeTextRecord(&text, bytes);
    Put(w, bytes, TEXT_RECORD_SIZE);
  }
  for (int32_t k = 0; k < page.textCount; ++k) {
    const char *text = PageText(&page, k);
    Put(w, text, strlen(text));
  }

  files = static_cast<unsigned char **>(MemAlloc(size_t(page.soundCount) * sizeof(void *)));
  sizes = static_cast<size_t *>(MemAlloc(size_t(page.soundCount) * sizeof(size_t)));
  if (!files || !sizes) Fail(w, "out of memory");
  for (int32_t j = 0; w->ok && j < page.soundCount; ++j) {
    SoundRecord sound = page.sounds[j];
    if (saver) {
      files[j] = ReadMedia(w, sound.path, &sizes[j]);
      sound.size = int32_t(sizes[j]);
    }
    EncodeSoundRecord(&sound, bytes);
    Put(w, bytes, SOUND_RECORD_SIZE);
  }
  for (int32_t j = 0; saver && w->ok && j < page.soundCount; ++j) Put(w, files[j], sizes[j]);
  for (int32_t j = 0; files && j < page.soundCount; ++j) MemFreePtr(files[j]);
  MemFreePtr(files);
  MemFreePtr(sizes);

  if (plugin) Put(w, plugin, pluginSize);
  MemFreePtr(plugin);
}

int WriteShow(const ShowDocument *show, const WriteOptions *options, ShowSink *sink) {
  Writer w = {show, options, sink, nullptr, 1};
  if (options->error && options->errorSize) options->error[0] = 0;
  if (options->variant != SHOW_SAVER && options->variant != SHOW_WORKING) {
    Fail(&w, "unknown show variant");
    return 0;
  }
  w.pluginSums = static_cast<int32_t *>(MemAlloc(size_t(options->pluginFileCount > 0 ? options->pluginFileCount : 0) *
                                                 sizeof(int32_t)));
  if (!w.pluginSums) return 0;
  for (int k = 0; k < options->pluginFileCount; ++k) w.pluginSums[k] = FileChecksum(options->pluginFiles[k]);

  WriteHeader(&w);
  if (options->variant == SHOW_SAVER) {
    WriteSaverPrefix(&w);
    WriteMusicSlots(&w);
    WritePassword(&w);
  } else {
    Put(&w, &show->bgmPaths, sizeof show->bgmPaths);
  }
  for (int32_t i = 0; w.ok && i < show->pages.pageCount; ++i) WritePage(&w, i);
  MemFreePtr(w.pluginSums);
  return w.ok;
}
