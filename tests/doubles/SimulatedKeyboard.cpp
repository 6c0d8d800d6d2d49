#include "tests/doubles/SimulatedKeyboard.h"

#include <algorithm>
#include <stdexcept>

namespace zt {

void TSimulatedLayout::SetKey(unsigned vk, unsigned scan, const std::string& name) {
  ScanCodes[vk] = scan;
  SetName(scan, false, name);
}

void TSimulatedLayout::SetName(unsigned scan, bool extended, const std::string& name) {
  Names[NameKey(scan, extended)] = name;
}

namespace {

// Set-1 scan codes of a 101/102-key keyboard; names filled by each layout.
struct TKeyScan {
  unsigned Vk;
  unsigned Scan;
};

constexpr TKeyScan LETTER_SCANS[] = {
    {'A', 0x1E}, {'B', 0x30}, {'C', 0x2E}, {'D', 0x20}, {'E', 0x12}, {'F', 0x21}, {'G', 0x22},
    {'H', 0x23}, {'I', 0x17}, {'J', 0x24}, {'K', 0x25}, {'L', 0x26}, {'M', 0x32}, {'N', 0x31},
    {'O', 0x18}, {'P', 0x19}, {'Q', 0x10}, {'R', 0x13}, {'S', 0x1F}, {'T', 0x14}, {'U', 0x16},
    {'V', 0x2F}, {'W', 0x11}, {'X', 0x2D}, {'Y', 0x15}, {'Z', 0x2C}};

// Keys whose scan code is the same in every simulated layout.
constexpr TKeyScan COMMON_SCANS[] = {
    {0x08, 0x0E}, {0x09, 0x0F}, {0x0C, 0x4C}, {0x0D, 0x1C}, {0x10, 0x2A}, {0x11, 0x1D},
    {0x12, 0x38}, {0x13, 0x45}, {0x14, 0x3A}, {0x1B, 0x01}, {0x20, 0x39}, {0x21, 0x49},
    {0x22, 0x51}, {0x23, 0x4F}, {0x24, 0x47}, {0x25, 0x4B}, {0x26, 0x48}, {0x27, 0x4D},
    {0x28, 0x50}, {0x2C, 0x54}, {0x2D, 0x52}, {0x2E, 0x53}, {0x5B, 0x5B}, {0x5C, 0x5C},
    {0x5D, 0x5D}, {0x60, 0x52}, {0x61, 0x4F}, {0x62, 0x50}, {0x63, 0x51}, {0x64, 0x4B},
    {0x65, 0x4C}, {0x66, 0x4D}, {0x67, 0x47}, {0x68, 0x48}, {0x69, 0x49}, {0x6A, 0x37},
    {0x6B, 0x4E}, {0x6D, 0x4A}, {0x6E, 0x53}, {0x6F, 0x35}, {0x70, 0x3B}, {0x71, 0x3C},
    {0x72, 0x3D}, {0x73, 0x3E}, {0x74, 0x3F}, {0x75, 0x40}, {0x76, 0x41}, {0x77, 0x42},
    {0x78, 0x43}, {0x79, 0x44}, {0x7A, 0x57}, {0x7B, 0x58}, {0x90, 0x45}, {0x91, 0x46},
    {0xA0, 0x2A}, {0xA1, 0x36}, {0xA2, 0x1D}, {0xA3, 0x1D}, {0xA4, 0x38}, {0xA5, 0x38},
    {0xBA, 0x27}, {0xBB, 0x0D}, {0xBC, 0x33}, {0xBD, 0x0C}, {0xBE, 0x34}, {0xBF, 0x35},
    {0xC0, 0x29}, {0xDB, 0x1A}, {0xDC, 0x2B}, {0xDD, 0x1B}, {0xDE, 0x28}};

TSimulatedLayout BaseLayout(LayoutHandle handle, const std::string& id) {
  TSimulatedLayout layout;
  layout.Handle = handle;
  layout.Id = id;
  for (const TKeyScan& k : COMMON_SCANS) layout.ScanCodes[k.Vk] = k.Scan;
  for (const TKeyScan& k : LETTER_SCANS) layout.ScanCodes[k.Vk] = k.Scan;
  const unsigned digitScans[] = {0x0B, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A};
  for (unsigned d = 0; d < 10; ++d) layout.ScanCodes['0' + d] = digitScans[d];
  return layout;
}

// Letters, digits and function keys name themselves in every named layout.
void NameLettersDigitsAndF(TSimulatedLayout& layout) {
  for (const TKeyScan& k : LETTER_SCANS) {
    layout.SetName(layout.ScanCodes.at(k.Vk), false, std::string(1, static_cast<char>(k.Vk)));
  }
  for (unsigned d = 0; d < 10; ++d) {
    layout.SetName(layout.ScanCodes.at('0' + d), false, std::string(1, static_cast<char>('0' + d)));
  }
  for (unsigned f = 0; f < 12; ++f) {
    layout.SetName(layout.ScanCodes.at(0x70 + f), false, "F" + std::to_string(f + 1));
  }
}

struct TScanName {
  unsigned Scan;
  bool Extended;
  const char* Name;
};

void Name(TSimulatedLayout& layout, std::initializer_list<TScanName> names) {
  for (const TScanName& n : names) layout.SetName(n.Scan, n.Extended, n.Name);
}

}  // namespace

TSimulatedLayout UsEnglishLayout() {
  TSimulatedLayout layout = BaseLayout(SimulatedKeyboard::US_ENGLISH, "00000409");
  NameLettersDigitsAndF(layout);
  Name(layout, {{0x0E, false, "Backspace"},   {0x0F, false, "Tab"},
                {0x1C, false, "Enter"},       {0x1C, true, "Num Enter"},
                {0x2A, false, "Shift"},       {0x36, false, "Right Shift"},
                {0x1D, false, "Ctrl"},        {0x1D, true, "Right Ctrl"},
                {0x38, false, "Alt"},         {0x38, true, "Right Alt"},
                {0x45, false, "Pause"},       {0x45, true, "Num Lock"},
                {0x3A, false, "Caps Lock"},   {0x01, false, "Esc"},
                {0x39, false, "Space"},       {0x49, true, "Page Up"},
                {0x51, true, "Page Down"},    {0x4F, true, "End"},
                {0x47, true, "Home"},         {0x4B, true, "Left"},
                {0x48, true, "Up"},           {0x4D, true, "Right"},
                {0x50, true, "Down"},         {0x52, true, "Insert"},
                {0x53, true, "Delete"},       {0x54, false, "Sys Req"},
                {0x5B, true, "Left Windows"}, {0x5C, true, "Right Windows"},
                {0x5D, true, "Application"},  {0x52, false, "Num 0"},
                {0x4F, false, "Num 1"},       {0x50, false, "Num 2"},
                {0x51, false, "Num 3"},       {0x4B, false, "Num 4"},
                {0x4C, false, "Num 5"},       {0x4D, false, "Num 6"},
                {0x47, false, "Num 7"},       {0x48, false, "Num 8"},
                {0x49, false, "Num 9"},       {0x53, false, "Num Del"},
                {0x37, false, "Num *"},       {0x4E, false, "Num +"},
                {0x4A, false, "Num -"},       {0x35, true, "Num /"},
                {0x46, false, "Scroll Lock"}, {0x27, false, ";"},
                {0x0D, false, "="},           {0x33, false, ","},
                {0x0C, false, "-"},           {0x34, false, "."},
                {0x35, false, "/"},           {0x29, false, "`"},
                {0x1A, false, "["},           {0x2B, false, "\\"},
                {0x1B, false, "]"},           {0x28, false, "'"}});
  return layout;
}

TSimulatedLayout CapitalsLayout() {
  TSimulatedLayout layout = BaseLayout(SimulatedKeyboard::CAPITALS, "00000407");
  layout.ScanCodes['Y'] = 0x2C;
  layout.ScanCodes['Z'] = 0x15;
  NameLettersDigitsAndF(layout);
  Name(layout, {{0x0E, false,
                 "R\xDC"
                 "CKTASTE"},
                {0x0F, false, "TABULATOR"},
                {0x1C, false, "EINGABE"},
                {0x2A, false, "UMSCHALT"},
                {0x36, false, "UMSCHALT RECHTS"},
                {0x1D, false, "STRG"},
                {0x1D, true, "STRG-RECHTS"},
                {0x38, false, "ALT"},
                {0x38, true, "ALT GR"},
                {0x3A, false, "FESTSTELL"},
                {0x01, false, "ESC"},
                {0x39, false, "LEER"},
                {0x49, true, "BILD-AUF"},
                {0x51, true, "BILD-AB"},
                {0x4F, true, "ENDE"},
                {0x47, true, "POS1"},
                {0x4B, true, "NACH-LINKS"},
                {0x48, true, "NACH-OBEN"},
                {0x4D, true, "NACH-RECHTS"},
                {0x50, true, "NACH-UNTEN"},
                {0x52, true, "EINFG"},
                {0x53, true, "ENTF"},
                {0x37, false, "NUM *"},
                {0x4E, false, "NUM +"}});
  return layout;
}

TSimulatedLayout CyrillicLayout() {
  TSimulatedLayout layout = BaseLayout(SimulatedKeyboard::CYRILLIC, "00000419");
  NameLettersDigitsAndF(layout);
  Name(layout, {{0x2A, false, "\xD1\xE4\xE2\xE8\xE3"},      // Сдвиг
                {0x1D, false, "\xCA\xEE\xED\xF2\xF0"},      // Контр
                {0x38, false, "\xC0\xEB\xFC\xF2"},          // Альт
                {0x39, false, "\xCF\xF0\xEE\xE1\xE5\xEB"},  // Пробел
                {0x1C, false, "\xC2\xE2\xEE\xE4"},          // Ввод
                {0x01, false, "\xCE\xF2\xEC\xE5\xED\xE0"},  // Отмена
                {0x29, false, "\xA8"}});                    // Ё
  return layout;
}

TSimulatedLayout NamelessLayout() {
  return BaseLayout(SimulatedKeyboard::NAMELESS, "00010409");
}

SimulatedKeyboard::SimulatedKeyboard() {
  AddLayout(UsEnglishLayout());
  AddLayout(CapitalsLayout());
  AddLayout(CyrillicLayout());
  AddLayout(NamelessLayout());
  FInstalled = {US_ENGLISH};
  FCurrent = US_ENGLISH;
}

void SimulatedKeyboard::AddLayout(const TSimulatedLayout& layout) {
  FLayouts[layout.Handle] = layout;
}

TSimulatedLayout& SimulatedKeyboard::Layout(LayoutHandle handle) {
  auto it = FLayouts.find(handle);
  if (it == FLayouts.end()) throw std::invalid_argument("unknown simulated layout");
  return it->second;
}

const TSimulatedLayout* SimulatedKeyboard::Find(LayoutHandle handle) const {
  auto it = FLayouts.find(handle);
  return it == FLayouts.end() ? nullptr : &it->second;
}

void SimulatedKeyboard::SetInstalled(const std::vector<LayoutHandle>& layouts) {
  for (LayoutHandle h : layouts) {
    if (Find(h) == nullptr) throw std::invalid_argument("unknown simulated layout");
  }
  FInstalled = layouts;
  if (!IsInstalled(FCurrent)) FCurrent = FInstalled.empty() ? 0 : FInstalled.front();
}

void SimulatedKeyboard::SetCurrent(LayoutHandle layout) {
  if (Find(layout) == nullptr) throw std::invalid_argument("unknown simulated layout");
  if (!IsInstalled(layout)) FInstalled.push_back(layout);
  FCurrent = layout;
}

bool SimulatedKeyboard::IsInstalled(LayoutHandle layout) const {
  return std::find(FInstalled.begin(), FInstalled.end(), layout) != FInstalled.end();
}

unsigned SimulatedKeyboard::ScanCode(unsigned vk) {
  return ScanCodeInLayout(vk, FCurrent);
}

unsigned SimulatedKeyboard::ScanCodeInLayout(unsigned vk, LayoutHandle layout) {
  if (layout == 0) layout = FCurrent;
  if (!IsInstalled(layout)) return 0;
  const TSimulatedLayout* l = Find(layout);
  auto it = l->ScanCodes.find(vk);
  return it == l->ScanCodes.end() ? 0 : it->second;
}

std::string SimulatedKeyboard::KeyNameText(long lParam) {
  ++KeyNameCalls;
  const TSimulatedLayout* l = Find(FCurrent);
  if (l == nullptr) return std::string();
  const auto bits = static_cast<unsigned long>(lParam);
  const unsigned scan = (bits >> 16) & 0xFF;
  const bool extended = (bits & 0x01000000UL) != 0;
  auto it = l->Names.find(TSimulatedLayout::NameKey(scan, extended));
  if (it == l->Names.end()) return std::string();
  std::string name = it->second.substr(0, 256);
  return name.substr(0, name.find('\0'));
}

void SimulatedKeyboard::ActivateLayout(LayoutHandle layout) {
  Activations.push_back(layout);
  if (layout == HKL_PREV_LAYOUT || layout == HKL_NEXT_LAYOUT) {
    if (FInstalled.empty()) return;
    auto it = std::find(FInstalled.begin(), FInstalled.end(), FCurrent);
    std::size_t i = it == FInstalled.end() ? 0 : static_cast<std::size_t>(it - FInstalled.begin());
    const std::size_t n = FInstalled.size();
    i = layout == HKL_NEXT_LAYOUT ? (i + 1) % n : (i + n - 1) % n;
    FCurrent = FInstalled[i];
    return;
  }
  if (IsInstalled(layout)) FCurrent = layout;
}

LayoutHandle SimulatedKeyboard::LoadLayout(const std::string& id) {
  ++LoadCount;
  if (FailLoad) return 0;
  for (const auto& [handle, layout] : FLayouts) {
    if (layout.Id == id) {
      if (!IsInstalled(handle)) FInstalled.push_back(handle);
      return handle;
    }
  }
  return 0;
}

void SimulatedKeyboard::UnloadLayout(LayoutHandle layout) {
  ++UnloadCount;
  Unloaded.push_back(layout);
  auto it = std::find(FInstalled.begin(), FInstalled.end(), layout);
  if (it == FInstalled.end()) return;
  FInstalled.erase(it);
  if (FCurrent == layout) FCurrent = FInstalled.empty() ? 0 : FInstalled.front();
}

unsigned char SimulatedKeyboard::FoldCase(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 32);
  if (c >= 0xE0) return static_cast<unsigned char>(c - 32);
  if (c == 0xB8) return 0xA8;
  return c;
}

bool SimulatedKeyboard::SameTextIgnoreCase(const std::string& a, const std::string& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return FoldCase(static_cast<unsigned char>(x)) == FoldCase(static_cast<unsigned char>(y));
  });
}

}  // namespace zt
