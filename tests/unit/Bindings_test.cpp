#include <gtest/gtest.h>

#include <algorithm>

#include "bindings/Bindings.h"
#include "tests/doubles/FakeHotKeySystem.h"
#include "tests/doubles/MemoryProfile.h"
#include "tests/doubles/SimulatedKeyboard.h"
#include "tests/doubles/VectorRows.h"

namespace zt {
namespace {

constexpr THotKeyCode CtrlAltN = HK_CTRL | HK_ALT | 'N';
constexpr THotKeyCode CtrlAltM = HK_CTRL | HK_ALT | 'M';
constexpr THotKeyCode CtrlQ = HK_CTRL | 'Q';

// The binding list over a real manager on the fake hotkey system, under the
// simulated US-English layout.
class BindingListTest : public ::testing::Test {
 protected:
  BindingListTest() {
    InitHotKeyText(Keyboard);
    List.SetAppDir("C:\\App\\");
    List.LoadBindings();  // no file: an empty list
  }
  ~BindingListTest() override { DoneHotKeyText(); }

  std::vector<THotKeyCode> Registered() const {
    std::vector<THotKeyCode> codes;
    for (const HotKeyRegistration& r : Manager.Registrations()) codes.push_back(r.Code);
    return codes;
  }
  void Select(int index) { Rows.SelectedIndex = index; }

