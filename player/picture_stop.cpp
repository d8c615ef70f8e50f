// The stop request the player gives the picture decoder: a look into the
// message queue (PM_NOREMOVE) at most every few ticks of the clock.
#include "player/picture_stop.h"

#include "player/player_state.h"
#include "raster/dib.h"
#include "raster/picture_report.h"
#include "shell/base/startup_state.h"

namespace {

// How often the queue is looked at while a picture decodes: a key ends the
// saver well within a second, and the decoder loses no time to the look.
const DWORD POLL_INTERVAL_MS = 30;

struct PollState {
  POINT cursorAtStart;
  DWORD lastPoll;
  bool polled;
};

bool stopped = false;

int Requested(void *context) {
  PollState *poll = static_cast<PollState *>(context);
  DWORD now = GetTickCount();
  if (poll->polled && now - poll->lastPoll < POLL_INTERVAL_MS) return 0;
  poll->polled = true;
  poll->lastPoll = now;
  return InputWaiting(&poll->cursorAtStart);
}

}  // namespace

int InputWaiting(const POINT *cursorAtStart) {
  MSG msg;
  const UINT pressed[][2] = {{WM_KEYDOWN, WM_KEYDOWN}, {WM_SYSKEYDOWN, WM_SYSKEYDOWN},
                             {WM_LBUTTONDOWN, WM_MBUTTONDBLCLK}, {WM_XBUTTONDOWN, WM_XBUTTONDOWN}};
  for (const auto &range : pressed)
    if (PeekMessageA(&msg, nullptr, range[0], range[1], PM_NOREMOVE | PM_NOYIELD)) return 1;
  // The queue holds one mouse movement at a time, the latest position.
  if (PeekMessageA(&msg, nullptr, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_NOREMOVE | PM_NOYIELD))
    return msg.pt.x != cursorAtStart->x || msg.pt.y != cursorAtStart->y;
  return 0;
}

void *LoadPagePicture(const char *path) {
  // Input ends only the full-screen saver; elsewhere pictures decode whole.
  if (Player.playMode != PLAY_MODE_SAVER || Startup.smallWindow) return PictureLoad(path, 1);
  if (stopped) return nullptr;
  PollState poll = {};
  if (!GetCursorPos(&poll.cursorAtStart)) poll.cursorAtStart = {-1, -1};
  DecodeStop stop = {Requested, &poll};
  PictureReport report;
  void *image = PictureLoadChecked(path, 1, &stop, &report);
  if (!image && report.problem == PICTURE_STOPPED) stopped = true;
  return image;
}

int TakePictureStop() {
  int was = stopped ? 1 : 0;
  stopped = false;
  return was;
}
