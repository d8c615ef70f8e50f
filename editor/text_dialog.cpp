// The text dialog.
#include "editor/text_dialog.h"

#include <commctrl.h>
#include <commdlg.h>

#include <cstring>

#include "editor/cp932_text.h"
#include "editor/editor_state.h"
#include "editor/wide_messages.h"
#include "resources/editor_ids.h"

namespace {
struct TextDialog {
  std::string *text;
  TextStyle style;
};

// "ＭＳ ゴシック" in CP932.
const char kDefaultFace[] = "\x82\x6C\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4E";

std::wstring Wide(const std::string &cp932) {
  std::u16string w = FromCp932(cp932);
  return std::wstring(w.begin(), w.end());
}

// The face without the '@' that asks for vertical writing.
std::string PlainFace(const LOGFONTA &font) {
  const char *face = font.lfFaceName;
  return face[0] == '@' ? std::string(face + 1) : std::string(face);
}

void ShowFont(HWND dialog, const TextStyle &style) {
  std::wstring name = Wide(PlainFace(style.font));
  int height = style.font.lfHeight < 0 ? -style.font.lfHeight : style.font.lfHeight;
  name += L"  " + std::to_wstring(height);
  if (style.font.lfWeight >= FW_BOLD) name += L"  B";
  if (style.font.lfItalic) name += L"  I";
  SetDlgItemTextW(dialog, IDC_TEXT_FONT_NAME, name.c_str());
}

void ChooseTextFont(HWND dialog, TextDialog *state) {
  LOGFONTW font = {};
  const LOGFONTA &a = state->style.font;
  font.lfHeight = a.lfHeight;
  font.lfWeight = a.lfWeight;
  font.lfItalic = a.lfItalic;
  font.lfUnderline = a.lfUnderline;
  font.lfStrikeOut = a.lfStrikeOut;
  font.lfCharSet = a.lfCharSet;
  lstrcpynW(font.lfFaceName, Wide(PlainFace(a)).c_str(), LF_FACESIZE);
  CHOOSEFONTW choose = {};
  choose.lStructSize = sizeof choose;
  choose.hwndOwner = dialog;
  choose.lpLogFont = &font;
  choose.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_NOVERTFONTS;
  if (!ChooseFontW(&choose)) return;
  std::string face;
  std::u16string refused;
  std::wstring wideFace = font.lfFaceName;
  if (!ToCp932(std::u16string(wideFace.begin(), wideFace.end()), &face, &refused) || face.size() + 1 >= LF_FACESIZE) {
    WideError(dialog, FormatWide(IDS_FACE_REFUSED, wideFace));
    return;
  }
  LOGFONTA &out = state->style.font;
  bool vertical = out.lfFaceName[0] == '@';
  out.lfHeight = font.lfHeight;
  out.lfWidth = 0;
  out.lfWeight = font.lfWeight;
  out.lfItalic = font.lfItalic;
  out.lfUnderline = font.lfUnderline;
  out.lfStrikeOut = font.lfStrikeOut;
  out.lfCharSet = font.lfCharSet;
  memset(out.lfFaceName, 0, LF_FACESIZE);
  strcpy(out.lfFaceName, ((vertical ? "@" : "") + face).c_str());
  ShowFont(dialog, state->style);
}

void ChooseTextColour(HWND dialog, TextDialog *state) {
  static COLORREF custom[16];
  CHOOSECOLORW choose = {};
  choose.lStructSize = sizeof choose;
  choose.hwndOwner = dialog;
  choose.rgbResult = state->style.colour;
  choose.lpCustColors = custom;
  choose.Flags = CC_RGBINIT | CC_FULLOPEN;
  if (!ChooseColorW(&choose)) return;
  state->style.colour = choose.rgbResult & 0xFFFFFF;
  InvalidateRect(GetDlgItem(dialog, IDC_TEXT_COLOUR_SWATCH), nullptr, FALSE);
}

bool Accept(HWND dialog, TextDialog *state) {
  HWND edit = GetDlgItem(dialog, IDC_TEXT_EDIT);
  std::string text;
  if (!ShowTextOf(edit, &text)) return false;
  std::string face = PlainFace(state->style.font);
  bool vertical = IsDlgButtonChecked(dialog, IDC_TEXT_VERTICAL) == BST_CHECKED;
  if (vertical && face.size() + 2 > LF_FACESIZE) face.resize(LF_FACESIZE - 2);
  memset(state->style.font.lfFaceName, 0, LF_FACESIZE);
  strcpy(state->style.font.lfFaceName, ((vertical ? "@" : "") + face).c_str());
  BOOL ok = FALSE;
  UINT fade = GetDlgItemInt(dialog, IDC_TEXT_FADE_EDIT, &ok, FALSE);
  state->style.fadeSteps = ok ? int32_t(fade > 100 ? 100 : fade) : 0;
  *state->text = text;
  return true;
}

INT_PTR CALLBACK TextProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto *state = reinterpret_cast<TextDialog *>(GetWindowLongPtrW(dialog, GWLP_USERDATA));
  switch (message) {
    case WM_INITDIALOG: {
      state = reinterpret_cast<TextDialog *>(lParam);
      SetWindowLongPtrW(dialog, GWLP_USERDATA, lParam);
      SetDlgItemTextW(dialog, IDC_TEXT_EDIT, Wide(*state->text).c_str());
      SendDlgItemMessageW(dialog, IDC_TEXT_FADE_SPIN, UDM_SETRANGE32, 0, 100);
      SetDlgItemInt(dialog, IDC_TEXT_FADE_EDIT, UINT(state->style.fadeSteps < 0 ? 0 : state->style.fadeSteps), FALSE);
      CheckDlgButton(dialog, IDC_TEXT_VERTICAL, state->style.font.lfFaceName[0] == '@' ? BST_CHECKED : BST_UNCHECKED);
      ShowFont(dialog, state->style);
      SetFocus(GetDlgItem(dialog, IDC_TEXT_EDIT));
      return FALSE;
    }
    case WM_DRAWITEM: {
      auto *draw = reinterpret_cast<DRAWITEMSTRUCT *>(lParam);
      if (draw->CtlID != IDC_TEXT_COLOUR_SWATCH || !state) return FALSE;
      HBRUSH brush = CreateSolidBrush(state->style.colour);
      FillRect(draw->hDC, &draw->rcItem, brush);
      DeleteObject(brush);
      FrameRect(draw->hDC, &draw->rcItem, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
      return TRUE;
    }
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_TEXT_FONT: ChooseTextFont(dialog, state); return TRUE;
        case IDC_TEXT_COLOUR: ChooseTextColour(dialog, state); return TRUE;
        case IDOK:
          if (Accept(dialog, state)) EndDialog(dialog, 1);
          return TRUE;
        case IDCANCEL: EndDialog(dialog, 0); return TRUE;
      }
      return FALSE;
  }
  return FALSE;
}
}  // namespace

