#include <gtest/gtest.h>

#include "bindings/Bindings.h"
#include "tests/doubles/FakeHotKeySystem.h"
#include "tests/doubles/MemoryProfile.h"
#include "tests/doubles/SimulatedKeyboard.h"
#include "tests/doubles/VectorRows.h"
#include "tests/win32/support/SettingsFiles.h"

namespace zt {
namespace {

const std::string App = "C:\\App\\";
const std::string Ini = App + "ztrop32.ini";

const std::string TwoBindings =
    "[Zentrop]\r\n"
    "HkCount=2\r\n"
    "1Hk=Ctrl+Alt+N\r\n"
    "1Cmd=C:\\Windows\\notepad.exe\r\n"
    "2Hk=Win+Space\r\n"
    "2Cmd=#Calc\r\n";

// One run of the program as far as its settings go: a list on its own rows
// and manager, over the settings files that outlive it.
struct TRun {
  explicit TRun(TMemoryProfileFiles& files) : List(Rows, Manager, files) { List.SetAppDir(App); }
  std::vector<THotKeyCode> Registered() const {
    std::vector<THotKeyCode> codes;
    for (const HotKeyRegistration& r : Manager.Registrations()) codes.push_back(r.Code);
    return codes;
  }

  FakeHotKeySystem System;
  THotKeyManager Manager{System};
  TVectorRows Rows;
  TBindingList List;
};

class SettingsFileTest : public ::testing::Test {
 protected:
  SettingsFileTest() { InitHotKeyText(Keyboard); }
  ~SettingsFileTest() override { DoneHotKeyText(); }

