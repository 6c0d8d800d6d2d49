// bench_driver.exe: times ztrop32.exe and the floor side by side under Wine.
// Both are started from copies in fresh folders; every figure is the median
// of several runs, taken in alternating order so that a busy moment of the
// machine falls on both. Results are lines for bench/run.sh:
//   ZTB <figure> <median> <min> <max> <good runs> <runs>
// in microseconds or bytes. Options: --runs N (start-ups per program, 11),
// --presses N (per program, 50), --load-runs N (per size, 5).
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/win32/Handle.h"

namespace {

using zt::TKernelHandle;
using zt::TKeyHandle;

// No test binds this one, and both programs get the same.
constexpr UINT PressModifiers = MOD_CONTROL | MOD_SHIFT | MOD_ALT;
constexpr UINT PressKey = VK_F11;
const char* const PressText = "Ctrl+Shift+Alt+F11";
const char* const PublishKey = "SOFTWARE\\Brelwick Team\\Zentrop";
constexpr DWORD StartTimeout = 180000;
constexpr DWORD CloseTimeout = 180000;

LARGE_INTEGER Frequency;

LONGLONG Now() {
  LARGE_INTEGER now;
  ::QueryPerformanceCounter(&now);
  return now.QuadPart;
}

double Micros(LONGLONG ticks) {
  return static_cast<double>(ticks) * 1e6 / static_cast<double>(Frequency.QuadPart);
}

struct TFigure {
  std::vector<double> Values;
  int Runs = 0;
  void Add(double value) {
    Values.push_back(value);
    ++Runs;
  }
  void Fail() { ++Runs; }
};

void Report(const std::string& name, TFigure figure) {
  std::vector<double>& v = figure.Values;
  if (v.empty()) {
    std::printf("ZTB %s nan nan nan 0 %d\n", name.c_str(), figure.Runs);
  } else {
    // Every sample in run order, for a look at the noise.
    std::printf("ZTS %s", name.c_str());
    for (double value : v) std::printf(" %.0f", value);
    std::printf("\n");
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    const double median = n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
    std::printf("ZTB %s %.0f %.0f %.0f %zu %d\n", name.c_str(), median, v.front(), v.back(), n,
                figure.Runs);
  }
  std::fflush(stdout);
}

void Note(const char* format, const std::string& text) {
  std::fprintf(stderr, format, text.c_str());
  std::fflush(stderr);
}

void RemoveTree(const std::string& folder) {
  WIN32_FIND_DATAA data;
  const HANDLE find = ::FindFirstFileA((folder + "*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = data.cFileName;
      if (name == "." || name == "..") continue;
      const std::string path = folder + name;
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveTree(path + "\\");
      else
        ::DeleteFileA(path.c_str());
    } while (::FindNextFileA(find, &data));
    ::FindClose(find);
  }
  ::RemoveDirectoryA(folder.c_str());
}

bool WriteText(const std::string& path, const std::string& text) {
  TKernelHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) {
    file.release();
    return false;
  }
  DWORD written = 0;
  return ::WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
         written == text.size();
}

// "" when the file cannot be read, which is also how a missing file reads.
std::string ReadText(const std::string& path) {
  TKernelHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) {
    file.release();
    return std::string();
  }
  std::string text;
  char buffer[65536];
  DWORD read = 0;
  while (::ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0)
    text.append(buffer, read);
  return text;
}

// ---------------------------------------------------------------------------
// Settings files of n bindings, with hotkey texts built from the key names
// this machine's layout gives, read the way the program reads them.

bool IsExtendedKey(unsigned vk) {
  return (vk >= 0x21 && vk <= 0x28) || vk == 0x2D || vk == 0x2E;
}

