#pragma once
// What a registered hotkey sets off.

#include <string>

#include "bindings/Bindings.h"
#include "platform/PluginLibraries.h"
#include "platform/Shell.h"

namespace zt {

class TDispatcher {
 public:
  TDispatcher(BindingRows& rows, Shell& shell, PluginLibraries& libraries);

  void SetAppDir(const std::string& appDir) { FAppDir = appDir; }
  void SetOwnerWindow(WindowHandle owner) { FOwner = owner; }

  // Runs, in list order, the command of every binding whose text equals the
  // canonical text of the pressed code (ASCII case aside) or whose row holds
  // that code. The count is taken once; rows that went while a plugin ran
  // are not read.
  void HotKeyPressed(THotKeyCode hotKey);
  // A plugin command goes to RunPlugin, an empty one does nothing, anything
  // else to the shell's "open", whole, with its folder as working folder.
  void RunCommand(const std::string& command);

 private:
  BindingRows& FRows;
  Shell& FShell;
  PluginLibraries& FLibraries;
  std::string FAppDir;
  WindowHandle FOwner = 0;
};

// The command up to and including its last "\" or ":"; "" when it has neither.
std::string CommandFolder(const std::string& command);

}  // namespace zt
