// The settings window of the real program, driven from outside: layout,
// texts, tab order, the keyboard, the plugin box rule, hide and show, the
// browse dialog and editing in the list.

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <thread>

#include "app/ControlIds.h"
#include "app/Texts.h"
#include "support/ProgramDriver.h"

namespace zt::test {
namespace {

const char* const OneBinding =
    "[Zentrop]\r\nHkCount=1\r\n1Hk=Ctrl+Alt+F12\r\n1Cmd=C:\\Windows\\notepad.exe\r\n";

// The program's font, made here to know the scale the layout should have.
struct TProgramFont {
  HFONT Regular;
  HFONT Bold;
  int TextHeight = 13;
  TProgramFont() {
    HDC screen = ::GetDC(nullptr);
    int height = -::MulDiv(8, ::GetDeviceCaps(screen, LOGPIXELSY), 72);
    Regular =
        ::CreateFontW(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, RUSSIAN_CHARSET, 0, 0, 0, 0, L"Tahoma");
    Bold = ::CreateFontW(height, 0, 0, 0, FW_BOLD, 0, 0, 0, RUSSIAN_CHARSET, 0, 0, 0, 0, L"Tahoma");
    HGDIOBJ old = ::SelectObject(screen, Regular);
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(screen, &metrics);
    TextHeight = metrics.tmHeight;
    ::SelectObject(screen, old);
    ::ReleaseDC(nullptr, screen);
  }
  ~TProgramFont() {
    ::DeleteObject(Regular);
    ::DeleteObject(Bold);
  }
  int Scaled(int value) const { return ::MulDiv(value, TextHeight, 13); }
  SIZE TextSize(const wchar_t* text, bool bold) const {
    HDC screen = ::GetDC(nullptr);
    HGDIOBJ old = ::SelectObject(screen, bold ? Bold : Regular);
    RECT bounds{0, 0, 0, 0};
    ::DrawTextW(screen, text, -1, &bounds, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    ::SelectObject(screen, old);
    ::ReleaseDC(nullptr, screen);
    return {bounds.right, bounds.bottom};
  }
};

bool Enabled(const TProgramDriver& program, int id) {
  return ::IsWindowEnabled(program.Control(id)) != FALSE;
}

TEST(SettingsWindow, FrameAndControlsStandWhereTheyBelong) {
  TProgramDriver program;
  ASSERT_TRUE(program.Start("/CPL"));
  TProgramFont font;
  HWND form = program.MainForm();

  EXPECT_EQ(Texts::FormCaption, WindowText(form));
  RECT client;
  ::GetClientRect(form, &client);
  EXPECT_EQ(font.Scaled(501), client.right);
  EXPECT_EQ(font.Scaled(331), client.bottom);
  LONG style = ::GetWindowLongW(form, GWL_STYLE);
  EXPECT_EQ(WS_CAPTION, style & WS_CAPTION);
  EXPECT_EQ(0, style & (WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));

  const struct {
    int id;
    int left, top, width, height;
    const wchar_t* text;
  } controls[] = {
      {cidLvHk, 8, 56, 233, 265, L""},
      {cidCbxPlg, 248, 72, 217, 21, nullptr},
      {cidEdtApp, 248, 112, 217, 21, L""},
      {cidSpbBrowse, 472, 110, 24, 24, L""},
      {cidEdtHk, 248, 152, 121, 21, L""},
      {cidBtnAdd, 248, 232, 89, 25, Texts::BtnAdd},
      {cidBtnRem, 248, 264, 89, 25, Texts::BtnRem},
      {cidBtnHide, 400, 232, 89, 25, Texts::BtnHide},
      {cidBtnClose, 400, 264, 89, 25, Texts::BtnClose},
  };
  for (const auto& c : controls) {
    SCOPED_TRACE(c.id);
    RECT bounds = program.ControlRect(c.id);
    EXPECT_EQ(font.Scaled(c.left), bounds.left);
    EXPECT_EQ(font.Scaled(c.top), bounds.top);
    EXPECT_EQ(font.Scaled(c.width), bounds.right - bounds.left);
    EXPECT_EQ(font.Scaled(c.height), bounds.bottom - bounds.top);
    if (c.text) {
      EXPECT_EQ(c.text, program.Text(c.id));
    }
  }

  // Labels are as large as their texts.
  const struct {
    int id;
    int left, top;
    const wchar_t* text;
    bool bold;
  } labels[] = {
      {cidLabel1, 40, 8, Texts::Label1, true},     {cidLabel2, 144, 24, Texts::Label2, true},
      {cidLabel3, 24, 40, Texts::Label3, false},   {cidLabel4, 248, 56, Texts::Label4, false},
      {cidLabel5, 248, 96, Texts::Label5, false},  {cidLabel6, 248, 136, Texts::Label6, false},
      {cidLabel7, 248, 184, Texts::Label7, false}, {cidLabel8, 248, 200, Texts::Label8, false},
      {cidLabel9, 248, 216, Texts::Label9, false},
  };
  for (const auto& l : labels) {
    SCOPED_TRACE(l.id);
    RECT bounds = program.ControlRect(l.id);
    SIZE size = font.TextSize(l.text, l.bold);
    EXPECT_EQ(font.Scaled(l.left), bounds.left);
    EXPECT_EQ(font.Scaled(l.top), bounds.top);
    EXPECT_EQ(size.cx, bounds.right - bounds.left);
    EXPECT_EQ(size.cy, bounds.bottom - bounds.top);
    EXPECT_EQ(l.text, program.Text(l.id));
  }

  HWND list = program.Control(cidLvHk);
  LONG listStyle = ::GetWindowLongW(list, GWL_STYLE);
  EXPECT_EQ(LVS_REPORT, listStyle & LVS_TYPEMASK);
  EXPECT_TRUE(listStyle & LVS_SINGLESEL);
  EXPECT_TRUE(listStyle & LVS_EDITLABELS);
  EXPECT_FALSE(listStyle & LVS_SHOWSELALWAYS);
  EXPECT_EQ(Texts::ColumnKeys, program.ColumnText(0));
  EXPECT_EQ(Texts::ColumnCommand, program.ColumnText(1));
  EXPECT_EQ(font.Scaled(100), ::SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0));
  EXPECT_EQ(font.Scaled(128), ::SendMessageW(list, LVM_GETCOLUMNWIDTH, 1, 0));

