// The records of a show file, in both variants: the header, the saver
// variant's prefix, music slots and password block, and the per-page records.
// Every integer in the file is a little-endian int32 and every real a
// little-endian IEEE double, whatever the host; the Decode/Encode functions
// convert between the file bytes and these structures field by field. Bytes
// the player does not use are carried as read. Reading the stream is
// show_stream.h; this file only knows single records.
#pragma once

#include <cstddef>
#include <cstdint>

#include "shell/base/path_ops.h"
#include "shell/base/win_types.h"

constexpr size_t MAGIC_SIZE = 13;
constexpr char SAVER_MAGIC[] = "VrmKtScrDat00";
constexpr char WORKING_MAGIC[] = "VrmKtTmpDat00";

constexpr size_t SHOW_HEADER_SIZE = 132;
constexpr size_t PAGE_RECORD_SIZE = 256;
constexpr size_t PICTURE_RECORD_SIZE = 392;
constexpr size_t TEXT_RECORD_SIZE = 168;
constexpr size_t SOUND_RECORD_SIZE = 320;
constexpr size_t PASSWORD_BLOCK_SIZE = 512;
constexpr size_t PASSWORD_BUFFER_SIZE = 128;  // at most 127 characters and a NUL
constexpr size_t EDITOR_SETTINGS_SIZE = 64;
constexpr size_t TRANSITION_PARAMS_SIZE = 80;
constexpr size_t LINK_FIELD_SIZE = 256;       // 255 bytes and a NUL
constexpr size_t BGM_EXTENSION_SIZE = 32;
constexpr int BGM_SLOT_COUNT = 20;

enum ShowVariant { SHOW_UNKNOWN = 0, SHOW_SAVER = 1, SHOW_WORKING = 2 };

struct ShowHeader {
  char magic[MAGIC_SIZE];
  unsigned char zero1[3];
  int32_t pageCount;
  unsigned char zero2[47];
  unsigned char editorSettings[EDITOR_SETTINGS_SIZE];  // byte 0: snap-grid spacing
  unsigned char zero3;
};

// The saver variant's prefix, as held in memory (the file stores the two
// texts with their lengths and without terminators).
struct SaverPrefix {
  int32_t extraSize;
  int32_t carriedA;
  char linkAddress[LINK_FIELD_SIZE];
  char linkCaption[LINK_FIELD_SIZE];
  int32_t carriedB;
};

// The fixed part of one music slot; the contents follow it in the stream.
struct BgmSlot {
  int32_t present;
  char extension[BGM_EXTENSION_SIZE];
  int32_t size;
};

// The in-memory background-music list; the working variant stores it whole.
struct BgmPathTable {
  char paths[BGM_SLOT_COUNT][PATH_SIZE];
};

struct PasswordBlock {
  unsigned char bytes[PASSWORD_BLOCK_SIZE];
};

struct PageRecord {
  int32_t pageIndex;
  int32_t previewSize;
  int32_t pictureCount;
  int32_t textCount;
  int32_t soundCount;
  int32_t backgroundColour;
  int32_t transitionId;
  int32_t transitionWait;
  unsigned char transitionParams[TRANSITION_PARAMS_SIZE];
  int32_t pluginSize;
  int32_t displayTime;
  int32_t backgroundFlag;
  unsigned char zero[132];
};

struct PictureRecord {
  int32_t size;
  unsigned char unused1[4];
  double placement[4];  // left, top, right, bottom as fractions of the page
  char path[PATH_SIZE];
  int32_t orientation;
  int32_t shadow;
  unsigned char unused2[84];
};

struct TextRecord {
  int32_t length;
  unsigned char unused1[4];
  double anchor[2];  // left, top
  double extent[2];  // right, bottom
  unsigned char unused2[4];
  // The file's 4-byte text-buffer field. The buffers themselves live in the
  // page's textBuffers array (a pointer does not fit in 4 bytes on 64-bit
  // builds); the field is 0 in memory and written as 0.
  uint32_t bufferField;
  LOGFONTA font;
  int32_t colour;
  int32_t fadeSteps;
  unsigned char unused3[52];
};

struct SoundRecord {
  int32_t size;
  char path[PATH_SIZE];
  unsigned char unused[56];
};

static_assert(sizeof(ShowHeader) == SHOW_HEADER_SIZE, "ShowHeader size");
static_assert(offsetof(ShowHeader, pageCount) == 16, "ShowHeader layout");
static_assert(offsetof(ShowHeader, editorSettings) == 67, "ShowHeader layout");
static_assert(offsetof(ShowHeader, zero3) == 131, "ShowHeader layout");
static_assert(sizeof(BgmPathTable) == 5200, "BgmPathTable size");
static_assert(sizeof(PasswordBlock) == PASSWORD_BLOCK_SIZE, "PasswordBlock size");
static_assert(sizeof(PageRecord) == PAGE_RECORD_SIZE, "PageRecord size");
static_assert(offsetof(PageRecord, previewSize) == 4 && offsetof(PageRecord, pictureCount) == 8 &&
                  offsetof(PageRecord, textCount) == 12 && offsetof(PageRecord, soundCount) == 16 &&
                  offsetof(PageRecord, backgroundColour) == 20 && offsetof(PageRecord, transitionId) == 24 &&
                  offsetof(PageRecord, transitionWait) == 28 && offsetof(PageRecord, transitionParams) == 32 &&
                  offsetof(PageRecord, pluginSize) == 112 && offsetof(PageRecord, displayTime) == 116 &&
                  offsetof(PageRecord, backgroundFlag) == 120 && offsetof(PageRecord, zero) == 124,
              "PageRecord layout");
