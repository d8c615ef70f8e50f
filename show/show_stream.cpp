// The front-to-back reading of a show stream. Shared by the player's loader,
// the authoring tool and the fuzz target, so that all of them check the same
// counts and sizes in the same places.
#include "show/show_stream.h"

#include <climits>
#include <cstdio>
#include <cstring>

#include "shell/mem_block.h"

int StreamRead(ShowReader *reader, void *buffer, uint64_t size) {
  if (size > reader->remaining || size > UINT32_MAX) return 0;
  if (size == 0) return 1;
  if (!reader->read(reader->context, buffer, uint32_t(size))) return 0;
  reader->remaining -= size;
  return 1;
}

int StreamSkip(ShowReader *reader, uint64_t size) {
  if (size > reader->remaining || size > UINT32_MAX) return 0;
  if (size == 0) return 1;
  if (!reader->skip(reader->context, uint32_t(size))) return 0;
  reader->remaining -= size;
  return 1;
}

int StreamReadInt32(ShowReader *reader, int32_t *value) {
  unsigned char bytes[4];
  if (!StreamRead(reader, bytes, 4)) return 0;
  *value = GetInt32(bytes);
  return 1;
}

static int MemoryRead(void *context, void *buffer, uint32_t size) {
  auto *stream = static_cast<MemoryStream *>(context);
  if (size > stream->size - stream->position) return 0;
  memcpy(buffer, stream->data + stream->position, size);
  stream->position += size;
  return 1;
}

static int MemorySkip(void *context, uint32_t size) {
  auto *stream = static_cast<MemoryStream *>(context);
  if (size > stream->size - stream->position) return 0;
  stream->position += size;
  return 1;
}

void OpenMemoryReader(ShowReader *reader, MemoryStream *stream, const void *data, size_t size) {
  stream->data = static_cast<const unsigned char *>(data);
  stream->size = data ? size : 0;
  stream->position = 0;
  reader->context = stream;
  reader->read = MemoryRead;
  reader->skip = MemorySkip;
  reader->remaining = stream->size;
}

int FormatMediaName(char *out, const char *folder, char prefix, int32_t a, int32_t b, const char *extension) {
  int n = prefix == 't' ? snprintf(out, PATH_SIZE, "%s\\t_%d_%d.tns", folder, int(a), int(b))
                        : snprintf(out, PATH_SIZE, "%s\\%c_%d_%d.%s", folder, prefix, int(a), int(b), extension);
  if (n < 0 || size_t(n) >= PATH_SIZE) {
    out[0] = 0;
    return 0;
  }
  return 1;
}

// A count of records that the rest of the stream could hold.
static bool CountFits(const ShowReader *reader, int32_t count, size_t recordSize) {
  return count >= 0 && uint64_t(count) <= reader->remaining / recordSize;
}

// A size of embedded bytes that the rest of the stream could hold.
static bool SizeFits(const ShowReader *reader, int32_t size) {
  return size >= 0 && uint64_t(size) <= reader->remaining;
}

// Reads a length-prefixed text into a field of LINK_FIELD_SIZE bytes, cutting
// it to 255 bytes and skipping the rest.
static int ReadLinkText(ShowReader *reader, char *field) {
  int32_t length;
  if (!StreamReadInt32(reader, &length) || !SizeFits(reader, length)) return 0;
  uint32_t kept = uint32_t(length) < LINK_FIELD_SIZE - 1 ? uint32_t(length) : uint32_t(LINK_FIELD_SIZE - 1);
  memset(field, 0, LINK_FIELD_SIZE);
  if (!StreamRead(reader, field, kept)) return 0;
  return StreamSkip(reader, uint64_t(length) - kept);
}

static int ReadSaverPrefix(ShowReader *reader, ShowDocument *show) {
  int32_t extraSize;
  if (!StreamReadInt32(reader, &extraSize) || !StreamReadInt32(reader, &show->carriedA)) return 0;
  if (!ReadLinkText(reader, show->linkAddress) || !ReadLinkText(reader, show->linkCaption)) return 0;
  if (!StreamReadInt32(reader, &show->carriedB)) return 0;
  return SizeFits(reader, extraSize) && StreamSkip(reader, uint64_t(extraSize));
}

