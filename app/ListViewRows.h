#pragma once
// The binding list as the rows of lvHk: caption = hotkey text, the one
// sub-item = command, the item's lParam = the hotkey code of its text.

#include <windows.h>

#include "bindings/Bindings.h"

namespace zt {

class TListViewRows : public BindingRows {
 public:
  void SetListView(HWND listView) { FListView = listView; }

  int Count() const override;
  std::string Text(int index) const override;
  std::string Command(int index) const override;
  THotKeyCode Code(int index) const override;
  void SetText(int index, const std::string& text, THotKeyCode code) override;
  void Append(const HotkeyBinding& binding, THotKeyCode code) override;
  void Delete(int index) override;
  int Selected() const override;

 private:
  std::wstring ItemText(int index, int subItem) const;
  bool ValidIndex(int index) const { return index >= 0 && index < Count(); }

  HWND FListView = nullptr;
};

}  // namespace zt
