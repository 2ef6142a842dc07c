// Writes the code page 950 table the web build compiles in (common/
// CodePageTable.cpp), from this project's own conversions with ICU, the ones
// CodePage.TableAsOnWindows checks: the UTF-16 unit of every lead and trail
// byte pair (U+FFFD where the code page has none), and the characters whose
// code is not the one pair that reads as them (two pairs read as one
// character, or a single byte kept only for round trips).
//   lorvane-cp950-table OUTPUT_FILE
#include <cstdio>
#include <map>
#include <string>

#include "common/CodePage.h"

namespace {

bool IsTrail(int byte) { return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0xA1 && byte <= 0xFE); }

// The one UTF-16 unit of a code page 950 character as UTF-8 (all of them are
// in the Basic Multilingual Plane), or 0 for anything else.
char16_t OneUnit(const std::string& utf8) {
    const auto byte = [&](size_t i) { return static_cast<unsigned>(static_cast<unsigned char>(utf8[i])); };
    if (utf8.size() == 1 && byte(0) < 0x80) return static_cast<char16_t>(byte(0));
    if (utf8.size() == 2) return static_cast<char16_t>(((byte(0) & 0x1F) << 6) | (byte(1) & 0x3F));
    if (utf8.size() == 3)
        return static_cast<char16_t>(((byte(0) & 0x0F) << 12) | ((byte(1) & 0x3F) << 6) | (byte(2) & 0x3F));
    return 0;
}

unsigned Code(const std::string& bytes) {
    unsigned code = 0;
    for (const unsigned char byte : bytes) code = code << 8 | byte;
    return code;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: lorvane-cp950-table OUTPUT_FILE\n");
        return 2;
    }
    std::FILE* out = std::fopen(argv[1], "w");
    if (!out) {
        std::perror(argv[1]);
        return 1;
    }
    std::fprintf(out, "// Written by lorvane-cp950-table (common/table/WriteCp950Table.cpp).\n");
    std::fprintf(out, "constexpr char16_t kDoubleByteUnits[kLeadCount * kTrailCount] = {");
    std::map<char16_t, unsigned> readAs;  // a character to the last pair that reads as it
    size_t count = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (!IsTrail(trail)) continue;
            const std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
            const char16_t unit = OneUnit(codepage::Cp950ToUtf8(pair));
            if (unit == 0) {
                std::fprintf(stderr, "lorvane-cp950-table: %02X%02X is no single character\n", lead, trail);
                return 1;
            }
            if (unit != 0xFFFD) readAs[unit] = Code(pair);
            std::fprintf(out, "%s0x%04x,", count++ % 12 == 0 ? "\n    " : "", unsigned{unit});
        }
    }
    std::fprintf(out, "\n};\nconstexpr CodeOfUnit kCodesNotReadBack[] = {\n");
    for (unsigned unit = 0x80; unit <= 0xFFFF; ++unit) {
        const std::string bytes = codepage::Utf16ToCp950(std::u16string(1, static_cast<char16_t>(unit)));
        const auto read = readAs.find(static_cast<char16_t>(unit));
        const unsigned code = bytes == "?" ? 0 : Code(bytes);
        if (code != (read == readAs.end() ? 0 : read->second))
            std::fprintf(out, "    {0x%04x, 0x%04x},\n", unit, code);
    }
    std::fprintf(out, "};\n");
    return std::fclose(out) == 0 ? 0 : 1;
}
