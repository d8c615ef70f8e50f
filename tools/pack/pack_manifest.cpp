// Reading the JSON manifest into a show document. Every value is checked for
// type and range; nothing here throws.
#include "tools/pack/pack_manifest.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <nlohmann/json.hpp>

#include "shell/mem_block.h"
#include "show/file_checksum.h"
#include "tools/pack/pack_text.h"

using nlohmann::json;

namespace {
// Finds where a JSON text stops being valid, without exceptions.
struct ErrorPosition : nlohmann::json_sax<json> {
  size_t position = 0;
  std::string message;
  bool null() override { return true; }
  bool boolean(bool) override { return true; }
  bool number_integer(number_integer_t) override { return true; }
  bool number_unsigned(number_unsigned_t) override { return true; }
  bool number_float(number_float_t, const string_t &) override { return true; }
  bool string(string_t &) override { return true; }
  bool binary(binary_t &) override { return true; }
  bool start_object(std::size_t) override { return true; }
  bool key(string_t &) override { return true; }
  bool end_object() override { return true; }
  bool start_array(std::size_t) override { return true; }
  bool end_array() override { return true; }
  bool parse_error(std::size_t at, const std::string &, const nlohmann::detail::exception &ex) override {
    position = at;
    message = ex.what();
    return false;
  }
};

struct Reader {
  std::string folder;  // the manifest's folder, with a trailing separator (or empty)
  std::string *error;
  bool ok = true;

