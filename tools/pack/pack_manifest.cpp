// Reading the JSON manifest into a show document. Every value is checked for
// type and range, and every message names the manifest, the line and column
// of the value at fault and the page it belongs to; nothing here throws.
#include "tools/pack/pack_manifest.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <nlohmann/json.hpp>

#include "shell/base/file_checksum.h"
#include "shell/base/mem_block.h"
#include "tools/pack/pack_files.h"
#include "tools/pack/pack_text.h"
#include "transitions/effect_defaults.h"

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

// ---- positions in the text ---------------------------------------------------
// The DOM keeps no positions, so a value's place is found again in the text
// (which has already parsed) by walking a JSON pointer: keys and indexes
// joined by '/'.

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

size_t SkipSpace(const std::string &t, size_t i) {
  while (i < t.size() && IsSpace(t[i])) ++i;
  return i;
}

// From an opening quote to just after the closing one.
size_t SkipString(const std::string &t, size_t i) {
  for (++i; i < t.size(); ++i) {
    if (t[i] == '\\') ++i;
    else if (t[i] == '"') return i + 1;
  }
  return t.size();
}

// From a value's first character to just after its last.
size_t SkipValue(const std::string &t, size_t i) {
  if (i >= t.size()) return i;
  if (t[i] == '"') return SkipString(t, i);
  if (t[i] == '{' || t[i] == '[') {
    const bool object = t[i] == '{';
    i = SkipSpace(t, i + 1);
    while (i < t.size() && t[i] != (object ? '}' : ']')) {
      if (object) i = SkipSpace(t, SkipSpace(t, SkipString(t, i)) + 1);  // the key and its colon
      i = SkipSpace(t, SkipValue(t, i));
      if (i < t.size() && t[i] == ',') i = SkipSpace(t, i + 1);
    }
    return i + 1;
  }
  while (i < t.size() && t[i] != ',' && t[i] != ']' && t[i] != '}' && !IsSpace(t[i])) ++i;
  return i;
}

// The offset of the value the pointer names; where the pointer leaves the
// text (a key that is missing), the offset of the last value reached.
size_t ValueOffset(const std::string &t, const std::string &pointer) {
  size_t i = t.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;  // a byte-order mark
  i = SkipSpace(t, i);
  size_t from = 1;
  while (from <= pointer.size() && i < t.size()) {
    size_t to = pointer.find('/', from);
    if (to == std::string::npos) to = pointer.size();
    const std::string step = pointer.substr(from, to - from);
    from = to + 1;
    size_t found = std::string::npos;
    if (t[i] == '{') {
      size_t j = SkipSpace(t, i + 1);
      while (j < t.size() && t[j] == '"') {
        size_t keyEnd = SkipString(t, j);
        bool match = keyEnd - j - 2 == step.size() && t.compare(j + 1, step.size(), step) == 0;
        j = SkipSpace(t, SkipSpace(t, keyEnd) + 1);
        if (match) found = j;  // a repeated key: the parser keeps the last one too
        j = SkipSpace(t, SkipValue(t, j));
        if (j >= t.size() || t[j] != ',') break;
        j = SkipSpace(t, j + 1);
      }
    } else if (t[i] == '[') {
      size_t index = strtoul(step.c_str(), nullptr, 10), k = 0;
      size_t j = SkipSpace(t, i + 1);
      while (j < t.size() && t[j] != ']') {
        if (k++ == index) {
          found = j;
          break;
        }
        j = SkipSpace(t, SkipValue(t, j));
        if (j >= t.size() || t[j] != ',') break;
        j = SkipSpace(t, j + 1);
      }
    }
    if (found == std::string::npos) break;
    i = found;
  }
  return i;
}

// "line L, column C" of a byte offset; columns count characters, not bytes.
std::string LineAndColumn(const std::string &text, size_t offset) {
  size_t line = 1, column = 1;
  for (size_t i = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0; i < offset && i < text.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '\n') {
      ++line;
      column = 1;
    } else if ((c & 0xC0) != 0x80) {
      ++column;
    }
  }
  return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

