// String table texts and message boxes, on a Japanese Wine.
#include "shell/messages.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <string>

#include "shell/mem_block.h"

static std::string Load(UINT id) {
  char text[512];
  LoadMessage(id, text, sizeof text);
  return text;
}

TEST(StringTable, TextsAreExactCp932Bytes) {
  // "エラー"-style texts written as CP932 bytes, independent of the compiler's charset.
  EXPECT_EQ(Load(5020), "\x83\x70\x83\x58\x83\x8f\x81\x5b\x83\x68\x82\xaa\x8a\xd4\x88\xe1\x82\xc1\x82\xc4\x82\xa2"
                        "\x82\xdc\x82\xb7\x81\x42");  // パスワードが間違っています。
  EXPECT_EQ(Load(5009), "\x83\x45\x83\x42\x83\x93\x83\x68\x83\x45\x82\xcc\x8d\xec\x90\xac\x82\xc9\x8e\xb8\x94\x73"
                        "\x82\xb5\x82\xdc\x82\xb5\x82\xbd\x81\x42");  // ウィンドウの作成に失敗しました。
  EXPECT_EQ(Load(1001), "control.ini");
  EXPECT_EQ(Load(1009), "control.hlp");
  EXPECT_EQ(Load(1008), "Insufficient memory for help application.");
}

TEST(StringTable, LineBreaksAndPlaceholdersSurvive) {
  std::string loadFailed = Load(5010);
  size_t br = loadFailed.find("\r\n");
  ASSERT_NE(br, std::string::npos);
  EXPECT_EQ(loadFailed.substr(br + 2, 8), "\x83\x74\x83\x40\x83\x43\x83\x8b");  // ファイル
  EXPECT_EQ(Load(5106).substr(0, 3), "%s ");
  EXPECT_EQ(Load(5104).substr(0, 3), "%s ");
}

TEST(StringTable, EveryListedIdIsPresent) {
  for (UINT id : {5000u, 5005u, 5006u, 5007u, 5008u, 5009u, 5010u, 5011u, 5015u, 5018u, 5019u, 5020u, 5021u,
                  5104u, 5106u, 5150u, 5154u, 5155u, 5158u, 5300u, 5301u})
    EXPECT_FALSE(Load(id).empty()) << id;
  EXPECT_TRUE(Load(5001).empty());
}

TEST(StringTable, TextWithTrailByteBackslash) {
  // 5000 holds "機能": 能 is 0x94 0x5C, whose trail byte is a backslash.
  EXPECT_NE(Load(5000).find("\x8b\x40\x94\x5c"), std::string::npos);
}

TEST(JoinPieces, LeavesOutEmptyPieces) {
  char *text = JoinPieces("C:\\a.jpg", nullptr, " missing");
  ASSERT_NE(text, nullptr);
  EXPECT_STREQ(text, "C:\\a.jpg missing");
  EXPECT_EQ(MemSize(text), strlen("C:\\a.jpg") + strlen(" missing") + 64);
  MemFreePtr(text);
  text = JoinPieces("", "", nullptr);
  EXPECT_STREQ(text, "");
  MemFreePtr(text);
}

