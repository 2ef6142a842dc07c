#include "sources/mapsource/ReadPosition.h"

#include <cstring>

#include "common/LittleEndian.h"  // the fields are copied as they lie: little-endian host only

int ReadFixed(ReadPosition& position, void* destination, size_t size) {
    if (size > position.left) return 0;
    if (size > 0) std::memcpy(destination, position.next, size);
    position.Advance(size);
    return 1;
}

int ReadString(ReadPosition& position, const char*& text) {
    // The search for the NUL never goes past the remaining bytes.
    const void* nul = position.left ? std::memchr(position.next, 0, position.left) : nullptr;
    if (!nul) return 0;
    size_t length = static_cast<size_t>(static_cast<const unsigned char*>(nul) - position.next);
    text = reinterpret_cast<const char*>(position.next);
    position.Advance(length + 1);
    return 1;
}

int ReadInt8(ReadPosition& position, uint8_t& value) { return ReadFixed(position, &value, 1); }
int ReadInt16(ReadPosition& position, int16_t& value) { return ReadFixed(position, &value, 2); }
int ReadInt16(ReadPosition& position, uint16_t& value) { return ReadFixed(position, &value, 2); }
int ReadInt32(ReadPosition& position, int32_t& value) { return ReadFixed(position, &value, 4); }
int ReadInt32(ReadPosition& position, uint32_t& value) { return ReadFixed(position, &value, 4); }
int ReadDouble(ReadPosition& position, double& value) { return ReadFixed(position, &value, 8); }
