#pragma once

#include <string_view>

// Decimal numbers in text to double, the same on every build and in every
// locale (the standard library's conversions differ between the C++ libraries
// this program is built with, and some have none for floating point).
namespace decimal {

// Reads the whole text as [-]digits[.digits][(e|E)[+|-]digits], where one of
// the two runs of digits around the point may be empty, and rounds it to the
// nearest double, ties to even, however many digits it has. A number too
// small for a double becomes zero of its sign. Returns false, value
// unchanged, for any other text and for a number beyond the largest double.
bool Parse(std::string_view text, double& value);

}  // namespace decimal
