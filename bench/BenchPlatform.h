#pragma once
// Platform doubles that cost next to nothing, so that a benchmark times the
// program's own work. The test doubles keep logs and search linearly, which
// is right for tests and would swamp the figures here.

#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/HotKeySystem.h"
#include "platform/ProfileFile.h"

namespace zt::bench {

// Sections of key=value pairs per path, for loading; keys compared ignoring
// ASCII case. A save does not change them: its writes, in order, become
// Saved[path] at Commit. The program's save writes every key it keeps, so
// that is the whole of what it saves.
class TLightProfileFiles : public ProfileFiles {
 public:
  struct TWrite {
    std::string Section;
    std::string Key;
    std::string Value;
  };
  struct TSection {
    std::vector<std::string> Order;                       // key names in file order
    std::unordered_map<std::string, std::string> Values;  // by upper-cased key
  };
  using TFile = std::unordered_map<std::string, TSection>;  // by upper-cased section

  std::unordered_map<std::string, TFile> Files;
  std::unordered_map<std::string, std::vector<TWrite>> Saved;

  std::unique_ptr<ProfileFile> OpenForLoad(const std::string& path) override;
  std::unique_ptr<ProfileFile> OpenForSave(const std::string& path) override;
};

// Atoms and registrations in hash tables; WM_HOTKEY is sent by the benchmark.
class TLightHotKeySystem : public HotKeySystem {
 public:
  WindowHandle CreateHotKeyWindow(HotKeyWindowSink&) override { return 0x1000; }
  void DestroyHotKeyWindow(WindowHandle) override {}
  std::intptr_t DefaultWindowProc(WindowHandle, unsigned, std::uintptr_t, std::intptr_t) override {
    return 0;
  }
  AtomId AddGlobalAtom(const std::string& name) override;
  void DeleteGlobalAtom(AtomId atom) override;
  bool RegisterHotKey(WindowHandle window, int id, unsigned modifiers, unsigned vk) override;
  bool UnregisterHotKey(WindowHandle window, int id) override;

 private:
  std::unordered_map<std::string, AtomId> FAtomByName;
  std::unordered_map<AtomId, std::pair<std::string, int>> FAtoms;
  AtomId FNextAtom = 0xC000;
  std::unordered_set<unsigned> FCombinations;  // modifiers << 16 | vk
  std::unordered_map<int, unsigned> FById;
};

// Hotkey texts of n bindings over the keys the current layout names: every
// modifier set with every named key, the sets varying fastest, then again
// from the start once they run out. InitHotKeyText must have run.
std::vector<std::string> BindingTexts(int n);

}  // namespace zt::bench
