#pragma once
// Settings files in memory, kept as text and changed the way the Windows
// profile functions change them: section and key names matched ignoring ASCII
// case, an existing key changed in place (its name kept as written), a new key
// appended at the end of its section, a new section at the end of the file,
// every other line kept. Lines end in CR LF. A save object works on a copy
// that Commit makes the file's text in one step, as the real layer does.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/ProfileFile.h"
#include "platform/Types.h"

namespace zt {

// One profile file's content, parsed as the profile functions parse it.
class TProfileText {
 public:
  explicit TProfileText(const std::string& text = "");
  std::string Render() const;

  // The value with the blanks around it removed. Unlike the real profile
  // functions, quotes around a value are kept, so a value read and written
  // again stays the same.
  std::optional<std::string> Get(const std::string& section, const std::string& key) const;
  void Set(const std::string& section, const std::string& key, const std::string& value);
  std::vector<std::string> KeyNames(const std::string& section) const;

 private:
  struct TEntry {
    std::string name;
    std::optional<std::string> value;  // none for a line without "="
  };
  struct TSection {
    std::string name;  // "" for the lines above the first section
    std::vector<TEntry> entries;
  };
  // 0, the lines above the first section, when there is no such section.
  std::size_t SectionIndex(const std::string& name) const;
  std::vector<TSection> FSections;
};

class TMemoryProfileFiles : public ProfileFiles {
 public:
  bool Exists(const std::string& path) const { return FFiles.count(path) != 0; }
  // The file's text; "" when it does not exist.
  std::string Text(const std::string& path) const;
  void SetText(const std::string& path, const std::string& text) { FFiles[path] = text; }
  void Delete(const std::string& path) { FFiles.erase(path); }

  // The first this many writes (counted over all save objects) succeed and
  // every later one throws; -1 refuses none.
  int WritesBeforeRefusal = -1;
  bool RefuseCommit = false;

  int LoadsOpened = 0;
  int SavesOpened = 0;
  int Commits = 0;
  int WritesDone = 0;
  int ValueReads = 0;  // ReadString and ReadInteger calls
  int KeyNameReads = 0;

  std::unique_ptr<ProfileFile> OpenForLoad(const std::string& path) override;
  std::unique_ptr<ProfileFile> OpenForSave(const std::string& path) override;

 private:
  friend class TMemoryProfileFile;
  std::map<std::string, std::string> FFiles;
};

}  // namespace zt
