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
  // The whole value, however long; defaultValue when the key is missing.
  virtual std::string ReadString(const std::string& section, const std::string& key,
                                 const std::string& defaultValue) = 0;
  // The key names of a section, in file order; empty when the section is missing.
  virtual std::vector<std::string> ReadKeyNames(const std::string& section) = 0;

  // A refused write throws EAppError("Unable to write to <full path>").
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
