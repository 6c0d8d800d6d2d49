#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <stdexcept>
#include <vector>

#include "hotkeys/HotKeyManager.h"
#include "platform/win32/Win32HotKeySystem.h"

// Each test uses combinations of its own: global atoms and hotkeys are shared
// by every process of the same wineserver.

namespace zt {
namespace {

struct TPress {
  THotKeyCode HotKey;
  std::uint16_t Index;
};

void SendKeys(const std::vector<WORD>& modifiers, WORD vk) {
  std::vector<INPUT> inputs;
  auto add = [&inputs](WORD key, bool up) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(::MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    inputs.push_back(input);
  };
  for (WORD m : modifiers) add(m, false);
  add(vk, false);
  add(vk, true);
  for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it) add(*it, true);
  ASSERT_EQ(::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)),
            inputs.size());
}

// Runs the thread's message loop until done() holds or the time is up.
bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds) {
  const DWORD start = ::GetTickCount();
  for (;;) {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
    if (done()) return true;
    if (::GetTickCount() - start >= milliseconds) return false;
    ::Sleep(10);
  }
}

std::string AtomName(ATOM atom) {
  char name[256] = {};
  const UINT n = ::GlobalGetAtomNameA(atom, name, sizeof(name));
  return std::string(name, n);
}

class Win32HotKeyManager : public ::testing::Test {
 protected:
  Win32HotKeyManager() : Manager(System) {
    Manager.OnHotKeyPressed = [this](THotKeyCode hotKey, std::uint16_t index) {
      Presses.push_back({hotKey, index});
    };
  }
  HWND Window() const { return reinterpret_cast<HWND>(Manager.Window()); }

  TWin32HotKeySystem System;
  THotKeyManager Manager;
  std::vector<TPress> Presses;
};

TEST_F(Win32HotKeyManager, PressOfCtrlAltNRaisesTheEventUntilUnregistered) {
  ASSERT_TRUE(::IsWindow(Window()));
  const std::uint16_t atom = Manager.RegisterHotKeyCode(0xC04E);
  ASSERT_NE(atom, 0) << "Ctrl+Alt+N taken by another program? error " << ::GetLastError();
  EXPECT_EQ(AtomName(atom), "HotKeyManagerHotKey49230");

  SendKeys({VK_CONTROL, VK_MENU}, 'N');
  ASSERT_TRUE(PumpUntil([this] { return !Presses.empty(); }, 3000)) << "no WM_HOTKEY";
  PumpUntil([] { return false; }, 200);  // nothing more may follow
  ASSERT_EQ(Presses.size(), 1u);
  EXPECT_EQ(Presses[0].HotKey, 0xC04Eu);
  EXPECT_EQ(Presses[0].Index, atom);

  EXPECT_TRUE(Manager.UnregisterHotKeyCode(0xC04E));
  EXPECT_EQ(::GlobalFindAtomA("HotKeyManagerHotKey49230"), 0);
  Presses.clear();
  SendKeys({VK_CONTROL, VK_MENU}, 'N');
  PumpUntil([] { return false; }, 500);
  EXPECT_TRUE(Presses.empty());
  EXPECT_FALSE(Manager.UnregisterHotKeyCode(0xC04E));
}

TEST_F(Win32HotKeyManager, SecondHolderOfACombinationIsRefused) {
  const std::uint16_t atom = Manager.RegisterHotKeyCode(0xE050);  // Ctrl+Shift+Alt+P
  ASSERT_NE(atom, 0);
  THotKeyManager other(System);
  EXPECT_EQ(other.RegisterHotKeyCode(0xE050), 0);
  EXPECT_EQ(::GetLastError(), 1409u);
  EXPECT_TRUE(other.Registrations().empty());
  // The refused attempt gave back its use of the shared atom, and only that.
  EXPECT_EQ(AtomName(atom), "HotKeyManagerHotKey57424");
  EXPECT_EQ(Manager.RegisterHotKeyCode(0xE050), 0);
  EXPECT_TRUE(Manager.UnregisterHotKeyCode(0xE050));
  EXPECT_EQ(::GlobalFindAtomA("HotKeyManagerHotKey57424"), 0);
}

TEST_F(Win32HotKeyManager, WindowProcedureFiltersAndSurvivesAThrowingHandler) {
  const std::uint16_t atom = Manager.RegisterHotKeyCode(0x1E051);  // all four + Q
  ASSERT_NE(atom, 0);
  const LPARAM lParam = MAKELPARAM(MOD_CONTROL | MOD_SHIFT | MOD_ALT | MOD_WIN, 'Q');
  ::SendMessageA(Window(), WM_HOTKEY, atom, MAKELPARAM(MOD_CONTROL, 'Q'));
  EXPECT_TRUE(Presses.empty()) << "a code we did not register";
  ::SendMessageA(Window(), WM_HOTKEY, atom, lParam);
  ASSERT_EQ(Presses.size(), 1u);
  EXPECT_EQ(Presses[0].HotKey, 0x1E051u);

  Manager.OnHotKeyPressed = [](THotKeyCode, std::uint16_t) { throw std::runtime_error("x"); };
  ::SendMessageA(Window(), WM_HOTKEY, atom, lParam);  // must come back here
  Manager.UnregisterAllHotKeys();
  EXPECT_TRUE(Manager.Registrations().empty());
}

TEST(Win32HotKeySystem, ManagerReleasesEverythingWhenDestroyed) {
  TWin32HotKeySystem system;
  HWND window = nullptr;
  {
    THotKeyManager manager(system);
    window = reinterpret_cast<HWND>(manager.Window());
    ASSERT_TRUE(::IsWindow(window));
    ASSERT_NE(manager.RegisterHotKeyCode(0xE051), 0);  // Ctrl+Shift+Alt+Q
    ASSERT_NE(manager.RegisterHotKeyCode(0xE052), 0);
  }
  EXPECT_FALSE(::IsWindow(window));
  EXPECT_EQ(::GlobalFindAtomA("HotKeyManagerHotKey57425"), 0);
  EXPECT_EQ(::GlobalFindAtomA("HotKeyManagerHotKey57426"), 0);
  // Released for real: another window may take them now.
  THotKeyManager again(system);
  EXPECT_NE(again.RegisterHotKeyCode(0xE051), 0);
}

}  // namespace
}  // namespace zt
