// Zentrop: system-wide hotkeys that start programs and plugins.
#include <windows.h>

#include <string>

#include "app/Application.h"
#include "app/untMain.h"
#include "hotkeys/HotKeyManager.h"
#include "platform/win32/Win32Keyboard.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  using namespace zt;
  // Keeps the current folder out of the search for DLLs, plugins' included.
  // Windows drops it for "", but Wine takes "" for no folder at all and goes
  // on searching the current one. The program's own folder, searched first
  // anyway, drops it on both.
  std::wstring folder(32768, L'\0');
  DWORD length = ::GetModuleFileNameW(nullptr, folder.data(), static_cast<DWORD>(folder.size()));
  folder.resize(length < folder.size() ? length : 0);
  // Up to and with the last "\"; "" (Windows' own way) if there is none.
  folder.resize(folder.find_last_of(L'\\') + 1);
  ::SetDllDirectoryW(folder.c_str());

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
