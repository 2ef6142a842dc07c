#include <gtest/gtest.h>

#include "common/CodePage.h"

TEST(CodePage, Big5RoundTrip) {
    // 中 is A4 A4, the arrow ← is A1 F6, the euro sign is A3 E1 in the Windows table.
    EXPECT_EQ(codepage::Cp950ToUtf8("\xA4\xA4"), "中");
    EXPECT_EQ(codepage::Cp950ToUtf8("\xA1\xF6"), "←");
    EXPECT_EQ(codepage::Cp950ToUtf8("\xA3\xE1"), "€");
    EXPECT_EQ(codepage::Utf8ToCp950("中AB"), "\xA4\xA4" "AB");
    EXPECT_EQ(codepage::Utf8ToCp950("←"), "\xA1\xF6");
}

TEST(CodePage, MissingCharactersBecomeQuestionMarks) {
    // No best-fit look-alikes: ö is not turned into o.
    EXPECT_EQ(codepage::Utf16ToCp950(u"\u00F6"), "?");
    EXPECT_EQ(codepage::Utf16ToCp950(u"a\xD800z"), "a?z");  // unpaired surrogate
}

TEST(CodePage, UndecodableBytesStayVisible) {
    // A lone lead byte at the end decodes to the replacement character.
    EXPECT_EQ(codepage::Cp950ToUtf8("A\xA4"), "A\xEF\xBF\xBD");
    EXPECT_EQ(codepage::Cp950ToUtf8(""), "");
    // Bytes that are no Big5 character at all.
    EXPECT_EQ(codepage::Cp950ToUtf8("\x80" "A\xFF"), "\xEF\xBF\xBD" "A\xEF\xBF\xBD");
}
