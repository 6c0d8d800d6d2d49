// The real ztrop32.exe in a fresh folder, driven from outside: bindings from
// the settings file and from the settings window fire on a real key press
// (SendInput), start the program with its own folder and no arguments, call
// the plugin between its load and its unload, and reach the settings file
// by every way the program keeps them.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/ControlIds.h"
#include "support/E2E.h"
#include "support/ProgramDriver.h"

namespace zt::test {
namespace {

// What follows the program's own name on its command line.
std::string ArgumentsOf(const std::string& commandLine) {
  size_t end = commandLine[0] == '"' ? commandLine.find('"', 1) : commandLine.find(' ');
  std::string rest = end == std::string::npos ? "" : commandLine.substr(end + 1);
  while (!rest.empty() && rest.front() == ' ') rest.erase(0, 1);
  return rest;
}

// A program folder with the marker program in a subfolder whose name has a
// blank, a life-logging plugin under each given name, and the marker's and
// the plugins' logs.
class EndToEnd : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { FTray = new TTrayKeeper; }
  static void TearDownTestSuite() {
    delete FTray;
    FTray = nullptr;
  }

  EndToEnd() : FMarker("ZT_MARKER_FILE", FProgram.Folder() + "marker.txt") {
    ::CreateDirectoryA(ToolsFolder().c_str(), nullptr);
    ::CopyFileA((TestsFolder() + "bd_marker.exe").c_str(), MarkerPath().c_str(), FALSE);
  }

  std::string ToolsFolder() const { return FProgram.Folder() + "my tools\\"; }
  std::string MarkerPath() const { return ToolsFolder() + "bd_marker.exe"; }
  void AddPlugins(std::initializer_list<const char*> names) {
    for (const char* name : names)
      FProgram.AddPlugin(TestsFolder() + "e2e_plugin.dll", std::string(name) + ".dll");
  }
  std::vector<TMarkerRecord> MarkerRuns() const {
    return ReadMarkerRecords(FProgram.Folder() + "marker.txt");
  }
  bool WaitForMarkerRuns(size_t count) const {
    return WaitUntil([&] { return MarkerRuns().size() >= count; }, std::chrono::seconds(15));
  }
  // Presses the keys and waits until the plugin has been called count times.
  bool PressAndWait(std::initializer_list<WORD> keys, const std::string& plugin, int count) {
    return PressKeys(keys) && FLog.WaitForCount("launch " + plugin, count);
  }

