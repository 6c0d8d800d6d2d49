#pragma once
// The application object: the hidden application window (class "TApplication",
// caption the title), the forms it owns, the message loop and the standard
// error box.

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "app/WindowBase.h"

namespace zt {

// A top-level window of the program that the application object owns.
class TForm : public TWindowBase {
 public:
  // Makes the window and runs its creation steps.
  virtual void Create() = 0;
  // Visible and in front; a visible window is only brought to the front.
  virtual void Show();
  virtual void Hide();
  // The close of the main form: may refuse (and keep the program running).
  virtual void Close() = 0;
  // Windows is ending the session: last chance to keep the user's data.
  virtual void EndSession() {}
};

class TApplication : public TWindowBase {
 public:
  TApplication() = default;
  ~TApplication() override;

  // The hidden application window; fixes the title from the executable's name.
  void CreateHandle();
  // COM for this thread and the common controls.
  void Initialize();
  // The new form is reachable through reference (and is the main form, if it
  // is the first) before its creation runs.
  template <class T>
  void CreateForm(T*& reference) {
    auto form = std::make_unique<T>();
    reference = form.get();
    TForm* created = form.get();
    FForms.push_back(std::move(form));
    if (!FMainForm) FMainForm = created;
    created->Create();
  }
  void Run();
  void Terminate();
  bool Terminated() const { return FTerminated; }
  // Destroys the forms (and with them their components), then the window.
  void Done();

  // The standard error box: the text (ANSI), the title as caption, error icon, OK.
  void ShowException(const std::string& message);

  // Tray behaviour: hides the application into the tray when it is minimised.
  void MinimizeToTray();
  // The shell's task bar came back: the application window and the main form show.
  void RestoreFromTray();

  const std::string& Title() const { return FTitle; }
  std::wstring TitleW() const;
  TForm* MainForm() const { return FMainForm; }

  bool ShowMainForm = true;
  bool MinimizeToTrayEnabled = false;

 protected:
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  std::string FTitle;
  std::vector<std::unique_ptr<TForm>> FForms;
  TForm* FMainForm = nullptr;
  bool FTerminated = false;
  bool FComInitialized = false;
};

// The title rule: the file name without its folder, cut at its first ".", every
// character after the first lower-cased.
std::string TitleFromModuleName(const std::string& modulePath);

// ANSI (CP_ACP) <-> UTF-16, for user data at the boundary of the controls.
std::wstring AnsiToWide(const std::string& text);
std::string WideToAnsi(const std::wstring& text);

// The running executable's full path, as ANSI text.
std::string ModuleFileName();

extern TApplication Application;

}  // namespace zt
