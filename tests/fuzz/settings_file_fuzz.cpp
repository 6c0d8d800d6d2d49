// Arbitrary settings-file text: load it, save it, load it again. Whatever
// the first load made of the file must come back the same from the second.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "bindings/Bindings.h"
#include "tests/doubles/FakeHotKeySystem.h"
#include "tests/doubles/MemoryProfile.h"
#include "tests/doubles/SimulatedKeyboard.h"
#include "tests/doubles/VectorRows.h"

using namespace zt;

namespace {

const std::string AppDir = "C:\\Zentrop\\";

std::vector<HotkeyBinding> Load(TMemoryProfileFiles& files, TVectorRows& rows, TBindingList& list) {
  list.SetAppDir(AppDir);
  list.LoadBindings();
  (void)files;
  return rows.Bindings();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static SimulatedKeyboard keyboard;
  static bool started = (InitHotKeyText(keyboard), true);
  (void)started;

  TMemoryProfileFiles files;
  files.SetText(AppDir + "ztrop32.ini", std::string(reinterpret_cast<const char*>(data), size));

  FakeHotKeySystem system;
  std::vector<HotkeyBinding> first;
  {
    THotKeyManager hotKeys(system);
    TVectorRows rows;
    TBindingList list(rows, hotKeys, files);
    first = Load(files, rows, list);
    list.SaveBindings();
  }
  if (system.AtomCount() != 0) std::abort();  // every atom given back with the manager

  THotKeyManager hotKeys(system);
  TVectorRows rows;
  TBindingList list(rows, hotKeys, files);
  const std::vector<HotkeyBinding> second = Load(files, rows, list);
  if (second.size() != first.size()) std::abort();
  for (std::size_t i = 0; i < first.size(); ++i)
    if (second[i].Text != first[i].Text || second[i].Command != first[i].Command) std::abort();
  return 0;
}
