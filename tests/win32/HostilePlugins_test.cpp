// Plugins that do not keep to the contract, against the real program: files
// that are no library, libraries without "Launch", a library deleted after
// the start, a "Launch" that runs a message loop of its own, and a helper DLL
// planted in the program's current folder.

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/ControlIds.h"
#include "support/E2E.h"
#include "support/ProgramDriver.h"

namespace zt::test {
namespace {

class HostilePlugins : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { FTray = new TTrayKeeper; }
  static void TearDownTestSuite() {
    delete FTray;
    FTray = nullptr;
  }
  void AddFixture(const char* fixture, const std::string& name) {
    FProgram.AddPlugin(TestsFolder() + fixture + ".dll", name + ".dll");
  }

  static TTrayKeeper* FTray;
  TE2ELog FLog;
  TProgramDriver FProgram;
};

TTrayKeeper* HostilePlugins::FTray = nullptr;

// Each is pressed again and again between presses of a good plugin: nothing
// happens, no box comes up, every load is matched by its unload, and no
// library stays in the process.
TEST_F(HostilePlugins, BrokenMissingAndLaunchlessLibrariesDoNothing) {
  AddFixture("e2e_plugin", "Good");
  AddFixture("e2e_plugin", "Gone");
  AddFixture("e2e_nolaunch", "NoLaunch");
  const std::string plugins = FProgram.Folder() + "plugins\\";
  WriteFileBytes(plugins + "Junk.dll", "MZ but not really a library\r\n");
  WriteFileBytes(plugins + "Empty.dll", "");
  ASSERT_TRUE(::CreateDirectoryA((plugins + "Folder.dll").c_str(), nullptr));
  FProgram.WriteSettings(SettingsText({{"Ctrl+Alt+1", "#Junk"},
                                       {"Ctrl+Alt+2", "#Empty"},
                                       {"Ctrl+Alt+3", "#NoLaunch"},
                                       {"Ctrl+Alt+4", "#Gone"},
                                       {"Ctrl+Alt+6", "#Missing"},
                                       {"Ctrl+Alt+7", "#Folder"},
                                       {"Ctrl+Alt+5", "#Good"}}));
  ASSERT_TRUE(FProgram.Start());

  ASSERT_TRUE(PressKeys({VK_CONTROL, VK_MENU, '4'}));
  ASSERT_TRUE(FLog.WaitForCount("detach gone.dll", 1));
  // Released, so it can go (Windows refuses to delete a loaded library).
  EXPECT_TRUE(::DeleteFileA((plugins + "Gone.dll").c_str()));

  constexpr int rounds = 25;
  std::optional<TProcessCounters> before;
  for (int round = 1; round <= rounds; ++round) {
    for (WORD key : {'1', '2', '3', '4', '6', '7', '5'})
      ASSERT_TRUE(PressKeys({VK_CONTROL, VK_MENU, key}));
    ASSERT_TRUE(FLog.WaitForCount("detach good.dll", round)) << "round " << round;
    if (round == 1) before = ReadProcessCounters(FProgram.ProcessId());
  }
  const auto after = ReadProcessCounters(FProgram.ProcessId());

  EXPECT_TRUE(FProgram.Running());
  EXPECT_TRUE(Responds(FProgram.MainForm()));
  EXPECT_TRUE(ProcessWindows(FProgram.ProcessId(), L"#32770").empty());
  EXPECT_EQ(rounds, FLog.Count("attach nolaunch.dll"));
  EXPECT_EQ(rounds, FLog.Count("detach nolaunch.dll"));
  EXPECT_EQ(0, FLog.Count("start nolaunch.dll"));
  EXPECT_EQ(1, FLog.Count("launch gone.dll"));
  EXPECT_EQ(rounds, FLog.Count("launch good.dll"));
  // Loads and unloads in pairs: attach, (launch), detach, one library at a time.
  auto events = FLog.Events();
  for (size_t i = 0; i < events.size(); ++i) {
    const std::string name = events[i].substr(events[i].find(' ') + 1);
    if (events[i].rfind("attach ", 0) != 0) continue;
    size_t next = i + 1;
    if (next < events.size() && events[next] == "launch " + name) ++next;
    ASSERT_LT(next, events.size());
    EXPECT_EQ("detach " + name, events[next]) << "event " << i;
  }
  const auto modules = ProcessModules(FProgram.ProcessId());
  for (const char* name : {"good.dll", "gone.dll", "nolaunch.dll", "junk.dll", "empty.dll"})
    EXPECT_EQ(modules.end(), std::find(modules.begin(), modules.end(), name)) << name;
  ASSERT_TRUE(before && after);
  EXPECT_LE(after->Handles, before->Handles + 3) << ToString(*before) << " -> " << ToString(*after);
  EXPECT_TRUE(FProgram.Close());
}

// "Launch" shows a message box: while it is up, another hotkey fires and rows
// go from the list, the one whose plugin runs among them. When the box is
// closed the press goes on over the rows that are left and reads no row past
// their end: the row removed at the end never runs.
TEST_F(HostilePlugins, ModalLaunchLetsTheProgramGoOn) {
  AddFixture("e2e_modal", "Modal");
  AddFixture("e2e_plugin", "Second");
  AddFixture("e2e_plugin", "After");
  AddFixture("e2e_plugin", "Last");
  FProgram.WriteSettings(SettingsText({{"Ctrl+Alt+8", "#Modal"},
                                       {"Ctrl+Alt+9", "#Second"},
                                       {"Alt+Ctrl+8", "#After"},
                                       {"ctrl+alt+8", "#Last"}}));
  ASSERT_TRUE(FProgram.Start());

  ASSERT_TRUE(PressKeys({VK_CONTROL, VK_MENU, '8'}));
  HWND box = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    auto found = ProcessWindows(FProgram.ProcessId(), L"#32770", L"e2e modal");
    box = found.empty() ? nullptr : found.front();
    return box != nullptr;
  }));

  ASSERT_TRUE(PressKeys({VK_CONTROL, VK_MENU, '9'}));
  EXPECT_TRUE(FLog.WaitForCount("detach second.dll", 1));
  ASSERT_TRUE(FProgram.SelectRow(3));
  FProgram.Click(cidBtnRem);
  ASSERT_TRUE(FProgram.SelectRow(0));
  FProgram.Click(cidBtnRem);
  auto rows = FProgram.Rows();
  ASSERT_EQ(2u, rows.size());
  EXPECT_EQ(L"Ctrl+Alt+9", rows[0].Text);
  EXPECT_EQ(L"Alt+Ctrl+8", rows[1].Text);
  EXPECT_EQ(0, FLog.Count("return modal.dll"));
  EXPECT_TRUE(::IsWindow(box));

  TProgramDriver::PressOk(box);
  ASSERT_TRUE(FLog.WaitForCount("detach after.dll", 1));
  EXPECT_EQ((std::vector<std::string>{"attach modal.dll", "launch modal.dll", "attach second.dll",
                                      "launch second.dll", "detach second.dll", "return modal.dll",
                                      "detach modal.dll", "attach after.dll", "launch after.dll",
                                      "detach after.dll"}),
            FLog.Events());
  EXPECT_TRUE(FProgram.Running());
  EXPECT_TRUE(Responds(FProgram.MainForm()));

  // The code stays with the row that still has it; the removed ones are gone.
  ASSERT_TRUE(PressKeys({VK_CONTROL, VK_MENU, '8'}));
  ASSERT_TRUE(FLog.WaitForCount("detach after.dll", 2));
  EXPECT_EQ(1, FLog.Count("launch modal.dll"));
  EXPECT_EQ(0, FLog.Count("attach last.dll"));
  EXPECT_TRUE(ProcessWindows(FProgram.ProcessId(), L"#32770").empty());
  EXPECT_TRUE(FProgram.Close());
}

