// The real program on settings files of the troublesome kinds: it comes up
// quickly, shows what the file holds, holds the hotkeys of those rows, takes
// a new binding that fires, and writes back what it loaded: a restart shows
// the same rows, and a second save the same bytes.

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "app/ControlIds.h"
#include "support/E2E.h"
#include "support/ProgramDriver.h"
#include "support/SettingsFiles.h"

namespace zt::test {
namespace {

using std::chrono::milliseconds;

// "Ctrl+Alt+N", "Ctrl+Alt+F5", ... (the words as written, no blanks) as the
// system's flags and key; false for any other text.
bool SimpleCombination(const std::wstring& text, UINT& modifiers, UINT& key) {
  modifiers = 0;
  size_t start = 0;
  for (;;) {
    size_t plus = text.find(L'+', start);
    std::wstring piece = text.substr(start, plus == std::wstring::npos ? plus : plus - start);
    if (plus == std::wstring::npos) {
      if (piece.size() == 1 &&
          ((piece[0] >= L'A' && piece[0] <= L'Z') || (piece[0] >= L'0' && piece[0] <= L'9'))) {
        key = piece[0];
      } else if (piece.size() >= 2 && piece.size() <= 3 && piece[0] == L'F' &&
                 std::stoi(piece.substr(1)) >= 1 && std::stoi(piece.substr(1)) <= 24) {
        key = VK_F1 + std::stoi(piece.substr(1)) - 1;
      } else {
        return false;
      }
      return modifiers != 0;
    }
    if (piece == L"Ctrl")
      modifiers |= MOD_CONTROL;
    else if (piece == L"Alt")
      modifiers |= MOD_ALT;
    else if (piece == L"Shift")
      modifiers |= MOD_SHIFT;
    else
      return false;
    start = plus + 1;
  }
}

std::vector<TListRow> Expected(const std::vector<HotkeyBinding>& bindings) {
  std::vector<TListRow> rows;
  for (const HotkeyBinding& binding : bindings)
    rows.push_back({Wide(binding.Text), Wide(binding.Command)});
  return rows;
}

// The rows, for a failure message: texts cut to 60 characters.
std::string Show(const std::vector<TListRow>& rows) {
  std::string text;
  auto cut = [](const std::wstring& each) {
    std::string narrow;
    for (wchar_t c : each.substr(0, 60))
      narrow += c < 0x80 && c >= 0x20 ? static_cast<char>(c) : '?';
    return narrow;
  };
  for (size_t i = 0; i < rows.size() && i < 10; ++i)
    text += "[" + cut(rows[i].Text) + " | " + cut(rows[i].Command) + "] ";
  if (rows.size() > 10) text += "... " + std::to_string(rows.size()) + " rows";
  return text;
}

bool SameRows(const std::vector<TListRow>& a, const std::vector<TListRow>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i].Text != b[i].Text || a[i].Command != b[i].Command) return false;
  return true;
}

// The file of that name; ManyLines smaller than its 100,000 lines, which
// have a test of their own.
TSettingsFile FileFor(const std::string& name) {
  return name == "ManyLines" ? ManyLinesFile(4000) : SettingsFileNamed(name);
}

class SettingsFilesE2E : public ::testing::TestWithParam<std::string> {
 protected:
  static void SetUpTestSuite() { FTray = new TTrayKeeper; }
  static void TearDownTestSuite() {
    delete FTray;
    FTray = nullptr;
  }
  static TTrayKeeper* FTray;
};

TTrayKeeper* SettingsFilesE2E::FTray = nullptr;

