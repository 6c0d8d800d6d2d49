#include "platform/win32/Win32ProfileFile.h"

#include <windows.h>

#include <algorithm>
#include <map>
#include <optional>
#include <unordered_map>
#include <vector>

#include "bindings/AsciiText.h"
#include "platform/Types.h"
#include "platform/win32/Handle.h"

namespace zt {

namespace {

// Lists longer than this are not believed; it only keeps a broken profile
// function from growing the buffer without end.
constexpr DWORD MaxListBuffer = 0x4000000;

std::wstring Wide(const std::string& text) {
  if (text.empty()) return {};
  const int size =
      ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
  return wide;
}

std::string Ansi(const std::wstring& text) {
  if (text.empty()) return {};
  const int size = ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
  std::string ansi(static_cast<std::size_t>(size), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), ansi.data(), size,
                        nullptr, nullptr);
  return ansi;
}

std::string CutAtNul(const std::string& text) {
  return text.substr(0, text.find('\0'));
}

// A name as the profile functions take it when it is asked for.
std::string AskedName(const std::string& name) {
  return TrimProfileBlanks(CutAtNul(name));
}

// A value as the profile functions store it when it is written.
std::string StoredValue(const std::string& value) {
  std::string stored = CutAtNul(value);
  std::size_t first = 0;
  while (first < stored.size() && IsProfileBlank(stored[first])) ++first;
  return stored.substr(first);
}

bool IsAscii(const std::wstring& text) {
  for (const wchar_t c : text)
    if (c >= 0x80) return false;
  return true;
}

// Upper-cases the ASCII letters only, as the names are matched here.
std::wstring Folded(std::wstring text) {
  for (wchar_t& c : text)
    if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
  return text;
}

// One line of a section, as GetPrivateProfileSectionW lists it.
struct TEntry {
  std::wstring Name;
  std::optional<std::wstring> Value;  // none for a line without "="
  bool operator==(const TEntry&) const = default;
};
using TEntries = std::vector<TEntry>;

// A list of NUL-terminated strings that a profile function fills, read with a
// buffer grown until it fits; none when it would not fit below MaxListBuffer.
template <typename TFill>
std::optional<std::vector<std::wstring>> ReadList(DWORD sizeHint, TFill fill) {
  std::vector<wchar_t> buffer(sizeHint < 1024 ? 1024 : sizeHint);
  for (;;) {
    const DWORD size = static_cast<DWORD>(buffer.size());
    const DWORD length = fill(buffer.data(), size);
    // A list that reached the end of the buffer may have been cut.
    if (length + 2 < size) {
      std::vector<std::wstring> items;
      std::size_t start = 0;
      while (start < length) {
        std::size_t end = start;
        while (end < length && buffer[end] != L'\0') ++end;
        if (end > start) items.emplace_back(buffer.data() + start, end - start);
        start = end + 1;
      }
      return items;
    }
    if (size >= MaxListBuffer) return std::nullopt;
    buffer.assign(static_cast<std::size_t>(size) * 2, L'\0');
  }
}

// Room for every list of the file: it never holds more characters than the
// file has bytes, with a line end becoming the NUL that ends the string.
DWORD ListSizeHint(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) || data.nFileSizeHigh)
    return 0;
  return data.nFileSizeLow < MaxListBuffer ? data.nFileSizeLow + 16 : MaxListBuffer;
}

std::optional<TEntries> ReadSectionEntries(const std::wstring& path, const std::wstring& section) {
  const std::optional<std::vector<std::wstring>> items =
      ReadList(ListSizeHint(path), [&](wchar_t* buffer, DWORD size) {
        return ::GetPrivateProfileSectionW(section.c_str(), buffer, size, path.c_str());
      });
  if (!items) return std::nullopt;
  TEntries entries;
  for (const std::wstring& item : *items) {
    const std::size_t eq = item.find(L'=');
    if (eq == std::wstring::npos)
      entries.push_back(TEntry{item, std::nullopt});
    else
      entries.push_back(TEntry{item.substr(0, eq), item.substr(eq + 1)});
  }
  return entries;
}

