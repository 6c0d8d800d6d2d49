#include <gtest/gtest.h>

#include "hotkeys/HotKeyManager.h"
#include "tests/doubles/SimulatedKeyboard.h"

namespace zt {
namespace {

using KB = SimulatedKeyboard;

struct TTextCase {
  const char* Text;
  THotKeyCode Code;
};

// Control and 8-bit characters escaped, so that test names stay one plain line.
std::ostream& operator<<(std::ostream& os, const TTextCase& c) {
  static const char HEX[] = "0123456789ABCDEF";
  os << '"';
  for (const char* p = c.Text; *p != 0; ++p) {
    const auto b = static_cast<unsigned char>(*p);
    if (b < 32 || b >= 127) {
      os << "\\x" << HEX[b >> 4] << HEX[b & 15];
    } else {
      os << *p;
    }
  }
  return os << "\" -> 0x" << std::hex << c.Code;
}

// The module under a keyboard whose current layout is chosen per test.
class HotKeyTextTest : public ::testing::Test {
 protected:
  void StartUnder(LayoutHandle layout) {
    Keyboard.SetCurrent(layout);
    InitHotKeyText(Keyboard);
  }
  void TearDown() override { DoneHotKeyText(); }

  SimulatedKeyboard Keyboard;
};

TEST(HotKeyCodeTest, MakeAndSplitAgreeForEveryModifierSet) {
  for (std::uint16_t mods = 0; mods < 16; ++mods) {
    const THotKeyCode code = MakeHotKeyCode(mods, 0x4E);
    EXPECT_EQ(code & 0xFF, 0x4Eu);
    EXPECT_EQ((code & HK_ALT) != 0, (mods & MOD_ALT_FLAG) != 0);
    EXPECT_EQ((code & HK_CTRL) != 0, (mods & MOD_CONTROL_FLAG) != 0);
    EXPECT_EQ((code & HK_SHIFT) != 0, (mods & MOD_SHIFT_FLAG) != 0);
    EXPECT_EQ((code & HK_WIN) != 0, (mods & MOD_WIN_FLAG) != 0);
    std::uint16_t backMods = 0xFFFF, backKey = 0xFFFF;
    SplitHotKeyCode(code, backMods, backKey);
    EXPECT_EQ(backMods, mods);
    EXPECT_EQ(backKey, 0x4E);
  }
}

TEST(HotKeyCodeTest, ForeignBitsPlayNoPart) {
  EXPECT_EQ(MakeHotKeyCode(MOD_CONTROL_FLAG | MOD_ALT_FLAG, 'N'), 0xC04Eu);
  EXPECT_EQ(MakeHotKeyCode(0x4000 | MOD_CONTROL_FLAG, 'A'), 0x4041u);  // MOD_NOREPEAT
  std::uint16_t mods = 0, key = 0;
  SplitHotKeyCode(0xFFFFFFFF, mods, key);
  EXPECT_EQ(mods, 0xF);
  EXPECT_EQ(key, 0xFF);
  SplitHotKeyCode(0x1F41, mods, key);
  EXPECT_EQ(mods, 0);
  EXPECT_EQ(key, 0x41);
}

class UsEnglishParseTest : public HotKeyTextTest,
                           public ::testing::WithParamInterface<TTextCase> {};

TEST_P(UsEnglishParseTest, TextGivesCode) {
  StartUnder(KB::US_ENGLISH);
  EXPECT_EQ(HotKeyFromText(GetParam().Text, true), GetParam().Code);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UsEnglishParseTest,
    ::testing::Values(
        // refused
        TTextCase{"", 0}, TTextCase{"+", 0}, TTextCase{"++", 0}, TTextCase{"Ctrl+", 0},
        TTextCase{"Ctrl+Alt", 0}, TTextCase{"Ctrl", 0}, TTextCase{"Win", 0}, TTextCase{"Foo+N", 0},
        TTextCase{"Ctrl+Foo", 0}, TTextCase{"Ctrl+N+Alt", 0}, TTextCase{"Ctrl+Win", 0},
        TTextCase{"Right Alt", 0},
        // blank pieces name nothing, whatever the layout leaves empty
        TTextCase{"\t", 0}, TTextCase{"Ctrl+\t", 0}, TTextCase{"Ctrl+ \t ", 0},
        // letters and digits, any case
        TTextCase{"a", 0x41}, TTextCase{"1", 0x31}, TTextCase{"Ctrl+A", 0x4041},
        TTextCase{" ctrl + SHIFT + a", 0x6041}, TTextCase{"Alt+Ctrl+N", 0xC04E},
        // order, spacing, repeats, stray "+"
        TTextCase{"Ctrl + Alt + N", 0xC04E}, TTextCase{"Ctrl+Shift+Shift+N", 0x604E},
        TTextCase{"Ctrl++N", 0x404E}, TTextCase{"+Ctrl+N", 0x404E}, TTextCase{"Ctrl+N+", 0x404E},
        TTextCase{"\tCtrl+\tN\t", 0x404E},
        // CR and LF end pieces like "+"; leading ones are skipped
        TTextCase{"Ctrl\rN", 0x404E}, TTextCase{"Ctrl\nAlt\r\nN", 0xC04E},
        TTextCase{"\r\nWin+Space\r\n", 0x10020},
        // named keys, inner blanks kept, extended keys
        TTextCase{"Win+Space", 0x10020}, TTextCase{"ctrl+page up", 0x4021},
        TTextCase{"  Ctrl  +  Page Up  ", 0x4021}, TTextCase{"Shift+Delete", 0x202E},
        TTextCase{"Ctrl+Num *", 0x406A}, TTextCase{"F1", 0x70}, TTextCase{"Alt+F12", 0x807B},
        TTextCase{"Esc", 0x1B}, TTextCase{"Enter", 0x0D}, TTextCase{"Ctrl+;", 0x40BA},
        // a modifier word as key: refused exactly, looked up otherwise
        TTextCase{"Ctrl+alt", 0x4012}, TTextCase{"ctrl", 0x11}, TTextCase{"SHIFT", 0x10},
        // the lowest code wins: Shift 16 before left Shift 160, Clear before
        // Num 5, Num / (its plain name is "/") before the "/" key
        TTextCase{"shift", 0x10}, TTextCase{"Num 5", 0x0C}, TTextCase{"Ctrl+/", 0x406F},
        // quotes open a stretch to the same quote or the end, and stay in the piece
        TTextCase{"Ctrl+'", 0x40DE}, TTextCase{"'Ctrl+Alt'+N", 0}, TTextCase{"Ctrl+\"N+M", 0},
        TTextCase{"Ctrl+\"", 0}));

class UsEnglishFormatTest : public HotKeyTextTest,
                            public ::testing::WithParamInterface<TTextCase> {};

TEST_P(UsEnglishFormatTest, CodeGivesCanonicalText) {
  StartUnder(KB::US_ENGLISH);
  EXPECT_EQ(TextFromHotKey(GetParam().Code, true), GetParam().Text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UsEnglishFormatTest,
    ::testing::Values(TTextCase{"Ctrl+Shift+A", 0x6041}, TTextCase{"Ctrl+Alt+N", 0xC04E},
                      TTextCase{"Ctrl+Shift+Alt+Win+A", 0x1E041}, TTextCase{"Win+Space", 0x10020},
                      TTextCase{"Ctrl+Page Up", 0x4021}, TTextCase{"End", 0x23},
                      TTextCase{"Num 1", 0x61}, TTextCase{"/", 0x6F}, TTextCase{"Ctrl+Alt", 0x4012},
                      TTextCase{"", 0}, TTextCase{"Ctrl+", 0x4000}, TTextCase{"Win+", 0x1005B},
                      TTextCase{"A", 0x1F41}, TTextCase{"A", 0xFFFE0041}));

TEST_F(HotKeyTextTest, QuotesKeepPlusInsideAPiece) {
  Keyboard.Layout(KB::US_ENGLISH).SetName(0x4E, false, "'+'");  // rename "Num +"
  StartUnder(KB::US_ENGLISH);
  EXPECT_EQ(HotKeyFromText("Ctrl+'+'", true), 0x406Bu);
  EXPECT_EQ(HotKeyFromText("Ctrl+'+", true), 0u);
}

// Whatever a layout calls its keys, the canonical text of Ctrl with a key
// parses back to Ctrl with the lowest key of that name, unless the name cannot
// stand as a piece (it holds "+", a quote or a blank at its ends, or is a
// modifier word).
TEST_F(HotKeyTextTest, CanonicalTextParsesBackInEveryNamedLayout) {
  for (LayoutHandle layout : {KB::US_ENGLISH, KB::CAPITALS, KB::CYRILLIC}) {
    StartUnder(layout);
    int checked = 0;
    for (unsigned vk = 8; vk <= 255; ++vk) {
      const std::string name = TextFromHotKey(vk, true);
      if (name.empty() || name.find_first_of("+'\"") != std::string::npos) continue;
      if (name == CtrlKeyName || name == ShiftKeyName || name == AltKeyName) continue;
      const THotKeyCode code = HotKeyFromText(TextFromHotKey(HK_CTRL | vk, true), true);
      ASSERT_NE(code, 0u) << "layout " << layout << " vk " << vk << " " << name;
      EXPECT_EQ(code & ~0xFFu, HK_CTRL);
      EXPECT_LE(code & 0xFF, vk);
      EXPECT_EQ(TextFromHotKey(code, true), TextFromHotKey(HK_CTRL | vk, true));
      ++checked;
    }
    EXPECT_GT(checked, 40) << "layout " << layout;
    DoneHotKeyText();
  }
}

TEST_F(HotKeyTextTest, CapitalsLayoutGivesCapitalWinWord) {
  StartUnder(KB::CAPITALS);
  EXPECT_EQ(CtrlKeyName, "STRG");
  EXPECT_EQ(ShiftKeyName, "UMSCHALT");
  EXPECT_EQ(AltKeyName, "ALT");
  EXPECT_EQ(WinKeyName, "WIN");
  EXPECT_EQ(TextFromHotKey(0x1E041, true), "STRG+UMSCHALT+ALT+WIN+A");
  const TTextCase cases[] = {
      {"strg+umschalt+leer", 0x6020},
      {"Ctrl+LEER", 0x4020},
      {"win+a", 0x10041},
      {"WIN+Alt+bild-auf", 0x18021},
      {"STRG+ALT", 0},
      {"STRG+WIN", 0},
      {"STRG+Win", 0},
      {"STRG+alt", 0x4012},
      {"STRG+Space", 0},
      {"STRG+Y", 0x4059},
      {"Shift+ENTF", 0x202E},
  };
  for (const TTextCase& c : cases) EXPECT_EQ(HotKeyFromText(c.Text, true), c.Code) << c;
}

TEST_F(HotKeyTextTest, MixedCaseAltNameKeepsWinWord) {
  TSimulatedLayout layout = CapitalsLayout();
  layout.SetName(0x38, false, "AltGr");
  Keyboard.AddLayout(layout);
  StartUnder(KB::CAPITALS);
  EXPECT_EQ(WinKeyName, "Win");
}

TEST_F(HotKeyTextTest, LocalWordsFoldUnderTheUsersLocale) {
  StartUnder(KB::CYRILLIC);
  // "контр+пробел" in small Windows-1251 letters, "ё" for the key named "Ё"
  const TTextCase cases[] = {
      {"\xEA\xEE\xED\xF2\xF0+\xEF\xF0\xEE\xE1\xE5\xEB", 0x4020},
      {"Ctrl+\xB8", 0x40C0},
      {"\xD1\xE4\xE2\xE8\xE3+\xC0\xEB\xFC\xF2+N", 0xA04E},
      {"\xC0\xEB\xFC\xF2+\xC2\xE2\xEE\xE4", 0x800D},
  };
  for (const TTextCase& c : cases) EXPECT_EQ(HotKeyFromText(c.Text, true), c.Code) << c;
  EXPECT_EQ(TextFromHotKey(0x604E, true), "\xCA\xEE\xED\xF2\xF0+\xD1\xE4\xE2\xE8\xE3+N");
}

TEST_F(HotKeyTextTest, NamelessLayoutKeepsLettersAndDigitsOnly) {
  StartUnder(KB::NAMELESS);
  EXPECT_EQ(ShiftKeyName, "");
  EXPECT_EQ(CtrlKeyName, "");
  EXPECT_EQ(AltKeyName, "");
  EXPECT_EQ(WinKeyName, "WIN");  // an empty Alt name counts as capitals
  const TTextCase cases[] = {
      {"Ctrl+A", 0x4041}, {"shift+alt+7", 0xA037}, {"Ctrl+Space", 0}, {"Ctrl+\t", 0},
      {"\t+A", 0},        {"Ctrl+ +A", 0x4041},
  };
  for (const TTextCase& c : cases) EXPECT_EQ(HotKeyFromText(c.Text, true), c.Code) << c;
  EXPECT_EQ(FindKeyByName("", true), 0u);
  EXPECT_EQ(TextFromHotKey(0x10041, true), "WIN+");
  EXPECT_EQ(TextFromHotKey(0x6041, true), "++");
}

TEST_F(HotKeyTextTest, EnglishModeUsesEnglishNamesAndRestoresTheLayout) {
  Keyboard.SetInstalled({KB::CAPITALS});
  StartUnder(KB::CAPITALS);
  ASSERT_EQ(EnglishLayout, KB::US_ENGLISH);
  EXPECT_TRUE(EnglishLayoutLoadedHere);
  Keyboard.Activations.clear();

  EXPECT_EQ(TextFromHotKey(0x1E041, false), "Ctrl+Shift+Alt+Win+A");
  EXPECT_EQ(TextFromHotKey(0x4021, false), "Ctrl+Page Up");
  EXPECT_EQ(TextFromHotKey(0x4021, true), "STRG+BILD-AUF");
  EXPECT_EQ(HotKeyFromText("Ctrl+Space", false), 0x4020u);
  EXPECT_EQ(HotKeyFromText("STRG+Space", false), 0x4020u);  // local words count in both modes
  EXPECT_EQ(HotKeyFromText("Ctrl+LEER", false), 0u);

  EXPECT_EQ(Keyboard.ThreadLayout(), KB::CAPITALS);
  ASSERT_FALSE(Keyboard.Activations.empty());
  for (std::size_t i = 0; i + 1 < Keyboard.Activations.size(); i += 2) {
    EXPECT_EQ(Keyboard.Activations[i], KB::US_ENGLISH);
    EXPECT_EQ(Keyboard.Activations[i + 1], KB::CAPITALS);
  }
  // The English layout stays loaded for later lookups until shut-down.
  EXPECT_EQ(Keyboard.UnloadCount, 0);
  EXPECT_TRUE(Keyboard.IsInstalled(KB::US_ENGLISH));
  DoneHotKeyText();
  EXPECT_EQ(Keyboard.Unloaded, std::vector<LayoutHandle>{KB::US_ENGLISH});
  EXPECT_FALSE(Keyboard.IsInstalled(KB::US_ENGLISH));
}

TEST_F(HotKeyTextTest, EnglishModeUnderTheEnglishLayoutSwitchesNothing) {
  StartUnder(KB::US_ENGLISH);
  EXPECT_FALSE(EnglishLayoutLoadedHere);
  EXPECT_EQ(HotKeyFromText("Ctrl+Page Down", false), 0x4022u);
  EXPECT_TRUE(Keyboard.Activations.empty());
  DoneHotKeyText();
  EXPECT_EQ(Keyboard.UnloadCount, 0);
}

TEST_F(HotKeyTextTest, FailedEnglishLoadNeverActivatesTheNullLayout) {
  Keyboard.SetInstalled({KB::CAPITALS, KB::CYRILLIC});
  Keyboard.FailLoad = true;
  StartUnder(KB::CAPITALS);
  EXPECT_EQ(EnglishLayout, 0u);
  EXPECT_FALSE(EnglishLayoutLoadedHere);
  // The null handle means "previous layout" to the system: the name would
  // come from whichever layout that is.
  EXPECT_EQ(TextFromHotKey(0x20, false), "LEER");
  EXPECT_TRUE(Keyboard.Activations.empty());
  EXPECT_EQ(Keyboard.ThreadLayout(), KB::CAPITALS);
  DoneHotKeyText();
  EXPECT_EQ(Keyboard.UnloadCount, 0);
}

TEST_F(HotKeyTextTest, LocalWordsStayWhileKeyNamesFollowTheLayout) {
  Keyboard.SetInstalled({KB::US_ENGLISH, KB::CAPITALS});
  StartUnder(KB::US_ENGLISH);
  EXPECT_EQ(HotKeyFromText("Ctrl+Space", true), 0x4020u);
  const int callsAfterFirst = Keyboard.KeyNameCalls;
  EXPECT_EQ(HotKeyFromText("Alt+Space", true), 0x8020u);
  EXPECT_EQ(Keyboard.KeyNameCalls, callsAfterFirst) << "names of an unchanged layout are reused";

  Keyboard.ActivateLayout(KB::CAPITALS);
  EXPECT_EQ(TextFromHotKey(0x4020, true), "Ctrl+LEER");
  EXPECT_EQ(HotKeyFromText("Ctrl+Space", true), 0u);
  EXPECT_EQ(HotKeyFromText("Ctrl+LEER", true), 0x4020u);
  EXPECT_EQ(HotKeyFromText("STRG+LEER", true), 0u);  // words were captured at start-up

  Keyboard.ActivateLayout(KB::US_ENGLISH);
  EXPECT_EQ(TextFromHotKey(0x4020, true), "Ctrl+Space");
  EXPECT_EQ(HotKeyFromText("Ctrl+LEER", true), 0u);
}

TEST_F(HotKeyTextTest, EnglishNamesAreNotTakenFromTheLocalLayoutsCache) {
  Keyboard.SetInstalled({KB::US_ENGLISH, KB::CAPITALS});
  StartUnder(KB::CAPITALS);
  EXPECT_EQ(TextFromHotKey(0x20, true), "LEER");
  EXPECT_EQ(TextFromHotKey(0x20, false), "Space");
  EXPECT_EQ(TextFromHotKey(0x20, true), "LEER");
}

TEST_F(HotKeyTextTest, ShutDownLeavesTheKeyboardAlone) {
  StartUnder(KB::US_ENGLISH);
  DoneHotKeyText();
  EXPECT_EQ(CtrlKeyName, "");
  EXPECT_EQ(WinKeyName, "");
  const int calls = Keyboard.KeyNameCalls;
  EXPECT_EQ(HotKeyFromText("Ctrl+Space", true), 0u);
  EXPECT_EQ(TextFromHotKey(0x20, true), "");
  EXPECT_EQ(HotKeyFromText("Ctrl+A", true), 0x4041u);
  EXPECT_EQ(Keyboard.KeyNameCalls, calls);
}

TEST_F(HotKeyTextTest, SecondStartUpReleasesTheFirst) {
  Keyboard.SetInstalled({KB::CAPITALS});
  StartUnder(KB::CAPITALS);
  InitHotKeyText(Keyboard);  // the English layout is installed by now
  EXPECT_EQ(Keyboard.Unloaded, std::vector<LayoutHandle>{KB::US_ENGLISH});
  EXPECT_TRUE(EnglishLayoutLoadedHere);
}

}  // namespace
}  // namespace zt
