#include "platform/win32/Win32ProfileFile.h"

#include <windows.h>

#include <vector>

#include "bindings/AsciiText.h"
#include "platform/Types.h"

namespace zt {

namespace {

// Values longer than this are not believed; it only keeps a broken profile
// function from growing the buffer without end.
constexpr DWORD MaxValueBuffer = 0x4000000;

class TWin32ProfileFile : public ProfileFile {
 public:
  // forSave: writes go to a copy of the file, made here.
  TWin32ProfileFile(const std::string& path, bool forSave);
  ~TWin32ProfileFile() override;
  TWin32ProfileFile(const TWin32ProfileFile&) = delete;
  TWin32ProfileFile& operator=(const TWin32ProfileFile&) = delete;

  const std::string& FileName() const override { return FPath; }

  int ReadInteger(const std::string& section, const std::string& key, int defaultValue) override;
  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& defaultValue) override;
  std::vector<std::string> ReadKeyNames(const std::string& section) override;
  void WriteInteger(const std::string& section, const std::string& key, int value) override;
  void WriteString(const std::string& section, const std::string& key,
                   const std::string& value) override;
  void Commit() override;

 private:
  [[noreturn]] void Refused() const { throw EAppError("Unable to write to " + FPath); }
  // Makes the profile functions write out (and forget) what they hold.
  void Flush() const { ::WritePrivateProfileStringA(nullptr, nullptr, nullptr, FWorkPath.c_str()); }
  // GetPrivateProfileStringA with a buffer grown until the text fits;
  // listMargin is 2 for a list of names, 1 for a value.
  std::string ReadWhole(const char* section, const char* key, const char* defaultValue,
                        DWORD listMargin) const;

  std::string FPath;
  std::string FWorkPath;  // FPath, or the copy a save writes to
  bool FForSave;
  bool FHasCopy = false;
  bool FWritten = false;
  bool FCommitted = false;
};

TWin32ProfileFile::TWin32ProfileFile(const std::string& path, bool forSave)
    : FPath(path), FWorkPath(forSave ? ProfileSaveCopyPath(path) : path), FForSave(forSave) {
  if (!forSave) return;
  // A copy left by a save that never finished goes first.
  ::DeleteFileA(FWorkPath.c_str());
  if (::GetFileAttributesA(FWorkPath.c_str()) != INVALID_FILE_ATTRIBUTES) Refused();

  const DWORD attributes = ::GetFileAttributesA(FPath.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = ::GetLastError();
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) Refused();
    return;  // a new file: the first write makes the copy
  }
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) Refused();
  // The other keys and sections of the file must survive the save.
  if (!::CopyFileA(FPath.c_str(), FWorkPath.c_str(), FALSE)) Refused();
  FHasCopy = true;
}

TWin32ProfileFile::~TWin32ProfileFile() {
  Flush();
  if (FForSave && !FCommitted) ::DeleteFileA(FWorkPath.c_str());
}

std::string TWin32ProfileFile::ReadWhole(const char* section, const char* key,
                                         const char* defaultValue, DWORD listMargin) const {
  std::vector<char> buffer(2048);
  for (;;) {
    const DWORD size = static_cast<DWORD>(buffer.size());
    const DWORD length = ::GetPrivateProfileStringA(section, key, defaultValue, buffer.data(), size,
                                                    FWorkPath.c_str());
    // A text that filled the buffer may have been cut: ask again with more room.
    if (length + listMargin < size || size >= MaxValueBuffer)
      return std::string(buffer.data(), length < size ? length : size);
    buffer.assign(static_cast<std::size_t>(size) * 2, '\0');
  }
}

std::string TWin32ProfileFile::ReadString(const std::string& section, const std::string& key,
                                          const std::string& defaultValue) {
  return ReadWhole(section.c_str(), key.c_str(), defaultValue.c_str(), 1);
}

int TWin32ProfileFile::ReadInteger(const std::string& section, const std::string& key,
                                   int defaultValue) {
  return StrToIntDef(ReadString(section, key, ""), defaultValue);
}

std::vector<std::string> TWin32ProfileFile::ReadKeyNames(const std::string& section) {
  const std::string list = ReadWhole(section.c_str(), nullptr, "", 2);
  std::vector<std::string> names;
  std::size_t start = 0;
  while (start < list.size()) {
    std::size_t end = list.find('\0', start);
    if (end == std::string::npos) end = list.size();
    if (end > start) names.push_back(list.substr(start, end - start));
    start = end + 1;
  }
  return names;
}

void TWin32ProfileFile::WriteString(const std::string& section, const std::string& key,
                                    const std::string& value) {
  if (!FForSave) Refused();
  if (!::WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), FWorkPath.c_str()))
    Refused();
  FWritten = true;
}

void TWin32ProfileFile::WriteInteger(const std::string& section, const std::string& key,
                                     int value) {
  WriteString(section, key, std::to_string(value));
}

void TWin32ProfileFile::Commit() {
  if (!FForSave || FCommitted) return;
  Flush();
  // Nothing written to a file that was not there: nothing to put in place.
  if (FHasCopy || FWritten) {
    if (!::MoveFileExA(FWorkPath.c_str(), FPath.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
      Refused();
  }
  FCommitted = true;
}

}  // namespace

std::string ProfileSaveCopyPath(const std::string& path) {
  return path + ".tmp";
}

std::unique_ptr<ProfileFile> TWin32ProfileFiles::OpenForLoad(const std::string& path) {
  return std::make_unique<TWin32ProfileFile>(path, false);
}

std::unique_ptr<ProfileFile> TWin32ProfileFiles::OpenForSave(const std::string& path) {
  return std::make_unique<TWin32ProfileFile>(path, true);
}

}  // namespace zt
