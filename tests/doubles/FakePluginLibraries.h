#pragma once
// Folders, files and libraries in memory. Paths are matched ignoring ASCII
// case, as Windows does; the enumeration returns the files of a folder in the
// order they were added, attributes and all, as the system would.

#include <functional>
#include <list>
#include <map>
#include <string>
#include <vector>

#include "platform/PluginLibraries.h"

namespace zt {

class TFakePluginLibraries : public PluginLibraries {
 public:
  struct TFile {
    std::string path;
    std::uint32_t attributes = 0;
    bool isLibrary = true;           // LoadPluginLibrary succeeds
    bool hasLaunch = true;           // exports "Launch"
    std::function<void()> onLaunch;  // runs inside the call
  };

  // Adds a library file (or changes the one at that path). The reference
  // stays valid until the file is removed.
  TFile& AddLibrary(const std::string& path, std::uint32_t attributes = 0);
  // A file that is there but does not load as a library.
  TFile& AddPlainFile(const std::string& path, std::uint32_t attributes = 0);
  void AddFolder(const std::string& path);
  void Remove(const std::string& path);

  std::vector<FileEntry> EnumerateFiles(const std::string& pattern) override;
  bool FileExists(const std::string& path) override;
  LibraryHandle LoadPluginLibrary(const std::string& path) override;
  ProcAddress FindProcedure(LibraryHandle library, const std::string& name) override;
  void CallProcedure(ProcAddress procedure) override;
  void FreePluginLibrary(LibraryHandle library) override;

  // What happened, one line each: "load <path>", "find <name>", "call <path>",
  // "free <path>", "exists <path>", "enumerate <pattern>".
  std::vector<std::string> Log;
  // Libraries loaded and not yet freed.
  int LoadedCount() const { return static_cast<int>(FLoaded.size()); }
  // The paths whose "Launch" ran, in order.
  std::vector<std::string> Launched() const;

 private:
  TFile* Find(const std::string& path);

  std::list<TFile> FFiles;  // in order of adding: the enumeration order
  std::map<LibraryHandle, std::string> FLoaded;
  LibraryHandle FNextHandle = 0x10000;
};

// True when the name matches the pattern ('*' any run, '?' one character),
// ignoring ASCII case.
bool MatchesWildcard(const std::string& pattern, const std::string& name);

}  // namespace zt
