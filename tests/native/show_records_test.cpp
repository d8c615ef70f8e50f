#include "show/show_records.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "show_bytes.h"

TEST(ShowRecords, LittleEndianScalars) {
  unsigned char b[8];
  PutInt32(b, -2);
  EXPECT_EQ(b[0], 0xFE);
  EXPECT_EQ(b[3], 0xFF);
  PutInt32(b, 0x01020304);
  EXPECT_EQ(b[0], 4);
  EXPECT_EQ(b[3], 1);
  EXPECT_EQ(GetInt32(b), 0x01020304);
  // 0.25 is 0x3FD0000000000000.
  PutDouble(b, 0.25);
  EXPECT_EQ(b[7], 0x3F);
  EXPECT_EQ(b[6], 0xD0);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(b[i], 0);
  EXPECT_EQ(GetDouble(b), 0.25);
}

TEST(ShowRecords, MagicDecidesTheVariant) {
  EXPECT_EQ(MagicVariant(reinterpret_cast<const unsigned char *>("VrmKtScrDat00")), SHOW_SAVER);
  EXPECT_EQ(MagicVariant(reinterpret_cast<const unsigned char *>("VrmKtTmpDat00")), SHOW_WORKING);
  EXPECT_EQ(MagicVariant(reinterpret_cast<const unsigned char *>("VrmKtScrDat01")), SHOW_UNKNOWN);
  EXPECT_EQ(MagicVariant(reinterpret_cast<const unsigned char *>("vrmktscrdat00")), SHOW_UNKNOWN);
}

TEST(ShowRecords, PictureRecordFieldsAtTheirOffsets) {
  Bytes b;
  PictureRecordBytes(b, 1234, "C:\\pic\\a.jpg", 0.125, 0.25, 0.5, 0.75, 3, 1);
  b.data[4] = 0xAA;    // carried bytes
  b.data[391] = 0xBB;
  PictureRecord r;
  DecodePictureRecord(b.data.data(), &r);
  EXPECT_EQ(r.size, 1234);
  EXPECT_EQ(r.placement[0], 0.125);
  EXPECT_EQ(r.placement[3], 0.75);
  EXPECT_STREQ(r.path, "C:\\pic\\a.jpg");
  EXPECT_EQ(r.orientation, 3);
  EXPECT_EQ(r.shadow, 1);
  unsigned char out[392];
  EncodePictureRecord(&r, out);
  EXPECT_EQ(0, memcmp(out, b.data.data(), 392));  // carried bytes kept
}

TEST(ShowRecords, TextRecordDropsTheBufferHandle) {
  Bytes b;
  TextRecordBytes(b, 5, 0x00FF8040, 8);
  b.data[116] = 0x5A;
  TextRecord r;
  DecodeTextRecord(b.data.data(), &r);
  EXPECT_EQ(r.length, 5);
  EXPECT_EQ(r.anchor[0], 0.25);
  EXPECT_EQ(r.anchor[1], 0.5);
  EXPECT_EQ(r.bufferField, 0u);
  EXPECT_EQ(r.font.lfHeight, 24);
  EXPECT_EQ(r.font.lfWeight, 700);
  EXPECT_EQ(r.colour, 0x00FF8040);
  EXPECT_EQ(r.fadeSteps, 8);
  unsigned char out[168];
  EncodeTextRecord(&r, out);
  EXPECT_EQ(GetInt32(out + 44), 0);
  b.SetInt(44, 0);
  EXPECT_EQ(0, memcmp(out, b.data.data(), 168));
}

TEST(ShowRecords, PageAndSoundRecords) {
  Bytes b;
  PageSpec p;
  p.pictures = 2;
  p.texts = 3;
  p.sounds = 1;
  p.colour = 0x00112233;
  p.transition = -77;
  p.wait = 9;
  p.pluginSize = 4096;
  p.time = 5000;
  p.flag = 0;
  PageRecordBytes(b, 4, p);
  PageRecord r;
  DecodePageRecord(b.data.data(), &r);
  EXPECT_EQ(r.pageIndex, 4);
  EXPECT_EQ(r.pictureCount, 2);
  EXPECT_EQ(r.textCount, 3);
  EXPECT_EQ(r.soundCount, 1);
  EXPECT_EQ(r.backgroundColour, 0x00112233);
  EXPECT_EQ(r.transitionId, -77);
  EXPECT_EQ(r.transitionWait, 9);
  EXPECT_EQ(r.transitionParams[0], 1);
  EXPECT_EQ(r.transitionParams[79], 80);
  EXPECT_EQ(r.pluginSize, 4096);
  EXPECT_EQ(r.displayTime, 5000);
  EXPECT_EQ(r.backgroundFlag, 0);
  unsigned char out[256];
  EncodePageRecord(&r, out);
  EXPECT_EQ(0, memcmp(out, b.data.data(), 256));

  Bytes s;
  SoundRecordBytes(s, 77, "voice.wav");
  SoundRecord sr;
  DecodeSoundRecord(s.data.data(), &sr);
  EXPECT_EQ(sr.size, 77);
  EXPECT_STREQ(sr.path, "voice.wav");
}

