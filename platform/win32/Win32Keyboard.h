#pragma once
// Keyboard layouts, scan codes and key names over user32, and the locale's
// case-insensitive comparison over kernel32.

#include "platform/Keyboard.h"

namespace zt {

class TWin32Keyboard : public Keyboard {
 public:
  unsigned ScanCode(unsigned vk) override;
  unsigned ScanCodeInLayout(unsigned vk, LayoutHandle layout) override;
  std::string KeyNameText(long lParam) override;
  LayoutHandle CurrentLayout() override;
  void ActivateLayout(LayoutHandle layout) override;
  std::vector<LayoutHandle> InstalledLayouts() override;
  LayoutHandle LoadLayout(const std::string& id) override;
  void UnloadLayout(LayoutHandle layout) override;
  bool SameTextIgnoreCase(const std::string& a, const std::string& b) override;
};

}  // namespace zt
