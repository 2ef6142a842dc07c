#pragma once

#include <cstddef>
#include <cstdint>

#include "sources/Records.h"
#include "sources/mapsource/RecordRunList.h"

// The fields of a ".mps" waypoint body up to the symbol, in file order. Texts
// point into the record's body. Whatever follows the symbol is not examined.
struct MpsWaypointView {
    const char* name;
    uint32_t firstValue;
    const char* country;       // may be empty
    unsigned char block[22];   // 22 bytes, or 17 in files with the short block
    int32_t latitude;          // semicircles
    int32_t longitude;         // semicircles
    uint8_t secondValue;
    double altitude;           // always present
    const char* secondText;
    unsigned char secondBlock[17];
    int16_t symbol;
};

// The run of 'W' records of a ".mps" file. Names are copied byte for byte,
// whatever the file's version.
class MpsWaypointList : public RecordRunList<MpsWaypointView> {
public:
    MpsWaypointList() : RecordRunList('W') {}

    // Reads the run; shortBlock is 1 for files whose fixed block before the
    // position is 17 bytes instead of 22 (MpsHeader::HasShortWaypointBlock).
    int Read(ReadPosition& position, int shortBlock);

    int Parse(const MsRecord& record, MpsWaypointView& view) override;

    // Fills record from waypoint i of the run; 0 when there is no such waypoint.
    int GetWaypoint(int32_t i, WaypointRecord& record) const;

private:
    size_t blockSize = sizeof(MpsWaypointView::block);
};
