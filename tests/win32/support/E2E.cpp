#include "support/E2E.h"

#include <commctrl.h>
#include <psapi.h>
#include <shellapi.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <sstream>

#include "app/ControlIds.h"
#include "support/ProgramDriver.h"

namespace zt::test {

namespace {

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  std::string line;
  while (std::getline(stream, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) lines.push_back(line);
  }
  return lines;
}

}  // namespace

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string SettingsText(const std::vector<std::pair<std::string, std::string>>& bindings) {
  std::string text = "[Zentrop]\r\nHkCount=" + std::to_string(bindings.size()) + "\r\n";
  for (size_t i = 0; i < bindings.size(); ++i) {
    const std::string n = std::to_string(i + 1);
    text += n + "Hk=" + bindings[i].first + "\r\n" + n + "Cmd=" + bindings[i].second + "\r\n";
  }
  return text;
}

bool PressKeys(std::initializer_list<WORD> keys) {
  return PressKeys(std::vector<WORD>(keys));
}

bool PressKeys(const std::vector<WORD>& keys) {
  std::vector<INPUT> inputs;
  auto add = [&inputs](WORD key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(::MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    inputs.push_back(input);
  };
  for (WORD key : keys) add(key, false);
  for (auto it = std::rbegin(keys); it != std::rend(keys); ++it) add(*it, true);
  return ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) ==
         inputs.size();
}

bool HotKeyIsFree(UINT modifiers, UINT key) {
  constexpr int probeId = 0xBFF0;
  if (!::RegisterHotKey(nullptr, probeId, modifiers, key)) return false;
  ::UnregisterHotKey(nullptr, probeId);
  return true;
}

std::wstring Wide(const std::string& text) {
  if (text.empty()) return {};
  int size =
      ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring result(static_cast<size_t>(size), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), result.data(), size);
  return result;
}

TScopedEnvironment::TScopedEnvironment(const std::string& name, const std::string& value)
    : FName(name) {
  char old[32768];
  DWORD length = ::GetEnvironmentVariableA(name.c_str(), old, sizeof(old));
  if (length > 0 && length < sizeof(old)) FOld = std::string(old, length);
  ::SetEnvironmentVariableA(name.c_str(), value.empty() ? nullptr : value.c_str());
}

TScopedEnvironment::~TScopedEnvironment() {
  ::SetEnvironmentVariableA(FName.c_str(), FOld ? FOld->c_str() : nullptr);
}

namespace {

std::string FreshLogPath() {
  static std::atomic<int> counter{0};
  char temp[MAX_PATH];
  ::GetTempPathA(MAX_PATH, temp);
  std::string path = std::string(temp) + "zt-e2e-log-" + std::to_string(::GetCurrentProcessId()) +
                     "-" + std::to_string(++counter) + ".txt";
  ::DeleteFileA(path.c_str());
  return path;
}

}  // namespace

TE2ELog::TE2ELog() : FPath(FreshLogPath()), FVariable("ZT_E2E_LOG", FPath) {}

TE2ELog::~TE2ELog() {
  ::DeleteFileA(FPath.c_str());
}

std::vector<std::string> TE2ELog::Lines() const {
  return SplitLines(ReadFileBytes(FPath));
}

std::vector<std::string> TE2ELog::Events() const {
  std::vector<std::string> events;
  for (const std::string& line : Lines()) {
    size_t blank = line.find(' ');
    if (blank == std::string::npos) continue;
    events.push_back(line.substr(0, blank) + " " + BaseNameLower(line.substr(blank + 1)));
  }
  return events;
}

int TE2ELog::Count(const std::string& event) const {
  auto events = Events();
  return static_cast<int>(std::count(events.begin(), events.end(), event));
}

bool TE2ELog::WaitForCount(const std::string& event, int count,
                           std::chrono::milliseconds timeout) const {
  return WaitUntil([&] { return Count(event) >= count; }, timeout);
}

void TE2ELog::Clear() const {
  ::DeleteFileA(FPath.c_str());
}

