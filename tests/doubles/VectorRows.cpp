#include "tests/doubles/VectorRows.h"

namespace zt {

void TVectorRows::Delete(int index) {
  Rows.erase(Rows.begin() + index);
  // A list view drops the selection with the selected row.
  if (SelectedIndex == index)
    SelectedIndex = -1;
  else if (SelectedIndex > index)
    --SelectedIndex;
}

std::vector<HotkeyBinding> TVectorRows::Bindings() const {
  std::vector<HotkeyBinding> bindings;
  for (const TRow& row : Rows) bindings.push_back(HotkeyBinding{row.Text, row.Command});
  return bindings;
}

}  // namespace zt