  static TTrayKeeper* FTray;
  TE2ELog FLog;
  TProgramDriver FProgram;
  TScopedEnvironment FMarker;
};

TTrayKeeper* EndToEnd::FTray = nullptr;

TEST_F(EndToEnd, SettingsFileBindingsStartTheProgramAndCallThePlugin) {
  AddPlugins({"Logger"});
  FProgram.WriteSettings(
      SettingsText({{"Ctrl+Shift+O", MarkerPath()}, {"Ctrl+Shift+P", "#Logger"}}));
  ASSERT_TRUE(FProgram.Start());

  ASSERT_TRUE(PressKeys({VK_CONTROL, VK_SHIFT, 'O'}));
  ASSERT_TRUE(WaitForMarkerRuns(1));
  const TMarkerRecord run = MarkerRuns().front();
  EXPECT_EQ(Lower(ToolsFolder()), Lower(run.Cwd + "\\"));
  EXPECT_EQ("", ArgumentsOf(run.CommandLine)) << run.CommandLine;
  EXPECT_NE(std::string::npos, Lower(run.CommandLine).find(Lower(MarkerPath())));

  ASSERT_TRUE(PressAndWait({VK_CONTROL, VK_SHIFT, 'P'}, "logger.dll", 1));
  EXPECT_TRUE(FLog.WaitForCount("detach logger.dll", 1));
  EXPECT_EQ(
      (std::vector<std::string>{"attach logger.dll", "launch logger.dll", "detach logger.dll"}),
      FLog.Events());
  EXPECT_EQ(1u, MarkerRuns().size());
  EXPECT_TRUE(FProgram.Close());
}

// Wine names Ctrl "Control", so not even "Ctrl+Alt+I" is the canonical text
// there; every text that parses fires by its code.
TEST_F(EndToEnd, TextsThatAreNotCanonicalFireByTheirCode) {
  const struct {
    const char* text;
    std::vector<WORD> keys;
  } cases[] = {
      {"Alt+Ctrl+E", {VK_CONTROL, VK_MENU, 'E'}},    {"Ctrl + Alt + R", {VK_CONTROL, VK_MENU, 'R'}},
      {"ctrl+alt+t", {VK_CONTROL, VK_MENU, 'T'}},    {"Shift+Ctrl+Y", {VK_CONTROL, VK_SHIFT, 'Y'}},
      {"Control+Alt+U", {VK_CONTROL, VK_MENU, 'U'}}, {"Ctrl+Alt+I", {VK_CONTROL, VK_MENU, 'I'}},
  };
  std::vector<std::pair<std::string, std::string>> bindings;
  for (const auto& c : cases) {
    const std::string plugin = "P" + std::to_string(bindings.size() + 1);
    AddPlugins({plugin.c_str()});
    bindings.push_back({c.text, "#" + plugin});
  }
  FProgram.WriteSettings(SettingsText(bindings));
  ASSERT_TRUE(FProgram.Start());
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(cases[i].text);
    const std::string plugin = Lower(bindings[i].second.substr(1)) + ".dll";
    EXPECT_TRUE(PressKeys(cases[i].keys));
    EXPECT_TRUE(FLog.WaitForCount("launch " + plugin, 1));
    EXPECT_EQ(1, FLog.Count("launch " + plugin));
  }
  EXPECT_TRUE(FProgram.Close());
}

TEST_F(EndToEnd, BindingsMadeInTheWindowFireAtOnceAndReachTheFile) {
  AddPlugins({"Logger"});
  ASSERT_TRUE(FProgram.Start());
  EXPECT_EQ((std::vector<std::wstring>{L"(Не использовать)", L"Logger"}),
            FProgram.ComboItems(cidCbxPlg));

  FProgram.SetText(cidEdtHk, L"Ctrl+Shift+1");
  FProgram.SetText(cidEdtApp, Wide(MarkerPath()));
  FProgram.Click(cidBtnAdd);
  ASSERT_TRUE(PressKeys({VK_CONTROL, VK_SHIFT, '1'}));
  ASSERT_TRUE(WaitForMarkerRuns(1));
  EXPECT_EQ(Lower(ToolsFolder()), Lower(MarkerRuns().front().Cwd + "\\"));

  // A chosen plugin wins over the path still in its field.
  FProgram.ChooseComboItem(cidCbxPlg, 1);
  FProgram.SetText(cidEdtHk, L"Ctrl+Shift+2");
  FProgram.Click(cidBtnAdd);
  EXPECT_TRUE(PressAndWait({VK_CONTROL, VK_SHIFT, '2'}, "logger.dll", 1));

  // The hide button writes the file.
  FProgram.TrayMouse(WM_LBUTTONDBLCLK);
  ASSERT_TRUE(FProgram.FormVisible());
  FProgram.Click(cidBtnHide);
  EXPECT_FALSE(FProgram.FormVisible());
  EXPECT_EQ(SettingsText({{"Ctrl+Shift+1", MarkerPath()}, {"Ctrl+Shift+2", "#Logger"}}),
            FProgram.ReadSettings());

  // WM_CLOSE to the application window writes what came since.
  FProgram.ChooseComboItem(cidCbxPlg, 0);
  FProgram.SetText(cidEdtHk, L"Ctrl+Shift+3");
  FProgram.Click(cidBtnAdd);
  ASSERT_TRUE(PressKeys({VK_CONTROL, VK_SHIFT, '3'}));
  ASSERT_TRUE(WaitForMarkerRuns(2));
  ASSERT_TRUE(FProgram.Close());
  EXPECT_EQ(SettingsText({{"Ctrl+Shift+1", MarkerPath()},
                          {"Ctrl+Shift+2", "#Logger"},
                          {"Ctrl+Shift+3", MarkerPath()}}),
            FProgram.ReadSettings());

  // Every binding removed: their hotkeys are free again and the file says so.
  ASSERT_TRUE(FProgram.Start());
  ASSERT_EQ(3u, FProgram.Rows().size());
  for (int left = 3; left > 0; --left) {
    ASSERT_TRUE(FProgram.SelectRow(left % 2 ? 0 : left - 1));
    FProgram.Click(cidBtnRem);
    EXPECT_EQ(static_cast<size_t>(left - 1), FProgram.Rows().size());
  }
  for (WORD key : {'1', '2', '3'}) EXPECT_TRUE(HotKeyIsFree(MOD_CONTROL | MOD_SHIFT, key)) << key;
  ASSERT_TRUE(FProgram.Close());
  EXPECT_NE(std::string::npos, FProgram.ReadSettings().find("HkCount=0\r\n"));
  ASSERT_TRUE(FProgram.Start());
  EXPECT_TRUE(FProgram.Rows().empty());
  EXPECT_TRUE(FProgram.Close());
  EXPECT_EQ(1, FLog.Count("launch logger.dll"));
}

