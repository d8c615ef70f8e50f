// Message boxes of the player. Every box is shown with MB_SETFOREGROUND so
// that it comes to the front even when the saver is not the active program.
#include "shell/base/messages.h"

#include <cstring>

#include "shell/base/mem_block.h"

const char *const CAPTION_INFO = "情報";
const char *const CAPTION_QUESTION = "質問";
const char *const CAPTION_CONFIRM = "確認";
const char *const CAPTION_ERROR = "エラー";

static const char kConfirmSuffix[] = "\nよろしいですか?";
static const char kNotFoundSuffix[] = " が見つかりません。";
static const char kReadFailedSuffix[] = " の読み込みに失敗しました。";
static const char kWriteFailedSuffix[] = " の保存に失敗しました。";

int LoadMessage(UINT id, char *out, int size) {
  out[0] = 0;
  int n = LoadStringA(GetModuleHandleA(nullptr), id, out, size);
  return n > 0 ? n : 0;
}

char *JoinPieces(const char *a, const char *b, const char *c) {
  const char *pieces[3] = {a, b, c};
  size_t total = 64;
  for (const char *p : pieces)
    if (p) total += strlen(p);
  char *text = static_cast<char *>(MemAlloc(total));
  if (!text) return nullptr;
  for (const char *p : pieces)
    if (p && *p) strcat(text, p);
  return text;
}

static int Box(HWND owner, const char *text, const char *caption, UINT style) {
  return MessageBoxA(owner, text, caption, style | MB_SETFOREGROUND);
}

static int BoxById(HWND owner, UINT id, const char *suffix, const char *caption, UINT style) {
  char text[512 + sizeof(kConfirmSuffix)];
  LoadMessage(id, text, 512);
  if (suffix) strcat(text, suffix);
  return Box(owner, text, caption, style);
}

static int BoxByPieces(HWND owner, const char *a, const char *b, const char *c, const char *caption,
                       UINT style) {
  char *text = JoinPieces(a, b, c);
  int result = Box(owner, text ? text : "", caption, style);
  MemFreePtr(text);
  return result;
}

void ShowInfo(HWND owner, UINT id) { BoxById(owner, id, nullptr, CAPTION_INFO, MB_OK | MB_ICONINFORMATION); }

void ShowInfoText(HWND owner, const char *a, const char *b, const char *c) {
  BoxByPieces(owner, a, b, c, CAPTION_INFO, MB_OK | MB_ICONINFORMATION);
}

bool AskQuestion(HWND owner, UINT id) {
  return BoxById(owner, id, nullptr, CAPTION_QUESTION, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

bool AskQuestionText(HWND owner, const char *a, const char *b, const char *c) {
  return BoxByPieces(owner, a, b, c, CAPTION_QUESTION, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void ShowError(HWND owner, UINT id) { BoxById(owner, id, nullptr, CAPTION_ERROR, MB_OK | MB_ICONERROR); }

void ShowErrorText(HWND owner, const char *a, const char *b, const char *c) {
  BoxByPieces(owner, a, b, c, CAPTION_ERROR, MB_OK | MB_ICONERROR);
}

bool Confirm(HWND owner, UINT id) {
  return BoxById(owner, id, kConfirmSuffix, CAPTION_CONFIRM, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

bool ConfirmNoDefault(HWND owner, UINT id) {
  return BoxById(owner, id, kConfirmSuffix, CAPTION_CONFIRM, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) ==
         IDYES;
}

void ShowNotFound(HWND owner, const char *name) { ShowErrorText(owner, name, kNotFoundSuffix); }

void ShowReadFailure(const char *path) {
  SetCursor(LoadCursor(nullptr, IDC_ARROW));
  ShowErrorText(GetFocus(), path, kReadFailedSuffix);
}

void ShowWriteFailure(const char *path) {
  SetCursor(LoadCursor(nullptr, IDC_ARROW));
  ShowErrorText(GetFocus(), path, kWriteFailedSuffix);
}
