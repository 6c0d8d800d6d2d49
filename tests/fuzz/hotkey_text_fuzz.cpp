// Hotkey text in both directions on the simulated layouts. The first byte
// picks the layout and the mode; the rest is the text. Beyond "no crash, no
// sanitizer report", two properties are checked:
//  - every accepted text gives a well-formed code (key 8..255, modifier bits only);
//  - the canonical text of a code whose words and key name are plain (no "+",
//    quotes, CR, LF or blanks at the ends, and the key found by its own name)
//    parses back to the same code.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "hotkeys/HotKeyManager.h"
#include "tests/doubles/SimulatedKeyboard.h"

using namespace zt;

namespace {

SimulatedKeyboard& UseLayout(LayoutHandle layout) {
  static SimulatedKeyboard keyboard;
  static LayoutHandle current = 0;
  if (current != layout) {
    DoneHotKeyText();
    keyboard.SetCurrent(layout);
    InitHotKeyText(keyboard);
    current = layout;
  }
  return keyboard;
}

bool Plain(const std::string& word) {
  if (word.empty()) return false;
  if (static_cast<unsigned char>(word.front()) <= 32 ||
      static_cast<unsigned char>(word.back()) <= 32)
    return false;
  return word.find_first_of("+\r\n'\"") == std::string::npos;
}

void CheckRoundTrip(THotKeyCode code, bool localized) {
  const std::string name = TextFromHotKey(code & 0xFF, localized);
  if (!Plain(name) || HotKeyFromText(name, localized) != (code & 0xFF)) return;
  const bool mods[] = {(code & HK_CTRL) != 0, (code & HK_SHIFT) != 0, (code & HK_ALT) != 0,
                       (code & HK_WIN) != 0};
  const std::string local[] = {CtrlKeyName, ShiftKeyName, AltKeyName, WinKeyName};
  for (int i = 0; i < 4; ++i)
    if (mods[i] && localized && !Plain(local[i])) return;
  const std::string text = TextFromHotKey(code, localized);
  if (HotKeyFromText(text, localized) != code) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  static const LayoutHandle layouts[] = {SimulatedKeyboard::US_ENGLISH, SimulatedKeyboard::CAPITALS,
                                         SimulatedKeyboard::CYRILLIC, SimulatedKeyboard::NAMELESS};
  UseLayout(layouts[data[0] & 3]);
  const bool localized = (data[0] & 4) == 0;
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

  const THotKeyCode code = HotKeyFromText(text, localized);
  if (code != 0) {
    if ((code & ~(HK_SHIFT | HK_CTRL | HK_ALT | HK_WIN | 0xFFu)) != 0) std::abort();
    if ((code & 0xFF) < 8) std::abort();
    CheckRoundTrip(code, localized);
  }

  // The same bytes read as a code: formatting takes any 32-bit value.
  if (size >= 5) {
    THotKeyCode raw;
    std::memcpy(&raw, data + 1, sizeof raw);
    (void)TextFromHotKey(raw, localized);
    if ((raw & 0xFF) >= 8) CheckRoundTrip(raw & (HK_SHIFT | HK_CTRL | HK_ALT | HK_WIN | 0xFF), localized);
  }
  return 0;
}
