// The page list: each page's thumbnail (the page as it will play, drawn by
// the player's composition), its number and its display time. Click or the
// arrow keys choose the current page; a drag or Alt+Up/Down reorders; a
// folder dropped here adds one page per picture. Thumbnails are made by a
// worker thread from copies of the pages, so that a large show opens at
// once and its thumbnails arrive as they are made.
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <map>
#include <string>

#include "editor/editor_plugins.h"
#include "editor/editor_state.h"
#include "editor/editor_trace.h"
#include "editor/editor_views.h"
#include "editor/page_copy.h"
#include "editor/page_pictures.h"
#include "editor/picture_adding.h"
#include "editor/show_pages_edit.h"
#include "editor/show_settings.h"
#include "editor/sound_commands.h"
#include "editor/sound_files.h"
#include "editor/wide_messages.h"
#include "raster/dib.h"
#include "resources/editor_ids.h"
#include "shell/base/mem_block.h"

namespace {
const wchar_t kClass[] = L"VormkitEditorPageList";
const UINT WM_THUMBNAIL_READY = WM_APP + 1;

struct ThumbnailJob {
  uint64_t key;
  Page page;  // a copy, owned by the job
  int32_t width, height, pageWidth, pageHeight;
  void *picture;  // the result
};

struct ListState {
  int scroll;  // pixels
  std::map<uint64_t, void *> thumbnails;  // by page content and size
  std::map<uint64_t, bool> queued;
  // The worker's queue.
  CRITICAL_SECTION lock;
  std::deque<ThumbnailJob *> jobs;
  HANDLE wake, thread;
  volatile LONG stop;
  // Dragging a page.
  bool pressed, dragging;
  int dragFrom, dropAt;
  POINT pressAt;
} list;

void ThumbSize(int32_t *w, int32_t *h) {
  RECT client;
  GetClientRect(Editor.pageList, &client);
  PageFrame frame = CurrentFrame();
  *w = std::max<int32_t>(16, client.right - Scaled(36) - Scaled(8));
  *h = std::max<int32_t>(9, int32_t(int64_t(*w) * frame.height / frame.width));
}
int ItemHeight() {
  int32_t w, h;
  ThumbSize(&w, &h);
  return h + Scaled(26);
}

uint64_t Mix(uint64_t hash, const void *bytes, size_t size) {
  const unsigned char *p = static_cast<const unsigned char *>(bytes);
  for (size_t i = 0; i < size; ++i) hash = (hash ^ p[i]) * 1099511628211ull;
  return hash;
}

// What a thumbnail depends on: the page's records and texts, and its size.
uint64_t PageKey(const Page &page, int32_t w, int32_t h) {
  uint64_t hash = 1469598103934665603ull;
  int32_t fields[6] = {w, h, page.backgroundFlag, int32_t(page.backgroundColour), page.pictureCount, page.textCount};
  hash = Mix(hash, fields, sizeof fields);
  hash = Mix(hash, Show.editorSettings, EDITOR_SETTINGS_SIZE);
  hash = Mix(hash, page.pictures, size_t(page.pictureCount) * sizeof(PictureRecord));
  for (int32_t k = 0; k < page.textCount; ++k) {
    TextRecord t = page.texts[k];
    t.extent[0] = t.extent[1] = 0;
    hash = Mix(hash, &t, sizeof t);
    hash = Mix(hash, PageText(&page, k), strlen(PageText(&page, k)));
  }
  return hash;
}

DWORD WINAPI ThumbnailWorker(void *) {
  for (;;) {
    WaitForSingleObject(list.wake, INFINITE);
    for (;;) {
      if (list.stop) return 0;
      ThumbnailJob *job = nullptr;
      EnterCriticalSection(&list.lock);
      if (!list.jobs.empty()) {
        job = list.jobs.front();
        list.jobs.pop_front();
      }
      LeaveCriticalSection(&list.lock);
      if (!job) break;
      job->picture = DrawPagePicture(&job->page, job->width, job->height, job->pageWidth, job->pageHeight);
      FreePage(&job->page);
      if (list.stop || !PostMessageW(Editor.pageList, WM_THUMBNAIL_READY, 0, reinterpret_cast<LPARAM>(job))) {
        MemFree(&job->picture);
        delete job;
      }
    }
  }
}

void Enqueue(int32_t index, bool first) {
  int32_t w, h;
  ThumbSize(&w, &h);
  const Page &page = Show.pages.pages[index];
  uint64_t key = PageKey(page, w, h);
  if (list.thumbnails.count(key) || list.queued.count(key)) return;
  auto *job = new ThumbnailJob();
  if (!CopyPage(&job->page, &page)) {
    delete job;
    return;
  }
  job->key = key;
  job->width = w;
  job->height = h;
  PageFrame frame = CurrentFrame();
  job->pageWidth = frame.width;
  job->pageHeight = frame.height;
  list.queued[key] = true;
  EnterCriticalSection(&list.lock);
  if (first) list.jobs.push_front(job);
  else list.jobs.push_back(job);
  LeaveCriticalSection(&list.lock);
  SetEvent(list.wake);
}

int FirstVisible() { return list.scroll / std::max(1, ItemHeight()); }
int VisibleCount() {
  RECT client;
  GetClientRect(Editor.pageList, &client);
  return client.bottom / std::max(1, ItemHeight()) + 2;
}

void UpdateScrollBar() {
  RECT client;
  GetClientRect(Editor.pageList, &client);
  int total = Show.pages.pageCount * ItemHeight();
  list.scroll = std::max(0, std::min(list.scroll, total - int(client.bottom)));
  SCROLLINFO info = {sizeof info, SIF_ALL | SIF_DISABLENOSCROLL, 0, std::max(0, total - 1), UINT(client.bottom),
                     list.scroll, 0};
  SetScrollInfo(Editor.pageList, SB_VERT, &info, TRUE);
}

void ScrollIntoView(int index) {
  RECT client;
  GetClientRect(Editor.pageList, &client);
  int top = index * ItemHeight(), bottom = top + ItemHeight();
  if (top < list.scroll) list.scroll = top;
  else if (bottom > list.scroll + client.bottom) list.scroll = bottom - client.bottom;
  UpdateScrollBar();
}

// The thumbnails still missing: the visible ones first, then the rest in order.
void QueueMissing() {
  int first = FirstVisible(), count = VisibleCount();
  for (int i = std::min(Show.pages.pageCount, first + count) - 1; i >= first; --i) Enqueue(i, true);
  for (int i = 0; i < Show.pages.pageCount; ++i) Enqueue(i, false);
}

// Thumbnails of pages that no longer look that way are freed.
void Prune() {
  int32_t w, h;
  ThumbSize(&w, &h);
  std::map<uint64_t, bool> used;
  for (int32_t i = 0; i < Show.pages.pageCount; ++i) used[PageKey(Show.pages.pages[i], w, h)] = true;
  for (auto it = list.thumbnails.begin(); it != list.thumbnails.end();) {
    if (used.count(it->first)) {
      ++it;
    } else {
      MemFree(&it->second);
      it = list.thumbnails.erase(it);
    }
  }
}

void Paint(HWND window, HDC target) {
  RECT client;
  GetClientRect(window, &client);
  HDC dc = CreateCompatibleDC(target);
  HBITMAP bitmap = CreateCompatibleBitmap(target, std::max<LONG>(1, client.right), std::max<LONG>(1, client.bottom));
  HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
  FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
  HGDIOBJ oldFont = SelectObject(dc, Editor.uiFont);
  SetBkMode(dc, TRANSPARENT);
  int32_t w, h;
  ThumbSize(&w, &h);
  int itemHeight = ItemHeight();
  bool focused = GetFocus() == window;
  for (int i = FirstVisible(); i < Show.pages.pageCount && i < FirstVisible() + VisibleCount(); ++i) {
    const Page &page = Show.pages.pages[i];
    int top = i * itemHeight - list.scroll;
    RECT item = {0, top, client.right, top + itemHeight};
    bool current = i == Show.pages.selectedPage;
    if (current) FillRect(dc, &item, GetSysColorBrush(focused ? COLOR_HIGHLIGHT : COLOR_BTNFACE));
    SetTextColor(dc, GetSysColor(current && focused ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    wchar_t number[16];
    wsprintfW(number, L"%d", i + 1);
    RECT numberRect = {Scaled(4), top + Scaled(6), Scaled(32), top + Scaled(24)};
    DrawTextW(dc, number, -1, &numberRect, DT_RIGHT | DT_SINGLELINE);
    RECT thumb = {Scaled(36), top + Scaled(6), Scaled(36) + w, top + Scaled(6) + h};
    auto found = list.thumbnails.find(PageKey(page, w, h));
    if (found != list.thumbnails.end()) {
      DibDraw(dc, thumb.left, thumb.top, w, h, found->second, 0, 0);
    } else {
      FillRect(dc, &thumb, GetSysColorBrush(COLOR_BTNSHADOW));
    }
    FrameRect(dc, &thumb, GetSysColorBrush(COLOR_BTNSHADOW));
    wchar_t seconds[32];
    if (page.displayTime % 1000 == 0) wsprintfW(seconds, L"%d", page.displayTime / 1000);
    else wsprintfW(seconds, L"%d.%d", page.displayTime / 1000, (page.displayTime % 1000) / 100);
    std::wstring time = LoadWide(IDS_PAGE_TIME);
    size_t at = time.find(L"%d");
    if (at != std::wstring::npos) time.replace(at, 2, seconds);
    if (PageVoice(&page)) time += L" / " + VoiceText(SoundLength(PageVoice(&page)));
    if (page.transitionId && PluginIndexFor(page.transitionId) < 0) time += L"  !";
    RECT timeRect = {thumb.left, thumb.bottom + Scaled(2), thumb.right, thumb.bottom + Scaled(18)};
    DrawTextW(dc, time.c_str(), -1, &timeRect, DT_LEFT | DT_SINGLELINE);
  }
  if (list.dragging) {
    int y = list.dropAt * itemHeight - list.scroll;
    RECT line = {0, y - Scaled(2), client.right, y + Scaled(1)};
    FillRect(dc, &line, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  }
  BitBlt(target, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
  SelectObject(dc, oldFont);
  SelectObject(dc, oldBitmap);
  DeleteObject(bitmap);
  DeleteDC(dc);
}

int IndexAt(int y) { return (y + list.scroll) / std::max(1, ItemHeight()); }

void SelectPage(int index) {
  if (index < 0 || index >= Show.pages.pageCount) return;
  if (index != Show.pages.selectedPage) {
    Show.pages.selectedPage = index;
    Editor.selection = {ITEM_NONE, -1};
    DocumentChanged(CHANGE_SELECTION);
  }
  ScrollIntoView(index);
  InvalidateRect(Editor.pageList, nullptr, FALSE);
}

void DropFolders(HDROP drop) {
  UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  std::vector<std::wstring> folders, files;
  for (UINT k = 0; k < count; ++k) {
    wchar_t path[MAX_PATH * 4];
    if (!DragQueryFileW(drop, k, path, MAX_PATH * 4)) continue;
    DWORD attributes = GetFileAttributesW(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) folders.push_back(path);
    else files.push_back(path);
  }
  DragFinish(drop);
  if (folders.empty()) {
    if (!files.empty()) AddPictureFiles(files);
    return;
  }
  if (!BeginChange()) return;
  int32_t at = Show.pages.selectedPage + 1;
  std::vector<std::wstring> skipped;
  int added = 0;
  for (const std::wstring &folder : folders) added += AddFolderPages(&Show, at + added, folder, &skipped);
  if (!skipped.empty()) {
    std::wstring names;
    for (const std::wstring &n : skipped) names += n + L"\r\n";
    WideError(Editor.window, names + LoadWide(5021));
  }
  if (added) Show.pages.selectedPage = at;
  Editor.selection = {ITEM_NONE, -1};
  EndChange(CHANGE_PAGES);
}

LRESULT CALLBACK PageListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      DragAcceptFiles(window, TRUE);
      return 0;
    case WM_SIZE:
      UpdateScrollBar();
      QueueMissing();
      InvalidateRect(window, nullptr, FALSE);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(window, &ps);
      Paint(window, dc);
      EndPaint(window, &ps);
      return 0;
    }
    case WM_THUMBNAIL_READY: {
      auto *job = reinterpret_cast<ThumbnailJob *>(lParam);
      list.queued.erase(job->key);
      if (job->picture) {
        auto found = list.thumbnails.find(job->key);
        if (found != list.thumbnails.end()) MemFree(&found->second);
        list.thumbnails[job->key] = job->picture;
      }
      delete job;
      InvalidateRect(window, nullptr, FALSE);
      if (list.queued.empty()) TraceEvent("thumbnails", int(list.thumbnails.size()));
      return 0;
    }
    case WM_VSCROLL: {
      SCROLLINFO info = {};
      info.cbSize = sizeof info;
      info.fMask = SIF_ALL;
      GetScrollInfo(window, SB_VERT, &info);
      int line = Scaled(24);
      switch (LOWORD(wParam)) {
        case SB_LINEUP: list.scroll -= line; break;
        case SB_LINEDOWN: list.scroll += line; break;
        case SB_PAGEUP: list.scroll -= int(info.nPage); break;
        case SB_PAGEDOWN: list.scroll += int(info.nPage); break;
        case SB_THUMBTRACK: case SB_THUMBPOSITION: list.scroll = info.nTrackPos; break;
      }
      UpdateScrollBar();
      QueueMissing();
      InvalidateRect(window, nullptr, FALSE);
      return 0;
    }
    case WM_MOUSEWHEEL:
      list.scroll -= GET_WHEEL_DELTA_WPARAM(wParam) * ItemHeight() / WHEEL_DELTA;
      UpdateScrollBar();
      QueueMissing();
      InvalidateRect(window, nullptr, FALSE);
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      InvalidateRect(window, nullptr, FALSE);
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS;
    case WM_KEYDOWN: {
      int current = Show.pages.selectedPage;
      switch (wParam) {
        case VK_UP: SelectPage(current - 1); return 0;
        case VK_DOWN: SelectPage(current + 1); return 0;
        case VK_HOME: SelectPage(0); return 0;
        case VK_END: SelectPage(Show.pages.pageCount - 1); return 0;
        case VK_PRIOR: SelectPage(std::max(0, current - VisibleCount() + 2)); return 0;
        case VK_NEXT: SelectPage(std::min(Show.pages.pageCount - 1, current + VisibleCount() - 2)); return 0;
        case VK_INSERT: SendMessageW(Editor.window, WM_COMMAND, IDM_PAGE_NEW, 0); return 0;
      }
      break;
    }
    case WM_LBUTTONDOWN: {
      SetFocus(window);
      int index = IndexAt(short(HIWORD(lParam)));
      if (index >= Show.pages.pageCount) return 0;
      SelectPage(index);
      list.pressed = true;
      list.dragging = false;
      list.dragFrom = index;
      list.pressAt = {short(LOWORD(lParam)), short(HIWORD(lParam))};
      SetCapture(window);
      return 0;
    }
    case WM_MOUSEMOVE:
      if (list.pressed) {
        int y = short(HIWORD(lParam));
        if (!list.dragging && abs(y - list.pressAt.y) > Scaled(6)) list.dragging = true;
        if (list.dragging) {
          int at = (y + list.scroll + ItemHeight() / 2) / std::max(1, ItemHeight());
          list.dropAt = std::max(0, std::min(at, int(Show.pages.pageCount)));
          InvalidateRect(window, nullptr, FALSE);
        }
      }
      return 0;
    case WM_LBUTTONUP:
      if (list.pressed) {
        list.pressed = false;
        ReleaseCapture();
        if (list.dragging) {
          list.dragging = false;
          // Dropped between two pages: the page goes to that gap.
          int to = list.dropAt > list.dragFrom ? list.dropAt - 1 : list.dropAt;
          if (to != list.dragFrom && BeginChange()) {
            MovePage(&Show.pages, list.dragFrom, to);
            EndChange(CHANGE_PAGES);
          }
          InvalidateRect(window, nullptr, FALSE);
        }
      }
      return 0;
    case WM_DROPFILES:
      DropFolders(reinterpret_cast<HDROP>(wParam));
      return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}
}  // namespace

int RegisterPageList(HINSTANCE instance) {
  WNDCLASSEXW c = {};
  c.cbSize = sizeof c;
  c.lpfnWndProc = PageListProc;
  c.hInstance = instance;
  c.hCursor = LoadCursor(nullptr, IDC_ARROW);
  c.lpszClassName = kClass;
  return RegisterClassExW(&c) != 0;
}

HWND CreatePageList(HWND parent) {
  InitializeCriticalSection(&list.lock);
  list.wake = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  list.thread = CreateThread(nullptr, 0, ThumbnailWorker, nullptr, 0, nullptr);
  return CreateWindowExW(WS_EX_CLIENTEDGE, kClass, L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP, 0, 0, 10, 10,
                         parent, nullptr, Editor.instance, nullptr);
}

void PageListChanged(int scope) {
  if (!Editor.pageList) return;
  UpdateScrollBar();
  if (scope & (CHANGE_SELECTION | CHANGE_PAGES)) ScrollIntoView(Show.pages.selectedPage);
  if (scope & (CHANGE_ITEMS | CHANGE_PAGE | CHANGE_PAGES)) Prune();
  QueueMissing();
  InvalidateRect(Editor.pageList, nullptr, FALSE);
}

void ShutPageList() {
  if (!list.thread) return;
  InterlockedExchange(&list.stop, 1);
  SetEvent(list.wake);
  WaitForSingleObject(list.thread, INFINITE);
  CloseHandle(list.thread);
  list.thread = nullptr;
  for (ThumbnailJob *job : list.jobs) {
    FreePage(&job->page);
    delete job;
  }
  list.jobs.clear();
  // Results posted but not taken.
  MSG msg;
  while (PeekMessageW(&msg, Editor.pageList, WM_THUMBNAIL_READY, WM_THUMBNAIL_READY, PM_REMOVE)) {
    auto *job = reinterpret_cast<ThumbnailJob *>(msg.lParam);
    MemFree(&job->picture);
    delete job;
  }
  for (auto &t : list.thumbnails) MemFree(&t.second);
  list.thumbnails.clear();
  CloseHandle(list.wake);
  DeleteCriticalSection(&list.lock);
}