// ---- reading ---------------------------------------------------------------------

struct Reader {
  std::string path;          // the manifest, as given
  std::string text;          // its bytes
  std::string folder;        // the manifest's folder, with a trailing separator (or empty)
  std::string pluginFolder;  // where plug-ins are looked for second (or empty)
  std::string *error;
  bool ok = true;

  // at: the JSON pointer of the value at fault; where: the page and item.
  bool Fail(const std::string &at, const std::string &where, const std::string &what) {
    if (ok) *error = path + ", " + LineAndColumn(text, ValueOffset(text, at)) + ": " + where + ": " + what;
    ok = false;
    return false;
  }
};

std::string Quoted(const char *key) { return std::string("\"") + key + "\""; }

// A media path: resolved against the manifest's folder (then, when alsoIn
// is given, against that folder), existing, fitting a 260-byte field in CP932.
bool MediaPath(Reader &r, const json &value, const std::string &at, const std::string &where, char *field,
               const std::string &alsoIn = std::string()) {
  if (!value.is_string() || value.get<std::string>().empty()) return r.Fail(at, where, "expected a file name");
  const std::string name = value.get<std::string>();
  std::vector<std::string> places = {IsAbsolutePath(name) ? name : r.folder + name};
  if (!IsAbsolutePath(name) && !alsoIn.empty() && JoinFolder(alsoIn, name) != places[0])
    places.push_back(JoinFolder(alsoIn, name));
  for (const std::string &path : places) {
    std::string converted;
    if (!Utf8ToCp932(path, &converted))
      return r.Fail(at, where, "the file name \"" + name + "\" has characters CP932 cannot hold");
    if (!FileExists(converted)) continue;
    if (converted.size() >= PATH_SIZE) return r.Fail(at, where, "the path \"" + path + "\" is longer than 259 bytes");
    memset(field, 0, PATH_SIZE);
    memcpy(field, converted.data(), converted.size());
    return true;
  }
  if (places.size() == 2) return r.Fail(at, where, "file not found: " + places[0] + " (nor " + places[1] + ")");
  return r.Fail(at, where, "file not found: " + places[0]);
}

bool Integer(Reader &r, const json &object, const char *key, const std::string &at, const std::string &where,
             long long low, long long high, long long fallback, long long *out) {
  auto it = object.find(key);
  if (it == object.end()) {
    *out = fallback;
    return true;
  }
  const std::string here = at + "/" + key;
  if (it->is_boolean()) {
    *out = it->get<bool>() ? 1 : 0;
  } else if (it->is_number_integer()) {
    *out = it->get<long long>();
  } else {
    return r.Fail(here, where, Quoted(key) + " must be an integer");
  }
  if (*out < low || *out > high)
    return r.Fail(here, where,
                  Quoted(key) + " must be between " + std::to_string(low) + " and " + std::to_string(high));
  return true;
}

bool Fractions(Reader &r, const json &object, const char *key, const std::string &at, const std::string &where,
               size_t count, double *out) {
  auto it = object.find(key);
  const std::string here = at + "/" + key;
  if (it == object.end() || !it->is_array() || it->size() != count)
    return r.Fail(here, where, Quoted(key) + " must be a list of " + std::to_string(count) + " numbers");
  for (size_t i = 0; i < count; ++i) {
    const json &v = (*it)[i];
    const std::string item = here + "/" + std::to_string(i);
    if (!v.is_number()) return r.Fail(item, where, Quoted(key) + " must hold numbers");
    out[i] = v.get<double>();
    if (!std::isfinite(out[i]) || out[i] < -10 || out[i] > 10)
      return r.Fail(item, where, Quoted(key) + " values must be fractions of the page (-10 to 10)");
  }
  return true;
}