// Two texts of one code share one registration: removing either row keeps
// the other firing. An edit in place moves the hotkey, and the end of the
// session keeps the edit.
TEST_F(EndToEnd, SharedCodesEditsInPlaceAndTheEndOfTheSession) {
  AddPlugins({"First", "Second"});
  FProgram.WriteSettings(SettingsText({{"Ctrl+Shift+U", "#First"}, {"Shift+Ctrl+U", "#Second"}}));
  ASSERT_TRUE(FProgram.Start());

  ASSERT_TRUE(PressAndWait({VK_CONTROL, VK_SHIFT, 'U'}, "second.dll", 1));
  EXPECT_EQ(
      (std::vector<std::string>{"attach first.dll", "launch first.dll", "detach first.dll",
                                "attach second.dll", "launch second.dll", "detach second.dll"}),
      FLog.Events());

  ASSERT_TRUE(FProgram.SelectRow(0));
  FProgram.Click(cidBtnRem);
  ASSERT_EQ(1u, FProgram.Rows().size());
  EXPECT_FALSE(HotKeyIsFree(MOD_CONTROL | MOD_SHIFT, 'U'));
  ASSERT_TRUE(PressAndWait({VK_CONTROL, VK_SHIFT, 'U'}, "second.dll", 2));
  EXPECT_EQ(1, FLog.Count("launch first.dll"));

  ASSERT_TRUE(FProgram.EditRowText(0, L"Ctrl+Shift+V"));
  EXPECT_EQ(L"Ctrl+Shift+V", FProgram.Rows().at(0).Text);
  EXPECT_TRUE(HotKeyIsFree(MOD_CONTROL | MOD_SHIFT, 'U'));
  ASSERT_TRUE(PressAndWait({VK_CONTROL, VK_SHIFT, 'V'}, "second.dll", 3));

  // Log-off: the session ends, and what was changed is kept.
  DWORD_PTR answer = 0;
  ASSERT_TRUE(::SendMessageTimeoutW(FProgram.AppWindow(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF,
                                    SMTO_ABORTIFHUNG, 5000, &answer));
  EXPECT_EQ(static_cast<DWORD_PTR>(TRUE), answer);
  ::SendMessageTimeoutW(FProgram.AppWindow(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF,
                        SMTO_ABORTIFHUNG, 5000, &answer);
  ASSERT_TRUE(FProgram.WaitForExit());
  // Keys above the count stay, unread.
  EXPECT_EQ(0u, FProgram.ReadSettings().find(SettingsText({{"Ctrl+Shift+V", "#Second"}})))
      << FProgram.ReadSettings();

  ASSERT_TRUE(FProgram.Start());
  ASSERT_TRUE(PressAndWait({VK_CONTROL, VK_SHIFT, 'V'}, "second.dll", 4));
  EXPECT_TRUE(FProgram.Close());
}

}  // namespace
}  // namespace zt::test
