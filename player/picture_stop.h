// Decoding a page's picture in the saver without keeping the user waiting:
// while a picture decodes, its decoder asks now and then whether a key, a
// button or a mouse movement is waiting in the queue, and stops when one is.
// The message is left where it is, so the saver window still ends on it; the
// picture is then missing on its page, like any picture the player refuses.
#pragma once

#include <windows.h>

// PictureLoad for a picture of the current page. In the full-screen saver
// the decode stops (null) for waiting input; once it has, further pictures
// are not decoded until TakePictureStop is called.
void *LoadPagePicture(const char *path);
// 1 when a decode stopped for input since the last call; clears that.
int TakePictureStop();
// The poll: 1 when a key or button press waits in this thread's queue, or a
// mouse movement away from cursorAtStart (screen coordinates). Nothing is
// removed from the queue.
int InputWaiting(const POINT *cursorAtStart);
