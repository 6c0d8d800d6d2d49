// The settings file on the real profile functions: the in-memory profile of
// the unit tests and the real layer held against the profile functions
// themselves, and the binding list's round trip through the real layer.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <random>

#include "bindings/Bindings.h"
#include "platform/win32/Win32Keyboard.h"
#include "platform/win32/Win32ProfileFile.h"
#include "support/SettingsFiles.h"
#include "support/bd_TestFolder.h"
#include "tests/doubles/MemoryProfile.h"

namespace zt {
namespace {

using test::BdExists;
using test::BdReadFile;
using test::BdWriteFile;
using test::TBdTestFolder;
using namespace std::string_literals;

struct TWrite {
  std::string Section, Key, Value;
};

// The writes of a save of two bindings, with values that the profile
// functions change on their way (blanks, quotes), a value that is there
// already, and a key in a section of its own.
const std::vector<TWrite> SaveWrites = {
    {"Zentrop", "HkCount", "2"},   {"Zentrop", "1Hk", "Ctrl+Alt+N"},
    {"Zentrop", "1Cmd", "  lead"}, {"Zentrop", "2Hk", "\"quoted\""},
    {"Zentrop", "2Cmd", "trail "}, {"S", "k", "1"},
    {"Zentrop", "1hk", "Win+N"},   {"New", "x", "y"},
};

const std::vector<std::string> ProbeSections = {"Zentrop", "zentrop", " S ", "Other", "[x]", "T"};
const std::vector<std::string> ProbeKeys = {"HkCount", "1Hk", "1Cmd", "2Hk", "2Cmd", "k", "K",
                                            "a",       "b",   " a ",  "q",   "x",    "[x"};

// Files that the profile functions read in ways of their own.
const std::vector<std::string> OddFiles = {
    "",
    "[Zentrop]\r\nHkCount=2\r\n1Hk=Ctrl+Alt+N\r\n1Cmd=C:\\Windows\\notepad.exe\r\n",
    "[S]\r\nk=\"a b\"\r\nK='a b'\r\na=\"a'\r\nb=\"\r\nq=\"\"\r\nx=\" x "
    "\"\r\n[Zentrop]\r\n1Hk=''\r\n",
    "  [S]  \r\n  k  =  v v  \r\n\tK\t=\tv\t\r\na = \x0bv\x0c \r\nb=\x1av\x1a\r\nq=\xA0v\xA0\r\n",
    "[S]\r\na=x\0y\r\nb\0c=z\r\nk=1\r\n[T\0U]\r\nq=2\r\n\0[Zentrop]\r\n"s,
    "[S]\r\nk=1\r\nK=2\r\n[Zentrop]\r\n1Hk=a\r\n1HK=b\r\n[s]\r\nb=2\r\nk=3\r\n[ZENTROP]\r\n2Hk="
    "c\r\n",
    "[Zentrop]\r\ngarbage\r\n; "
    "comment\r\n;x=1\r\n=v\r\n==w\r\n[bad\r\n[x=3\r\n1Hk=1\r\n\r\n[S]\r\n",
    "[Zentrop]\r\n=a\r\n=b\r\n1Hk=1\r\n=c\r\n\r\n\r\n[S]\r\nk=1\r\n\r\n",
    "[S]\na=1\r\nb=2\rk=3\n\rq=4\r\r\n[Zentrop]\r1Hk=5",
    "[ S ]\r\na=1\r\n [T] x\r\nb=2\r\n[Zentrop]]\r\n1Hk=3\r\n[V\r\n[W]x]y\r\n[]\r\nk=4\r\n",
    "[[x]]\r\na=1\r\n[\r\n]\r\n[Zentrop]\r\n1Hk\r\n1Hk=2\r\n",
    "\xEF\xBB\xBF[Zentrop]\r\n1Hk=a\r\n[S]\r\nk=1\r\n",
    "\xFF\xFE[\0Z\0e\0n\0t\0r\0o\0p\0]\0\r\0\n\0"
    "1\0H\0k\0=\0a\0\r\0\n\0"s,
    "[S]\r\na=1\r\n\x1a",
    "HkCount=1\r\n1Hk=above every section\r\n[Zentrop]\r\n1Cmd=x\r\n",
    "[Zentrop]\r\nHkCount=2\r\n1Hk=" + std::string(70000, 'v') + "\r\n[S]\r\nk=1\r\n",
};

// Settings-file text made of lines that the profile functions treat each in
// its own way, in random order.
std::string RandomProfileText(std::mt19937& random) {
  static const std::vector<std::string> pieces = {
      "[Zentrop]", "[zentrop ]", "[S]",  "[Other]", "[]",      "[",        "]",
      "HkCount=",  "1Hk=",       "1Cmd", "2Hk =",   " 2Cmd= ", "k=",       "K",
      ";",         "=",          "\"",   "'",       " ",       "\t",       "x",
      "Ctrl+N",    "\r\n",       "\n",   "\r",      "\r\n",    "\r\n",     std::string(1, '\0'),
      "\xE9",      "\x81",       "\x1a", "a=b",     "[S]x",    "; c=1\r\n"};
  std::string text;
  for (unsigned n = random() % 40; n > 0; --n) text += pieces[random() % pieces.size()];
  return text;
}

class ProfileAgainstWine : public ::testing::Test {
 protected:
  TBdTestFolder Folder{"sf"};
  const std::string Path = Folder.Path() + "ztrop32.ini";
  TWin32ProfileFiles Real;

