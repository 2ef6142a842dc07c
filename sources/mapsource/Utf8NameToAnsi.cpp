#include "sources/mapsource/Utf8NameToAnsi.h"

#include <cstring>
#include <string>

#include "common/CodePage.h"
#include "sources/NameField.h"

namespace {

// The unit buffer of the decoding: 32 units, the last kept for the terminator.
constexpr size_t kMaxUnits = 31;

// Decodes one-, two- and three-byte sequences. Only the low six bits of a
// continuation byte are used. A byte that begins no sequence (a stray
// continuation byte, or the lead of a four-byte sequence) is skipped; a
// sequence cut short by the end of the text yields nothing, so nothing at or
// past the NUL is read.
std::u16string DecodeUnits(const unsigned char* text, size_t length) {
    std::u16string units;
    for (size_t i = 0; i < length && units.size() < kMaxUnits;) {
        const unsigned b = text[i];
        char16_t unit;
        if (b < 0x80) {
            unit = static_cast<char16_t>(b);
            i += 1;
        } else if ((b & 0xE0) == 0xC0) {
            if (length - i < 2) break;
            unit = static_cast<char16_t>(((b & 0x1F) << 6) | (text[i + 1] & 0x3F));
            i += 2;
        } else if ((b & 0xF0) == 0xE0) {
            if (length - i < 3) break;
            unit = static_cast<char16_t>(((b & 0x0F) << 12) | ((text[i + 1] & 0x3F) << 6) | (text[i + 2] & 0x3F));
            i += 3;
        } else {
            i += 1;
            continue;
        }
        // An overlong form of NUL ends the text just as the NUL would.
        if (unit == 0) break;
        units.push_back(unit);
    }
    return units;
}

}  // namespace

int Utf8NameToAnsi(char* name, size_t capacity, const char* utf8) {
    const auto* text = reinterpret_cast<const unsigned char*>(utf8);
    std::string converted = codepage::Utf16ToCp950(DecodeUnits(text, std::strlen(utf8)));
    StoreName(name, capacity, converted);
    return 1;
}
