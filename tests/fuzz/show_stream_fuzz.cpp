// libFuzzer target over the show stream reading: the counts-and-sizes walk,
// then the full reading in each mode, with hooks that look at every byte
// handed out, whole or piece by piece. Any crash, leak or sanitizer report is a finding.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "shell/mem_block.h"
#include "show/show_stream.h"

namespace {
volatile uint32_t Sink;

int TouchBytes(void *, MediaKind, const char *name, const unsigned char *bytes, uint32_t size) {
  uint32_t sum = 0;
  for (uint32_t i = 0; i < size; ++i) sum += bytes[i];
  for (const char *p = name; *p; ++p) sum += uint8_t(*p);
  Sink = sum;
  return size % 3 != 1;  // some writes "fail", as a full disk would
}

// Streamed writing: the "file" counts its bytes; some writes fail part way.
struct FakeFile {
  uint32_t bytes;
};
void *OpenPiecewise(void *, MediaKind, const char *name) {
  if (strlen(name) % 4 == 0) return nullptr;  // some files cannot be created
  return MemAlloc(sizeof(FakeFile));
}
int WritePiece(void *, void *file, const unsigned char *bytes, uint32_t size) {
  auto *f = static_cast<FakeFile *>(file);
  uint32_t sum = 0;
  for (uint32_t i = 0; i < size; ++i) sum += bytes[i];
  Sink = sum;
  f->bytes += size;
  return f->bytes % 3 != 1;
}
void ClosePiecewise(void *, void *file, const char *, int complete) {
  Sink = complete;
  MemFree(&file);
}
void Failed(void *, MediaKind kind, const char *) { Sink = uint32_t(kind); }

void NoteName(void *, const char *name) { Sink = uint8_t(name[0]); }
int NoFile(void *, const char *) { return 0; }
int Answer(void *, const char *password) { return password[0] & 1; }
void *Preview(void *) { return MemAlloc(16); }

ParseResult Parse(const uint8_t *data, size_t size, ShowDocument *show, int mode, int32_t page) {
  ShowReader reader;
  MemoryStream stream;
  OpenMemoryReader(&reader, &stream, data, size);
  ParseRequest request = {};
  request.mode = mode;
  request.pageIndex = page;
  request.askPassword = 1;
  request.intervalOverride = size > 0 ? int32_t(data[size - 1]) - 100 : -1;
  request.mediaFolder = "C:\\TEMP\\20240101_000000000";
  request.hooks = {nullptr, nullptr, NoteName, NoFile, TouchBytes, Answer, Preview, nullptr, nullptr, nullptr, nullptr};
  // The player writes piece by piece; the tools take whole files.
  if (mode != LoadFull) {
    request.hooks.openFile = OpenPiecewise;
    request.hooks.writeChunk = WritePiece;
    request.hooks.closeFile = ClosePiecewise;
    request.hooks.writeFailed = Failed;
  }
  return ParseShow(&reader, &request, show);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  ShowReader reader;
  MemoryStream stream;
  OpenMemoryReader(&reader, &stream, data, size);
  ShowSummary summary;
  WalkShow(&reader, &summary);

  ShowDocument show = {};
  show.pages.pages = static_cast<Page *>(MemAlloc(0));
  Parse(data, size, &show, LoadFull, 0);
  DropAllPages(&show.pages, &show.bgmPaths);
  if (Parse(data, size, &show, LoadForPlayback, 0) == PARSE_OK) {
    for (int32_t i = 0; i < show.pages.pageCount && i < 4; ++i) Parse(data, size, &show, LoadPageMedia, i);
    // Reading media for a page of a different (cut) stream must fail cleanly.
    Parse(data, size / 2, &show, LoadPageMedia, 0);
  }
  for (int32_t i = 0; i < show.pages.pageCount; ++i) {
    const Page &page = show.pages.pages[i];
    for (int32_t k = 0; k < page.textCount; ++k) Sink = uint8_t(PageText(&page, k)[0]);
  }
  DropAllPages(&show.pages, &show.bgmPaths);
  MemFreePtr(show.pages.pages);
  return 0;
}