  void Flush() { ::WritePrivateProfileStringA(nullptr, nullptr, nullptr, Path.c_str()); }
  // The file with these bytes; no file for "".
  void PutFile(const std::string& text) {
    ::DeleteFileA(Path.c_str());
    if (!text.empty()) {
      ASSERT_TRUE(BdWriteFile(Path, text));
    }
  }

  // The file after the writes made one by one with WritePrivateProfileStringA.
  std::string KeyByKey(const std::string& text) {
    PutFile(text);
    for (const TWrite& w : SaveWrites)
      ::WritePrivateProfileStringA(w.Section.c_str(), w.Key.c_str(), w.Value.c_str(), Path.c_str());
    Flush();
    return BdReadFile(Path);
  }
  std::string ThroughLayer(const std::string& text) {
    PutFile(text);
    try {
      auto file = Real.OpenForSave(Path);
      for (const TWrite& w : SaveWrites) file->WriteString(w.Section, w.Key, w.Value);
      file->Commit();
    } catch (const EAppError&) {
      return "<refused>";
    }
    EXPECT_FALSE(BdExists(ProfileSaveCopyPath(Path)));
    return BdReadFile(Path);
  }
  static std::string ThroughDouble(const std::string& text) {
    TMemoryProfileFiles files;
    if (!text.empty()) files.SetText("ini", text);
    auto file = files.OpenForSave("ini");
    for (const TWrite& w : SaveWrites) file->WriteString(w.Section, w.Key, w.Value);
    file->Commit();
    return files.Exists("ini") ? files.Text("ini") : "<missing>";
  }

