#pragma once

#include <cstdint>
#include <memory>

#include "sources/mapsource/MsRecord.h"

// The run of 'L' records that follows the tracks. The records are read and
// kept like those of any run; their bodies are not examined, since their
// layout differs between the programs that write them and nothing here uses
// them.
class LRecordList {
public:
    LRecordList() = default;
    LRecordList(const LRecordList&) = delete;
    LRecordList& operator=(const LRecordList&) = delete;
    virtual ~LRecordList() = default;

    // Reads the run at the position; an empty run succeeds and consumes
    // nothing.
    int Read(ReadPosition& position);

    int32_t count = 0;
    std::unique_ptr<MsRecord[]> records;
};
