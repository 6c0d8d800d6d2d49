#pragma once
// The settings file over the Windows profile functions. A load object reads
// the file itself; a save object writes into a copy beside it and Commit puts
// the copy in the file's place in one step, so a refused or broken save never
// leaves the file half written.

#include "platform/ProfileFile.h"

namespace zt {

class TWin32ProfileFiles : public ProfileFiles {
 public:
  std::unique_ptr<ProfileFile> OpenForLoad(const std::string& path) override;
  // Throws EAppError("Unable to write to <path>") when the copy cannot be made.
  std::unique_ptr<ProfileFile> OpenForSave(const std::string& path) override;
};

// The copy a save of this file writes to, in the same folder.
std::string ProfileSaveCopyPath(const std::string& path);

}  // namespace zt
