// Sounds in the editor through the MCI string commands: lengths for the page
// list and the music pane, and one sound playing at a time.
#include "editor/sound_files.h"

#include <mmsystem.h>

#include <cstdlib>
#include <cstring>
#include <map>

#include "editor/document_files.h"
#include "show/show_records.h"

namespace {
// What plays, and what is asked for its length, have aliases of their own.
const wchar_t kAlias[] = L"vkeditorsound";
const wchar_t kLengthAlias[] = L"vkeditorlength";
std::string playing;
std::map<std::string, int32_t> lengths;

// Opens the file under alias; 0 when MCI cannot.
int OpenAlias(const std::string &cp932Path, const wchar_t *alias) {
  std::wstring path = WidePath(cp932Path);
  std::wstring command = L"open \"" + path + L"\" alias " + alias;
  if (mciSendStringW(command.c_str(), nullptr, 0, nullptr) == 0) return 1;
  // Files named by content, not extension: try the kinds the player plays.
  for (const wchar_t *type : {L"waveaudio", L"sequencer", L"mpegvideo"}) {
    command = L"open \"" + path + L"\" type " + type + L" alias " + alias;
    if (mciSendStringW(command.c_str(), nullptr, 0, nullptr) == 0) return 1;
  }
  return 0;
}

void CloseAlias(const wchar_t *alias) { mciSendStringW((std::wstring(L"close ") + alias).c_str(), nullptr, 0, nullptr); }

// A WAV file's length from its header, when MCI has no device to ask.
int32_t WaveLength(const std::wstring &path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 0;
  unsigned char head[4096];
  DWORD got = 0;
  ReadFile(file, head, sizeof head, &got, nullptr);
  CloseHandle(file);
  if (got < 12 || memcmp(head, "RIFF", 4) != 0 || memcmp(head + 8, "WAVE", 4) != 0) return 0;
  int32_t byteRate = 0;
  for (DWORD at = 12; at + 8 <= got;) {
    int32_t size = GetInt32(head + at + 4);
    if (size < 0) break;
    if (memcmp(head + at, "fmt ", 4) == 0 && at + 20 <= got) byteRate = GetInt32(head + at + 16);
    if (memcmp(head + at, "data", 4) == 0) return byteRate > 0 ? int32_t(int64_t(size) * 1000 / byteRate) : 0;
    at += 8 + DWORD(size) + (size & 1);
  }
  return 0;
}
}  // namespace

int IsSoundContent(const std::wstring &path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 0;
  unsigned char head[MUSIC_SNIFF_SIZE] = {};
  DWORD got = 0;
  ReadFile(file, head, sizeof head, &got, nullptr);
  CloseHandle(file);
  return SniffMusicExtension(head, got) != nullptr;
}

int32_t SoundLength(const std::string &cp932Path) {
  auto known = lengths.find(cp932Path);
  if (known != lengths.end()) return known->second;
  std::wstring path = WidePath(cp932Path);
  if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) return 0;
  int32_t length = WaveLength(path);
  if (!length && OpenAlias(cp932Path, kLengthAlias)) {
    wchar_t answer[64] = {};
    mciSendStringW((std::wstring(L"set ") + kLengthAlias + L" time format milliseconds").c_str(), nullptr, 0, nullptr);
    if (mciSendStringW((std::wstring(L"status ") + kLengthAlias + L" length").c_str(), answer, 64, nullptr) == 0)
      length = _wtoi(answer);
    CloseAlias(kLengthAlias);
  }
  lengths[cp932Path] = length;
  return length;
}

int PlaySoundFile(const std::string &cp932Path) {
  StopSound();
  if (!OpenAlias(cp932Path, kAlias)) return 0;
  if (mciSendStringW((std::wstring(L"play ") + kAlias).c_str(), nullptr, 0, nullptr) != 0) {
    CloseAlias(kAlias);
    return 0;
  }
  playing = cp932Path;
  return 1;
}

void StopSound() {
  if (playing.empty()) return;
  mciSendStringW((std::wstring(L"stop ") + kAlias).c_str(), nullptr, 0, nullptr);
  CloseAlias(kAlias);
  playing.clear();
}

const std::string &PlayingSound() { return playing; }

std::wstring SecondsText(int32_t milliseconds) {
  wchar_t text[32];
  if (milliseconds % 1000 == 0) wsprintfW(text, L"%d", milliseconds / 1000);
  else wsprintfW(text, L"%d.%d", milliseconds / 1000, (milliseconds % 1000) / 100);
  return text;
}
