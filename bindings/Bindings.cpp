#include "bindings/Bindings.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace zt {

const char* const SettingsFileName = "ztrop32.ini";
const char* const SettingsSection = "Zentrop";

namespace {

const char* const CountKey = "HkCount";

std::string TextKey(int n) {
  return std::to_string(n) + "Hk";
}
std::string CommandKey(int n) {
  return std::to_string(n) + "Cmd";
}

}  // namespace

std::string SettingsValueText(const std::string& value) {
  const std::string text = value.substr(0, value.find_first_of(std::string("\r\n\0", 3)));
  const bool blankEnd =
      !text.empty() && (IsProfileBlank(text.front()) || IsProfileBlank(text.back()));
  if (blankEnd || StripProfileQuotes(text) != text) return "\"" + text + "\"";
  return text;
}

int BindingKeyNumber(const std::string& keyName) {
  std::size_t digits = 0;
  while (digits < keyName.size() && keyName[digits] >= '0' && keyName[digits] <= '9') ++digits;
  // "01Hk" is another key than "1Hk" to the profile functions.
  if (digits == 0 || keyName[0] == '0' || digits > 10) return 0;
  const std::string suffix = keyName.substr(digits);
  if (!SameTextAscii(suffix, "Hk") && !SameTextAscii(suffix, "Cmd")) return 0;
  const long long n = std::stoll(keyName.substr(0, digits));
  return n > 0x7FFFFFFF ? 0 : static_cast<int>(n);
}

TBindingList::TBindingList(BindingRows& rows, THotKeyManager& hotKeys, ProfileFiles& files)
    : FRows(rows), FHotKeys(hotKeys), FFiles(files) {}

bool TBindingList::CodeInUse(THotKeyCode code) const {
  for (int i = 0; i < FRows.Count(); ++i)
    if (FRows.Code(i) == code) return true;
  return false;
}

// One registration per code however many rows hold it; a code whose earlier
// attempt failed is tried again.
void TBindingList::RegisterIfFree(THotKeyCode code) {
  if (!FHotKeys.IsHotKeyCodeRegistered(code)) FHotKeys.RegisterHotKeyCode(code);
}

void TBindingList::LoadBindings() {
  const std::unique_ptr<ProfileFile> file = FFiles.OpenForLoad(SettingsPath());
  const int count = file->ReadInteger(SettingsSection, CountKey, 0);
  int last = 0;
  if (count > 0) {
    std::vector<int> numbers;
    for (const std::string& key : file->ReadKeyNames(SettingsSection)) {
      const int n = BindingKeyNumber(key);
      if (n > 0 && n <= count) numbers.push_back(n);
    }
    std::sort(numbers.begin(), numbers.end());
    for (const int n : numbers) {
      if (n - last - 1 > MaxMissingBindings) break;
      last = n;
    }
  }
  for (int n = 1; n <= last; ++n) {
    HotkeyBinding binding;
    binding.Text = file->ReadString(SettingsSection, TextKey(n), "");
    binding.Command = file->ReadString(SettingsSection, CommandKey(n), "");
    const THotKeyCode code = HotKeyFromText(binding.Text, true);
    FRows.Append(binding, code);
    RegisterIfFree(code);
  }
  FLoaded = true;
}

void TBindingList::AddBinding(const std::string& text, const std::string& path, int pluginIndex,
                              const std::string& pluginName) {
  if (path.empty() && pluginIndex <= 0) return;
  if (text.empty()) return;
  const std::string command = pluginIndex > 0 ? "#" + pluginName : path;
  const std::string upper = AsciiUpper(text);
  for (int i = 0; i < FRows.Count(); ++i)
    if (AsciiUpper(FRows.Text(i)) == upper) return;
  const THotKeyCode code = HotKeyFromText(text, true);
  FRows.Append(HotkeyBinding{text, command}, code);
  RegisterIfFree(code);
}

void TBindingList::RemoveSelectedBinding() {
  const int index = FRows.Selected();
  if (index < 0 || index >= FRows.Count()) return;
  // The code stored with the row is the one that was registered for it.
  const THotKeyCode code = FRows.Code(index);
  FRows.Delete(index);
  if (!CodeInUse(code)) FHotKeys.UnregisterHotKeyCode(code);
}

void TBindingList::EditBindingText(int index, const std::string& text) {
  if (index < 0 || index >= FRows.Count()) return;
  const THotKeyCode oldCode = FRows.Code(index);
  const THotKeyCode newCode = HotKeyFromText(text, true);
  FRows.SetText(index, text, newCode);
  if (oldCode == newCode) return;
  if (!CodeInUse(oldCode)) FHotKeys.UnregisterHotKeyCode(oldCode);
  RegisterIfFree(newCode);
}

void TBindingList::SaveBindings() {
  if (!FLoaded) return;
  const std::unique_ptr<ProfileFile> file = FFiles.OpenForSave(SettingsPath());
  const int count = FRows.Count();
  std::vector<std::pair<std::string, std::string>> keys;
  keys.reserve(2 * static_cast<std::size_t>(count) + 1);
  keys.emplace_back(CountKey, std::to_string(count));
  for (int i = 0; i < count; ++i) {
    keys.emplace_back(TextKey(i + 1), SettingsValueText(FRows.Text(i)));
    keys.emplace_back(CommandKey(i + 1), SettingsValueText(FRows.Command(i)));
  }
  // Twice: the profile functions read the file anew before every write, and
  // a file they did not write themselves can read otherwise once they have
  // written it out (a key name cut short by a NUL loses its trailing blanks
  // and then hides the key written after it; the lines of a section without
  // a name join the section above). The first round has them write the file
  // out; the second puts every value where the next load looks for it, and
  // changes nothing in a file that reads the same either way.
  for (int round = 0; round < 2; ++round)
    for (const auto& [key, value] : keys) file->WriteString(SettingsSection, key, value);
  file->Commit();
}

}  // namespace zt