  bool Fail(const std::string &where, const std::string &what) {
    if (ok) *error = where + ": " + what;
    ok = false;
    return false;
  }
};

#ifdef _WIN32
const char kSeparator = '\\';
bool IsAbsolute(const std::string &p) {
  return (p.size() > 2 && p[1] == ':') || (!p.empty() && (p[0] == '\\' || p[0] == '/'));
}
#else
const char kSeparator = '/';
bool IsAbsolute(const std::string &p) { return !p.empty() && p[0] == '/'; }
#endif

bool FileExists(const std::string &path) {
  FILE *f = fopen(path.c_str(), "rb");
  if (f) fclose(f);
  return f != nullptr;
}

// A media path: resolved against the manifest's folder, existing, fitting a
// 260-byte field in CP932.
bool MediaPath(Reader &r, const json &value, const std::string &where, char *field) {
  if (!value.is_string() || value.get<std::string>().empty()) return r.Fail(where, "expected a file name");
  std::string name = value.get<std::string>();
  std::string path = IsAbsolute(name) ? name : r.folder + name;
  std::string converted;
  if (!Utf8ToCp932(path, &converted)) return r.Fail(where, "the file name \"" + name + "\" has characters CP932 cannot hold");
  if (converted.size() >= PATH_SIZE) return r.Fail(where, "the path \"" + path + "\" is longer than 259 bytes");
  if (!FileExists(converted)) return r.Fail(where, "file not found: " + path);
  memset(field, 0, PATH_SIZE);
  memcpy(field, converted.data(), converted.size());
  return true;
}

bool Integer(Reader &r, const json &object, const char *key, const std::string &where, long long low, long long high,
             long long fallback, long long *out) {
  auto it = object.find(key);
  if (it == object.end()) {
    *out = fallback;
    return true;
  }
  if (it->is_boolean()) {
    *out = it->get<bool>() ? 1 : 0;
  } else if (it->is_number_integer()) {
    *out = it->get<long long>();
  } else {
    return r.Fail(where, std::string("\"") + key + "\" must be an integer");
  }
  if (*out < low || *out > high)
    return r.Fail(where, std::string("\"") + key + "\" must be between " + std::to_string(low) + " and " +
                             std::to_string(high));
  return true;
}

bool Fractions(Reader &r, const json &object, const char *key, const std::string &where, size_t count, double *out) {
  auto it = object.find(key);
  if (it == object.end() || !it->is_array() || it->size() != count)
    return r.Fail(where, std::string("\"") + key + "\" must be a list of " + std::to_string(count) + " numbers");
  for (size_t i = 0; i < count; ++i) {
    const json &v = (*it)[i];
    if (!v.is_number()) return r.Fail(where, std::string("\"") + key + "\" must hold numbers");
    out[i] = v.get<double>();
    if (!std::isfinite(out[i]) || out[i] < -10 || out[i] > 10)
      return r.Fail(where, std::string("\"") + key + "\" values must be fractions of the page (-10 to 10)");
  }
  return true;
}

// "#rrggbb" or [r, g, b] as a Windows colour value.
bool Colour(Reader &r, const json &object, const char *key, const std::string &where, uint32_t fallback,
            uint32_t *out) {
  auto it = object.find(key);
  *out = fallback;
  if (it == object.end()) return true;
  unsigned red, green, blue;
  if (it->is_string()) {
    std::string s = it->get<std::string>();
    char tail;
    if (s.size() != 7 || sscanf(s.c_str(), "#%2x%2x%2x%c", &red, &green, &blue, &tail) != 3)
      return r.Fail(where, std::string("\"") + key + "\" must be \"#rrggbb\" or [r, g, b]");
  } else if (it->is_array() && it->size() == 3 && (*it)[0].is_number_integer() && (*it)[1].is_number_integer() &&
             (*it)[2].is_number_integer()) {
    long long c[3];
    for (int i = 0; i < 3; ++i) {
      c[i] = (*it)[i].get<long long>();
      if (c[i] < 0 || c[i] > 255) return r.Fail(where, std::string("\"") + key + "\" components must be 0 to 255");
    }
    red = unsigned(c[0]), green = unsigned(c[1]), blue = unsigned(c[2]);
  } else {
    return r.Fail(where, std::string("\"") + key + "\" must be \"#rrggbb\" or [r, g, b]");
  }
  *out = red | green << 8 | blue << 16;
  return true;
}

bool Text(Reader &r, const json &object, const char *key, const std::string &where, size_t limit, std::string *out) {
  auto it = object.find(key);
  out->clear();
  if (it == object.end()) return true;
  if (!it->is_string()) return r.Fail(where, std::string("\"") + key + "\" must be a string");
  if (!Utf8ToCp932(it->get<std::string>(), out))
    return r.Fail(where, std::string("\"") + key + "\" has a character that CP932 cannot hold: \"" +
                             it->get<std::string>() + "\"");
  if (out->size() > limit)
    return r.Fail(where, std::string("\"") + key + "\" is longer than " + std::to_string(limit) + " bytes in CP932");
  return true;
}

bool ReadPicture(Reader &r, const json &item, const std::string &where, PictureRecord *picture) {
  if (!item.is_object()) return r.Fail(where, "expected an object");
  long long orientation, shadow;
  if (!MediaPath(r, item.contains("file") ? item["file"] : json(), where, picture->path)) return false;
  if (!Fractions(r, item, "place", where, 4, picture->placement)) return false;
  if (!Integer(r, item, "orientation", where, 0, 11, ORIENTATION_FROM_PICTURE, &orientation)) return false;
  if (!Integer(r, item, "shadow", where, 0, 1, 0, &shadow)) return false;
  picture->orientation = int32_t(orientation);
  picture->shadow = int32_t(shadow);
  return true;
}

bool ReadText(Reader &r, const json &item, const std::string &where, TextRecord *record, char **buffer) {
  if (!item.is_object()) return r.Fail(where, "expected an object");
  std::string text;
  if (!item.contains("text")) return r.Fail(where, "\"text\" is missing");
  if (!Text(r, item, "text", where, 100000, &text)) return false;
  if (!Fractions(r, item, "at", where, 2, record->anchor)) return false;
  record->extent[0] = record->anchor[0];
  record->extent[1] = record->anchor[1];
  uint32_t colour;
  long long fade;
  if (!Colour(r, item, "colour", where, 0xFFFFFF, &colour)) return false;
  if (!Integer(r, item, "fade", where, 0, 1000, 0, &fade)) return false;
  record->colour = int32_t(colour);
  record->fadeSteps = int32_t(fade);
  json font = item.contains("font") ? item["font"] : json::object();
  if (!font.is_object()) return r.Fail(where, "\"font\" must be an object");
  std::string face;
  long long height, weight, italic, vertical;
  if (!Text(r, font, "face", where + " font", 30, &face)) return false;
  if (!Integer(r, font, "height", where + " font", 1, 1000, 24, &height)) return false;
  if (!Integer(r, font, "weight", where + " font", 0, 1000, 400, &weight)) return false;
  if (!Integer(r, font, "italic", where + " font", 0, 1, 0, &italic)) return false;
  if (!Integer(r, font, "vertical", where + " font", 0, 1, 0, &vertical)) return false;
  if (vertical && (face.empty() || face[0] != '@')) face = "@" + face;
  if (face.size() > 31) return r.Fail(where, "the font face is longer than 31 bytes");
  record->font.lfHeight = LONG(height);
  record->font.lfWeight = LONG(weight);
  record->font.lfItalic = BYTE(italic);
  record->font.lfCharSet = 128;  // SHIFTJIS_CHARSET
  memcpy(record->font.lfFaceName, face.data(), face.size());
  record->length = int32_t(text.size());
  *buffer = static_cast<char *>(MemAlloc(text.size() + 1));
  if (!*buffer) return r.Fail(where, "out of memory");
  memcpy(*buffer, text.data(), text.size());
  return true;
}

bool ReadTransition(Reader &r, const json &item, const std::string &where, Page *page, Manifest *manifest) {
  if (!item.is_object()) return r.Fail(where, "\"transition\" must be an object");
  char path[PATH_SIZE];
  if (!MediaPath(r, item.contains("plugin") ? item["plugin"] : json(), where + " transition", path)) return false;
  int32_t id = FileChecksum(path);
  if (id == 0) return r.Fail(where, std::string("the plug-in ") + path + " is empty or has the checksum 0");
  long long wait;
  if (!Integer(r, item, "wait", where + " transition", 0, 0x7FFFFFFF, 0, &wait)) return false;
  auto params = item.find("params");
  if (params != item.end()) {
    if (!params->is_array() || params->size() > TRANSITION_PARAMS_SIZE / 4)
      return r.Fail(where, "\"params\" must be a list of at most 20 integers");
    for (size_t k = 0; k < params->size(); ++k) {
      const json &v = (*params)[k];
      if (!v.is_number_integer() || v.get<long long>() < INT32_MIN || v.get<long long>() > INT32_MAX)
        return r.Fail(where, "\"params\" must hold 32-bit integers");
      PutInt32(page->transitionParams + 4 * k, int32_t(v.get<long long>()));
    }
  }
  page->transitionId = id;
  page->transitionWait = int32_t(wait);
  bool known = false;
  for (const std::string &file : manifest->pluginFiles) known = known || file == path;
  if (!known) manifest->pluginFiles.push_back(path);
  return true;
}

bool ReadPage(Reader &r, const json &item, int index, Page *page, Manifest *manifest) {
  std::string where = "page " + std::to_string(index + 1);
  if (!item.is_object()) return r.Fail(where, "expected an object");
  long long time, flag;
  uint32_t colour;
  if (!Integer(r, item, "time", where, 1, 0x7FFFFFFF, 10000, &time)) return false;
  if (!Integer(r, item, "backgroundFlag", where, 0, 1, 1, &flag)) return false;
  if (!Colour(r, item, "background", where, 0, &colour)) return false;
  page->displayTime = int32_t(time);
  page->backgroundFlag = int32_t(flag);
  page->backgroundColour = colour;
  if (item.contains("transition") && !ReadTransition(r, item["transition"], where, page, manifest)) return false;

  const json empty = json::array();
  const json &pictures = item.contains("pictures") ? item["pictures"] : empty;
  const json &texts = item.contains("texts") ? item["texts"] : empty;
  const json &sounds = item.contains("sounds") ? item["sounds"] : empty;
  if (!pictures.is_array() || !texts.is_array() || !sounds.is_array())
    return r.Fail(where, "\"pictures\", \"texts\" and \"sounds\" must be lists");
  if (pictures.size() > 10000 || texts.size() > 10000 || sounds.size() > 10000)
    return r.Fail(where, "too many items on one page");
  int32_t nPictures = int32_t(pictures.size()), nTexts = int32_t(texts.size()), nSounds = int32_t(sounds.size());
  page->pictures = static_cast<PictureRecord *>(MemRealloc(page->pictures, size_t(nPictures) * sizeof(PictureRecord)));
  page->texts = static_cast<TextRecord *>(MemRealloc(page->texts, size_t(nTexts) * sizeof(TextRecord)));
  page->textBuffers = static_cast<char **>(MemRealloc(page->textBuffers, size_t(nTexts) * sizeof(char *)));
  page->sounds = static_cast<SoundRecord *>(MemRealloc(page->sounds, size_t(nSounds) * sizeof(SoundRecord)));
  if (!page->pictures || !page->texts || !page->textBuffers || !page->sounds) return r.Fail(where, "out of memory");
  page->pictureCount = nPictures;
  page->textCount = nTexts;
  page->soundCount = nSounds;
  for (int32_t j = 0; j < nPictures; ++j)
    if (!ReadPicture(r, pictures[size_t(j)], where + " picture " + std::to_string(j + 1), &page->pictures[j]))
      return false;
  for (int32_t k = 0; k < nTexts; ++k)
    if (!ReadText(r, texts[size_t(k)], where + " text " + std::to_string(k + 1), &page->texts[k],
                  &page->textBuffers[k]))
      return false;
  for (int32_t j = 0; j < nSounds; ++j)
    if (!MediaPath(r, sounds[size_t(j)], where + " sound " + std::to_string(j + 1), page->sounds[j].path)) return false;
  return true;
}

std::string LineAndColumn(const std::string &text, size_t position) {
  size_t line = 1, column = 1;
  for (size_t i = 0; i + 1 < position && i < text.size(); ++i) {
    if (text[i] == '\n') {
      ++line;
      column = 1;
    } else {
      ++column;
    }
  }
  return "line " + std::to_string(line) + ", column " + std::to_string(column);
}
}  // namespace

