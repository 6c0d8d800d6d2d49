#pragma once
// A hotkey system in memory, behaving as Windows does where the program relies
// on it: global atoms with use counts, hotkeys registered per (window, id),
// refusal of a combination that is taken already (error 1409), and WM_HOTKEY
// sent to the window's sink with wParam = id, lParam = MAKELPARAM(mods, vk).
//
// Every call is also written to Log, one line each, in these forms:
//   "CreateWindow 4096"            "DestroyWindow 4096"
//   "AddAtom HotKeyManagerHotKey16449 -> 49152"     (atom 0 when it failed)
//   "DeleteAtom 49152"
//   "Register 4096 49152 2 65 -> ok"                (window id modifiers vk; ok/refused)
//   "Unregister 4096 49152 -> ok"                   (ok/failed)
// DefaultWindowProc is not logged there but in DefaultCalls.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/HotKeySystem.h"

namespace zt {

class FakeHotKeySystem : public HotKeySystem {
 public:
  static constexpr unsigned ERROR_HOTKEY_ALREADY_REGISTERED_CODE = 1409;
  static constexpr unsigned ERROR_HOTKEY_NOT_REGISTERED_CODE = 1419;
  static constexpr unsigned ERROR_INVALID_WINDOW_HANDLE_CODE = 1400;
  static constexpr unsigned WM_DESTROY_MESSAGE = 0x0002;
  static constexpr unsigned WM_NCDESTROY_MESSAGE = 0x0082;
  // The window that holds combinations taken by "another program".
  static constexpr WindowHandle OTHER_PROGRAM_WINDOW = 0xFFFF0000;

  struct TRegistration {
    WindowHandle Window;
    int Id;
    unsigned Modifiers;
    unsigned Vk;
  };
  struct TMessage {
    WindowHandle Window;
    unsigned Message;
    std::uintptr_t WParam;
    std::intptr_t LParam;
  };

  // Knobs.
  bool RefuseRegister = false;      // every RegisterHotKey fails (error 1409)
  bool RefuseUnregister = false;    // every UnregisterHotKey fails, the hotkey stays
  bool FailAtoms = false;           // AddGlobalAtom returns 0
  bool FailWindow = false;          // CreateHotKeyWindow returns 0
  std::intptr_t DefaultResult = 0;  // what DefaultWindowProc returns

  // Observations.
  unsigned LastError = 0;  // set by a failing Register/Unregister, as GetLastError
  std::vector<std::string> Log;
  std::vector<TMessage> DefaultCalls;

  const std::vector<TRegistration>& Registrations() const { return FRegistrations; }
  bool IsRegistered(unsigned modifiers, unsigned vk) const;
  bool IsWindowAlive(WindowHandle window) const { return FSinks.count(window) != 0; }
  std::size_t WindowCount() const { return FSinks.size(); }

  // Atoms: names compare ignoring ASCII case, as global atom names do.
  std::size_t AtomCount() const { return FAtoms.size(); }
  AtomId FindAtom(const std::string& name) const;   // 0 when absent
  std::string AtomName(AtomId atom) const;          // "" when absent
  int AtomUseCount(const std::string& name) const;  // 0 when absent

  // Another program holds this combination; ours is refused until released.
  void TakeByOtherProgram(unsigned modifiers, unsigned vk);
  void ReleaseByOtherProgram(unsigned modifiers, unsigned vk);

  // A press of the combination: WM_HOTKEY to the sink of the window that holds
  // it. False when nobody holds it or the holder has no sink (another program).
  // The sink may register, unregister or send more messages meanwhile.
  bool DeliverHotKey(unsigned modifiers, unsigned vk);
  // Any message to a window's sink, as SendMessage; 0 when there is no sink.
  std::intptr_t SendToWindow(WindowHandle window, unsigned message, std::uintptr_t wParam,
                             std::intptr_t lParam);

  // HotKeySystem
  // Creation messages do not reach the sink, as with a window procedure that
  // is attached once the window exists.
  WindowHandle CreateHotKeyWindow(HotKeyWindowSink& sink) override;
  // Sends WM_DESTROY and WM_NCDESTROY to the sink, then drops the window and,
  // as Windows does, the hotkeys still registered for it.
  void DestroyHotKeyWindow(WindowHandle window) override;
  std::intptr_t DefaultWindowProc(WindowHandle window, unsigned message, std::uintptr_t wParam,
                                  std::intptr_t lParam) override;
  AtomId AddGlobalAtom(const std::string& name) override;
  void DeleteGlobalAtom(AtomId atom) override;
  bool RegisterHotKey(WindowHandle window, int id, unsigned modifiers, unsigned vk) override;
  bool UnregisterHotKey(WindowHandle window, int id) override;

 private:
  struct TAtom {
    std::string Name;
    int Uses;
  };
  static std::string FoldName(const std::string& name);

  std::map<WindowHandle, HotKeyWindowSink*> FSinks;
  WindowHandle FNextWindow = 0x1000;
  std::map<AtomId, TAtom> FAtoms;
  AtomId FNextAtom = 0xC000;
  std::vector<TRegistration> FRegistrations;
};

}  // namespace zt
