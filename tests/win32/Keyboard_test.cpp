#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

#include "hotkeys/HotKeyManager.h"
#include "platform/win32/Win32Keyboard.h"

// Wine names keys after X11 ("Control", "space", "Prior"...), Windows after
// its own tables: nothing here assumes either, only that both directions of
// the conversion agree with each other and with the layout in force.

namespace zt {
namespace {

TEST(Win32Keyboard, ReadsTheThreadsLayoutAndKeyNames) {
  TWin32Keyboard keyboard;
  const LayoutHandle current = keyboard.CurrentLayout();
  ASSERT_NE(current, 0u);
  const std::vector<LayoutHandle> installed = keyboard.InstalledLayouts();
  EXPECT_NE(std::find(installed.begin(), installed.end(), current), installed.end());

  const unsigned scan = keyboard.ScanCode('A');
  ASSERT_NE(scan, 0u);
  const std::string name = keyboard.KeyNameText(static_cast<long>(scan) << 16);
  EXPECT_FALSE(name.empty());
  EXPECT_EQ(name.find('\0'), std::string::npos);
  EXPECT_EQ(keyboard.KeyNameText(0), std::string());

  const LayoutHandle english = keyboard.LoadLayout("00000409");
  ASSERT_NE(english, 0u);
  EXPECT_EQ(keyboard.ScanCodeInLayout('A', english), scan);
  EXPECT_EQ(keyboard.CurrentLayout(), current) << "loading does not make it current";
}

TEST(Win32Keyboard, ComparesIgnoringCaseOnly) {
  TWin32Keyboard keyboard;
  const struct {
    const char* A;
    const char* B;
    bool Same;
  } cases[] = {{"ctrl", "CTRL", true}, {"Page Up", "page up", true},
               {"", "", true},         {"Ctrl", "Ctr", false},
               {"Ctrl", "", false},    {"", "Alt", false},
               {"Alt", "Alt ", false}, {"A", "B", false}};
  for (const auto& c : cases) {
    EXPECT_EQ(keyboard.SameTextIgnoreCase(c.A, c.B), c.Same) << c.A << " / " << c.B;
  }
}

class Win32HotKeyText : public ::testing::Test {
 protected:
  void SetUp() override { InitHotKeyText(Keyboard); }
  void TearDown() override { DoneHotKeyText(); }
  TWin32Keyboard Keyboard;
};

TEST_F(Win32HotKeyText, LocalWordsComeFromTheLayout) {
  EXPECT_EQ(ShiftKeyName, TextFromHotKey(16, true));
  EXPECT_EQ(CtrlKeyName, TextFromHotKey(17, true));
  EXPECT_EQ(AltKeyName, TextFromHotKey(18, true));
  const bool capitals = std::all_of(AltKeyName.begin(), AltKeyName.end(),
                                    [](char c) { return c >= 'A' && c <= 'Z'; });
  EXPECT_EQ(WinKeyName, capitals ? "WIN" : "Win");
  EXPECT_NE(EnglishLayout, 0u);
}

TEST_F(Win32HotKeyText, FixedTextsParseWhateverTheNames) {
  EXPECT_EQ(HotKeyFromText("Ctrl+Alt+N", true), 0xC04Eu);
  EXPECT_EQ(HotKeyFromText(" alt + ctrl + n ", true), 0xC04Eu);
  EXPECT_EQ(HotKeyFromText("Win+Shift+7", true), 0x12037u);
  EXPECT_EQ(HotKeyFromText("Ctrl+Alt", true), 0u);
  EXPECT_EQ(HotKeyFromText("Ctrl+NoSuchKeyAnywhere", true), 0u);
  EXPECT_EQ(TextFromHotKey(0xC04E, true),
            CtrlKeyName + "+" + AltKeyName + "+" + TextFromHotKey('N', true));
  EXPECT_EQ(TextFromHotKey(0x1E041, false), "Ctrl+Shift+Alt+Win+" + TextFromHotKey('A', false));
}

// The text of every named key parses back to a key of the same name, the
// lowest one, under the real layout.
TEST_F(Win32HotKeyText, CanonicalTextsRoundTrip) {
  for (bool localized : {true, false}) {
    int checked = 0;
    for (unsigned vk = 8; vk <= 255; ++vk) {
      const std::string name = TextFromHotKey(vk, localized);
      if (name.empty() || name.find_first_of("+'\"") != std::string::npos) continue;
      if (static_cast<unsigned char>(name.front()) <= 32 ||
          static_cast<unsigned char>(name.back()) <= 32) {
        continue;
      }
      if (name == CtrlKeyName || name == ShiftKeyName || name == AltKeyName || name == "Ctrl" ||
          name == "Shift" || name == "Alt" || name == "Win" || name == WinKeyName) {
        continue;
      }
      const std::string text = TextFromHotKey(HK_CTRL | HK_SHIFT | vk, localized);
      const THotKeyCode code = HotKeyFromText(text, localized);
      ASSERT_NE(code, 0u) << text << " (vk " << vk << ", localized " << localized << ")";
      EXPECT_EQ(code & ~0xFFu, HK_CTRL | HK_SHIFT) << text;
      EXPECT_LE(code & 0xFF, vk) << text;
      EXPECT_EQ(TextFromHotKey(code, localized), text);
      ++checked;
    }
    EXPECT_GT(checked, 40) << "localized " << localized;
  }
}

TEST_F(Win32HotKeyText, EnglishLookupsLeaveTheThreadsLayoutAlone) {
  const LayoutHandle before = Keyboard.CurrentLayout();
  EXPECT_EQ(HotKeyFromText("Ctrl+" + TextFromHotKey(0x20, false), false), 0x4020u);
  EXPECT_EQ(Keyboard.CurrentLayout(), before);
  const std::vector<LayoutHandle> installed = Keyboard.InstalledLayouts();
  EXPECT_NE(std::find(installed.begin(), installed.end(), EnglishLayout), installed.end())
      << "stays loaded until shut-down";
}

}  // namespace
}  // namespace zt
