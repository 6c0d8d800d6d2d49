// Zentrop: system-wide hotkeys that start programs and plugins.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  return 0;
}