std::vector<std::string> KeyNamesOfLayout() {
  std::vector<std::string> names;
  for (unsigned vk = 8; vk <= 255; ++vk) {
    if ((vk >= VK_SHIFT && vk <= VK_MENU) || vk == VK_LWIN || vk == VK_RWIN ||
        (vk >= VK_LSHIFT && vk <= VK_RMENU))
      continue;
    const UINT scan = ::MapVirtualKeyA(vk, 0);
    if (scan == 0) continue;
    const LONG lParam = static_cast<LONG>((scan << 16) | (IsExtendedKey(vk) ? 0x01000000u : 0u));
    char name[256] = "";
    if (::GetKeyNameTextA(lParam, name, sizeof name) <= 0) continue;
    const std::string text = name;
    if (text.find_first_of("+'\" ") != std::string::npos) continue;
    // A key named like a modifier word makes a text the program turns down.
    bool modifierWord = false;
    for (const char* word : {"Ctrl", "Shift", "Alt", "Win", "Control"})
      modifierWord = modifierWord || ::lstrcmpiA(text.c_str(), word) == 0;
    if (modifierWord) continue;
    // A name that an earlier key has too finds that key; keep one per name.
    const bool known = std::any_of(names.begin(), names.end(), [&](const std::string& n) {
      return ::lstrcmpiA(n.c_str(), text.c_str()) == 0;
    });
    if (!known) names.push_back(text);
  }
  return names;
}

std::string SettingsText(int count, const std::vector<std::string>& keys,
                         const std::string& pressedCommand) {
  static const char* const modifierSets[] = {"Ctrl+",
                                             "Alt+",
                                             "Shift+",
                                             "Win+",
                                             "Ctrl+Alt+",
                                             "Ctrl+Shift+",
                                             "Ctrl+Win+",
                                             "Shift+Alt+",
                                             "Alt+Win+",
                                             "Shift+Win+",
                                             "Ctrl+Shift+Alt+",
                                             "Ctrl+Alt+Win+",
                                             "Ctrl+Shift+Win+",
                                             "Shift+Alt+Win+",
                                             "Ctrl+Shift+Alt+Win+"};
  std::string text = "[Zentrop]\r\nHkCount=" + std::to_string(count) + "\r\n";
  const std::size_t combinations = keys.size() * 15;
  int written = 0;
  // The pressed hotkey comes last and only once; the others never run.
  for (std::size_t i = 0; written < count - 1; ++i) {
    const std::size_t c = i % combinations;
    const std::string hotkey = std::string(modifierSets[c % 15]) + keys[c / 15];
    if (::lstrcmpiA(hotkey.c_str(), PressText) == 0) continue;
    const std::string n = std::to_string(++written);
    text += n + "Hk=" + hotkey + "\r\n" + n + "Cmd=C:\\ZtBench\\App" + n + "\\app.exe\r\n";
  }
  if (count > 0) {
    const std::string n = std::to_string(count);
    text += n + "Hk=" + PressText + "\r\n" + n + "Cmd=" + pressedCommand + "\r\n";
  }
  return text;
}

// ---------------------------------------------------------------------------
// A program under test.

struct TFindWindow {
  DWORD ProcessId;
  const char* ClassName;
  HWND Found;
};

BOOL CALLBACK FindWindowOfProcess(HWND window, LPARAM param) {
  auto* find = reinterpret_cast<TFindWindow*>(param);
  DWORD processId = 0;
  ::GetWindowThreadProcessId(window, &processId);
  char className[64] = "";
  ::GetClassNameA(window, className, sizeof className);
  if (processId == find->ProcessId && std::strcmp(className, find->ClassName) == 0) {
    find->Found = window;
    return FALSE;
  }
  return TRUE;
}

HWND ProcessWindow(DWORD processId, const char* className) {
  TFindWindow find{processId, className, nullptr};
  ::EnumWindows(FindWindowOfProcess, reinterpret_cast<LPARAM>(&find));
  return find.Found;
}

void ForgetPublishedHandle() {
  TKeyHandle key;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, PublishKey, 0, KEY_SET_VALUE, key.put()) == ERROR_SUCCESS)
    ::RegDeleteValueA(key.get(), "Data");
}

