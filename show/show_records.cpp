// Field-by-field conversion of the show records between file bytes and
// memory, the password transform and the file-name safety of extensions.
#include "show/show_records.h"

#include <cstdlib>
#include <cstring>

int32_t GetInt32(const unsigned char *p) {
  uint32_t v = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
  return int32_t(v);
}

void PutInt32(unsigned char *p, int32_t value) {
  uint32_t v = uint32_t(value);
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
  p[2] = uint8_t(v >> 16);
  p[3] = uint8_t(v >> 24);
}

double GetDouble(const unsigned char *p) {
  uint64_t v = 0;
  for (int i = 7; i >= 0; --i) v = v << 8 | p[i];
  double d;
  memcpy(&d, &v, sizeof d);
  return d;
}

void PutDouble(unsigned char *p, double value) {
  uint64_t v;
  memcpy(&v, &value, sizeof v);
  for (int i = 0; i < 8; ++i, v >>= 8) p[i] = uint8_t(v);
}

ShowVariant MagicVariant(const unsigned char *bytes) {
  if (memcmp(bytes, SAVER_MAGIC, MAGIC_SIZE) == 0) return SHOW_SAVER;
  if (memcmp(bytes, WORKING_MAGIC, MAGIC_SIZE) == 0) return SHOW_WORKING;
  return SHOW_UNKNOWN;
}

void DecodeShowHeader(const unsigned char *in, ShowHeader *out) {
  memcpy(out, in, SHOW_HEADER_SIZE);
  out->pageCount = GetInt32(in + 16);
}

void EncodeShowHeader(const ShowHeader *in, unsigned char *out) {
  memcpy(out, in, SHOW_HEADER_SIZE);
  PutInt32(out + 16, in->pageCount);
}

// The int32 fields of a page record, in file order, up to the parameter block
// and from the plug-in size on.
void DecodePageRecord(const unsigned char *in, PageRecord *out) {
  memcpy(out, in, PAGE_RECORD_SIZE);
  int32_t *head[] = {&out->pageIndex, &out->previewSize, &out->pictureCount, &out->textCount,
                     &out->soundCount, &out->backgroundColour, &out->transitionId, &out->transitionWait};
  for (int i = 0; i < 8; ++i) *head[i] = GetInt32(in + 4 * i);
  out->pluginSize = GetInt32(in + 112);
  out->displayTime = GetInt32(in + 116);
  out->backgroundFlag = GetInt32(in + 120);
}

void EncodePageRecord(const PageRecord *in, unsigned char *out) {
  memcpy(out, in, PAGE_RECORD_SIZE);
  const int32_t head[] = {in->pageIndex, in->previewSize, in->pictureCount, in->textCount,
                          in->soundCount, in->backgroundColour, in->transitionId, in->transitionWait};
  for (int i = 0; i < 8; ++i) PutInt32(out + 4 * i, head[i]);
  PutInt32(out + 112, in->pluginSize);
  PutInt32(out + 116, in->displayTime);
  PutInt32(out + 120, in->backgroundFlag);
}

void DecodePictureRecord(const unsigned char *in, PictureRecord *out) {
  memcpy(out, in, PICTURE_RECORD_SIZE);
  out->size = GetInt32(in);
  for (int i = 0; i < 4; ++i) out->placement[i] = GetDouble(in + 8 + 8 * i);
  out->path[PATH_SIZE - 1] = 0;
  out->orientation = GetInt32(in + 300);
  out->shadow = GetInt32(in + 304);
}

void EncodePictureRecord(const PictureRecord *in, unsigned char *out) {
  memcpy(out, in, PICTURE_RECORD_SIZE);
  PutInt32(out, in->size);
  for (int i = 0; i < 4; ++i) PutDouble(out + 8 + 8 * i, in->placement[i]);
  PutInt32(out + 300, in->orientation);
  PutInt32(out + 304, in->shadow);
}

static void DecodeFont(const unsigned char *in, LOGFONTA *font) {
  memcpy(font, in, sizeof *font);
  font->lfHeight = GetInt32(in);
  font->lfWidth = GetInt32(in + 4);
  font->lfEscapement = GetInt32(in + 8);
  font->lfOrientation = GetInt32(in + 12);
  font->lfWeight = GetInt32(in + 16);
}

static void EncodeFont(const LOGFONTA *font, unsigned char *out) {
  memcpy(out, font, sizeof *font);
  PutInt32(out, font->lfHeight);
  PutInt32(out + 4, font->lfWidth);
  PutInt32(out + 8, font->lfEscapement);
  PutInt32(out + 12, font->lfOrientation);
  PutInt32(out + 16, font->lfWeight);
}