// "#rrggbb" or [r, g, b] as a Windows colour value.
bool Colour(Reader &r, const json &object, const char *key, const std::string &at, const std::string &where,
            uint32_t fallback, uint32_t *out) {
  auto it = object.find(key);
  *out = fallback;
  if (it == object.end()) return true;
  const std::string here = at + "/" + key;
  unsigned red, green, blue;
  if (it->is_string()) {
    std::string s = it->get<std::string>();
    char tail;
    if (s.size() != 7 || sscanf(s.c_str(), "#%2x%2x%2x%c", &red, &green, &blue, &tail) != 3)
      return r.Fail(here, where, Quoted(key) + " must be \"#rrggbb\" or [r, g, b]");
  } else if (it->is_array() && it->size() == 3 && (*it)[0].is_number_integer() && (*it)[1].is_number_integer() &&
             (*it)[2].is_number_integer()) {
    long long c[3];
    for (int i = 0; i < 3; ++i) {
      c[i] = (*it)[i].get<long long>();
      if (c[i] < 0 || c[i] > 255) return r.Fail(here, where, Quoted(key) + " components must be 0 to 255");
    }
    red = unsigned(c[0]), green = unsigned(c[1]), blue = unsigned(c[2]);
  } else {
    return r.Fail(here, where, Quoted(key) + " must be \"#rrggbb\" or [r, g, b]");
  }
  *out = red | green << 8 | blue << 16;
  return true;
}

bool Text(Reader &r, const json &object, const char *key, const std::string &at, const std::string &where,
          size_t limit, std::string *out) {
  auto it = object.find(key);
  out->clear();
  if (it == object.end()) return true;
  const std::string here = at + "/" + key;
  if (!it->is_string()) return r.Fail(here, where, Quoted(key) + " must be a string");
  if (!Utf8ToCp932(it->get<std::string>(), out))
    return r.Fail(here, where,
                  Quoted(key) + " has a character that CP932 cannot hold: \"" + it->get<std::string>() + "\"");
  if (out->size() > limit)
    return r.Fail(here, where, Quoted(key) + " is longer than " + std::to_string(limit) + " bytes in CP932");
  return true;
}

bool ReadPicture(Reader &r, const json &item, const std::string &at, const std::string &where,
                 PictureRecord *picture) {
  if (!item.is_object()) return r.Fail(at, where, "expected an object");
  long long orientation, shadow;
  if (!MediaPath(r, item.contains("file") ? item["file"] : json(), at + "/file", where, picture->path)) return false;
  if (!Fractions(r, item, "place", at, where, 4, picture->placement)) return false;
  if (!Integer(r, item, "orientation", at, where, 0, 11, ORIENTATION_FROM_PICTURE, &orientation)) return false;
  if (!Integer(r, item, "shadow", at, where, 0, 1, 0, &shadow)) return false;
  picture->orientation = int32_t(orientation);
  picture->shadow = int32_t(shadow);
  return true;
}

bool ReadText(Reader &r, const json &item, const std::string &at, const std::string &where, TextRecord *record,
              char **buffer) {
  if (!item.is_object()) return r.Fail(at, where, "expected an object");
  std::string text;
  if (!item.contains("text")) return r.Fail(at, where, "\"text\" is missing");
  if (!Text(r, item, "text", at, where, 100000, &text)) return false;
  if (!Fractions(r, item, "at", at, where, 2, record->anchor)) return false;
  record->extent[0] = record->anchor[0];
  record->extent[1] = record->anchor[1];
  uint32_t colour;
  long long fade;
  if (!Colour(r, item, "colour", at, where, 0xFFFFFF, &colour)) return false;
  if (!Integer(r, item, "fade", at, where, 0, 1000, 0, &fade)) return false;
  record->colour = int32_t(colour);
  record->fadeSteps = int32_t(fade);
  json font = item.contains("font") ? item["font"] : json::object();
  const std::string fontAt = at + "/font", fontWhere = where + " font";
  if (!font.is_object()) return r.Fail(fontAt, where, "\"font\" must be an object");
  std::string face;
  long long height, weight, italic, vertical;
  if (!Text(r, font, "face", fontAt, fontWhere, 30, &face)) return false;
  if (!Integer(r, font, "height", fontAt, fontWhere, 1, 1000, 24, &height)) return false;
  if (!Integer(r, font, "weight", fontAt, fontWhere, 0, 1000, 400, &weight)) return false;
  if (!Integer(r, font, "italic", fontAt, fontWhere, 0, 1, 0, &italic)) return false;
  if (!Integer(r, font, "vertical", fontAt, fontWhere, 0, 1, 0, &vertical)) return false;
  if (vertical && (face.empty() || face[0] != '@')) face = "@" + face;
  if (face.size() > 31) return r.Fail(fontAt + "/face", fontWhere, "the font face is longer than 31 bytes");
  record->font.lfHeight = LONG(height);
  record->font.lfWeight = LONG(weight);
  record->font.lfItalic = BYTE(italic);
  record->font.lfCharSet = 128;  // SHIFTJIS_CHARSET
  memcpy(record->font.lfFaceName, face.data(), face.size());
  record->length = int32_t(text.size());
  *buffer = static_cast<char *>(MemAlloc(text.size() + 1));
  if (!*buffer) return r.Fail(at, where, "out of memory");
  memcpy(*buffer, text.data(), text.size());
  return true;
}

