#include "hotkeys/HotKeyManager.h"

#include <algorithm>
#include <array>
#include <map>
#include <optional>

namespace zt {

std::string ShiftKeyName = "Shift";
std::string CtrlKeyName = "Ctrl";
std::string AltKeyName = "Alt";
std::string WinKeyName = "Win";
LayoutHandle EnglishLayout = 0;
bool EnglishLayoutLoadedHere = false;

namespace {

constexpr unsigned VK_SHIFT_KEY = 16;
constexpr unsigned VK_CONTROL_KEY = 17;
constexpr unsigned VK_MENU_KEY = 18;
constexpr std::uint32_t EXTENDED_KEY_FLAG = 0x01000000;
const char* const HOTKEY_ATOM_PREFIX = "HotKeyManagerHotKey";

Keyboard* GKeyboard = nullptr;

// Names of one layout, filled as they are asked for. A lookup runs through up
// to 248 names, each a round trip to the system otherwise.
struct TKeyNameCache {
  LayoutHandle Layout = 0;
  bool Valid = false;
  std::array<std::optional<std::string>, 256> Names;
  // FindKeyByName's answers: a load parses the same key names over and over,
  // and each miss costs up to 248 locale comparisons.
  std::map<std::string, THotKeyCode> Found;

  void Reset() {
    Valid = false;
    Layout = 0;
    for (auto& name : Names) name.reset();
    Found.clear();
  }
  // Drops the names as soon as they belong to another layout.
  void Use(LayoutHandle layout) {
    if (Valid && Layout == layout) return;
    Reset();
    Layout = layout;
    Valid = true;
  }
};

// One per mode, so that mixing the modes does not throw the names away.
TKeyNameCache GLocalNames;
TKeyNameCache GEnglishNames;

bool IsExtendedKey(unsigned vk) {
  return (vk >= 0x21 && vk <= 0x28) || vk == 0x2D || vk == 0x2E;
}

std::uint32_t KeyNameParam(unsigned scan, unsigned vk) {
  return (static_cast<std::uint32_t>(scan) << 16) | (IsExtendedKey(vk) ? EXTENDED_KEY_FLAG : 0);
}

std::string AskKeyName(Keyboard& keyboard, std::uint32_t lParam) {
  return keyboard.KeyNameText(static_cast<long>(static_cast<std::int32_t>(lParam)));
}

// The name under the thread's current layout.
std::string ReadLocalKeyName(Keyboard& keyboard, unsigned vk) {
  const std::uint32_t lParam = KeyNameParam(keyboard.ScanCode(vk), vk);
  if (lParam == 0) return std::string();
  return AskKeyName(keyboard, lParam);
}

// The name under the US-English layout; the thread's layout is put back.
std::string ReadEnglishKeyName(Keyboard& keyboard, unsigned vk) {
  const std::uint32_t lParam = KeyNameParam(keyboard.ScanCodeInLayout(vk, EnglishLayout), vk);
  if (lParam == 0) return std::string();
  // A null layout handle would mean "the previous layout" to the system, so
  // without a loaded English layout the name is read where we stand.
  const LayoutHandle previous = keyboard.CurrentLayout();
  const bool switchLayout = EnglishLayout != 0 && previous != EnglishLayout;
  if (switchLayout) keyboard.ActivateLayout(EnglishLayout);
  std::string name = AskKeyName(keyboard, lParam);
  if (switchLayout) keyboard.ActivateLayout(previous);
  return name;
}

// The cache for the names asked for now; null when they cannot be cached.
TKeyNameCache* NameCache(Keyboard& keyboard, bool localized) {
  const LayoutHandle layout = localized ? keyboard.CurrentLayout() : EnglishLayout;
  if (layout == 0) return nullptr;
  TKeyNameCache& cache = localized ? GLocalNames : GEnglishNames;
  cache.Use(layout);
  return &cache;
}

std::string KeyName(unsigned vk, bool localized) {
  if (GKeyboard == nullptr) return std::string();
  vk &= 0xFF;
  Keyboard& keyboard = *GKeyboard;
  TKeyNameCache* cache = NameCache(keyboard, localized);
  if (cache == nullptr)
    return localized ? ReadLocalKeyName(keyboard, vk) : ReadEnglishKeyName(keyboard, vk);
  auto& cached = cache->Names[vk];
  if (!cached)
    cached = localized ? ReadLocalKeyName(keyboard, vk) : ReadEnglishKeyName(keyboard, vk);
  return *cached;
}

bool SameText(const std::string& a, const std::string& b) {
  if (GKeyboard != nullptr) return GKeyboard->SameTextIgnoreCase(a, b);
  // Before start-up there is no locale to ask; ASCII folding is all we know.
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    auto up = [](unsigned char c) { return (c >= 'a' && c <= 'z') ? c - 32 : c; };
    return up(static_cast<unsigned char>(x)) == up(static_cast<unsigned char>(y));
  });
}