std::vector<TMarkerRecord> ReadMarkerRecords(const std::string& path) {
  std::vector<TMarkerRecord> records;
  TMarkerRecord record;
  for (const std::string& line : SplitLines(ReadFileBytes(path))) {
    if (line.rfind("cwd=", 0) == 0) record.Cwd = line.substr(4);
    if (line.rfind("cmdline=", 0) == 0) record.CommandLine = line.substr(8);
    if (line.rfind("pid=", 0) == 0) record.ProcessId = std::stoul(line.substr(4));
    if (line == "end") {
      records.push_back(record);
      record = TMarkerRecord{};
    }
  }
  return records;
}

namespace {

using TNtQuerySystemInformation = LONG(WINAPI*)(ULONG, void*, ULONG, ULONG*);
using TNtQueryInformationProcess = LONG(WINAPI*)(HANDLE, ULONG, void*, ULONG, ULONG*);

template <class T>
T NtProc(const char* name) {
  return reinterpret_cast<T>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("ntdll.dll"), name)));
}

// GetProcessHandleCount gives 0 under Wine; the system's handle list has them.
DWORD HandlesFromSystemList(DWORD processId) {
  struct TEntry {
    void* Object;
    ULONG_PTR ProcessId;
    ULONG_PTR Handle;
    ULONG Access;
    USHORT BackTrace;
    USHORT TypeIndex;
    ULONG Attributes;
    ULONG Reserved;
  };
  struct TList {
    ULONG_PTR Count;
    ULONG_PTR Reserved;
    TEntry Entries[1];
  };
  constexpr ULONG SystemExtendedHandleInformation = 64;
  constexpr LONG InfoLengthMismatch = static_cast<LONG>(0xC0000004L);
  auto query = NtProc<TNtQuerySystemInformation>("NtQuerySystemInformation");
  if (!query) return 0;
  std::vector<char> buffer(1 << 20);
  LONG status;
  ULONG got = 0;
  while ((status = query(SystemExtendedHandleInformation, buffer.data(),
                         static_cast<ULONG>(buffer.size()), &got)) == InfoLengthMismatch)
    buffer.resize(buffer.size() * 2);
  if (status != 0) return 0;
  auto* list = reinterpret_cast<const TList*>(buffer.data());
  DWORD count = 0;
  for (ULONG_PTR i = 0; i < list->Count; ++i)
    if (list->Entries[i].ProcessId == processId) ++count;
  return count;
}

// GetGuiResources is not implemented by Wine. Wine keeps a process's GDI
// objects in a table named by its 64-bit PEB, the page below the 32-bit one;
// its entries in use, stock objects apart, are the process's GDI objects.
DWORD GdiObjectsFromWineTable(HANDLE process) {
  struct TGdiEntry {
    UINT64 Object;
    ULONG Owner;
    USHORT Unique;
    UCHAR Type;
    UCHAR Flags;
    UINT64 UserPointer;
  };
  static_assert(sizeof(TGdiEntry) == 24);
  struct TBasicInformation {
    LONG ExitStatus;
    void* PebBaseAddress;
    ULONG_PTR Rest[4];
  } basic{};
  auto query = NtProc<TNtQueryInformationProcess>("NtQueryInformationProcess");
  if (!query || query(process, 0, &basic, sizeof(basic), nullptr) != 0) return 0;
  UINT64 table = 0;
  SIZE_T done = 0;
  const char* peb64 = static_cast<const char*>(basic.PebBaseAddress) - 0x1000;
  if (!::ReadProcessMemory(process, peb64 + 0xF8, &table, sizeof(table), &done) || table == 0 ||
      table > 0xFFFFFFFFull || (table & 0xFFF) != 0)
    return 0;
  std::vector<TGdiEntry> entries(0x10000);
  if (!::ReadProcessMemory(process, reinterpret_cast<const void*>(static_cast<ULONG_PTR>(table)),
                           entries.data(), entries.size() * sizeof(TGdiEntry), &done))
    return 0;
  DWORD count = 0;
  for (const TGdiEntry& entry : entries)
    if (entry.Type != 0 && (entry.Unique & 0x80) == 0) ++count;
  return count;
}

struct TWindowCount {
  DWORD ProcessId;
  DWORD Count;
};

BOOL CALLBACK CountChild(HWND, LPARAM data) {
  ++reinterpret_cast<TWindowCount*>(data)->Count;
  return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM data) {
  auto* count = reinterpret_cast<TWindowCount*>(data);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  if (owner != count->ProcessId) return TRUE;
  ++count->Count;
  ::EnumChildWindows(window, &CountChild, data);
  return TRUE;
}

