#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

#include "hotkeys/HotKeyManager.h"
#include "tests/doubles/FakeHotKeySystem.h"

namespace zt {
namespace {

using ::testing::ElementsAre;

struct TPress {
  THotKeyCode HotKey;
  std::uint16_t Index;
  bool operator==(const TPress&) const = default;
};

std::intptr_t HotKeyLParam(unsigned mods, unsigned vk) {
  return static_cast<std::intptr_t>((vk << 16) | mods);
}

class HotKeyManagerTest : public ::testing::Test {
 protected:
  HotKeyManagerTest() : Manager(std::make_unique<THotKeyManager>(System)) {}

  void RecordPresses() {
    Manager->OnHotKeyPressed = [this](THotKeyCode hotKey, std::uint16_t index) {
      Presses.push_back({hotKey, index});
    };
  }
  std::string Window() const { return std::to_string(Manager->Window()); }

  FakeHotKeySystem System;
  std::unique_ptr<THotKeyManager> Manager;
  std::vector<TPress> Presses;
};

TEST_F(HotKeyManagerTest, RegistersUnderTheAtomOfItsDecimalName) {
  const struct {
    THotKeyCode Code;
    const char* Name;
    unsigned Mods;
    unsigned Vk;
  } cases[] = {{0x4041, "HotKeyManagerHotKey16449", MOD_CONTROL_FLAG, 0x41},
               {0x10020, "HotKeyManagerHotKey65568", MOD_WIN_FLAG, 0x20},
               {0x1E04E, "HotKeyManagerHotKey122958", 0xF, 0x4E}};
  for (const auto& c : cases) {
    const std::uint16_t atom = Manager->RegisterHotKeyCode(c.Code);
    ASSERT_NE(atom, 0) << c.Name;
    EXPECT_EQ(System.AtomName(atom), c.Name);
    EXPECT_EQ(System.Log.back(), "Register " + Window() + " " + std::to_string(atom) + " " +
                                     std::to_string(c.Mods) + " " + std::to_string(c.Vk) +
                                     " -> ok");
    EXPECT_TRUE(Manager->IsHotKeyCodeRegistered(c.Code));
  }
  ASSERT_EQ(Manager->Registrations().size(), 3u);
  EXPECT_EQ(Manager->Registrations()[1].Code, 0x10020u);
  EXPECT_FALSE(Manager->IsHotKeyCodeRegistered(0x4141));  // all 32 bits count
  EXPECT_FALSE(Manager->IsHotKeyCodeRegistered(0x41));
}

TEST_F(HotKeyManagerTest, RefusedRegistrationGivesTheAtomBack) {
  const std::uint16_t first = Manager->RegisterHotKeyCode(0x4041);
  ASSERT_NE(first, 0);
  EXPECT_EQ(Manager->RegisterHotKeyCode(0x4041), 0);  // same combination twice
  EXPECT_EQ(System.AtomUseCount("HotKeyManagerHotKey16449"), 1);
  EXPECT_EQ(Manager->Registrations().size(), 1u);

  System.TakeByOtherProgram(MOD_CONTROL_FLAG | MOD_ALT_FLAG, 'Q');
  EXPECT_EQ(Manager->RegisterHotKeyCode(0xC051), 0);
  EXPECT_EQ(System.FindAtom("HotKeyManagerHotKey49233"), 0);

  System.RefuseRegister = true;
  EXPECT_EQ(Manager->RegisterHotKeyCode(0), 0);
  const std::size_t n = System.Log.size();
  ASSERT_GE(n, 3u);
  EXPECT_THAT(System.Log[n - 3], ::testing::StartsWith("AddAtom HotKeyManagerHotKey0 -> "));
  EXPECT_THAT(System.Log[n - 2], ::testing::EndsWith(" 0 0 -> refused"));
  EXPECT_THAT(System.Log[n - 1], ::testing::StartsWith("DeleteAtom "));
  EXPECT_EQ(System.AtomCount(), 1u);
  EXPECT_EQ(Manager->Registrations().size(), 1u);
}

TEST_F(HotKeyManagerTest, NothingIsRegisteredWithoutAnAtomOrAWindow) {
  System.FailAtoms = true;
  EXPECT_EQ(Manager->RegisterHotKeyCode(0x4041), 0);
  EXPECT_TRUE(System.Registrations().empty());
  EXPECT_TRUE(Manager->Registrations().empty());

  FakeHotKeySystem noWindows;
  noWindows.FailWindow = true;
  {
    THotKeyManager manager(noWindows);
    EXPECT_EQ(manager.RegisterHotKeyCode(0x4041), 0);
    EXPECT_TRUE(noWindows.Registrations().empty());
    EXPECT_EQ(noWindows.AtomCount(), 0u);
  }
  EXPECT_THAT(noWindows.Log, ElementsAre("CreateWindow 0"));
}

TEST_F(HotKeyManagerTest, UnregisterReleasesTheFirstMatchingRecord) {
  const std::uint16_t win = Manager->RegisterHotKeyCode(0x1004E);
  const std::uint16_t ctrl = Manager->RegisterHotKeyCode(0x4041);
  System.Log.clear();
  EXPECT_TRUE(Manager->UnregisterHotKeyCode(0x1004E));
  EXPECT_THAT(System.Log,
              ElementsAre("Unregister " + Window() + " " + std::to_string(win) + " -> ok",
                          "DeleteAtom " + std::to_string(win)));
  EXPECT_FALSE(Manager->IsHotKeyCodeRegistered(0x1004E));
  EXPECT_FALSE(System.IsRegistered(MOD_WIN_FLAG, 0x4E));
  EXPECT_EQ(System.FindAtom("HotKeyManagerHotKey65614"), 0);
  ASSERT_EQ(Manager->Registrations().size(), 1u);
  EXPECT_EQ(Manager->Registrations()[0].Atom, ctrl);

  System.Log.clear();
  EXPECT_FALSE(Manager->UnregisterHotKeyCode(0x1004E));
  EXPECT_FALSE(Manager->UnregisterHotKeyCode(0));
  EXPECT_TRUE(System.Log.empty());
}

TEST_F(HotKeyManagerTest, FailedUnregisterStillDropsRecordAndAtom) {
  Manager->RegisterHotKeyCode(0x4041);
  System.RefuseUnregister = true;
  EXPECT_FALSE(Manager->UnregisterHotKeyCode(0x4041));
  EXPECT_TRUE(Manager->Registrations().empty());
  EXPECT_EQ(System.AtomCount(), 0u);
}

TEST_F(HotKeyManagerTest, ReleasesInReverseOrderThenDestroysTheWindow) {
  Manager->UnregisterAllHotKeys();  // empty: nothing to ask
  EXPECT_THAT(System.Log, ElementsAre("CreateWindow " + Window()));

  const std::string a = std::to_string(Manager->RegisterHotKeyCode(0x4041));
  const std::string b = std::to_string(Manager->RegisterHotKeyCode(0x10020));
  const std::string c = std::to_string(Manager->RegisterHotKeyCode(0xC04E));
  const std::string w = Window();
  System.Log.clear();
  Manager.reset();
  EXPECT_THAT(System.Log, ElementsAre("Unregister " + w + " " + c + " -> ok", "DeleteAtom " + c,
                                      "Unregister " + w + " " + b + " -> ok", "DeleteAtom " + b,
                                      "Unregister " + w + " " + a + " -> ok", "DeleteAtom " + a,
                                      "DestroyWindow " + w));
  EXPECT_EQ(System.AtomCount(), 0u);
  EXPECT_EQ(System.WindowCount(), 0u);
}

TEST_F(HotKeyManagerTest, UnregisterAllEmptiesTheList) {
  for (THotKeyCode code : {0x4041u, 0x4042u, 0x4043u}) Manager->RegisterHotKeyCode(code);
  Manager->UnregisterAllHotKeys();
  EXPECT_TRUE(Manager->Registrations().empty());
  EXPECT_TRUE(System.Registrations().empty());
  for (THotKeyCode code : {0x4041u, 0x4042u, 0x4043u}) {
    EXPECT_FALSE(Manager->IsHotKeyCodeRegistered(code));
  }
}

TEST_F(HotKeyManagerTest, PressOfARegisteredCodeRaisesTheEventBeforeDefaultProcessing) {
  const std::uint16_t atom = Manager->RegisterHotKeyCode(0x4041);
  std::size_t defaultCallsDuringHandler = 99;
  Manager->OnHotKeyPressed = [&](THotKeyCode hotKey, std::uint16_t index) {
    Presses.push_back({hotKey, index});
    defaultCallsDuringHandler = System.DefaultCalls.size();
  };
  ASSERT_TRUE(System.DeliverHotKey(MOD_CONTROL_FLAG, 0x41));
  EXPECT_THAT(Presses, ElementsAre(TPress{0x4041, atom}));
  EXPECT_EQ(defaultCallsDuringHandler, 0u);
  ASSERT_EQ(System.DefaultCalls.size(), 1u);
  const auto& call = System.DefaultCalls[0];
  EXPECT_EQ(call.Window, Manager->Window());
  EXPECT_EQ(call.Message, WM_HOTKEY_MESSAGE);
  EXPECT_EQ(call.WParam, atom);
  EXPECT_EQ(call.LParam, HotKeyLParam(MOD_CONTROL_FLAG, 0x41));
}

TEST_F(HotKeyManagerTest, RebuildsTheCodeFromTheMessageFlags) {
  const struct {
    unsigned Mods;
    unsigned Vk;
    THotKeyCode Code;
  } cases[] = {{MOD_SHIFT_FLAG, 'A', 0x2041},
               {MOD_CONTROL_FLAG | MOD_ALT_FLAG, 'N', 0xC04E},
               {MOD_WIN_FLAG | MOD_ALT_FLAG, 0x20, 0x18020},
               {0xF, 0xDE, 0x1E0DE},
               {MOD_CONTROL_FLAG | 0x4000, 'B', 0x4042},  // MOD_NOREPEAT plays no part
               {0, 0x7B, 0x7B}};
  for (const auto& c : cases) Manager->RegisterHotKeyCode(c.Code);
  RecordPresses();
  for (const auto& c : cases) {
    Presses.clear();
    System.SendToWindow(Manager->Window(), WM_HOTKEY_MESSAGE, 0xABCD0123,
                        HotKeyLParam(c.Mods, c.Vk));
    EXPECT_THAT(Presses, ElementsAre(TPress{c.Code, 0x0123})) << std::hex << c.Code;
  }
}

TEST_F(HotKeyManagerTest, UnknownCodesAndMissingHandlersRaiseNothing) {
  Manager->RegisterHotKeyCode(0x4041);
  // No handler: the message only reaches default processing.
  EXPECT_TRUE(System.DeliverHotKey(MOD_CONTROL_FLAG, 0x41));
  EXPECT_EQ(System.DefaultCalls.size(), 1u);

  RecordPresses();
  System.SendToWindow(Manager->Window(), WM_HOTKEY_MESSAGE, 0xC000,
                      HotKeyLParam(MOD_ALT_FLAG, 'Q'));
  System.SendToWindow(Manager->Window(), WM_HOTKEY_MESSAGE, 0xC000,
                      HotKeyLParam(MOD_CONTROL_FLAG | MOD_SHIFT_FLAG, 0x41));
  EXPECT_TRUE(Presses.empty());
  EXPECT_EQ(System.DefaultCalls.size(), 3u);

  Manager->UnregisterHotKeyCode(0x4041);
  System.SendToWindow(Manager->Window(), WM_HOTKEY_MESSAGE, 0xC000,
                      HotKeyLParam(MOD_CONTROL_FLAG, 0x41));
  EXPECT_TRUE(Presses.empty());
}

TEST_F(HotKeyManagerTest, OtherMessagesGetTheDefaultResult) {
  RecordPresses();
  System.DefaultResult = 42;
  EXPECT_EQ(System.SendToWindow(Manager->Window(), 0x001A, 7, -3), 42);
  ASSERT_EQ(System.DefaultCalls.size(), 1u);
  EXPECT_EQ(System.DefaultCalls[0].Message, 0x001Au);
  EXPECT_EQ(System.DefaultCalls[0].WParam, 7u);
  EXPECT_EQ(System.DefaultCalls[0].LParam, -3);
  EXPECT_TRUE(Presses.empty());
}

TEST_F(HotKeyManagerTest, HandlerMayChangeTheManagerWhileItRuns) {
  Manager->RegisterHotKeyCode(0x4041);
  Manager->RegisterHotKeyCode(0x4042);
  int calls = 0;
  Manager->OnHotKeyPressed = [&, tag = std::string(64, 'a')](THotKeyCode hotKey, std::uint16_t) {
    ++calls;
    // Drops itself and a neighbour, adds others, replaces itself (which frees
    // this very closure unless the manager runs a copy), and nests a press as
    // a modal loop would.
    EXPECT_TRUE(Manager->UnregisterHotKeyCode(hotKey));
    EXPECT_TRUE(Manager->UnregisterHotKeyCode(0x4042));
    for (THotKeyCode code = 0x4050; code < 0x4060; ++code) Manager->RegisterHotKeyCode(code);
    Manager->OnHotKeyPressed = [this](THotKeyCode code, std::uint16_t) {
      Presses.push_back({code, 0});
    };
    System.DeliverHotKey(MOD_CONTROL_FLAG, 0x50);
    EXPECT_EQ(tag, std::string(64, 'a'));
  };
  System.DeliverHotKey(MOD_CONTROL_FLAG, 0x41);
  EXPECT_EQ(calls, 1);
  EXPECT_FALSE(Manager->IsHotKeyCodeRegistered(0x4041));
  EXPECT_FALSE(Manager->IsHotKeyCodeRegistered(0x4042));
  EXPECT_EQ(Manager->Registrations().size(), 16u);
  EXPECT_EQ(System.DefaultCalls.size(), 2u);
  System.DeliverHotKey(MOD_CONTROL_FLAG, 0x51);
  EXPECT_THAT(Presses, ElementsAre(TPress{0x4050, 0}, TPress{0x4051, 0}));
}

}  // namespace
}  // namespace zt
