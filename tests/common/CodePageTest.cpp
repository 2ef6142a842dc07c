// The codes the program relies on; CodePage.TableAsOnWindows checks the whole table both ways on every build.
#include <gtest/gtest.h>

#include "common/CodePage.h"

TEST(CodePage, BothWaysWithQuestionMarksAndReplacementCharacters) {
    EXPECT_EQ(codepage::Cp950ToUtf8("\xA4\xA4\xA1\xF6\xA3\xE1"), "中←€");
    EXPECT_EQ(codepage::Utf8ToCp950("中AB←ö"), "\xA4\xA4" "AB\xA1\xF6?");  // no best fit: ö does not become o
    EXPECT_EQ(codepage::Cp950ToUtf8("\x80" "A\xA4"), "\xEF\xBF\xBD" "A\xEF\xBF\xBD");  // no character; a lone lead byte
}