// Streams one embedded file through openFile, writeChunk and closeFile, in
// pieces of at most MEDIA_CHUNK_SIZE bytes. After a failed write the rest of
// the file's bytes are passed over.
static int StreamBytes(ShowReader *reader, const ParseHooks *hooks, MediaKind kind, const char *name, uint32_t size,
                       const unsigned char *head, uint32_t headSize) {
  uint32_t left = size - headSize;
  uint32_t chunk = left < MEDIA_CHUNK_SIZE ? left : MEDIA_CHUNK_SIZE;
  auto *buffer = static_cast<unsigned char *>(MemAlloc(chunk));
  void *file = buffer ? hooks->openFile(hooks->context, kind, name) : nullptr;
  if (!buffer) return -1;
  int written = file != nullptr;
  if (written && headSize) written = hooks->writeChunk(hooks->context, file, head, headSize);
  int whole = 1;  // every byte of the file came from the stream
  while (whole && left > 0) {
    if (!written) {
      whole = StreamSkip(reader, left);
      break;
    }
    uint32_t piece = left < chunk ? left : chunk;
    whole = StreamRead(reader, buffer, piece);
    if (whole) written = hooks->writeChunk(hooks->context, file, buffer, piece);
    left -= piece;
  }
  MemFreePtr(buffer);
  if (file && hooks->closeFile) hooks->closeFile(hooks->context, file, name, written && whole);
  if (!whole) return -1;
  if (!written && hooks->writeFailed) hooks->writeFailed(hooks->context, kind, name);
  return written;
}

// Hands one embedded file of size bytes to the hooks; the first headSize of
// them were read already into head. Returns -1 on a short read, else 1 when
// the file was written (or nobody asked for it) and 0 when it was not.
static int ExtractBytes(ShowReader *reader, const ParseHooks *hooks, MediaKind kind, const char *name, uint32_t size,
                        const unsigned char *head = nullptr, uint32_t headSize = 0) {
  if (hooks->openFile && hooks->writeChunk) return StreamBytes(reader, hooks, kind, name, size, head, headSize);
  if (!hooks->writeFile) return StreamSkip(reader, size - headSize) ? 1 : -1;
  // The whole-file hook of the tools and tests: one block of the file's size.
  auto *bytes = static_cast<unsigned char *>(MemAlloc(size));
  if (!bytes) return -1;
  if (headSize) memcpy(bytes, head, headSize);
  if (!StreamRead(reader, bytes + headSize, size - headSize)) {
    MemFreePtr(bytes);
    return -1;
  }
  int written = hooks->writeFile(hooks->context, kind, name, bytes, size);
  MemFreePtr(bytes);
  return written;
}

static int ReadMusicSlots(ShowReader *reader, const ParseRequest *request, ShowDocument *show) {
  memset(&show->bgmPaths, 0, sizeof show->bgmPaths);
  int32_t written = 0;
  for (int32_t slot = 0; slot < BGM_SLOT_COUNT; ++slot) {
    int32_t present;
    if (!StreamReadInt32(reader, &present)) return 0;
    if (!present) continue;
    char extension[BGM_EXTENSION_SIZE];
    int32_t size;
    if (!StreamRead(reader, extension, sizeof extension) || !StreamReadInt32(reader, &size)) return 0;
    if (!SizeFits(reader, size)) return 0;
    // The first bytes tell the kind of music. A slot extension that is not a
    // plain short word (or has no NUL inside its field) is replaced by it.
    unsigned char head[MUSIC_SNIFF_SIZE];
    uint32_t headSize = uint32_t(size) < sizeof head ? uint32_t(size) : uint32_t(sizeof head);
    if (!StreamRead(reader, head, headSize)) return 0;
    const char *sniffed = SniffMusicExtension(head, headSize);
    char safe[SAFE_EXTENSION_SIZE];
    SafeExtension(extension, sizeof extension, sniffed ? sniffed : "dat", safe);
    char name[PATH_SIZE];
    if (!FormatMediaName(name, request->mediaFolder, 'm', slot, written, safe)) return 0;
    // A music file that cannot be written is not reported and stays listed.
    if (ExtractBytes(reader, &request->hooks, MEDIA_MUSIC, name, uint32_t(size), head, headSize) < 0) return 0;
    memcpy(show->bgmPaths.paths[written], name, PATH_SIZE);
    ++written;
  }
  return 1;
}

