#pragma once
// Settings files of the kinds that have gone wrong in settings files before,
// as the bytes of ztrop32.ini and the bindings the program loads from them.
// Portable: the unit tests run them through the in-memory profile, the Wine
// tests through the real profile functions and the real program.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "bindings/Bindings.h"

namespace zt::test {

struct TSettingsFile {
  std::string Name;  // letters and digits only, fit for a test name
  std::string Bytes;
  // The rows LoadBindings makes of the file, in order; none for the random
  // files, where only the round trip (load, save, load) is to be checked.
  std::optional<std::vector<HotkeyBinding>> Bindings;
};

// size bytes of which most are random, with the section header, the count
// and numbered keys strewn among them so that some bindings load.
TSettingsFile RandomBytesFile(unsigned seed, std::size_t size = 4096);
// NUL bytes inside values, key names and at the start of a line: what
// follows a NUL in a name or value is not read.
TSettingsFile NulInsideValuesFile();
// lines lines in all: the header, the count and (lines - 2) / 2 bindings.
TSettingsFile ManyLinesFile(int lines = 100000);
// One binding whose command is valueSize bytes long.
TSettingsFile HugeValueFile(std::size_t valueSize = 1 << 20);
// Duplicate keys (the first counts) and a second [Zentrop] section (never read).
TSettingsFile DuplicatesFile();
// Lines ending in CR LF, LF, CR and LF CR, and no line end at the very end.
TSettingsFile MixedLineEndsFile();
// The keys above any section header: nothing loads.
TSettingsFile NoSectionFile();
// "HkCount" given as countText over three bindings (a huge, negative,
// hexadecimal or non-numeric count), of which the first rowsLoaded load.
TSettingsFile CountFile(const std::string& name, const std::string& countText, int rowsLoaded);
// A tiny file with a huge count and a key numbered as high: one row, not
// millions.
TSettingsFile StrayNumberFile();
// Values with blanks and quotes around them, and a key with blanks around it.
TSettingsFile QuotesAndBlanksFile();

// Every file above once (the random one with a few seeds, the counts in
// their variants), and the same by name: names are cheap to list, so that a
// test can be made per file without making every file first.
std::vector<TSettingsFile> AllSettingsFiles();
std::vector<std::string> SettingsFileNames();
TSettingsFile SettingsFileNamed(const std::string& name);

}  // namespace zt::test
