#pragma once
// Byte-wise text helpers shared by the binding list, the dispatcher and the
// settings-file layers. Only the ASCII letters fold; every other byte of the
// ANSI text stays as it is.

#include <string>

namespace zt {

// Upper-cases the ASCII letters a to z only.
std::string AsciiUpper(std::string text);
// Equal but for the case of the ASCII letters, as the profile functions match
// section and key names.
bool SameTextAscii(const std::string& a, const std::string& b);
// The integer a settings-file value stands for, read as the settings file's
// own integers always were: leading blanks, a sign, decimal digits or a hex
// form ("$1F", "0x1F"); anything else, or a value out of range, gives
// defaultValue.
int StrToIntDef(const std::string& text, int defaultValue);

// The blanks the profile functions take off both ends of a line, a name and a
// value: space, tab, VT, FF, CR, LF and ^Z (a DOS end of file).
bool IsProfileBlank(char c);
std::string TrimProfileBlanks(const std::string& text);
// A value as the profile functions read it out: one pair of matching quotes
// (' or ") around it taken off.
std::string StripProfileQuotes(const std::string& value);
// What a value written to a profile file is when the file is read again
// (before the quotes come off): its line ends at a CR, LF or NUL, and blanks
// come off both ends.
std::string ProfileValueReadBack(const std::string& written);

}  // namespace zt
