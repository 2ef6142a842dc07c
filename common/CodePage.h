#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Conversions between code page 950 (Big5 as Windows defines it) and Unicode.
// All text inside the program (names, lines, the prefix) is code page 950; the
// conversions happen only at the edges: UTF-8 names in newer MapSource files,
// and what the command line and the dialog show or take from the user.
namespace codepage {

// Code page 950 bytes to UTF-8. A byte sequence the code page does not define
// comes out as U+FFFD, so nothing vanishes from what the user sees.
std::string Cp950ToUtf8(std::string_view bytes);

// UTF-16 units to code page 950. A character the code page lacks, and an
// unpaired surrogate, become "?" (0x3F); no best-fit look-alikes are used.
std::string Utf16ToCp950(std::u16string_view units);

// UTF-8 text to code page 950, with the same substitution as Utf16ToCp950.
std::string Utf8ToCp950(std::string_view utf8);

}  // namespace codepage
