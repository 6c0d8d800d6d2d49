#pragma once
// Folder enumeration and plugin libraries over kernel32.

#include "platform/PluginLibraries.h"

namespace zt {

class TWin32PluginLibraries : public PluginLibraries {
 public:
  std::vector<FileEntry> EnumerateFiles(const std::string& pattern) override;
  // A path with "*" or "?" names no file, whatever it would match.
  bool FileExists(const std::string& path) override;
  LibraryHandle LoadPluginLibrary(const std::string& path) override;
  ProcAddress FindProcedure(LibraryHandle library, const std::string& name) override;
  // A procedure without parameters: nothing is passed, so nothing is left on
  // the stack for either side to clean up, whichever convention it was built with.
  void CallProcedure(ProcAddress procedure) override;
  void FreePluginLibrary(LibraryHandle library) override;
};

}  // namespace zt
