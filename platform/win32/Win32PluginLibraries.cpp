#include "platform/win32/Win32PluginLibraries.h"

#include <windows.h>

#include "platform/win32/Handle.h"

namespace zt {

std::vector<FileEntry> TWin32PluginLibraries::EnumerateFiles(const std::string& pattern) {
  std::vector<FileEntry> entries;
  WIN32_FIND_DATAA data;
  const TFindHandle find(::FindFirstFileA(pattern.c_str(), &data));
  if (!find) return entries;
  do {
    entries.push_back(FileEntry{data.cFileName, data.dwFileAttributes});
  } while (::FindNextFileA(find.get(), &data));
  return entries;
}

bool TWin32PluginLibraries::FileExists(const std::string& path) {
  if (path.find_first_of("*?") != std::string::npos) return false;
  WIN32_FIND_DATAA data;
  const TFindHandle find(::FindFirstFileA(path.c_str(), &data));
  return find && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

LibraryHandle TWin32PluginLibraries::LoadPluginLibrary(const std::string& path) {
  return reinterpret_cast<LibraryHandle>(::LoadLibraryA(path.c_str()));
}

ProcAddress TWin32PluginLibraries::FindProcedure(LibraryHandle library, const std::string& name) {
  return reinterpret_cast<ProcAddress>(
      ::GetProcAddress(reinterpret_cast<HMODULE>(library), name.c_str()));
}

void TWin32PluginLibraries::CallProcedure(ProcAddress procedure) {
  using TLaunch = void (*)();
  reinterpret_cast<TLaunch>(procedure)();
}

void TWin32PluginLibraries::FreePluginLibrary(LibraryHandle library) {
  ::FreeLibrary(reinterpret_cast<HMODULE>(library));
}

}  // namespace zt
