#include <gtest/gtest.h>
#include <windows.h>

#include "platform/Types.h"
#include "platform/win32/Win32ProfileFile.h"
#include "support/bd_TestFolder.h"

namespace zt {
namespace {

using test::BdExists;
using test::BdReadFile;
using test::BdWriteFile;
using test::TBdTestFolder;

class ProfileFile : public ::testing::Test {
 protected:
  TBdTestFolder Folder{"profile"};
  const std::string Path = Folder.Path() + "ztrop32.ini";
  const std::string Copy = ProfileSaveCopyPath(Path);
  TWin32ProfileFiles Files;

  // The message a refused save must carry.
  std::string Refusal() const { return "Unable to write to " + Path; }

  void SaveTwoBindings() {
    auto file = Files.OpenForSave(Path);
    file->WriteInteger("Zentrop", "HkCount", 2);
    file->WriteString("Zentrop", "1Hk", "Ctrl+Alt+N");
    file->WriteString("Zentrop", "1Cmd", "C:\\Windows\\notepad.exe");
    file->WriteString("Zentrop", "2Hk", "Win+Space");
    file->WriteString("Zentrop", "2Cmd", "#Calc");
    file->Commit();
  }
};

TEST_F(ProfileFile, ANewFileHoldsTheKeysInWritingOrderAndReadsBack) {
  SaveTwoBindings();
  EXPECT_EQ(BdReadFile(Path),
            "[Zentrop]\r\nHkCount=2\r\n1Hk=Ctrl+Alt+N\r\n1Cmd=C:\\Windows\\notepad.exe\r\n"
            "2Hk=Win+Space\r\n2Cmd=#Calc\r\n");
  EXPECT_FALSE(BdExists(Copy));

  auto file = Files.OpenForLoad(Path);
  EXPECT_EQ(file->FileName(), Path);
  EXPECT_EQ(file->ReadInteger("Zentrop", "HkCount", 0), 2);
  EXPECT_EQ(file->ReadString("zentrop", "1hk", "?"), "Ctrl+Alt+N");
  EXPECT_EQ(file->ReadString("Zentrop", "2Cmd", "?"), "#Calc");
  EXPECT_EQ(file->ReadString("Zentrop", "3Hk", "none"), "none");
  EXPECT_EQ(file->ReadKeyNames("Zentrop"),
            (std::vector<std::string>{"HkCount", "1Hk", "1Cmd", "2Hk", "2Cmd"}));
  EXPECT_TRUE(file->ReadKeyNames("Other").empty());
}

TEST_F(ProfileFile, ASaveChangesKeysInPlaceAndKeepsEverythingElse) {
  ASSERT_TRUE(
      BdWriteFile(Path,
                  "[Before]\r\nx=1\r\n[Zentrop]\r\nHkCount=3\r\n1Hk=A\r\n1Cmd=a\r\n"
                  "Extra=kept\r\n2Hk=B\r\n2Cmd=b\r\n3Hk=C\r\n3Cmd=c\r\n[After]\r\ny=2\r\n"));
  {
    auto file = Files.OpenForSave(Path);
    file->WriteInteger("Zentrop", "HkCount", 1);
    file->WriteString("Zentrop", "1Hk", "Win+N");
    file->WriteString("Zentrop", "1Cmd", "notepad.exe");
    file->WriteString("Zentrop", "NewKey", "last");
    file->Commit();
  }
  auto file = Files.OpenForLoad(Path);
  EXPECT_EQ(file->ReadKeyNames("Zentrop"),
            (std::vector<std::string>{"HkCount", "1Hk", "1Cmd", "Extra", "2Hk", "2Cmd", "3Hk",
                                      "3Cmd", "NewKey"}));
  EXPECT_EQ(file->ReadInteger("Zentrop", "HkCount", 0), 1);
  EXPECT_EQ(file->ReadString("Zentrop", "1Hk", ""), "Win+N");
  EXPECT_EQ(file->ReadString("Zentrop", "3Cmd", ""), "c");
  EXPECT_EQ(file->ReadString("Before", "x", ""), "1");
  EXPECT_EQ(file->ReadString("After", "y", ""), "2");
  EXPECT_FALSE(BdExists(Copy));
}

TEST_F(ProfileFile, ValuesAndKeyListsOfAnyLengthComeBackWhole) {
  const std::vector<std::size_t> lengths = {2046, 2047, 2048, 4095, 4096, 10000};
  {
    auto file = Files.OpenForSave(Path);
    for (std::size_t length : lengths) {
      std::string value(length, 'x');
      value.front() = '<';
      value.back() = '>';
      file->WriteString("Zentrop", std::to_string(length) + "Cmd", value);
    }
    // Enough keys that their names alone pass the first buffer.
    for (int n = 1; n <= 400; ++n)
      file->WriteString("Many", "LongishKeyName" + std::to_string(n), "v");
    file->Commit();
  }
  auto file = Files.OpenForLoad(Path);
  for (std::size_t length : lengths) {
    const std::string value = file->ReadString("Zentrop", std::to_string(length) + "Cmd", "");
    EXPECT_EQ(value.size(), length);
    EXPECT_EQ(value.back(), '>') << length;
  }
  const std::vector<std::string> names = file->ReadKeyNames("Many");
  ASSERT_EQ(names.size(), 400u);
  EXPECT_EQ(names.front(), "LongishKeyName1");
  EXPECT_EQ(names.back(), "LongishKeyName400");
}

TEST_F(ProfileFile, IntegersAreReadAsTheirTextOrTheDefault) {
  const std::vector<std::pair<std::string, int>> cases = {{"12", 12},
                                                          {"-3", -3},
                                                          {"+4", 4},
                                                          {"0x1F", 31},
                                                          {"$10", 16},
                                                          {"007", 7},
                                                          {"2147483647", 2147483647},
                                                          {"-2147483648", -2147483647 - 1},
                                                          {"2147483648", -9},
                                                          {"2000000000", 2000000000},
                                                          {"abc", -9},
                                                          {"12abc", -9},
                                                          {"", -9},
                                                          {"1 2", -9},
                                                          {"0x", -9},
                                                          {"-", -9},
                                                          {"$FFFFFFFF", -1}};
  {
    auto file = Files.OpenForSave(Path);
    for (std::size_t i = 0; i < cases.size(); ++i)
      file->WriteString("Zentrop", "k" + std::to_string(i), cases[i].first);
    file->Commit();
  }
  auto file = Files.OpenForLoad(Path);
  for (std::size_t i = 0; i < cases.size(); ++i)
    EXPECT_EQ(file->ReadInteger("Zentrop", "k" + std::to_string(i), -9), cases[i].second)
        << '"' << cases[i].first << '"';
  EXPECT_EQ(file->ReadInteger("Zentrop", "missing", -9), -9);
}

TEST_F(ProfileFile, LoadingAMissingFileGivesDefaultsAndCreatesNothing) {
  {
    auto file = Files.OpenForLoad(Path);
    EXPECT_EQ(file->ReadInteger("Zentrop", "HkCount", 0), 0);
    EXPECT_EQ(file->ReadString("Zentrop", "1Hk", ""), "");
    EXPECT_TRUE(file->ReadKeyNames("Zentrop").empty());
    EXPECT_THROW(file->WriteString("Zentrop", "1Hk", "x"), EAppError);
  }
  EXPECT_FALSE(BdExists(Path));
  EXPECT_FALSE(BdExists(Copy));
}

TEST_F(ProfileFile, AnUncommittedSaveLeavesTheFileAsItWasAndNoCopyBehind) {
  SaveTwoBindings();
  const std::string before = BdReadFile(Path);
  {
    auto file = Files.OpenForSave(Path);
    file->WriteInteger("Zentrop", "HkCount", 7);
    EXPECT_TRUE(BdExists(Copy));
  }
  EXPECT_EQ(BdReadFile(Path), before);
  EXPECT_FALSE(BdExists(Copy));
}

TEST_F(ProfileFile, ACopyLeftByAnEarlierSaveDoesNotSpoilTheNext) {
  SaveTwoBindings();
  ASSERT_TRUE(BdWriteFile(Copy, "[Zentrop]\r\nHkCount=99\r\nStale=1\r\n"));
  {
    auto file = Files.OpenForSave(Path);
    file->WriteString("Zentrop", "2Cmd", "#Other");
    file->Commit();
  }
  auto file = Files.OpenForLoad(Path);
  EXPECT_EQ(file->ReadInteger("Zentrop", "HkCount", 0), 2);
  EXPECT_EQ(file->ReadString("Zentrop", "Stale", "gone"), "gone");
  EXPECT_EQ(file->ReadString("Zentrop", "2Cmd", ""), "#Other");
  EXPECT_FALSE(BdExists(Copy));
}

// Runs a whole save of two bindings and returns the message it failed with.
std::string FailedSave(ProfileFiles& files, const std::string& path) {
  try {
    auto file = files.OpenForSave(path);
    file->WriteInteger("Zentrop", "HkCount", 1);
    file->WriteString("Zentrop", "1Hk", "Ctrl+Q");
    file->WriteString("Zentrop", "1Cmd", "new.exe");
    file->Commit();
  } catch (const EAppError& e) {
    return e.what();
  }
  return "<saved>";
}

TEST_F(ProfileFile, AFolderWhereTheFileShouldBeRefusesTheSave) {
  ASSERT_TRUE(::CreateDirectoryA(Path.c_str(), nullptr));
  EXPECT_EQ(FailedSave(Files, Path), Refusal());
  EXPECT_TRUE(::GetFileAttributesA(Path.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_FALSE(BdExists(Copy));
}

TEST_F(ProfileFile, AFolderWhereTheCopyShouldBeRefusesTheSaveAndKeepsTheFile) {
  SaveTwoBindings();
  const std::string before = BdReadFile(Path);
  ASSERT_TRUE(::CreateDirectoryA(Copy.c_str(), nullptr));
  EXPECT_EQ(FailedSave(Files, Path), Refusal());
  EXPECT_EQ(BdReadFile(Path), before);
}

TEST_F(ProfileFile, AFileHeldOpenWithoutShareWriteRefusesTheSaveAndKeepsTheFile) {
  SaveTwoBindings();
  const std::string before = BdReadFile(Path);
  for (DWORD share : {DWORD{FILE_SHARE_READ}, DWORD{0}}) {
    const HANDLE held = ::CreateFileA(Path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(FailedSave(Files, Path), Refusal()) << "share " << share;
    ::CloseHandle(held);
    EXPECT_EQ(BdReadFile(Path), before);
    EXPECT_FALSE(BdExists(Copy));
  }
}

// A second save of the same file while one is under way (a second program
// beside the first, both closing) must neither take the first one's copy
// nor put a half-made file in place.
TEST_F(ProfileFile, ASecondSaveWhileOneIsUnderWayIsRefusedAndTheFirstCompletes) {
  SaveTwoBindings();
  auto first = Files.OpenForSave(Path);
  first->WriteString("Zentrop", "1Hk", "Win+A");
  EXPECT_EQ(FailedSave(Files, Path), Refusal());
  EXPECT_TRUE(BdExists(Copy));
  first->Commit();
  first.reset();
  EXPECT_FALSE(BdExists(Copy));
  auto file = Files.OpenForLoad(Path);
  EXPECT_EQ(file->ReadString("Zentrop", "1Hk", ""), "Win+A");
  EXPECT_EQ(file->ReadString("Zentrop", "2Cmd", ""), "#Calc");
  EXPECT_EQ(file->ReadInteger("Zentrop", "HkCount", 0), 2);
}

// Keys the file cannot hold as given are refused rather than written so
// that they read back as something else.
TEST_F(ProfileFile, AKeyThatWouldReadBackAsAnotherIsRefused) {
  SaveTwoBindings();
  const std::string before = BdReadFile(Path);
  for (const char* key : {"a=b", "[Other]"}) {
    auto file = Files.OpenForSave(Path);
    file->WriteString("Zentrop", key, "1");
    EXPECT_THROW(file->Commit(), EAppError) << key;
    file.reset();
    EXPECT_EQ(BdReadFile(Path), before) << key;
    EXPECT_FALSE(BdExists(Copy));
  }
}

TEST_F(ProfileFile, AMissingFolderRefusesTheSave) {
  const std::string path = Folder.Path() + "no such folder\\ztrop32.ini";
  EXPECT_EQ(FailedSave(Files, path), "Unable to write to " + path);
  EXPECT_FALSE(BdExists(Folder.Path() + "no such folder"));
}

}  // namespace
}  // namespace zt
