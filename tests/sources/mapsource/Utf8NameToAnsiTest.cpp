#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/CodePage.h"
#include "sources/NameField.h"
#include "sources/mapsource/Utf8NameToAnsi.h"

namespace {

std::string Convert(const std::string& utf8, size_t capacity = 12) {
    std::string field(capacity, '\x7F');
    EXPECT_EQ(Utf8NameToAnsi(field.data(), capacity, utf8.c_str()), 1);
    return std::string(FieldText(field.data(), capacity));
}

}  // namespace

TEST(Utf8NameToAnsi, ConvertsToCodePage950) {
    struct Case {
        const char* what;
        std::string utf8;
        std::string expected;
    };
    const Case cases[] = {
        {"ASCII", "ABC", "ABC"},
        {"U+4E2D", "\xE4\xB8\xAD", "\xA4\xA4"},
        {"two-byte form", "\xC3\xB6", "?"},  // U+00F6 is not in code page 950
        {"continuation bits ignored", "\xE4\x41\x41", codepage::Utf16ToCp950(u"\u4041")},
        {"stray continuation bytes skipped", "A\x80\xBF" "B", "AB"},
        {"four-byte lead and its tail skipped", "A\xF0\x9F\x98\x80" "B", "AB"},
        {"0xF8 to 0xFF skipped", "A\xFF\xF8" "B", "AB"},
        {"three-byte form cut by the end", "A\xE4\xB8", "A"},
        {"two-byte form cut by the end", "AB\xC3", "AB"},
        {"overlong NUL ends the name", "AB\xC0\x80" "CD", "AB"},
        {"empty", "", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(Convert(c.utf8), c.expected) << c.what;
}

TEST(Utf8NameToAnsi, KeepsAtMost31UnitsAndCutsAtWholeCharacters) {
    EXPECT_EQ(Convert(std::string(40, 'x'), 64), std::string(31, 'x'));
    EXPECT_EQ(Convert(std::string(40, 'x')), std::string(11, 'x'));

    std::string six;
    for (int i = 0; i < 6; ++i) six += "\xE4\xB8\xAD";
    std::string fiveBig5;
    for (int i = 0; i < 5; ++i) fiveBig5 += "\xA4\xA4";
    EXPECT_EQ(Convert(six), fiveBig5);              // 10 bytes: a sixth would need 12
    EXPECT_EQ(Convert("A" + six), "A" + fiveBig5);  // exactly 11 bytes
    EXPECT_EQ(Convert("AB" + six), "AB" + fiveBig5.substr(0, 8));
}

TEST(Utf8NameToAnsi, WritesNothingPastTheField) {
    char field[16];
    std::memset(field, 0x55, sizeof field);
    Utf8NameToAnsi(field, 12, "ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    EXPECT_EQ(std::string(field, 12), std::string("ABCDEFGHIJK\0", 12));
    for (size_t i = 12; i < sizeof field; ++i) EXPECT_EQ(field[i], 0x55);
}