// The extracted name of a picture or sound from its stored path.
static int ItemName(char *out, const ParseRequest *request, char prefix, int32_t page, int32_t item,
                    const char *storedPath, const char *fallback) {
  char path[PATH_SIZE];
  memcpy(path, storedPath, PATH_SIZE);
  path[PATH_SIZE - 1] = 0;
  const char *dot = ExtensionPart(path);
  // ExtensionPart gives the text after the last dot, or the end of the path.
  bool hasDot = dot && dot > path && dot[-1] == '.';
  char safe[SAFE_EXTENSION_SIZE];
  SafeExtension(hasDot ? dot : nullptr, PATH_SIZE, fallback, safe);
  return FormatMediaName(out, request->mediaFolder, prefix, page, item, safe);
}

// Whether the bytes of an item are written in this mode.
static bool WantsItem(const ParseRequest *request, int32_t page, const char *name) {
  if (request->mode == LoadFull) return true;
  if (request->mode != LoadPageMedia || page != request->pageIndex) return false;
  const ParseHooks &hooks = request->hooks;
  return !(hooks.fileExists && hooks.fileExists(hooks.context, name));
}

// Reads count records of recordSize bytes into a fresh block of decoded records.
template <typename Record>
static Record *ReadRecords(ShowReader *reader, int32_t count, size_t recordSize,
                           void (*decode)(const unsigned char *, Record *)) {
  auto *records = static_cast<Record *>(MemAlloc(size_t(count) * sizeof(Record)));
  if (!records) return nullptr;
  unsigned char bytes[PICTURE_RECORD_SIZE];
  for (int32_t k = 0; k < count; ++k) {
    if (!StreamRead(reader, bytes, recordSize)) {
      MemFreePtr(records);
      return nullptr;
    }
    decode(bytes, &records[k]);
  }
  return records;
}

// Pictures or sounds: the records, then (saver variant) each file's bytes.
// In modes 0 and 1 the records replace the page's; in mode 2 the stream's
// records must match the page's count, and only the paths of the page's
// records change.
template <typename Record>
static int ReadItems(ShowReader *reader, const ParseRequest *request, ShowDocument *show, int32_t pageIndex,
                     int32_t count, size_t recordSize, void (*decode)(const unsigned char *, Record *),
                     Record **pageRecords, int32_t *pageCount, char prefix, MediaKind kind, const char *fallback) {
  if (!CountFits(reader, count, recordSize)) return 0;
  Record *records = ReadRecords(reader, count, recordSize, decode);
  if (!records) return 0;
  if (request->mode == LoadPageMedia) {
    if (*pageCount != count) {  // the show changed under the player
      MemFreePtr(records);
      return 0;
    }
  } else {
    MemFree(pageRecords);
    *pageRecords = records;
    *pageCount = count;
  }
  int ok = 1;
  if (show->variant == SHOW_SAVER) {
    for (int32_t j = 0; ok && j < count; ++j) {
      char name[PATH_SIZE];
      if (!ItemName(name, request, prefix, pageIndex, j, records[j].path, fallback)) ok = 0;
      if (!ok) break;
      if (request->mode != LoadPageMedia && request->hooks.nameAssigned)
        request->hooks.nameAssigned(request->hooks.context, name);
      int32_t size = records[j].size;
      if (!SizeFits(reader, size)) ok = 0;
      else if (size > 0 && WantsItem(request, pageIndex, name)) {
        memcpy((*pageRecords)[j].path, name, PATH_SIZE);
        ok = ExtractBytes(reader, &request->hooks, kind, name, uint32_t(size)) >= 0;
      } else {
        ok = StreamSkip(reader, uint64_t(size));
      }
    }
  }
  if (request->mode == LoadPageMedia) MemFreePtr(records);
  return ok;
}

