#pragma once
// A keyboard with simulated layouts, for tests of the hotkey text module and of
// everything that formats or parses hotkey texts.
//
// A layout is two tables: virtual-key code -> scan code, and scan code (plus
// the extended flag) -> key name. The keyboard knows a set of layouts, of which
// some are installed (loaded) and one is the thread's current layout.
//
// Out of the box it knows the four layouts below, has only the US-English one
// installed, and that one is current:
//   UsEnglishLayout()  names keys as Windows does for US English:
//                      "Ctrl", "Shift" (16 and 160), "Alt", "Space", "Enter",
//                      "Esc", "Page Up" (extended), "Num *", "F1", "A", "1" ...
//   CapitalsLayout()   the same keys named in capitals: "STRG", "UMSCHALT",
//                      "ALT", "LEER", "BILD-AUF" ...; Y and Z swapped
//   CyrillicLayout()   local names in Windows-1251 ("Контр" for Ctrl, "Сдвиг"
//                      for Shift, "Альт" for Alt, "Пробел" for Space, "Ё" for
//                      the key left of 1); letters and digits name themselves
//   NamelessLayout()   US-English scan codes, but no key has a name
//
// Everything the module asks is counted or recorded, so tests can check what
// was loaded, unloaded and activated, and that the thread's layout (see
// ThreadLayout) is the same after a call as before it.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/Keyboard.h"

namespace zt {

struct TSimulatedLayout {
  LayoutHandle Handle = 0;
  std::string Id;                          // what LoadLayout takes, e.g. "00000409"
  std::map<unsigned, unsigned> ScanCodes;  // vk -> scan code
  std::map<unsigned, std::string> Names;   // NameKey(scan, extended) -> name

  static unsigned NameKey(unsigned scan, bool extended) {
    return (scan & 0xFF) | (extended ? 0x100u : 0u);
  }
  // Maps vk to scan and names the scan code (not extended).
  void SetKey(unsigned vk, unsigned scan, const std::string& name);
  // Names a scan code as the extended flag says; the vk table is untouched.
  void SetName(unsigned scan, bool extended, const std::string& name);
  void RemoveName(unsigned scan, bool extended) { Names.erase(NameKey(scan, extended)); }
};

TSimulatedLayout UsEnglishLayout();
TSimulatedLayout CapitalsLayout();
TSimulatedLayout CyrillicLayout();
TSimulatedLayout NamelessLayout();

class SimulatedKeyboard : public Keyboard {
 public:
  static constexpr LayoutHandle US_ENGLISH = 0x04090409;
  static constexpr LayoutHandle CAPITALS = 0x04070407;
  static constexpr LayoutHandle CYRILLIC = 0x04190419;
  static constexpr LayoutHandle NAMELESS = 0xF0020409;

  // As the system's ActivateKeyboardLayout reads them.
  static constexpr LayoutHandle HKL_PREV_LAYOUT = 0;
  static constexpr LayoutHandle HKL_NEXT_LAYOUT = 1;

  SimulatedKeyboard();

  // Makes a layout known (loadable by its Id), replacing one with the same handle.
  void AddLayout(const TSimulatedLayout& layout);
  // A known layout, for editing its tables in a test. After editing names of a
  // layout that has been used, call ResetKeyNameCache() (HotKeyManager.h).
  TSimulatedLayout& Layout(LayoutHandle handle);

  // Replaces the installed list (known handles only). When the current layout
  // is not in it, the first installed one becomes current.
  void SetInstalled(const std::vector<LayoutHandle>& layouts);
  // Makes a known layout current, installing it first when needed. Not counted.
  void SetCurrent(LayoutHandle layout);
  // The thread's current layout, read without being counted.
  LayoutHandle ThreadLayout() const { return FCurrent; }
  bool IsInstalled(LayoutHandle layout) const;

  // Knob: LoadLayout fails (returns 0) while set.
  bool FailLoad = false;

  // What was asked.
  int LoadCount = 0;
  int UnloadCount = 0;
  int KeyNameCalls = 0;
  std::vector<LayoutHandle> Activations;  // every ActivateLayout argument, in order
  std::vector<LayoutHandle> Unloaded;     // every UnloadLayout argument, in order

  // Keyboard
  unsigned ScanCode(unsigned vk) override;
  unsigned ScanCodeInLayout(unsigned vk, LayoutHandle layout) override;
  // Bits 16-23 of lParam are the scan code, bit 24 the extended flag. Names
  // are cut at their first NUL and at 256 bytes, as the system's buffer does.
  std::string KeyNameText(long lParam) override;
  LayoutHandle CurrentLayout() override { return FCurrent; }
  // Installed layouts become current; HKL_PREV (0) and HKL_NEXT (1) step
  // through the installed list; anything else is ignored.
  void ActivateLayout(LayoutHandle layout) override;
  std::vector<LayoutHandle> InstalledLayouts() override { return FInstalled; }
  // Installs the known layout with this Id and returns its handle; 0 if none.
  LayoutHandle LoadLayout(const std::string& id) override;
  // Uninstalls; when it was current, the first installed one left becomes current.
  void UnloadLayout(LayoutHandle layout) override;
  // Whole strings, case folded as a Windows-1251 locale does: ASCII a-z,
  // 0xE0-0xFF -> 0xC0-0xDF, 0xB8 -> 0xA8.
  bool SameTextIgnoreCase(const std::string& a, const std::string& b) override;

  static unsigned char FoldCase(unsigned char c);

 private:
  const TSimulatedLayout* Find(LayoutHandle handle) const;

  std::map<LayoutHandle, TSimulatedLayout> FLayouts;
  std::vector<LayoutHandle> FInstalled;
  LayoutHandle FCurrent = 0;
};

}  // namespace zt