std::string Trim(const std::string& s) {
  auto isBlank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
  std::size_t first = 0;
  std::size_t last = s.size();
  while (first < last && isBlank(s[first])) ++first;
  while (last > first && isBlank(s[last - 1])) --last;
  return s.substr(first, last - first);
}

std::vector<std::string> SplitHotKeyText(const std::string& text) {
  std::vector<std::string> pieces;
  const std::size_t n = text.size();
  std::size_t i = 0;
  while (i < n) {
    while (i < n && (text[i] == ' ' || text[i] == '\r' || text[i] == '\n')) ++i;
    const std::size_t start = i;
    char quote = 0;
    for (; i < n; ++i) {
      const char c = text[i];
      if (quote != 0) {
        if (c == quote) quote = 0;
      } else if (c == '\'' || c == '"') {
        quote = c;
      } else if (c == '+' || c == '\r' || c == '\n') {
        break;
      }
    }
    if (i > start) pieces.push_back(text.substr(start, i - start));
    ++i;  // past the character that ended the piece
  }
  return pieces;
}

// The system flag of a modifier word, 0 when the piece names none.
std::uint16_t ModifierOfPiece(const std::string& piece) {
  const std::string t = Trim(piece);
  // A blank piece names nothing, even when a layout left a local word empty.
  if (t.empty()) return 0;
  if (SameText(t, "Shift") || SameText(t, ShiftKeyName)) return MOD_SHIFT_FLAG;
  if (SameText(t, "Ctrl") || SameText(t, CtrlKeyName)) return MOD_CONTROL_FLAG;
  if (SameText(t, "Alt") || SameText(t, AltKeyName)) return MOD_ALT_FLAG;
  if (SameText(t, "Win") || SameText(t, WinKeyName)) return MOD_WIN_FLAG;
  return 0;
}

THotKeyCode KeyOfPiece(const std::string& piece, bool localized) {
  std::string t = Trim(piece);
  if (t.size() == 1) {
    char c = t[0];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z')) return static_cast<unsigned char>(c);
    return FindKeyByName(std::string(1, c), localized);
  }
  // Exact on purpose: "alt" in small letters still reaches the lookup.
  for (const std::string* word : {&CtrlKeyName, &AltKeyName, &ShiftKeyName, &WinKeyName}) {
    if (t == *word) return 0;
  }
  if (t == "Ctrl" || t == "Alt" || t == "Shift" || t == "Win") return 0;
  return FindKeyByName(t, localized);
}

}  // namespace

THotKeyCode MakeHotKeyCode(std::uint16_t modifiers, std::uint16_t key) {
  THotKeyCode code = 0;
  if (modifiers & MOD_ALT_FLAG) code += HK_ALT;
  if (modifiers & MOD_CONTROL_FLAG) code += HK_CTRL;
  if (modifiers & MOD_SHIFT_FLAG) code += HK_SHIFT;
  if (modifiers & MOD_WIN_FLAG) code += HK_WIN;
  return code + key;
}

