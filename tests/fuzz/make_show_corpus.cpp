// Writes the seed corpus of the show stream fuzz target with the show writer:
// a few small shows of both variants covering music, passwords, plug-ins,
// texts, sounds, previews, empty pages and size-0 pictures.
// Usage: make_show_corpus OUTPUT_DIR
#include <cstdio>
#include <cstring>
#include <string>

#include "shell/base/file_checksum.h"
#include "shell/base/mem_block.h"
#include "show/show_writer.h"

static std::string Folder;

static std::string Put(const std::string &name, const std::string &contents) {
  std::string path = Folder + "/" + name;
  FILE *f = fopen(path.c_str(), "wb");
  fwrite(contents.data(), 1, contents.size(), f);
  fclose(f);
  return path;
}

static void AddText(Page *page, const char *text, int fade) {
  int32_t n = page->textCount + 1;
  page->texts = static_cast<TextRecord *>(MemRealloc(page->texts, size_t(n) * sizeof(TextRecord)));
  page->textBuffers = static_cast<char **>(MemRealloc(page->textBuffers, size_t(n) * sizeof(char *)));
  page->textBuffers[n - 1] = static_cast<char *>(MemAlloc(strlen(text) + 1));
  strcpy(page->textBuffers[n - 1], text);
  page->texts[n - 1].fadeSteps = fade;
  page->texts[n - 1].font.lfHeight = 24;
  page->textCount = n;
}

static void AddPicture(Page *page, const std::string &path) {
  int32_t n = page->pictureCount + 1;
  page->pictures = static_cast<PictureRecord *>(MemRealloc(page->pictures, size_t(n) * sizeof(PictureRecord)));
  strcpy(page->pictures[n - 1].path, path.c_str());
  page->pictures[n - 1].placement[2] = page->pictures[n - 1].placement[3] = 0.5;
  page->pictureCount = n;
}

static void AddSound(Page *page, const std::string &path) {
  int32_t n = page->soundCount + 1;
  page->sounds = static_cast<SoundRecord *>(MemRealloc(page->sounds, size_t(n) * sizeof(SoundRecord)));
  strcpy(page->sounds[n - 1].path, path.c_str());
  page->soundCount = n;
}

static void Write(const ShowDocument &show, ShowVariant variant, const char *plugin, const char *name) {
  const char *plugins[] = {plugin};
  char error[256] = {};
  WriteOptions options = {variant, 0, nullptr, Folder.c_str(), plugins, plugin ? 1 : 0, error, sizeof error};
  FILE *f = fopen((Folder + "/" + name).c_str(), "wb");
  ShowSink sink;
  OpenFileSink(&sink, f);
  if (!WriteShow(&show, &options, &sink)) fprintf(stderr, "%s: %s\n", name, error);
  fclose(f);
}

int main(int argc, char **argv) {
  if (argc != 2) return 1;
  Folder = argv[1];
  std::string jpeg = Put("a.jpg.media", std::string("\xFF\xD8\xFF\xE0", 4) + "jpeg");
  std::string wav = Put("v.wav.media", "RIFF\x04\0\0\0WAVE");
  std::string mid = Put("m.mid.media", "MThd");
  std::string plugin = Put("fx.tns.media", "MZ fx");
  ShowDocument show = {};
  show.pages.pages = static_cast<Page *>(MemAlloc(0));

  // One empty page.
  EnsurePages(&show.pages, 1, 0);
  Write(show, SHOW_SAVER, nullptr, "saver-empty-page.show");
  Write(show, SHOW_WORKING, nullptr, "working-empty-page.show");

  // Three pages with everything.
  EnsurePages(&show.pages, 3, 0);
  strcpy(show.password, "pw");
  strcpy(show.linkAddress, "http://example.jp/");
  strcpy(show.linkCaption, "example");
  strcpy(show.bgmPaths.paths[0], mid.c_str());
  strcpy(show.bgmPaths.paths[2], wav.c_str());
  int32_t id = FileChecksum(plugin.c_str());
  Page *p = show.pages.pages;
  p[0].transitionId = id;
  AddPicture(&p[0], jpeg);
  AddPicture(&p[0], Folder + "/missing.jpg");
  AddText(&p[0], "text", 8);
  AddText(&p[0], "", 0);
  AddSound(&p[0], wav);
  p[1].backgroundFlag = 0;
  AddText(&p[1], "\x83\x65\x83\x58\x83\x67", 1);
  p[2].transitionId = id;
  AddPicture(&p[2], jpeg);
  Write(show, SHOW_SAVER, plugin.c_str(), "saver-three-pages.show");
  p[1].preview = MemAlloc(64);
  Write(show, SHOW_WORKING, nullptr, "working-three-pages.show");

  DropAllPages(&show.pages, nullptr);
  MemFreePtr(show.pages.pages);
  for (const char *media : {"a.jpg.media", "v.wav.media", "m.mid.media", "fx.tns.media"})
    remove((Folder + "/" + media).c_str());
  return 0;
}