// The application window of the process when it is the one published.
HWND PublishedWindow(DWORD processId) {
  TKeyHandle key;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, PublishKey, 0, KEY_QUERY_VALUE, key.put()) !=
      ERROR_SUCCESS)
    return nullptr;
  char data[32] = "";
  DWORD size = sizeof data - 1;
  DWORD type = 0;
  if (::RegQueryValueExA(key.get(), "Data", nullptr, &type, reinterpret_cast<BYTE*>(data), &size) !=
          ERROR_SUCCESS ||
      type != REG_SZ)
    return nullptr;
  HWND window = reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::strtoul(data, nullptr, 10)));
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  char className[64] = "";
  ::GetClassNameA(window, className, sizeof className);
  return owner == processId && std::strcmp(className, "TApplication") == 0 ? window : nullptr;
}

// True when the pressed combination is held by someone else now.
bool PressHotKeyTaken() {
  if (!::RegisterHotKey(nullptr, 0xB00, PressModifiers, PressKey)) return true;
  ::UnregisterHotKey(nullptr, 0xB00);
  return false;
}

class TProgram {
 public:
  TProgram(const std::string& folder, bool zentrop) : FFolder(folder), FZentrop(zentrop) {}
  ~TProgram() { Kill(); }
  TProgram(const TProgram&) = delete;
  TProgram& operator=(const TProgram&) = delete;

  // Starts the program and waits until it is idle with its hotkeys taken
  // (and, for ztrop32, its window published). The time it took, or -1.
  double Start(const std::string& exe, const std::string& arguments, bool hotKeyExpected) {
    if (FZentrop) ForgetPublishedHandle();
    // Wine's own processes tidy up after the program before; let them.
    ::Sleep(300);
    std::string commandLine = "\"" + exe + "\" " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    const LONGLONG begin = Now();
    if (!::CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          FFolder.c_str(), &startup, &info))
      return -1;
    FProcess.reset(info.hProcess);
    ::CloseHandle(info.hThread);
    FProcessId = info.dwProcessId;
    if (::WaitForInputIdle(FProcess.get(), StartTimeout) != 0) return -1;
    if (FZentrop) {
      // Publishing is the last step before the message loop.
      while ((FWindow = PublishedWindow(FProcessId)) == nullptr) {
        if (Micros(Now() - begin) > StartTimeout * 1000.0 || !Running()) return -1;
        ::Sleep(1);
      }
    } else {
      FWindow = ProcessWindow(FProcessId, "ZtFloor");
    }
    const LONGLONG end = Now();
    if (FWindow == nullptr) return -1;
    if (hotKeyExpected && !PressHotKeyTaken()) {
      Note("bench_driver: %s runs without the pressed hotkey\n", exe);
      return -1;
    }
    return Micros(end - begin);
  }

  bool Running() const { return FProcess && ::WaitForSingleObject(FProcess.get(), 0) != 0; }

  bool Memory(PROCESS_MEMORY_COUNTERS_EX& counters) const {
    counters = PROCESS_MEMORY_COUNTERS_EX{};
    counters.cb = sizeof counters;
    return ::GetProcessMemoryInfo(FProcess.get(),
                                  reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                                  sizeof counters) != FALSE;
  }

  // Committed private memory, region by region. Wine leaves PrivateUsage 0
  // for other processes; this is what Windows counts there.
  double PrivateBytes() const {
    double total = 0;
    MEMORY_BASIC_INFORMATION region;
    const char* at = nullptr;
    while (::VirtualQueryEx(FProcess.get(), at, &region, sizeof region) == sizeof region) {
      if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
        total += static_cast<double>(region.RegionSize);
      const char* next = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
      if (next <= at) break;
      at = next;
    }
    return total;
  }

  // WM_CLOSE, then the time until the settings file was put in place anew
  // (ztrop32 saves on the way out); -1 when that did not happen in time.
  double CloseTimedToSave(const std::string& settingsPath) {
    if (!FProcess) return -1;
    WIN32_FILE_ATTRIBUTE_DATA before{};
    ::GetFileAttributesExA(settingsPath.c_str(), GetFileExInfoStandard, &before);
    const LONGLONG begin = Now();
    ::PostMessageA(FWindow, WM_CLOSE, 0, 0);
    FCloseSent = true;
    for (;;) {
      WIN32_FILE_ATTRIBUTE_DATA now{};
      if (::GetFileAttributesExA(settingsPath.c_str(), GetFileExInfoStandard, &now) &&
          ::CompareFileTime(&now.ftLastWriteTime, &before.ftLastWriteTime) != 0)
        return Micros(Now() - begin);
      if (Micros(Now() - begin) > CloseTimeout * 1000.0) return -1;
      if (!Running()) {
        // Gone without a visible change: the copy may have kept the same time.
        return Micros(Now() - begin);
      }
      ::Sleep(1);
    }
  }

  // WM_CLOSE to its window (again, when it had one already), timed to the
  // process's end; -1 on timeout.
  double Close() {
    if (!FProcess) return -1;
    const LONGLONG begin = Now();
    if (!FCloseSent) ::PostMessageA(FWindow, WM_CLOSE, 0, 0);
    FCloseSent = true;
    const DWORD waited = ::WaitForSingleObject(FProcess.get(), CloseTimeout);
    const LONGLONG end = Now();
    if (waited != WAIT_OBJECT_0) return -1;
    FProcess.reset();
    return Micros(end - begin);
  }

  void Kill() {
    if (!FProcess) return;
    ::TerminateProcess(FProcess.get(), 1);
    ::WaitForSingleObject(FProcess.get(), 5000);
    FProcess.reset();
  }

 private:
  std::string FFolder;
  bool FZentrop;
  TKernelHandle FProcess;
  DWORD FProcessId = 0;
  HWND FWindow = nullptr;
  bool FCloseSent = false;
};

