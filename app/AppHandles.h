#pragma once
// Handle kinds of the shell beyond those of platform/win32/Handle.h.

#include <windows.h>
#include <commctrl.h>
#include <uxtheme.h>

#include "platform/win32/Handle.h"

namespace zt {

namespace detail {
inline void CloseMenu(HMENU h) {
  ::DestroyMenu(h);
}
inline void CloseImageList(HIMAGELIST h) {
  ::ImageList_Destroy(h);
}
inline void CloseTheme(HTHEME h) {
  ::CloseThemeData(h);
}
inline void CloseDc(HDC h) {
  ::DeleteDC(h);
}
}  // namespace detail

using TMenuHandle = TUniqueHandle<HMENU, detail::CloseMenu>;
using TImageListHandle = TUniqueHandle<HIMAGELIST, detail::CloseImageList>;
using TThemeHandle = TUniqueHandle<HTHEME, detail::CloseTheme>;
using TDcHandle = TUniqueHandle<HDC, detail::CloseDc>;

}  // namespace zt