// What the profile functions keep of a file but never list, and what they
// make over as soon as they write the file out once, so that a section
// written in one call would come out otherwise than by writes one by one: a
// comment line (";" after blanks), a section header with an empty name, a
// NUL byte anywhere, and every UTF-16 file, whose bytes are not looked into.
bool HoldsUnlistedLines(const std::string& bytes) {
  if (bytes.compare(0, 2, "\xFF\xFE") == 0 || bytes.compare(0, 2, "\xFE\xFF") == 0) return true;
  if (bytes.find('\0') != std::string::npos) return true;
  std::size_t start = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find_first_of("\r\n", start);
    if (end == std::string::npos) end = bytes.size();
    const std::string line = TrimProfileBlanks(bytes.substr(start, end - start));
    start = end + 1;
    if (line.empty()) continue;
    if (line[0] == ';') return true;
    const std::size_t close = line.rfind(']');
    if (line[0] == '[' && close != std::string::npos &&
        TrimProfileBlanks(line.substr(1, close - 1)).empty())
      return true;
  }
  return false;
}

// What the copy holds before and after the writes, as far as the profile
// functions list it.
struct TSnapshot {
  std::vector<std::wstring> Names;                           // every section header, in file order
  std::map<std::wstring, std::optional<TEntries>> Sections;  // folded name -> the first's lines
};

std::optional<TSnapshot> TakeSnapshot(const std::wstring& path) {
  std::optional<std::vector<std::wstring>> names =
      ReadList(ListSizeHint(path), [&](wchar_t* buffer, DWORD size) {
        return ::GetPrivateProfileSectionNamesW(buffer, size, path.c_str());
      });
  if (!names) return std::nullopt;
  TSnapshot snapshot;
  snapshot.Names = std::move(*names);
  for (const std::wstring& name : snapshot.Names)
    if (!snapshot.Sections.count(Folded(name)))
      snapshot.Sections[Folded(name)] = ReadSectionEntries(path, name);
  return snapshot;
}

struct TWrite {
  std::string Section;
  std::string Key;
  std::string Value;
};

// A write that the next write's reading of the file would make over: a
// value with blanks at its end or a line break in it, a key name that is
// empty or would read as something else.
bool ReadsOtherwise(const TWrite& write) {
  const std::string value = StoredValue(write.Value);
  const std::string key = AskedName(write.Key);
  return (!value.empty() && IsProfileBlank(value.back())) ||
         value.find_first_of("\r\n") != std::string::npos || key.empty() || key[0] == '[' ||
         key.find_first_of("=\r\n") != std::string::npos ||
         AskedName(write.Section).find_first_of("\r\n") != std::string::npos;
}

// The writes to one section, in the order they were made.
struct TSectionWrites {
  std::string Section;  // as asked for
  std::vector<const TWrite*> Writes;
};

class TWin32ProfileFile : public ProfileFile {
 public:
  // forSave: writes go to a copy of the file, made here.
  TWin32ProfileFile(const std::string& path, bool forSave);
  ~TWin32ProfileFile() override;
  TWin32ProfileFile(const TWin32ProfileFile&) = delete;
  TWin32ProfileFile& operator=(const TWin32ProfileFile&) = delete;

  const std::string& FileName() const override { return FPath; }

  int ReadInteger(const std::string& section, const std::string& key, int defaultValue) override;
  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& defaultValue) override;
  std::vector<std::string> ReadKeyNames(const std::string& section) override;
  void WriteInteger(const std::string& section, const std::string& key, int value) override;
  void WriteString(const std::string& section, const std::string& key,
                   const std::string& value) override;
  void Commit() override;

 private:
  // A section as read once for the reads of a load object, in ANSI.
  struct TLoadedSection {
    std::vector<std::pair<std::string, std::optional<std::string>>> Entries;
    std::unordered_map<std::string, std::size_t> First;  // upper-cased name -> entry
  };

  [[noreturn]] void Refused() const { throw EAppError("Unable to write to " + FPath); }
  // Refuses a save whose copy was made: the copy goes first.
  [[noreturn]] void RefusedDroppingCopy();
  // Makes the profile functions write out (and forget) what they hold.
  void Flush() const {
    ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, FWorkPathW.c_str());
  }
  void MakeCopy();
  const TLoadedSection& Loaded(const std::string& section);
  std::vector<TSectionWrites> WritesBySection() const;
  // The section as the writes one by one would leave it; none when one call
  // could not write it so. changed: whether the writes change it at all.
  std::optional<TEntries> MergedSection(const TSectionWrites& writes, const TSnapshot& before,
                                        bool& changed) const;
  // Writes every section in one call each, or returns false having written
  // nothing when one of them cannot be written so.
  bool WriteSectionsAtOnce(const std::vector<TSectionWrites>& sections,
                           const std::optional<TSnapshot>& before);
  void CheckCopy(const std::vector<TSectionWrites>& sections,
                 const std::optional<TSnapshot>& before) const;

  std::string FPath;
  std::string FWorkPath;  // FPath, or the copy a save writes to
  std::wstring FWorkPathW;
  bool FForSave;
  TKernelHandle FCopy;  // the copy, held open (no delete sharing) while the save lasts
  bool FHasUnlistedLines = false;
  std::vector<TWrite> FWrites;
  bool FCommitted = false;
  std::map<std::string, TLoadedSection> FLoaded;  // by upper-cased section name
};

