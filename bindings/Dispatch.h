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

  // Runs the command of every binding that the pressed code stands for, in list order.
  void HotKeyPressed(THotKeyCode hotKey);
  void RunCommand(const std::string& command);

private:
  BindingRows& FRows;
  Shell& FShell;
  PluginLibraries& FLibraries;
  std::string FAppDir;
  WindowHandle FOwner = 0;
};

}  // namespace zt