void DefaultTextStyle(TextStyle *style) {
  memset(style, 0, sizeof *style);
  style->font.lfHeight = 32;
  style->font.lfWeight = FW_NORMAL;
  style->font.lfCharSet = SHIFTJIS_CHARSET;
  memcpy(style->font.lfFaceName, kDefaultFace, sizeof kDefaultFace);
  style->colour = RGB(255, 255, 255);
  style->fadeSteps = 0;
}

int RunTextDialog(HWND owner, std::string *text, TextStyle *style) {
  TextDialog state = {text, *style};
  if (DialogBoxParamW(Editor.instance, MAKEINTRESOURCEW(IDD_TEXT), owner, TextProc,
                      reinterpret_cast<LPARAM>(&state)) != 1)
    return 0;
  *style = state.style;
  return 1;
}

int ShowTextOf(HWND edit, std::string *out) {
  int length = GetWindowTextLengthW(edit);
  std::wstring typed(size_t(length) + 1, L'\0');
  GetWindowTextW(edit, &typed[0], length + 1);
  typed.resize(size_t(length));
  std::u16string refused;
  if (ToCp932(std::u16string(typed.begin(), typed.end()), out, &refused)) return 1;
  std::wstring shown;
  for (size_t k = 0; k < refused.size(); ++k) {
    // A character outside the first plane is named as its pair.
    bool high = refused[k] >= 0xD800 && refused[k] <= 0xDBFF;
    shown += wchar_t(refused[k]);
    if (!high && k + 1 < refused.size()) shown += L" ";
  }
  WideError(GetParent(edit), FormatWide(IDS_TEXT_REFUSED, L"「" + shown + L"」"));
  SetFocus(edit);
  return 0;
}
