#pragma once
// The base of the program's own windows: one static window procedure finds
// the object (stored at WM_NCCREATE) and forwards to its WndProc; no exception
// leaves the procedure.

#include <windows.h>

#include "platform/win32/Handle.h"

namespace zt {

class TWindowBase {
 public:
  TWindowBase() = default;
  virtual ~TWindowBase();
  TWindowBase(const TWindowBase&) = delete;
  TWindowBase& operator=(const TWindowBase&) = delete;

  HWND Handle() const { return FHandle.get(); }

 protected:
  // Registers the class once per process; the procedure is ours.
  static void RegisterWindowClass(const wchar_t* className, UINT style, HBRUSH background,
                                  HICON icon);
  // Creates the window with this object as its owner of messages; false on failure.
  bool CreateHandle(DWORD exStyle, const wchar_t* className, const wchar_t* caption, DWORD style,
                    int x, int y, int width, int height, HWND parent, HMENU menu = nullptr);
  // Derived classes call this first in their destructor, while their members
  // still exist for the messages that destruction sends.
  void DestroyHandle();

  virtual LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  static LRESULT CALLBACK StaticWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  TWindowHandle FHandle;
};

}  // namespace zt
