#pragma once
// Folder enumeration and dynamic libraries, as the plugins use them.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Types.h"

namespace zt {

struct FileEntry {
  std::string name;          // long file name, without folder
  std::uint32_t attributes;  // FILE_ATTRIBUTE_* bits as the system reports them
};

constexpr std::uint32_t FILE_ATTR_READONLY = 0x01;
constexpr std::uint32_t FILE_ATTR_HIDDEN = 0x02;
constexpr std::uint32_t FILE_ATTR_SYSTEM = 0x04;
constexpr std::uint32_t FILE_ATTR_VOLUME = 0x08;
constexpr std::uint32_t FILE_ATTR_DIRECTORY = 0x10;
constexpr std::uint32_t FILE_ATTR_ARCHIVE = 0x20;

class PluginLibraries {
public:
  virtual ~PluginLibraries() = default;
  // Every entry that FindFirstFileA / FindNextFileA return for the pattern, in
  // the system's order, unfiltered; empty when nothing matches.
  virtual std::vector<FileEntry> EnumerateFiles(const std::string& pattern) = 0;
  // True when an entry with this path exists and is not a folder.
  virtual bool FileExists(const std::string& path) = 0;
  virtual LibraryHandle LoadPluginLibrary(const std::string& path) = 0;  // LoadLibraryA; 0 on failure
  virtual ProcAddress FindProcedure(LibraryHandle library, const std::string& name) = 0;  // GetProcAddress; 0 when missing
  virtual void CallProcedure(ProcAddress procedure) = 0;  // calls a procedure without parameters
  virtual void FreePluginLibrary(LibraryHandle library) = 0;  // FreeLibrary
};

}  // namespace zt
