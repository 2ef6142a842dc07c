#pragma once

#include <cstdint>
#include <memory>

#include "sources/mapsource/ReadPosition.h"

// One typed, length-prefixed record of a MapSource file: a 32-bit body length
// (1 or more), one type letter, then the body. The body is not copied: it
// points into the file image, which the reader keeps as long as its records.
struct MsRecord {
    uint32_t length = 0;
    uint8_t type = 0;
    const unsigned char* body = nullptr;  // exactly length bytes, or null
};

// The size of a record's head on file: the body length and the type letter.
inline constexpr size_t kRecordHeadSize = 5;

// Reads the record at the position into record. Fails when the head or the
// body does not lie wholly among the remaining bytes, or when the body length
// is 0.
int ReadRecord(ReadPosition& position, MsRecord& record);

// Lets go of the record's body. Returns 0 for a null record.
int ReleaseRecord(MsRecord* record);

// Steps over the record at the position, checking it as ReadRecord does but
// copying nothing; type receives its letter.
int SkipRecord(ReadPosition& position, uint8_t& type);

// A read position over the whole body of a record.
inline ReadPosition BodyPosition(const MsRecord& record) {
    return ReadPosition{record.body, record.body ? record.length : 0u};
}

// The number of records of one type that follow one another from the
// position: a record of another type, one that cannot be read, or the end of
// the image ends the count. The position itself is not moved.
int64_t CountRun(ReadPosition position, uint8_t type);
