#pragma once
// Plain integer handles and the one error type that cross the seam between the
// portable core and the operating system.

#include <cstdint>
#include <stdexcept>
#include <string>

namespace zt {

using LayoutHandle = std::uintptr_t;   // HKL
using WindowHandle = std::uintptr_t;   // HWND
using LibraryHandle = std::uintptr_t;  // HMODULE
using ProcAddress = std::uintptr_t;    // FARPROC
using AtomId = std::uint16_t;          // ATOM

// Raised by the settings-file and registry layers; the text is shown to the
// user as it stands in the application's standard error box.
class EAppError : public std::runtime_error {
public:
  explicit EAppError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace zt