void DecodeTextRecord(const unsigned char *in, TextRecord *out) {
  memcpy(out, in, TEXT_RECORD_SIZE);
  out->length = GetInt32(in);
  for (int i = 0; i < 2; ++i) out->anchor[i] = GetDouble(in + 8 + 8 * i);
  for (int i = 0; i < 2; ++i) out->extent[i] = GetDouble(in + 24 + 8 * i);
  out->bufferField = 0;
  DecodeFont(in + 48, &out->font);
  out->colour = GetInt32(in + 108);
  out->fadeSteps = GetInt32(in + 112);
}

void EncodeTextRecord(const TextRecord *in, unsigned char *out) {
  memcpy(out, in, TEXT_RECORD_SIZE);
  PutInt32(out, in->length);
  for (int i = 0; i < 2; ++i) PutDouble(out + 8 + 8 * i, in->anchor[i]);
  for (int i = 0; i < 2; ++i) PutDouble(out + 24 + 8 * i, in->extent[i]);
  PutInt32(out + 44, 0);
  EncodeFont(&in->font, out + 48);
  PutInt32(out + 108, in->colour);
  PutInt32(out + 112, in->fadeSteps);
}

void DecodeSoundRecord(const unsigned char *in, SoundRecord *out) {
  memcpy(out, in, SOUND_RECORD_SIZE);
  out->size = GetInt32(in);
  out->path[PATH_SIZE - 1] = 0;
}

void EncodeSoundRecord(const SoundRecord *in, unsigned char *out) {
  memcpy(out, in, SOUND_RECORD_SIZE);
  PutInt32(out, in->size);
}

void InterleaveInvertRead(const PasswordBlock *block, char *password) {
  memset(password, 0, PASSWORD_BUFFER_SIZE);
  for (size_t k = 0; k + 1 < PASSWORD_BUFFER_SIZE; ++k) {
    unsigned char c = static_cast<unsigned char>(~block->bytes[508 - 4 * k]);
    if (c == 0) break;
    password[k] = static_cast<char>(c);
  }
}

void InterleaveInvertWrite(const char *password, PasswordBlock *block) {
  unsigned char buffer[PASSWORD_BUFFER_SIZE] = {};
  size_t length = password ? strlen(password) : 0;
  if (length > PASSWORD_BUFFER_SIZE - 1) length = PASSWORD_BUFFER_SIZE - 1;
  if (length) memcpy(buffer, password, length);
  for (size_t offset = 0; offset < PASSWORD_BLOCK_SIZE; ++offset)
    if (offset % 4) block->bytes[offset] = static_cast<unsigned char>(rand());
  for (size_t k = 0; k < PASSWORD_BUFFER_SIZE; ++k) block->bytes[508 - 4 * k] = static_cast<unsigned char>(~buffer[k]);
}

void SafeExtension(const char *extension, size_t fieldSize, const char *fallback, char *out) {
  size_t length = 0;
  bool plain = extension != nullptr;
  while (plain && length < fieldSize && extension[length]) {
    char c = extension[length];
    plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    ++length;
  }
  plain = plain && length > 0 && length < fieldSize && length < SAFE_EXTENSION_SIZE;
  const char *source = plain ? extension : fallback;
  size_t n = plain ? length : strlen(fallback);
  if (n >= SAFE_EXTENSION_SIZE) n = SAFE_EXTENSION_SIZE - 1;
  memcpy(out, source, n);
  out[n] = 0;
}

const char *SniffMusicExtension(const unsigned char *bytes, size_t size) {
  if (size >= 12 && memcmp(bytes, "RIFF", 4) == 0 && memcmp(bytes + 8, "WAVE", 4) == 0) return "wav";
  if (size >= 12 && memcmp(bytes, "RIFF", 4) == 0 && memcmp(bytes + 8, "RMID", 4) == 0) return "rmi";
  if (size >= 4 && memcmp(bytes, "MThd", 4) == 0) return "mid";
  if (size >= 3 && memcmp(bytes, "ID3", 3) == 0) return "mp3";
  if (size >= 2 && bytes[0] == 0xFF && (bytes[1] & 0xE0) == 0xE0) return "mp3";
  static const unsigned char asf[] = {0x30, 0x26, 0xB2, 0x75};
  if (size >= 4 && memcmp(bytes, asf, 4) == 0) return "wma";
  return nullptr;
}

void ShowPageSize(const unsigned char settings[EDITOR_SETTINGS_SIZE], int32_t *width, int32_t *height) {
  int32_t w = GetInt32(settings + PAGE_SIZE_SETTINGS_OFFSET), h = GetInt32(settings + PAGE_SIZE_SETTINGS_OFFSET + 4);
  if (w <= 0 || h <= 0) w = h = 0;
  *width = w;
  *height = h;
}

void SetShowPageSize(unsigned char settings[EDITOR_SETTINGS_SIZE], int32_t width, int32_t height) {
  if (width <= 0 || height <= 0) width = height = 0;
  PutInt32(settings + PAGE_SIZE_SETTINGS_OFFSET, width);
  PutInt32(settings + PAGE_SIZE_SETTINGS_OFFSET + 4, height);
}