  SimulatedKeyboard Keyboard;
  FakeHotKeySystem System;
  THotKeyManager Manager{System};
  TVectorRows Rows;
  TMemoryProfileFiles Files;
  TBindingList List{Rows, Manager, Files};
};

using Row = TVectorRows::TRow;

struct TAddCase {
  const char* text;
  const char* path;
  int pluginIndex;
  const char* pluginName;
  // The row added, or none when Text is empty.
  Row added;
  friend void PrintTo(const TAddCase& c, std::ostream* os) {
    *os << '"' << c.text << "\" \"" << c.path << "\" " << c.pluginIndex;
  }
};

class AddBindingCases : public BindingListTest, public ::testing::WithParamInterface<TAddCase> {};

TEST_P(AddBindingCases, AppendsAndRegistersOrRefusesSilently) {
  List.AddBinding("Ctrl+Alt+N", "first.exe", 0, "");
  List.AddBinding("Ctrl+\xC0", "cyrillic.exe", 0, "");  // Ctrl + Cyrillic capital A
  const std::vector<Row> before = Rows.Rows;
  const TAddCase& c = GetParam();

  List.AddBinding(c.text, c.path, c.pluginIndex, c.pluginName);

  std::vector<Row> expected = before;
  if (!c.added.Text.empty()) expected.push_back(c.added);
  EXPECT_EQ(Rows.Rows, expected);
  for (const Row& row : Rows.Rows)
    EXPECT_TRUE(row.Code == 0 || Manager.IsHotKeyCodeRegistered(row.Code)) << row.Text;
}

INSTANTIATE_TEST_SUITE_P(
    Bindings, AddBindingCases,
    ::testing::Values(
        TAddCase{"Ctrl+Q", "C:\\Tools\\q.exe", 0, "", {"Ctrl+Q", "C:\\Tools\\q.exe", CtrlQ}},
        // Duplicates fold a to z only.
        TAddCase{"ctrl+alt+n", "x.exe", 0, "", {}}, TAddCase{"CTRL+ALT+N", "x.exe", 0, "", {}},
        TAddCase{"Ctrl+\xE0", "x.exe", 0, "", {"Ctrl+\xE0", "x.exe", 0}},
        // Other texts of the same hotkey are other texts.
        TAddCase{"Alt+Ctrl+N", "x.exe", 0, "", {"Alt+Ctrl+N", "x.exe", CtrlAltN}},
        TAddCase{"Ctrl + Alt + N", "x.exe", 0, "", {"Ctrl + Alt + N", "x.exe", CtrlAltN}},
        TAddCase{" Ctrl+Q ", "x.exe", 0, "", {" Ctrl+Q ", "x.exe", CtrlQ}},
        // A text that does not parse is kept, with code 0.
        TAddCase{"Nonsense", "x.exe", 0, "", {"Nonsense", "x.exe", 0}},
        // A chosen plugin wins over a path.
        TAddCase{"Ctrl+Q", "C:\\x.exe", 2, "Calc", {"Ctrl+Q", "#Calc", CtrlQ}},
        TAddCase{"Ctrl+Q", "", 1, "a.b", {"Ctrl+Q", "#a.b", CtrlQ}},
        TAddCase{"Ctrl+Q", "", 1, "", {"Ctrl+Q", "#", CtrlQ}},
        // Refusals: no command, no text.
        TAddCase{"Ctrl+Q", "", 0, "", {}}, TAddCase{"Ctrl+Q", "", -1, "Calc", {}},
        TAddCase{"", "x.exe", 0, "", {}}, TAddCase{"", "", 3, "Calc", {}}));

TEST_F(BindingListTest, AddingTwiceAddsOnceAndRegistersEachCodeOnce) {
  List.AddBinding("Ctrl+Alt+N", "a.exe", 0, "");
  List.AddBinding("Ctrl+Alt+N", "a.exe", 0, "");
  List.AddBinding("Alt+Ctrl+N", "b.exe", 0, "");
  EXPECT_EQ(Rows.Count(), 2);
  EXPECT_EQ(Registered(), (std::vector<THotKeyCode>{CtrlAltN}));
  EXPECT_TRUE(System.IsRegistered(MOD_CONTROL_FLAG | MOD_ALT_FLAG, 'N'));
}

TEST_F(BindingListTest, RemovingKeepsTheCodeRegisteredWhileAnotherRowHoldsIt) {
  List.AddBinding("Ctrl+Alt+N", "a.exe", 0, "");
  List.AddBinding("Ctrl+Q", "q.exe", 0, "");
  List.AddBinding("Alt+Ctrl+N", "b.exe", 0, "");

  Select(-1);
  List.RemoveSelectedBinding();
  Select(7);
  List.RemoveSelectedBinding();
  EXPECT_EQ(Rows.Count(), 3);

  Select(0);
  List.RemoveSelectedBinding();
  EXPECT_EQ(Rows.Bindings().front().Text, "Ctrl+Q");
  EXPECT_EQ(Registered(), (std::vector<THotKeyCode>{CtrlAltN, CtrlQ}));

  Select(1);
  List.RemoveSelectedBinding();
  EXPECT_EQ(Registered(), (std::vector<THotKeyCode>{CtrlQ}));
  EXPECT_FALSE(System.IsRegistered(MOD_CONTROL_FLAG | MOD_ALT_FLAG, 'N'));

  Select(0);
  List.RemoveSelectedBinding();
  EXPECT_EQ(Rows.Count(), 0);
  EXPECT_TRUE(Registered().empty());
  EXPECT_TRUE(System.Registrations().empty());
}

TEST_F(BindingListTest, RemovingUnregistersTheCodeTheRowWasRegisteredWith) {
  List.AddBinding("Ctrl+Space", "a.exe", 0, "");
  ASSERT_EQ(Registered(), (std::vector<THotKeyCode>{HK_CTRL | 0x20}));
  // Under the new layout "Space" names no key; the code stored with the row
  // is still the one registered.
  Keyboard.SetCurrent(SimulatedKeyboard::CAPITALS);
  ASSERT_EQ(HotKeyFromText("Ctrl+Space", true), 0u);
  Select(0);
  List.RemoveSelectedBinding();
  EXPECT_TRUE(Registered().empty());
  EXPECT_TRUE(System.Registrations().empty());
}

TEST_F(BindingListTest, EditingATextMovesItsRegistration) {
  List.AddBinding("Ctrl+Alt+N", "a.exe", 0, "");
  List.AddBinding("Alt+Ctrl+N", "b.exe", 0, "");
  List.AddBinding("Ctrl+Q", "q.exe", 0, "");

  // Another row still holds Ctrl+Alt+N, so it stays; Ctrl+Alt+M is new.
  List.EditBindingText(0, "ctrl+alt+m");
  EXPECT_EQ(Rows.Rows[0], (Row{"ctrl+alt+m", "a.exe", CtrlAltM}));
  EXPECT_EQ(Registered(), (std::vector<THotKeyCode>{CtrlAltN, CtrlQ, CtrlAltM}));

  // Now nobody holds Ctrl+Alt+N; Ctrl+Q is registered already.
  List.EditBindingText(1, "Ctrl + Q");
  EXPECT_EQ(Rows.Rows[1], (Row{"Ctrl + Q", "b.exe", CtrlQ}));
  EXPECT_EQ(Registered(), (std::vector<THotKeyCode>{CtrlQ, CtrlAltM}));

  // A text that does not parse; no duplicate test for edits.
  List.EditBindingText(2, "Ctrl+Alt+M");
  List.EditBindingText(1, "garbage");
  EXPECT_EQ(Rows.Rows[1].Code, 0u);
  EXPECT_EQ(Rows.Rows[2].Code, CtrlAltM);
  std::vector<THotKeyCode> codes = Registered();
  EXPECT_EQ(std::count(codes.begin(), codes.end(), CtrlQ), 0);
  EXPECT_EQ(std::count(codes.begin(), codes.end(), CtrlAltM), 1);

  // Out of range: nothing.
  List.EditBindingText(3, "Ctrl+W");
  List.EditBindingText(-1, "Ctrl+W");
  EXPECT_EQ(Rows.Count(), 3);
  EXPECT_FALSE(Manager.IsHotKeyCodeRegistered(HK_CTRL | 'W'));
}

TEST_F(BindingListTest, ACodeRefusedBeforeIsTriedAgainForTheNextRow) {
  System.TakeByOtherProgram(MOD_CONTROL_FLAG, 'Q');
  List.AddBinding("Ctrl+Q", "a.exe", 0, "");
  EXPECT_TRUE(Registered().empty());
  System.ReleaseByOtherProgram(MOD_CONTROL_FLAG, 'Q');
  List.AddBinding("Ctrl + Q", "b.exe", 0, "");
  EXPECT_EQ(Registered(), (std::vector<THotKeyCode>{CtrlQ}));
}

}  // namespace
}  // namespace zt
