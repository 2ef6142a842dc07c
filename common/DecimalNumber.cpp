#include "common/DecimalNumber.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace decimal {
namespace {

// Digits kept of a long number: a double lies exactly halfway between two
// others only for a decimal of at most 767 significant digits, so the digits
// past these matter only as "more than nothing" (one digit 1 stands for them).
constexpr size_t kMaxDigits = 780;
// Past these the number is beyond any double, or below half the smallest.
constexpr int64_t kMaxTenPower = 310;
constexpr int64_t kMinTenPower = -325;

constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                        1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// An unsigned integer of any size, 32 bits a word, least significant first,
// with the few operations the exact comparison needs.
class BigNumber {
public:
    explicit BigNumber(uint64_t value) {
        for (; value != 0; value >>= 32) words_.push_back(static_cast<uint32_t>(value));
    }

    void MultiplyAdd(uint32_t factor, uint32_t addend) {
        uint64_t carry = addend;
        for (uint32_t& word : words_) {
            carry += uint64_t{word} * factor;
            word = static_cast<uint32_t>(carry);
            carry >>= 32;
        }
        if (carry != 0) words_.push_back(static_cast<uint32_t>(carry));
    }

    void MultiplyByPowerOfFive(int64_t exponent) {
        for (; exponent >= 13; exponent -= 13) MultiplyAdd(1220703125, 0);  // 5^13
        uint32_t rest = 1;
        for (; exponent > 0; --exponent) rest *= 5;
        MultiplyAdd(rest, 0);
    }

    void ShiftLeft(int64_t bits) {
        if (words_.empty() || bits <= 0) return;
        words_.insert(words_.begin(), static_cast<size_t>(bits / 32), 0);
        const int shift = static_cast<int>(bits % 32);
        if (shift == 0) return;
        uint32_t carry = 0;
        for (uint32_t& word : words_) {
            const uint32_t next = word >> (32 - shift);
            word = (word << shift) | carry;
            carry = next;
        }
        if (carry != 0) words_.push_back(carry);
    }

