#pragma once
// The shell's "open" and the folder test, over shell32 and kernel32.

#include "platform/Shell.h"

namespace zt {

class TWin32Shell : public Shell {
 public:
  void OpenFile(WindowHandle owner, const std::string& file, const std::string& directory) override;
  bool DirectoryExists(const std::string& path) override;
};

}  // namespace zt
