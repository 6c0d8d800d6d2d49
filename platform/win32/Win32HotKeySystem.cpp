#include "platform/win32/Win32HotKeySystem.h"

namespace zt {

namespace {

const char* const HOTKEY_WINDOW_CLASS = "TZentropHotKeyWindow";

HWND ToHwnd(WindowHandle window) {
  return reinterpret_cast<HWND>(window);
}

}  // namespace

TWin32HotKeySystem::TWin32HotKeySystem() {
  const HINSTANCE instance = ::GetModuleHandleA(nullptr);
  WNDCLASSEXA existing = {};
  existing.cbSize = sizeof(existing);
  if (::GetClassInfoExA(instance, HOTKEY_WINDOW_CLASS, &existing)) return;
  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = &TWin32HotKeySystem::WindowProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = HOTKEY_WINDOW_CLASS;
  ::RegisterClassExA(&windowClass);
}

// Windows still standing are destroyed by their owners in FWindows.
TWin32HotKeySystem::~TWin32HotKeySystem() = default;

WindowHandle TWin32HotKeySystem::CreateHotKeyWindow(HotKeyWindowSink& sink) {
  auto link = std::make_unique<TLink>(TLink{&sink, false});
  // Message-only: never shown, not enumerated, and still a target of WM_HOTKEY.
  TWindowHandle window(::CreateWindowExA(0, HOTKEY_WINDOW_CLASS, "", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                         nullptr, ::GetModuleHandleA(nullptr), link.get()));
  if (!window) return 0;
  // The sink knows its window only once we return; until now it got nothing.
  link->Ready = true;
  const HWND handle = window.get();
  FWindows[handle] = TOwnedWindow{std::move(link), std::move(window)};
  return reinterpret_cast<WindowHandle>(handle);
}

void TWin32HotKeySystem::DestroyHotKeyWindow(WindowHandle window) {
  auto it = FWindows.find(ToHwnd(window));
  if (it == FWindows.end()) return;
  it->second.Window.reset();
  FWindows.erase(it);
}

std::intptr_t TWin32HotKeySystem::DefaultWindowProc(WindowHandle window, unsigned message,
                                                    std::uintptr_t wParam, std::intptr_t lParam) {
  return ::DefWindowProcA(ToHwnd(window), message, static_cast<WPARAM>(wParam),
                          static_cast<LPARAM>(lParam));
}

AtomId TWin32HotKeySystem::AddGlobalAtom(const std::string& name) {
  return ::GlobalAddAtomA(name.c_str());
}

void TWin32HotKeySystem::DeleteGlobalAtom(AtomId atom) {
  ::GlobalDeleteAtom(atom);
}

bool TWin32HotKeySystem::RegisterHotKey(WindowHandle window, int id, unsigned modifiers,
                                        unsigned vk) {
  return ::RegisterHotKey(ToHwnd(window), id, modifiers, vk) != FALSE;
}

bool TWin32HotKeySystem::UnregisterHotKey(WindowHandle window, int id) {
  return ::UnregisterHotKey(ToHwnd(window), id) != FALSE;
}

LRESULT CALLBACK TWin32HotKeySystem::WindowProc(HWND window, UINT message, WPARAM wParam,
                                                LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  const auto* link = reinterpret_cast<const TLink*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
  LRESULT result = 0;
  if (link != nullptr && link->Ready) {
    // Nothing may unwind through the system's frames.
    try {
      result = static_cast<LRESULT>(link->Sink->HotKeyWindowProc(
          message, static_cast<std::uintptr_t>(wParam), static_cast<std::intptr_t>(lParam)));
    } catch (...) {
      result = ::DefWindowProcA(window, message, wParam, lParam);
    }
  } else {
    result = ::DefWindowProcA(window, message, wParam, lParam);
  }
  if (message == WM_NCDESTROY) ::SetWindowLongPtrA(window, GWLP_USERDATA, 0);
  return result;
}

}  // namespace zt
