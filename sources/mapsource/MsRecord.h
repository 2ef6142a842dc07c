#pragma once

#include <cstdint>
#include <memory>

#include "sources/mapsource/ReadPosition.h"

// One typed, length-prefixed record of a MapSource file: a 32-bit body length
// (1 or more), one type letter, then the body. The holder owns a copy of the
// body; nothing points into the file image once the record has been read.
struct MsRecord {
    uint32_t length = 0;
    uint8_t type = 0;
    std::unique_ptr<unsigned char[]> body;  // exactly length bytes, or null
};

// The size of a record's head on file: the body length and the type letter.
inline constexpr size_t kRecordHeadSize = 5;

// Reads the record at the position into record, copying its body. Fails when
// the head or the body does not lie wholly among the remaining bytes, when
// the body length is 0, or when the copy cannot be allocated.
int ReadRecord(ReadPosition& position, MsRecord& record);

// Frees the record's body and clears its pointer. Returns 0 for a null record.
int ReleaseRecord(MsRecord* record);

// Steps over the record at the position, checking it as ReadRecord does but
// copying nothing; type receives its letter.
int SkipRecord(ReadPosition& position, uint8_t& type);

// A read position over the whole body of a record.
inline ReadPosition BodyPosition(const MsRecord& record) {
    return ReadPosition{record.body.get(), record.body ? record.length : 0u};
}

// The number of records of one type that follow one another from the
// position: a record of another type, one that cannot be read, or the end of
// the image ends the count. The position itself is not moved.
int64_t CountRun(ReadPosition position, uint8_t type);
