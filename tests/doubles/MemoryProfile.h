#pragma once
// Settings files in memory, kept as text and read and changed the way Wine's
// profile functions (GetPrivateProfileStringA, WritePrivateProfileStringA,
// GetPrivateProfileSectionA; seen on Wine 8) treat a file. A save object
// works on a copy that Commit makes the file's text in one step, as the real
// layer does.
//
// Reading a file
// - A UTF-8 byte order mark is passed over and written back; the bytes after
//   it are taken as they are (the real functions convert them to the ANSI
//   code page). UTF-16 with its mark (LE or BE) is read as Latin-1, code
//   units above 0xFF as "?", and written back as UTF-16.
// - A line ends at CR or at LF, each on its own. Blanks (IsProfileBlank:
//   space, tab, VT, FF, CR, LF, ^Z) come off both ends; empty lines are
//   dropped.
// - A line that starts with "[" and holds a "]" opens a section named by
//   what stands between the "[" and the last "]", blanks taken off; the rest
//   of the line is lost. A section with an empty name can never be found and
//   is written without its header, so its lines join the section above.
// - Every other line is an entry: its name up to the first "=" and its value
//   after it, blanks taken off both; a line without "=" is an entry without a
//   value. A line with an empty name right after another such line is lost.
// - A NUL byte ends the name or value it stands in; the rest of it is lost.
//
// Finding a value
// - Section and key names are matched without regard to the case of the
//   ASCII letters (the real functions fold other letters too, which makes no
//   difference for the ASCII names the program asks for). Blanks around a
//   name asked for are ignored.
// - The first section of a name counts; later ones are kept, never read and
//   never changed. Within it the first entry of a name counts, also when it
//   has no value: the key then reads as missing.
// - A value read loses one pair of matching quotes (' or ") around it, so
//   `a="x"` and `a='x'` read as x, `a=" x "` as " x ".
// - Comment lines (";") are entries like any other to a write, which finds
//   and changes them by name. To reads they are no keys (as in a section
//   that GetPrivateProfileSectionA lists, from which the real layer reads):
//   ReadString gives the default for them and for an empty name, and
//   ReadKeyNames leaves them out, with empty names and entries without a
//   value.
//
// Writing
// - The value written loses its leading blanks and ends at a NUL. An
//   existing entry (the first of its name) gets it in place, with its name
//   kept as written; a new key goes at the end of its section, a new section
//   at the end of the file.
// - A write that changes something writes the whole file again as it was
//   parsed: "[name]" headers, "name=value" (or "name") entries, every line
//   ending in CR LF, no empty lines. Writes that change nothing leave the
//   text as it was, byte for byte.
// - A value is written as it is: trailing blanks and a CR or LF inside it go
//   into the text. The real functions read the file anew at every call, so
//   the write after one that changed the file finds what a reading makes of
//   it (blanks gone, a line broken in two, a NUL line dropped, the lines of
//   a nameless section joined to the one above); so does the next write here.
// - Commit refuses, leaving the file as it was, when the text it would write
//   does not read back with every key written holding its value, as the real
//   layer does.

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/ProfileFile.h"
#include "platform/Types.h"

namespace zt {

// One profile file's content, parsed as the profile functions parse it.
class TProfileText {
 public:
  explicit TProfileText(const std::string& text = "");
  std::string Render() const;

  // The value as read out (quotes taken off); none when the key is missing
  // or its entry has no value.
  std::optional<std::string> Get(const std::string& section, const std::string& key) const;
  // False when the entry held that value already.
  bool Set(const std::string& section, const std::string& key, const std::string& value);
  // The names of the section's entries that have a value, comments and empty
  // names left out, in file order; empty when the section is missing.
  std::vector<std::string> KeyNames(const std::string& section) const;
  // The value of the key as it stands in the file, quotes and all; none when
  // the key is missing, has no value or is a comment.
  std::optional<std::string> RawValue(const std::string& section, const std::string& key) const;
  // Whether a reading of Render() would give another content: the real
  // functions read the file again at every call, so after a write that
  // changed the file, the next one sees it as read anew.
  bool NeedsReparse() const { return FNeedsReparse; }

 private:
  enum class TEncoding { Ansi, Utf8, Utf16Le, Utf16Be };
  struct TEntry {
    std::string name;
    std::optional<std::string> value;  // none for a line without "="
  };
  struct TSection {
    std::string name;  // "" for the lines above the first header
    std::vector<TEntry> entries;
    std::unordered_map<std::string, std::size_t> first;  // upper-cased name -> entry
  };
  void ParseLine(std::string_view line);
  void AddEntry(TSection& section, TEntry entry);
  const TSection* FindSection(const std::string& name) const;

  TEncoding FEncoding = TEncoding::Ansi;
  bool FNeedsReparse = false;
  std::vector<TSection> FSections;
  std::unordered_map<std::string, std::size_t> FFirstSection;  // upper-cased name -> section
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
