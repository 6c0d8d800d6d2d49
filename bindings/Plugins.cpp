#include "bindings/Plugins.h"

namespace zt {

namespace {

// Holds a plugin library for one invocation; the library goes when the call
// is over, however it ends.
class TScopedLibrary {
 public:
  TScopedLibrary(PluginLibraries& libraries, const std::string& path)
      : FLibraries(libraries), FHandle(libraries.LoadPluginLibrary(path)) {}
  ~TScopedLibrary() {
    if (FHandle != 0) FLibraries.FreePluginLibrary(FHandle);
  }
  TScopedLibrary(const TScopedLibrary&) = delete;
  TScopedLibrary& operator=(const TScopedLibrary&) = delete;

  LibraryHandle Handle() const { return FHandle; }

 private:
  PluginLibraries& FLibraries;
  LibraryHandle FHandle;
};

}  // namespace

std::vector<std::string> FindPlugins(PluginLibraries& libraries, const std::string& appDir) {
  std::vector<std::string> names;
  for (const FileEntry& entry : libraries.EnumerateFiles(appDir + "plugins\\*.dll")) {
    if (entry.attributes & PluginExcludedAttributes) continue;
    const std::size_t dot = entry.name.rfind('.');
    names.push_back(dot == std::string::npos ? entry.name : entry.name.substr(0, dot));
  }
  return names;
}

bool IsPluginCommand(const std::string& command) {
  return !command.empty() && command[0] == '#';
}

std::string PluginLibraryPath(const std::string& appDir, const std::string& command) {
  return appDir + "plugins\\" + command.substr(command.empty() ? 0 : 1) + ".dll";
}

void RunPlugin(PluginLibraries& libraries, const std::string& appDir, const std::string& command) {
  const std::string path = PluginLibraryPath(appDir, command);
  if (!libraries.FileExists(path)) return;
  TScopedLibrary library(libraries, path);
  if (library.Handle() == 0) return;
  if (const ProcAddress launch = libraries.FindProcedure(library.Handle(), "Launch"))
    libraries.CallProcedure(launch);
}

}  // namespace zt
