#pragma once
// Small file helpers for the Win32 tests of the settings file, the plugins
// and the shell: a fresh folder per test, removed again with all it holds.
#include <windows.h>

#include <string>

namespace zt::test {

inline void BdRemoveTree(const std::string& folder) {
  WIN32_FIND_DATAA data;
  const HANDLE find = ::FindFirstFileA((folder + "*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = data.cFileName;
      if (name == "." || name == "..") continue;
      const std::string path = folder + name;
      ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        BdRemoveTree(path + "\\");
      else
        ::DeleteFileA(path.c_str());
    } while (::FindNextFileA(find, &data));
    ::FindClose(find);
  }
  ::RemoveDirectoryA(folder.c_str());
}

class TBdTestFolder {
 public:
  explicit TBdTestFolder(const std::string& tag) {
    char temp[MAX_PATH] = "";
    ::GetTempPathA(MAX_PATH, temp);
    static int serial = 0;
    FPath = std::string(temp) + "zt-bd-" + tag + "-" + std::to_string(::GetCurrentProcessId()) +
            "-" + std::to_string(++serial) + "\\";
    BdRemoveTree(FPath);
    ::CreateDirectoryA(FPath.c_str(), nullptr);
  }
  ~TBdTestFolder() { BdRemoveTree(FPath); }
  TBdTestFolder(const TBdTestFolder&) = delete;
  TBdTestFolder& operator=(const TBdTestFolder&) = delete;

  // With a trailing backslash.
  const std::string& Path() const { return FPath; }

 private:
  std::string FPath;
};

inline bool BdExists(const std::string& path) {
  return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline bool BdWriteFile(const std::string& path, const std::string& bytes) {
  const HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok =
      ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  ::CloseHandle(file);
  return ok && written == bytes.size();
}

// The file's bytes; "<missing>" when it cannot be opened.
inline std::string BdReadFile(const std::string& path) {
  const HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "<missing>";
  std::string bytes;
  char buffer[4096];
  DWORD got = 0;
  while (::ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
    bytes.append(buffer, got);
  ::CloseHandle(file);
  return bytes;
}

// The folder of the running test program, with a trailing backslash.
inline std::string BdExeFolder() {
  char path[MAX_PATH] = "";
  const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, length);
  return folder.substr(0, folder.rfind('\\') + 1);
}

}  // namespace zt::test
