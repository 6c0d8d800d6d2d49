#include "app/TrayIcon.h"

#include <shellapi.h>

#include <cwchar>

#include "app/Application.h"
#include "app/ControlIds.h"

namespace zt {

TTrayIcon::~TTrayIcon() {
  SetVisible(false);
  DestroyHandle();
}

void TTrayIcon::EnsureHandle() {
  if (Handle()) return;
  const wchar_t* className = L"TTrayIconWindow";
  RegisterWindowClass(className, 0, nullptr, nullptr);
  // Top-level (not message-only): the shell's "TaskbarCreated" goes to
  // top-level windows.
  CreateHandle(WS_EX_TOOLWINDOW, className, L"", WS_POPUP, 0, 0, 0, 0, nullptr);
  FTaskbarCreated = ::RegisterWindowMessageW(L"TaskbarCreated");
}

bool TTrayIcon::Notify(DWORD action) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof(data);
  data.hWnd = Handle();
  data.uID = TrayIconId;
  data.uFlags = NIF_MESSAGE | NIF_TIP | NIF_ICON;
  data.uCallbackMessage = TrayCallbackMessage;
  data.hIcon = FIcon.get();
  std::wcsncpy(data.szTip, FHint.c_str(), sizeof(data.szTip) / sizeof(data.szTip[0]) - 1);
  return ::Shell_NotifyIconW(action, &data) != FALSE;
}

void TTrayIcon::SetVisible(bool visible) {
  FVisible = visible;
  if (visible) {
    EnsureHandle();
    if (!FAdded) FAdded = Notify(NIM_ADD);
  } else if (FAdded) {
    Notify(NIM_DELETE);
    FAdded = false;
  }
}

void TTrayIcon::SetIcon(HICON icon) {
  FIcon.reset(icon);
  if (!FVisible) return;
  // A shell that refused the first add may take the icon now.
  if (FAdded)
    Notify(NIM_MODIFY);
  else
    FAdded = Notify(NIM_ADD);
}

void TTrayIcon::Loaded() {
  Application.ShowMainForm = false;
  if (::IsWindowVisible(Application.Handle())) ::ShowWindow(Application.Handle(), SW_HIDE);
  Application.MinimizeToTrayEnabled = MinimizeToTray;
}

void TTrayIcon::Popup() {
  if (!FPopupMenu) return;
  POINT at;
  ::GetCursorPos(&at);
  // Without the foreground the menu would not close on a click elsewhere.
  ::SetForegroundWindow(Handle());
  UINT command =
      static_cast<UINT>(::TrackPopupMenu(FPopupMenu, TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY,
                                         at.x, at.y, 0, Handle(), nullptr));
  ::PostMessageW(Handle(), WM_NULL, 0, 0);
  if (command != 0 && OnMenuCommand) OnMenuCommand(command);
}

LRESULT TTrayIcon::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == TrayCallbackMessage) {
    switch (static_cast<UINT>(lParam)) {
      case WM_RBUTTONUP:
        Popup();
        break;
      case WM_LBUTTONDBLCLK:
        if (FPopupMenu && OnMenuCommand) {
          UINT item = ::GetMenuDefaultItem(FPopupMenu, FALSE, 0);
          if (item != static_cast<UINT>(-1)) OnMenuCommand(item);
        }
        if (OnDblClick) OnDblClick();
        break;
      default:
        break;
    }
    return 0;
  }
  if (FTaskbarCreated != 0 && message == FTaskbarCreated) {
    // A shell that kept our icon refuses NIM_ADD; it is still ours to
    // update and to delete at the end.
    if (FVisible) FAdded = Notify(NIM_ADD) || Notify(NIM_MODIFY);
    if (MinimizeToTray) Application.RestoreFromTray();
    return 0;
  }
  return DefaultProc(message, wParam, lParam);
}

}  // namespace zt
