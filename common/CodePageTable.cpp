#include "common/CodePage.h"

#include <vector>

// The conversions from a table compiled in, for builds with neither ICU nor
// the Windows calls (the web page). The table is written at build time from
// this project's ICU conversions (common/table/WriteCp950Table.cpp), so every
// build reads code page 950 alike; the reading of bytes that are no character
// follows the Windows one.
namespace codepage {
namespace {

constexpr int kLeadCount = 0xFE - 0x81 + 1;
constexpr int kTrailCount = (0x7E - 0x40 + 1) + (0xFE - 0xA1 + 1);

// A character whose code is not the last pair reading as it: code is one
// byte below 0x100, two bytes above, none when 0.
struct CodeOfUnit {
    char16_t unit;
    unsigned short code;
};

#include "Cp950Table.inc"

constexpr char16_t kReplacement = u'\uFFFD';

bool IsLead(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }
bool IsTrail(unsigned char byte) { return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0xA1 && byte <= 0xFE); }
// Bytes in the trail range of the Big5 extensions that code page 950 leaves
// unassigned: with the lead byte before them they are one unknown character.
bool IsUnusedTrail(unsigned char byte) { return byte >= 0x80 && byte <= 0xA0; }

char16_t PairUnit(unsigned char lead, unsigned char trail) {
    const int column = trail <= 0x7E ? trail - 0x40 : trail - 0xA1 + (0x7E - 0x40 + 1);
    return kDoubleByteUnits[(lead - 0x81) * kTrailCount + column];
}

// The code of every character of the Basic Multilingual Plane from U+0080
// (0: none), made from the table on first use.
const std::vector<unsigned short>& CodesOfUnits() {
    static const std::vector<unsigned short> codes = [] {
        std::vector<unsigned short> result(0x10000, 0);
        for (int lead = 0x81; lead <= 0xFE; ++lead) {
            for (int trail = 0x40; trail <= 0xFE; ++trail) {
                const auto leadByte = static_cast<unsigned char>(lead), trailByte = static_cast<unsigned char>(trail);
                if (!IsTrail(trailByte)) continue;
                const char16_t unit = PairUnit(leadByte, trailByte);
                if (unit != kReplacement) result[unit] = static_cast<unsigned short>(lead << 8 | trail);
            }
        }
        for (const CodeOfUnit& exception : kCodesNotReadBack) result[exception.unit] = exception.code;
        return result;
    }();
    return codes;
}

void AppendUtf8(std::string& utf8, char16_t unit) {
    if (unit < 0x80) {
        utf8.push_back(static_cast<char>(unit));
    } else if (unit < 0x800) {
        utf8.push_back(static_cast<char>(0xC0 | unit >> 6));
        utf8.push_back(static_cast<char>(0x80 | (unit & 0x3F)));
    } else {
        utf8.push_back(static_cast<char>(0xE0 | unit >> 12));
        utf8.push_back(static_cast<char>(0x80 | (unit >> 6 & 0x3F)));
        utf8.push_back(static_cast<char>(0x80 | (unit & 0x3F)));
    }
}

// UTF-8 to UTF-16, each maximal part of a sequence that is no character
// becoming one U+FFFD (the Unicode standard's recommended practice, ICU's).
std::u16string Utf8ToUtf16(std::string_view utf8) {
    std::u16string units;
    units.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        const auto byte = static_cast<unsigned char>(utf8[i++]);
        if (byte < 0x80) {
            units.push_back(byte);
            continue;
        }
        // The length of the sequence and the range of its second byte, which
        // excludes overlong forms, surrogates and codes past U+10FFFF.
        int length = 0;
        unsigned char low = 0x80, high = 0xBF;
        if (byte >= 0xC2 && byte <= 0xDF) {
            length = 2;
        } else if (byte >= 0xE0 && byte <= 0xEF) {
            length = 3;
            low = byte == 0xE0 ? 0xA0 : 0x80;
            high = byte == 0xED ? 0x9F : 0xBF;
        } else if (byte >= 0xF0 && byte <= 0xF4) {
            length = 4;
            low = byte == 0xF0 ? 0x90 : 0x80;
            high = byte == 0xF4 ? 0x8F : 0xBF;
        }
        char32_t code = byte & (0x7F >> length);
        int taken = 1;
        for (; length > 0 && taken < length && i < utf8.size(); ++taken, ++i) {
            const auto next = static_cast<unsigned char>(utf8[i]);
            if (next < (taken == 1 ? low : 0x80) || next > (taken == 1 ? high : 0xBF)) break;
            code = code << 6 | (next & 0x3F);
        }
        if (length == 0 || taken < length) {
            units.push_back(kReplacement);
        } else if (code >= 0x10000) {
            units.push_back(static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)));
            units.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
        } else {
            units.push_back(static_cast<char16_t>(code));
        }
    }
    return units;
}

}  // namespace

std::string Cp950ToUtf8(std::string_view bytes) {
    // A lead byte with a valid or an unused trail byte is one character (or
    // one U+FFFD), a lead byte before any other byte is a U+FFFD of its own
    // and the next byte starts afresh. The single bytes 0x80 and 0xFF are no
    // Big5 characters and show as U+FFFD.
    std::string utf8;
    utf8.reserve(bytes.size() * 2);
    for (size_t i = 0; i < bytes.size();) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        const auto next = i + 1 < bytes.size() ? static_cast<unsigned char>(bytes[i + 1]) : 0;
        if (byte < 0x80) {
            AppendUtf8(utf8, byte);
            ++i;
        } else if (IsLead(byte) && i + 1 < bytes.size() && IsTrail(next)) {
            AppendUtf8(utf8, PairUnit(byte, next));
            i += 2;
        } else {
            AppendUtf8(utf8, kReplacement);
            i += IsLead(byte) && i + 1 < bytes.size() && IsUnusedTrail(next) ? 2 : 1;
        }
    }
    return utf8;
}

std::string Utf16ToCp950(std::u16string_view units) {
    const std::vector<unsigned short>& codes = CodesOfUnits();
    std::string bytes;
    bytes.reserve(units.size() * 2);
    for (size_t i = 0; i < units.size(); ++i) {
        if (units[i] < 0x80) {
            bytes.push_back(static_cast<char>(units[i]));
            continue;
        }
        // A character beyond the Basic Multilingual Plane is one "?", as is
        // an unpaired surrogate.
        const bool pair = units[i] >= 0xD800 && units[i] <= 0xDBFF && i + 1 < units.size() &&
                          units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF;
        const unsigned code = pair ? 0 : codes[units[i]];
        i += pair ? 1 : 0;
        if (code == 0) {
            bytes.push_back('?');
        } else {
            if (code > 0xFF) bytes.push_back(static_cast<char>(code >> 8));
            bytes.push_back(static_cast<char>(code & 0xFF));
        }
    }
    return bytes;
}

std::string Utf8ToCp950(std::string_view utf8) { return Utf16ToCp950(Utf8ToUtf16(utf8)); }

}  // namespace codepage
