#pragma once
// The binding list and its settings file. The list lives in the rows of the
// settings window's list view; the core reaches it through BindingRows.

#include <string>

#include "bindings/AsciiText.h"
#include "hotkeys/HotKeyManager.h"
#include "platform/ProfileFile.h"

namespace zt {

struct HotkeyBinding {
  std::string Text;     // as the user typed it, verbatim
  std::string Command;  // a path the shell opens, or "#" + plugin name
  bool operator==(const HotkeyBinding&) const = default;
};

// The rows of lvHk. Each row carries beside its text the hotkey code of that
// text (HotKeyFromText(text, true)), kept up to date wherever the text changes.
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

// Runs on the user-interface thread only. Refusals are silent; only the
// settings file's errors (EAppError) come out.
class TBindingList {
 public:
  TBindingList(BindingRows& rows, THotKeyManager& hotKeys, ProfileFiles& files);

  void SetAppDir(const std::string& appDir) { FAppDir = appDir; }
  std::string SettingsPath() const { return FAppDir + SettingsFileName; }

  // Appends the stored bindings and registers their codes. Rows are made up
  // to the count, but only as far as the numbers that have a key of their
  // own (nHk or nCmd) reach without a run of more than MaxMissingBindings
  // missing numbers, so a damaged count or a stray high number cannot make
  // rows without end: at most MaxMissingBindings + 1 rows per key.
  void LoadBindings();
  // text: edtHk; path: edtApp; pluginIndex, pluginName: the selection of cbxPlg.
  // Refuses an empty text, no command at all, and a text equal to a listed
  // one but for the case of a to z. A chosen plugin wins over the path.
  void AddBinding(const std::string& text, const std::string& path, int pluginIndex,
                  const std::string& pluginName);
  // Unregisters the row's code unless another row still holds it.
  void RemoveSelectedBinding();
  // An in-place edit of a row's hotkey text, accepted as typed. The row gets
  // the new code; the old one is unregistered unless another row holds it,
  // the new one registered unless it already is.
  void EditBindingText(int index, const std::string& text);
  // Writes "HkCount" and the rows (an empty list writes the count 0), each
  // value as SettingsValueText makes it, twice over (see the .cpp), and
  // commits them in one step. Throws EAppError when the
  // file refuses; the file then stays as it was. Writes nothing before LoadBindings has finished,
  // so an instance that never loaded cannot overwrite the file.
  void SaveBindings();

  bool Loaded() const { return FLoaded; }

 private:
  bool CodeInUse(THotKeyCode code) const;
  void RegisterIfFree(THotKeyCode code);

  BindingRows& FRows;
  THotKeyManager& FHotKeys;
  ProfileFiles& FFiles;
  std::string FAppDir;
  bool FLoaded = false;
};

// The widest run of numbers without a key that LoadBindings fills with empty
// rows. Files the program writes have no gap at all; a hand-edited one that
// lost a few bindings still loads with the rest in their places.
constexpr int MaxMissingBindings = 32;

// The text SaveBindings writes for a value, so that reading it back gives the
// value itself. It is cut before its first CR, LF or NUL: a line cannot hold
// them, and what followed would be read as lines of its own (keys, sections).
// It is put in double quotes when the profile functions would change it on
// the way back otherwise: blanks at either end (IsProfileBlank), or a pair of
// matching quotes around it. Every other value is written as it is.
std::string SettingsValueText(const std::string& value);

// The number n of a key named n + "Hk" or n + "Cmd" (ASCII case ignored, n
// written in decimal without sign or leading zero); 0 for any other key.
int BindingKeyNumber(const std::string& keyName);

}  // namespace zt