// The program is started from a folder that holds a DLL named as one that a
// plugin loads by bare name. The real one is on PATH; the planted one would
// come first if the current folder were searched. A host that loads the
// plugin the same way but keeps the system's search order shows that it is.
TEST_F(HostilePlugins, CurrentFolderIsNotSearchedForLibraries) {
  const std::string current = FProgram.Folder() + "current\\";
  const std::string onPath = FProgram.Folder() + "lib\\";
  for (const std::string& folder : {current, onPath}) {
    ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr));
    ASSERT_TRUE(::CopyFileA((TestsFolder() + "e2e_dep.dll").c_str(),
                            (folder + "e2e_dep.dll").c_str(), FALSE));
  }
  AddFixture("e2e_loader", "Loader");
  ASSERT_TRUE(::CopyFileA((TestsFolder() + "e2e_host.exe").c_str(),
                          (FProgram.Folder() + "e2e_host.exe").c_str(), FALSE));
  char path[32767] = "";
  ::GetEnvironmentVariableA("PATH", path, sizeof(path));
  TScopedEnvironment searchPath("PATH", onPath + ";" + path);
  auto depLoads = [&] {
    std::vector<std::string> folders;
    for (const std::string& line : FLog.Lines()) {
      if (line.rfind("attach ", 0) != 0 || BaseNameLower(line) != "e2e_dep.dll") continue;
      folders.push_back(Lower(line.substr(7, line.find_last_of('\\') - 6)));
    }
    return folders;
  };

  TE2EProcess host;
  ASSERT_TRUE(host.Start(FProgram.Folder() + "e2e_host.exe",
                         FProgram.Folder() + "plugins\\Loader.dll", current, false));
  ASSERT_TRUE(host.WaitForExit());
  ASSERT_EQ(std::vector<std::string>{Lower(current)}, depLoads())
      << "the system's own order does not search the current folder here";
  FLog.Clear();

  FProgram.WriteSettings(SettingsText({{"Ctrl+Alt+Shift+D", "#Loader"}}));
  TE2EProcess program;
  ASSERT_TRUE(program.Start(FProgram.ExePath(), "", current));
  ASSERT_TRUE(
      WaitUntil([&] { return !ProcessWindows(program.ProcessId(), L"TApplication").empty(); }));
  ASSERT_TRUE(PressKeys({VK_CONTROL, VK_MENU, VK_SHIFT, 'D'}));
  ASSERT_TRUE(FLog.WaitForCount("detach loader.dll", 1));
  EXPECT_EQ(std::vector<std::string>{Lower(onPath)}, depLoads());
  EXPECT_TRUE(program.Close());
}

}  // namespace
}  // namespace zt::test
