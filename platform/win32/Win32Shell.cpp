#include "platform/win32/Win32Shell.h"

#include <windows.h>
#include <shellapi.h>

namespace zt {

void TWin32Shell::OpenFile(WindowHandle owner, const std::string& file,
                           const std::string& directory) {
  // Parameters are an empty text, not a null pointer; the result is not used.
  ::ShellExecuteA(reinterpret_cast<HWND>(owner), "open", file.c_str(), "", directory.c_str(),
                  SW_SHOWNORMAL);
}

bool TWin32Shell::DirectoryExists(const std::string& path) {
  if (path.empty()) return false;
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace zt
