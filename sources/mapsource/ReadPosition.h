#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>

// Where the next read of a MapSource file image, or of one record body, takes
// place: the next unread byte and how many bytes remain. Every read checks the
// remaining count before it touches a byte and, on success, moves the position
// forward by exactly what it consumed.
struct ReadPosition {
    const unsigned char* next = nullptr;
    size_t left = 0;

    void Advance(size_t count) {
        next += count;
        left -= count;
    }
};

// Copies size bytes to destination. Fails when fewer remain.
int ReadFixed(ReadPosition& position, void* destination, size_t size);

// A NUL-terminated text at the position: text points at it (nothing is
// copied) and the position moves past its NUL. Fails when no NUL lies among
// the remaining bytes.
int ReadString(ReadPosition& position, const char*& text);

// Little-endian fields of 1, 2, 4 and 8 bytes.
int ReadInt8(ReadPosition& position, uint8_t& value);
int ReadInt16(ReadPosition& position, int16_t& value);
int ReadInt16(ReadPosition& position, uint16_t& value);
int ReadInt32(ReadPosition& position, int32_t& value);
int ReadInt32(ReadPosition& position, uint32_t& value);
int ReadDouble(ReadPosition& position, double& value);

// A 64-bit altitude narrowed to the 32-bit float of the records, rounded as
// IEEE 754 rounds: values beyond the float range become infinities.
inline float NarrowToFloat(double value) {
    // Half a unit in the last place above the largest float: from here on,
    // rounding to nearest gives infinity.
    constexpr double kOverflow = 0x1.ffffffp+127;
    if (value >= kOverflow) return std::numeric_limits<float>::infinity();
    if (value <= -kOverflow) return -std::numeric_limits<float>::infinity();
    return static_cast<float>(value);
}
