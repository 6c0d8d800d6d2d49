#include "tests/doubles/FakePluginLibraries.h"

#include "bindings/AsciiText.h"

namespace zt {

namespace {

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string NameOf(const std::string& path) {
  const std::size_t slash = path.rfind('\\');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Procedures are the library handle plus one, so a call can name its library.
constexpr ProcAddress LaunchOffset = 1;

}  // namespace

bool MatchesWildcard(const std::string& pattern, const std::string& name) {
  if (pattern.empty()) return name.empty();
  if (pattern[0] == '*') {
    for (std::size_t skip = 0; skip <= name.size(); ++skip)
      if (MatchesWildcard(pattern.substr(1), name.substr(skip))) return true;
    return false;
  }
  if (name.empty()) return false;
  if (pattern[0] != '?' && AsciiUpper(pattern.substr(0, 1)) != AsciiUpper(name.substr(0, 1)))
    return false;
  return MatchesWildcard(pattern.substr(1), name.substr(1));
}

TFakePluginLibraries::TFile* TFakePluginLibraries::Find(const std::string& path) {
  for (TFile& file : FFiles)
    if (SameTextAscii(file.path, path)) return &file;
  return nullptr;
}

TFakePluginLibraries::TFile& TFakePluginLibraries::AddLibrary(const std::string& path,
                                                              std::uint32_t attributes) {
  TFile* file = Find(path);
  if (!file) {
    file = &FFiles.emplace_back();
    file->path = path;
  }
  file->attributes = attributes;
  file->isLibrary = true;
  return *file;
}

TFakePluginLibraries::TFile& TFakePluginLibraries::AddPlainFile(const std::string& path,
                                                                std::uint32_t attributes) {
  TFile& file = AddLibrary(path, attributes);
  file.isLibrary = false;
  file.hasLaunch = false;
  return file;
}

void TFakePluginLibraries::AddFolder(const std::string& path) {
  TFile& folder = AddPlainFile(path, FILE_ATTR_DIRECTORY);
  folder.isLibrary = false;
}

void TFakePluginLibraries::Remove(const std::string& path) {
  std::erase_if(FFiles, [&](const TFile& file) { return SameTextAscii(file.path, path); });
}

std::vector<FileEntry> TFakePluginLibraries::EnumerateFiles(const std::string& pattern) {
  Log.push_back("enumerate " + pattern);
  const std::string folder = FolderOf(pattern);
  const std::string mask = NameOf(pattern);
  std::vector<FileEntry> entries;
  for (const TFile& file : FFiles)
    if (SameTextAscii(FolderOf(file.path), folder) && MatchesWildcard(mask, NameOf(file.path)))
      entries.push_back(FileEntry{NameOf(file.path), file.attributes});
  return entries;
}

bool TFakePluginLibraries::FileExists(const std::string& path) {
  Log.push_back("exists " + path);
  const TFile* file = Find(path);
  return file && !(file->attributes & FILE_ATTR_DIRECTORY);
}

LibraryHandle TFakePluginLibraries::LoadPluginLibrary(const std::string& path) {
  Log.push_back("load " + path);
  const TFile* file = Find(path);
  if (!file || !file->isLibrary) return 0;
  const LibraryHandle handle = FNextHandle;
  FNextHandle += 0x10000;
  FLoaded[handle] = file->path;
  return handle;
}

ProcAddress TFakePluginLibraries::FindProcedure(LibraryHandle library, const std::string& name) {
  Log.push_back("find " + name);
  const auto loaded = FLoaded.find(library);
  if (loaded == FLoaded.end() || name != "Launch") return 0;
  const TFile* file = Find(loaded->second);
  return file && file->hasLaunch ? library + LaunchOffset : 0;
}

void TFakePluginLibraries::CallProcedure(ProcAddress procedure) {
  const auto loaded = FLoaded.find(procedure - LaunchOffset);
  if (loaded == FLoaded.end()) {
    Log.push_back("call of a procedure whose library is not loaded");
    return;
  }
  const std::string path = loaded->second;
  Log.push_back("call " + path);
  // A copy: the action may change the files, and with them this one.
  std::function<void()> action;
  if (TFile* file = Find(path)) action = file->onLaunch;
  if (action) action();
}

void TFakePluginLibraries::FreePluginLibrary(LibraryHandle library) {
  const auto loaded = FLoaded.find(library);
  Log.push_back("free " + (loaded == FLoaded.end() ? std::string("<unknown>") : loaded->second));
  if (loaded != FLoaded.end()) FLoaded.erase(loaded);
}

std::vector<std::string> TFakePluginLibraries::Launched() const {
  std::vector<std::string> paths;
  for (const std::string& line : Log)
    if (line.rfind("call ", 0) == 0) paths.push_back(line.substr(5));
  return paths;
}

}  // namespace zt