  // Every probe read the same by the profile functions, the real layer and
  // the in-memory profile.
  void ExpectSameReads(const std::string& text, const std::string& label) {
    PutFile(text);
    TMemoryProfileFiles memory;
    memory.SetText("ini", text);
    auto real = Real.OpenForLoad(Path);
    auto held = memory.OpenForLoad("ini");
    std::vector<char> buffer(1 << 17);
    for (const std::string& section : ProbeSections) {
      EXPECT_EQ(real->ReadKeyNames(section), held->ReadKeyNames(section)) << label << section;
      for (const std::string& key : ProbeKeys) {
        const DWORD length =
            ::GetPrivateProfileStringA(section.c_str(), key.c_str(), "<none>", buffer.data(),
                                       static_cast<DWORD>(buffer.size()), Path.c_str());
        const std::string wine(buffer.data(), length);
        EXPECT_EQ(real->ReadString(section, key, "<none>"), wine) << label << section << key;
        EXPECT_EQ(held->ReadString(section, key, "<none>"), wine) << label << section << key;
      }
    }
  }
};

TEST_F(ProfileAgainstWine, OddFilesReadTheSameThroughEveryLayer) {
  for (std::size_t i = 0; i < OddFiles.size(); ++i)
    ExpectSameReads(OddFiles[i], "file " + std::to_string(i) + " ");
}

// The real layer writes a section in one call where it can and key by key
// where it must; the in-memory profile writes as the profile functions do.
// All three leave the same bytes.
TEST_F(ProfileAgainstWine, OddFilesComeOutOfASaveAsTheWritesOneByOneLeaveThem) {
  for (std::size_t i = 0; i < OddFiles.size(); ++i) {
    const std::string expected = KeyByKey(OddFiles[i]);
    EXPECT_EQ(ThroughLayer(OddFiles[i]), expected) << "file " << i;
    EXPECT_EQ(ThroughDouble(OddFiles[i]), expected) << "file " << i;
  }
}

TEST_F(ProfileAgainstWine, RandomFilesReadAndSaveTheSameThroughEveryLayer) {
  std::mt19937 random(20240611);
  for (int n = 0; n < 150; ++n) {
    const std::string text = RandomProfileText(random);
    const std::string label =
        "random file " + std::to_string(n) + " " + ::testing::PrintToString(text) + " ";
    ExpectSameReads(text, label);
    const std::string expected = KeyByKey(text);
    EXPECT_EQ(ThroughLayer(text), expected) << label;
    EXPECT_EQ(ThroughDouble(text), expected) << label;
    if (HasFailure()) break;
  }
}

// A save whose writes change nothing leaves the file alone, byte for byte,
// whatever its spacing.
TEST_F(ProfileAgainstWine, ASaveThatChangesNothingLeavesTheFileAsItWas) {
  const std::string text =
      "; mine\r\n[Zentrop]\r\n\r\n HkCount = 1 \r\n1Hk=\"Ctrl+N\"\r\n\r\n[S]\r\n";
  ASSERT_TRUE(BdWriteFile(Path, text));
  auto file = Real.OpenForSave(Path);
  file->WriteInteger("Zentrop", "HkCount", 1);
  file->WriteString("Zentrop", "1Hk", "\"Ctrl+N\"");
  file->Commit();
  file.reset();
  EXPECT_EQ(BdReadFile(Path), text);
}

// Rows in a vector and a hotkey system that takes every combination: the
// binding list as far as the settings file sees it.
class TRows : public BindingRows {
 public:
  std::vector<HotkeyBinding> Rows;
  int Count() const override { return static_cast<int>(Rows.size()); }
  std::string Text(int index) const override { return Rows.at(index).Text; }
  std::string Command(int index) const override { return Rows.at(index).Command; }
  THotKeyCode Code(int) const override { return 0; }
  void SetText(int index, const std::string& text, THotKeyCode) override {
    Rows.at(index).Text = text;
  }
  void Append(const HotkeyBinding& binding, THotKeyCode) override { Rows.push_back(binding); }
  void Delete(int index) override { Rows.erase(Rows.begin() + index); }
  int Selected() const override { return -1; }
};

class TAnyHotKeys : public HotKeySystem {
 public:
  WindowHandle CreateHotKeyWindow(HotKeyWindowSink&) override { return 1; }
  void DestroyHotKeyWindow(WindowHandle) override {}
  std::intptr_t DefaultWindowProc(WindowHandle, unsigned, std::uintptr_t, std::intptr_t) override {
    return 0;
  }
  AtomId AddGlobalAtom(const std::string&) override { return ++FAtoms; }
  void DeleteGlobalAtom(AtomId) override {}
  bool RegisterHotKey(WindowHandle, int, unsigned, unsigned) override { return true; }
  bool UnregisterHotKey(WindowHandle, int) override { return true; }

