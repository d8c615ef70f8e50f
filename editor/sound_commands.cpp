// The voice and music commands: each one a change between BeginChange and
// EndChange over the show's sound records.
#include "editor/sound_commands.h"

#include "editor/editor_state.h"
#include "editor/editor_views.h"
#include "editor/picture_adding.h"
#include "editor/show_settings.h"
#include "editor/sound_files.h"
#include "editor/wide_messages.h"
#include "resources/editor_ids.h"

namespace {
// The path to store for a sound file; "" (and the reason shown) when it is
// no sound or cannot be stored.
std::string SoundToStore(HWND owner, const std::wstring &path, std::wstring *refused) {
  if (!IsSoundContent(path)) {
    *refused += FileNameOf(path) + L"\r\n";
    return std::string();
  }
  std::string stored = StorablePicturePath(path);
  if (stored.empty()) WideError(owner, FormatWide(IDS_PATH_REFUSED, path));
  return stored;
}

void TellRefused(HWND owner, const std::wstring &refused) {
  if (!refused.empty()) WideError(owner, refused + LoadWide(5011));
}
}  // namespace

void ChooseVoiceCommand(HWND owner) {
  std::vector<std::wstring> paths;
  if (!CurrentShowPage() || !AskForFiles(owner, 5150, IDS_FILTER_SOUNDS, false, &paths)) return;
  std::wstring refused;
  std::string stored = SoundToStore(owner, paths[0], &refused);
  TellRefused(owner, refused);
  if (stored.empty() || !BeginChange()) return;
  SetPageVoice(CurrentShowPage(), stored.c_str());
  EndChange(CHANGE_PAGE);
}

void PlayVoiceCommand() {
  Page *page = CurrentShowPage();
  if (page && PageVoice(page)) PlaySoundFile(PageVoice(page));
}

void RemoveVoiceCommand() {
  Page *page = CurrentShowPage();
  if (!page || !PageVoice(page) || !BeginChange()) return;
  if (PlayingSound() == PageVoice(page)) StopSound();
  RemovePageVoice(page);
  EndChange(CHANGE_PAGE);
}

void AddMusicCommand(HWND owner) {
  std::vector<std::wstring> paths;
  if (MusicCount(&Show.bgmPaths) >= BGM_SLOT_COUNT) {
    WideError(owner, LoadWide(5300));
    return;
  }
  if (AskForFiles(owner, 5150, IDS_FILTER_SOUNDS, true, &paths)) AddMusicFiles(owner, paths);
}

int AddMusicFiles(HWND owner, const std::vector<std::wstring> &paths) {
  std::wstring refused;
  std::vector<std::string> stored;
  for (const std::wstring &path : paths) {
    std::string one = SoundToStore(owner, path, &refused);
    if (!one.empty()) stored.push_back(one);
  }
  TellRefused(owner, refused);
  if (stored.empty()) return 0;
  bool full = MusicCount(&Show.bgmPaths) + int(stored.size()) > BGM_SLOT_COUNT;
  int added = 0;
  if (MusicCount(&Show.bgmPaths) < BGM_SLOT_COUNT && BeginChange()) {
    for (const std::string &one : stored)
      if (AddMusic(&Show.bgmPaths, one.c_str()) == 1) ++added;
    EndChange(CHANGE_PAGE);
  }
  if (full) WideError(owner, LoadWide(5300));
  return added;
}

std::wstring VoiceText(int32_t milliseconds) { return FormatWide(IDS_VOICE_TIME, SecondsText(milliseconds)); }

int32_t ShowPlayLength() {
  int64_t total = 0;
  for (int32_t i = 0; i < Show.pages.pageCount; ++i) {
    const Page &page = Show.pages.pages[i];
    total += PagePlayTime(page.displayTime, PageVoice(&page) ? SoundLength(PageVoice(&page)) : 0);
  }
  return total > INT32_MAX ? INT32_MAX : int32_t(total);
}
