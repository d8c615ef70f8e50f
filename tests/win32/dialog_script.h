// Test helper: answers the message boxes and the password dialog that the
// code under test opens on this thread, and records what they showed. A CBT
// hook sees each dialog as it is activated; message boxes are recorded and
// closed at once, the password dialog gets the scripted answers one by one
// from a thread timer (only while no message box is open over it).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct DialogScript {
  std::vector<std::string> boxTexts;    // texts of the message boxes, in order
  std::vector<std::string> answers;     // password answers; "\x1b" cancels
  size_t nextAnswer = 0;
  std::string prompt;                   // the password dialog's prompt text
  int passwordChar = 0;
  int limit = 0;
  RECT rect = {};                       // where the password dialog stood
  HWND passwordDialog = nullptr;
  HWND openBox = nullptr;
  HHOOK hook = nullptr;
  UINT_PTR timer = 0;

  DialogScript();
  ~DialogScript();
};
