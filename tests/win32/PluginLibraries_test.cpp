#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

#include "bindings/Plugins.h"
#include "platform/win32/Win32PluginLibraries.h"
#include "support/bd_TestFolder.h"

namespace zt {
namespace {

using test::BdExeFolder;
using test::BdExists;
using test::BdWriteFile;
using test::TBdTestFolder;

std::string PluginLog() {
  char log[8192] = "";
  ::GetEnvironmentVariableA("ZT_BD_PLUGIN_LOG", log, sizeof log);
  return log;
}

// An AppDir whose plugins\ folder holds copies of the test libraries under
// the names the tests need.
class PluginLibrariesTest : public ::testing::Test {
 protected:
  TBdTestFolder App{"plugins"};
  const std::string Dir = App.Path() + "plugins\\";
  TWin32PluginLibraries Libraries;

  void SetUp() override {
    ASSERT_TRUE(::CreateDirectoryA(Dir.c_str(), nullptr));
    ::SetEnvironmentVariableA("ZT_BD_PLUGIN_LOG", "");
  }

  void Place(const std::string& fixture, const std::string& name, DWORD attributes = 0) {
    const std::string path = Dir + name;
    ASSERT_TRUE(::CopyFileA((BdExeFolder() + fixture).c_str(), path.c_str(), FALSE))
        << fixture << " -> " << path;
    if (attributes) {
      ASSERT_TRUE(::SetFileAttributesA(path.c_str(), attributes));
    }
  }
};

TEST_F(PluginLibrariesTest, ListsPlainFilesOnlyCutAtTheLastDot) {
  Place("bd_launch.dll", "Alpha.dll");
  Place("bd_launch.dll", "a.b.dll");
  Place("bd_launch.dll", "UPPER.DLL");
  Place("bd_launch.dll", "Read Only.dll", FILE_ATTRIBUTE_READONLY);
  Place("bd_launch.dll", "Archived.dll", FILE_ATTRIBUTE_ARCHIVE);
  Place("bd_launch.dll", "Hidden.dll", FILE_ATTRIBUTE_HIDDEN);
  Place("bd_launch.dll", "System.dll", FILE_ATTRIBUTE_SYSTEM);
  Place("bd_launch.dll", "readme.txt");
  ASSERT_TRUE(::CreateDirectoryA((Dir + "Folder.dll").c_str(), nullptr));

  std::vector<std::string> names = FindPlugins(Libraries, App.Path());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"Alpha", "Archived", "Read Only", "UPPER", "a.b"}));

  // The platform reports the attributes the rule needs.
  bool sawHidden = false, sawFolder = false;
  for (const FileEntry& entry : Libraries.EnumerateFiles(Dir + "*.dll")) {
    if (entry.name == "Hidden.dll") sawHidden = entry.attributes & FILE_ATTR_HIDDEN;
    if (entry.name == "Folder.dll") sawFolder = entry.attributes & FILE_ATTR_DIRECTORY;
  }
  EXPECT_TRUE(sawHidden);
  EXPECT_TRUE(sawFolder);
}

TEST_F(PluginLibrariesTest, NothingIsListedWithoutAPluginsFolder) {
  ASSERT_TRUE(::RemoveDirectoryA(Dir.c_str()));
  EXPECT_TRUE(FindPlugins(Libraries, App.Path()).empty());
}

TEST_F(PluginLibrariesTest, EachRunLoadsCallsAndFreesTheLibrary) {
  Place("bd_launch.dll", "Alpha.dll");
  RunPlugin(Libraries, App.Path(), "#Alpha");
  RunPlugin(Libraries, App.Path(), "#Alpha");
  EXPECT_EQ(PluginLog(),
            "attach Alpha.dll;launch Alpha.dll;detach Alpha.dll;"
            "attach Alpha.dll;launch Alpha.dll;detach Alpha.dll;");
  EXPECT_EQ(::GetModuleHandleA((Dir + "Alpha.dll").c_str()), nullptr);
}

