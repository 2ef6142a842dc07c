// Prints code page 950 as this build converts it, a line a code: every single
// byte, and every lead byte 81-FE before every byte, to UTF-8 ("A4A4 e4b8ad");
// every character of the Basic Multilingual Plane, and the first of every
// other plane between two letters, to code page 950 ("4e2d a4a4").
// check-cp950-table.sh compares its SHA-256 with the one both builds give.
#include <cstdio>
#include <string>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "common/CodePage.h"

static void Print(const char* code, const std::string& bytes) {
    std::printf("%s ", code);
    for (unsigned char byte : bytes) std::printf("%02x", byte);
    std::printf("\n");
}

int main() {
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);  // "\n" line ends, as on Linux
#endif
    char code[16];
    for (int byte = 0; byte <= 0xFF; ++byte) {
        std::snprintf(code, sizeof code, "%02X", byte);
        Print(code, codepage::Cp950ToUtf8(std::string(1, static_cast<char>(byte))));
    }
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0; trail <= 0xFF; ++trail) {
            std::snprintf(code, sizeof code, "%02X%02X", lead, trail);
            Print(code, codepage::Cp950ToUtf8(std::string{static_cast<char>(lead), static_cast<char>(trail)}));
        }
    }
    for (int unit = 0; unit <= 0xFFFF; ++unit) {
        std::snprintf(code, sizeof code, "%04x", unit);
        Print(code, codepage::Utf16ToCp950(std::u16string(1, static_cast<char16_t>(unit))));
    }
    for (char16_t high = 0xD800; high <= 0xDBFF; high += 0x40) {  // U+10000, U+20000, ...
        std::snprintf(code, sizeof code, "%04x%04x", high, 0xDC00);
        Print(code, codepage::Utf16ToCp950(std::u16string{u'a', high, u'\xDC00', u'b'}));
    }
    return 0;
}