// Without GetGuiResources, the process's windows stand for its USER objects.
DWORD WindowsOfProcess(DWORD processId) {
  TWindowCount count{processId, 0};
  ::EnumWindows(&CountTopLevel, reinterpret_cast<LPARAM>(&count));
  HWND window = nullptr;
  while ((window = ::FindWindowExW(HWND_MESSAGE, window, nullptr, nullptr)) != nullptr)
    CountTopLevel(window, reinterpret_cast<LPARAM>(&count));
  return count.Count;
}

}  // namespace

std::optional<TProcessCounters> ReadProcessCounters(DWORD processId) {
  HANDLE process = ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
  if (!process) return std::nullopt;
  TProcessCounters counters;
  PROCESS_MEMORY_COUNTERS_EX memory{};
  memory.cb = sizeof(memory);
  bool ok = ::GetProcessHandleCount(process, &counters.Handles) &&
            ::GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                                   sizeof(memory));
  // Wine fills the page-file figure, which Windows keeps equal to it, only.
  counters.PrivateBytes = memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage;
  if (counters.Handles == 0) counters.Handles = HandlesFromSystemList(processId);
  ::SetLastError(0);
  counters.GdiObjects = ::GetGuiResources(process, GR_GDIOBJECTS);
  counters.UserObjects = ::GetGuiResources(process, GR_USEROBJECTS);
  if (counters.GdiObjects == 0 && ::GetLastError() == ERROR_CALL_NOT_IMPLEMENTED) {
    counters.GdiObjects = GdiObjectsFromWineTable(process);
    counters.UserObjects = WindowsOfProcess(processId);
    counters.UserIsWindowCount = true;
  }
  ::CloseHandle(process);
  if (!ok || counters.Handles == 0 || counters.PrivateBytes == 0) return std::nullopt;
  return counters;
}

std::string ToString(const TProcessCounters& counters) {
  return "handles " + std::to_string(counters.Handles) + ", GDI " +
         std::to_string(counters.GdiObjects) +
         (counters.UserIsWindowCount ? ", windows " : ", USER ") +
         std::to_string(counters.UserObjects) + ", private " +
         std::to_string(counters.PrivateBytes / 1024) + " KiB";
}

std::vector<std::string> ProcessModules(DWORD processId) {
  std::vector<std::string> names;
  HANDLE process = ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
  if (!process) return names;
  std::vector<HMODULE> modules(512);
  DWORD needed = 0;
  if (::EnumProcessModules(process, modules.data(),
                           static_cast<DWORD>(modules.size() * sizeof(HMODULE)), &needed)) {
    modules.resize(std::min<size_t>(modules.size(), needed / sizeof(HMODULE)));
    for (HMODULE module : modules) {
      char path[MAX_PATH] = "";
      if (::GetModuleFileNameExA(process, module, path, MAX_PATH))
        names.push_back(BaseNameLower(path));
    }
  }
  ::CloseHandle(process);
  return names;
}

bool Responds(HWND window, DWORD milliseconds) {
  DWORD_PTR result = 0;
  return ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, milliseconds, &result) != 0;
}

std::string BaseNameLower(const std::string& path) {
  return Lower(path.substr(path.find_last_of("\\/:") + 1));
}

int RowCount(const TProgramDriver& program) {
  DWORD_PTR count = 0;
  ::SendMessageTimeoutW(program.Control(cidLvHk), LVM_GETITEMCOUNT, 0, 0, SMTO_ABORTIFHUNG, 5000,
                        &count);
  return static_cast<int>(count);
}

