#pragma once
// The settings file: a Windows profile (INI) file reached through one object
// per load or per save.

#include <memory>
#include <string>
#include <vector>

namespace zt {

class ProfileFile {
 public:
  // Releasing the object flushes what the profile functions still hold. A save
  // object that was not committed leaves the file on disk as it was.
  virtual ~ProfileFile() = default;

  // The full path of the file, as given to OpenForLoad / OpenForSave.
  virtual const std::string& FileName() const = 0;

  virtual int ReadInteger(const std::string& section, const std::string& key, int defaultValue) = 0;
  // The whole value, however long, as GetPrivateProfileStringA reads it out
  // (one pair of quotes around it taken off); defaultValue when the key is
  // missing. Comment lines (";") and empty names are no keys to the reads.
  virtual std::string ReadString(const std::string& section, const std::string& key,
                                 const std::string& defaultValue) = 0;
  // The names of the section's keys that have a value, in file order
  // (comment lines and empty names left out); empty when the section is
  // missing.
  virtual std::vector<std::string> ReadKeyNames(const std::string& section) = 0;

  // Writes as WritePrivateProfileStringA does: the value goes in as it is.
  // A refused write throws EAppError("Unable to write to <full path>"), at
  // the latest from Commit (a layer may hold the writes until then).
  virtual void WriteInteger(const std::string& section, const std::string& key, int value) = 0;
  virtual void WriteString(const std::string& section, const std::string& key,
                           const std::string& value) = 0;

  // Makes the writes of a save object the file's content in one step; throws
  // EAppError like a refused write. Loading objects need not call it.
  virtual void Commit() = 0;
};

class ProfileFiles {
 public:
  virtual ~ProfileFiles() = default;
  virtual std::unique_ptr<ProfileFile> OpenForLoad(const std::string& path) = 0;
  virtual std::unique_ptr<ProfileFile> OpenForSave(const std::string& path) = 0;
};

}  // namespace zt
