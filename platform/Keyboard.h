#pragma once
// The keyboard services the hotkey text module needs: scan codes, key names
// and the calling thread's keyboard layout.

#include <string>
#include <vector>

#include "platform/Types.h"

namespace zt {

class Keyboard {
public:
  virtual ~Keyboard() = default;

  // MapVirtualKeyA(vk, 0): scan code under the thread's current layout, 0 when none.
  virtual unsigned ScanCode(unsigned vk) = 0;
  // MapVirtualKeyExA(vk, 0, layout): scan code under the given layout, 0 when none.
  virtual unsigned ScanCodeInLayout(unsigned vk, LayoutHandle layout) = 0;
  // GetKeyNameTextA(lParam, buf, 256): the text up to the first NUL (all 256
  // bytes when there is none); empty when the system gives no name.
  virtual std::string KeyNameText(long lParam) = 0;

  virtual LayoutHandle CurrentLayout() = 0;                  // GetKeyboardLayout(0)
  virtual void ActivateLayout(LayoutHandle layout) = 0;      // ActivateKeyboardLayout(layout, 0)
  virtual std::vector<LayoutHandle> InstalledLayouts() = 0;  // GetKeyboardLayoutList(100, ...)
  virtual LayoutHandle LoadLayout(const std::string& id) = 0;  // LoadKeyboardLayoutA(id, KLF_NOTELLSHELL)
  virtual void UnloadLayout(LayoutHandle layout) = 0;        // UnloadKeyboardLayout

  // CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, ...) == CSTR_EQUAL.
  virtual bool SameTextIgnoreCase(const std::string& a, const std::string& b) = 0;
};

}  // namespace zt
