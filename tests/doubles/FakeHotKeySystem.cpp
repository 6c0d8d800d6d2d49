#include "tests/doubles/FakeHotKeySystem.h"

#include <algorithm>

namespace zt {

namespace {

// MOD_NOREPEAT and other high flags do not make a combination different.
bool SameCombination(unsigned modsA, unsigned vkA, unsigned modsB, unsigned vkB) {
  return (modsA & 0xF) == (modsB & 0xF) && vkA == vkB;
}

}  // namespace

std::string FakeHotKeySystem::FoldName(const std::string& name) {
  std::string folded = name;
  for (char& c : folded) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return folded;
}

bool FakeHotKeySystem::IsRegistered(unsigned modifiers, unsigned vk) const {
  return std::any_of(FRegistrations.begin(), FRegistrations.end(), [&](const TRegistration& r) {
    return SameCombination(r.Modifiers, r.Vk, modifiers, vk);
  });
}

AtomId FakeHotKeySystem::FindAtom(const std::string& name) const {
  const std::string folded = FoldName(name);
  for (const auto& [atom, entry] : FAtoms) {
    if (FoldName(entry.Name) == folded) return atom;
  }
  return 0;
}

std::string FakeHotKeySystem::AtomName(AtomId atom) const {
  auto it = FAtoms.find(atom);
  return it == FAtoms.end() ? std::string() : it->second.Name;
}

int FakeHotKeySystem::AtomUseCount(const std::string& name) const {
  const AtomId atom = FindAtom(name);
  return atom == 0 ? 0 : FAtoms.at(atom).Uses;
}

void FakeHotKeySystem::TakeByOtherProgram(unsigned modifiers, unsigned vk) {
  FRegistrations.push_back(TRegistration{OTHER_PROGRAM_WINDOW, 0, modifiers, vk});
}

void FakeHotKeySystem::ReleaseByOtherProgram(unsigned modifiers, unsigned vk) {
  auto it = std::find_if(FRegistrations.begin(), FRegistrations.end(), [&](const TRegistration& r) {
    return r.Window == OTHER_PROGRAM_WINDOW && SameCombination(r.Modifiers, r.Vk, modifiers, vk);
  });
  if (it != FRegistrations.end()) FRegistrations.erase(it);
}

bool FakeHotKeySystem::DeliverHotKey(unsigned modifiers, unsigned vk) {
  auto it = std::find_if(FRegistrations.begin(), FRegistrations.end(), [&](const TRegistration& r) {
    return SameCombination(r.Modifiers, r.Vk, modifiers, vk);
  });
  if (it == FRegistrations.end()) return false;
  // Copied: the sink may change the registrations while it runs.
  const TRegistration holder = *it;
  if (!IsWindowAlive(holder.Window)) return false;
  const auto wParam = static_cast<std::uintptr_t>(static_cast<unsigned>(holder.Id));
  const auto lParam =
      static_cast<std::intptr_t>(((holder.Vk & 0xFFFF) << 16) | (modifiers & 0xFFFF));
  SendToWindow(holder.Window, WM_HOTKEY_MESSAGE, wParam, lParam);
  return true;
}

std::intptr_t FakeHotKeySystem::SendToWindow(WindowHandle window, unsigned message,
                                             std::uintptr_t wParam, std::intptr_t lParam) {
  auto it = FSinks.find(window);
  if (it == FSinks.end()) return 0;
  return it->second->HotKeyWindowProc(message, wParam, lParam);
}

WindowHandle FakeHotKeySystem::CreateHotKeyWindow(HotKeyWindowSink& sink) {
  if (FailWindow) {
    Log.push_back("CreateWindow 0");
    return 0;
  }
  const WindowHandle window = FNextWindow;
  FNextWindow += 4;
  FSinks[window] = &sink;
  Log.push_back("CreateWindow " + std::to_string(window));
  return window;
}

void FakeHotKeySystem::DestroyHotKeyWindow(WindowHandle window) {
  Log.push_back("DestroyWindow " + std::to_string(window));
  if (!IsWindowAlive(window)) return;
  SendToWindow(window, WM_DESTROY_MESSAGE, 0, 0);
  SendToWindow(window, WM_NCDESTROY_MESSAGE, 0, 0);
  FSinks.erase(window);
  std::erase_if(FRegistrations, [window](const TRegistration& r) { return r.Window == window; });
}

std::intptr_t FakeHotKeySystem::DefaultWindowProc(WindowHandle window, unsigned message,
                                                  std::uintptr_t wParam, std::intptr_t lParam) {
  DefaultCalls.push_back(TMessage{window, message, wParam, lParam});
  return DefaultResult;
}

AtomId FakeHotKeySystem::AddGlobalAtom(const std::string& name) {
  AtomId atom = 0;
  if (!FailAtoms && !name.empty() && FAtoms.size() < 0x4000) {
    atom = FindAtom(name);
    if (atom != 0) {
      ++FAtoms[atom].Uses;
    } else {
      while (FAtoms.count(FNextAtom) != 0) FNextAtom = FNextAtom == 0xFFFF ? 0xC000 : FNextAtom + 1;
      atom = FNextAtom;
      FAtoms[atom] = TAtom{name, 1};
    }
  }
  Log.push_back("AddAtom " + name + " -> " + std::to_string(atom));
  return atom;
}

void FakeHotKeySystem::DeleteGlobalAtom(AtomId atom) {
  Log.push_back("DeleteAtom " + std::to_string(atom));
  auto it = FAtoms.find(atom);
  if (it != FAtoms.end() && --it->second.Uses <= 0) FAtoms.erase(it);
}

bool FakeHotKeySystem::RegisterHotKey(WindowHandle window, int id, unsigned modifiers,
                                      unsigned vk) {
  bool ok = false;
  if (window != 0 && !IsWindowAlive(window)) {
    LastError = ERROR_INVALID_WINDOW_HANDLE_CODE;
  } else if (RefuseRegister || IsRegistered(modifiers, vk)) {
    LastError = ERROR_HOTKEY_ALREADY_REGISTERED_CODE;
  } else {
    FRegistrations.push_back(TRegistration{window, id, modifiers, vk});
    ok = true;
  }
  Log.push_back("Register " + std::to_string(window) + " " + std::to_string(id) + " " +
                std::to_string(modifiers) + " " + std::to_string(vk) +
                (ok ? " -> ok" : " -> refused"));
  return ok;
}

bool FakeHotKeySystem::UnregisterHotKey(WindowHandle window, int id) {
  bool ok = false;
  auto it = std::find_if(FRegistrations.begin(), FRegistrations.end(),
                         [&](const TRegistration& r) { return r.Window == window && r.Id == id; });
  if (RefuseUnregister || it == FRegistrations.end()) {
    LastError = ERROR_HOTKEY_NOT_REGISTERED_CODE;
  } else {
    FRegistrations.erase(it);
    ok = true;
  }
  Log.push_back("Unregister " + std::to_string(window) + " " + std::to_string(id) +
                (ok ? " -> ok" : " -> failed"));
  return ok;
}

}  // namespace zt
