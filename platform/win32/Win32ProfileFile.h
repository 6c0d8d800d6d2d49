#pragma once
// The settings file over the Windows profile functions.
//
// A load object reads each section it is asked about once
// (GetPrivateProfileSectionW) and answers every read from that, as
// GetPrivateProfileStringA would: the first entry of a name, one pair of
// quotes taken off its value.
//
// A save object writes into a copy beside the file, which it holds open
// while it lives, so that a second save of the same file at the same time is
// refused instead of taking the copy away. The writes are collected, and
// Commit makes them in one go: each section written gets all its entries
// back in their places with the new values and new keys at its end, in one
// call (WritePrivateProfileSectionW). Where that call would come out
// otherwise than the writes one by one (lines without "=", comments, NUL
// bytes or a nameless section in the file, a second section of the same
// name, names outside ASCII, a UTF-16 file, a value or key that the file
// would read back otherwise), the whole save is written key by key
// (WritePrivateProfileStringA) instead. Either way the file comes out byte
// for byte as the writes made one by one leave it; writes that change
// nothing leave it untouched. Commit then reads the copy back, refuses it
// unless every section is still there and every key written reads as
// written, and puts it in the file's place in one step, so a refused or
// broken save never leaves the file half written.

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
