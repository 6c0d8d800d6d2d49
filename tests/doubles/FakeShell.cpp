#include "tests/doubles/FakeShell.h"

#include "bindings/AsciiText.h"

namespace zt {

namespace {

std::string DirectoryKey(std::string path) {
  if (path.size() > 1 && path.back() == '\\') path.pop_back();
  return AsciiUpper(path);
}

}  // namespace

void TFakeShell::AddDirectory(const std::string& path) {
  FDirectories.insert(DirectoryKey(path));
}

void TFakeShell::OpenFile(WindowHandle owner, const std::string& file,
                          const std::string& directory) {
  Opened.push_back(TOpen{owner, file, directory});
}

bool TFakeShell::DirectoryExists(const std::string& path) {
  DirectoryQueries.push_back(path);
  return !path.empty() && FDirectories.count(DirectoryKey(path)) != 0;
}

}  // namespace zt
