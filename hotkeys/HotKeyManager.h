#pragma once
// Hotkey codes, their text form in both directions, and THotKeyManager, which
// registers codes as system-wide hotkeys and reports their presses.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/HotKeySystem.h"
#include "platform/Keyboard.h"

namespace zt {

// Virtual-key code in bits 0-7, Shift 0x2000, Ctrl 0x4000, Alt 0x8000,
// Win 0x10000; 0 means no hotkey.
using THotKeyCode = std::uint32_t;

constexpr THotKeyCode HK_SHIFT = 0x2000;
constexpr THotKeyCode HK_CTRL = 0x4000;
constexpr THotKeyCode HK_ALT = 0x8000;
constexpr THotKeyCode HK_WIN = 0x10000;

// The system's modifier flags (RegisterHotKey, WM_HOTKEY).
constexpr std::uint16_t MOD_ALT_FLAG = 1;
constexpr std::uint16_t MOD_CONTROL_FLAG = 2;
constexpr std::uint16_t MOD_SHIFT_FLAG = 4;
constexpr std::uint16_t MOD_WIN_FLAG = 8;

THotKeyCode MakeHotKeyCode(std::uint16_t modifiers, std::uint16_t key);
void SplitHotKeyCode(THotKeyCode code, std::uint16_t& modifiers, std::uint16_t& key);

// The canonical text: Ctrl, Shift, Alt, Win words in that order, each with "+",
// then the key's name from the layout.
std::string TextFromHotKey(THotKeyCode code, bool localized);
// 0 when the text is not accepted.
THotKeyCode HotKeyFromText(const std::string& text, bool localized);
// The lowest code 8..255 whose bare key name equals the name, ignoring case; 0 if
// none, and 0 for the empty name (it would match any nameless key).
THotKeyCode FindKeyByName(const std::string& name, bool localized);

// Key names are cached per layout handle and dropped when the thread's layout
// (or the English one, for Localized false) is another. Call this only when a
// layout changes its names under the same handle, as a simulated one may.
void ResetKeyNameCache();

// Module start-up and shut-down. The keyboard must outlive the module's use;
// without one (before start-up, after shut-down) every key name is empty.
// A US-English layout loaded by InitHotKeyText stays loaded until DoneHotKeyText.
void InitHotKeyText(Keyboard& keyboard);
void DoneHotKeyText();

// Module state, fixed by InitHotKeyText.
extern std::string ShiftKeyName;
extern std::string CtrlKeyName;
extern std::string AltKeyName;
extern std::string WinKeyName;
extern LayoutHandle EnglishLayout;
extern bool EnglishLayoutLoadedHere;

struct HotKeyRegistration {
  THotKeyCode Code;
  AtomId Atom;
};

// HotKey: the pressed code; Index: the atom of the registration that fired.
using TOnHotKeyPressed = std::function<void(THotKeyCode HotKey, std::uint16_t Index)>;

class THotKeyManager : private HotKeyWindowSink {
 public:
  explicit THotKeyManager(HotKeySystem& system);
  ~THotKeyManager() override;
  THotKeyManager(const THotKeyManager&) = delete;
  THotKeyManager& operator=(const THotKeyManager&) = delete;

  // The atom of the new registration, or 0 when the system refused it.
  std::uint16_t RegisterHotKeyCode(THotKeyCode code);
  // True when a registration with this code was listed and the system removed it.
  bool UnregisterHotKeyCode(THotKeyCode code);
  void UnregisterAllHotKeys();
  bool IsHotKeyCodeRegistered(THotKeyCode code) const;

  std::intptr_t HotKeyWindowProc(unsigned message, std::uintptr_t wParam,
                                 std::intptr_t lParam) override;

  TOnHotKeyPressed OnHotKeyPressed;

  WindowHandle Window() const { return FWindow; }
  const std::vector<HotKeyRegistration>& Registrations() const { return FRegistrations; }

 private:
  bool Release(std::size_t index);

  HotKeySystem& FSystem;
  WindowHandle FWindow = 0;
  std::vector<HotKeyRegistration> FRegistrations;
  // The codes of FRegistrations, sorted: a load asks for every binding
  // whether its code is registered already.
  std::vector<THotKeyCode> FSortedCodes;
};

}  // namespace zt
