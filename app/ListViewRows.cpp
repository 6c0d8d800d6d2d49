#include "app/ListViewRows.h"

#include <commctrl.h>

#include <string>
#include <vector>

#include "app/Application.h"

namespace zt {

int TListViewRows::Count() const {
  return static_cast<int>(::SendMessageW(FListView, LVM_GETITEMCOUNT, 0, 0));
}

std::wstring TListViewRows::ItemText(int index, int subItem) const {
  if (!ValidIndex(index)) return {};
  // The list view says nothing about a text's length: grow until it fits.
  std::vector<wchar_t> buffer(256);
  for (;;) {
    LVITEMW item{};
    item.iSubItem = subItem;
    item.pszText = buffer.data();
    item.cchTextMax = static_cast<int>(buffer.size());
    LRESULT length = ::SendMessageW(FListView, LVM_GETITEMTEXTW, static_cast<WPARAM>(index),
                                    reinterpret_cast<LPARAM>(&item));
    if (length < static_cast<LRESULT>(buffer.size()) - 1) return std::wstring(item.pszText);
    buffer.resize(buffer.size() * 4);
  }
}

std::string TListViewRows::Text(int index) const {
  return WideToAnsi(ItemText(index, 0));
}

std::string TListViewRows::Command(int index) const {
  return WideToAnsi(ItemText(index, 1));
}

THotKeyCode TListViewRows::Code(int index) const {
  if (!ValidIndex(index)) return 0;
  LVITEMW item{};
  item.mask = LVIF_PARAM;
  item.iItem = index;
  if (!::SendMessageW(FListView, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return 0;
  return static_cast<THotKeyCode>(item.lParam);
}

void TListViewRows::SetText(int index, const std::string& text, THotKeyCode code) {
  if (!ValidIndex(index)) return;
  std::wstring wide = AnsiToWide(text);
  LVITEMW item{};
  item.mask = LVIF_TEXT | LVIF_PARAM;
  item.iItem = index;
  item.pszText = wide.data();
  item.lParam = static_cast<LPARAM>(code);
  ::SendMessageW(FListView, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void TListViewRows::Append(const HotkeyBinding& binding, THotKeyCode code) {
  std::wstring text = AnsiToWide(binding.Text);
  std::wstring command = AnsiToWide(binding.Command);
  LVITEMW item{};
  item.mask = LVIF_TEXT | LVIF_PARAM;
  item.iItem = Count();
  item.pszText = text.data();
  item.lParam = static_cast<LPARAM>(code);
  int index = static_cast<int>(
      ::SendMessageW(FListView, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
  if (index < 0) return;
  LVITEMW sub{};
  sub.iSubItem = 1;
  sub.pszText = command.data();
  ::SendMessageW(FListView, LVM_SETITEMTEXTW, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&sub));
}

void TListViewRows::Delete(int index) {
  if (ValidIndex(index)) ::SendMessageW(FListView, LVM_DELETEITEM, static_cast<WPARAM>(index), 0);
}

int TListViewRows::Selected() const {
  return static_cast<int>(
      ::SendMessageW(FListView, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

}  // namespace zt
