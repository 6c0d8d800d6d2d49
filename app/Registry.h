#pragma once
// A small registry object, made for one operation: a root key, one opened key,
// string values.

#include <windows.h>

#include <string>

#include "platform/win32/Handle.h"

namespace zt {

class TRegistry {
 public:
  explicit TRegistry(REGSAM access) : FAccess(access) {}

  void SetRootKey(HKEY root) { FRootKey = root; }
  // Opens the key below the root (creating it, non-volatile, when canCreate);
  // false when it cannot, and then no key is open.
  bool OpenKey(const std::string& key, bool canCreate);
  void CloseKey() { FCurrentKey.reset(); }
  // REG_SZ, the terminating NUL counted in the size. Throws
  // EAppError("Failed to set data for '<name>'") when no key is open or the
  // system refuses.
  void WriteString(const std::string& name, const std::string& value);

 private:
  HKEY FRootKey = HKEY_CURRENT_USER;
  REGSAM FAccess;
  TKeyHandle FCurrentKey;
};

}  // namespace zt