TWin32ProfileFile::TWin32ProfileFile(const std::string& path, bool forSave)
    : FPath(path),
      FWorkPath(forSave ? ProfileSaveCopyPath(path) : path),
      FWorkPathW(Wide(FWorkPath)),
      FForSave(forSave) {
  if (forSave) MakeCopy();
}

void TWin32ProfileFile::MakeCopy() {
  // A copy left by a save that never finished goes first (read-only, when
  // the file was). One that another save still holds cannot be deleted: that
  // save goes on, this one is refused.
  ::SetFileAttributesA(FWorkPath.c_str(), FILE_ATTRIBUTE_NORMAL);
  ::DeleteFileA(FWorkPath.c_str());
  if (::GetFileAttributesA(FWorkPath.c_str()) != INVALID_FILE_ATTRIBUTES) Refused();

  const DWORD attributes = ::GetFileAttributesA(FPath.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = ::GetLastError();
    if (error != ERROR_FILE_NOT_FOUND) Refused();
  } else if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    Refused();
  }

  HANDLE copy = ::CreateFileA(FWorkPath.c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (copy == INVALID_HANDLE_VALUE) Refused();
  FCopy.reset(copy);
  if (attributes == INVALID_FILE_ATTRIBUTES) return;  // a new file

  // The other keys and sections of the file must survive the save.
  HANDLE source = ::CreateFileA(FPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (source == INVALID_HANDLE_VALUE) RefusedDroppingCopy();
  const TKernelHandle original(source);
  std::string bytes;
  std::vector<char> buffer(65536);
  DWORD got = 0;
  for (;;) {
    if (!::ReadFile(original.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got,
                    nullptr))
      RefusedDroppingCopy();
    if (got == 0) break;
    bytes.append(buffer.data(), got);
  }
  DWORD written = 0;
  if (!bytes.empty() && (!::WriteFile(FCopy.get(), bytes.data(), static_cast<DWORD>(bytes.size()),
                                      &written, nullptr) ||
                         written != bytes.size()))
    RefusedDroppingCopy();
  ::SetFileAttributesA(FWorkPath.c_str(), attributes);
  FHasUnlistedLines = HoldsUnlistedLines(bytes);
}

void TWin32ProfileFile::RefusedDroppingCopy() {
  FCopy.reset();
  ::SetFileAttributesA(FWorkPath.c_str(), FILE_ATTRIBUTE_NORMAL);
  ::DeleteFileA(FWorkPath.c_str());
  Refused();
}

TWin32ProfileFile::~TWin32ProfileFile() {
  Flush();
  if (FForSave && !FCommitted) {
    FCopy.reset();
    ::SetFileAttributesA(FWorkPath.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileA(FWorkPath.c_str());
  }
}

const TWin32ProfileFile::TLoadedSection& TWin32ProfileFile::Loaded(const std::string& section) {
  const std::string name = AskedName(section);
  const std::string folded = AsciiUpper(name);
  const auto found = FLoaded.find(folded);
  if (found != FLoaded.end()) return found->second;
  TLoadedSection& loaded = FLoaded[folded];
  if (name.empty()) return loaded;
  // Past MaxListBuffer what fitted is all there is to read.
  for (const TEntry& entry : ReadSectionEntries(FWorkPathW, Wide(name)).value_or(TEntries{})) {
    std::string entryName = Ansi(entry.Name);
    loaded.First.emplace(AsciiUpper(entryName), loaded.Entries.size());
    loaded.Entries.emplace_back(
        std::move(entryName),
        entry.Value ? std::optional<std::string>(Ansi(*entry.Value)) : std::nullopt);
  }
  return loaded;
}

std::string TWin32ProfileFile::ReadString(const std::string& section, const std::string& key,
                                          const std::string& defaultValue) {
  const std::string name = AskedName(key);
  if (name.empty()) return defaultValue;
  const TLoadedSection& loaded = Loaded(section);
  const auto found = loaded.First.find(AsciiUpper(name));
  // The first entry of the name counts, also when it has no value.
  if (found == loaded.First.end() || !loaded.Entries[found->second].second) return defaultValue;
  return StripProfileQuotes(*loaded.Entries[found->second].second);
}

int TWin32ProfileFile::ReadInteger(const std::string& section, const std::string& key,
                                   int defaultValue) {
  return StrToIntDef(ReadString(section, key, ""), defaultValue);
}

std::vector<std::string> TWin32ProfileFile::ReadKeyNames(const std::string& section) {
  std::vector<std::string> names;
  for (const auto& [name, value] : Loaded(section).Entries)
    if (value && !name.empty()) names.push_back(name);
  return names;
}

void TWin32ProfileFile::WriteString(const std::string& section, const std::string& key,
                                    const std::string& value) {
  if (!FForSave) Refused();
  FWrites.push_back(TWrite{section, key, value});
}

void TWin32ProfileFile::WriteInteger(const std::string& section, const std::string& key,
                                     int value) {
  WriteString(section, key, std::to_string(value));
}

std::vector<TSectionWrites> TWin32ProfileFile::WritesBySection() const {
  std::vector<TSectionWrites> sections;
  for (const TWrite& write : FWrites) {
    const std::string folded = AsciiUpper(AskedName(write.Section));
    auto found = sections.begin();
    while (found != sections.end() && AsciiUpper(AskedName(found->Section)) != folded) ++found;
    if (found == sections.end()) found = sections.insert(found, TSectionWrites{write.Section, {}});
    found->Writes.push_back(&write);
  }
  return sections;
}

std::optional<TEntries> TWin32ProfileFile::MergedSection(const TSectionWrites& writes,
                                                         const TSnapshot& before,
                                                         bool& changed) const {
  const std::wstring section = Wide(AskedName(writes.Section));
  if (section.empty() || !IsAscii(section)) return std::nullopt;
  // The call empties every section of the name, not only the first.
  int sameName = 0;
  for (const std::wstring& name : before.Names) {
    if (!IsAscii(name)) return std::nullopt;
    if (Folded(name) == Folded(section)) ++sameName;
  }
  if (sameName > 1) return std::nullopt;

  TEntries entries;
  if (sameName == 1) {
    const auto found = before.Sections.find(Folded(section));
    if (found == before.Sections.end() || !found->second) return std::nullopt;
    entries = *found->second;
  }
  std::unordered_map<std::wstring, std::size_t> first;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    // A line without "=" would not come back.
    if (!entries[i].Value || !IsAscii(entries[i].Name)) return std::nullopt;
    first.emplace(Folded(entries[i].Name), i);
  }
  changed = false;
  for (const TWrite* write : writes.Writes) {
    const std::wstring key = Wide(AskedName(write->Key));
    if (ReadsOtherwise(*write) || !IsAscii(key)) return std::nullopt;
    const std::wstring value = Wide(StoredValue(write->Value));
    const auto found = first.find(Folded(key));
    if (found == first.end()) {
      first.emplace(Folded(key), entries.size());
      entries.push_back(TEntry{key, value});
      changed = true;
    } else if (*entries[found->second].Value != value) {
      entries[found->second].Value = value;
      changed = true;
    }
  }
  return entries;
}

bool TWin32ProfileFile::WriteSectionsAtOnce(const std::vector<TSectionWrites>& sections,
                                            const std::optional<TSnapshot>& before) {
  if (!before || FHasUnlistedLines) return false;
  std::vector<std::pair<std::wstring, TEntries>> merged;
  for (const TSectionWrites& writes : sections) {
    bool changed = false;
    std::optional<TEntries> entries = MergedSection(writes, *before, changed);
    if (!entries) return false;
    // The profile functions leave a file alone when a write changes nothing.
    if (changed) merged.emplace_back(Wide(AskedName(writes.Section)), std::move(*entries));
  }
  for (const auto& [section, entries] : merged) {
    std::wstring list;
    for (const TEntry& entry : entries) {
      list += entry.Name;
      list += L'=';
      list += *entry.Value;
      list += L'\0';
    }
    list += L'\0';
    if (!::WritePrivateProfileSectionW(section.c_str(), list.c_str(), FWorkPathW.c_str()))
      Refused();
  }
  return true;
}

// The profile functions do not tell when writing the file out fails (a full
// disk), so the copy is read back before it may replace the file.
void TWin32ProfileFile::CheckCopy(const std::vector<TSectionWrites>& sections,
                                  const std::optional<TSnapshot>& before) const {
  std::map<std::wstring, bool> written;
  for (const TSectionWrites& writes : sections) {
    const std::wstring section = Wide(AskedName(writes.Section));
    written[Folded(section)] = true;
    const std::optional<TEntries> entries = ReadSectionEntries(FWorkPathW, section);
    if (!entries) Refused();
    std::unordered_map<std::wstring, std::size_t> first;
    for (std::size_t i = 0; i < entries->size(); ++i) first.emplace(Folded((*entries)[i].Name), i);
    // The last write of a key is the one that stays.
    std::map<std::wstring, std::wstring> expected;
    for (const TWrite* write : writes.Writes)
      expected[Folded(Wide(AskedName(write->Key)))] = Wide(ProfileValueReadBack(write->Value));
    for (const auto& [key, value] : expected) {
      const auto found = first.find(key);
      if (found == first.end() || (*entries)[found->second].Value != value) Refused();
    }
    if (before && !FHasUnlistedLines) {
      const auto old = before->Sections.find(Folded(section));
      // Writes add lines or change them; they never take one away.
      if (old != before->Sections.end() && old->second && entries->size() < old->second->size())
        Refused();
    }
  }
  if (!before) return;
  const std::optional<TSnapshot> after = TakeSnapshot(FWorkPathW);
  if (!after || after->Names.size() < before->Names.size()) Refused();
  // Lines that the profile functions make over once they write the file out
  // (a nameless section joins the one above, a name cut at a NUL loses its
  // trailing blanks) change other sections too.
  if (FHasUnlistedLines) return;
  if (!std::equal(before->Names.begin(), before->Names.end(), after->Names.begin())) Refused();
  for (const auto& [name, entries] : before->Sections) {
    if (written.count(name)) continue;
    const auto now = after->Sections.find(name);
    if (now == after->Sections.end() || now->second != entries) Refused();
  }
}

void TWin32ProfileFile::Commit() {
  if (!FForSave || FCommitted) return;
  if (FWrites.empty()) {
    // Nothing written: the file stays as it is.
    FCommitted = true;
    FCopy.reset();
    ::SetFileAttributesA(FWorkPath.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileA(FWorkPath.c_str());
    return;
  }
  const std::vector<TSectionWrites> sections = WritesBySection();
  const std::optional<TSnapshot> before = TakeSnapshot(FWorkPathW);
  if (!WriteSectionsAtOnce(sections, before)) {
    for (const TWrite& write : FWrites)
      if (!::WritePrivateProfileStringA(write.Section.c_str(), write.Key.c_str(),
                                        write.Value.c_str(), FWorkPath.c_str()))
        Refused();
  }
  Flush();
  CheckCopy(sections, before);
  Flush();
  FCopy.reset();
  if (!::MoveFileExA(FWorkPath.c_str(), FPath.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    Refused();
  FCommitted = true;
}

}  // namespace

std::string ProfileSaveCopyPath(const std::string& path) {
  return path + ".tmp";
}

std::unique_ptr<ProfileFile> TWin32ProfileFiles::OpenForLoad(const std::string& path) {
  return std::make_unique<TWin32ProfileFile>(path, false);
}

std::unique_ptr<ProfileFile> TWin32ProfileFiles::OpenForSave(const std::string& path) {
  return std::make_unique<TWin32ProfileFile>(path, true);
}

}  // namespace zt