std::vector<TListRow> ReadRows(const TProgramDriver& program, size_t step) {
  std::vector<TListRow> rows;
  HWND list = program.Control(cidLvHk);
  const int count = RowCount(program);
  if (count <= 0) return rows;
  HANDLE process = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE,
                                 program.ProcessId());
  if (!process) return rows;
  // One block in the program for the item and its text, grown as texts need.
  size_t chars = 4096;
  void* block = nullptr;
  auto allocate = [&] {
    if (block) ::VirtualFreeEx(process, block, 0, MEM_RELEASE);
    block = ::VirtualAllocEx(process, nullptr, sizeof(LVITEMW) + chars * sizeof(wchar_t),
                             MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  };
  allocate();
  auto text = [&](int index, int subItem) -> std::wstring {
    for (;;) {
      if (!block) return {};
      LVITEMW item{};
      item.iSubItem = subItem;
      item.cchTextMax = static_cast<int>(chars);
      item.pszText = reinterpret_cast<wchar_t*>(static_cast<char*>(block) + sizeof(LVITEMW));
      SIZE_T done = 0;
      if (!::WriteProcessMemory(process, block, &item, sizeof(item), &done)) return {};
      DWORD_PTR length = 0;
      ::SendMessageTimeoutW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(index),
                            reinterpret_cast<LPARAM>(block), SMTO_ABORTIFHUNG, 5000, &length);
      if (length + 1 < chars) {
        std::wstring result(length, L'\0');
        if (length > 0)
          ::ReadProcessMemory(process, static_cast<char*>(block) + sizeof(LVITEMW), result.data(),
                              length * sizeof(wchar_t), &done);
        return result;
      }
      chars *= 4;
      allocate();
    }
  };
  for (int i = 0; i < count; i += static_cast<int>(step ? step : 1))
    rows.push_back({text(i, 0), text(i, 1)});
  if (step > 1 && (count - 1) % static_cast<int>(step) != 0)
    rows.push_back({text(count - 1, 0), text(count - 1, 1)});
  if (block) ::VirtualFreeEx(process, block, 0, MEM_RELEASE);
  ::CloseHandle(process);
  return rows;
}

namespace {

constexpr UINT KeeperIconId = 0xE2E;

NOTIFYICONDATAW IconData(HWND window, UINT id) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof(data);
  data.hWnd = window;
  data.uID = id;
  return data;
}

}  // namespace

TTrayKeeper::TTrayKeeper() {
  FWindow = ::CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                              nullptr, nullptr, nullptr);
  if (!FWindow) return;
  NOTIFYICONDATAW data = IconData(FWindow, KeeperIconId);
  data.uFlags = NIF_ICON;
  data.hIcon = ::LoadIconW(nullptr, MAKEINTRESOURCEW(32512));
  FAdded = ::Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
}

TTrayKeeper::~TTrayKeeper() {
  if (FAdded) {
    NOTIFYICONDATAW data = IconData(FWindow, KeeperIconId);
    ::Shell_NotifyIconW(NIM_DELETE, &data);
  }
  if (FWindow) ::DestroyWindow(FWindow);
}

bool TrayIconPresent(HWND window, UINT id) {
  NOTIFYICONDATAW data = IconData(window, id);
  return ::Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

bool RemoveTrayIcon(HWND window, UINT id) {
  NOTIFYICONDATAW data = IconData(window, id);
  return ::Shell_NotifyIconW(NIM_DELETE, &data) != FALSE;
}

TE2EProcess::~TE2EProcess() {
  Kill();
}

bool TE2EProcess::Start(const std::string& exePath, const std::string& arguments,
                        const std::string& workingFolder, bool waitIdle) {
  Kill();
  std::string commandLine = "\"" + exePath + "\"";
  if (!arguments.empty()) commandLine += " " + arguments;
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  if (!::CreateProcessA(exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        workingFolder.c_str(), &startup, &FProcess))
    return false;
  return !waitIdle || ::WaitForInputIdle(FProcess.hProcess, 15000) == 0;
}

bool TE2EProcess::WaitForExit(DWORD milliseconds) const {
  return !FProcess.hProcess ||
         ::WaitForSingleObject(FProcess.hProcess, milliseconds) == WAIT_OBJECT_0;
}

bool TE2EProcess::Close() {
  for (HWND window : ProcessWindows(ProcessId(), L"TApplication"))
    ::PostMessageW(window, WM_CLOSE, 0, 0);
  return WaitForExit();
}

void TE2EProcess::Kill() {
  if (!FProcess.hProcess) return;
  if (::WaitForSingleObject(FProcess.hProcess, 0) == WAIT_TIMEOUT) {
    ::TerminateProcess(FProcess.hProcess, 1);
    ::WaitForSingleObject(FProcess.hProcess, 5000);
  }
  ::CloseHandle(FProcess.hThread);
  ::CloseHandle(FProcess.hProcess);
  FProcess = PROCESS_INFORMATION{};
}

}  // namespace zt::test
