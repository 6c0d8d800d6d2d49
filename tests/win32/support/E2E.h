#pragma once
// What the end-to-end tests need beside TProgramDriver: key presses through
// SendInput, the log that the e2e_ fixtures write, the marker program's
// records, a process's resource counters and modules, and a start of the
// program from a working folder of the test's choice.

#include <windows.h>

#include <chrono>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "support/ProgramDriver.h"

namespace zt::test {

// Presses the keys in order and releases them in reverse (modifiers first,
// the key last), as one SendInput. False when the system took fewer events.
bool PressKeys(std::initializer_list<WORD> keys);

bool PressKeys(const std::vector<WORD>& keys);

// True when this process can register the combination (MOD_ flags, virtual
// key): no other program holds it. Released again at once.
bool HotKeyIsFree(UINT modifiers, UINT key);

// ANSI (CP_ACP) text as the program's controls show it.
std::wstring Wide(const std::string& text);

// Sets an environment variable of this process (and so of the programs it
// starts) for the object's lifetime; an empty value removes it.
class TScopedEnvironment {
 public:
  TScopedEnvironment(const std::string& name, const std::string& value);
  ~TScopedEnvironment();
  TScopedEnvironment(const TScopedEnvironment&) = delete;
  TScopedEnvironment& operator=(const TScopedEnvironment&) = delete;

 private:
  std::string FName;
  std::optional<std::string> FOld;
};

// A fresh file in the temp folder, named to ZT_E2E_LOG while the object lives
// (the e2e_ libraries append their events to it); removed at the end.
class TE2ELog {
 public:
  TE2ELog();
  ~TE2ELog();
  TE2ELog(const TE2ELog&) = delete;
  TE2ELog& operator=(const TE2ELog&) = delete;

  const std::string& Path() const { return FPath; }
  // Each line as "<what> <module file name>", the name in lower case.
  std::vector<std::string> Events() const;
  // Each line as written: "<what> <full path>".
  std::vector<std::string> Lines() const;
  int Count(const std::string& event) const;
  // Waits until the event has been logged at least count times.
  bool WaitForCount(const std::string& event, int count,
                    std::chrono::milliseconds timeout = std::chrono::milliseconds(10000)) const;
  void Clear() const;

 private:
  std::string FPath;
  TScopedEnvironment FVariable;
};

// The records that bd_marker.exe appends to the file named by ZT_MARKER_FILE.
struct TMarkerRecord {
  std::string Cwd;
  std::string CommandLine;
  DWORD ProcessId = 0;
};
std::vector<TMarkerRecord> ReadMarkerRecords(const std::string& path);

struct TProcessCounters {
  DWORD Handles = 0;
  DWORD GdiObjects = 0;
  DWORD UserObjects = 0;
  SIZE_T PrivateBytes = 0;
  // Wine has no USER object count: UserObjects is the number of windows.
  bool UserIsWindowCount = false;
};
// The handle count, GDI and USER object counts and private bytes of a process.
// Under Wine, where some of these are not kept, they come from other sources:
// the system's handle list, Wine's GDI table, the process's windows.
std::optional<TProcessCounters> ReadProcessCounters(DWORD processId);
std::string ToString(const TProcessCounters& counters);

// The file names (lower case) of the modules loaded in a process.
std::vector<std::string> ProcessModules(DWORD processId);

// True when the window's thread answers a message within the time.
bool Responds(HWND window, DWORD milliseconds = 5000);

// The lower-cased file name of a path.
std::string BaseNameLower(const std::string& path);
std::string Lower(std::string text);

// A settings file as the program writes it: "[Zentrop]", "HkCount" and the
// numbered keys of the bindings (hotkey text, command) in order.
std::string SettingsText(const std::vector<std::pair<std::string, std::string>>& bindings);

// The rows of the program's lvHk at full length (TProgramDriver::Rows cuts
// texts at 4095 characters): every step-th row and the last one.
std::vector<TListRow> ReadRows(const TProgramDriver& program, size_t step = 1);
int RowCount(const TProgramDriver& program);

// Under Wine on an X server without a window manager, the tray window hides
// when its last icon goes, and waits 2 s for a window manager that never
// answers: every exit of the program would take that long. An icon of the
// test's own, held while the object lives, keeps the tray shown.
class TTrayKeeper {
 public:
  TTrayKeeper();
  ~TTrayKeeper();
  TTrayKeeper(const TTrayKeeper&) = delete;
  TTrayKeeper& operator=(const TTrayKeeper&) = delete;

 private:
  HWND FWindow = nullptr;
  bool FAdded = false;
};

// Whether the shell holds the tray icon (window, id): NIM_MODIFY that
// changes nothing succeeds only for an icon that is there.
bool TrayIconPresent(HWND window, UINT id);
// Takes the icon away as a restarting shell does.
bool RemoveTrayIcon(HWND window, UINT id);

// A program started from a working folder other than its own (which
// TProgramDriver always uses); killed at the end if still running.
class TE2EProcess {
 public:
  TE2EProcess() = default;
  ~TE2EProcess();
  TE2EProcess(const TE2EProcess&) = delete;
  TE2EProcess& operator=(const TE2EProcess&) = delete;

  // Starts exePath with the arguments in workingFolder and waits until it is
  // idle (its message loop runs) or, with waitIdle false, only starts it.
  bool Start(const std::string& exePath, const std::string& arguments,
             const std::string& workingFolder, bool waitIdle = true);
  DWORD ProcessId() const { return FProcess.dwProcessId; }
  bool WaitForExit(DWORD milliseconds = 10000) const;
  // WM_CLOSE to the program's application window, then waits for the end.
  bool Close();
  void Kill();

 private:
  PROCESS_INFORMATION FProcess{};
};

}  // namespace zt::test
