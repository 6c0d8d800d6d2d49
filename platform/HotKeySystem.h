#pragma once
// System-wide hotkeys and global atoms. The implementation owns the hidden
// window that receives WM_HOTKEY and hands every message of it to the sink.

#include <cstdint>
#include <string>

#include "platform/Types.h"

namespace zt {

constexpr unsigned WM_HOTKEY_MESSAGE = 0x0312;

class HotKeyWindowSink {
public:
  virtual ~HotKeyWindowSink() = default;
  // Every message of the hidden window; returns the message's result.
  virtual std::intptr_t HotKeyWindowProc(unsigned message, std::uintptr_t wParam,
                                         std::intptr_t lParam) = 0;
};

class HotKeySystem {
public:
  virtual ~HotKeySystem() = default;

  virtual WindowHandle CreateHotKeyWindow(HotKeyWindowSink& sink) = 0;
  virtual void DestroyHotKeyWindow(WindowHandle window) = 0;
  virtual std::intptr_t DefaultWindowProc(WindowHandle window, unsigned message,
                                          std::uintptr_t wParam, std::intptr_t lParam) = 0;

  virtual AtomId AddGlobalAtom(const std::string& name) = 0;  // GlobalAddAtomA
  virtual void DeleteGlobalAtom(AtomId atom) = 0;             // GlobalDeleteAtom

  // RegisterHotKey / UnregisterHotKey on the hidden window; true on success.
  virtual bool RegisterHotKey(WindowHandle window, int id, unsigned modifiers, unsigned vk) = 0;
  virtual bool UnregisterHotKey(WindowHandle window, int id) = 0;
};

}  // namespace zt
