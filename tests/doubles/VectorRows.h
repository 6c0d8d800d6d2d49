#pragma once
// The rows of the binding list held in a vector, for the native tests.

#include <ostream>
#include <vector>

#include "bindings/Bindings.h"

namespace zt {

class TVectorRows : public BindingRows {
 public:
  struct TRow {
    std::string Text;
    std::string Command;
    THotKeyCode Code = 0;
    bool operator==(const TRow&) const = default;
  };

  std::vector<TRow> Rows;
  int SelectedIndex = -1;

  int Count() const override { return static_cast<int>(Rows.size()); }
  std::string Text(int index) const override { return Rows.at(index).Text; }
  std::string Command(int index) const override { return Rows.at(index).Command; }
  THotKeyCode Code(int index) const override { return Rows.at(index).Code; }
  void SetText(int index, const std::string& text, THotKeyCode code) override {
    Rows.at(index).Text = text;
    Rows.at(index).Code = code;
  }
  void Append(const HotkeyBinding& binding, THotKeyCode code) override {
    Rows.push_back(TRow{binding.Text, binding.Command, code});
  }
  void Delete(int index) override;
  int Selected() const override { return SelectedIndex; }

  // (text, command) of every row, in order.
  std::vector<HotkeyBinding> Bindings() const;
};

inline void PrintTo(const HotkeyBinding& b, std::ostream* os) {
  *os << "{\"" << b.Text << "\", \"" << b.Command << "\"}";
}
inline void PrintTo(const TVectorRows::TRow& r, std::ostream* os) {
  *os << "{\"" << r.Text << "\", \"" << r.Command << "\", 0x" << std::hex << r.Code << std::dec
      << "}";
}

}  // namespace zt
