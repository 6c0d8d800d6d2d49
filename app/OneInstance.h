#pragma once
// oninstMain: one running instance per application title.

#include <windows.h>

#include <string>

#include "platform/win32/Handle.h"

namespace zt {

class TOneInstance {
 public:
  // Decides, while the main form is created, whether another instance with
  // the same title runs; if so, tells the user, brings that instance forward
  // and asks this one to end.
  void Loaded();
  bool IsSecondInstance() const { return FSecondInstance; }

  // The name of the object that marks a running instance of this title:
  // the title's bytes in hex, so that case and any character are kept.
  static std::wstring MarkName(const std::string& title);

 private:
  void ActivatePrevInstance();

  TKernelHandle FMark;
  bool FSecondInstance = false;
};

}  // namespace zt