// One press of the hotkey, timed from SendInput to the marker's clock; -1
// when no marker came within the time.
double Press(const std::string& markerFolder) {
  const std::string record = markerFolder + "marker.qpc";
  ::DeleteFileA(record.c_str());
  const WORD keys[] = {VK_CONTROL, VK_SHIFT, VK_MENU, static_cast<WORD>(PressKey)};
  INPUT inputs[8] = {};
  for (int i = 0; i < 4; ++i) {
    for (INPUT* input : {&inputs[i], &inputs[7 - i]}) {
      input->type = INPUT_KEYBOARD;
      input->ki.wVk = keys[i];
      input->ki.wScan = static_cast<WORD>(::MapVirtualKeyA(keys[i], 0));
    }
    inputs[7 - i].ki.dwFlags = KEYEVENTF_KEYUP;
  }
  const LONGLONG begin = Now();
  if (::SendInput(8, inputs, sizeof(INPUT)) != 8) return -1;
  std::string text;
  for (int waited = 0; waited < 10000; ++waited) {
    text = ReadText(record);
    if (!text.empty()) break;
    ::Sleep(1);
  }
  long long counter = 0;
  unsigned long processId = 0;
  if (std::sscanf(text.c_str(), "%lld %lu", &counter, &processId) != 2) return -1;
  // The next press waits until this marker is gone.
  TKernelHandle marker(::OpenProcess(SYNCHRONIZE, FALSE, processId));
  if (marker) ::WaitForSingleObject(marker.get(), 5000);
  return Micros(counter - begin);
}

struct TOptions {
  int Runs = 11;
  int Presses = 50;
  int LoadRuns = 5;
};

class TBench {
 public:
  explicit TBench(const TOptions& options) : FOptions(options) {
    char path[MAX_PATH] = "";
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    FBench = path;
    FBench.resize(FBench.rfind('\\') + 1);
    FWork = FBench + "run\\";
    RemoveTree(FWork);
    ::CreateDirectoryA(FWork.c_str(), nullptr);
    FMarkerFolder = FWork + "marker\\";
    ::CreateDirectoryA(FMarkerFolder.c_str(), nullptr);
    FMarker = FMarkerFolder + "bench_marker.exe";
    ::CopyFileA((FBench + "bench_marker.exe").c_str(), FMarker.c_str(), FALSE);
    FKeys = KeyNamesOfLayout();
  }
  ~TBench() { RemoveTree(FWork); }

