// Arbitrary settings-file text: load it, save it, load it again. Whatever
// the first load made of the file must come back the same from the second,
// a second save must find nothing left to change, and the rows must stay
// within what the keys of the file can account for. A save may be refused
// (a file that would not read back as written); it then leaves the file
// as it was.
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
const std::string Ini = AppDir + "ztrop32.ini";

// One run of the program's settings over the files: load, then save.
std::vector<HotkeyBinding> LoadAndSave(TMemoryProfileFiles& files, FakeHotKeySystem& system) {
  THotKeyManager hotKeys(system);
  TVectorRows rows;
  TBindingList list(rows, hotKeys, files);
  list.SetAppDir(AppDir);
  list.LoadBindings();
  const std::string before = files.Text(Ini);
  try {
    list.SaveBindings();
  } catch (const EAppError&) {
    if (files.Text(Ini) != before) std::abort();
  }
  return rows.Bindings();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static SimulatedKeyboard keyboard;
  static bool started = (InitHotKeyText(keyboard), true);
  (void)started;

  TMemoryProfileFiles files;
  files.SetText(Ini, std::string(reinterpret_cast<const char*>(data), size));

  FakeHotKeySystem system;
  const std::vector<HotkeyBinding> first = LoadAndSave(files, system);
  if (system.AtomCount() != 0) std::abort();  // every atom given back with the manager
  // Every key line is at least 4 bytes ("1Hk="); each may stand for at most
  // MaxMissingBindings + 1 rows.
  if (first.size() > (size / 4 + 1) * (MaxMissingBindings + 1)) std::abort();
  const std::string saved = files.Text(Ini);

  const std::vector<HotkeyBinding> second = LoadAndSave(files, system);
  if (second != first) std::abort();
  if (files.Text(Ini) != saved) std::abort();
  return 0;
}
