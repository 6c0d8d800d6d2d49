#include "support/ProgramDriver.h"

#include <commctrl.h>

#include <atomic>
#include <cstdio>
#include <thread>

#include "app/ControlIds.h"

namespace zt::test {

namespace {

std::string ModuleFolder() {
  char path[MAX_PATH];
  DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string result(path, length);
  return result.substr(0, result.find_last_of('\\') + 1);
}

void RemoveTree(const std::string& folder) {
  WIN32_FIND_DATAA entry;
  HANDLE find = ::FindFirstFileA((folder + "*").c_str(), &entry);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::string name = entry.cFileName;
      if (name == "." || name == "..") continue;
      std::string path = folder + name;
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path + "\\");
      } else {
        ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileA(path.c_str());
      }
    } while (::FindNextFileA(find, &entry));
    ::FindClose(find);
  }
  ::RemoveDirectoryA(folder.c_str());
}

struct TFindWindows {
  DWORD ProcessId;
  const wchar_t* ClassName;
  const wchar_t* Caption;
  std::vector<HWND> Found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<TFindWindows*>(data);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  if (owner != search->ProcessId) return TRUE;
  wchar_t className[64];
  if (!::GetClassNameW(window, className, 64) || ::lstrcmpW(className, search->ClassName) != 0)
    return TRUE;
  if (search->Caption && WindowText(window) != search->Caption) return TRUE;
  search->Found.push_back(window);
  return TRUE;
}

BOOL CALLBACK CollectStaticText(HWND window, LPARAM data) {
  auto* text = reinterpret_cast<std::wstring*>(data);
  wchar_t className[32];
  if (::GetClassNameW(window, className, 32) && ::lstrcmpiW(className, L"Static") == 0) {
    std::wstring each = WindowText(window);
    if (!each.empty() && text->empty()) *text = each;
  }
  return TRUE;
}

}  // namespace

std::string TestsFolder() {
  return ModuleFolder();
}

std::string BuildFolder() {
  std::string tests = ModuleFolder();
  std::string parent = tests.substr(0, tests.size() - 1);
  return parent.substr(0, parent.find_last_of('\\') + 1);
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  auto end = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (condition()) return true;
    if (std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

std::optional<std::string> PublishedHandleText() {
  char value[64];
  DWORD size = sizeof(value);
  if (::RegGetValueA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Brelwick Team\\Zentrop", "Data", RRF_RT_REG_SZ,
                     nullptr, value, &size) != ERROR_SUCCESS)
    return std::nullopt;
  return std::string(value);
}

std::string ReadFileBytes(const std::string& path) {
  std::string content;
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return content;
  char buffer[4096];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof(buffer), file)) > 0) content.append(buffer, got);
  std::fclose(file);
  return content;
}

void WriteFileBytes(const std::string& path, const std::string& content) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return;
  std::fwrite(content.data(), 1, content.size(), file);
  std::fclose(file);
}

bool FileExists(const std::string& path) {
  DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<std::string> FindFilesNamed(const std::string& folder, const std::string& name) {
  std::vector<std::string> found;
  WIN32_FIND_DATAA entry;
  HANDLE find = ::FindFirstFileA((folder + "*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return found;
  do {
    std::string each = entry.cFileName;
    if (each == "." || each == "..") continue;
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) continue;
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      for (auto& path : FindFilesNamed(folder + each + "\\", name)) found.push_back(path);
    } else if (::lstrcmpiA(each.c_str(), name.c_str()) == 0) {
      found.push_back(folder + each);
    }
  } while (::FindNextFileA(find, &entry));
  ::FindClose(find);
  return found;
}

std::wstring WindowText(HWND window) {
  DWORD_PTR length = 0;
  if (!::SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length))
    return {};
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  ::SendMessageTimeoutW(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()),
                        SMTO_ABORTIFHUNG, 5000, &copied);
  text.resize(copied);
  return text;
}

