#include "app/Registry.h"

#include "platform/Types.h"

namespace zt {

bool TRegistry::OpenKey(const std::string& key, bool canCreate) {
  FCurrentKey.reset();
  HKEY opened = nullptr;
  LONG result;
  if (canCreate)
    result = ::RegCreateKeyExA(FRootKey, key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, FAccess,
                               nullptr, &opened, nullptr);
  else
    result = ::RegOpenKeyExA(FRootKey, key.c_str(), 0, FAccess, &opened);
  if (result != ERROR_SUCCESS) return false;
  FCurrentKey.reset(opened);
  return true;
}

void TRegistry::WriteString(const std::string& name, const std::string& value) {
  if (!FCurrentKey || ::RegSetValueExA(FCurrentKey.get(), name.c_str(), 0, REG_SZ,
                                       reinterpret_cast<const BYTE*>(value.c_str()),
                                       static_cast<DWORD>(value.size() + 1)) != ERROR_SUCCESS)
    throw EAppError("Failed to set data for '" + name + "'");
}

}  // namespace zt
