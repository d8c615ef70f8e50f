// The room each kind of control gives its text. A label (static control)
// draws with DrawText inside its client rectangle, breaking lines at its
// width unless it is a single-line kind; a check box or radio button puts its
// glyph first, then a gap, then one line of text with a pixel of margin on
// each side; a group box writes its title on its top edge, indented from both
// corners. A text fits when its extent stays inside that room.
#include "tests/dialogs/text_fit.h"

#include "shell/base/wide_utf8.h"

#include <cstdio>

namespace {
std::wstring WindowText(HWND window) {
  int length = GetWindowTextLengthW(window);
  std::wstring text(size_t(length) + 1, L'\0');
  GetWindowTextW(window, &text[0], length + 1);
  text.resize(size_t(lstrlenW(text.c_str())));
  return text;
}

// The extent of text drawn with flags inside a box `width` pixels wide.
SIZE Extent(HDC dc, const std::wstring &text, int width, UINT flags) {
  RECT r = {0, 0, width, 0};
  DrawTextW(dc, text.c_str(), int(text.size()), &r, flags | DT_CALCRECT);
  return SIZE{r.right - r.left, r.bottom - r.top};
}

int Scaled(HDC dc, int pixelsAt96) { return MulDiv(pixelsAt96, GetDeviceCaps(dc, LOGPIXELSX), 96); }
}  // namespace

int ButtonGlyphWidth(HDC dc) {
  // The glyph as wide as a menu check mark, then half a digit's width of gap
  // (at least 3 pixels at 96 DPI), as the button control spaces them.
  int digit = 0;
  GetCharWidth32W(dc, L'0', L'0', &digit);
  int gap = digit / 2;
  if (gap < Scaled(dc, 3)) gap = Scaled(dc, 3);
  return GetSystemMetrics(SM_CXMENUCHECK) + gap;
}

bool MeasureControl(HWND control, TextFit *fit) {
  wchar_t className[32] = {};
  GetClassNameW(control, className, 32);
  LONG style = GetWindowLongW(control, GWL_STYLE);
  std::wstring text = WindowText(control);
  if (text.empty()) return false;

  enum { LABEL, CHECK, RADIO, GROUP } kind;
  if (lstrcmpiW(className, L"Static") == 0) {
    UINT type = style & SS_TYPEMASK;
    if (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT && type != SS_LEFTNOWORDWRAP && type != SS_SIMPLE)
      return false;
    kind = LABEL;
  } else if (lstrcmpiW(className, L"Button") == 0) {
    switch (style & BS_TYPEMASK) {
      case BS_CHECKBOX: case BS_AUTOCHECKBOX: case BS_3STATE: case BS_AUTO3STATE: kind = CHECK; break;
      case BS_RADIOBUTTON: case BS_AUTORADIOBUTTON: kind = RADIO; break;
      case BS_GROUPBOX: kind = GROUP; break;
      default: return false;
    }
  } else {
    return false;
  }

  RECT client;
  GetClientRect(control, &client);
  HDC dc = GetDC(control);
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
  HGDIOBJ old = SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT));
  SIZE room = {client.right - client.left, client.bottom - client.top};
  SIZE need = {};
  switch (kind) {
    case LABEL: {
      UINT type = style & SS_TYPEMASK;
      UINT flags = DT_EXPANDTABS | (style & SS_NOPREFIX ? DT_NOPREFIX : 0);
      flags |= type == SS_LEFTNOWORDWRAP || type == SS_SIMPLE ? DT_SINGLELINE : DT_WORDBREAK;
      need = Extent(dc, text, room.cx, flags);
      break;
    }
    case CHECK:
    case RADIO: {
      UINT flags = style & BS_MULTILINE ? DT_WORDBREAK : DT_SINGLELINE;
      int glyph = ButtonGlyphWidth(dc);
      need = Extent(dc, text, room.cx - glyph - 2, flags);
      need.cx += glyph + 2;
      break;
    }
    case GROUP: {
      // The title's corner indent on both sides, 7 pixels at 96 DPI, and a
      // pixel of margin each side of the text; the title is one line.
      need = Extent(dc, text, room.cx, DT_SINGLELINE);
      need.cx += 2 * Scaled(dc, 7) + 2;
      // The frame's top edge runs through the title's middle: the box must
      // at least hold the title's height.
      break;
    }
  }
  SelectObject(dc, old);
  ReleaseDC(control, dc);

  static const char *const kinds[] = {"label", "check box", "radio button", "group title"};
  fit->id = GetDlgCtrlID(control);
  fit->kind = kinds[kind];
  fit->text = WideToUtf8(text);
  fit->need = need;
  fit->room = room;
  fit->fits = need.cx <= room.cx && need.cy <= room.cy;

  // The control itself must lie inside the dialog's client area, or the
  // dialog cuts what the control shows.
  HWND parent = GetParent(control);
  RECT inParent = client, parentClient;
  MapWindowPoints(control, parent, reinterpret_cast<POINT *>(&inParent), 2);
  GetClientRect(parent, &parentClient);
  if (inParent.left < 0 || inParent.top < 0 || inParent.right > parentClient.right ||
      inParent.bottom > parentClient.bottom) {
    fit->room.cx = parentClient.right - inParent.left < room.cx ? parentClient.right - inParent.left : room.cx;
    fit->fits = fit->fits && inParent.left >= 0 && inParent.top >= 0 && need.cx <= fit->room.cx &&
                inParent.top + need.cy <= parentClient.bottom;
  }
  return true;
}

std::vector<TextFit> MeasureDialog(HWND dialog) {
  std::vector<TextFit> fits;
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    TextFit fit;
    if (MeasureControl(child, &fit)) fits.push_back(fit);
  }
  return fits;
}

std::string Describe(const std::string &dialogName, const TextFit &fit) {
  char line[512];
  snprintf(line, sizeof line, "%s: %s %d \"%s\" needs %ld x %ld px, has %ld x %ld", dialogName.c_str(),
           fit.kind.c_str(), fit.id, fit.text.c_str(), long(fit.need.cx), long(fit.need.cy), long(fit.room.cx),
           long(fit.room.cy));
  return line;
}
