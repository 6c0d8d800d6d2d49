#include "app/WindowBase.h"

#include <exception>

#include "app/Application.h"
#include "platform/Types.h"

namespace zt {

TWindowBase::~TWindowBase() {
  DestroyHandle();
}

void TWindowBase::RegisterWindowClass(const wchar_t* className, UINT style, HBRUSH background,
                                      HICON icon) {
  HINSTANCE instance = ::GetModuleHandleW(nullptr);
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof(existing);
  if (::GetClassInfoExW(instance, className, &existing)) return;

  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.style = style;
  wc.lpfnWndProc = &TWindowBase::StaticWndProc;
  wc.hInstance = instance;
  wc.hIcon = icon;
  wc.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = background;
  wc.lpszClassName = className;
  ::RegisterClassExW(&wc);
}

bool TWindowBase::CreateHandle(DWORD exStyle, const wchar_t* className, const wchar_t* caption,
                               DWORD style, int x, int y, int width, int height, HWND parent,
                               HMENU menu) {
  HWND window = ::CreateWindowExW(exStyle, className, caption, style, x, y, width, height, parent,
                                  menu, ::GetModuleHandleW(nullptr), this);
  // WM_NCCREATE has stored the handle already; a failure after it has cleared it.
  return window != nullptr && FHandle.get() == window;
}

void TWindowBase::DestroyHandle() {
  // WM_NCDESTROY releases the slot; reset() covers a window that died otherwise.
  if (FHandle) ::DestroyWindow(FHandle.get());
  FHandle.release();
}

LRESULT TWindowBase::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  return DefaultProc(message, wParam, lParam);
}

LRESULT TWindowBase::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::DefWindowProcW(FHandle.get(), message, wParam, lParam);
}

LRESULT CALLBACK TWindowBase::StaticWndProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
  TWindowBase* self;
  if (message == WM_NCCREATE) {
    self = static_cast<TWindowBase*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    if (self) *self->FHandle.put() = window;
  } else {
    self = reinterpret_cast<TWindowBase*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  }
  if (!self) return ::DefWindowProcW(window, message, wParam, lParam);

  LRESULT result = 0;
  try {
    result = self->WndProc(message, wParam, lParam);
  } catch (const EAppError& e) {
    Application.ShowException(e.what());
  } catch (const std::exception& e) {
    Application.ShowException(e.what());
  } catch (...) {
    Application.ShowException("Unexpected error");
  }
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    self->FHandle.release();
  }
  return result;
}

}  // namespace zt