int ReadManifest(const std::string &path, Manifest *manifest, std::string *error) {
  memset(&manifest->show, 0, sizeof manifest->show);
  manifest->show.pages.pages = static_cast<Page *>(MemAlloc(0));
  manifest->jpegQuality = 100;
  manifest->pluginFiles.clear();
  FILE *file = fopen(path.c_str(), "rb");
  if (!file) {
    *error = path + ": file not found";
    return 0;
  }
  std::string text;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, n);
  fclose(file);

  json root = json::parse(text, nullptr, false);
  if (root.is_discarded()) {
    ErrorPosition sax;
    json::sax_parse(text, &sax);
    *error = path + ": bad JSON at " + LineAndColumn(text, sax.position);
    return 0;
  }
  Reader r;
  r.error = error;
  size_t slash = path.find_last_of(kSeparator == '/' ? "/" : "\\/");
  r.folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  if (!root.is_object()) return r.Fail(path, "the manifest must be a JSON object"), 0;

  ShowDocument &show = manifest->show;
  long long quality, grid;
  if (!Integer(r, root, "quality", "show", 1, 100, 100, &quality)) return 0;
  if (!Integer(r, root, "grid", "show", 0, 64, 0, &grid)) return 0;
  if (grid != 0 && grid != 2 && grid != 4 && grid != 8 && grid != 16 && grid != 32 && grid != 64)
    return r.Fail("show", "\"grid\" must be 0, 2, 4, 8, 16, 32 or 64"), 0;
  manifest->jpegQuality = int(quality);
  show.editorSettings[0] = static_cast<unsigned char>(grid);
  std::string value;
  if (!Text(r, root, "password", "show", PASSWORD_BUFFER_SIZE - 1, &value)) return 0;
  memcpy(show.password, value.data(), value.size());
  if (root.contains("link")) {
    const json &link = root["link"];
    if (!link.is_object()) return r.Fail("show", "\"link\" must be an object"), 0;
    if (!Text(r, link, "address", "link", LINK_FIELD_SIZE - 1, &value)) return 0;
    memcpy(show.linkAddress, value.data(), value.size());
    if (!Text(r, link, "caption", "link", LINK_FIELD_SIZE - 1, &value)) return 0;
    memcpy(show.linkCaption, value.data(), value.size());
  }
  if (root.contains("music")) {
    const json &music = root["music"];
    if (!music.is_array()) return r.Fail("show", "\"music\" must be a list of files"), 0;
    if (music.size() > size_t(BGM_SLOT_COUNT))
      return r.Fail("show", "too many music files: at most 20 can be registered"), 0;
    for (size_t k = 0; k < music.size(); ++k)
      if (!MediaPath(r, music[k], "music " + std::to_string(k + 1), show.bgmPaths.paths[k])) return 0;
  }
  if (!root.contains("pages") || !root["pages"].is_array() || root["pages"].empty())
    return r.Fail("show", "\"pages\" must be a list of at least one page"), 0;
  const json &pages = root["pages"];
  if (pages.size() > 100000) return r.Fail("show", "too many pages"), 0;
  if (!EnsurePages(&show.pages, int32_t(pages.size()), 0)) return r.Fail("show", "out of memory"), 0;
  for (size_t i = 0; i < pages.size(); ++i)
    if (!ReadPage(r, pages[i], int(i), &show.pages.pages[i], manifest)) return 0;
  return 1;
}

void FreeManifest(Manifest *manifest) {
  DropAllPages(&manifest->show.pages, nullptr);
  MemFreePtr(manifest->show.pages.pages);
}