  void Run() {
    std::printf("ZTB keys %zu %zu %zu 1 1\n", FKeys.size(), FKeys.size(), FKeys.size());
    // Start-ups, memory and load/save, one of each program in turn per round.
    for (int round = 0; round < FOptions.Runs; ++round) {
      StartFloor(round);
      for (int n : {0, 100, 1000}) StartZentrop(n, round, true);
    }
    for (int n : {10, 10000}) {
      const LONGLONG begin = Now();
      for (int round = 0; round < FOptions.LoadRuns; ++round) {
        StartZentrop(n, round, false);
        // A size this slow says what it has to say in one or two runs.
        if (Micros(Now() - begin) > 120e6) break;
      }
    }
    // Presses in blocks, the programs taking turns.
    const int blocks = 5;
    for (int block = 0; block < blocks; ++block) {
      const int presses = (FOptions.Presses + blocks - 1) / blocks;
      PressBlock(false, block, presses);
      PressBlock(true, block, presses);
    }

    Report("startup.floor", FStart[0]);
    Report("close.floor", FClose[0]);
    Report("private.floor", FPrivate[0]);
    Report("ws.floor", FWorkingSet[0]);
    for (int n : {0, 10, 100, 1000, 10000}) {
      const std::string suffix = ".zt." + std::to_string(n);
      Report("startup" + suffix, FStart[Slot(n)]);
      Report("save" + suffix, FSave[Slot(n)]);
      Report("close" + suffix, FClose[Slot(n)]);
      Report("saved" + suffix, FSaved[Slot(n)]);
      if (n <= 1000) {
        Report("private" + suffix, FPrivate[Slot(n)]);
        Report("ws" + suffix, FWorkingSet[Slot(n)]);
      }
    }
    Report("press.floor", FPress[0]);
    Report("press.zt.1000", FPress[1]);
  }

 private:
  // 0 the floor, then ztrop32 with 0, 10, 100, 1000, 10000 bindings.
  static int Slot(int n) {
    switch (n) {
      case 0:
        return 1;
      case 10:
        return 2;
      case 100:
        return 3;
      case 1000:
        return 4;
      default:
        return 5;
    }
  }

  std::string FreshFolder(const std::string& name) {
    const std::string folder = FWork + name + "\\";
    RemoveTree(folder);
    ::CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
  }

  void Sample(TProgram& program, int slot) {
    // Memory is read once start-up has settled.
    ::Sleep(300);
    PROCESS_MEMORY_COUNTERS_EX counters;
    if (program.Memory(counters)) {
      const double reported = static_cast<double>(counters.PrivateUsage);
      FPrivate[slot].Add(reported > 0 ? reported : program.PrivateBytes());
      FWorkingSet[slot].Add(static_cast<double>(counters.WorkingSetSize));
    } else {
      FPrivate[slot].Fail();
      FWorkingSet[slot].Fail();
    }
  }

  std::string FloorArguments() const {
    return std::to_string(PressModifiers) + " " + std::to_string(PressKey) + " \"" + FMarker + "\"";
  }

  void StartFloor(int round) {
    const std::string folder = FreshFolder("floor-" + std::to_string(round));
    const std::string exe = folder + "floor.exe";
    ::CopyFileA((FBench + "floor.exe").c_str(), exe.c_str(), FALSE);
    {
      TProgram program(folder, false);
      const double started = program.Start(exe, FloorArguments(), true);
      if (started < 0) {
        Note("bench_driver: %s did not come up\n", exe);
        FStart[0].Fail();
      } else {
        FStart[0].Add(started);
        Sample(program, 0);
        const double closed = program.Close();
        closed < 0 ? FClose[0].Fail() : FClose[0].Add(closed);
      }
    }
    RemoveTree(folder);
  }

