// Message boxes: four kinds with fixed Japanese captions, texts from the
// string table (ids 5000..5301, named in resources/string_ids.h) or joined
// from up to three pieces.
#pragma once

#include <windows.h>

#include "resources/string_ids.h"

// Loads a string table entry as ANSI text (cut to 511 bytes); "" when missing.
int LoadMessage(UINT id, char *out, int size);

// The non-empty pieces joined; a null or empty piece is left out. The result
// is a memory block (the pieces' total length plus 64 bytes), freed with MemFree.
char *JoinPieces(const char *a, const char *b, const char *c);

void ShowInfo(HWND owner, UINT id);
void ShowInfoText(HWND owner, const char *a, const char *b = nullptr, const char *c = nullptr);
bool AskQuestion(HWND owner, UINT id);
bool AskQuestionText(HWND owner, const char *a, const char *b = nullptr, const char *c = nullptr);
void ShowError(HWND owner, UINT id);
void ShowErrorText(HWND owner, const char *a, const char *b = nullptr, const char *c = nullptr);
bool Confirm(HWND owner, UINT id);           // text + "\nよろしいですか?"
bool ConfirmNoDefault(HWND owner, UINT id);  // the same, No is the default button
void ShowNotFound(HWND owner, const char *name);
void ShowReadFailure(const char *path);      // owner: the window with the focus
void ShowWriteFailure(const char *path);

// The caption and suffix texts (CP932), for tests and dialogs.
extern const char *const CAPTION_INFO;
extern const char *const CAPTION_QUESTION;
extern const char *const CAPTION_CONFIRM;
extern const char *const CAPTION_ERROR;