// The plug-in's file name without folder and extension: which effect it is.
std::string EffectName(const std::string &plugin) {
  size_t slash = plugin.find_last_of("/\\");
  std::string name = slash == std::string::npos ? plugin : plugin.substr(slash + 1);
  size_t dot = name.find_last_of('.');
  return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

// A transition: the plug-in (beside the manifest, then in the plug-in
// folder), then wait and words. One of the six effects starts from its own
// defaults and accepts only what its dialog could store; another plug-in
// starts from zeros.
bool ReadTransition(Reader &r, const json &item, const std::string &at, const std::string &where, Page *page,
                    Manifest *manifest) {
  if (!item.is_object()) return r.Fail(at, where, "\"transition\" must be an object");
  char path[PATH_SIZE];
  const json plugin = item.contains("plugin") ? item["plugin"] : json();
  if (!MediaPath(r, plugin, at + "/plugin", where, path, r.pluginFolder)) return false;
  int32_t id = FileChecksum(path);
  if (id == 0) return r.Fail(at + "/plugin", where, std::string("the plug-in ") + path + " is empty or has the checksum 0");
  const EffectDefaults *effect = FindEffect(EffectName(plugin.get<std::string>()).c_str());
  int32_t wait = 0, words[EFFECT_WORD_COUNT] = {};
  if (effect) ApplyEffectDefaults(EffectKind(effect - EFFECT_TABLE), &wait, words);
  long long given;
  if (!Integer(r, item, "wait", at, where, INT32_MIN, INT32_MAX, wait, &given)) return false;
  wait = int32_t(given);
  auto params = item.find("params");
  size_t count = 0;
  if (params != item.end()) {
    if (!params->is_array() || params->size() > TRANSITION_PARAMS_SIZE / 4)
      return r.Fail(at + "/params", where, "\"params\" must be a list of at most 20 integers");
    count = params->size();
    for (size_t k = 0; k < count; ++k) {
      const json &v = (*params)[k];
      if (!v.is_number_integer() || v.get<long long>() < INT32_MIN || v.get<long long>() > INT32_MAX)
        return r.Fail(at + "/params/" + std::to_string(k), where, "\"params\" must hold 32-bit integers");
      words[k] = int32_t(v.get<long long>());
    }
  }
  char message[256];
  int bad;
  if (effect && !CheckEffectValues(effect, wait, words, &bad, message, sizeof message)) {
    std::string here = bad < 0 ? at + "/wait" : size_t(bad) < count ? at + "/params/" + std::to_string(bad) : at;
    return r.Fail(here, where, message);
  }
  page->transitionId = id;
  page->transitionWait = wait;
  for (int k = 0; k < EFFECT_WORD_COUNT; ++k) PutInt32(page->transitionParams + 4 * k, words[k]);
  bool known = false;
  for (const std::string &file : manifest->pluginFiles) known = known || file == path;
  if (!known) manifest->pluginFiles.push_back(path);
  return true;
}

bool ReadPage(Reader &r, const json &item, int index, Page *page, Manifest *manifest) {
  const std::string where = "page " + std::to_string(index + 1);
  const std::string at = "/pages/" + std::to_string(index);
  if (!item.is_object()) return r.Fail(at, where, "expected an object");
  long long time, flag;
  uint32_t colour;
  if (!Integer(r, item, "time", at, where, 1, 0x7FFFFFFF, 10000, &time)) return false;
  if (!Integer(r, item, "backgroundFlag", at, where, 0, 1, 1, &flag)) return false;
  if (!Colour(r, item, "background", at, where, 0, &colour)) return false;
  page->displayTime = int32_t(time);
  page->backgroundFlag = int32_t(flag);
  page->backgroundColour = colour;
  if (item.contains("transition") &&
      !ReadTransition(r, item["transition"], at + "/transition", where + " transition", page, manifest))
    return false;

  const json empty = json::array();
  const json &pictures = item.contains("pictures") ? item["pictures"] : empty;
  const json &texts = item.contains("texts") ? item["texts"] : empty;
  const json &sounds = item.contains("sounds") ? item["sounds"] : empty;
  if (!pictures.is_array() || !texts.is_array() || !sounds.is_array())
    return r.Fail(at, where, "\"pictures\", \"texts\" and \"sounds\" must be lists");
  if (pictures.size() > 10000 || texts.size() > 10000 || sounds.size() > 10000)
    return r.Fail(at, where, "too many items on one page");
  int32_t nPictures = int32_t(pictures.size()), nTexts = int32_t(texts.size()), nSounds = int32_t(sounds.size());
  page->pictures = static_cast<PictureRecord *>(MemRealloc(page->pictures, size_t(nPictures) * sizeof(PictureRecord)));
  page->texts = static_cast<TextRecord *>(MemRealloc(page->texts, size_t(nTexts) * sizeof(TextRecord)));
  page->textBuffers = static_cast<char **>(MemRealloc(page->textBuffers, size_t(nTexts) * sizeof(char *)));
  page->sounds = static_cast<SoundRecord *>(MemRealloc(page->sounds, size_t(nSounds) * sizeof(SoundRecord)));
  if (!page->pictures || !page->texts || !page->textBuffers || !page->sounds) return r.Fail(at, where, "out of memory");
  page->pictureCount = nPictures;
  page->textCount = nTexts;
  page->soundCount = nSounds;
  for (int32_t j = 0; j < nPictures; ++j)
    if (!ReadPicture(r, pictures[size_t(j)], at + "/pictures/" + std::to_string(j),
                     where + " picture " + std::to_string(j + 1), &page->pictures[j]))
      return false;
  for (int32_t k = 0; k < nTexts; ++k)
    if (!ReadText(r, texts[size_t(k)], at + "/texts/" + std::to_string(k), where + " text " + std::to_string(k + 1),
                  &page->texts[k], &page->textBuffers[k]))
      return false;
  for (int32_t j = 0; j < nSounds; ++j)
    if (!MediaPath(r, sounds[size_t(j)], at + "/sounds/" + std::to_string(j), where + " sound " + std::to_string(j + 1),
                   page->sounds[j].path))
      return false;
  return true;
}
}  // namespace

