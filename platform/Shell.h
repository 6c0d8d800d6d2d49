#pragma once

#include <string>

#include "platform/Types.h"

namespace zt {

class Shell {
public:
  virtual ~Shell() = default;
  // ShellExecuteA(owner, "open", file, "", directory, SW_SHOWNORMAL); the result is not used.
  virtual void OpenFile(WindowHandle owner, const std::string& file, const std::string& directory) = 0;
  // True when the path names an existing folder.
  virtual bool DirectoryExists(const std::string& path) = 0;
};

}  // namespace zt
