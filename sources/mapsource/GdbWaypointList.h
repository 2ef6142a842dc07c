#pragma once

#include <cstdint>

#include "sources/Records.h"
#include "sources/mapsource/RecordRunList.h"

// The fields of a ".gdb" waypoint body up to the symbol, in file order. Texts
// point into the record's body; an optional field whose flag is 0 stays 0.
// Whatever follows the symbol differs between waypoint classes and program
// versions and is not examined.
struct GdbWaypointView {
    const char* name;
    uint32_t firstValue;
    const char* secondText;
    unsigned char block[22];
    int32_t latitude;   // semicircles
    int32_t longitude;  // semicircles
    uint8_t altitudeFlag;
    double altitude;  // present when altitudeFlag is not 0
    const char* thirdText;
    uint8_t valueFlag;
    unsigned char flaggedValue[8];  // present when valueFlag is not 0
    uint32_t secondValue;
    uint32_t thirdValue;
    int16_t symbol;
};

// The run of 'W' records of a ".gdb" file.
class GdbWaypointList : public RecordRunList<GdbWaypointView> {
public:
    GdbWaypointList() : RecordRunList('W') {}

    // Reads the run. Names are UTF-8 in files of version 612 or more written
    // by MapSource and in every file written by BaseCamp.
    int Read(ReadPosition& position, uint16_t version, int writtenByBaseCamp);

    int Parse(const MsRecord& record, GdbWaypointView& view) override;

    // Fills record from waypoint i of the run; 0 when there is no such waypoint.
    int GetWaypoint(int32_t i, WaypointRecord& record) const;

    // 1 when the names are UTF-8; set only when the run is not empty.
    int32_t utf8Names = 0;
};
