// The real ztrop32.exe, started in a folder of its own and driven from
// outside: start-up, the command line, the title and the single instance, the
// published handle, the tray, and the ways the program ends.

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>

#include "app/ControlIds.h"
#include "support/ProgramDriver.h"

namespace zt::test {
namespace {

const char* const TwoBindings =
    "[Zentrop]\r\nHkCount=2\r\n1Hk=Ctrl+Alt+F11\r\n1Cmd=C:\\Windows\\notepad.exe\r\n"
    "2Hk=Ctrl+Shift+F11\r\n2Cmd=#Lock\r\n";

std::string HandleText(HWND window) {
  return std::to_string(static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(window)));
}

LRESULT SendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  ::SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result);
  return static_cast<LRESULT>(result);
}

TEST(AppStart, WithoutArgumentsShowsNothingAndPublishesItsWindow) {
  TProgramDriver program;
  ASSERT_TRUE(program.Start());
  HWND app = program.AppWindow();

  char caption[64] = {};
  ::GetWindowTextA(app, caption, sizeof(caption));
  EXPECT_STREQ("ztrop32", caption);
  EXPECT_FALSE(::IsWindowVisible(app));
  EXPECT_FALSE(program.FormVisible());
  EXPECT_TRUE(::GetWindowLongA(app, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  EXPECT_EQ(app, ::GetWindow(program.MainForm(), GW_OWNER));

  auto published = PublishedHandleText();
  ASSERT_TRUE(published.has_value());
  EXPECT_EQ(HandleText(app), *published);
  EXPECT_NE('0', published->front());
  EXPECT_TRUE(std::all_of(published->begin(), published->end(), ::isdigit));
}

TEST(AppStart, OnlyCplAsFirstArgumentShowsTheFilledWindow) {
  const struct {
    const char* arguments;
    bool shown;
  } cases[] = {
      {"/CPL", true},  {"/cpl", true}, {"/Cpl", true},   {"\"/CPL\"", true},
      {"-CPL", false}, {"CPL", false}, {"/CPL2", false}, {"other /CPL", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments);
    TProgramDriver program;
    program.WriteSettings(TwoBindings);
    ASSERT_TRUE(program.Start(c.arguments));
    EXPECT_EQ(c.shown, program.FormVisible());
    // Filled before the first message: plugins listed, bindings loaded.
    EXPECT_EQ(2u, program.Rows().size());
  }
}

TEST(AppInstance, TitlesOfDifferentCaseRunTogether) {
  TProgramDriver lower("ztrop32.exe");
  TProgramDriver upper("ZTROP32.EXE");
  ASSERT_TRUE(lower.Start());
  ASSERT_TRUE(upper.Start());
  char caption[64] = {};
  ::GetWindowTextA(upper.AppWindow(), caption, sizeof(caption));
  EXPECT_STREQ("Ztrop32", caption);
  EXPECT_TRUE(ProcessWindows(upper.ProcessId(), L"#32770").empty());
  EXPECT_TRUE(lower.Running());
  EXPECT_TRUE(upper.Running());
}

TEST(AppInstance, SameTitleElsewhereIsToldAndEnds) {
  TProgramDriver first("ztrop32.exe");
  TProgramDriver second("ztrop32.old.exe");
  ASSERT_TRUE(first.Start());
  // Minimised (so hidden into the tray), it is restored by the second start.
  ::ShowWindow(first.AppWindow(), SW_MINIMIZE);
  ASSERT_TRUE(WaitUntil([&] { return ::IsIconic(first.AppWindow()) != FALSE; }));
  ASSERT_TRUE(second.Launch());

  HWND box = second.WaitForMessageBox(L"ztrop32");
  ASSERT_NE(nullptr, box);
  EXPECT_EQ(L"Application \"ztrop32\" is already running.", MessageBoxText(box));
  EXPECT_EQ(second.AppWindow(), ::GetWindow(box, GW_OWNER));
  // Nothing of the second one is shown behind the box.
  EXPECT_FALSE(second.FormVisible());

  TProgramDriver::PressOk(box);
  EXPECT_TRUE(second.WaitForExit());
  EXPECT_TRUE(first.Running());
  EXPECT_TRUE(WaitUntil([&] { return !::IsIconic(first.AppWindow()); }));
  EXPECT_EQ(HandleText(first.AppWindow()), PublishedHandleText().value_or(""));
}

// A second instance that is asked to close or to end with the session while
// its box is up must leave no trace: no settings file written anywhere, the
// first instance's file and published handle untouched.
TEST(AppInstance, SecondInstanceEndingEarlyWritesNothing) {
  TProgramDriver first;
  first.WriteSettings(TwoBindings);
  ASSERT_TRUE(first.Start());
  const std::string settings = first.ReadSettings();
  const std::string published = HandleText(first.AppWindow());
  ASSERT_EQ(published, PublishedHandleText().value_or(""));
  const auto filesBefore = FindFilesNamed("C:\\", "ztrop32.ini");

  for (bool closeFirst : {true, false}) {
    SCOPED_TRACE(closeFirst ? "WM_CLOSE, then the end of the session" : "end of the session");
    TProgramDriver second;
    ASSERT_TRUE(second.Launch());
    HWND box = second.WaitForMessageBox(L"ztrop32");
    ASSERT_NE(nullptr, box);
    HWND app = second.AppWindow();
    if (closeFirst) SendWithTimeout(app, WM_CLOSE, 0, 0);
    if (::IsWindow(app)) {
      EXPECT_EQ(TRUE, SendWithTimeout(app, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF));
      SendWithTimeout(app, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    }
    if (::IsWindow(box)) TProgramDriver::PressOk(box);
    EXPECT_TRUE(second.WaitForExit());
    EXPECT_FALSE(FileExists(second.SettingsPath()));
  }

  EXPECT_EQ(settings, first.ReadSettings());
  EXPECT_EQ(filesBefore, FindFilesNamed("C:\\", "ztrop32.ini"));
  EXPECT_EQ(published, PublishedHandleText().value_or(""));
  EXPECT_TRUE(first.Running());
}

TEST(AppStart, RegistryRefusalIsShownAndTheProgramRunsOn) {
  // A volatile parent takes no lasting key below it: the create fails.
  ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Brelwick Team");
  HKEY parent = nullptr;
  ASSERT_EQ(ERROR_SUCCESS,
            ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Brelwick Team", 0, nullptr,
                              REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &parent, nullptr));
  ::RegCloseKey(parent);

  TProgramDriver program;
  program.WriteSettings(TwoBindings);
  ASSERT_TRUE(program.Launch());
  HWND box = program.WaitForMessageBox(L"ztrop32");
  ASSERT_NE(nullptr, box);
  EXPECT_EQ(L"Failed to set data for 'Data'", MessageBoxText(box));
  TProgramDriver::PressOk(box);

  EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(box); }));
  EXPECT_TRUE(program.Running());
  EXPECT_EQ(2u, program.Rows().size());
  EXPECT_FALSE(PublishedHandleText().has_value());

  ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Brelwick Team");
}