TEST(PasswordBlock, ReadsTheComplementsEveryFourthByteFromTheEnd) {
  Bytes b;
  Password(b, "abc");
  PasswordBlock block;
  memcpy(block.bytes, b.data.data(), 512);
  for (size_t i = 0; i < 512; ++i)
    if (i % 4) block.bytes[i] = uint8_t(i * 7);  // filler is ignored
  char text[128];
  InterleaveInvertRead(&block, text);
  EXPECT_STREQ(text, "abc");
}

TEST(PasswordBlock, WriteThenRead) {
  PasswordBlock block;
  InterleaveInvertWrite("Pass1", &block);
  EXPECT_EQ(block.bytes[508], uint8_t(~'P'));
  EXPECT_EQ(block.bytes[504], uint8_t(~'a'));
  EXPECT_EQ(block.bytes[492], uint8_t(~'1'));
  EXPECT_EQ(block.bytes[488], 0xFF);  // the terminator's complement
  EXPECT_EQ(block.bytes[0], 0xFF);    // character 127
  char text[128];
  InterleaveInvertRead(&block, text);
  EXPECT_STREQ(text, "Pass1");

  std::string longest(127, 'x');
  InterleaveInvertWrite(longest.c_str(), &block);
  InterleaveInvertRead(&block, text);
  EXPECT_EQ(std::string(text), longest);

  InterleaveInvertWrite("", &block);
  InterleaveInvertRead(&block, text);
  EXPECT_STREQ(text, "");
}

TEST(PasswordBlock, NoTerminatorStillEndsTheText) {
  PasswordBlock block;
  memset(block.bytes, 0, sizeof block.bytes);  // every character 0xFF
  char text[128];
  InterleaveInvertRead(&block, text);
  EXPECT_EQ(strlen(text), 127u);
}

TEST(SafeExtension, PlainShortWordsOnly) {
  char out[SAFE_EXTENSION_SIZE];
  SafeExtension("jpg", 260, "dat", out);
  EXPECT_STREQ(out, "jpg");
  SafeExtension("TMP", 260, "dat", out);
  EXPECT_STREQ(out, "TMP");
  SafeExtension("..\\..\\evil", 260, "dat", out);
  EXPECT_STREQ(out, "dat");
  SafeExtension("a/b", 260, "dat", out);
  EXPECT_STREQ(out, "dat");
  SafeExtension("", 260, "jpg", out);
  EXPECT_STREQ(out, "jpg");
  SafeExtension(nullptr, 260, "jpg", out);
  EXPECT_STREQ(out, "jpg");
  SafeExtension("\x95\x5c", 260, "dat", out);  // a double-byte character
  EXPECT_STREQ(out, "dat");
  SafeExtension(std::string(16, 'a').c_str(), 260, "dat", out);
  EXPECT_STREQ(out, "dat");
  SafeExtension(std::string(15, 'a').c_str(), 260, "dat", out);
  EXPECT_STREQ(out, std::string(15, 'a').c_str());
  char field[32];
  memset(field, 'w', sizeof field);  // no NUL inside the field
  SafeExtension(field, sizeof field, "dat", out);
  EXPECT_STREQ(out, "dat");
}

TEST(SafeExtension, MusicKindFromContents) {
  auto sniff = [](const std::string &s) {
    const char *r = SniffMusicExtension(reinterpret_cast<const unsigned char *>(s.data()), s.size());
    return std::string(r ? r : "-");
  };
  EXPECT_EQ(sniff(std::string("RIFF\x10\0\0\0WAVEfmt ", 16)), "wav");
  EXPECT_EQ(sniff("MThd\0\0\0\x06"), "mid");
  EXPECT_EQ(sniff("ID3\x03"), "mp3");
  EXPECT_EQ(sniff("hello"), "-");
  EXPECT_EQ(sniff(""), "-");
}
