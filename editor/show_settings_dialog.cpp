// The show's settings dialog; see show_settings_dialog.h. The dialog works on
// a copy of the settings and changes the show only on OK.
#include "editor/show_settings_dialog.h"

#include <cstring>
#include <set>
#include <string>

#include "editor/cp932_text.h"
#include "editor/document_files.h"
#include "editor/editor_state.h"
#include "editor/editor_views.h"
#include "editor/picture_adding.h"
#include "editor/show_settings.h"
#include "editor/text_dialog.h"
#include "editor/wide_messages.h"
#include "resources/editor_ids.h"
#include "show/show_records.h"

namespace {
constexpr int OWN_SIZE_ITEM = PAGE_SIZE_CHOICE_COUNT + 1;

struct SettingsDialog {
  bool passwordSet;     // the show will have a password
  std::string password; // a new one, set in this dialog (empty: unchanged)
  bool removed;         // the password is to be removed
};

uint64_t FileBytes(const std::wstring &path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return (uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool IsJpegFile(const std::wstring &path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  unsigned char head[3] = {};
  DWORD got = 0;
  ReadFile(file, head, 3, &got, nullptr);
  CloseHandle(file);
  return got == 3 && head[0] == 0xFF && head[1] == 0xD8 && head[2] == 0xFF;
}

// The saver file's size at the two qualities, estimated: the player, every
// sound as it is, a JPEG picture as it is (it goes in unchanged), any other
// picture by its pixels at what such a JPEG typically takes per pixel, and
// each transition's plug-in once.
void EstimateSaverSizes(uint64_t *best, uint64_t *smaller) {
  uint64_t fixed = FileBytes(Editor.programFolder + L"VORMKIT.scr"), pixels = 0;
  std::set<int32_t> transitions;
  for (int32_t i = 0; i < Show.pages.pageCount; ++i) {
    const Page &page = Show.pages.pages[i];
    for (int32_t k = 0; k < page.pictureCount; ++k) {
      std::wstring path = WidePath(page.pictures[k].path);
      PictureInfo info;
      std::wstring why;
      if (IsJpegFile(path)) fixed += FileBytes(path);
      else if (ReadPictureInfo(path, &info, &why)) pixels += uint64_t(info.width) * uint64_t(info.height);
    }
    for (int32_t k = 0; k < page.soundCount; ++k) fixed += FileBytes(WidePath(page.sounds[k].path));
    if (page.transitionId) transitions.insert(page.transitionId);
  }
  for (int k = 0; k < MusicCount(&Show.bgmPaths); ++k) fixed += FileBytes(WidePath(Show.bgmPaths.paths[k]));
  fixed += transitions.size() * 40 * 1024;
  *best = fixed + pixels * 11 / 10;    // about 1.1 bytes a pixel at quality 100
  *smaller = fixed + pixels * 35 / 100;  // about 0.35 at 90
}

std::wstring SizeText(uint64_t bytes) {
  wchar_t text[32];
  if (bytes >= 1024 * 1024) wsprintfW(text, L"%d.%d MB", int(bytes >> 20), int((bytes % (1 << 20)) * 10 >> 20));
  else wsprintfW(text, L"%d KB", int((bytes + 1023) / 1024));
  return text;
}

std::wstring SizeName(int32_t w, int32_t h) { return std::to_wstring(w) + L" × " + std::to_wstring(h); }

void ShowPasswordState(HWND dialog, const SettingsDialog *state) {
  SetDlgItemTextW(dialog, IDC_PASSWORD_STATE, LoadWide(state->passwordSet ? IDS_PASSWORD_ON : IDS_PASSWORD_OFF).c_str());
  EnableWindow(GetDlgItem(dialog, IDC_PASSWORD_REMOVE), state->passwordSet);
}

void SizeChosen(HWND dialog) {
  int item = int(SendDlgItemMessageW(dialog, IDC_PAGE_SIZE, CB_GETCURSEL, 0, 0));
  int32_t w = Editor.screenWidth, h = Editor.screenHeight;
  if (item >= 1 && item <= PAGE_SIZE_CHOICE_COUNT) w = PAGE_SIZE_CHOICES[item - 1].width, h = PAGE_SIZE_CHOICES[item - 1].height;
  bool own = item == OWN_SIZE_ITEM;
  if (!own) {
    SetDlgItemInt(dialog, IDC_PAGE_WIDTH, UINT(w), FALSE);
    SetDlgItemInt(dialog, IDC_PAGE_HEIGHT, UINT(h), FALSE);
  }
  EnableWindow(GetDlgItem(dialog, IDC_PAGE_WIDTH), own);
  EnableWindow(GetDlgItem(dialog, IDC_PAGE_HEIGHT), own);
}

void Init(HWND dialog, SettingsDialog *state) {
  SetDlgItemTextW(dialog, IDC_LINK_ADDRESS, WidePath(Show.linkAddress).c_str());
  SetDlgItemTextW(dialog, IDC_LINK_CAPTION, WidePath(Show.linkCaption).c_str());
  SendDlgItemMessageW(dialog, IDC_LINK_ADDRESS, EM_LIMITTEXT, LINK_FIELD_SIZE - 1, 0);
  SendDlgItemMessageW(dialog, IDC_LINK_CAPTION, EM_LIMITTEXT, LINK_FIELD_SIZE - 1, 0);
  SendDlgItemMessageW(dialog, IDC_PASSWORD, EM_LIMITTEXT, PASSWORD_BUFFER_SIZE - 1, 0);
  SendDlgItemMessageW(dialog, IDC_PASSWORD_CONFIRM, EM_LIMITTEXT, PASSWORD_BUFFER_SIZE - 1, 0);
  ShowPasswordState(dialog, state);

  HWND sizes = GetDlgItem(dialog, IDC_PAGE_SIZE);
  std::wstring monitor = FormatWide(IDS_SIZE_MONITOR, SizeName(Editor.screenWidth, Editor.screenHeight));
  SendMessageW(sizes, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(monitor.c_str()));
  for (const PageSizeChoice &c : PAGE_SIZE_CHOICES) {
    std::wstring ratio(c.ratio, c.ratio + strlen(c.ratio));
    std::wstring name = SizeName(c.width, c.height) + L" (" + ratio + L")";
    SendMessageW(sizes, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
  }
  SendMessageW(sizes, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(LoadWide(IDS_SIZE_OWN).c_str()));
  PageFrame frame = CurrentFrame();
  int item = OWN_SIZE_ITEM;
  for (int k = 0; k < PAGE_SIZE_CHOICE_COUNT; ++k)
    if (PAGE_SIZE_CHOICES[k].width == frame.width && PAGE_SIZE_CHOICES[k].height == frame.height) item = k + 1;
  if (item == OWN_SIZE_ITEM && frame.width == Editor.screenWidth && frame.height == Editor.screenHeight) item = 0;
  SendMessageW(sizes, CB_SETCURSEL, WPARAM(item), 0);
  SetDlgItemInt(dialog, IDC_PAGE_WIDTH, UINT(frame.width), FALSE);
  SetDlgItemInt(dialog, IDC_PAGE_HEIGHT, UINT(frame.height), FALSE);
  SizeChosen(dialog);

  HWND grid = GetDlgItem(dialog, IDC_GRID);
  for (int k = 0; k < GRID_SPACING_COUNT; ++k) {
    std::wstring name = k ? std::to_wstring(GRID_SPACINGS[k]) + L" ピクセル" : LoadWide(IDS_GRID_NONE);
    SendMessageW(grid, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    if (GRID_SPACINGS[k] == frame.grid) SendMessageW(grid, CB_SETCURSEL, WPARAM(k), 0);
  }

  uint64_t best, smaller;
  EstimateSaverSizes(&best, &smaller);
  SetDlgItemTextW(dialog, IDC_QUALITY_BEST, FormatWide(IDS_QUALITY_BEST, SizeText(best)).c_str());
  SetDlgItemTextW(dialog, IDC_QUALITY_SMALL, FormatWide(IDS_QUALITY_SMALL, SizeText(smaller)).c_str());
  bool small = ShowJpegQuality(Show.editorSettings) == SMALLER_JPEG_QUALITY;
  CheckRadioButton(dialog, IDC_QUALITY_BEST, IDC_QUALITY_SMALL, small ? IDC_QUALITY_SMALL : IDC_QUALITY_BEST);
}

// The two password entries: 1 when they set a password (or both are empty
// and nothing was asked); 0 with 5018, 5019 or the reason shown.
int TakePassword(HWND dialog, SettingsDialog *state, bool asked) {
  std::string entry, confirmation;
  if (!ShowTextOf(GetDlgItem(dialog, IDC_PASSWORD), &entry) ||
      !ShowTextOf(GetDlgItem(dialog, IDC_PASSWORD_CONFIRM), &confirmation))
    return 0;
  if (!asked && entry.empty() && confirmation.empty()) return 1;
  ShowDocument scratch = {};
  int result = SetShowPassword(&scratch, entry.c_str(), confirmation.c_str());
  if (result != 0) {
    WideError(dialog, result < 0 ? LoadWide(IDS_PASSWORD_TOO_LONG) : LoadWide(UINT(result)));
    SetDlgItemTextW(dialog, IDC_PASSWORD_CONFIRM, L"");
    SetFocus(GetDlgItem(dialog, result == 5018 ? IDC_PASSWORD_CONFIRM : IDC_PASSWORD));
    return 0;
  }
  state->password = entry;
  state->passwordSet = true;
  state->removed = false;
  SetDlgItemTextW(dialog, IDC_PASSWORD, L"");
  SetDlgItemTextW(dialog, IDC_PASSWORD_CONFIRM, L"");
  ShowPasswordState(dialog, state);
  return 1;
}

bool Accept(HWND dialog, SettingsDialog *state) {
  std::string address, caption;
  if (!ShowTextOf(GetDlgItem(dialog, IDC_LINK_ADDRESS), &address) ||
      !ShowTextOf(GetDlgItem(dialog, IDC_LINK_CAPTION), &caption))
    return false;
  ShowDocument link = {};
  if (!SetShowLink(&link, address.c_str(), caption.c_str())) {
    WideError(dialog, FormatWide(IDS_LINK_REFUSED, WidePath(address)));
    SetFocus(GetDlgItem(dialog, IDC_LINK_ADDRESS));
    return false;
  }
  if (!TakePassword(dialog, state, false)) return false;
  BOOL okW = FALSE, okH = FALSE;
  int32_t w = int32_t(GetDlgItemInt(dialog, IDC_PAGE_WIDTH, &okW, FALSE));
  int32_t h = int32_t(GetDlgItemInt(dialog, IDC_PAGE_HEIGHT, &okH, FALSE));
  if (!okW || !okH || w < MIN_PAGE_SIDE || h < MIN_PAGE_SIDE || w > MAX_PAGE_SIDE || h > MAX_PAGE_SIDE) {
    WideError(dialog, LoadWide(IDS_SIZE_REFUSED));
    SetFocus(GetDlgItem(dialog, IDC_PAGE_WIDTH));
    return false;
  }
  int grid = int(SendDlgItemMessageW(dialog, IDC_GRID, CB_GETCURSEL, 0, 0));
  bool small = IsDlgButtonChecked(dialog, IDC_QUALITY_SMALL) == BST_CHECKED;

  PageFrame frame = CurrentFrame();
  if (!BeginChange()) return false;
  SetShowLink(&Show, address.c_str(), caption.c_str());
  if (state->removed) RemoveShowPassword(&Show);
  if (!state->password.empty()) SetShowPassword(&Show, state->password.c_str(), state->password.c_str());
  if (w != frame.width || h != frame.height) ResizeShowPages(&Show, &frame, w, h);
  if (grid >= 0 && grid < GRID_SPACING_COUNT) SetGridSpacing(Show.editorSettings, GRID_SPACINGS[grid]);
  SetShowJpegQuality(Show.editorSettings, small ? SMALLER_JPEG_QUALITY : 100);
  EndChange(CHANGE_ALL);
  return true;
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto *state = reinterpret_cast<SettingsDialog *>(GetWindowLongPtrW(dialog, GWLP_USERDATA));
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrW(dialog, GWLP_USERDATA, lParam);
      Init(dialog, reinterpret_cast<SettingsDialog *>(lParam));
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_PAGE_SIZE:
          if (HIWORD(wParam) == CBN_SELCHANGE) SizeChosen(dialog);
          return TRUE;
        case IDC_PASSWORD_SET: TakePassword(dialog, state, true); return TRUE;
        case IDC_PASSWORD_REMOVE:
          if (state->passwordSet && WideConfirmNoDefault(dialog, LoadWide(5301))) {
            state->passwordSet = false;
            state->password.clear();
            state->removed = true;
            ShowPasswordState(dialog, state);
          }
          return TRUE;
        case IDOK:
          if (Accept(dialog, state)) EndDialog(dialog, IDOK);
          return TRUE;
        case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
      }
      return FALSE;
  }
  return FALSE;
}
}  // namespace

void RunShowSettings(HWND owner) {
  SettingsDialog state = {Show.password[0] != 0, std::string(), false};
  DialogBoxParamW(Editor.instance, MAKEINTRESOURCEW(IDD_SHOW_SETTINGS), owner, DialogProc,
                  reinterpret_cast<LPARAM>(&state));
}