  EXPECT_EQ(CBS_DROPDOWNLIST, ::GetWindowLongW(program.Control(cidCbxPlg), GWL_STYLE) & 3);
  EXPECT_EQ(std::vector<std::wstring>{Texts::NoPlugin}, program.ComboItems(cidCbxPlg));
  EXPECT_EQ(0, program.ComboSelection(cidCbxPlg));
}

TEST(SettingsWindow, TabOrderFollowsTheFormAndSkipsTheBrowseButton) {
  TProgramDriver program;
  ASSERT_TRUE(program.Start("/CPL"));
  HWND form = program.MainForm();
  const int order[] = {cidLvHk,  cidCbxPlg, cidEdtApp,  cidBtnAdd,
                       cidEdtHk, cidBtnRem, cidBtnHide, cidBtnClose};
  HWND first = ::GetNextDlgTabItem(form, nullptr, FALSE);
  EXPECT_EQ(program.Control(cidLvHk), first);
  HWND at = first;
  for (size_t i = 1; i <= std::size(order); ++i) {
    at = ::GetNextDlgTabItem(form, at, FALSE);
    EXPECT_EQ(program.Control(order[i % std::size(order)]), at) << "after position " << i;
  }
  EXPECT_FALSE(::GetWindowLongW(program.Control(cidSpbBrowse), GWL_STYLE) & WS_TABSTOP);
}

HWND FocusOf(const TProgramDriver& program) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  ::GetGUIThreadInfo(program.ThreadId(), &info);
  return info.hwndFocus;
}

void Key(WORD vk) {
  INPUT input[2] = {};
  input[0].type = input[1].type = INPUT_KEYBOARD;
  input[0].ki.wVk = input[1].ki.wVk = vk;
  input[1].ki.dwFlags = KEYEVENTF_KEYUP;
  ::SendInput(2, input, sizeof(INPUT));
}

void ClickAt(HWND window) {
  RECT bounds;
  ::GetWindowRect(window, &bounds);
  int x = (bounds.left + bounds.right) / 2;
  int y = (bounds.top + bounds.bottom) / 2;
  INPUT input[3] = {};
  for (auto& each : input) each.type = INPUT_MOUSE;
  input[0].mi.dx = ::MulDiv(x, 65535, ::GetSystemMetrics(SM_CXSCREEN) - 1);
  input[0].mi.dy = ::MulDiv(y, 65535, ::GetSystemMetrics(SM_CYSCREEN) - 1);
  input[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  input[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  input[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  ::SendInput(3, input, sizeof(INPUT));
}

// Real key presses: Enter and Escape press nothing; Tab moves on.
TEST(SettingsWindow, EnterAndEscapePressNothingTabMovesOn) {
  TProgramDriver program;
  ASSERT_TRUE(program.Start("/CPL"));
  program.SetText(cidEdtHk, L"Ctrl+Alt+F7");
  program.SetText(cidEdtApp, L"C:\\Tools\\run.exe");
  ::SetForegroundWindow(program.MainForm());

  const struct {
    int edit;
    int next;
  } cases[] = {{cidEdtHk, cidBtnRem}, {cidEdtApp, cidBtnAdd}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.edit);
    ClickAt(program.Control(c.edit));
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(program) == program.Control(c.edit); }));
    Key(VK_RETURN);
    Key(VK_ESCAPE);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_TRUE(program.Rows().empty());
    EXPECT_TRUE(program.FormVisible());
    EXPECT_TRUE(program.Running());
    Key(VK_TAB);
    EXPECT_TRUE(WaitUntil([&] { return FocusOf(program) == program.Control(c.next); }));
  }
  // The same inputs do add with the button, so Enter had what it needed.
  program.Click(cidBtnAdd);
  EXPECT_EQ(1u, program.Rows().size());
}

