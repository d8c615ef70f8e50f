// The canvas: the current page drawn large by the player's own composition,
// in the page's shape, with the selected item's frame and corner handles on
// top. Click selects, a drag moves, a corner handle resizes (Shift frees the
// proportions), the arrow keys nudge; files dropped here are added to the
// page. Every change goes through the document's operations.
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "editor/editor_commands.h"
#include "editor/editor_state.h"
#include "editor/editor_views.h"
#include "editor/picture_adding.h"
#include "editor/document_files.h"
#include "player/page_compose.h"
#include "player/play_rules.h"
#include "editor/missing_media.h"
#include "editor/wide_messages.h"
#include "resources/editor_ids.h"

namespace {
const wchar_t kClass[] = L"VormkitEditorCanvas";

enum DragMode { DRAG_NONE, DRAG_PENDING, DRAG_MOVE, DRAG_RESIZE };

struct CanvasState {
  PageView view;
  std::string preparedKey;  // what the view's layers were made for
  HBITMAP composed;         // the page as composed, the client's size
  SIZE composedSize;
  bool stale;
  RECT pageRect;            // in the client area
  DragMode drag;
  POINT dragFrom;           // client coordinates
  ItemRef dragItem;
  PictureRecord startPicture;
  TextRecord startText;
  PageBox startBox;
  BoxCorner corner;
  bool resizing;            // layers are stretched until the button comes up
} canvas;

PageFrame Frame() { return CurrentFrame(); }

void ComputePageRect(HWND window) {
  RECT client;
  GetClientRect(window, &client);
  int margin = Scaled(12);
  RECT inset = {client.left + margin, client.top + margin, client.right - margin, client.bottom - margin};
  if (inset.right <= inset.left || inset.bottom <= inset.top) inset = client;
  PageFrame frame = Frame();
  FitPageRect(frame.width, frame.height, &inset, &canvas.pageRect);
}

// Page pixels from client coordinates, and back.
void ToPage(int x, int y, double *px, double *py) {
  PageFrame frame = Frame();
  double w = std::max<LONG>(1, canvas.pageRect.right - canvas.pageRect.left);
  double h = std::max<LONG>(1, canvas.pageRect.bottom - canvas.pageRect.top);
  *px = (x - canvas.pageRect.left) * frame.width / w;
  *py = (y - canvas.pageRect.top) * frame.height / h;
}
RECT ToClient(const PageBox &box) {
  PageFrame frame = Frame();
  double sx = double(canvas.pageRect.right - canvas.pageRect.left) / frame.width;
  double sy = double(canvas.pageRect.bottom - canvas.pageRect.top) / frame.height;
  RECT r = {LONG(canvas.pageRect.left + box.left * sx), LONG(canvas.pageRect.top + box.top * sy),
            LONG(canvas.pageRect.left + box.right * sx), LONG(canvas.pageRect.top + box.bottom * sy)};
  return r;
}

bool ItemBox(const Page *page, ItemRef item, PageBox *box) {
  PageFrame frame = Frame();
  if (item.kind == ITEM_PICTURE && item.index >= 0 && item.index < page->pictureCount) {
    PictureBox(&page->pictures[item.index], &frame, box);
    return true;
  }
  if (item.kind == ITEM_TEXT && item.index >= 0 && item.index < page->textCount) {
    TextBox(page, item.index, &frame, box);
    return true;
  }
  return false;
}

// The layers depend on the page, the page rectangle and each picture's file and size.
std::string LayerKey(const Page *page) {
  std::string key = std::to_string(Show.pages.selectedPage) + "/" + std::to_string(canvas.pageRect.left) + "," +
                    std::to_string(canvas.pageRect.top) + "," + std::to_string(canvas.pageRect.right) + "," +
                    std::to_string(canvas.pageRect.bottom) + "/" + std::to_string(page->backgroundFlag) + "/" +
                    std::to_string(page->backgroundColour);
  int32_t w = canvas.pageRect.right - canvas.pageRect.left, h = canvas.pageRect.bottom - canvas.pageRect.top;
  for (int32_t k = 0; k < page->pictureCount; ++k) {
    int32_t tw, th;
    PlacementTargetSize(page->pictures[k].placement, w, h, &tw, &th);
    key += std::string(page->pictures[k].path) + ":" + std::to_string(tw) + "x" + std::to_string(th) + ";";
  }
  return key;
}

void Compose(HWND window, HDC target) {
  RECT client;
  GetClientRect(window, &client);
  if (!canvas.composed || canvas.composedSize.cx != client.right || canvas.composedSize.cy != client.bottom) {
    if (canvas.composed) DeleteObject(canvas.composed);
    canvas.composed = CreateCompatibleBitmap(target, std::max<LONG>(1, client.right), std::max<LONG>(1, client.bottom));
    canvas.composedSize = {client.right, client.bottom};
  }
  HDC dc = CreateCompatibleDC(target);
  HGDIOBJ old = SelectObject(dc, canvas.composed);
  FillRect(dc, &client, GetSysColorBrush(COLOR_APPWORKSPACE));
  ComputePageRect(window);
  Page *page = CurrentShowPage();
  if (page) {
    PageFrame frame = Frame();
    SetPageView(&canvas.view, window, &canvas.pageRect, frame.width, frame.height);
    canvas.view.keepsExtents = 1;  // hit tests read where each text was drawn
    canvas.view.entering = 0;
    std::string key = LayerKey(page);
    if (key != canvas.preparedKey && !canvas.resizing) {
      PageView *views[1] = {&canvas.view};
      PictureDrawSize(std::max(canvas.pageRect.right - canvas.pageRect.left, canvas.pageRect.bottom - canvas.pageRect.top));
      PreparePageViews(page, views, 1, LoadPictureForDrawing);
      canvas.preparedKey = key;
    }
    PaintPageView(dc, page, &canvas.view);
  }
  SelectObject(dc, old);
  DeleteDC(dc);
  canvas.stale = false;
}

void DrawSelection(HDC dc) {
  Page *page = CurrentShowPage();
  PageBox box;
  if (!page || !ItemBox(page, Editor.selection, &box)) return;
  RECT r = ToClient(box);
  HPEN pen = CreatePen(PS_DOT, 1, RGB(255, 255, 255));
  HGDIOBJ oldPen = SelectObject(dc, pen);
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
  SetBkColor(dc, RGB(0, 0, 0));
  SetBkMode(dc, OPAQUE);
  Rectangle(dc, r.left - 1, r.top - 1, r.right + 1, r.bottom + 1);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  DeleteObject(pen);
  if (Editor.selection.kind != ITEM_PICTURE) return;
  int s = Scaled(4);
  POINT corners[4] = {{r.left, r.top}, {r.right, r.top}, {r.left, r.bottom}, {r.right, r.bottom}};
  for (POINT c : corners) {
    RECT handle = {c.x - s, c.y - s, c.x + s + 1, c.y + s + 1};
    FillRect(dc, &handle, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    FrameRect(dc, &handle, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  }
}

// A picture whose file is gone: its place hatched and framed in red, and the
// file named inside it.
void DrawMissingPictures(HDC dc) {
  Page *page = CurrentShowPage();
  if (!page) return;
  PageFrame frame = Frame();
  for (int32_t k = 0; k < page->pictureCount; ++k) {
    if (!MediaMissing(page->pictures[k].path)) continue;
    PageBox box;
    PictureBox(&page->pictures[k], &frame, &box);
    RECT r = ToClient(box);
    HBRUSH hatch = CreateHatchBrush(HS_BDIAGONAL, RGB(255, 0, 0));
    SetBkMode(dc, TRANSPARENT);
    FillRect(dc, &r, hatch);
    DeleteObject(hatch);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    for (int edge = 0; edge < Scaled(2); ++edge) {
      RECT f = {r.left + edge, r.top + edge, r.right - edge, r.bottom - edge};
      FrameRect(dc, &f, red);
    }
    DeleteObject(red);
    std::wstring name = FormatWide(IDS_MISSING_MARK, FileNameOf(WidePath(page->pictures[k].path)));
    HGDIOBJ oldFont = SelectObject(dc, Editor.uiFont);
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, RGB(255, 255, 255));
    SetTextColor(dc, RGB(0, 0, 0));
    RECT text = {r.left + Scaled(4), r.top + Scaled(4), r.right - Scaled(4), r.bottom - Scaled(4)};
    DrawTextW(dc, name.c_str(), -1, &text, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, oldFont);
  }
}

// The corner handle of the selected picture under (x, y), or -1.
int HandleAt(int x, int y) {
  Page *page = CurrentShowPage();
  PageBox box;
  if (!page || Editor.selection.kind != ITEM_PICTURE || !ItemBox(page, Editor.selection, &box)) return -1;
  RECT r = ToClient(box);
  int s = Scaled(6);
  POINT corners[4] = {{r.left, r.top}, {r.right, r.top}, {r.left, r.bottom}, {r.right, r.bottom}};
  const BoxCorner names[4] = {CORNER_TOP_LEFT, CORNER_TOP_RIGHT, CORNER_BOTTOM_LEFT, CORNER_BOTTOM_RIGHT};
  for (int k = 0; k < 4; ++k)
    if (abs(x - corners[k].x) <= s && abs(y - corners[k].y) <= s) return names[k];
  return -1;
}

void Redraw(HWND window) {
  canvas.stale = true;
  InvalidateRect(window, nullptr, FALSE);
}

void DragTo(HWND window, int x, int y) {
  Page *page = CurrentShowPage();
  if (!page) return;
  PageFrame frame = Frame();
  if (canvas.drag == DRAG_PENDING) {
    if (abs(x - canvas.dragFrom.x) <= Scaled(3) && abs(y - canvas.dragFrom.y) <= Scaled(3)) return;
    if (!BeginChange()) {
      canvas.drag = DRAG_NONE;
      return;
    }
    canvas.drag = canvas.resizing ? DRAG_RESIZE : DRAG_MOVE;
  }
  double px, py, fx, fy;
  ToPage(x, y, &px, &py);
  ToPage(canvas.dragFrom.x, canvas.dragFrom.y, &fx, &fy);
  ItemRef item = canvas.dragItem;
  if (canvas.drag == DRAG_MOVE) {
    // Always from where the drag began, so that the grid does not creep.
    if (item.kind == ITEM_PICTURE) page->pictures[item.index] = canvas.startPicture;
    else page->texts[item.index] = canvas.startText;
    MoveItem(page, item, &frame, std::round(px - fx), std::round(py - fy));
  } else if (canvas.drag == DRAG_RESIZE) {
    page->pictures[item.index] = canvas.startPicture;
    ResizePicture(page, item.index, &frame, &canvas.startBox, canvas.corner, px, py, GetKeyState(VK_SHIFT) >= 0);
  }
  Redraw(window);
}

void EndDrag(HWND window) {
  bool changed = canvas.drag == DRAG_MOVE || canvas.drag == DRAG_RESIZE;
  canvas.drag = DRAG_NONE;
  canvas.resizing = false;
  if (GetCapture() == window) ReleaseCapture();
  if (changed) EndChange(CHANGE_ITEMS);
}

void StartDrag(HWND window, int x, int y) {
  Page *page = CurrentShowPage();
  if (!page) return;
  PageFrame frame = Frame();
  int handle = HandleAt(x, y);
  canvas.resizing = handle >= 0;
  if (handle < 0) {
    double px, py;
    ToPage(x, y, &px, &py);
    ItemRef hit = HitItem(page, &frame, px, py);
    if (hit.kind != Editor.selection.kind || hit.index != Editor.selection.index) {
      Editor.selection = hit;
      DocumentChanged(CHANGE_SELECTION);
    }
    if (hit.kind == ITEM_NONE) return;
  } else {
    canvas.corner = BoxCorner(handle);
  }
  canvas.dragItem = Editor.selection;
  if (canvas.dragItem.kind == ITEM_PICTURE) {
    canvas.startPicture = page->pictures[canvas.dragItem.index];
    PictureBox(&canvas.startPicture, &frame, &canvas.startBox);
  } else {
    canvas.startText = page->texts[canvas.dragItem.index];
  }
  canvas.drag = DRAG_PENDING;
  canvas.dragFrom = {x, y};
  SetCapture(window);
}

void Nudge(int dx, int dy) {
  Page *page = CurrentShowPage();
  if (!page || Editor.selection.kind == ITEM_NONE || !BeginChange()) return;
  PageFrame frame = Frame();
  NudgeItem(page, Editor.selection, &frame, dx, dy);
  EndChange(CHANGE_ITEMS);
}

LRESULT CALLBACK CanvasProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      DragAcceptFiles(window, TRUE);
      return 0;
    case WM_SIZE:
      Redraw(window);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(window, &ps);
      if (canvas.stale || !canvas.composed) Compose(window, dc);
      HDC memory = CreateCompatibleDC(dc);
      HGDIOBJ old = SelectObject(memory, canvas.composed);
      BitBlt(dc, 0, 0, canvas.composedSize.cx, canvas.composedSize.cy, memory, 0, 0, SRCCOPY);
      SelectObject(memory, old);
      DeleteDC(memory);
      DrawMissingPictures(dc);
      DrawSelection(dc);
      if (GetFocus() == window) {
        RECT client;
        GetClientRect(window, &client);
        DrawFocusRect(dc, &client);
      }
      EndPaint(window, &ps);
      return 0;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      InvalidateRect(window, nullptr, FALSE);
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_LBUTTONDOWN:
      SetFocus(window);
      StartDrag(window, short(LOWORD(lParam)), short(HIWORD(lParam)));
      return 0;
    case WM_MOUSEMOVE:
      if (canvas.drag != DRAG_NONE && GetCapture() == window) DragTo(window, short(LOWORD(lParam)), short(HIWORD(lParam)));
      return 0;
    case WM_LBUTTONUP:
      if (canvas.drag != DRAG_NONE) EndDrag(window);
      return 0;
    case WM_CAPTURECHANGED:
      if (canvas.drag != DRAG_NONE && reinterpret_cast<HWND>(lParam) != window) EndDrag(window);
      return 0;
    case WM_LBUTTONDBLCLK: {
      // A double click on a text edits it; anywhere else it is a press like any other.
      Page *page = CurrentShowPage();
      double px, py;
      ToPage(short(LOWORD(lParam)), short(HIWORD(lParam)), &px, &py);
      PageFrame frame = Frame();
      ItemRef hit = page ? HitItem(page, &frame, px, py) : ItemRef{ITEM_NONE, -1};
      if (hit.kind == ITEM_TEXT) {
        Editor.selection = hit;
        DocumentChanged(CHANGE_SELECTION);
        RunCommand(Editor.window, IDM_EDIT_TEXT);
        return 0;
      }
      SetFocus(window);
      StartDrag(window, short(LOWORD(lParam)), short(HIWORD(lParam)));
      return 0;
    }
    case WM_SETCURSOR:
      if (LOWORD(lParam) == HTCLIENT) {
        POINT p;
        GetCursorPos(&p);
        ScreenToClient(window, &p);
        int handle = HandleAt(p.x, p.y);
        LPCTSTR cursor = IDC_ARROW;
        if (handle == CORNER_TOP_LEFT || handle == CORNER_BOTTOM_RIGHT) cursor = IDC_SIZENWSE;
        else if (handle >= 0) cursor = IDC_SIZENESW;
        else if (Page *page = CurrentShowPage()) {
          double px, py;
          ToPage(p.x, p.y, &px, &py);
          PageFrame frame = Frame();
          if (HitItem(page, &frame, px, py).kind != ITEM_NONE) cursor = IDC_SIZEALL;
        }
        SetCursor(LoadCursor(nullptr, cursor));
        return TRUE;
      }
      break;
    case WM_KEYDOWN:
      switch (wParam) {
        case VK_LEFT: Nudge(-1, 0); return 0;
        case VK_RIGHT: Nudge(1, 0); return 0;
        case VK_UP: Nudge(0, -1); return 0;
        case VK_DOWN: Nudge(0, 1); return 0;
        case VK_RETURN: RunCommand(Editor.window, IDM_EDIT_TEXT); return 0;
        case VK_ESCAPE:
          Editor.selection = {ITEM_NONE, -1};
          DocumentChanged(CHANGE_SELECTION);
          return 0;
      }
      break;
    case WM_DROPFILES: {
      HDROP drop = reinterpret_cast<HDROP>(wParam);
      UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
      std::vector<std::wstring> paths;
      for (UINT k = 0; k < count; ++k) {
        wchar_t path[MAX_PATH * 4];
        if (!DragQueryFileW(drop, k, path, MAX_PATH * 4)) continue;
        DWORD attributes = GetFileAttributesW(path);
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
          std::vector<std::wstring> inside = FolderPictures(path);
          paths.insert(paths.end(), inside.begin(), inside.end());
        } else {
          paths.push_back(path);
        }
      }
      DragFinish(drop);
      if (!paths.empty()) AddPictureFiles(paths);
      return 0;
    }
    case WM_DESTROY:
      FreePageViewLayers(&canvas.view);
      if (canvas.composed) DeleteObject(canvas.composed);
      canvas.composed = nullptr;
      return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}
}  // namespace

int RegisterCanvas(HINSTANCE instance) {
  WNDCLASSEXW c = {};
  c.cbSize = sizeof c;
  c.style = CS_DBLCLKS;
  c.lpfnWndProc = CanvasProc;
  c.hInstance = instance;
  c.hCursor = LoadCursor(nullptr, IDC_ARROW);
  c.lpszClassName = kClass;
  return RegisterClassExW(&c) != 0;
}

HWND CreateCanvas(HWND parent) {
  canvas.stale = true;
  return CreateWindowExW(WS_EX_CLIENTEDGE, kClass, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 0, 10, 10, parent,
                         nullptr, Editor.instance, nullptr);
}

void CanvasChanged(int) {
  if (Editor.canvas) Redraw(Editor.canvas);
}

void CanvasPageRect(RECT *page) {
  if (Editor.canvas) ComputePageRect(Editor.canvas);
  *page = canvas.pageRect;
}
