// The question, drawn from the dialog resource IDD_SETUP: the caption and the
// texts name the show, the preview control shows the package's picture of
// the first page (kept in its shape, centred) or, without one, is taken out
// and the dialog shrinks by its height.
#include "setup/setup_window.h"

#include <cwchar>

#include "setup/setup_ids.h"

namespace {
struct Question {
  const OwnPackage *package;
  const BITMAPINFOHEADER *picture;  // null when the package has none
};

std::wstring Text(UINT id) {
  wchar_t text[1024] = {};
  LoadStringW(GetModuleHandleW(nullptr), id, text, 1024);
  return text;
}

std::wstring Format(UINT id, const std::wstring &arg) {
  std::wstring format = Text(id);
  size_t at = format.find(L"%s");
  if (at == std::wstring::npos) return format;
  return format.substr(0, at) + arg + format.substr(at + 2);
}

// The package's picture when it is a whole 24-bit bottom-up bitmap.
const BITMAPINFOHEADER *Picture(const std::vector<unsigned char> &bytes) {
  if (bytes.size() < sizeof(BITMAPINFOHEADER)) return nullptr;
  const BITMAPINFOHEADER *h = reinterpret_cast<const BITMAPINFOHEADER *>(bytes.data());
  if (h->biSize != sizeof(BITMAPINFOHEADER) || h->biBitCount != 24 || h->biCompression != BI_RGB ||
      h->biWidth < 1 || h->biWidth > 4096 || h->biHeight < 1 || h->biHeight > 4096)
    return nullptr;
  uint64_t stride = (uint64_t(h->biWidth) * 24 + 31) / 32 * 4;
  return sizeof(BITMAPINFOHEADER) + stride * uint64_t(h->biHeight) <= bytes.size() ? h : nullptr;
}

void DrawPicture(const DRAWITEMSTRUCT *item, const BITMAPINFOHEADER *picture) {
  RECT r = item->rcItem;
  FillRect(item->hDC, &r, GetSysColorBrush(COLOR_BTNFACE));
  int w = r.right - r.left, h = r.bottom - r.top;
  // The largest rectangle of the picture's shape inside the control.
  int pw = w, ph = int(int64_t(w) * picture->biHeight / picture->biWidth);
  if (ph > h) {
    ph = h;
    pw = int(int64_t(h) * picture->biWidth / picture->biHeight);
  }
  int x = r.left + (w - pw) / 2, y = r.top + (h - ph) / 2;
  SetStretchBltMode(item->hDC, HALFTONE);
  SetBrushOrgEx(item->hDC, 0, 0, nullptr);
  StretchDIBits(item->hDC, x, y, pw, ph, 0, 0, picture->biWidth, picture->biHeight, picture + 1,
                reinterpret_cast<const BITMAPINFO *>(picture), DIB_RGB_COLORS, SRCCOPY);
}

// Without a picture: the preview's room goes, and what lies below moves up.
void DropPreview(HWND dialog) {
  HWND preview = GetDlgItem(dialog, IDC_SETUP_PREVIEW);
  RECT gone;
  GetWindowRect(preview, &gone);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT *>(&gone), 2);
  const int height = gone.bottom - gone.top;
  ShowWindow(preview, SW_HIDE);
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT *>(&r), 2);
    if (r.top >= gone.bottom) SetWindowPos(child, nullptr, r.left, r.top - height, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  }
  RECT frame;
  GetWindowRect(dialog, &frame);
  SetWindowPos(dialog, nullptr, frame.left, frame.top + height / 2, frame.right - frame.left,
               frame.bottom - frame.top - height, SWP_NOZORDER);
}

INT_PTR CALLBACK QuestionProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      Question *q = reinterpret_cast<Question *>(lParam);
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      const std::wstring name = InfoValue(*q->package, "name");
      const bool saver = InfoValue(*q->package, "kind") == L"saver";
      SetWindowTextW(dialog, Format(IDS_CAPTION, name).c_str());
      SetDlgItemTextW(dialog, IDC_SETUP_QUESTION, Format(saver ? IDS_ASK_SAVER : IDS_ASK_KIT, name).c_str());
      SetDlgItemTextW(dialog, IDC_SETUP_NOTE, Text(saver ? IDS_NOTE_SAVER : IDS_NOTE_KIT).c_str());
      if (!q->picture) DropPreview(dialog);
      SetForegroundWindow(dialog);
      return TRUE;
    }
    case WM_DRAWITEM: {
      const Question *q = reinterpret_cast<const Question *>(GetWindowLongPtrW(dialog, DWLP_USER));
      const DRAWITEMSTRUCT *item = reinterpret_cast<const DRAWITEMSTRUCT *>(lParam);
      if (q && q->picture && item->CtlID == IDC_SETUP_PREVIEW) {
        DrawPicture(item, q->picture);
        return TRUE;
      }
      break;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDYES || LOWORD(wParam) == IDNO || LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, LOWORD(wParam) == IDYES);
        return TRUE;
      }
      break;
  }
  return FALSE;
}
}  // namespace

bool AskToInstall(const OwnPackage &package) {
  Question q = {&package, Picture(package.preview)};
  return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_SETUP), nullptr, QuestionProc,
                         reinterpret_cast<LPARAM>(&q)) == 1;
}

bool Say(UINT kind, UINT id, const std::wstring &arg) {
  UINT style = kind == IDS_ERROR ? MB_ICONERROR | MB_OK
               : kind == IDS_QUESTION ? MB_ICONQUESTION | MB_YESNO
                                      : MB_ICONINFORMATION | MB_OK;
  return MessageBoxW(nullptr, Format(id, arg).c_str(), Text(kind).c_str(), style | MB_SETFOREGROUND) == IDYES;
}