void SplitHotKeyCode(THotKeyCode code, std::uint16_t& modifiers, std::uint16_t& key) {
  key = static_cast<std::uint16_t>(code & 0xFF);
  modifiers = 0;
  if (code & HK_WIN) modifiers |= MOD_WIN_FLAG;
  if (code & HK_ALT) modifiers |= MOD_ALT_FLAG;
  if (code & HK_CTRL) modifiers |= MOD_CONTROL_FLAG;
  if (code & HK_SHIFT) modifiers |= MOD_SHIFT_FLAG;
}

std::string TextFromHotKey(THotKeyCode code, bool localized) {
  const std::string name = KeyName(code & 0xFF, localized);
  std::string text;
  if (code & HK_CTRL) text += (localized ? CtrlKeyName : std::string("Ctrl")) + "+";
  if (code & HK_SHIFT) text += (localized ? ShiftKeyName : std::string("Shift")) + "+";
  if (code & HK_ALT) text += (localized ? AltKeyName : std::string("Alt")) + "+";
  if (code & HK_WIN) text += (localized ? WinKeyName : std::string("Win")) + "+";
  return text + name;
}

THotKeyCode FindKeyByName(const std::string& name, bool localized) {
  // Nameless keys all share the empty name; a blank text must not pick one.
  if (name.empty()) return 0;
  TKeyNameCache* cache = GKeyboard != nullptr ? NameCache(*GKeyboard, localized) : nullptr;
  if (cache != nullptr) {
    const auto found = cache->Found.find(name);
    if (found != cache->Found.end()) return found->second;
  }
  const LayoutHandle layout = cache != nullptr ? cache->Layout : 0;
  THotKeyCode code = 0;
  for (unsigned vk = 8; vk <= 255 && code == 0; ++vk) {
    if (SameText(name, KeyName(vk, localized))) code = vk;
  }
  // Kept only when every name came from the layout that is still in force.
  if (cache != nullptr && NameCache(*GKeyboard, localized) == cache && cache->Layout == layout)
    cache->Found.emplace(name, code);
  return code;
}

THotKeyCode HotKeyFromText(const std::string& text, bool localized) {
  const std::vector<std::string> pieces = SplitHotKeyText(text);
  if (pieces.empty()) return 0;
  std::uint16_t modifiers = 0;
  if (pieces.size() >= 2) {
    for (std::size_t i = 0; i + 1 < pieces.size(); ++i) {
      const std::uint16_t flag = ModifierOfPiece(pieces[i]);
      if (flag == 0) {
        modifiers = 0;
        break;
      }
      modifiers |= flag;
    }
    if (modifiers == 0) return 0;
  }
  const THotKeyCode key = KeyOfPiece(pieces.back(), localized);
  if (key == 0) return 0;
  return MakeHotKeyCode(modifiers, static_cast<std::uint16_t>(key));
}

void ResetKeyNameCache() {
  GLocalNames.Reset();
  GEnglishNames.Reset();
}

void InitHotKeyText(Keyboard& keyboard) {
  if (GKeyboard != nullptr) DoneHotKeyText();
  GKeyboard = &keyboard;
  ResetKeyNameCache();

  ShiftKeyName = TextFromHotKey(VK_SHIFT_KEY, true);
  CtrlKeyName = TextFromHotKey(VK_CONTROL_KEY, true);
  AltKeyName = TextFromHotKey(VK_MENU_KEY, true);
  const bool altInCapitals = std::all_of(AltKeyName.begin(), AltKeyName.end(),
                                         [](char c) { return c >= 'A' && c <= 'Z'; });
  WinKeyName = altInCapitals ? "WIN" : "Win";

  const std::vector<LayoutHandle> installed = keyboard.InstalledLayouts();
  EnglishLayout = keyboard.LoadLayout("00000409");
  // A failed load leaves nothing of ours to unload.
  EnglishLayoutLoadedHere = EnglishLayout != 0 && std::find(installed.begin(), installed.end(),
                                                            EnglishLayout) == installed.end();
}