void StartManifest(Manifest *manifest) {
  memset(&manifest->show, 0, sizeof manifest->show);
  manifest->show.pages.pages = static_cast<Page *>(MemAlloc(0));
  manifest->jpegQuality = 100;
  manifest->pluginFiles.clear();
  manifest->tempFiles.clear();
}

int ReadManifest(const std::string &path, const std::string &pluginFolder, Manifest *manifest, std::string *error) {
  StartManifest(manifest);
  Reader r;
  r.path = path;
  r.error = error;
  r.pluginFolder = pluginFolder;
  r.folder = FolderOf(path);
  FILE *file = fopen(path.c_str(), "rb");
  if (!file) {
    *error = path + ": file not found";
    return 0;
  }
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, file)) > 0) r.text.append(buffer, n);
  fclose(file);

  json root = json::parse(r.text, nullptr, false);
  if (root.is_discarded()) {
    ErrorPosition sax;
    json::sax_parse(r.text, &sax);
    // The library's message reads "[json...] parse error at line L, column C: what"; keep the what.
    size_t colon = sax.message.find(": ");
    std::string what = colon == std::string::npos ? sax.message : sax.message.substr(colon + 2);
    *error = path + ", " + LineAndColumn(r.text, sax.position ? sax.position - 1 : 0) + ": bad JSON: " + what;
    return 0;
  }
  if (!root.is_object()) return r.Fail("", "show", "the manifest must be a JSON object"), 0;

  ShowDocument &show = manifest->show;
  long long quality, grid;
  if (!Integer(r, root, "quality", "", "show", 1, 100, 100, &quality)) return 0;
  if (!Integer(r, root, "grid", "", "show", 0, 64, 0, &grid)) return 0;
  if (grid != 0 && grid != 2 && grid != 4 && grid != 8 && grid != 16 && grid != 32 && grid != 64)
    return r.Fail("/grid", "show", "\"grid\" must be 0, 2, 4, 8, 16, 32 or 64"), 0;
  manifest->jpegQuality = int(quality);
  show.editorSettings[0] = static_cast<unsigned char>(grid);
  if (root.contains("screen")) {
    // The screen size the places were laid out for: the show's page size.
    const json &screen = root["screen"];
    if (!screen.is_array() || screen.size() != 2 || !screen[0].is_number_integer() || !screen[1].is_number_integer() ||
        screen[0].get<long long>() < 16 || screen[0].get<long long>() > 32767 || screen[1].get<long long>() < 16 ||
        screen[1].get<long long>() > 32767)
      return r.Fail("/screen", "show", "\"screen\" must be [width, height] in pixels, each 16 to 32767"), 0;
    SetShowPageSize(show.editorSettings, int32_t(screen[0].get<long long>()), int32_t(screen[1].get<long long>()));
  }
  std::string value;
  if (!Text(r, root, "password", "", "show", PASSWORD_BUFFER_SIZE - 1, &value)) return 0;
  memcpy(show.password, value.data(), value.size());
  if (root.contains("link")) {
    const json &link = root["link"];
    if (!link.is_object()) return r.Fail("/link", "show", "\"link\" must be an object"), 0;
    if (!Text(r, link, "address", "/link", "link", LINK_FIELD_SIZE - 1, &value)) return 0;
    memcpy(show.linkAddress, value.data(), value.size());
    if (!Text(r, link, "caption", "/link", "link", LINK_FIELD_SIZE - 1, &value)) return 0;
    memcpy(show.linkCaption, value.data(), value.size());
  }
  if (root.contains("music")) {
    const json &music = root["music"];
    if (!music.is_array()) return r.Fail("/music", "show", "\"music\" must be a list of files"), 0;
    if (music.size() > size_t(BGM_SLOT_COUNT))
      return r.Fail("/music/20", "show", "too many music files: at most 20 can be registered"), 0;
    for (size_t k = 0; k < music.size(); ++k)
      if (!MediaPath(r, music[k], "/music/" + std::to_string(k), "music " + std::to_string(k + 1),
                     show.bgmPaths.paths[k]))
        return 0;
  }
  if (!root.contains("pages") || !root["pages"].is_array() || root["pages"].empty())
    return r.Fail("/pages", "show", "\"pages\" must be a list of at least one page"), 0;
  const json &pages = root["pages"];
  if (pages.size() > 100000) return r.Fail("/pages", "show", "too many pages"), 0;
  if (!EnsurePages(&show.pages, int32_t(pages.size()), 0)) return r.Fail("/pages", "show", "out of memory"), 0;
  for (size_t i = 0; i < pages.size(); ++i)
    if (!ReadPage(r, pages[i], int(i), &show.pages.pages[i], manifest)) return 0;
  return 1;
}

void FreeManifest(Manifest *manifest) {
  DropAllPages(&manifest->show.pages, nullptr);
  MemFreePtr(manifest->show.pages.pages);
  for (const std::string &file : manifest->tempFiles) remove(file.c_str());
  manifest->tempFiles.clear();
}