    // -1, 0 or 1 as a is less than, equal to or greater than b.
    friend int Compare(const BigNumber& a, const BigNumber& b) {
        if (a.words_.size() != b.words_.size()) return a.words_.size() < b.words_.size() ? -1 : 1;
        for (size_t i = a.words_.size(); i-- > 0;) {
            if (a.words_[i] != b.words_[i]) return a.words_[i] < b.words_[i] ? -1 : 1;
        }
        return 0;
    }

private:
    std::vector<uint32_t> words_;  // no zero word at the top
};

// A finite double of at least zero as mantissa * 2^exponent, the mantissa an
// integer of at most 53 bits (fewer below the normal range).
struct Binary {
    uint64_t mantissa;
    int exponent;
};

Binary Decompose(double x) {
    constexpr int kMinExponent = -1074;  // of the smallest subnormal
    if (x == 0) return {0, kMinExponent};
    int exponent = 0;
    const double fraction = std::frexp(x, &exponent);
    if (exponent - 53 < kMinExponent) {
        return {static_cast<uint64_t>(std::ldexp(x, -kMinExponent)), kMinExponent};
    }
    return {static_cast<uint64_t>(std::ldexp(fraction, 53)), exponent - 53};
}

// digits * 10^tenPower, exactly, against the point halfway between x and the
// next double above it: -1 below, 0 on it, 1 above.
int CompareWithHalfwayAbove(const BigNumber& digits, int64_t tenPower, double x) {
    const Binary binary = Decompose(x);
    // halfway = (2 * mantissa + 1) * 2^(exponent - 1); both sides are made
    // integers by moving the negative powers to the other side.
    const int64_t twoPower = tenPower - (binary.exponent - 1);
    BigNumber number = digits;
    BigNumber halfway(2 * binary.mantissa + 1);
    number.MultiplyByPowerOfFive(std::max<int64_t>(tenPower, 0));
    halfway.MultiplyByPowerOfFive(std::max<int64_t>(-tenPower, 0));
    number.ShiftLeft(std::max<int64_t>(twoPower, 0));
    halfway.ShiftLeft(std::max<int64_t>(-twoPower, 0));
    return Compare(number, halfway);
}

bool EvenMantissa(double x) { return Decompose(x).mantissa % 2 == 0; }

// An approximation of digits * 10^tenPower from its first 19 digits, within a
// unit in the last place for each of its few roundings; never infinite.
double Approximate(const std::string& digits, int64_t tenPower) {
    const size_t used = std::min<size_t>(digits.size(), 19);
    uint64_t leading = 0;
    for (size_t i = 0; i < used; ++i) leading = leading * 10 + static_cast<uint64_t>(digits[i] - '0');
    double x = static_cast<double>(leading);
    int64_t power = tenPower + static_cast<int64_t>(digits.size() - used);
    for (; power > 22; power -= 22) x *= 1e22;
    for (; power < -22; power += 22) x /= 1e22;
    x = power < 0 ? x / kExactPowersOfTen[-power] : x * kExactPowersOfTen[power];
    return std::isinf(x) ? std::numeric_limits<double>::max() : x;
}

// The double nearest to digits * 10^tenPower (digits without leading or
// trailing zeros), ties to even; false when that is beyond the largest double.
bool Round(const std::string& digits, int64_t tenPower, double& value) {
    if (static_cast<int64_t>(digits.size()) + tenPower > kMaxTenPower) return false;
    if (static_cast<int64_t>(digits.size()) + tenPower < kMinTenPower) {
        value = 0;
        return true;
    }
    BigNumber number(0);
    for (const char digit : digits) number.MultiplyAdd(10, static_cast<uint32_t>(digit - '0'));
    // From the approximation, step to the double whose rounding interval
    // holds the number: down while it lies below the halfway point beneath,
    // up while it lies above the halfway point over it.
    double x = Approximate(digits, tenPower);
    for (;;) {
        if (x > 0) {
            const double below = std::nextafter(x, 0.0);
            const int order = CompareWithHalfwayAbove(number, tenPower, below);
            if (order < 0 || (order == 0 && EvenMantissa(below))) {
                x = below;
                continue;
            }
        }
        const int order = CompareWithHalfwayAbove(number, tenPower, x);
        if (order < 0 || (order == 0 && EvenMantissa(x))) break;
        if (x == std::numeric_limits<double>::max()) return false;
        x = std::nextafter(x, std::numeric_limits<double>::infinity());
    }
    value = x;
    return true;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The digits of a number's text before its exponent as significant digits
// (from the first non-zero one; past kMaxDigits a 1 stands for any non-zero
// digit dropped, and trailing zeros go) and the power of ten they are
// multiplied by.
void SignificantDigits(std::string_view text, std::string& digits, int64_t& tenPower) {
    bool fraction = false, droppedNonZero = false;
    for (const char c : text) {
        if (c == '.') {
            fraction = true;
        } else if (digits.empty() && c == '0') {
            tenPower -= fraction ? 1 : 0;
        } else if (digits.size() < kMaxDigits) {
            digits.push_back(c);
            tenPower -= fraction ? 1 : 0;
        } else {
            droppedNonZero = droppedNonZero || c != '0';
            tenPower += fraction ? 0 : 1;
        }
    }
    if (droppedNonZero) {
        digits.push_back('1');
        --tenPower;
    }
    for (; !digits.empty() && digits.back() == '0'; digits.pop_back()) ++tenPower;
}

}  // namespace

bool Parse(std::string_view text, double& value) {
    size_t at = 0;
    const bool negative = at < text.size() && text[at] == '-';
    if (negative) ++at;

    // The syntax, and on the way the first 19 significant digits as an
    // integer with the power of ten it is multiplied by.
    const size_t first = at;
    size_t digitCount = 0, significant = 0;
    uint64_t leading = 0;
    int64_t tenPower = 0;
    auto take = [&](char digit, bool fraction) {
        ++digitCount;
        if (significant == 0 && digit == '0') {
            tenPower -= fraction ? 1 : 0;
        } else if (++significant <= 19) {
            leading = leading * 10 + static_cast<uint64_t>(digit - '0');
            tenPower -= fraction ? 1 : 0;
        }
    };
    for (; at < text.size() && IsDigit(text[at]); ++at) take(text[at], false);
    if (at < text.size() && text[at] == '.') {
        for (++at; at < text.size() && IsDigit(text[at]); ++at) take(text[at], true);
    }
    if (digitCount == 0) return false;
    const size_t mantissaEnd = at;

    int64_t exponent = 0;
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        ++at;
        const bool negativeExponent = at < text.size() && text[at] == '-';
        if (at < text.size() && (text[at] == '-' || text[at] == '+')) ++at;
        if (at == text.size() || !IsDigit(text[at])) return false;
        for (; at < text.size() && IsDigit(text[at]); ++at) {
            exponent = std::min<int64_t>(exponent * 10 + (text[at] - '0'), int64_t{1} << 40);
        }
        exponent = negativeExponent ? -exponent : exponent;
    }
    if (at != text.size()) return false;

    double magnitude = 0;
    if (significant <= 19 && leading <= (uint64_t{1} << 53) && tenPower + exponent >= -22 &&
        tenPower + exponent <= 22) {
        // The digits and the power of ten both exact in a double: one
        // correctly rounded operation.
        const int64_t power = tenPower + exponent;
        const auto exact = static_cast<double>(leading);
        magnitude = power < 0 ? exact / kExactPowersOfTen[-power] : exact * kExactPowersOfTen[power];
    } else if (significant > 0) {
        std::string digits;
        int64_t digitsPower = exponent;
        SignificantDigits(text.substr(first, mantissaEnd - first), digits, digitsPower);
        if (!Round(digits, digitsPower, magnitude)) return false;
    }
    value = negative ? -magnitude : magnitude;
    return true;
}

}  // namespace decimal
