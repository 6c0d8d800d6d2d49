#pragma once
// The binding list and its settings file. The list lives in the rows of the
// settings window's list view; the core reaches it through BindingRows.

#include <string>

#include "hotkeys/HotKeyManager.h"
#include "platform/ProfileFile.h"

namespace zt {

struct HotkeyBinding {
  std::string Text;     // as the user typed it, verbatim
  std::string Command;  // a path the shell opens, or "#" + plugin name
};

// The rows of lvHk. Each row carries beside its text the hotkey code of that
// text, kept up to date wherever the text changes.
class BindingRows {
public:
  virtual ~BindingRows() = default;
  virtual int Count() const = 0;
  virtual std::string Text(int index) const = 0;
  virtual std::string Command(int index) const = 0;
  virtual THotKeyCode Code(int index) const = 0;
  virtual void SetText(int index, const std::string& text, THotKeyCode code) = 0;
  virtual void Append(const HotkeyBinding& binding, THotKeyCode code) = 0;
  virtual void Delete(int index) = 0;
  virtual int Selected() const = 0;  // -1 when no row is selected
};

extern const char* const SettingsFileName;  // "ztrop32.ini"
extern const char* const SettingsSection;   // "Zentrop"

// Upper-cases the ASCII letters a to z only.
std::string AsciiUpper(std::string text);

class TBindingList {
public:
  TBindingList(BindingRows& rows, THotKeyManager& hotKeys, ProfileFiles& files);

  void SetAppDir(const std::string& appDir) { FAppDir = appDir; }
  std::string SettingsPath() const { return FAppDir + SettingsFileName; }

  void LoadBindings();
  // text: edtHk; path: edtApp; pluginIndex, pluginName: the selection of cbxPlg.
  void AddBinding(const std::string& text, const std::string& path, int pluginIndex,
                  const std::string& pluginName);
  void RemoveSelectedBinding();
  // An in-place edit of a row's hotkey text, accepted as typed.
  void EditBindingText(int index, const std::string& text);
  // Throws EAppError when the file refuses a write. Writes nothing before
  // LoadBindings has finished, so an instance that never loaded cannot
  // overwrite the file.
  void SaveBindings();

  bool Loaded() const { return FLoaded; }

private:
  bool CodeInUse(THotKeyCode code, int exceptIndex) const;

  BindingRows& FRows;
  THotKeyManager& FHotKeys;
  ProfileFiles& FFiles;
  std::string FAppDir;
  bool FLoaded = false;
};

}  // namespace zt
