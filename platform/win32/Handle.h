#pragma once
// One small move-only owner for every kind of Win32 handle the program holds.

#include <windows.h>

#include <utility>

namespace zt {

template <typename T, auto Close, T Invalid = T{}>
class TUniqueHandle {
public:
  TUniqueHandle() = default;
  explicit TUniqueHandle(T handle) : FHandle(handle) {}
  ~TUniqueHandle() { reset(); }

  TUniqueHandle(const TUniqueHandle&) = delete;
  TUniqueHandle& operator=(const TUniqueHandle&) = delete;
  TUniqueHandle(TUniqueHandle&& other) noexcept : FHandle(other.release()) {}
  TUniqueHandle& operator=(TUniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }

  T get() const { return FHandle; }
  explicit operator bool() const { return FHandle != Invalid; }

  T release() { return std::exchange(FHandle, Invalid); }
  void reset(T handle = Invalid) {
    T old = std::exchange(FHandle, handle);
    if (old != Invalid) Close(old);
  }
  // Frees the current handle and hands out the slot for a function that fills it.
  T* put() {
    reset();
    return &FHandle;
  }

private:
  T FHandle = Invalid;
};

namespace detail {
inline void CloseFind(HANDLE h) { ::FindClose(h); }
inline void CloseKey(HKEY h) { ::RegCloseKey(h); }
inline void CloseModule(HMODULE h) { ::FreeLibrary(h); }
inline void CloseIcon(HICON h) { ::DestroyIcon(h); }
inline void CloseFont(HFONT h) { ::DeleteObject(h); }
inline void CloseGdi(HGDIOBJ h) { ::DeleteObject(h); }
inline void CloseWindow(HWND h) { ::DestroyWindow(h); }
inline void CloseAtom(ATOM a) { ::GlobalDeleteAtom(a); }
inline void CloseKernel(HANDLE h) { ::CloseHandle(h); }
}  // namespace detail

// INVALID_HANDLE_VALUE is not a constant expression, so find handles and
// files keep a small wrapper of their own.
struct TFindHandle {
  HANDLE h = INVALID_HANDLE_VALUE;
  TFindHandle() = default;
  explicit TFindHandle(HANDLE handle) : h(handle) {}
  ~TFindHandle() { if (h != INVALID_HANDLE_VALUE) ::FindClose(h); }
  TFindHandle(const TFindHandle&) = delete;
  TFindHandle& operator=(const TFindHandle&) = delete;
  HANDLE get() const { return h; }
  explicit operator bool() const { return h != INVALID_HANDLE_VALUE; }
};

using TKeyHandle = TUniqueHandle<HKEY, detail::CloseKey>;
using TModuleHandle = TUniqueHandle<HMODULE, detail::CloseModule>;
using TIconHandle = TUniqueHandle<HICON, detail::CloseIcon>;
using TFontHandle = TUniqueHandle<HFONT, detail::CloseFont>;
using TGdiHandle = TUniqueHandle<HGDIOBJ, detail::CloseGdi>;
using TWindowHandle = TUniqueHandle<HWND, detail::CloseWindow>;
using TAtomHandle = TUniqueHandle<ATOM, detail::CloseAtom>;
using TKernelHandle = TUniqueHandle<HANDLE, detail::CloseKernel>;

}  // namespace zt
