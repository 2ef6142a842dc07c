// The number reader of GPX files, alike on every build: the nearest double
// where a conversion in steps goes wrong, and the texts it refuses.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "common/DecimalNumber.h"

namespace {

uint64_t Bits(double value) {
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

const std::string kZeros(800, '0'), kNines(800, '9');

}  // namespace

TEST(DecimalNumber, NearestDoubleTiesToEven) {
    const std::vector<std::pair<std::string, double>> rows = {
        {"0", 0.0}, {"-0.0", -0.0}, {".5", 0.5}, {"5.", 5.0}, {"007.2500", 7.25}, {"-12.6", -0x1.9333333333333p+3},
        {"4.2e-8", 0x1.68c6fa0b2f9a3p-25}, {"1E+3", 1000.0}, {"0.1", 0x1.999999999999ap-4},
        {"0.30000000000000004", 0x1.3333333333334p-2}, {"1e23", 0x1.52d02c7e14af6p+76},
        {"123456789012345678901234567890", 0x1.8ee90ff6c373ep+96}, {"0." + kZeros + "1e801", 1.0},
        {"9007199254740993", 0x1p+53},                // halfway: to the even neighbour below
        {"9007199254740995", 0x1.0000000000002p+53},  // halfway: to the even neighbour above
        {"9007199254740993." + kZeros + "1", 0x1.0000000000001p+53},  // past halfway in the 818th digit
        {"9007199254740992." + kNines, 0x1p+53},
        {"2.2250738585072011e-308", 0x0.fffffffffffffp-1022},  // the largest subnormal
        {"2.2250738585072012e-308", 0x1p-1022},
        {"2.4703282292062328e-324", 0x1p-1074},  // just over half the smallest subnormal
        {"2.4703282292062327e-324", 0.0}, {"-1e-400", -0.0},
        {"1.7976931348623158e308", 0x1.fffffffffffffp+1023},  // below halfway to 2^1024
    };
    for (const auto& [text, expected] : rows) {
        double value = 1;
        EXPECT_TRUE(decimal::Parse(text, value)) << text.substr(0, 40);
        EXPECT_EQ(Bits(value), Bits(expected)) << text.substr(0, 40);
    }
}

TEST(DecimalNumber, RefusesOtherTextsAndNumbersBeyondTheLargestDouble) {
    for (const std::string& text : std::vector<std::string>{"", "-", ".", "+1", "--1", "1e", "1e+", "e5", ".e1", "1.2.3",
                                                            "1,5", " 1", "1 ", "0x10", "inf", "nan",
                                                            "1.7976931348623159e308", "1e400", "1" + kZeros}) {
        double value = 1;
        EXPECT_FALSE(decimal::Parse(text, value)) << text.substr(0, 40);
        EXPECT_EQ(value, 1);
    }
}