TEST(SettingsWindow, ChoosingAPluginDisablesThePathAndMakesAPluginBinding) {
  TProgramDriver program;
  program.AddPlugin(program.ExePath(), "Calc.dll");
  ASSERT_TRUE(program.Start("/CPL"));
  EXPECT_EQ((std::vector<std::wstring>{Texts::NoPlugin, L"Calc"}), program.ComboItems(cidCbxPlg));
  EXPECT_EQ(0, program.ComboSelection(cidCbxPlg));
  EXPECT_TRUE(Enabled(program, cidEdtApp));
  EXPECT_TRUE(Enabled(program, cidSpbBrowse));

  program.SetText(cidEdtApp, L"C:\\Tools\\run.exe");
  program.ChooseComboItem(cidCbxPlg, 1);
  EXPECT_FALSE(Enabled(program, cidEdtApp));
  EXPECT_FALSE(Enabled(program, cidSpbBrowse));

  program.SetText(cidEdtHk, L"Ctrl+Alt+F5");
  program.Click(cidBtnAdd);
  auto rows = program.Rows();
  ASSERT_EQ(1u, rows.size());
  EXPECT_EQ(L"Ctrl+Alt+F5", rows[0].Text);
  EXPECT_EQ(L"#Calc", rows[0].Command);

  program.ChooseComboItem(cidCbxPlg, 0);
  EXPECT_TRUE(Enabled(program, cidEdtApp));
  EXPECT_TRUE(Enabled(program, cidSpbBrowse));
  EXPECT_EQ(L"C:\\Tools\\run.exe", program.Text(cidEdtApp));
  EXPECT_EQ(L"Ctrl+Alt+F5", program.Text(cidEdtHk));
}

TEST(SettingsWindow, ListShowsTheBindingsAndKeepsAnEditAsTyped) {
  TProgramDriver program;
  // A command with a byte beyond ASCII: shown as the ANSI code page reads it.
  program.WriteSettings(std::string(OneBinding) + "2Hk=Win+Space\r\n2Cmd=C:\\Caf\xE9\\run.exe\r\n");
  std::string settings = program.ReadSettings();
  settings.replace(settings.find("HkCount=1"), 9, "HkCount=2");
  program.WriteSettings(settings);
  ASSERT_TRUE(program.Start("/CPL"));

  wchar_t cafe[64];
  int length = ::MultiByteToWideChar(CP_ACP, 0, "C:\\Caf\xE9\\run.exe", -1, cafe, 64);
  ASSERT_GT(length, 0);
  auto rows = program.Rows();
  ASSERT_EQ(2u, rows.size());
  EXPECT_EQ(L"Ctrl+Alt+F12", rows[0].Text);
  EXPECT_EQ(L"C:\\Windows\\notepad.exe", rows[0].Command);
  EXPECT_EQ(L"Win+Space", rows[1].Text);
  EXPECT_EQ(cafe, rows[1].Command);

  ASSERT_TRUE(program.EditRowText(0, L"ctrl + alt + F9"));
  EXPECT_TRUE(WaitUntil([&] { return program.Rows()[0].Text == L"ctrl + alt + F9"; }));
  program.Click(cidBtnHide);
  EXPECT_FALSE(program.FormVisible());
  std::string saved = program.ReadSettings();
  EXPECT_NE(std::string::npos, saved.find("1Hk=ctrl + alt + F9")) << saved;
  EXPECT_NE(std::string::npos, saved.find("2Cmd=C:\\Caf\xE9\\run.exe")) << saved;

  // The selected row is the one the remove button takes.
  ASSERT_TRUE(program.SelectRow(1));
  program.Click(cidBtnRem);
  rows = program.Rows();
  ASSERT_EQ(1u, rows.size());
  EXPECT_EQ(L"ctrl + alt + F9", rows[0].Text);
}

