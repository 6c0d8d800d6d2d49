#include "bindings/Dispatch.h"

#include "bindings/Plugins.h"

namespace zt {

TDispatcher::TDispatcher(BindingRows& rows, Shell& shell, PluginLibraries& libraries)
    : FRows(rows), FShell(shell), FLibraries(libraries) {}

std::string CommandFolder(const std::string& command) {
  const std::size_t last = command.find_last_of("\\:");
  return last == std::string::npos ? std::string() : command.substr(0, last + 1);
}

void TDispatcher::HotKeyPressed(THotKeyCode hotKey) {
  const std::string pressed = TextFromHotKey(hotKey, true);
  const int count = FRows.Count();
  // A plugin's own message loop may change the list while it runs: look at
  // the current count as well, so no row past the end is read.
  for (int i = 0; i < count && i < FRows.Count(); ++i) {
    const bool byCode = hotKey != 0 && FRows.Code(i) == hotKey;
    if (byCode || SameTextAscii(FRows.Text(i), pressed)) RunCommand(FRows.Command(i));
  }
}

void TDispatcher::RunCommand(const std::string& command) {
  if (command.empty()) return;
  if (IsPluginCommand(command)) {
    RunPlugin(FLibraries, FAppDir, command);
    return;
  }
  // A URL or protocol command ("zttest:hello") has a "folder part" that is no
  // folder; the shell is given a working folder only when it exists.
  std::string directory = CommandFolder(command);
  if (!directory.empty() && !FShell.DirectoryExists(directory)) directory.clear();
  FShell.OpenFile(FOwner, command, directory);
}

}  // namespace zt