void DoneHotKeyText() {
  if (GKeyboard != nullptr && EnglishLayoutLoadedHere) GKeyboard->UnloadLayout(EnglishLayout);
  ShiftKeyName.clear();
  CtrlKeyName.clear();
  AltKeyName.clear();
  WinKeyName.clear();
  EnglishLayout = 0;
  EnglishLayoutLoadedHere = false;
  ResetKeyNameCache();
  GKeyboard = nullptr;
}

// ---------------------------------------------------------------------------

THotKeyManager::THotKeyManager(HotKeySystem& system) : FSystem(system) {
  FWindow = FSystem.CreateHotKeyWindow(*this);
}

THotKeyManager::~THotKeyManager() {
  UnregisterAllHotKeys();
  if (FWindow != 0) FSystem.DestroyHotKeyWindow(FWindow);
}

std::uint16_t THotKeyManager::RegisterHotKeyCode(THotKeyCode code) {
  // Without our window the system would tie the hotkey to the thread, and its
  // presses would never reach us.
  if (FWindow == 0) return 0;
  std::uint16_t modifiers = 0;
  std::uint16_t key = 0;
  SplitHotKeyCode(code, modifiers, key);
  const AtomId atom = FSystem.AddGlobalAtom(HOTKEY_ATOM_PREFIX + std::to_string(code));
  // No atom, no identifier of our own: registering under 0 would succeed and
  // still be reported as refused.
  if (atom == 0) return 0;
  if (FSystem.RegisterHotKey(FWindow, atom, modifiers, key)) {
    FRegistrations.push_back(HotKeyRegistration{code, atom});
    FSortedCodes.insert(std::upper_bound(FSortedCodes.begin(), FSortedCodes.end(), code), code);
    return atom;
  }
  FSystem.DeleteGlobalAtom(atom);
  return 0;
}

bool THotKeyManager::Release(std::size_t index) {
  const HotKeyRegistration registration = FRegistrations[index];
  const bool ok = FSystem.UnregisterHotKey(FWindow, registration.Atom);
  FSystem.DeleteGlobalAtom(registration.Atom);
  FRegistrations.erase(FRegistrations.begin() + static_cast<std::ptrdiff_t>(index));
  FSortedCodes.erase(std::lower_bound(FSortedCodes.begin(), FSortedCodes.end(), registration.Code));
  return ok;
}

bool THotKeyManager::UnregisterHotKeyCode(THotKeyCode code) {
  for (std::size_t i = 0; i < FRegistrations.size(); ++i) {
    if (FRegistrations[i].Code == code) return Release(i);
  }
  return false;
}

void THotKeyManager::UnregisterAllHotKeys() {
  while (!FRegistrations.empty()) Release(FRegistrations.size() - 1);
}

bool THotKeyManager::IsHotKeyCodeRegistered(THotKeyCode code) const {
  return std::binary_search(FSortedCodes.begin(), FSortedCodes.end(), code);
}

std::intptr_t THotKeyManager::HotKeyWindowProc(unsigned message, std::uintptr_t wParam,
                                               std::intptr_t lParam) {
  // Taken before the handler runs: it may change the registrations, the
  // handler itself, or run a message loop of its own.
  HotKeySystem& system = FSystem;
  const WindowHandle window = FWindow;
  if (message == WM_HOTKEY_MESSAGE && OnHotKeyPressed) {
    const auto flags = static_cast<std::uint32_t>(lParam) & 0xFFFF;
    THotKeyCode code = (static_cast<std::uint32_t>(lParam) >> 16) & 0xFFFF;
    if (flags & MOD_SHIFT_FLAG) code += HK_SHIFT;
    if (flags & MOD_CONTROL_FLAG) code += HK_CTRL;
    if (flags & MOD_ALT_FLAG) code += HK_ALT;
    if (flags & MOD_WIN_FLAG) code += HK_WIN;
    if (IsHotKeyCodeRegistered(code)) {
      const TOnHotKeyPressed handler = OnHotKeyPressed;
      handler(code, static_cast<std::uint16_t>(wParam & 0xFFFF));
    }
  }
  return system.DefaultWindowProc(window, message, wParam, lParam);
}

}  // namespace zt