static int ReadTexts(ShowReader *reader, const ParseRequest *request, Page *page, int32_t count) {
  if (!CountFits(reader, count, TEXT_RECORD_SIZE)) return 0;
  TextRecord *records = ReadRecords(reader, count, TEXT_RECORD_SIZE, DecodeTextRecord);
  if (!records) return 0;
  if (request->mode == LoadPageMedia) {
    int ok = page->textCount == count;
    for (int32_t k = 0; ok && k < count; ++k)
      ok = SizeFits(reader, records[k].length) && StreamSkip(reader, uint64_t(records[k].length));
    MemFreePtr(records);
    return ok;
  }
  auto **buffers = static_cast<char **>(MemAlloc(size_t(count) * sizeof(char *)));
  if (!buffers) {
    MemFreePtr(records);
    return 0;
  }
  // The old texts go; the new records and buffers belong to the page from now.
  if (page->textBuffers) {
    size_t slots = MemSize(page->textBuffers) / sizeof(char *);
    for (size_t k = 0; k < slots; ++k) MemFreePtr(page->textBuffers[k]);
  }
  MemFreePtr(page->textBuffers);
  MemFreePtr(page->texts);
  page->texts = records;
  page->textBuffers = buffers;
  page->textCount = count;
  for (int32_t k = 0; k < count; ++k) {
    int32_t length = records[k].length;
    if (!SizeFits(reader, length)) return 0;
    buffers[k] = static_cast<char *>(MemAlloc(size_t(length) + 1));
    if (!buffers[k] || !StreamRead(reader, buffers[k], uint64_t(length))) return 0;
  }
  return 1;
}

static int32_t DisplayTime(const ParseRequest *request, int32_t stored) {
  if (request->intervalOverride < 1) return stored;
  if (request->intervalOverride > INT32_MAX / 1000) return INT32_MAX;
  return request->intervalOverride * 1000;
}

static int ReadPage(ShowReader *reader, const ParseRequest *request, ShowDocument *show, int32_t i) {
  unsigned char bytes[PAGE_RECORD_SIZE];
  PageRecord record;
  if (!StreamRead(reader, bytes, PAGE_RECORD_SIZE)) return 0;
  DecodePageRecord(bytes, &record);
  Page *page = &show->pages.pages[i];
  const ParseHooks &hooks = request->hooks;
  bool saver = show->variant == SHOW_SAVER;

  if (!saver) {
    if (!SizeFits(reader, record.previewSize)) return 0;
    MemFree(&page->preview);
    if (record.previewSize > 0) {
      page->preview = MemAlloc(size_t(record.previewSize));
      if (!page->preview || !StreamRead(reader, page->preview, uint64_t(record.previewSize))) return 0;
    }
  } else if (request->mode == LoadFull && hooks.blankPreview) {
    MemFree(&page->preview);
    page->preview = hooks.blankPreview(hooks.context);
  }

  if (!ReadItems(reader, request, show, i, record.pictureCount, PICTURE_RECORD_SIZE, DecodePictureRecord,
                 &page->pictures, &page->pictureCount, 'i', MEDIA_PICTURE, "jpg"))
    return 0;
  if (!ReadTexts(reader, request, page, record.textCount)) return 0;
  if (!ReadItems(reader, request, show, i, record.soundCount, SOUND_RECORD_SIZE, DecodeSoundRecord, &page->sounds,
                 &page->soundCount, 's', MEDIA_SOUND, "dat"))
    return 0;

  bool keepDefaults = false;
  if (saver && record.transitionId != 0 && record.pluginSize != 0) {
    if (!SizeFits(reader, record.pluginSize)) return 0;
    if (request->mode == LoadPageMedia) {
      if (!StreamSkip(reader, uint64_t(record.pluginSize))) return 0;
    } else {
      char name[PATH_SIZE];
      if (!FormatMediaName(name, request->mediaFolder, 't', i, 0, nullptr)) return 0;
      if (hooks.nameAssigned) hooks.nameAssigned(hooks.context, name);
      int written = ExtractBytes(reader, &hooks, MEDIA_PLUGIN, name, uint32_t(record.pluginSize));
      if (written < 0) return 0;
      keepDefaults = written == 0;
    }
  }
  if (!keepDefaults) {
    page->backgroundColour = COLORREF(record.backgroundColour);
    page->backgroundFlag = record.backgroundFlag;
    page->transitionId = record.transitionId;
    page->transitionWait = record.transitionWait;
    memcpy(page->transitionParams, record.transitionParams, TRANSITION_PARAMS_SIZE);
    page->displayTime = DisplayTime(request, record.displayTime);
  }
  return 1;
}