  SimulatedKeyboard Keyboard;
  TMemoryProfileFiles Files;
};

using Bindings = std::vector<HotkeyBinding>;

TEST_F(SettingsFileTest, ANewFileHoldsTheKeysInTheirOrder) {
  TRun run(Files);
  run.List.LoadBindings();
  run.List.AddBinding("Ctrl+Alt+N", "C:\\Windows\\notepad.exe", 0, "");
  run.List.AddBinding("Win+Space", "ignored.exe", 1, "Calc");
  run.List.SaveBindings();
  EXPECT_EQ(Files.Text(Ini), TwoBindings);
}

TEST_F(SettingsFileTest, TenAndMoreBindingsRoundTripWithTheirNumbersRunningOn) {
  Bindings stored;
  {
    TRun run(Files);
    run.List.LoadBindings();
    for (int n = 1; n <= 12; ++n) {
      stored.push_back({"Ctrl+F" + std::to_string(n), "C:\\Tools\\t" + std::to_string(n) + ".exe"});
      run.List.AddBinding(stored.back().Text, stored.back().Command, 0, "");
    }
    run.List.SaveBindings();
  }
  std::string expected = "[Zentrop]\r\nHkCount=12\r\n";
  for (int n = 1; n <= 12; ++n)
    expected += std::to_string(n) + "Hk=" + stored[n - 1].Text + "\r\n" + std::to_string(n) +
                "Cmd=" + stored[n - 1].Command + "\r\n";
  EXPECT_EQ(Files.Text(Ini), expected);

  TRun next(Files);
  next.List.LoadBindings();
  EXPECT_EQ(next.Rows.Bindings(), stored);
  EXPECT_EQ(next.Registered().size(), 12u);
  EXPECT_EQ(next.Rows.Code(9), HK_CTRL | 0x79u);  // F10
}

TEST_F(SettingsFileTest, KeysAboveTheCountAndOtherKeysSurviveASave) {
  Files.SetText(Ini,
                "[Other]\r\nx=1\r\n[Zentrop]\r\nHkCount=5\r\n1Hk=A+1\r\n1Cmd=a\r\nNote=mine\r\n"
                "2Hk=Ctrl+2\r\n2Cmd=b\r\n3Hk=Ctrl+3\r\n3Cmd=c\r\n4Hk=Ctrl+4\r\n4Cmd=d\r\n"
                "5Hk=Ctrl+5\r\n5Cmd=e\r\n");
  {
    TRun run(Files);
    run.List.LoadBindings();
    ASSERT_EQ(run.Rows.Count(), 5);
    run.Rows.SelectedIndex = 0;
    run.List.RemoveSelectedBinding();
    run.List.RemoveSelectedBinding();  // nothing selected any more
    run.Rows.SelectedIndex = 3;
    run.List.RemoveSelectedBinding();
    run.List.RemoveSelectedBinding();
    run.List.SaveBindings();
  }
  EXPECT_EQ(Files.Text(Ini),
            "[Other]\r\nx=1\r\n[Zentrop]\r\nHkCount=3\r\n1Hk=Ctrl+2\r\n1Cmd=b\r\nNote=mine\r\n"
            "2Hk=Ctrl+3\r\n2Cmd=c\r\n3Hk=Ctrl+4\r\n3Cmd=d\r\n4Hk=Ctrl+4\r\n4Cmd=d\r\n"
            "5Hk=Ctrl+5\r\n5Cmd=e\r\n");
  TRun next(Files);
  next.List.LoadBindings();
  EXPECT_EQ(next.Rows.Bindings(), (Bindings{{"Ctrl+2", "b"}, {"Ctrl+3", "c"}, {"Ctrl+4", "d"}}));
}

struct TLoadCase {
  const char* name;
  std::string text;
  Bindings rows;
};

class LoadCases : public SettingsFileTest, public ::testing::WithParamInterface<TLoadCase> {};

TEST_P(LoadCases, MakeTheRowsTheFileStandsFor) {
  Files.SetText(Ini, GetParam().text);
  TRun run(Files);
  run.List.LoadBindings();
  EXPECT_EQ(run.Rows.Bindings(), GetParam().rows);
  // Every row is registered with the code of its text, in list order.
  std::vector<THotKeyCode> codes;
  for (const TVectorRows::TRow& row : run.Rows.Rows) {
    EXPECT_EQ(row.Code, HotKeyFromText(row.Text, true)) << row.Text;
    if (std::find(codes.begin(), codes.end(), row.Code) == codes.end()) codes.push_back(row.Code);
  }
  EXPECT_EQ(run.Registered(), codes);
  // However large the count, the file is read a bounded number of times.
  EXPECT_LE(Files.ValueReads, 1 + 2 * static_cast<int>(GetParam().rows.size()));
  EXPECT_LE(Files.KeyNameReads, 1);
}

const std::string Section = "[Zentrop]\r\n";

// Row 1 "Ctrl+Q", rows up to n - 1 empty, row n with the command.
Bindings GapRows(int n, const std::string& command) {
  Bindings rows(static_cast<std::size_t>(n));
  rows.front().Text = "Ctrl+Q";
  rows.back().Command = command;
  return rows;
}

INSTANTIATE_TEST_SUITE_P(
    SettingsFile, LoadCases,
    ::testing::Values(
        TLoadCase{"TwoBindings",
                  TwoBindings,
                  {{"Ctrl+Alt+N", "C:\\Windows\\notepad.exe"}, {"Win+Space", "#Calc"}}},
        TLoadCase{"NoFile", "", {}},
        TLoadCase{"NoSection", "[Other]\r\nHkCount=1\r\n1Hk=Ctrl+Q\r\n1Cmd=q\r\n", {}},
        TLoadCase{"NoCount", Section + "1Hk=Ctrl+Q\r\n1Cmd=q\r\n", {}},
        TLoadCase{"CountZero", Section + "HkCount=0\r\n1Hk=Ctrl+Q\r\n1Cmd=q\r\n", {}},
        TLoadCase{"CountNegative", Section + "HkCount=-2\r\n1Hk=Ctrl+Q\r\n1Cmd=q\r\n", {}},
        TLoadCase{"CountNotANumber", Section + "HkCount=two\r\n1Hk=Ctrl+Q\r\n1Cmd=q\r\n", {}},
        TLoadCase{
            "CountInHex", Section + "HkCount=0x1\r\n1Hk=Ctrl+Q\r\n1Cmd=q\r\n", {{"Ctrl+Q", "q"}}},
        TLoadCase{"KeysAboveTheCountStay",
                  Section + "HkCount=1\r\n1Hk=Ctrl+Q\r\n1Cmd=q\r\n2Hk=Ctrl+W\r\n2Cmd=w\r\n",
                  {{"Ctrl+Q", "q"}}},
        // A missing key gives an empty value; its code 0 is registered as any other.
        TLoadCase{"MissingKeys",
                  Section + "HkCount=3\r\n1Hk=Ctrl+Q\r\n1Cmd=q\r\n2Cmd=two\r\n3Hk=Ctrl+E\r\n",
                  {{"Ctrl+Q", "q"}, {"", "two"}, {"Ctrl+E", ""}}},
        TLoadCase{
            "OnlyALaterKey", Section + "HkCount=3\r\n3Cmd=c\r\n", {{"", ""}, {"", ""}, {"", "c"}}},
        // A damaged count makes rows only as far as the keys go.
        TLoadCase{"HugeCount",
                  Section + "HkCount=2000000000\r\n1Hk=Ctrl+Q\r\n1Cmd=q\r\n2Hk=Ctrl+W\r\n",
                  {{"Ctrl+Q", "q"}, {"Ctrl+W", ""}}},
        TLoadCase{"CountBeyondTheKeys",
                  Section + "HkCount=9\r\n1Hk=Ctrl+Q\r\n1Cmd=q\r\n7Hkx=1\r\n",
                  {{"Ctrl+Q", "q"}}},
        // Runs of up to MaxMissingBindings missing numbers are bridged; a
        // wider one ends the list, wherever it stands.
        TLoadCase{"TinyFileHugeNumber", Section + "HkCount=99999999\r\n99999999Hk=x\r\n", {}},
        TLoadCase{"StrayNumberAboveTheKeys",
                  Section + "HkCount=2000000000\r\n1Hk=Ctrl+Q\r\n2Cmd=w\r\n1500000000Hk=x\r\n",
                  {{"Ctrl+Q", ""}, {"", "w"}}},
        TLoadCase{"WidestGapBridged", Section + "HkCount=40\r\n1Hk=Ctrl+Q\r\n34Cmd=c\r\n",
                  GapRows(34, "c")},
        TLoadCase{
            "GapTooWide", Section + "HkCount=40\r\n1Hk=Ctrl+Q\r\n35Cmd=c\r\n", {{"Ctrl+Q", ""}}},
        TLoadCase{"FirstKeyTooHigh", Section + "HkCount=40\r\n34Hk=x\r\n35Hk=y\r\n", {}},
        TLoadCase{
            "NoBindingKeysAtAll", Section + "HkCount=2147483647\r\n01Hk=Ctrl+Q\r\nHk=x\r\n", {}},
        // Names are matched ignoring ASCII case, as the profile functions do.
        TLoadCase{"KeyCase",
                  "[ZENTROP]\r\nhkcount=2\r\n1HK=Ctrl+Q\r\n1cmd=q\r\n2hK=Ctrl+W\r\n",
                  {{"Ctrl+Q", "q"}, {"Ctrl+W", ""}}},
        TLoadCase{"SameTextTwice",
                  Section + "HkCount=2\r\n1Hk=Ctrl+Q\r\n1Cmd=a\r\n2Hk=ctrl+q\r\n2Cmd=b\r\n",
                  {{"Ctrl+Q", "a"}, {"ctrl+q", "b"}}},
        TLoadCase{"TextThatDoesNotParse",
                  Section + "HkCount=1\r\n1Hk=Ctrl+Nothing\r\n1Cmd=x\r\n",
                  {{"Ctrl+Nothing", "x"}}}),
    [](const ::testing::TestParamInfo<TLoadCase>& info) { return std::string(info.param.name); });

TEST_F(SettingsFileTest, AnEmptyListIsSavedAsCountZero) {
  Files.SetText(Ini, TwoBindings);
  {
    TRun run(Files);
    run.List.LoadBindings();
    run.Rows.SelectedIndex = 0;
    run.List.RemoveSelectedBinding();
    run.Rows.SelectedIndex = 0;
    run.List.RemoveSelectedBinding();
    run.List.SaveBindings();
  }
  EXPECT_EQ(Files.Text(Ini),
            "[Zentrop]\r\nHkCount=0\r\n1Hk=Ctrl+Alt+N\r\n1Cmd=C:\\Windows\\notepad.exe\r\n"
            "2Hk=Win+Space\r\n2Cmd=#Calc\r\n");
  TRun next(Files);
  next.List.LoadBindings();
  EXPECT_EQ(next.Rows.Count(), 0);
}

TEST_F(SettingsFileTest, NothingIsSavedBeforeTheLoadHasFinished) {
  Files.SetText(Ini, TwoBindings);
  TRun run(Files);
  run.List.AddBinding("Ctrl+Q", "q.exe", 0, "");
  run.List.SaveBindings();
  EXPECT_EQ(Files.SavesOpened, 0);
  EXPECT_EQ(Files.Text(Ini), TwoBindings);
  EXPECT_FALSE(run.List.Loaded());

  // The same when the load itself failed half way.
  struct TThrowingRows : TVectorRows {
    void Append(const HotkeyBinding&, THotKeyCode) override { throw EAppError("no room"); }
  } rows;
  TBindingList broken(rows, run.Manager, Files);
  broken.SetAppDir(App);
  EXPECT_THROW(broken.LoadBindings(), EAppError);
  broken.SaveBindings();
  EXPECT_EQ(Files.SavesOpened, 0);
}

TEST_F(SettingsFileTest, ARefusedWriteLeavesTheFileAndTheListAsTheyWere) {
  Files.SetText(Ini, TwoBindings);
  TRun run(Files);
  run.List.LoadBindings();
  run.List.AddBinding("Ctrl+Q", "q.exe", 0, "");
  const std::vector<TVectorRows::TRow> rows = run.Rows.Rows;
  const std::vector<THotKeyCode> registered = run.Registered();

  for (int allowed : {0, 1, 4, 6}) {
    Files.WritesDone = 0;
    Files.WritesBeforeRefusal = allowed;
    try {
      run.List.SaveBindings();
      ADD_FAILURE() << "saved after " << allowed << " writes";
    } catch (const EAppError& e) {
      EXPECT_STREQ(e.what(), "Unable to write to C:\\App\\ztrop32.ini");
    }
    EXPECT_EQ(Files.Text(Ini), TwoBindings) << allowed;
  }
  Files.WritesBeforeRefusal = -1;
  Files.RefuseCommit = true;
  EXPECT_THROW(run.List.SaveBindings(), EAppError);
  EXPECT_EQ(Files.Text(Ini), TwoBindings);

  EXPECT_EQ(run.Rows.Rows, rows);
  EXPECT_EQ(run.Registered(), registered);
  Files.RefuseCommit = false;
  run.List.SaveBindings();
  EXPECT_NE(Files.Text(Ini).find("HkCount=3\r\n"), std::string::npos);
}

struct TValueCase {
  std::string value;    // a row's text and command
  std::string written;  // what the file holds for it
};

// Whatever a row holds comes back from the file as it was: values that the
// profile functions would change on the way back go in double quotes.
TEST_F(SettingsFileTest, EveryValueReadsBackAsItWasSaved) {
  const std::vector<TValueCase> cases = {
      {"Ctrl+N", "Ctrl+N"},
      {"", ""},
      {"C:\\Program Files\\q.exe -x \"a b\"", "C:\\Program Files\\q.exe -x \"a b\""},
      {" Ctrl+N ", "\" Ctrl+N \""},
      {"Ctrl+N ", "\"Ctrl+N \""},
      {"\tx", "\"\tx\""},
      {"x\x1A", "\"x\x1A\""},
      {"\"quoted\"", "\"\"quoted\"\""},
      {"'x'", "\"'x'\""},
      {"\"\"", "\"\"\"\""},
      {"\"", "\""},
      {"'", "'"},
      {"\"a'", "\"a'"},
      {"a \"b\" c", "a \"b\" c"},
      {"\"a\" b \"c\"", "\"\"a\" b \"c\"\""},
      {" ", "\" \""},
  };
  {
    TRun run(Files);
    run.List.LoadBindings();
    for (const TValueCase& c : cases) run.Rows.Append({c.value, c.value}, 0);
    run.List.SaveBindings();
  }
  const std::string text = Files.Text(Ini);
  for (std::size_t i = 0; i < cases.size(); ++i) {
    EXPECT_EQ(SettingsValueText(cases[i].value), cases[i].written) << i;
    const std::string n = std::to_string(i + 1);
    EXPECT_NE(text.find("\r\n" + n + "Hk=" + cases[i].written + "\r\n" + n + "Cmd="),
              std::string::npos)
        << i;
  }
  TRun next(Files);
  next.List.LoadBindings();
  ASSERT_EQ(next.Rows.Count(), static_cast<int>(cases.size()));
  for (std::size_t i = 0; i < cases.size(); ++i) {
    EXPECT_EQ(next.Rows.Text(static_cast<int>(i)), cases[i].value) << i;
    EXPECT_EQ(next.Rows.Command(static_cast<int>(i)), cases[i].value) << i;
  }
}

// A line of the file cannot hold a line break or a NUL; an in-place edit or
// a pasted text can. The value is saved up to the first of them, so that no
// key or section of the file can be made or hidden by a value.
TEST_F(SettingsFileTest, AValueIsSavedUpToItsFirstLineBreakOrNul) {
  using namespace std::string_literals;
  Files.SetText(Ini, TwoBindings + "[Other]\r\nx=1\r\n");
  {
    TRun run(Files);
    run.List.LoadBindings();
    run.List.EditBindingText(0, "Ctrl+Alt+N\r\n2Hk=Ctrl+Q");
    run.List.EditBindingText(1, "Win+Space\rHkCount=9");
    run.List.AddBinding("Ctrl+E", "e.exe\n[Other]\nx=2", 0, "");
    run.List.AddBinding(" Ctrl+F\nrest", "f.exe\0hidden"s, 0, "");
    run.List.SaveBindings();
  }
  EXPECT_EQ(Files.Text(Ini),
            "[Zentrop]\r\nHkCount=4\r\n1Hk=Ctrl+Alt+N\r\n1Cmd=C:\\Windows\\notepad.exe\r\n"
            "2Hk=Win+Space\r\n2Cmd=#Calc\r\n3Hk=Ctrl+E\r\n3Cmd=e.exe\r\n4Hk=\" Ctrl+F\"\r\n"
            "4Cmd=f.exe\r\n[Other]\r\nx=1\r\n");
  for (const std::string& bad : {"a\rb"s, "a\nb"s, "a\0b"s, "a\r\nb"s})
    EXPECT_EQ(SettingsValueText(bad), "a");
}

// Saving what was loaded changes nothing in a file the program wrote, and
// after one save, nothing in any file.
TEST_F(SettingsFileTest, SavingWhatWasLoadedChangesNothing) {
  const std::string handMade =
      "; my keys\r\n[Zentrop]\r\n\r\nHkCount = 2\r\n  1Hk=Ctrl+Alt+N\r\n"
      "1Cmd=notepad.exe ; the editor\r\n\r\n2Hk=Win+Space\r\n2Cmd=#Calc\r\n";
  for (const std::string& text : {TwoBindings, handMade}) {
    Files.SetText(Ini, text);
    TRun run(Files);
    run.List.LoadBindings();
    ASSERT_EQ(run.Rows.Count(), 2);
    run.List.SaveBindings();
    EXPECT_EQ(Files.Text(Ini), text);
  }
}

class SettingsFileCases : public SettingsFileTest,
                          public ::testing::WithParamInterface<std::string> {};

// What it loaded, it saves back unchanged: load, save, load gives the same
// rows, and a second save leaves the file as the first one wrote it.
TEST_P(SettingsFileCases, LoadSaveLoadGivesTheSameRows) {
  const test::TSettingsFile file = test::SettingsFileNamed(GetParam());
  ASSERT_FALSE(file.Bytes.empty());
  Files.SetText(Ini, file.Bytes);
  Bindings first;
  {
    TRun run(Files);
    run.List.LoadBindings();
    first = run.Rows.Bindings();
    run.List.SaveBindings();
  }
  if (file.Bindings) {
    EXPECT_EQ(first, *file.Bindings);
  }
  const std::string saved = Files.Text(Ini);
  TRun next(Files);
  next.List.LoadBindings();
  EXPECT_EQ(next.Rows.Bindings(), first);
  next.List.SaveBindings();
  EXPECT_EQ(Files.Text(Ini), saved);
}

INSTANTIATE_TEST_SUITE_P(SettingsFile, SettingsFileCases,
                         ::testing::ValuesIn(test::SettingsFileNames()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           return info.param;
                         });

}  // namespace
}  // namespace zt
