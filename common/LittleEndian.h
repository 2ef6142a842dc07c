#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

// Values of the file formats are little-endian; they are built from bytes with
// memcpy (never by casting a pointer into a buffer), on a little-endian host.
static_assert(std::endian::native == std::endian::little, "the readers assume a little-endian host");

namespace le {

template <typename T>
inline T Load(const unsigned char* bytes) {
    T value;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

inline uint16_t U16(const unsigned char* bytes) { return Load<uint16_t>(bytes); }
inline int16_t I16(const unsigned char* bytes) { return Load<int16_t>(bytes); }
inline uint32_t U32(const unsigned char* bytes) { return Load<uint32_t>(bytes); }
inline int32_t I32(const unsigned char* bytes) { return Load<int32_t>(bytes); }
inline float F32(const unsigned char* bytes) { return Load<float>(bytes); }
inline double F64(const unsigned char* bytes) { return Load<double>(bytes); }

// True when width bytes starting at offset lie wholly inside a buffer of size
// bytes; written so that no sum can wrap.
inline bool Fits(size_t size, size_t offset, size_t width) {
    return offset <= size && width <= size - offset;
}

}  // namespace le