// Every way of ending saves what was added since the start.
TEST(AppEnd, ClosingAndEndOfSessionSaveTheBindings) {
  enum class TEnd { AppWmClose, CloseButton, EndSession };
  for (TEnd end : {TEnd::AppWmClose, TEnd::CloseButton, TEnd::EndSession}) {
    SCOPED_TRACE(static_cast<int>(end));
    TProgramDriver program;
    program.WriteSettings(TwoBindings);
    ASSERT_TRUE(program.Start("/CPL"));
    program.SetText(cidEdtHk, L"Ctrl+Alt+F10");
    program.SetText(cidEdtApp, L"C:\\Tools\\run.exe");
    program.Click(cidBtnAdd);
    ASSERT_EQ(3u, program.Rows().size());

    switch (end) {
      case TEnd::AppWmClose:
        EXPECT_TRUE(program.Close());
        break;
      case TEnd::CloseButton:
        program.ClickAsync(cidBtnClose);
        EXPECT_TRUE(program.WaitForExit());
        break;
      case TEnd::EndSession:
        EXPECT_EQ(TRUE, SendWithTimeout(program.AppWindow(), WM_QUERYENDSESSION, 0, 0));
        SendWithTimeout(program.AppWindow(), WM_ENDSESSION, TRUE, 0);
        EXPECT_TRUE(program.WaitForExit());
        break;
    }
    std::string saved = program.ReadSettings();
    EXPECT_NE(std::string::npos, saved.find("HkCount=3"));
    EXPECT_NE(std::string::npos, saved.find("3Hk=Ctrl+Alt+F10"));
    EXPECT_NE(std::string::npos, saved.find("3Cmd=C:\\Tools\\run.exe"));
  }
}

