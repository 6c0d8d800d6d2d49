#pragma once
// Plugins: libraries in AppDir\plugins\ exporting "Launch".

#include <string>
#include <vector>

#include "platform/PluginLibraries.h"

namespace zt {

// Plugin names in the system's enumeration order (files only: hidden, system,
// volume-label and folder entries are passed over).
std::vector<std::string> FindPlugins(PluginLibraries& libraries, const std::string& appDir);
bool IsPluginCommand(const std::string& command);
// Loads the library named by the command, calls "Launch", releases it again.
void RunPlugin(PluginLibraries& libraries, const std::string& appDir, const std::string& command);

}  // namespace zt