// Started as the user starts it (no window): quickly, with the file's rows
// listed and their hotkeys held; a binding added now fires; what was loaded
// is written back, so that a restart lists the same rows and a second save
// writes the same bytes.
TEST_P(SettingsFilesE2E, LoadsQuicklyKeepsItsHotkeysAndSavesWhatItLoaded) {
  const TSettingsFile file = FileFor(GetParam());
  TE2ELog log;
  TProgramDriver program;
  program.AddPlugin(TestsFolder() + "e2e_plugin.dll", "Sf.dll");
  program.WriteSettings(file.Bytes);

  const auto begin = std::chrono::steady_clock::now();
  ASSERT_TRUE(program.Start());
  const auto startTime =
      std::chrono::duration_cast<milliseconds>(std::chrono::steady_clock::now() - begin);
  RecordProperty("StartMs", static_cast<int>(startTime.count()));
  EXPECT_LT(startTime.count(), 5000) << "start took " << startTime.count() << " ms";

  const std::vector<TListRow> loaded = ReadRows(program);
  if (file.Bindings) {
    EXPECT_TRUE(SameRows(Expected(*file.Bindings), loaded))
        << "expected " << Show(Expected(*file.Bindings)) << "\nshown " << Show(loaded);
  }
  for (size_t i = 0; i < loaded.size(); ++i) {
    UINT modifiers, key;
    if (!SimpleCombination(loaded[i].Text, modifiers, key)) continue;
    EXPECT_FALSE(HotKeyIsFree(modifiers, key)) << "row " << i;
  }

  program.ChooseComboItem(cidCbxPlg, 1);
  program.SetText(cidEdtHk, L"Shift+Alt+G");
  program.Click(cidBtnAdd);
  ASSERT_EQ(loaded.size() + 1, static_cast<size_t>(RowCount(program)));
  ASSERT_TRUE(PressKeys({VK_SHIFT, VK_MENU, 'G'}));
  EXPECT_TRUE(log.WaitForCount("launch sf.dll", 1));

  ASSERT_TRUE(program.Close());
  const std::string saved = program.ReadSettings();

  ASSERT_TRUE(program.Start());
  std::vector<TListRow> again = ReadRows(program);
  ASSERT_EQ(loaded.size() + 1, again.size());
  const std::vector<TListRow> reloaded(again.begin(), again.end() - 1);
  EXPECT_TRUE(SameRows(loaded, reloaded))
      << "first " << Show(loaded) << "\nthen " << Show(reloaded);
  EXPECT_EQ(L"Shift+Alt+G", again.back().Text);
  EXPECT_EQ(L"#Sf", again.back().Command);
  ASSERT_TRUE(program.Close());
  const std::string resaved = program.ReadSettings();
  EXPECT_EQ(saved.size(), resaved.size());
  EXPECT_TRUE(saved == resaved) << "the second save changed the file";
}

INSTANTIATE_TEST_SUITE_P(Files, SettingsFilesE2E, ::testing::ValuesIn(SettingsFileNames()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           return info.param;
                         });

// The full 100,000 lines: 49,999 rows, hidden and with /CPL (the list view
// must not draw each row as it comes).
TEST(SettingsFilesE2ELarge, HundredThousandLinesStartWithinSeconds) {
  TTrayKeeper tray;
  const TSettingsFile file = ManyLinesFile(100000);
  for (const char* arguments : {"", "/CPL"}) {
    SCOPED_TRACE(arguments);
    TProgramDriver program;
    program.WriteSettings(file.Bytes);
    const auto begin = std::chrono::steady_clock::now();
    ASSERT_TRUE(program.Start(arguments, std::chrono::milliseconds(60000)));
    const auto startTime =
        std::chrono::duration_cast<milliseconds>(std::chrono::steady_clock::now() - begin);
    EXPECT_LT(startTime.count(), 5000) << "start took " << startTime.count() << " ms";
    std::printf("%zu rows, start %s: %lld ms\n", file.Bindings->size(),
                *arguments ? arguments : "hidden", static_cast<long long>(startTime.count()));
    ASSERT_EQ(file.Bindings->size(), static_cast<size_t>(RowCount(program)));
    // A sample: every 1000th row and the last.
    std::vector<HotkeyBinding> sample;
    for (size_t i = 0; i < file.Bindings->size(); i += 1000) sample.push_back((*file.Bindings)[i]);
    sample.push_back(file.Bindings->back());
    EXPECT_TRUE(SameRows(Expected(sample), ReadRows(program, 1000)));
    EXPECT_TRUE(Responds(program.MainForm()));
    EXPECT_TRUE(program.Close(std::chrono::milliseconds(60000)));
  }
}

}  // namespace
}  // namespace zt::test
