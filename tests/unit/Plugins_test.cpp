#include <gtest/gtest.h>

#include "bindings/Plugins.h"
#include "tests/doubles/FakePluginLibraries.h"

namespace zt {
namespace {

const std::string App = "C:\\App\\";
const std::string Dir = App + "plugins\\";

TEST(FindPlugins, ListsFilesByNameCutAtTheLastDotInEnumerationOrder) {
  TFakePluginLibraries libs;
  libs.AddLibrary(Dir + "Zeta.dll");
  libs.AddLibrary(Dir + "a.b.dll");
  libs.AddLibrary(Dir + ".dll");
  libs.AddLibrary(Dir + "UPPER.DLL");
  libs.AddLibrary(Dir + "Hidden.dll", FILE_ATTR_HIDDEN);
  libs.AddLibrary(Dir + "Sys.dll", FILE_ATTR_SYSTEM);
  libs.AddLibrary(Dir + "Label.dll", FILE_ATTR_VOLUME);
  libs.AddFolder(Dir + "Folder.dll");
  libs.AddLibrary(Dir + "Read Only.dll", FILE_ATTR_READONLY | FILE_ATTR_ARCHIVE);
  libs.AddLibrary(Dir + "Alpha.dll");
  libs.AddLibrary(Dir + "readme.txt");
  libs.AddLibrary(App + "Beside.dll");

  EXPECT_EQ(FindPlugins(libs, App),
            (std::vector<std::string>{"Zeta", "a.b", "", "UPPER", "Read Only", "Alpha"}));
  EXPECT_EQ(libs.Log, (std::vector<std::string>{"enumerate C:\\App\\plugins\\*.dll"}));
}

TEST(FindPlugins, NothingWhenTheFolderIsMissingOrHoldsOnlyExcludedEntries) {
  TFakePluginLibraries libs;
  EXPECT_TRUE(FindPlugins(libs, App).empty());
  libs.AddLibrary(Dir + "h.dll", FILE_ATTR_HIDDEN | FILE_ATTR_ARCHIVE);
  libs.AddFolder(Dir + "f.dll");
  EXPECT_TRUE(FindPlugins(libs, App).empty());
}

TEST(IsPluginCommand, OnlyALeadingHashCounts) {
  EXPECT_TRUE(IsPluginCommand("#Calc"));
  EXPECT_TRUE(IsPluginCommand("#"));
  EXPECT_TRUE(IsPluginCommand("#C:\\Tools\\run.exe"));
  EXPECT_FALSE(IsPluginCommand(""));
  EXPECT_FALSE(IsPluginCommand(" #Calc"));
  EXPECT_FALSE(IsPluginCommand("C:\\#Calc"));
}

struct TRunCase {
  const char* command;
  std::vector<std::string> log;
  friend void PrintTo(const TRunCase& c, std::ostream* os) { *os << '"' << c.command << '"'; }
};

class RunPluginCases : public ::testing::TestWithParam<TRunCase> {};

TEST_P(RunPluginCases, LoadsCallsAndReleasesOrStopsEarly) {
  TFakePluginLibraries libs;
  libs.AddLibrary(Dir + "Calc.dll");
  libs.AddLibrary(Dir + "a.b.dll");
  libs.AddLibrary(Dir + ".dll");
  libs.AddLibrary(Dir + "UPPER.DLL");
  libs.AddLibrary(Dir + "Hidden.dll", FILE_ATTR_HIDDEN | FILE_ATTR_SYSTEM);
  libs.AddFolder(Dir + "Folder.dll");
  libs.AddPlainFile(Dir + "Text.dll");
  libs.AddLibrary(Dir + "NoLaunch.dll").hasLaunch = false;

  RunPlugin(libs, App, GetParam().command);

  EXPECT_EQ(libs.Log, GetParam().log);
  EXPECT_EQ(libs.LoadedCount(), 0) << "a library was left loaded";
}

std::vector<std::string> FullRun(const std::string& asked, const std::string& file) {
  return {"exists " + asked, "load " + asked, "find Launch", "call " + file, "free " + file};
}

INSTANTIATE_TEST_SUITE_P(
    Plugins, RunPluginCases,
    ::testing::Values(TRunCase{"#Calc", FullRun(Dir + "Calc.dll", Dir + "Calc.dll")},
                      TRunCase{"#a.b", FullRun(Dir + "a.b.dll", Dir + "a.b.dll")},
                      TRunCase{"#", FullRun(Dir + ".dll", Dir + ".dll")},
                      // The extension is written in lower case whatever the listed file's was.
                      TRunCase{"#UPPER", FullRun(Dir + "UPPER.dll", Dir + "UPPER.DLL")},
                      // Not listed, yet runnable: the existence test ignores those attributes.
                      TRunCase{"#Hidden", FullRun(Dir + "Hidden.dll", Dir + "Hidden.dll")},
                      TRunCase{"#Folder", {"exists " + Dir + "Folder.dll"}},
                      TRunCase{"#Missing", {"exists " + Dir + "Missing.dll"}},
                      TRunCase{"#Text", {"exists " + Dir + "Text.dll", "load " + Dir + "Text.dll"}},
                      TRunCase{"#NoLaunch",
                               {"exists " + Dir + "NoLaunch.dll", "load " + Dir + "NoLaunch.dll",
                                "find Launch", "free " + Dir + "NoLaunch.dll"}},
                      // The name goes into the path unaltered.
                      TRunCase{"# Calc ", {"exists " + Dir + " Calc .dll"}}));

TEST(RunPlugin, EveryCallLoadsAfreshAndTheCommandDecidesNotTheListing) {
  TFakePluginLibraries libs;
  int launches = 0;
  libs.AddLibrary(Dir + "Calc.dll").onLaunch = [&] {
    EXPECT_EQ(libs.LoadedCount(), 1);
    ++launches;
  };
  RunPlugin(libs, App, "#Calc");
  RunPlugin(libs, App, "#Calc");
  EXPECT_EQ(launches, 2);
  const std::vector<std::string> once = FullRun(Dir + "Calc.dll", Dir + "Calc.dll");
  std::vector<std::string> twice = once;
  twice.insert(twice.end(), once.begin(), once.end());
  EXPECT_EQ(libs.Log, twice);

  // Deleted after start: the binding now does nothing.
  libs.Remove(Dir + "Calc.dll");
  libs.Log.clear();
  RunPlugin(libs, App, "#Calc");
  EXPECT_EQ(libs.Log, (std::vector<std::string>{"exists " + Dir + "Calc.dll"}));
}

}  // namespace
}  // namespace zt
