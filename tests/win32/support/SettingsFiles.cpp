#include "tests/win32/support/SettingsFiles.h"

#include <functional>
#include <random>
#include <tuple>
#include <utility>

namespace zt::test {

namespace {

const std::string Header = "[Zentrop]\r\n";

std::string Lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

}  // namespace

TSettingsFile RandomBytesFile(unsigned seed, std::size_t size) {
  std::mt19937 random(seed);
  std::string bytes;
  while (bytes.size() < size) {
    switch (random() % 10) {
      case 0:
        bytes += random() % 4 ? "[Zentrop]" : "[zentrop ";
        break;
      case 1:
        bytes += "HkCount=" + std::to_string(random() % 12);
        break;
      case 2:
      case 3:
      case 4:
        bytes += std::to_string(1 + random() % 10) + (random() % 2 ? "Hk=" : "Cmd=");
        break;
      case 5:
      case 6: {
        static const char* const ends[] = {"\r\n", "\n", "\r", "\n\r"};
        bytes += ends[random() % 4];
        break;
      }
      default:
        for (unsigned n = random() % 12; n > 0; --n) bytes += static_cast<char>(random() & 0xFF);
    }
  }
  bytes.resize(size);
  return {"Random" + std::to_string(seed), bytes, std::nullopt};
}

TSettingsFile NulInsideValuesFile() {
  using namespace std::string_literals;
  return {"NulInsideValues",
          Header + "HkCount=3\r\n1Hk=Ctrl+Alt+N\0hidden\r\n1Cmd=notepad.exe\0 --junk\r\n"s +
              "2\0Hk=Ctrl+Alt+X\r\n2Hk=Ctrl+Alt+M\r\n2Cmd=\0gone\r\n\0[Other]\r\n"s +
              "3Hk=Ctrl+Alt+Q\r\n3Cmd=q.exe\r\n",
          std::vector<HotkeyBinding>{
              {"Ctrl+Alt+N", "notepad.exe"}, {"Ctrl+Alt+M", ""}, {"Ctrl+Alt+Q", "q.exe"}}};
}

TSettingsFile ManyLinesFile(int lines) {
  const int count = (lines - 2) / 2;
  std::string bytes = Header + "HkCount=" + std::to_string(count) + "\r\n";
  std::vector<HotkeyBinding> bindings;
  for (int n = 1; n <= count; ++n) {
    bindings.push_back(HotkeyBinding{"Ctrl+Alt+F" + std::to_string(n % 12 + 1),
                                     "C:\\Tools\\tool" + std::to_string(n) + ".exe"});
    bytes += std::to_string(n) + "Hk=" + bindings.back().Text + "\r\n" + std::to_string(n) +
             "Cmd=" + bindings.back().Command + "\r\n";
  }
  return {"ManyLines", bytes, bindings};
}

TSettingsFile HugeValueFile(std::size_t valueSize) {
  std::string command = "C:\\";
  while (command.size() + 4 < valueSize) command += "abcdefghi\\"[command.size() % 10];
  command += ".exe";
  command.resize(valueSize < 7 ? 7 : valueSize);
  return {"HugeValue", Header + "HkCount=1\r\n1Hk=Ctrl+Alt+H\r\n1Cmd=" + command + "\r\n",
          std::vector<HotkeyBinding>{{"Ctrl+Alt+H", command}}};
}

TSettingsFile DuplicatesFile() {
  // Row 2 reads its command from the first "2Cmd", which has no value; row 3
  // finds no 3Cmd in the first [Zentrop].
  return {"Duplicates",
          Lines({"[Zentrop]", "HkCount=3", "1Hk=Ctrl+Alt+A", "1HK=Ctrl+Alt+B", "1Cmd=a.exe", "2Cmd",
                 "2Cmd=b.exe", "3Hk=Ctrl+Alt+C", "[Other]", "HkCount=9", "[ZENTROP]", "3Cmd=c.exe",
                 "4Hk=Ctrl+Alt+D", "HkCount=4"}),
          std::vector<HotkeyBinding>{{"Ctrl+Alt+A", "a.exe"}, {"", ""}, {"Ctrl+Alt+C", ""}}};
}

TSettingsFile MixedLineEndsFile() {
  return {"MixedLineEnds",
          "[Zentrop]\nHkCount=3\r\n1Hk=Ctrl+Alt+1\r1Cmd=one.exe\n\r2Hk=Ctrl+Alt+2\r\n\r\n"
          "2Cmd=two.exe\n3Hk=Ctrl+Alt+3\r3Cmd=three.exe",
          std::vector<HotkeyBinding>{
              {"Ctrl+Alt+1", "one.exe"}, {"Ctrl+Alt+2", "two.exe"}, {"Ctrl+Alt+3", "three.exe"}}};
}

TSettingsFile NoSectionFile() {
  return {"NoSection",
          Lines({"HkCount=2", "1Hk=Ctrl+Alt+N", "1Cmd=n.exe", "2Hk=Ctrl+Alt+M", "2Cmd=m.exe",
                 "[Other]", "HkCount=1"}),
          std::vector<HotkeyBinding>{}};
}

TSettingsFile CountFile(const std::string& name, const std::string& countText, int rowsLoaded) {
  const std::vector<HotkeyBinding> all = {
      {"Ctrl+Alt+1", "one.exe"}, {"Ctrl+Alt+2", "two.exe"}, {"Ctrl+Alt+3", "three.exe"}};
  return {name,
          Header + "HkCount=" + countText + "\r\n" +
              Lines({"1Hk=Ctrl+Alt+1", "1Cmd=one.exe", "2Hk=Ctrl+Alt+2", "2Cmd=two.exe",
                     "3Hk=Ctrl+Alt+3", "3Cmd=three.exe"}),
          std::vector<HotkeyBinding>(all.begin(), all.begin() + rowsLoaded)};
}

TSettingsFile StrayNumberFile() {
  return {"StrayNumber",
          Lines({"[Zentrop]", "HkCount=99999999", "1Hk=Ctrl+Alt+1", "1Cmd=one.exe",
                 "99999999Hk=Ctrl+Alt+9"}),
          std::vector<HotkeyBinding>{{"Ctrl+Alt+1", "one.exe"}}};
}

TSettingsFile QuotesAndBlanksFile() {
  return {"QuotesAndBlanks",
          Lines({"[Zentrop]", "HkCount=4", "1Hk=\" Ctrl+Alt+N \"",
                 "1Cmd=\"C:\\Program Files\\App\\app.exe\"", "  2Hk  =   'Ctrl+Alt+M'  ",
                 "2Cmd=\"\"quoted\"\"", "3Hk=Ctrl+Alt+Q", "3Cmd=\"unbalanced", "4Hk='",
                 "4Cmd=a \"b\" c"}),
          std::vector<HotkeyBinding>{{" Ctrl+Alt+N ", "C:\\Program Files\\App\\app.exe"},
                                     {"Ctrl+Alt+M", "\"quoted\""},
                                     {"Ctrl+Alt+Q", "\"unbalanced"},
                                     {"'", "a \"b\" c"}}};
}

namespace {

using TMaker = std::function<TSettingsFile()>;

const std::vector<std::pair<std::string, TMaker>>& Makers() {
  static const std::vector<std::pair<std::string, TMaker>> makers = [] {
    std::vector<std::pair<std::string, TMaker>> list;
    for (unsigned seed : {1u, 2u, 3u, 4u, 5u})
      list.emplace_back("Random" + std::to_string(seed), [seed] { return RandomBytesFile(seed); });
    list.emplace_back("NulInsideValues", [] { return NulInsideValuesFile(); });
    list.emplace_back("ManyLines", [] { return ManyLinesFile(); });
    list.emplace_back("HugeValue", [] { return HugeValueFile(); });
    list.emplace_back("Duplicates", [] { return DuplicatesFile(); });
    list.emplace_back("MixedLineEnds", [] { return MixedLineEndsFile(); });
    list.emplace_back("NoSection", [] { return NoSectionFile(); });
    list.emplace_back("QuotesAndBlanks", [] { return QuotesAndBlanksFile(); });
    list.emplace_back("StrayNumber", [] { return StrayNumberFile(); });
    const std::vector<std::tuple<std::string, std::string, int>> counts = {
        {"CountHuge", "99999999", 3},
        {"CountLargest", "2147483647", 3},
        {"CountTooLarge", "2147483648", 0},
        {"CountNegative", "-1", 0},
        {"CountSmallest", "-2147483648", 0},
        {"CountWord", "three", 0},
        {"CountTrailingJunk", "2x", 0},
        {"CountEmpty", "", 0},
        {"CountHex", "0x2", 2},
        {"CountDollarHex", "$3", 3},
        {"CountQuoted", "\"2\"", 2}};
    for (const auto& count : counts)
      list.emplace_back(std::get<0>(count), [count] {
        return CountFile(std::get<0>(count), std::get<1>(count), std::get<2>(count));
      });
    return list;
  }();
  return makers;
}

}  // namespace

std::vector<TSettingsFile> AllSettingsFiles() {
  std::vector<TSettingsFile> files;
  for (const auto& [name, make] : Makers()) files.push_back(make());
  return files;
}

std::vector<std::string> SettingsFileNames() {
  std::vector<std::string> names;
  for (const auto& [name, make] : Makers()) names.push_back(name);
  return names;
}

TSettingsFile SettingsFileNamed(const std::string& name) {
  for (const auto& [each, make] : Makers())
    if (each == name) return make();
  return {name, "", std::nullopt};
}

}  // namespace zt::test
