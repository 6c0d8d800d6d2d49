#include "bench/BenchPlatform.h"

#include "bindings/AsciiText.h"
#include "hotkeys/HotKeyManager.h"

namespace zt::bench {

namespace {

class TLightProfileFile : public ProfileFile {
 public:
  // A load reads the stored content in place.
  TLightProfileFile(TLightProfileFiles& files, const std::string& path, bool forSave)
      : FFiles(files), FPath(path), FForSave(forSave) {
    auto found = files.Files.find(path);
    if (found != files.Files.end() && !forSave) FStored = &found->second;
  }

  const std::string& FileName() const override { return FPath; }

  int ReadInteger(const std::string& section, const std::string& key, int defaultValue) override {
    const std::string* value = Find(section, key);
    return value ? StrToIntDef(*value, defaultValue) : defaultValue;
  }
  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& defaultValue) override {
    const std::string* value = Find(section, key);
    return value ? *value : defaultValue;
  }
  std::vector<std::string> ReadKeyNames(const std::string& section) override {
    const TLightProfileFiles::TFile& content = Content();
    auto found = content.find(AsciiUpper(section));
    return found == content.end() ? std::vector<std::string>() : found->second.Order;
  }
  void WriteInteger(const std::string& section, const std::string& key, int value) override {
    WriteString(section, key, std::to_string(value));
  }
  void WriteString(const std::string& section, const std::string& key,
                   const std::string& value) override {
    if (!FForSave) throw EAppError("Unable to write to " + FPath);
    FWrites.push_back({section, key, value});
  }
  void Commit() override {
    if (FForSave) FFiles.Saved[FPath] = std::move(FWrites);
  }

 private:
  const TLightProfileFiles::TFile& Content() const { return FStored ? *FStored : FContent; }
  const std::string* Find(const std::string& section, const std::string& key) const {
    const TLightProfileFiles::TFile& content = Content();
    auto s = content.find(AsciiUpper(section));
    if (s == content.end()) return nullptr;
    auto v = s->second.Values.find(AsciiUpper(key));
    return v == s->second.Values.end() ? nullptr : &v->second;
  }

  TLightProfileFiles& FFiles;
  std::string FPath;
  bool FForSave;
  TLightProfileFiles::TFile FContent;  // empty: nothing stored under the path
  const TLightProfileFiles::TFile* FStored = nullptr;
  std::vector<TLightProfileFiles::TWrite> FWrites;
};

}  // namespace

std::unique_ptr<ProfileFile> TLightProfileFiles::OpenForLoad(const std::string& path) {
  return std::make_unique<TLightProfileFile>(*this, path, false);
}

std::unique_ptr<ProfileFile> TLightProfileFiles::OpenForSave(const std::string& path) {
  return std::make_unique<TLightProfileFile>(*this, path, true);
}

AtomId TLightHotKeySystem::AddGlobalAtom(const std::string& name) {
  const std::string key = AsciiUpper(name);
  auto found = FAtomByName.find(key);
  if (found != FAtomByName.end()) {
    ++FAtoms[found->second].second;
    return found->second;
  }
  const AtomId atom = FNextAtom++;
  FAtomByName.emplace(key, atom);
  FAtoms.emplace(atom, std::make_pair(key, 1));
  return atom;
}

void TLightHotKeySystem::DeleteGlobalAtom(AtomId atom) {
  auto found = FAtoms.find(atom);
  if (found == FAtoms.end() || --found->second.second > 0) return;
  FAtomByName.erase(found->second.first);
  FAtoms.erase(found);
}

bool TLightHotKeySystem::RegisterHotKey(WindowHandle, int id, unsigned modifiers, unsigned vk) {
  const unsigned combination = ((modifiers & 0xF) << 16) | vk;
  if (FById.count(id) != 0 || !FCombinations.insert(combination).second) return false;
  FById.emplace(id, combination);
  return true;
}

bool TLightHotKeySystem::UnregisterHotKey(WindowHandle, int id) {
  auto found = FById.find(id);
  if (found == FById.end()) return false;
  FCombinations.erase(found->second);
  FById.erase(found);
  return true;
}

std::vector<std::string> BindingTexts(int n) {
  static const char* const modifierSets[] = {"Ctrl+",
                                             "Alt+",
                                             "Shift+",
                                             "Win+",
                                             "Ctrl+Alt+",
                                             "Ctrl+Shift+",
                                             "Ctrl+Win+",
                                             "Shift+Alt+",
                                             "Alt+Win+",
                                             "Shift+Win+",
                                             "Ctrl+Shift+Alt+",
                                             "Ctrl+Alt+Win+",
                                             "Ctrl+Shift+Win+",
                                             "Shift+Alt+Win+",
                                             "Ctrl+Shift+Alt+Win+"};
  std::vector<std::string> keys;
  for (unsigned vk = 8; vk <= 255; ++vk) {
    // Modifier keys are no key of a hotkey.
    if ((vk >= 16 && vk <= 18) || vk == 0x5B || vk == 0x5C || (vk >= 0xA0 && vk <= 0xA5)) continue;
    const std::string name = TextFromHotKey(vk, true);
    if (!name.empty() && name.find('+') == std::string::npos && FindKeyByName(name, true) == vk)
      keys.push_back(name);
  }
  std::vector<std::string> texts;
  texts.reserve(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) {
    const std::size_t combo = static_cast<std::size_t>(i) % (keys.size() * 15);
    texts.push_back(std::string(modifierSets[combo % 15]) + keys[combo / 15]);
  }
  return texts;
}

}  // namespace zt::bench
