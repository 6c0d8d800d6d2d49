#pragma once
// Plugins: libraries in AppDir\plugins\ exporting "Launch".

#include <string>
#include <vector>

#include "platform/PluginLibraries.h"

namespace zt {

// Entries with any of these attributes are not listed (the rule of an
// enumeration with attribute mask 0).
constexpr std::uint32_t PluginExcludedAttributes =
    FILE_ATTR_HIDDEN | FILE_ATTR_SYSTEM | FILE_ATTR_VOLUME | FILE_ATTR_DIRECTORY;

// Plugin names in the system's enumeration order: each file name cut at its
// last ".", not sorted, duplicates kept.
std::vector<std::string> FindPlugins(PluginLibraries& libraries, const std::string& appDir);
// True when the command's first character is "#".
bool IsPluginCommand(const std::string& command);
// AppDir + "plugins\" + name + ".dll" for the name after the "#".
std::string PluginLibraryPath(const std::string& appDir, const std::string& command);
// Loads the library named by the command, calls "Launch", releases it again.
// Every call goes the whole way; nothing is kept between calls. A missing
// file, a file that does not load, or a library without "Launch" does nothing
// (a loaded library is released again).
void RunPlugin(PluginLibraries& libraries, const std::string& appDir, const std::string& command);

}  // namespace zt