 private:
  AtomId FAtoms = 0xC000;
};

class SettingsFileRun : public ::testing::Test {
 protected:
  SettingsFileRun() { InitHotKeyText(Keyboard); }
  ~SettingsFileRun() override { DoneHotKeyText(); }

  // One run of the program's settings: load, edit, and save when asked.
  std::vector<HotkeyBinding> Run(ProfileFiles& files, const std::string& appDir, bool save,
                                 const std::function<void(TBindingList&)>& edit = {}) {
    TAnyHotKeys system;
    THotKeyManager manager(system);
    TRows rows;
    TBindingList list(rows, manager, files);
    list.SetAppDir(appDir);
    list.LoadBindings();
    if (edit) edit(list);
    if (save) list.SaveBindings();
    return rows.Rows;
  }

  TWin32Keyboard Keyboard;
  TBdTestFolder Folder{"sf-run"};
  const std::string Path = Folder.Path() + SettingsFileName;
  const std::string MemoryDir = "C:\\App\\";
  const std::string MemoryPath = MemoryDir + SettingsFileName;
};

// A line of the file cannot hold a line break: a value is saved up to it,
// and no key or section comes out of the rest.
TEST_F(SettingsFileRun, AValueIsSavedUpToItsFirstLineBreak) {
  const std::string text =
      "[Zentrop]\r\nHkCount=1\r\n1Hk=Ctrl+Alt+N\r\n1Cmd=notepad.exe\r\n[Other]\r\nx=1\r\n";
  ASSERT_TRUE(BdWriteFile(Path, text));
  TMemoryProfileFiles memory;
  memory.SetText(MemoryPath, text);
  const auto edit = [](TBindingList& list) {
    list.EditBindingText(0, "Ctrl+Alt+N\r\n2Hk=Ctrl+Q");
    list.AddBinding("Ctrl+E", "e.exe\n[Other]\nx=2", 0, "");
    list.AddBinding(" Ctrl+F", "f.exe\rHkCount=9", 0, "");
  };
  TWin32ProfileFiles real;
  Run(real, Folder.Path(), true, edit);
  Run(memory, MemoryDir, true, edit);
  EXPECT_EQ(BdReadFile(Path), memory.Text(MemoryPath));
  EXPECT_EQ(Run(real, Folder.Path(), false),
            (std::vector<HotkeyBinding>{
                {"Ctrl+Alt+N", "notepad.exe"}, {"Ctrl+E", "e.exe"}, {" Ctrl+F", "f.exe"}}));
  EXPECT_EQ(real.OpenForLoad(Path)->ReadString("Other", "x", ""), "1");
}

class SettingsFileOnWine : public SettingsFileRun,
                           public ::testing::WithParamInterface<std::string> {};

// What it loaded, it saves back unchanged, on the real profile functions;
// and the file comes out as the in-memory profile of the unit tests makes it.
TEST_P(SettingsFileOnWine, LoadSaveLoadGivesTheSameRows) {
  const test::TSettingsFile file = test::SettingsFileNamed(GetParam());
  const std::string& path = Path;
  ASSERT_TRUE(BdWriteFile(path, file.Bytes));
  TWin32ProfileFiles real;
  const std::vector<HotkeyBinding> first = Run(real, Folder.Path(), true);
  if (file.Bindings) {
    EXPECT_EQ(first, *file.Bindings);
  }
  const std::string saved = BdReadFile(path);
  EXPECT_FALSE(BdExists(ProfileSaveCopyPath(path)));

  TMemoryProfileFiles memory;
  memory.SetText(MemoryPath, file.Bytes);
  EXPECT_EQ(Run(memory, MemoryDir, true), first);
  EXPECT_EQ(memory.Text(MemoryPath), saved);

  EXPECT_EQ(Run(real, Folder.Path(), true), first);
  EXPECT_EQ(BdReadFile(path), saved);
}

INSTANTIATE_TEST_SUITE_P(SettingsFiles, SettingsFileOnWine,
                         ::testing::ValuesIn(test::SettingsFileNames()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           return info.param;
                         });

}  // namespace
}  // namespace zt
