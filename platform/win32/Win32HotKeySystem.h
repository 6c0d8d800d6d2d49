#pragma once
// System-wide hotkeys and global atoms over user32/kernel32, and the hidden
// message-only windows that receive WM_HOTKEY for a sink.

#include <windows.h>

#include <map>
#include <memory>

#include "platform/HotKeySystem.h"
#include "platform/win32/Handle.h"

namespace zt {

class TWin32HotKeySystem : public HotKeySystem {
 public:
  TWin32HotKeySystem();
  ~TWin32HotKeySystem() override;
  TWin32HotKeySystem(const TWin32HotKeySystem&) = delete;
  TWin32HotKeySystem& operator=(const TWin32HotKeySystem&) = delete;

  // The window belongs to the calling thread; its messages reach the sink once
  // this returns (creation messages get the default treatment). 0 on failure.
  WindowHandle CreateHotKeyWindow(HotKeyWindowSink& sink) override;
  void DestroyHotKeyWindow(WindowHandle window) override;
  std::intptr_t DefaultWindowProc(WindowHandle window, unsigned message, std::uintptr_t wParam,
                                  std::intptr_t lParam) override;

  AtomId AddGlobalAtom(const std::string& name) override;
  void DeleteGlobalAtom(AtomId atom) override;
  bool RegisterHotKey(WindowHandle window, int id, unsigned modifiers, unsigned vk) override;
  bool UnregisterHotKey(WindowHandle window, int id) override;

 private:
  struct TLink {
    HotKeyWindowSink* Sink;
    bool Ready;
  };
  // The window goes before its link: its last messages still look at the link.
  struct TOwnedWindow {
    std::unique_ptr<TLink> Link;
    TWindowHandle Window;
  };

  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  std::map<HWND, TOwnedWindow> FWindows;
};

}  // namespace zt
