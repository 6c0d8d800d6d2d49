// The floor that Win32 allows for a hotkey launcher: one hotkey, one tray
// icon, ShellExecuteA on WM_HOTKEY, nothing else. The benchmarks measure
// ztrop32.exe against it.
//
//   floor.exe <modifiers> <vk> <command>
#include <windows.h>
#include <shellapi.h>

#include <cstdlib>
#include <cstring>

namespace {

constexpr UINT WM_TRAY = WM_APP + 1;
const char* gCommand = "";
char gDirectory[MAX_PATH] = "";

LRESULT CALLBACK FloorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_HOTKEY) {
    ShellExecuteA(window, "open", gCommand, "", gDirectory, SW_SHOWNORMAL);
    return 0;
  }
  if (message == WM_CLOSE) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  if (__argc < 4) return 2;
  const UINT modifiers = static_cast<UINT>(std::strtoul(__argv[1], nullptr, 0));
  const UINT vk = static_cast<UINT>(std::strtoul(__argv[2], nullptr, 0));
  gCommand = __argv[3];
  // The same working-folder rule as the program: the command's folder part.
  const char* slash = std::strrchr(gCommand, '\\');
  if (slash && static_cast<size_t>(slash - gCommand + 1) < sizeof gDirectory) {
    std::memcpy(gDirectory, gCommand, slash - gCommand + 1);
    gDirectory[slash - gCommand + 1] = 0;
  }

  WNDCLASSA wc{};
  wc.lpfnWndProc = FloorProc;
  wc.hInstance = instance;
  wc.lpszClassName = "ZtFloor";
  RegisterClassA(&wc);
  HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, "ZtFloor", "floor", WS_POPUP, 0, 0, 0, 0, nullptr,
                                nullptr, instance, nullptr);

  NOTIFYICONDATAA icon{};
  icon.cbSize = sizeof icon;
  icon.hWnd = window;
  icon.uID = 1;
  icon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  icon.uCallbackMessage = WM_TRAY;
  icon.hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
  lstrcpynA(icon.szTip, "floor", sizeof icon.szTip);
  Shell_NotifyIconA(NIM_ADD, &icon);

  RegisterHotKey(window, 1, modifiers, vk);

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);

  UnregisterHotKey(window, 1);
  Shell_NotifyIconA(NIM_DELETE, &icon);
  DestroyWindow(window);
  return 0;
}