static ParseResult ParseBody(ShowReader *reader, const ParseRequest *request, ShowDocument *show) {
  unsigned char bytes[SHOW_HEADER_SIZE];
  if (!StreamRead(reader, bytes, SHOW_HEADER_SIZE)) return PARSE_FAILED;
  ShowHeader header;
  DecodeShowHeader(bytes, &header);
  ShowVariant variant = MagicVariant(bytes);
  if (variant == SHOW_UNKNOWN) return PARSE_FAILED;
  const ParseHooks &hooks = request->hooks;
  if (hooks.headerRead && !hooks.headerRead(hooks.context, variant, request->mode)) return PARSE_FAILED;
  show->variant = variant;
  memcpy(show->editorSettings, header.editorSettings, EDITOR_SETTINGS_SIZE);

  // Every page takes at least its record, so a larger count cannot be whole.
  if (!CountFits(reader, header.pageCount, PAGE_RECORD_SIZE)) return PARSE_FAILED;
  int withWindows = !(variant == SHOW_SAVER && request->mode != LoadFull);
  if (!EnsurePages(&show->pages, header.pageCount, withWindows)) return PARSE_FAILED;

  if (variant == SHOW_SAVER) {
    if (!ReadSaverPrefix(reader, show) || !ReadMusicSlots(reader, request, show)) return PARSE_FAILED;
    PasswordBlock block;
    if (!StreamRead(reader, block.bytes, PASSWORD_BLOCK_SIZE)) return PARSE_FAILED;
    InterleaveInvertRead(&block, show->password);
    if (request->askPassword && show->password[0] && hooks.askPassword &&
        !hooks.askPassword(hooks.context, show->password)) {
      DropAllPages(&show->pages, &show->bgmPaths);
      return PARSE_CANCELLED;
    }
  } else {
    if (!StreamRead(reader, &show->bgmPaths, sizeof show->bgmPaths)) return PARSE_FAILED;
    for (auto &path : show->bgmPaths.paths) path[PATH_SIZE - 1] = 0;
  }

  for (int32_t i = 0; i < header.pageCount; ++i)
    if (!ReadPage(reader, request, show, i)) return PARSE_FAILED;
  if (header.pageCount < 1) return PARSE_FAILED;
  return PARSE_OK;
}

ParseResult ParseShow(ShowReader *reader, const ParseRequest *request, ShowDocument *show) {
  ParseResult result = ParseBody(reader, request, show);
  ClampSelectedPage(&show->pages);
  return result;
}

namespace {
struct WalkCount {
  ShowSummary *summary;
};
}  // namespace

static int CountWrite(void *context, MediaKind kind, const char *, const unsigned char *, uint32_t size) {
  ShowSummary *summary = static_cast<WalkCount *>(context)->summary;
  if (kind == MEDIA_MUSIC) ++summary->musicCount;
  if (kind == MEDIA_PLUGIN) ++summary->pluginCount;
  summary->mediaBytes += size;
  return 1;
}

int WalkShow(ShowReader *reader, ShowSummary *summary) {
  memset(summary, 0, sizeof *summary);
  WalkCount count = {summary};
  ParseRequest request = {};
  request.mode = LoadForPlayback;
  request.mediaFolder = "";
  request.intervalOverride = -1;
  request.hooks.context = &count;
  request.hooks.writeFile = CountWrite;
  ShowDocument scratch = {};
  int ok = ParseShow(reader, &request, &scratch) == PARSE_OK;
  summary->variant = scratch.variant;
  summary->pageCount = scratch.pages.pageCount;
  for (int32_t i = 0; i < scratch.pages.pageCount; ++i) {
    const Page &page = scratch.pages.pages[i];
    summary->pictureCount += page.pictureCount;
    summary->textCount += page.textCount;
    summary->soundCount += page.soundCount;
    if (scratch.variant == SHOW_SAVER) {
      for (int32_t j = 0; j < page.pictureCount; ++j) summary->mediaBytes += uint32_t(page.pictures[j].size);
      for (int32_t j = 0; j < page.soundCount; ++j) summary->mediaBytes += uint32_t(page.sounds[j].size);
    }
  }
  DropAllPages(&scratch.pages, nullptr);
  MemFreePtr(scratch.pages.pages);
  return ok;
}