static_assert(sizeof(PictureRecord) == PICTURE_RECORD_SIZE, "PictureRecord size");
static_assert(offsetof(PictureRecord, unused1) == 4 && offsetof(PictureRecord, placement) == 8 &&
                  offsetof(PictureRecord, path) == 40 && offsetof(PictureRecord, orientation) == 300 &&
                  offsetof(PictureRecord, shadow) == 304 && offsetof(PictureRecord, unused2) == 308,
              "PictureRecord layout");
static_assert(sizeof(TextRecord) == TEXT_RECORD_SIZE, "TextRecord size");
static_assert(offsetof(TextRecord, unused1) == 4 && offsetof(TextRecord, anchor) == 8 &&
                  offsetof(TextRecord, extent) == 24 && offsetof(TextRecord, unused2) == 40 &&
                  offsetof(TextRecord, bufferField) == 44 && offsetof(TextRecord, font) == 48 &&
                  offsetof(TextRecord, colour) == 108 && offsetof(TextRecord, fadeSteps) == 112 &&
                  offsetof(TextRecord, unused3) == 116,
              "TextRecord layout");
static_assert(sizeof(SoundRecord) == SOUND_RECORD_SIZE, "SoundRecord size");
static_assert(offsetof(SoundRecord, path) == 4 && offsetof(SoundRecord, unused) == 264, "SoundRecord layout");

// The page size a show was laid out for, in pixels: int32 values at bytes 1..4
// (width) and 5..8 (height) of the editor settings block, header bytes 68..75.
// 0 x 0 when not recorded (shows written before page sizes were kept); a
// negative or one-sided value also reads as not recorded.
constexpr size_t PAGE_SIZE_SETTINGS_OFFSET = 1;
void ShowPageSize(const unsigned char settings[EDITOR_SETTINGS_SIZE], int32_t *width, int32_t *height);
void SetShowPageSize(unsigned char settings[EDITOR_SETTINGS_SIZE], int32_t width, int32_t height);

// Little-endian scalars, whatever the host.
int32_t GetInt32(const unsigned char *p);
void PutInt32(unsigned char *p, int32_t value);
double GetDouble(const unsigned char *p);
void PutDouble(unsigned char *p, double value);

// The variant named by the first 13 bytes, SHOW_UNKNOWN when neither magic.
ShowVariant MagicVariant(const unsigned char *bytes);

void DecodeShowHeader(const unsigned char *in, ShowHeader *out);
void EncodeShowHeader(const ShowHeader *in, unsigned char *out);
void DecodePageRecord(const unsigned char *in, PageRecord *out);
void EncodePageRecord(const PageRecord *in, unsigned char *out);
void DecodePictureRecord(const unsigned char *in, PictureRecord *out);
void EncodePictureRecord(const PictureRecord *in, unsigned char *out);
// The text-buffer field is set to 0 on decoding and written as 0.
void DecodeTextRecord(const unsigned char *in, TextRecord *out);
void EncodeTextRecord(const TextRecord *in, unsigned char *out);
void DecodeSoundRecord(const unsigned char *in, SoundRecord *out);
void EncodeSoundRecord(const SoundRecord *in, unsigned char *out);

// The password transform. Reading: character k is the complement of the byte
// at 508 - 4k; the text ends at the first zero (password is a 128-byte
// buffer, always NUL-terminated). Writing: the complements of a zero-filled
// 128-byte copy of the password at those offsets, and a value of the runtime's
// pseudo-random generator at every offset not divisible by 4.
void InterleaveInvertRead(const PasswordBlock *block, char *password);
void InterleaveInvertWrite(const char *password, PasswordBlock *block);

// An extension taken from the stream that is safe in a file name: 1 to 15
// ASCII letters and digits. Anything else is replaced by fallback.
void SafeExtension(const char *extension, size_t fieldSize, const char *fallback, char *out);
constexpr size_t SAFE_EXTENSION_SIZE = 16;
// A music file's kind from its first bytes ("wav", "mid", "mp3", "wma"), or
// null. It looks at no more than MUSIC_SNIFF_SIZE bytes.
constexpr size_t MUSIC_SNIFF_SIZE = 12;
const char *SniffMusicExtension(const unsigned char *bytes, size_t size);
