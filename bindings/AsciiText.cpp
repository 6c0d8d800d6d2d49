#include "bindings/AsciiText.h"

#include <cstdint>

namespace zt {

namespace {

char UpperAscii(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string AsciiUpper(std::string text) {
  for (char& c : text) c = UpperAscii(c);
  return text;
}

bool SameTextAscii(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
  return true;
}

int StrToIntDef(const std::string& text, int defaultValue) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n && text[i] == ' ') ++i;
  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';

  bool hex = false;
  if (i < n && text[i] == '$') {
    hex = true;
    ++i;
  } else if (i + 1 < n && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i == n) return defaultValue;

  // Decimal must fit the signed range; hex may use all 32 bits and wraps, as
  // $FFFFFFFF always meant -1.
  const std::uint64_t limit = hex ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
  std::uint64_t value = 0;
  for (; i < n; ++i) {
    const int digit =
        hex ? HexDigit(text[i]) : ((text[i] >= '0' && text[i] <= '9') ? text[i] - '0' : -1);
    if (digit < 0) return defaultValue;
    value = value * (hex ? 16 : 10) + static_cast<std::uint64_t>(digit);
    if (value > limit) return defaultValue;
  }
  std::uint32_t bits = static_cast<std::uint32_t>(value);
  if (negative) bits = 0u - bits;
  return static_cast<int>(bits);
}

bool IsProfileBlank(char c) {
  return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r' || c == '\n' || c == 0x1A;
}

std::string TrimProfileBlanks(const std::string& text) {
  std::size_t first = 0;
  std::size_t last = text.size();
  while (first < last && IsProfileBlank(text[first])) ++first;
  while (last > first && IsProfileBlank(text[last - 1])) --last;
  return text.substr(first, last - first);
}

std::string StripProfileQuotes(const std::string& value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    return value.substr(1, value.size() - 2);
  return value;
}

std::string ProfileValueReadBack(const std::string& written) {
  return TrimProfileBlanks(written.substr(0, written.find_first_of(std::string("\r\n\0", 3))));
}

}  // namespace zt
