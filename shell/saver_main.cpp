// Process entry of the screen saver. The screen-saver framework (command-line
// modes, the saver window, the configuration dialog) is built on top of this.
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int show) { return 0; }
