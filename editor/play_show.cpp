// F5 and the transition preview.
#include "editor/play_show.h"

#include <algorithm>

#include "editor/document_files.h"
#include "editor/editor_plugins.h"
#include "editor/editor_state.h"
#include "editor/editor_views.h"
#include "editor/page_copy.h"
#include "editor/page_pictures.h"
#include "editor/picture_adding.h"
#include "player/page_compose.h"
#include "shell/base/mem_block.h"

void PlayFromCurrentPage(HWND window) {
  ShowDocument rotated = {};
  if (!CopyShow(&rotated, &Show)) return;
  int32_t first = Show.pages.selectedPage;
  if (first > 0 && first < rotated.pages.pageCount)
    std::rotate(rotated.pages.pages, rotated.pages.pages + first, rotated.pages.pages + rotated.pages.pageCount);
  static int serial = 0;
  std::wstring path = EditorTempFolder() + L"\\play" + std::to_wstring(++serial) + L".scr";
  int ok = WriteSaverFile(window, path, &rotated, true);
  FreeShowCopy(&rotated);
  if (!ok) return;
  std::wstring command = L"\"" + path + L"\" /s";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  std::wstring folder = EditorTempFolder();
  if (CreateProcessW(path.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                     &process)) {
    CloseHandle(process.hThread);
    // The editor keeps answering (and repainting) while the show plays.
    EnableWindow(window, FALSE);
    for (;;) {
      DWORD wait = MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, INFINITE, QS_ALLINPUT);
      if (wait == WAIT_OBJECT_0) break;
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
    }
    CloseHandle(process.hProcess);
    EnableWindow(window, TRUE);
    SetForegroundWindow(window);
  }
  DeleteFileW(path.c_str());
}

void PreviewTransition() {
  Page *page = CurrentShowPage();
  if (!page || !Editor.canvas) return;
  int32_t index = Show.pages.selectedPage;
  RECT rect;
  CanvasPageRect(&rect);
  int32_t w = rect.right - rect.left, h = rect.bottom - rect.top;
  if (w < 1 || h < 1) return;
  int32_t pageWidth, pageHeight;
  ShowPageSize(Show.editorSettings, &pageWidth, &pageHeight);
  void *next = DrawPagePicture(page, w, h, pageWidth, pageHeight);
  if (!next) return;
  HDC dc = GetDC(Editor.canvas);
  // The previous page as it was left on screen (the last page before the first).
  if (Show.pages.pageCount > 1) {
    Page *previous = &Show.pages.pages[index > 0 ? index - 1 : Show.pages.pageCount - 1];
    RenderPage(dc, previous, &rect, pageWidth, pageHeight, LoadPictureForDrawing);
  } else {
    HBRUSH black = CreateSolidBrush(0);
    FillRect(dc, &rect, black);
    DeleteObject(black);
  }
  PlayTransition(Editor.canvas, dc, page, &rect, next);
  ReleaseDC(Editor.canvas, dc);
  MemFree(&next);
  InvalidateRect(Editor.canvas, nullptr, FALSE);
}
