// Started by the program under test: its first act is to read the clock, so
// the driver can time a press from SendInput to here. It leaves
// "<qpc> <pid>" in marker.qpc beside itself, renamed into place in one step.
#include <windows.h>

#include <cstdio>
#include <cstring>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  LARGE_INTEGER now;
  ::QueryPerformanceCounter(&now);

  char folder[MAX_PATH] = "";
  const DWORD length = ::GetModuleFileNameA(nullptr, folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return 1;
  char* slash = std::strrchr(folder, '\\');
  if (slash == nullptr) return 1;
  slash[1] = 0;
  char temp[MAX_PATH + 16];
  char target[MAX_PATH + 16];
  std::snprintf(temp, sizeof temp, "%smarker.tmp", folder);
  std::snprintf(target, sizeof target, "%smarker.qpc", folder);

  char record[64];
  const int size =
      std::snprintf(record, sizeof record, "%lld %lu", static_cast<long long>(now.QuadPart),
                    static_cast<unsigned long>(::GetCurrentProcessId()));
  const HANDLE file =
      ::CreateFileA(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  const BOOL ok = ::WriteFile(file, record, static_cast<DWORD>(size), &written, nullptr);
  ::CloseHandle(file);
  if (!ok || written != static_cast<DWORD>(size)) return 1;
  return ::MoveFileExA(temp, target, MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
