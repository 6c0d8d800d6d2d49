#include "tests/doubles/MemoryProfile.h"

#include <string_view>

#include "bindings/AsciiText.h"

namespace zt {

namespace {

const std::string Utf8Mark = "\xEF\xBB\xBF";

std::string CutAtNul(std::string_view text) {
  return std::string(text.substr(0, text.find('\0')));
}

std::string TrimLeft(const std::string& text) {
  std::size_t first = 0;
  while (first < text.size() && IsProfileBlank(text[first])) ++first;
  return text.substr(first);
}

// A name asked for, as the profile functions take it.
std::string AskedName(const std::string& name) {
  return TrimProfileBlanks(CutAtNul(name));
}

std::string_view TrimmedView(std::string_view text) {
  while (!text.empty() && IsProfileBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsProfileBlank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

TProfileText::TProfileText(const std::string& text) {
  std::string body = text;
  if (text.compare(0, 3, Utf8Mark) == 0) {
    FEncoding = TEncoding::Utf8;
    body = text.substr(3);
  } else if (text.size() >= 2 &&
             (text.compare(0, 2, "\xFF\xFE") == 0 || text.compare(0, 2, "\xFE\xFF") == 0)) {
    FEncoding = text[0] == '\xFF' ? TEncoding::Utf16Le : TEncoding::Utf16Be;
    const std::size_t low = FEncoding == TEncoding::Utf16Le ? 0 : 1;
    body.clear();
    for (std::size_t i = 2; i + 1 < text.size(); i += 2) {
      const unsigned char lo = static_cast<unsigned char>(text[i + low]);
      const unsigned char hi = static_cast<unsigned char>(text[i + 1 - low]);
      body += hi == 0 ? static_cast<char>(lo) : '?';
    }
  }

  // A name or value that a NUL cuts short may end in blanks that the next
  // reading takes off.
  FNeedsReparse = body.find('\0') != std::string::npos;
  FSections.push_back(TSection{});
  std::size_t start = 0;
  while (start < body.size()) {
    std::size_t end = body.find_first_of("\r\n", start);
    if (end == std::string::npos) end = body.size();
    ParseLine(TrimmedView(std::string_view(body).substr(start, end - start)));
    start = end + 1;
  }
}

void TProfileText::ParseLine(std::string_view line) {
  if (line.empty()) return;
  if (line[0] == '[') {
    const std::size_t close = line.rfind(']');
    if (close != std::string_view::npos) {
      const std::string name = CutAtNul(TrimmedView(line.substr(1, close - 1)));
      if (name.empty())
        FNeedsReparse = true;  // written without a header
      else
        FFirstSection.emplace(AsciiUpper(name), FSections.size());
      FSections.push_back(TSection{name, {}, {}});
      return;
    }
  }
  TSection& section = FSections.back();
  const std::size_t eq = line.find('=');
  const std::string_view name = TrimmedView(line.substr(0, eq));
  // An empty name after another empty one makes no entry; a name that a NUL
  // empties still does.
  if (name.empty() && !section.entries.empty() && section.entries.back().name.empty()) return;
  TEntry entry{CutAtNul(name), std::nullopt};
  if (eq != std::string_view::npos) entry.value = CutAtNul(TrimmedView(line.substr(eq + 1)));
  AddEntry(section, std::move(entry));
}

void TProfileText::AddEntry(TSection& section, TEntry entry) {
  section.first.emplace(AsciiUpper(entry.name), section.entries.size());
  section.entries.push_back(std::move(entry));
}

std::string TProfileText::Render() const {
  std::string text;
  for (std::size_t i = 0; i < FSections.size(); ++i) {
    const TSection& section = FSections[i];
    if (i > 0 && !section.name.empty()) text += "[" + section.name + "]\r\n";
    for (const TEntry& entry : section.entries)
      text += entry.name + (entry.value ? "=" + *entry.value : "") + "\r\n";
  }
  switch (FEncoding) {
    case TEncoding::Ansi:
      return text;
    case TEncoding::Utf8:
      return Utf8Mark + text;
    case TEncoding::Utf16Le:
    case TEncoding::Utf16Be: {
      const bool little = FEncoding == TEncoding::Utf16Le;
      std::string wide = little ? "\xFF\xFE" : "\xFE\xFF";
      for (char c : text) {
        wide += little ? c : '\0';
        wide += little ? '\0' : c;
      }
      return wide;
    }
  }
  return text;
}

const TProfileText::TSection* TProfileText::FindSection(const std::string& name) const {
  const auto found = FFirstSection.find(AsciiUpper(AskedName(name)));
  return found == FFirstSection.end() ? nullptr : &FSections[found->second];
}

std::optional<std::string> TProfileText::Get(const std::string& section,
                                             const std::string& key) const {
  const TSection* found = FindSection(section);
  if (!found) return std::nullopt;
  const std::string name = AskedName(key);
  if (name.empty() || name[0] == ';') return std::nullopt;
  const auto entry = found->first.find(AsciiUpper(name));
  if (entry == found->first.end() || !found->entries[entry->second].value) return std::nullopt;
  return StripProfileQuotes(*found->entries[entry->second].value);
}

std::optional<std::string> TProfileText::RawValue(const std::string& section,
                                                  const std::string& key) const {
  const TSection* found = FindSection(section);
  const std::string name = AskedName(key);
  if (!found || (!name.empty() && name[0] == ';')) return std::nullopt;
  const auto entry = found->first.find(AsciiUpper(name));
  if (entry == found->first.end()) return std::nullopt;
  return found->entries[entry->second].value;
}

bool TProfileText::Set(const std::string& section, const std::string& key,
                       const std::string& value) {
  const std::string sectionName = AskedName(section);
  std::size_t index = 0;
  if (const TSection* found = FindSection(sectionName)) {
    index = static_cast<std::size_t>(found - FSections.data());
  } else {
    index = FSections.size();
    if (!sectionName.empty()) FFirstSection.emplace(AsciiUpper(sectionName), index);
    FSections.push_back(TSection{sectionName, {}, {}});
  }
  TSection& target = FSections[index];
  const std::string keyName = AskedName(key);
  const std::string stored = TrimLeft(CutAtNul(value));
  if ((!stored.empty() && IsProfileBlank(stored.back())) ||
      stored.find_first_of("\r\n") != std::string::npos || keyName.empty() || keyName[0] == '[' ||
      keyName.find_first_of("=\r\n") != std::string::npos || sectionName.empty() ||
      sectionName.find_first_of("\r\n") != std::string::npos)
    FNeedsReparse = true;
  const auto entry = target.first.find(AsciiUpper(keyName));
  if (entry == target.first.end()) {
    AddEntry(target, TEntry{keyName, stored});
    return true;
  }
  std::optional<std::string>& old = target.entries[entry->second].value;
  if (old == stored) return false;
  old = stored;
  return true;
}

std::vector<std::string> TProfileText::KeyNames(const std::string& section) const {
  std::vector<std::string> names;
  if (const TSection* found = FindSection(section))
    for (const TEntry& entry : found->entries)
      if (entry.value && !entry.name.empty() && entry.name[0] != ';') names.push_back(entry.name);
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
    FWrites.push_back({section, key, value});
    // The file as the last write that changed something left it, read anew.
    if (FChanged && FContent.NeedsReparse()) {
      FWritten = FContent.Render();
      FContent = TProfileText(FWritten);
      FChangedSinceWritten = false;
    }
    if (FContent.Set(section, key, value)) FChanged = FChangedSinceWritten = true;
  }

  void Commit() override {
    if (!FForSave) return;
    if (FFiles.RefuseCommit) throw EAppError("Unable to write to " + FPath);
    ++FFiles.Commits;
    if (!FChanged) return;
    const std::string text = FChangedSinceWritten ? FContent.Render() : FWritten;
    // The last write of a key is the one that stays.
    std::map<std::pair<std::string, std::string>, std::string> expected;
    for (const TWrite& write : FWrites)
      expected[{AsciiUpper(TrimProfileBlanks(write.Section)),
                AsciiUpper(TrimProfileBlanks(write.Key))}] = ProfileValueReadBack(write.Value);
    const TProfileText readBack(text);
    for (const auto& [name, value] : expected)
      if (readBack.RawValue(name.first, name.second) != value)
        throw EAppError("Unable to write to " + FPath);
    FFiles.FFiles[FPath] = text;
  }

 private:
  struct TWrite {
    std::string Section, Key, Value;
  };
  TMemoryProfileFiles& FFiles;
  std::string FPath;
  bool FForSave;
  bool FChanged = false;
  bool FChangedSinceWritten = false;
  std::string FWritten;  // the text as of the last reading anew
  std::vector<TWrite> FWrites;
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
