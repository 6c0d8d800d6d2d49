#include <gtest/gtest.h>

#include "bindings/Dispatch.h"
#include "tests/doubles/FakeHotKeySystem.h"
#include "tests/doubles/FakePluginLibraries.h"
#include "tests/doubles/FakeShell.h"
#include "tests/doubles/MemoryProfile.h"
#include "tests/doubles/SimulatedKeyboard.h"
#include "tests/doubles/VectorRows.h"

namespace zt {
namespace {

constexpr THotKeyCode CtrlAltN = HK_CTRL | HK_ALT | 'N';
const std::string App = "C:\\App\\";
const std::string Plugins = App + "plugins\\";
constexpr WindowHandle Owner = 0x5150;

class DispatchTest : public ::testing::Test {
 protected:
  DispatchTest() {
    Dispatcher.SetAppDir(App);
    Dispatcher.SetOwnerWindow(Owner);
  }
  ~DispatchTest() override { DoneHotKeyText(); }

  // Starts the text module; rename the Ctrl key first to get the names a
  // layout under Wine gives.
  void Start(const std::string& ctrlName = "Ctrl") {
    Keyboard.Layout(SimulatedKeyboard::US_ENGLISH).SetName(0x1D, false, ctrlName);
    ResetKeyNameCache();
    InitHotKeyText(Keyboard);
  }
  void Add(const std::string& text, const std::string& command) {
    Rows.Append(HotkeyBinding{text, command}, HotKeyFromText(text, true));
  }
  std::vector<std::string> OpenedFiles() const {
    std::vector<std::string> files;
    for (const TFakeShell::TOpen& open : Shell.Opened) files.push_back(open.File);
    return files;
  }

