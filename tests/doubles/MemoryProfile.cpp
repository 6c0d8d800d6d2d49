#include "tests/doubles/MemoryProfile.h"

#include "bindings/AsciiText.h"

namespace zt {

namespace {

std::string Trim(const std::string& text) {
  const char* blanks = " \t\r\n";
  const std::size_t first = text.find_first_not_of(blanks);
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

}  // namespace

TProfileText::TProfileText(const std::string& text) {
  FSections.push_back(TSection{});
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string line = Trim(text.substr(start, end - start));
    start = end + 1;
    if (line.empty()) continue;
    if (line[0] == '[') {
      const std::size_t close = line.find(']');
      FSections.push_back(TSection{
          Trim(line.substr(1, close == std::string::npos ? std::string::npos : close - 1)), {}});
      continue;
    }
    const std::size_t eq = line.find('=');
    if (line[0] == ';' || eq == std::string::npos)
      FSections.back().entries.push_back(TEntry{line, std::nullopt});
    else
      FSections.back().entries.push_back(
          TEntry{Trim(line.substr(0, eq)), Trim(line.substr(eq + 1))});
  }
}

std::string TProfileText::Render() const {
  std::string text;
  for (const TSection& section : FSections) {
    if (!section.name.empty()) {
      if (!text.empty()) text += "\r\n";
      text += "[" + section.name + "]\r\n";
    }
    for (const TEntry& entry : section.entries)
      text += entry.name + (entry.value ? "=" + *entry.value : "") + "\r\n";
  }
  return text;
}

std::size_t TProfileText::SectionIndex(const std::string& name) const {
  for (std::size_t i = 1; i < FSections.size(); ++i)
    if (SameTextAscii(FSections[i].name, name)) return i;
  return 0;
}

std::optional<std::string> TProfileText::Get(const std::string& section,
                                             const std::string& key) const {
  const std::size_t index = SectionIndex(section);
  if (index == 0) return std::nullopt;
  for (const TEntry& entry : FSections[index].entries) {
    if (!entry.value || !SameTextAscii(entry.name, key)) continue;
    return *entry.value;
  }
  return std::nullopt;
}

void TProfileText::Set(const std::string& section, const std::string& key,
                       const std::string& value) {
  std::size_t index = SectionIndex(section);
  if (index == 0) {
    FSections.push_back(TSection{section, {}});
    index = FSections.size() - 1;
  }
  std::vector<TEntry>& entries = FSections[index].entries;
  for (TEntry& entry : entries) {
    if (entry.value && SameTextAscii(entry.name, key)) {
      entry.value = value;
      return;
    }
  }
  entries.push_back(TEntry{key, value});
}

std::vector<std::string> TProfileText::KeyNames(const std::string& section) const {
  std::vector<std::string> names;
  if (const std::size_t index = SectionIndex(section))
    for (const TEntry& entry : FSections[index].entries)
      if (entry.name[0] != ';') names.push_back(entry.name);
  return names;
}

class TMemoryProfileFile : public ProfileFile {
 public:
  TMemoryProfileFile(TMemoryProfileFiles& files, const std::string& path, bool forSave)
      : FFiles(files), FPath(path), FForSave(forSave), FContent(files.Text(path)) {}

  const std::string& FileName() const override { return FPath; }

  int ReadInteger(const std::string& section, const std::string& key, int defaultValue) override {
    ++FFiles.ValueReads;
    const std::optional<std::string> value = FContent.Get(section, key);
    return value ? StrToIntDef(*value, defaultValue) : defaultValue;
  }
  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& defaultValue) override {
    ++FFiles.ValueReads;
    return FContent.Get(section, key).value_or(defaultValue);
  }
  std::vector<std::string> ReadKeyNames(const std::string& section) override {
    ++FFiles.KeyNameReads;
    return FContent.KeyNames(section);
  }

  void WriteInteger(const std::string& section, const std::string& key, int value) override {
    WriteString(section, key, std::to_string(value));
  }
  void WriteString(const std::string& section, const std::string& key,
                   const std::string& value) override {
    if (!FForSave ||
        (FFiles.WritesBeforeRefusal >= 0 && FFiles.WritesDone >= FFiles.WritesBeforeRefusal))
      throw EAppError("Unable to write to " + FPath);
    ++FFiles.WritesDone;
    FContent.Set(section, key, value);
    FWritten = true;
  }

  void Commit() override {
    if (!FForSave) return;
    if (FFiles.RefuseCommit) throw EAppError("Unable to write to " + FPath);
    ++FFiles.Commits;
    if (FWritten || FFiles.Exists(FPath)) FFiles.FFiles[FPath] = FContent.Render();
  }

 private:
  TMemoryProfileFiles& FFiles;
  std::string FPath;
  bool FForSave;
  bool FWritten = false;
  TProfileText FContent;
};

std::string TMemoryProfileFiles::Text(const std::string& path) const {
  const auto found = FFiles.find(path);
  return found == FFiles.end() ? std::string() : found->second;
}

std::unique_ptr<ProfileFile> TMemoryProfileFiles::OpenForLoad(const std::string& path) {
  ++LoadsOpened;
  return std::make_unique<TMemoryProfileFile>(*this, path, false);
}

std::unique_ptr<ProfileFile> TMemoryProfileFiles::OpenForSave(const std::string& path) {
  ++SavesOpened;
  return std::make_unique<TMemoryProfileFile>(*this, path, true);
}

}  // namespace zt
