// The program's own work, timed on platform doubles: one hotkey press (the
// manager's message handling and the dispatcher), and the load and save of
// the binding list, for growing numbers of bindings.
#include <benchmark/benchmark.h>

#include <memory>
#include <unordered_set>

#include "bench/BenchPlatform.h"
#include "bindings/Dispatch.h"
#include "tests/doubles/FakeHotKeySystem.h"
#include "tests/doubles/FakePluginLibraries.h"
#include "tests/doubles/FakeShell.h"
#include "tests/doubles/MemoryProfile.h"
#include "tests/doubles/SimulatedKeyboard.h"
#include "tests/doubles/VectorRows.h"

namespace zt::bench {
namespace {

const std::string AppDir = "C:\\Zentrop\\";
const std::string PressedText = "Ctrl+Shift+Alt+F11";

// n bindings, the last one the pressed hotkey and no other with its code.
std::vector<HotkeyBinding> Bindings(int n) {
  const THotKeyCode pressed = HotKeyFromText(PressedText, true);
  std::vector<HotkeyBinding> bindings;
  // Twice as many texts as needed: the pressed code comes round again in a
  // long list and is left out there.
  for (const std::string& text : BindingTexts(2 * n)) {
    if (static_cast<int>(bindings.size()) == n - 1) break;
    if (HotKeyFromText(text, true) == pressed) continue;
    bindings.push_back({text, "C:\\Apps\\App" + std::to_string(bindings.size() + 1) + "\\app.exe"});
  }
  bindings.push_back({PressedText, "C:\\Apps\\Pressed\\marker.exe"});
  return bindings;
}

std::string SettingsText(const std::vector<HotkeyBinding>& bindings) {
  std::string text = "[Zentrop]\r\nHkCount=" + std::to_string(bindings.size()) + "\r\n";
  for (std::size_t i = 0; i < bindings.size(); ++i) {
    const std::string n = std::to_string(i + 1);
    text += n + "Hk=" + bindings[i].Text + "\r\n" + n + "Cmd=" + bindings[i].Command + "\r\n";
  }
  return text;
}

void FillLight(TLightProfileFiles& files, const std::vector<HotkeyBinding>& bindings) {
  TLightProfileFiles::TSection& section = files.Files[AppDir + SettingsFileName]["ZENTROP"];
  auto put = [&section](const std::string& key, const std::string& value) {
    section.Order.push_back(key);
    section.Values[AsciiUpper(key)] = value;
  };
  put("HkCount", std::to_string(bindings.size()));
  for (std::size_t i = 0; i < bindings.size(); ++i) {
    put(std::to_string(i + 1) + "Hk", bindings[i].Text);
    put(std::to_string(i + 1) + "Cmd", bindings[i].Command);
  }
}

// The dispatcher alone over rows that already carry their codes.
void BM_Dispatch(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  TVectorRows rows;
  for (const HotkeyBinding& b : Bindings(n)) rows.Append(b, HotKeyFromText(b.Text, true));
  TFakeShell shell;
  shell.AddDirectory("C:\\Apps\\Pressed\\");
  TFakePluginLibraries libraries;
  TDispatcher dispatcher(rows, shell, libraries);
  dispatcher.SetAppDir(AppDir);
  const THotKeyCode pressed = HotKeyFromText(PressedText, true);
  for (auto _ : state) {
    dispatcher.HotKeyPressed(pressed);
    shell.Opened.clear();
    shell.DirectoryQueries.clear();
  }
  if (shell.Opened.size() > 1) state.SkipWithError("the press ran more than one command");
  state.SetComplexityN(n);
}

// WM_HOTKEY into the registration manager, which hands it to the dispatcher:
// everything the program does between the system's message and the shell.
void BM_HotKeyPress(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  TLightProfileFiles files;
  FillLight(files, Bindings(n));
  TLightHotKeySystem system;
  THotKeyManager manager(system);
  TVectorRows rows;
  TBindingList list(rows, manager, files);
  list.SetAppDir(AppDir);
  list.LoadBindings();
  TFakeShell shell;
  shell.AddDirectory("C:\\Apps\\Pressed\\");
  TFakePluginLibraries libraries;
  TDispatcher dispatcher(rows, shell, libraries);
  dispatcher.SetAppDir(AppDir);
  manager.OnHotKeyPressed = [&dispatcher](THotKeyCode code, std::uint16_t) {
    dispatcher.HotKeyPressed(code);
  };
  const THotKeyCode pressed = HotKeyFromText(PressedText, true);
  std::uint16_t atom = 0;
  for (const HotKeyRegistration& r : manager.Registrations())
    if (r.Code == pressed) atom = r.Atom;
  std::uint16_t modifiers = 0;
  std::uint16_t key = 0;
  SplitHotKeyCode(pressed, modifiers, key);
  const auto lParam = static_cast<std::intptr_t>((static_cast<unsigned>(key) << 16) | modifiers);
  for (auto _ : state) {
    manager.HotKeyWindowProc(WM_HOTKEY_MESSAGE, atom, lParam);
    shell.Opened.clear();
    shell.DirectoryQueries.clear();
  }
  if (atom == 0) state.SkipWithError("the pressed hotkey was not registered");
  state.SetComplexityN(n);
}

// One load: a fresh list view, a fresh manager, the file read and every
// hotkey registered. Profile and hotkey system are TProfile and THotKeys.
template <typename TProfile, typename THotKeys>
void LoadBindings(benchmark::State& state, TProfile& files) {
  const int n = static_cast<int>(state.range(0));
  bool complete = true;
  for (auto _ : state) {
    state.PauseTiming();
    auto system = std::make_unique<THotKeys>();
    auto manager = std::make_unique<THotKeyManager>(*system);
    auto rows = std::make_unique<TVectorRows>();
    TBindingList list(*rows, *manager, files);
    list.SetAppDir(AppDir);
    state.ResumeTiming();
    list.LoadBindings();
    state.PauseTiming();
    complete = complete && rows->Count() == n;
    // The teardown is no part of a load.
    manager.reset();
    system.reset();
    rows.reset();
    state.ResumeTiming();
  }
  if (!complete) state.SkipWithError("not every binding was loaded");
  state.SetComplexityN(n);
}

template <typename TProfile, typename THotKeys>
void SaveBindings(benchmark::State& state, TProfile& files) {
  const int n = static_cast<int>(state.range(0));
  THotKeys system;
  THotKeyManager manager(system);
  TVectorRows rows;
  TBindingList list(rows, manager, files);
  list.SetAppDir(AppDir);
  list.LoadBindings();
  for (auto _ : state) list.SaveBindings();
  if (rows.Count() != n) state.SkipWithError("not every binding was loaded");
  state.SetComplexityN(n);
}

void BM_LoadBindings(benchmark::State& state) {
  TLightProfileFiles files;
  FillLight(files, Bindings(static_cast<int>(state.range(0))));
  LoadBindings<TLightProfileFiles, TLightHotKeySystem>(state, files);
}

void BM_SaveBindings(benchmark::State& state) {
  TLightProfileFiles files;
  FillLight(files, Bindings(static_cast<int>(state.range(0))));
  SaveBindings<TLightProfileFiles, TLightHotKeySystem>(state, files);
  // The count and two keys per binding, each written at least once.
  std::unordered_set<std::string> keys;
  for (const TLightProfileFiles::TWrite& write : files.Saved[AppDir + SettingsFileName])
    keys.insert(AsciiUpper(write.Key));
  if (keys.size() != static_cast<std::size_t>(2 * state.range(0) + 1))
    state.SkipWithError("the save did not write every binding");
}

// The same on the test doubles, which search their lines and atoms one by one.
void BM_LoadBindings_TestDoubles(benchmark::State& state) {
  TMemoryProfileFiles files;
  files.SetText(AppDir + SettingsFileName,
                SettingsText(Bindings(static_cast<int>(state.range(0)))));
  LoadBindings<TMemoryProfileFiles, FakeHotKeySystem>(state, files);
}

void BM_SaveBindings_TestDoubles(benchmark::State& state) {
  TMemoryProfileFiles files;
  files.SetText(AppDir + SettingsFileName,
                SettingsText(Bindings(static_cast<int>(state.range(0)))));
  SaveBindings<TMemoryProfileFiles, FakeHotKeySystem>(state, files);
}

// No fitted complexity: bench/run.sh takes the ratios itself, and the
// library's fit falls over when a size reported an error.
void Sizes(benchmark::internal::Benchmark* b) {
  for (int n : {10, 100, 1000, 10000}) b->Arg(n);
}

BENCHMARK(BM_Dispatch)->Apply(Sizes);
BENCHMARK(BM_HotKeyPress)->Apply(Sizes);
BENCHMARK(BM_LoadBindings)->Apply(Sizes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SaveBindings)->Apply(Sizes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadBindings_TestDoubles)->Apply(Sizes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SaveBindings_TestDoubles)->Apply(Sizes)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace zt::bench

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  // The key names of a US-English layout, as Windows gives them.
  zt::SimulatedKeyboard keyboard;
  zt::InitHotKeyText(keyboard);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  zt::DoneHotKeyText();
  return 0;
}