TEST(AppEnd, ASaveThatFailsKeepsTheProgramRunning) {
  TProgramDriver program;
  program.WriteSettings(TwoBindings);
  ASSERT_TRUE(program.Start("/CPL"));
  // A folder where the file should be makes every write fail.
  ::DeleteFileA(program.SettingsPath().c_str());
  ASSERT_TRUE(::CreateDirectoryA(program.SettingsPath().c_str(), nullptr));

  for (int button : {cidBtnHide, cidBtnClose}) {
    SCOPED_TRACE(button);
    program.ClickAsync(button);
    HWND box = program.WaitForMessageBox(L"ztrop32");
    ASSERT_NE(nullptr, box);
    EXPECT_EQ(0u, MessageBoxText(box).find(L"Unable to write to "));
    TProgramDriver::PressOk(box);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(box); }));
    EXPECT_TRUE(program.Running());
    EXPECT_TRUE(program.FormVisible());
  }
  ::RemoveDirectoryA(program.SettingsPath().c_str());
  EXPECT_TRUE(program.Close());
  EXPECT_NE(std::string::npos, program.ReadSettings().find("HkCount=2"));
}

TEST(AppTray, DoubleClickShowsAndSingleClickDoesNothing) {
  TProgramDriver program;
  ASSERT_TRUE(program.Start());
  ASSERT_NE(nullptr, program.TrayWindow());
  program.TrayMouse(WM_LBUTTONDOWN);
  program.TrayMouse(WM_LBUTTONUP);
  EXPECT_FALSE(program.FormVisible());
  program.TrayMouse(WM_LBUTTONDBLCLK);
  EXPECT_TRUE(program.FormVisible());
}

// The menu of the right button, driven with keys: the first item shows the
// window, the second ends the program (saving).
TEST(AppTray, RightButtonMenuShowsOrEnds) {
  for (int downs : {1, 2}) {
    SCOPED_TRACE(downs);
    TProgramDriver program;
    ASSERT_TRUE(program.Start());
    program.SetText(cidEdtHk, L"Ctrl+Alt+F3");
    program.SetText(cidEdtApp, L"C:\\Tools\\run.exe");
    program.Click(cidBtnAdd);
    HWND tray = program.TrayWindow();
    ::PostMessageW(tray, TrayCallbackMessage, TrayIconId, WM_RBUTTONUP);
    HWND menu = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
      for (HWND each : ProcessWindows(program.ProcessId(), L"#32768"))
        if (::IsWindowVisible(each)) menu = each;
      return menu != nullptr;
    }));
    for (int i = 0; i < downs; ++i) ::PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
    ::PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
    if (downs == 1) {
      EXPECT_TRUE(WaitUntil([&] { return program.FormVisible(); }));
      EXPECT_TRUE(program.Running());
    } else {
      EXPECT_TRUE(program.WaitForExit());
      EXPECT_NE(std::string::npos, program.ReadSettings().find("1Hk=Ctrl+Alt+F3"));
    }
  }
}

TEST(AppTray, TaskbarCreatedShowsTheWindow) {
  TProgramDriver program;
  ASSERT_TRUE(program.Start());
  ASSERT_FALSE(program.FormVisible());
  UINT taskbarCreated = ::RegisterWindowMessageW(L"TaskbarCreated");
  DWORD_PTR result;
  ::SendMessageTimeoutW(HWND_BROADCAST, taskbarCreated, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
  EXPECT_TRUE(WaitUntil([&] { return program.FormVisible(); }));
  EXPECT_TRUE(program.Running());
}

TEST(AppTray, MinimisingTheApplicationHidesIntoTheTray) {
  TProgramDriver program;
  ASSERT_TRUE(program.Start("/CPL"));
  ASSERT_TRUE(program.FormVisible());
  ::ShowWindow(program.AppWindow(), SW_MINIMIZE);
  EXPECT_TRUE(WaitUntil([&] { return !program.FormVisible(); }));
  EXPECT_FALSE(::IsWindowVisible(program.AppWindow()));
  // And it comes back from the tray.
  program.TrayMouse(WM_LBUTTONDBLCLK);
  EXPECT_TRUE(program.FormVisible());
}

}  // namespace
}  // namespace zt::test