std::vector<HWND> ProcessWindows(DWORD processId, const wchar_t* className,
                                 const wchar_t* caption) {
  TFindWindows search{processId, className, caption, {}};
  ::EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

std::wstring MessageBoxText(HWND box) {
  std::wstring text;
  ::EnumChildWindows(box, &CollectStaticText, reinterpret_cast<LPARAM>(&text));
  return text;
}

TProgramDriver::TRemoteMemory::TRemoteMemory(HANDLE process, size_t size)
    : FProcess(process),
      FAddress(::VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {
}

TProgramDriver::TRemoteMemory::~TRemoteMemory() {
  if (FAddress) ::VirtualFreeEx(FProcess, FAddress, 0, MEM_RELEASE);
}

bool TProgramDriver::TRemoteMemory::Write(const void* data, size_t size, size_t offset) const {
  SIZE_T done = 0;
  return FAddress &&
         ::WriteProcessMemory(FProcess, static_cast<char*>(FAddress) + offset, data, size, &done) &&
         done == size;
}

bool TProgramDriver::TRemoteMemory::Read(void* data, size_t size, size_t offset) const {
  SIZE_T done = 0;
  return FAddress &&
         ::ReadProcessMemory(FProcess, static_cast<char*>(FAddress) + offset, data, size, &done) &&
         done == size;
}

TProgramDriver::TProgramDriver(const std::string& exeName) : FExeName(exeName) {
  static std::atomic<int> counter{0};
  char temp[MAX_PATH];
  ::GetTempPathA(MAX_PATH, temp);
  FFolder = std::string(temp) + "zt-" + std::to_string(::GetCurrentProcessId()) + "-" +
            std::to_string(++counter) + "\\";
  RemoveTree(FFolder);
  ::CreateDirectoryA(FFolder.c_str(), nullptr);
  ::CopyFileA((BuildFolder() + "ztrop32.exe").c_str(), ExePath().c_str(), FALSE);
}

TProgramDriver::~TProgramDriver() {
  Kill();
  RemoveTree(FFolder);
}

void TProgramDriver::AddPlugin(const std::string& sourcePath, const std::string& fileName) {
  ::CreateDirectoryA((FFolder + "plugins").c_str(), nullptr);
  ::CopyFileA(sourcePath.c_str(), (FFolder + "plugins\\" + fileName).c_str(), FALSE);
}

void TProgramDriver::AddBuiltPlugins() {
  std::string source = BuildFolder() + "plugins\\";
  WIN32_FIND_DATAA entry;
  HANDLE find = ::FindFirstFileA((source + "*.dll").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    AddPlugin(source + entry.cFileName, entry.cFileName);
  } while (::FindNextFileA(find, &entry));
  ::FindClose(find);
}

bool TProgramDriver::Launch(const std::string& arguments) {
  Kill();
  std::string commandLine = "\"" + ExePath() + "\"";
  if (!arguments.empty()) commandLine += " " + arguments;
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  return ::CreateProcessA(ExePath().c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                          nullptr, FFolder.c_str(), &startup, &FProcess) != FALSE;
}

bool TProgramDriver::Start(const std::string& arguments, std::chrono::milliseconds timeout) {
  if (!Launch(arguments)) return false;
  // Idle means the start-up is done and the message loop (or a box's) waits.
  if (::WaitForInputIdle(FProcess.hProcess, static_cast<DWORD>(timeout.count())) != 0) return false;
  return WaitUntil([&] { return AppWindow() != nullptr && MainForm() != nullptr; }, timeout);
}

bool TProgramDriver::Running() const {
  return FProcess.hProcess && ::WaitForSingleObject(FProcess.hProcess, 0) == WAIT_TIMEOUT;
}

bool TProgramDriver::WaitForExit(std::chrono::milliseconds timeout) {
  if (!FProcess.hProcess) return true;
  return ::WaitForSingleObject(FProcess.hProcess, static_cast<DWORD>(timeout.count())) ==
         WAIT_OBJECT_0;
}

void TProgramDriver::Kill() {
  if (Running()) {
    ::TerminateProcess(FProcess.hProcess, 1);
    ::WaitForSingleObject(FProcess.hProcess, 5000);
  }
  CloseProcessHandles();
}

void TProgramDriver::CloseProcessHandles() {
  if (FProcess.hThread) ::CloseHandle(FProcess.hThread);
  if (FProcess.hProcess) ::CloseHandle(FProcess.hProcess);
  FProcess = PROCESS_INFORMATION{};
}

HWND TProgramDriver::AppWindow() const {
  auto found = ProcessWindows(ProcessId(), L"TApplication");
  return found.empty() ? nullptr : found.front();
}

HWND TProgramDriver::MainForm() const {
  HWND app = AppWindow();
  for (HWND form : ProcessWindows(ProcessId(), L"TfrmMain"))
    if (::GetWindow(form, GW_OWNER) == app) return form;
  return nullptr;
}

HWND TProgramDriver::TrayWindow() const {
  auto found = ProcessWindows(ProcessId(), L"TTrayIconWindow");
  return found.empty() ? nullptr : found.front();
}

HWND TProgramDriver::Control(int id) const {
  return ::GetDlgItem(MainForm(), id);
}

HWND TProgramDriver::WaitForMessageBox(const std::wstring& caption,
                                       std::chrono::milliseconds timeout) const {
  HWND box = nullptr;
  WaitUntil(
      [&] {
        auto found = ProcessWindows(ProcessId(), L"#32770", caption.c_str());
        box = found.empty() ? nullptr : found.front();
        return box != nullptr;
      },
      timeout);
  return box;
}

void TProgramDriver::PressOk(HWND box) {
  HWND ok = ::GetDlgItem(box, IDOK);
  if (ok)
    ::PostMessageW(ok, BM_CLICK, 0, 0);
  else
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
}

RECT TProgramDriver::ControlRect(int id) const {
  RECT bounds{};
  ::GetWindowRect(Control(id), &bounds);
  ::MapWindowPoints(nullptr, MainForm(), reinterpret_cast<POINT*>(&bounds), 2);
  return bounds;
}

void TProgramDriver::SetText(int id, const std::wstring& text) const {
  DWORD_PTR result;
  ::SendMessageTimeoutW(Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                        SMTO_ABORTIFHUNG, 5000, &result);
}

void TProgramDriver::Click(int id) const {
  DWORD_PTR result;
  ::SendMessageTimeoutW(Control(id), BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 10000, &result);
}

void TProgramDriver::ClickAsync(int id) const {
  ::PostMessageW(Control(id), BM_CLICK, 0, 0);
}

std::vector<std::wstring> TProgramDriver::ComboItems(int id) const {
  std::vector<std::wstring> items;
  HWND box = Control(id);
  int count = static_cast<int>(::SendMessageW(box, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    int length = static_cast<int>(::SendMessageW(box, CB_GETLBTEXTLEN, i, 0));
    std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    ::SendMessageW(box, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length > 0 ? length : 0));
    items.push_back(text);
  }
  return items;
}

int TProgramDriver::ComboSelection(int id) const {
  return static_cast<int>(::SendMessageW(Control(id), CB_GETCURSEL, 0, 0));
}

void TProgramDriver::ChooseComboItem(int id, int index) const {
  HWND box = Control(id);
  ::SendMessageW(box, CB_SETCURSEL, index, 0);
  ::SendMessageW(MainForm(), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(box));
}

std::wstring TProgramDriver::ListText(int index, int subItem) const {
  constexpr size_t chars = 4096;
  TRemoteMemory memory(FProcess.hProcess, sizeof(LVITEMW) + chars * sizeof(wchar_t));
  LVITEMW item{};
  item.iSubItem = subItem;
  item.cchTextMax = chars;
  item.pszText = reinterpret_cast<wchar_t*>(static_cast<char*>(memory.Address()) + sizeof(LVITEMW));
  if (!memory.Write(&item, sizeof(item))) return {};
  LRESULT length = ::SendMessageW(Control(cidLvHk), LVM_GETITEMTEXTW, index,
                                  reinterpret_cast<LPARAM>(memory.Address()));
  std::wstring text(static_cast<size_t>(length), L'\0');
  if (length > 0) memory.Read(text.data(), text.size() * sizeof(wchar_t), sizeof(LVITEMW));
  return text;
}

std::vector<TListRow> TProgramDriver::Rows() const {
  std::vector<TListRow> rows;
  int count = static_cast<int>(::SendMessageW(Control(cidLvHk), LVM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) rows.push_back({ListText(i, 0), ListText(i, 1)});
  return rows;
}

std::wstring TProgramDriver::ColumnText(int column) const {
  constexpr size_t chars = 256;
  TRemoteMemory memory(FProcess.hProcess, sizeof(LVCOLUMNW) + chars * sizeof(wchar_t));
  LVCOLUMNW info{};
  info.mask = LVCF_TEXT;
  info.cchTextMax = chars;
  info.pszText =
      reinterpret_cast<wchar_t*>(static_cast<char*>(memory.Address()) + sizeof(LVCOLUMNW));
  if (!memory.Write(&info, sizeof(info))) return {};
  if (!::SendMessageW(Control(cidLvHk), LVM_GETCOLUMNW, column,
                      reinterpret_cast<LPARAM>(memory.Address())))
    return {};
  std::wstring text(chars, L'\0');
  memory.Read(text.data(), chars * sizeof(wchar_t), sizeof(LVCOLUMNW));
  text.resize(text.find(L'\0'));
  return text;
}

bool TProgramDriver::SelectRow(int index) const {
  TRemoteMemory memory(FProcess.hProcess, sizeof(LVITEMW));
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  if (!memory.Write(&item, sizeof(item))) return false;
  return ::SendMessageW(Control(cidLvHk), LVM_SETITEMSTATE, index,
                        reinterpret_cast<LPARAM>(memory.Address())) != FALSE;
}

bool TProgramDriver::EditRowText(int index, const std::wstring& text) const {
  HWND list = Control(cidLvHk);
  auto edit = reinterpret_cast<HWND>(::SendMessageW(list, LVM_EDITLABELW, index, 0));
  if (!edit) return false;
  ::SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  ::SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
  return true;
}

void TProgramDriver::TrayMouse(UINT mouseMessage) const {
  DWORD_PTR result;
  ::SendMessageTimeoutW(TrayWindow(), TrayCallbackMessage, TrayIconId, mouseMessage,
                        SMTO_ABORTIFHUNG, 5000, &result);
}

bool TProgramDriver::Close(std::chrono::milliseconds timeout) {
  // Posted: a save that fails shows a box, and the caller must not hang on it.
  ::PostMessageW(AppWindow(), WM_CLOSE, 0, 0);
  return WaitForExit(timeout);
}

}  // namespace zt::test