  SimulatedKeyboard Keyboard;
  TVectorRows Rows;
  TFakeShell Shell;
  TFakePluginLibraries Libraries;
  TDispatcher Dispatcher{Rows, Shell, Libraries};
};

TEST_F(DispatchTest, ABindingRunsWhenItsTextOrItsCodeStandsForThePress) {
  for (const char* ctrlName : {"Ctrl", "Control"}) {
    SCOPED_TRACE(ctrlName);
    Start(ctrlName);
    Rows.Rows.clear();
    Shell.Opened.clear();
    Add("Ctrl+Alt+N", "canonical");
    Add("ctrl+alt+n", "lower");
    Add("Alt+Ctrl+N", "reordered");
    Add("Ctrl + Alt + N", "spaced");
    Add("Control+Alt+N", "control");
    Add("Ctrl+Alt+M", "other key");
    Add("Ctrl+N", "fewer modifiers");
    Add("", "empty text");
    Add("Ctrl+Alt+Nonsense", "no code");

    Dispatcher.HotKeyPressed(CtrlAltN);

    std::vector<std::string> expected = {"canonical", "lower", "reordered", "spaced"};
    // "Control" is a modifier word only where the layout names Ctrl so.
    if (std::string(ctrlName) == "Control") expected.push_back("control");
    EXPECT_EQ(OpenedFiles(), expected);
    DoneHotKeyText();
  }
}

TEST_F(DispatchTest, TheTextMatchStillCountsForARowWithoutCode) {
  Start();
  // A row whose code went stale, e.g. from an edit that did not update it.
  Rows.Append(HotkeyBinding{"CTRL+ALT+N", "by text"}, 0);
  Rows.Append(HotkeyBinding{"Ctrl+Q", "by code"}, CtrlAltN);
  Dispatcher.HotKeyPressed(CtrlAltN);
  EXPECT_EQ(OpenedFiles(), (std::vector<std::string>{"by text", "by code"}));
}

TEST_F(DispatchTest, EveryMatchRunsInListOrderAndPluginsGoToTheirLibraries) {
  Start();
  Libraries.AddLibrary(Plugins + "Calc.dll");
  Add("Ctrl+Alt+N", "first.exe");
  Add("Ctrl+Alt+N", "#Calc");
  Add("Ctrl+Q", "#Calc");
  Add("Ctrl+Alt+N", "#Calc");
  Add("Ctrl+Alt+N", "#Missing");
  Add("Ctrl+Alt+N", "");
  Add("Ctrl+Alt+N", "last.exe");
  std::vector<std::string> order;
  Libraries.AddLibrary(Plugins + "Calc.dll").onLaunch = [&] {
    order.push_back("#Calc");
    EXPECT_EQ(Shell.Opened.size(), 1u);  // the shell call before it has returned
  };

  Dispatcher.HotKeyPressed(CtrlAltN);

  EXPECT_EQ(OpenedFiles(), (std::vector<std::string>{"first.exe", "last.exe"}));
  EXPECT_EQ(Libraries.Launched(),
            (std::vector<std::string>{Plugins + "Calc.dll", Plugins + "Calc.dll"}));
  EXPECT_EQ(order.size(), 2u);
  EXPECT_EQ(Libraries.LoadedCount(), 0);
  for (const TFakeShell::TOpen& open : Shell.Opened) EXPECT_EQ(open.Owner, Owner);
}

struct TDirCase {
  const char* command;
  const char* directory;
  friend void PrintTo(const TDirCase& c, std::ostream* os) { *os << '"' << c.command << '"'; }
};

class DirectoryCases : public DispatchTest, public ::testing::WithParamInterface<TDirCase> {};

TEST_P(DirectoryCases, TheWorkingFolderIsTheFolderPartWhenThatExists) {
  Shell.AddDirectory("C:\\Tools\\");
  Shell.AddDirectory("C:");
  Shell.AddDirectory("\\\\server\\share\\");
  Dispatcher.RunCommand(GetParam().command);
  ASSERT_EQ(Shell.Opened.size(), 1u);
  EXPECT_EQ(Shell.Opened[0], (TFakeShell::TOpen{Owner, GetParam().command, GetParam().directory}));
}

INSTANTIATE_TEST_SUITE_P(
    Dispatch, DirectoryCases,
    ::testing::Values(TDirCase{"C:\\Tools\\run.exe", "C:\\Tools\\"},
                      TDirCase{"c:\\tools\\run.exe", "c:\\tools\\"},
                      TDirCase{"C:\\Tools\\run.exe -x \"a b\"", "C:\\Tools\\"},
                      TDirCase{"C:run.exe", "C:"}, TDirCase{"notepad.exe", ""},
                      TDirCase{"C:\\Missing\\run.exe", ""}, TDirCase{"zttest:hello", ""},
                      TDirCase{"mailto:someone@example.com", ""},
                      TDirCase{"https://example.com/a\\b", ""},
                      TDirCase{"\\\\server\\share\\tool.exe", "\\\\server\\share\\"}));

TEST_F(DispatchTest, AnEmptyCommandDoesNothing) {
  Dispatcher.RunCommand("");
  EXPECT_TRUE(Shell.Opened.empty());
  EXPECT_TRUE(Shell.DirectoryQueries.empty());
  EXPECT_TRUE(Libraries.Log.empty());
}

TEST_F(DispatchTest, APluginThatChangesTheListNeverMakesTheDispatcherReadPastItsEnd) {
  Start();
  Add("Ctrl+Alt+N", "#Clear");
  Add("Ctrl+Alt+N", "second.exe");
  Add("Ctrl+Alt+N", "third.exe");
  int nested = 0;
  // Inside Launch the plugin's message loop lets the user remove rows and
  // press the hotkey again.
  Libraries.AddLibrary(Plugins + "Clear.dll").onLaunch = [&] {
    if (nested++ == 0) {
      Rows.Rows.erase(Rows.Rows.begin() + 1);
      Dispatcher.HotKeyPressed(CtrlAltN);
      Rows.Rows.resize(1);
    }
  };
  Dispatcher.HotKeyPressed(CtrlAltN);
  EXPECT_EQ(nested, 2);
  EXPECT_EQ(OpenedFiles(), (std::vector<std::string>{"third.exe"}));  // from the nested press
  EXPECT_EQ(Libraries.LoadedCount(), 0);
}

TEST_F(DispatchTest, APressFromTheSystemReachesTheBindingsOfTheLoadedFile) {
  Start();
  TMemoryProfileFiles files;
  files.SetText(App + "ztrop32.ini",
                "[Zentrop]\r\nHkCount=3\r\n1Hk=Alt+Ctrl+N\r\n1Cmd=C:\\Tools\\run.exe\r\n"
                "2Hk=Win+N\r\n2Cmd=win.exe\r\n3Hk=Ctrl+Alt+N\r\n3Cmd=#Calc\r\n");
  Libraries.AddLibrary(Plugins + "Calc.dll");
  Shell.AddDirectory("C:\\Tools");
  FakeHotKeySystem system;
  THotKeyManager manager(system);
  TBindingList list(Rows, manager, files);
  list.SetAppDir(App);
  manager.OnHotKeyPressed = [&](THotKeyCode hotKey, std::uint16_t) {
    Dispatcher.HotKeyPressed(hotKey);
  };
  list.LoadBindings();

  EXPECT_TRUE(system.DeliverHotKey(MOD_CONTROL_FLAG | MOD_ALT_FLAG, 'N'));
  EXPECT_EQ(Shell.Opened,
            (std::vector<TFakeShell::TOpen>{{Owner, "C:\\Tools\\run.exe", "C:\\Tools\\"}}));
  EXPECT_EQ(Libraries.Launched(), (std::vector<std::string>{Plugins + "Calc.dll"}));
}

}  // namespace
}  // namespace zt
