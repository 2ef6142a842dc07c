#pragma once

#include <cstddef>
#include <cstdint>

// The head of a track body of either MapSource kind, and where its points lie
// in the record's body.
struct TrackView {
    const char* name;
    uint8_t firstValue;
    uint32_t secondValue;
    uint32_t pointCount;
    const unsigned char* points;  // the first point, inside the body
    size_t pointBytes;            // the bytes of all points together
};