TEST(SettingsWindow, CentredFirstThenKeepsItsPlaceAndContentsAcrossHide) {
  TProgramDriver program;
  ASSERT_TRUE(program.Start("/CPL"));
  HWND form = program.MainForm();
  RECT bounds;
  ::GetWindowRect(form, &bounds);
  int width = bounds.right - bounds.left;
  int height = bounds.bottom - bounds.top;
  EXPECT_NEAR((::GetSystemMetrics(SM_CXSCREEN) - width) / 2, bounds.left, 1);
  EXPECT_NEAR((::GetSystemMetrics(SM_CYSCREEN) - height) / 2, bounds.top, 1);

  ::SetWindowPos(form, nullptr, 30, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  program.SetText(cidEdtHk, L"Ctrl+Alt+F4");
  program.SetText(cidEdtApp, L"C:\\Tools\\run.exe");
  program.Click(cidBtnAdd);
  program.Click(cidBtnHide);
  EXPECT_FALSE(program.FormVisible());
  EXPECT_TRUE(program.Running());
  EXPECT_NE(std::string::npos, program.ReadSettings().find("1Hk=Ctrl+Alt+F4"));

  program.TrayMouse(WM_LBUTTONDBLCLK);
  EXPECT_TRUE(program.FormVisible());
  ::GetWindowRect(form, &bounds);
  EXPECT_EQ(30, bounds.left);
  EXPECT_EQ(40, bounds.top);
  EXPECT_EQ(L"Ctrl+Alt+F4", program.Text(cidEdtHk));
  EXPECT_EQ(1u, program.Rows().size());
}

// The open dialog of the program, once its file name box is there (cmb13 of
// the explorer-style dialog, or its edt1).
HWND FileNameBoxOfOpenDialog(const TProgramDriver& program, HWND& dialog) {
  HWND name = nullptr;
  WaitUntil([&] {
    for (HWND each : ProcessWindows(program.ProcessId(), L"#32770")) {
      if (::GetWindow(each, GW_OWNER) != program.MainForm()) continue;
      name = ::GetDlgItem(each, 0x47C);
      if (!name) name = ::GetDlgItem(each, 0x480);
      if (name) dialog = each;
    }
    return name != nullptr;
  });
  return name;
}

// The dialog itself does not insist on an existing file; the program does.
TEST(SettingsWindow, BrowseTakesOnlyAFileThatExists) {
  TProgramDriver program;
  ASSERT_TRUE(program.Start("/CPL"));
  program.SetText(cidEdtApp, L"before");

  const struct {
    std::string name;
    bool taken;
  } cases[] = {
      {program.Folder() + "missing.exe", false},
      {program.ExePath(), true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    program.ClickAsync(cidSpbBrowse);
    HWND dialog = nullptr;
    HWND name = FileNameBoxOfOpenDialog(program, dialog);
    ASSERT_NE(nullptr, name);
    std::wstring wide(c.name.begin(), c.name.end());
    // The dialog may still be filling its boxes when they appear (a busy
    // machine shows it): wait until it is shown, and give the name and the
    // OK again until the dialog takes them.
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(dialog) != FALSE; }));
    ASSERT_TRUE(WaitUntil(
        [&] {
          if (!::IsWindow(dialog)) return true;
          if (WindowText(name) != wide)
            ::SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
          ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
          ::Sleep(200);
          return !::IsWindow(dialog);
        },
        std::chrono::milliseconds(15000)));
    EXPECT_TRUE(WaitUntil([&] { return program.Text(cidEdtApp) == (c.taken ? wide : L"before"); }));
  }
}

}  // namespace
}  // namespace zt::test
