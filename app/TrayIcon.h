#pragma once
// ticMain: the program's icon in the notification area, with its own hidden
// window for the shell's callbacks and the "TaskbarCreated" broadcast.

#include <windows.h>

#include <functional>
#include <string>

#include "app/WindowBase.h"

namespace zt {

class TTrayIcon : public TWindowBase {
 public:
  TTrayIcon() = default;
  ~TTrayIcon() override;

  // Puts the icon (still without image when none was set) into the tray.
  void SetVisible(bool visible);
  // Takes ownership of the image; the tray entry follows.
  void SetIcon(HICON icon);
  void SetHint(const std::wstring& hint) { FHint = hint; }
  // The menu of the right button; its default item serves the double click.
  void SetPopupMenu(HMENU menu) { FPopupMenu = menu; }
  // MinimizeOnStart: the application starts without showing its main form.
  void Loaded();

  bool MinimizeToTray = true;
  std::function<void(UINT)> OnMenuCommand;  // the chosen item's id
  std::function<void()> OnDblClick;

 protected:
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void EnsureHandle();
  bool Notify(DWORD action);
  void Popup();

  TIconHandle FIcon;
  std::wstring FHint;
  HMENU FPopupMenu = nullptr;  // owned by the form
  bool FVisible = false;
  bool FAdded = false;
  UINT FTaskbarCreated = 0;
};

}  // namespace zt