  std::string PrepareZentrop(int n, const std::string& name) {
    const std::string folder = FreshFolder(name);
    ::CopyFileA((FBench + "..\\ztrop32.exe").c_str(), (folder + "ztrop32.exe").c_str(), FALSE);
    WriteText(folder + "ztrop32.ini", SettingsText(n, FKeys, FMarker));
    return folder;
  }

  void StartZentrop(int n, int round, bool sampleMemory) {
    const int slot = Slot(n);
    const std::string folder =
        PrepareZentrop(n, "zt-" + std::to_string(n) + "-" + std::to_string(round));
    const std::string exe = folder + "ztrop32.exe";
    {
      TProgram program(folder, true);
      const double started = program.Start(exe, "", n > 0);
      if (started < 0) {
        Note("bench_driver: %s did not come up\n", exe);
        FStart[slot].Fail();
      } else {
        FStart[slot].Add(started);
        if (sampleMemory) Sample(program, slot);
        const double saved = program.CloseTimedToSave(folder + "ztrop32.ini");
        saved < 0 ? FSave[slot].Fail() : FSave[slot].Add(saved);
        const double closed = program.Close();
        closed < 0 ? FClose[slot].Fail() : FClose[slot].Add(closed + saved);
        // The save on the way out must have written every binding back.
        const std::string savedText = ReadText(folder + "ztrop32.ini");
        const std::string last = "\r\n" + std::to_string(n) + "Cmd=";
        const bool complete =
            savedText.find("HkCount=" + std::to_string(n) + "\r\n") != std::string::npos &&
            (n == 0 || savedText.find(last) != std::string::npos);
        complete ? FSaved[slot].Add(1) : FSaved[slot].Fail();
      }
    }
    RemoveTree(folder);
  }

  void PressBlock(bool zentrop, int block, int presses) {
    const std::string name =
        std::string(zentrop ? "press-zt-" : "press-floor-") + std::to_string(block);
    std::string folder;
    std::string exe;
    if (zentrop) {
      folder = PrepareZentrop(1000, name);
      exe = folder + "ztrop32.exe";
    } else {
      folder = FreshFolder(name);
      exe = folder + "floor.exe";
      ::CopyFileA((FBench + "floor.exe").c_str(), exe.c_str(), FALSE);
    }
    TFigure& figure = FPress[zentrop ? 1 : 0];
    {
      TProgram program(folder, zentrop);
      if (program.Start(exe, zentrop ? "" : FloorArguments(), true) < 0) {
        Note("bench_driver: %s did not come up for the presses\n", exe);
        for (int i = 0; i < presses; ++i) figure.Fail();
      } else {
        ::Sleep(200);
        int missed = 0;
        for (int i = 0; i < presses; ++i) {
          const double latency = Press(FMarkerFolder);
          if (latency < 0) {
            figure.Fail();
            // A program that stopped reacting will not start again.
            if (++missed == 3) {
              for (++i; i < presses; ++i) figure.Fail();
              break;
            }
          } else {
            figure.Add(latency);
          }
          ::Sleep(20);
        }
        program.Close();
      }
    }
    RemoveTree(folder);
  }

  TOptions FOptions;
  std::string FBench;
  std::string FWork;
  std::string FMarkerFolder;
  std::string FMarker;
  std::vector<std::string> FKeys;
  TFigure FStart[6];
  TFigure FClose[6];
  TFigure FSave[6];
  TFigure FSaved[6];
  TFigure FPrivate[6];
  TFigure FWorkingSet[6];
  TFigure FPress[2];
};

}  // namespace

int main(int argc, char** argv) {
  TOptions options;
  for (int i = 1; i + 1 < argc; i += 2) {
    const int value = std::atoi(argv[i + 1]);
    if (value <= 0) continue;
    if (std::strcmp(argv[i], "--runs") == 0) options.Runs = value;
    if (std::strcmp(argv[i], "--presses") == 0) options.Presses = value;
    if (std::strcmp(argv[i], "--load-runs") == 0) options.LoadRuns = value;
  }
  ::QueryPerformanceFrequency(&Frequency);
  TBench bench(options);
  bench.Run();
  return 0;
}