TEST_F(PluginLibrariesTest, NamesRunTheFileTheyStandFor) {
  Place("bd_launch.dll", "a.b.dll");
  Place("bd_launch.dll", ".dll");
  Place("bd_launch.dll", "UPPER.DLL");
  Place("bd_launch.dll", "Hidden.dll", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  const struct {
    const char* command;
    const char* file;  // as the library reports its own name
  } cases[] = {
      {"#a.b", "a.b.dll"}, {"#", ".dll"}, {"#UPPER", "UPPER.dll"}, {"#Hidden", "Hidden.dll"}};
  for (const auto& c : cases) {
    ::SetEnvironmentVariableA("ZT_BD_PLUGIN_LOG", "");
    RunPlugin(Libraries, App.Path(), c.command);
    // Case aside: the system may report the name as asked or as on disk.
    std::string log = PluginLog(), expected = std::string("launch ") + c.file + ";";
    std::transform(log.begin(), log.end(), log.begin(), ::tolower);
    std::transform(expected.begin(), expected.end(), expected.begin(), ::tolower);
    EXPECT_NE(log.find(expected), std::string::npos) << c.command << ": " << PluginLog();
    EXPECT_NE(log.find("detach"), std::string::npos) << c.command << ": " << PluginLog();
  }
}

TEST_F(PluginLibrariesTest, WhatIsNoRunnablePluginDoesNothingAndIsReleased) {
  Place("bd_nolaunch.dll", "NoLaunch.dll");
  ASSERT_TRUE(BdWriteFile(Dir + "Text.dll", "this is not a library"));
  ASSERT_TRUE(::CreateDirectoryA((Dir + "Folder.dll").c_str(), nullptr));

  for (const char* command : {"#NoLaunch", "#Text", "#Folder", "#Missing", "#*", "#Tex?"})
    RunPlugin(Libraries, App.Path(), command);
  EXPECT_EQ(PluginLog(), "attach NoLaunch.dll;detach NoLaunch.dll;");
  EXPECT_EQ(::GetModuleHandleA((Dir + "NoLaunch.dll").c_str()), nullptr);
}

TEST_F(PluginLibrariesTest, FileExistsMeansAFileHiddenOrNot) {
  Place("bd_launch.dll", "Alpha.dll");
  Place("bd_launch.dll", "Hidden.dll", FILE_ATTRIBUTE_HIDDEN);
  ASSERT_TRUE(::CreateDirectoryA((Dir + "Folder.dll").c_str(), nullptr));
  EXPECT_TRUE(Libraries.FileExists(Dir + "Alpha.dll"));
  EXPECT_TRUE(Libraries.FileExists(Dir + "alpha.DLL"));
  EXPECT_TRUE(Libraries.FileExists(Dir + "Hidden.dll"));
  EXPECT_FALSE(Libraries.FileExists(Dir + "Folder.dll"));
  EXPECT_FALSE(Libraries.FileExists(Dir + "Missing.dll"));
  EXPECT_FALSE(Libraries.FileExists(Dir + "*.dll"));
  EXPECT_FALSE(Libraries.FileExists(App.Path() + "nowhere\\Alpha.dll"));
}

TEST(ShippedPlugin, LockExportsAnUndecoratedLaunch) {
  const std::string path = BdExeFolder() + "..\\plugins\\Lock.dll";
  if (!BdExists(path)) GTEST_SKIP() << "build the Lock target first: " << path;
  TWin32PluginLibraries libraries;
  const LibraryHandle library = libraries.LoadPluginLibrary(path);
  ASSERT_NE(library, 0u);
  EXPECT_NE(libraries.FindProcedure(library, "Launch"), 0u);
  EXPECT_EQ(libraries.FindProcedure(library, "Launch@0"), 0u);
  // Not called: locking the session is no part of a test run.
  libraries.FreePluginLibrary(library);
}

}  // namespace
}  // namespace zt