// Message boxes: a helper thread finds the box by caption and answers it.
namespace {
struct BoxProbe {
  std::string caption;
  UINT key;           // key to press, 0 for none
  LONG defaultId = 0;  // default button as the box reports it
  std::string text;
  bool found = false, answeredByKey = false;
};

DWORD WINAPI AnswerBox(void *param) {
  auto *probe = static_cast<BoxProbe *>(param);
  for (int i = 0; i < 500; ++i) {
    HWND box = FindWindowA("#32770", probe->caption.c_str());
    if (box && IsWindowVisible(box)) {
      for (int id : {IDOK, IDYES, IDNO})
        if (HWND button = GetDlgItem(box, id))
          if ((GetWindowLongA(button, GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON) probe->defaultId = id;
      char text[512] = {};
      GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
      probe->text = text;
      probe->found = true;
      // Enter goes to the control with the focus, the default button.
      HWND target = probe->defaultId ? GetDlgItem(box, probe->defaultId) : box;
      PostMessageA(target, WM_KEYDOWN, probe->key, 0);
      PostMessageA(target, WM_KEYUP, probe->key, 0);
      for (int j = 0; j < 500 && IsWindow(box); ++j) Sleep(20);
      probe->answeredByKey = !IsWindow(box);
      // Never leave the test hanging on a box that ignored the key.
      if (IsWindow(box)) PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
      return 1;
    }
    Sleep(20);
  }
  return 0;
}

HANDLE StartAnswer(BoxProbe *probe) { return CreateThread(nullptr, 0, AnswerBox, probe, 0, nullptr); }
void Finish(HANDLE thread) {
  WaitForSingleObject(thread, 15000);
  CloseHandle(thread);
}
}  // namespace

TEST(MessageBoxes, ConfirmNoDefaultAnswersNoOnEnter) {
  BoxProbe probe{CAPTION_CONFIRM, VK_RETURN, 0, {}};
  HANDLE thread = StartAnswer(&probe);
  EXPECT_FALSE(ConfirmNoDefault(nullptr, 5019));
  Finish(thread);
  EXPECT_TRUE(probe.answeredByKey);
  EXPECT_EQ(probe.defaultId, IDNO);
  EXPECT_NE(probe.text.find("\n\x82\xe6\x82\xeb\x82\xb5\x82\xa2\x82\xc5\x82\xb7\x82\xa9?"), std::string::npos)
      << "the confirmation suffix goes on a new line: " << probe.text;
}

TEST(MessageBoxes, ConfirmAnswersYesOnEnter) {
  BoxProbe probe{CAPTION_CONFIRM, VK_RETURN, 0, {}};
  HANDLE thread = StartAnswer(&probe);
  EXPECT_TRUE(Confirm(nullptr, 5019));
  Finish(thread);
  EXPECT_TRUE(probe.answeredByKey);
  EXPECT_EQ(probe.defaultId, IDYES);
}

TEST(MessageBoxes, ErrorByPiecesShowsTheJoinedText) {
  BoxProbe probe{CAPTION_ERROR, VK_RETURN, 0, {}};
  HANDLE thread = StartAnswer(&probe);
  ShowNotFound(nullptr, "C:\\x\\pic.jpg");
  Finish(thread);
  // " が見つかりません。"
  EXPECT_EQ(probe.text, "C:\\x\\pic.jpg \x82\xaa\x8c\xa9\x82\xc2\x82\xa9\x82\xe8\x82\xdc\x82\xb9\x82\xf1\x81\x42");
}

// What each kind of box shows: its caption as the fixed CP932 bytes (情報,
// 質問, 確認, エラー) and its buttons. A helper thread reads whatever box this
// thread shows and closes it, so a wrong caption fails rather than hangs.
namespace {
struct ShownBox {
  DWORD thread;
  std::string caption;
  bool found = false, ok = false, yes = false, no = false, closed = false;
};

BOOL CALLBACK TakeVisibleBox(HWND w, LPARAM found) {
  char name[16] = {};
  GetClassNameA(w, name, sizeof name);
  if (strcmp(name, "#32770") != 0 || !IsWindowVisible(w)) return TRUE;
  *reinterpret_cast<HWND *>(found) = w;
  return FALSE;
}

HWND VisibleBoxOf(DWORD thread) {
  HWND box = nullptr;
  EnumThreadWindows(thread, TakeVisibleBox, reinterpret_cast<LPARAM>(&box));
  return box;
}

DWORD WINAPI ReadAndCloseBox(void *param) {
  auto *shown = static_cast<ShownBox *>(param);
  HWND box = nullptr;
  for (int i = 0; i < 750 && !box; ++i) {
    box = VisibleBoxOf(shown->thread);
    if (!box) Sleep(20);
  }
  if (!box) return 0;
  char caption[256] = {};
  GetWindowTextA(box, caption, sizeof caption);
  shown->caption = caption;
  auto has = [&](int id) {
    HWND button = GetDlgItem(box, id);
    return button && IsWindowVisible(button);
  };
  shown->ok = has(IDOK);
  shown->yes = has(IDYES);
  shown->no = has(IDNO);
  shown->found = true;
  PostMessageA(box, WM_COMMAND, shown->no ? IDNO : IDOK, 0);
  for (int i = 0; i < 500 && IsWindow(box); ++i) Sleep(20);
  shown->closed = !IsWindow(box);
  if (IsWindow(box)) PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
  return 1;
}
}  // namespace

TEST(MessageBoxes, EachKindShowsItsFixedCaption) {
  const char info[] = "\x8f\xee\x95\xf1", question[] = "\x8e\xbf\x96\xe2", confirm[] = "\x8a\x6d\x94\x46",
             error[] = "\x83\x47\x83\x89\x81\x5b";
  EXPECT_STREQ(CAPTION_INFO, info);
  EXPECT_STREQ(CAPTION_QUESTION, question);
  EXPECT_STREQ(CAPTION_CONFIRM, confirm);
  EXPECT_STREQ(CAPTION_ERROR, error);
  struct Kind {
    const char *name;
    const char *caption;
    bool yesNo;
    std::function<void()> show;
  };
  const Kind kinds[] = {
      {"information by id", info, false, [] { ShowInfo(nullptr, 5019); }},
      {"information by pieces", info, false, [] { ShowInfoText(nullptr, "a", "b"); }},
      {"question by id", question, true, [] { AskQuestion(nullptr, 5019); }},
      {"question by pieces", question, true, [] { AskQuestionText(nullptr, "a", "b"); }},
      {"confirmation", confirm, true, [] { Confirm(nullptr, 5019); }},
      {"confirmation, No default", confirm, true, [] { ConfirmNoDefault(nullptr, 5019); }},
      {"error by id", error, false, [] { ShowError(nullptr, 5019); }},
      {"error by pieces", error, false, [] { ShowErrorText(nullptr, "a", "b"); }},
      {"not found", error, false, [] { ShowNotFound(nullptr, "C:\\x.jpg"); }},
      {"read failure", error, false, [] { ShowReadFailure("C:\\x.jpg"); }},
      {"write failure", error, false, [] { ShowWriteFailure("C:\\x.jpg"); }},
  };
  for (const Kind &kind : kinds) {
    SCOPED_TRACE(kind.name);
    ShownBox shown;
    shown.thread = GetCurrentThreadId();
    HANDLE thread = CreateThread(nullptr, 0, ReadAndCloseBox, &shown, 0, nullptr);
    kind.show();
    WaitForSingleObject(thread, 30000);
    CloseHandle(thread);
    ASSERT_TRUE(shown.found);
    EXPECT_TRUE(shown.closed);
    EXPECT_EQ(shown.caption, kind.caption);
    EXPECT_EQ(shown.yes, kind.yesNo);
    EXPECT_EQ(shown.no, kind.yesNo);
    EXPECT_EQ(shown.ok, !kind.yesNo);
  }
}
