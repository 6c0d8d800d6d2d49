#include <gtest/gtest.h>
#include <windows.h>

#include "platform/win32/Win32Shell.h"
#include "support/bd_TestFolder.h"

namespace zt {
namespace {

using test::BdExeFolder;
using test::BdReadFile;
using test::BdWriteFile;
using test::TBdTestFolder;

TEST(Win32Shell, DirectoryExistsOnlyForFolders) {
  TBdTestFolder folder("shell");
  ASSERT_TRUE(BdWriteFile(folder.Path() + "file.txt", "x"));
  TWin32Shell shell;
  EXPECT_TRUE(shell.DirectoryExists(folder.Path()));
  EXPECT_TRUE(shell.DirectoryExists(folder.Path().substr(0, folder.Path().size() - 1)));
  EXPECT_FALSE(shell.DirectoryExists(folder.Path() + "file.txt"));
  EXPECT_FALSE(shell.DirectoryExists(folder.Path() + "missing\\"));
  EXPECT_FALSE(shell.DirectoryExists("zttest:"));
  EXPECT_FALSE(shell.DirectoryExists(""));
}

// Waits for a record of bd_marker in the file, a few seconds at most.
std::string WaitForRecord(const std::string& path) {
  for (int i = 0; i < 200; ++i) {
    const std::string text = BdReadFile(path);
    if (text.find("end\r\n") != std::string::npos) return text;
    ::Sleep(50);
  }
  return BdReadFile(path);
}

TEST(Win32Shell, OpensAProgramWithTheGivenWorkingFolder) {
  TBdTestFolder work("shell-work");
  TBdTestFolder out("shell-out");
  const std::string marker = out.Path() + "marker.txt";
  ASSERT_TRUE(::SetEnvironmentVariableA("ZT_MARKER_FILE", marker.c_str()));

  TWin32Shell shell;
  const std::string program = BdExeFolder() + "bd_marker.exe";
  shell.OpenFile(0, program, work.Path());
  const std::string record = WaitForRecord(marker);
  ::SetEnvironmentVariableA("ZT_MARKER_FILE", nullptr);

  const std::string folder = work.Path().substr(0, work.Path().size() - 1);
  EXPECT_NE(record.find("cwd=" + folder + "\r\n"), std::string::npos) << record;
  EXPECT_NE(record.find("bd_marker.exe"), std::string::npos) << record;
  EXPECT_NE(record.find("qpc="), std::string::npos) << record;
}

}  // namespace
}  // namespace zt
