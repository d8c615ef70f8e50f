// The music pane under the canvas: the show's music in playing
// order with each track's length, the total against the show's length, and
// add, remove, reorder (a drag in the list, the buttons, or Alt+Up/Down),
// play and stop. Every change goes through the undo history.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "editor/document_files.h"
#include "editor/editor_state.h"
#include "editor/editor_views.h"
#include "editor/picture_adding.h"
#include "editor/show_settings.h"
#include "editor/sound_commands.h"
#include "editor/sound_files.h"
#include "editor/wide_messages.h"
#include "resources/editor_ids.h"

namespace {
UINT dragListMessage;
int naturalHeight;  // of the pane as its template makes it
int dragFrom = -1;

HWND List() { return GetDlgItem(Editor.musicPane, IDC_MUSIC_LIST); }
int Selected() { return int(SendMessageW(List(), LB_GETCURSEL, 0, 0)); }

void MoveTrack(int from, int to) {
  int count = MusicCount(&Show.bgmPaths);
  if (from == to || from < 0 || to < 0 || from >= count || to >= count || !BeginChange()) return;
  MoveMusic(&Show.bgmPaths, from, to);
  EndChange(CHANGE_PAGE);
  SendMessageW(List(), LB_SETCURSEL, WPARAM(to), 0);
}

void Fill(HWND pane) {
  HWND list = GetDlgItem(pane, IDC_MUSIC_LIST);
  int selected = int(SendMessageW(list, LB_GETCURSEL, 0, 0));
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  int64_t total = 0;
  int count = MusicCount(&Show.bgmPaths);
  for (int k = 0; k < count; ++k) {
    const char *path = Show.bgmPaths.paths[k];
    int32_t length = SoundLength(path);
    total += length;
    std::wstring name = std::to_wstring(k + 1) + L". " + FileNameOf(WidePath(path)) + L"  (" + SecondsText(length) + L" 秒)";
    if (GetFileAttributesW(WidePath(path).c_str()) == INVALID_FILE_ATTRIBUTES) name += L"  !";
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
  }
  if (selected >= count) selected = count - 1;
  SendMessageW(list, LB_SETCURSEL, WPARAM(selected), 0);
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
  std::wstring text = LoadWide(IDS_MUSIC_TOTAL);
  size_t at = text.find(L"%s");
  if (at != std::wstring::npos) text.replace(at, 2, SecondsText(int32_t(total > INT32_MAX ? INT32_MAX : total)));
  at = text.find(L"%d");
  if (at != std::wstring::npos) text.replace(at, 2, SecondsText(ShowPlayLength()));
  SetDlgItemTextW(pane, IDC_MUSIC_TOTAL, text.c_str());
}

// The list and the group take the pane's width; the buttons keep to its right.
void Arrange(HWND pane, int width) {
  RECT unit = {0, 0, 4, 8};
  MapDialogRect(pane, &unit);  // 4 x 8 dialog units in pixels
  auto dlu = [&](int x) { return MulDiv(x, unit.right, 4); };
  auto place = [&](int id, RECT *r) {
    GetWindowRect(GetDlgItem(pane, id), r);
    MapWindowPoints(nullptr, pane, reinterpret_cast<POINT *>(r), 2);
  };
  RECT r;
  int buttonsLeft = width - dlu(4 + 6 + 46 + 4 + 46);
  static const int buttons[6][2] = {{IDC_MUSIC_ADD, 0}, {IDC_MUSIC_REMOVE, 1}, {IDC_MUSIC_UP, 0},
                                    {IDC_MUSIC_DOWN, 1}, {IDC_MUSIC_PLAY, 0}, {IDC_MUSIC_STOP, 1}};
  for (const auto &b : buttons) {
    place(b[0], &r);
    SetWindowPos(GetDlgItem(pane, b[0]), nullptr, buttonsLeft + b[1] * dlu(50), r.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  place(IDC_MUSIC_LIST, &r);
  SetWindowPos(GetDlgItem(pane, IDC_MUSIC_LIST), nullptr, 0, 0, std::max<int>(dlu(40), buttonsLeft - dlu(6) - r.left),
               r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  // The total runs under the list and the buttons.
  place(IDC_MUSIC_TOTAL, &r);
  SetWindowPos(GetDlgItem(pane, IDC_MUSIC_TOTAL), nullptr, 0, 0, std::max<int>(dlu(100), width - r.left - dlu(10)),
               r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  place(IDC_MUSIC_GROUP, &r);
  SetWindowPos(GetDlgItem(pane, IDC_MUSIC_GROUP), nullptr, 0, 0, std::max<int>(dlu(100), width - r.left - dlu(4)),
               r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(pane, nullptr, TRUE);
}

INT_PTR Result(HWND pane, LRESULT value) {
  SetWindowLongPtrW(pane, DWLP_MSGRESULT, value);
  return TRUE;
}

INT_PTR CALLBACK PaneProc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == dragListMessage && dragListMessage) {
    auto *drag = reinterpret_cast<DRAGLISTINFO *>(lParam);
    int at = LBItemFromPt(drag->hWnd, drag->ptCursor, TRUE);
    switch (drag->uNotification) {
      case DL_BEGINDRAG:
        dragFrom = at;
        return Result(pane, at >= 0);
      case DL_DRAGGING:
        DrawInsert(pane, drag->hWnd, at);
        return Result(pane, at >= 0 ? DL_MOVECURSOR : DL_STOPCURSOR);
      case DL_DROPPED:
        DrawInsert(pane, drag->hWnd, -1);
        if (dragFrom >= 0 && at >= 0) MoveTrack(dragFrom, at);
        dragFrom = -1;
        return Result(pane, 0);
      case DL_CANCELDRAG:
        DrawInsert(pane, drag->hWnd, -1);
        dragFrom = -1;
        return Result(pane, 0);
    }
    return FALSE;
  }
  switch (message) {
    case WM_INITDIALOG:
      MakeDragList(GetDlgItem(pane, IDC_MUSIC_LIST));
      return FALSE;
    case WM_SIZE:
      Arrange(pane, LOWORD(lParam));
      return TRUE;
    case WM_COMMAND: {
      int id = LOWORD(wParam), at = Selected();
      if (HIWORD(wParam) != BN_CLICKED && id != IDC_MUSIC_LIST) return FALSE;
      switch (id) {
        case IDC_MUSIC_ADD: AddMusicCommand(Editor.window); return TRUE;
        case IDC_MUSIC_REMOVE:
          if (at >= 0 && BeginChange()) {
            if (PlayingSound() == Show.bgmPaths.paths[at]) StopSound();
            RemoveMusic(&Show.bgmPaths, at);
            EndChange(CHANGE_PAGE);
          }
          return TRUE;
        case IDC_MUSIC_UP: MoveMusicSelection(-1); return TRUE;
        case IDC_MUSIC_DOWN: MoveMusicSelection(1); return TRUE;
        case IDC_MUSIC_PLAY:
          if (at >= 0) PlaySoundFile(Show.bgmPaths.paths[at]);
          return TRUE;
        case IDC_MUSIC_STOP: StopSound(); return TRUE;
      }
      return FALSE;
    }
  }
  return FALSE;
}
}  // namespace

HWND CreateMusicPane(HWND parent) {
  dragListMessage = RegisterWindowMessageW(DRAGLISTMSGSTRING);
  HWND pane = CreateDialogParamW(Editor.instance, MAKEINTRESOURCEW(IDD_MUSIC_PANE), parent, PaneProc, 0);
  if (!pane) return nullptr;
  RECT r;
  GetWindowRect(pane, &r);
  naturalHeight = r.bottom - r.top;
  ShowWindow(pane, SW_SHOW);
  return pane;
}

int MusicPaneHeight() { return naturalHeight; }

void MusicPaneChanged() {
  if (Editor.musicPane) Fill(Editor.musicPane);
}

int MusicListHasFocus() { return Editor.musicPane && GetFocus() == List(); }

void MoveMusicSelection(int by) {
  int at = Selected();
  if (at >= 0 && at + by >= 0 && at + by < MusicCount(&Show.bgmPaths)) MoveTrack(at, at + by);
}
