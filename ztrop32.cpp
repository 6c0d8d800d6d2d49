// Zentrop: system-wide hotkeys that start programs and plugins.
#include <windows.h>

#include "app/Application.h"
#include "app/untMain.h"
#include "hotkeys/HotKeyManager.h"
#include "platform/win32/Win32Keyboard.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  using namespace zt;
  // Keeps the current folder out of the search for DLLs, plugins' included.
  ::SetDllDirectoryA("");

  Application.CreateHandle();
  TWin32Keyboard keyboard;
  InitHotKeyText(keyboard);

  Application.Initialize();
  HWND window = Application.Handle();
  ::SetWindowLongA(window, GWL_EXSTYLE, ::GetWindowLongA(window, GWL_EXSTYLE) | WS_EX_TOOLWINDOW);
  Application.CreateForm(frmMain);
  Application.Run();

  // The window and its components go before the hotkey text module.
  Application.Done();
  DoneHotKeyText();
  return 0;
}
