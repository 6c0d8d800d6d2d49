#pragma once
// Records what would go to the shell; folders exist when the test says so.

#include <set>
#include <string>
#include <vector>

#include "platform/Shell.h"

namespace zt {

class TFakeShell : public Shell {
 public:
  struct TOpen {
    WindowHandle Owner;
    std::string File;
    std::string Directory;
    bool operator==(const TOpen&) const = default;
  };

  // Folders that exist, with or without a trailing backslash; ASCII case is ignored.
  void AddDirectory(const std::string& path);

  void OpenFile(WindowHandle owner, const std::string& file, const std::string& directory) override;
  bool DirectoryExists(const std::string& path) override;

  std::vector<TOpen> Opened;
  std::vector<std::string> DirectoryQueries;

 private:
  std::set<std::string> FDirectories;  // upper-cased, without a trailing backslash
};

}  // namespace zt
