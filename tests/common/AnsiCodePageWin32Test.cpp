#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>

// Every Windows test runs once with the ANSI code page 950 and once with 1252
// (LORVANE_ANSI_CODE_PAGE says which): nothing may depend on it.
TEST(AnsiCodePage, IsTheOneOfThisRun) {
    std::printf("GetACP() = %u\n", GetACP());
    const char* expected = std::getenv("LORVANE_ANSI_CODE_PAGE");
    ASSERT_NE(expected, nullptr);
    EXPECT_EQ(GetACP(), std::strtoul(expected, nullptr, 10));
}
