#pragma once
// Starts the real ztrop32.exe in a folder of its own and drives it from
// outside, as a user (or another program) would: window messages for the
// controls, memory in the target process for the list view, files and the
// registry for the effects.

#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zt::test {

// The folder of win32_tests.exe (fixtures live there) and of the build
// (ztrop32.exe, plugins\), each with a trailing "\".
std::string TestsFolder();
std::string BuildFolder();

// Polls until the condition holds; false when the time ran out.
bool WaitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds timeout = std::chrono::milliseconds(5000));

// The published value "Data", or nothing when there is none.
std::optional<std::string> PublishedHandleText();

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& content);
bool FileExists(const std::string& path);
// Every file of this name below the folder (full paths).
std::vector<std::string> FindFilesNamed(const std::string& folder, const std::string& name);

// Text of a window of any process (WM_GETTEXT, W form).
std::wstring WindowText(HWND window);
// Top-level windows of a process with the class (and caption, when given).
std::vector<HWND> ProcessWindows(DWORD processId, const wchar_t* className,
                                 const wchar_t* caption = nullptr);
// The text of a message box (its static text that is not empty).
std::wstring MessageBoxText(HWND box);

struct TListRow {
  std::wstring Text;
  std::wstring Command;
};

class TProgramDriver {
 public:
  // A fresh folder with a copy of the program under this file name.
  explicit TProgramDriver(const std::string& exeName = "ztrop32.exe");
  // Kills a program still running and removes the folder.
  ~TProgramDriver();
  TProgramDriver(const TProgramDriver&) = delete;
  TProgramDriver& operator=(const TProgramDriver&) = delete;

  const std::string& Folder() const { return FFolder; }
  std::string ExePath() const { return FFolder + FExeName; }
  std::string SettingsPath() const { return FFolder + "ztrop32.ini"; }
  void WriteSettings(const std::string& content) { WriteFileBytes(SettingsPath(), content); }
  std::string ReadSettings() const { return ReadFileBytes(SettingsPath()); }
  // Copies a file into the plugins folder under the given name (made when missing).
  void AddPlugin(const std::string& sourcePath, const std::string& fileName);
  // Copies every library the build put into its plugins folder.
  void AddBuiltPlugins();

  // Starts the program (the arguments follow the quoted exe path as they
  // are) and waits until its message loop runs. False when it did not come up.
  bool Start(const std::string& arguments = "",
             std::chrono::milliseconds timeout = std::chrono::milliseconds(15000));
  // Only starts the process; for starts that end in a message box.
  bool Launch(const std::string& arguments = "");
  bool Running() const;
  bool WaitForExit(std::chrono::milliseconds timeout = std::chrono::milliseconds(10000));
  void Kill();
  DWORD ProcessId() const { return FProcess.dwProcessId; }
  DWORD ThreadId() const { return FProcess.dwThreadId; }

  // Windows of the program.
  HWND AppWindow() const;
  HWND MainForm() const;
  HWND TrayWindow() const;
  HWND Control(int id) const;
  // A message box of the program with this caption, waited for.
  HWND WaitForMessageBox(const std::wstring& caption, std::chrono::milliseconds timeout =
                                                          std::chrono::milliseconds(10000)) const;
  static void PressOk(HWND box);

  bool FormVisible() const { return ::IsWindowVisible(MainForm()) != FALSE; }
  // The control's rectangle in the client coordinates of frmMain.
  RECT ControlRect(int id) const;

  // Controls.
  std::wstring Text(int id) const { return WindowText(Control(id)); }
  void SetText(int id, const std::wstring& text) const;
  // BM_CLICK, waited for; ClickAsync does not wait (for what opens a modal box).
  void Click(int id) const;
  void ClickAsync(int id) const;
  std::vector<std::wstring> ComboItems(int id) const;
  int ComboSelection(int id) const;
  // Chooses an entry as the user does: the selection, then CBN_SELCHANGE.
  void ChooseComboItem(int id, int index) const;

  // The list view lvHk.
  std::vector<TListRow> Rows() const;
  std::wstring ColumnText(int column) const;
  bool SelectRow(int index) const;
  // Edits a row's text in place, as the user does, and commits it with Enter.
  bool EditRowText(int index, const std::wstring& text) const;

  // The tray icon's callback with a mouse message (WM_LBUTTONDBLCLK ...).
  void TrayMouse(UINT mouseMessage) const;
  // WM_CLOSE to the application window; waits for the end.
  bool Close(std::chrono::milliseconds timeout = std::chrono::milliseconds(10000));

 private:
  // Memory in the target process, released with the object.
  class TRemoteMemory {
   public:
    TRemoteMemory(HANDLE process, size_t size);
    ~TRemoteMemory();
    TRemoteMemory(const TRemoteMemory&) = delete;
    TRemoteMemory& operator=(const TRemoteMemory&) = delete;
    void* Address() const { return FAddress; }
    bool Write(const void* data, size_t size, size_t offset = 0) const;
    bool Read(void* data, size_t size, size_t offset = 0) const;

   private:
    HANDLE FProcess;
    void* FAddress;
  };

  std::wstring ListText(int index, int subItem) const;
  void CloseProcessHandles();

  std::string FExeName;
  std::string FFolder;
  PROCESS_INFORMATION FProcess{};
};

}  // namespace zt::test
