#include "platform/win32/Win32Keyboard.h"

#include <windows.h>

#include <climits>
#include <cstring>

namespace zt {

namespace {

HKL ToHkl(LayoutHandle layout) {
  return reinterpret_cast<HKL>(layout);
}
LayoutHandle FromHkl(HKL layout) {
  return reinterpret_cast<LayoutHandle>(layout);
}

constexpr int KEY_NAME_SIZE = 256;
constexpr int LAYOUT_LIST_SIZE = 100;

}  // namespace

unsigned TWin32Keyboard::ScanCode(unsigned vk) {
  return ::MapVirtualKeyA(vk, MAPVK_VK_TO_VSC);
}

unsigned TWin32Keyboard::ScanCodeInLayout(unsigned vk, LayoutHandle layout) {
  return ::MapVirtualKeyExA(vk, MAPVK_VK_TO_VSC, ToHkl(layout));
}

std::string TWin32Keyboard::KeyNameText(long lParam) {
  // One byte more than we offer, so the text always ends in a NUL.
  char buffer[KEY_NAME_SIZE + 1] = {};
  if (::GetKeyNameTextA(lParam, buffer, KEY_NAME_SIZE) <= 0) return std::string();
  return std::string(buffer, ::strnlen(buffer, KEY_NAME_SIZE));
}

LayoutHandle TWin32Keyboard::CurrentLayout() {
  return FromHkl(::GetKeyboardLayout(0));
}

void TWin32Keyboard::ActivateLayout(LayoutHandle layout) {
  ::ActivateKeyboardLayout(ToHkl(layout), 0);
}

std::vector<LayoutHandle> TWin32Keyboard::InstalledLayouts() {
  HKL list[LAYOUT_LIST_SIZE] = {};
  int n = ::GetKeyboardLayoutList(LAYOUT_LIST_SIZE, list);
  if (n < 0) n = 0;
  if (n > LAYOUT_LIST_SIZE) n = LAYOUT_LIST_SIZE;
  std::vector<LayoutHandle> layouts;
  layouts.reserve(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) layouts.push_back(FromHkl(list[i]));
  return layouts;
}

LayoutHandle TWin32Keyboard::LoadLayout(const std::string& id) {
  return FromHkl(::LoadKeyboardLayoutA(id.c_str(), KLF_NOTELLSHELL));
}

void TWin32Keyboard::UnloadLayout(LayoutHandle layout) {
  ::UnloadKeyboardLayout(ToHkl(layout));
}

bool TWin32Keyboard::SameTextIgnoreCase(const std::string& a, const std::string& b) {
  // Empty strings are settled here: not every CompareStringA takes a count of 0.
  if (a.empty() || b.empty()) return a.empty() && b.empty();
  if (a.size() > INT_MAX || b.size() > INT_MAX) return false;
  return ::CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(),
                          static_cast<int>(a.size()), b.data(),
                          static_cast<int>(b.size())) == CSTR_EQUAL;
}

}  // namespace zt
