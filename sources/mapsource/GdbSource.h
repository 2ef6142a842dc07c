#pragma once

#include <vector>

#include "sources/WaypointSource.h"
#include "sources/mapsource/GdbTrackList.h"
#include "sources/mapsource/GdbWaypointList.h"
#include "sources/mapsource/LRecordList.h"
#include "sources/mapsource/MsHeader.h"

// Reads MapSource database (".gdb") files, as MapSource and BaseCamp write
// them: the head, then the runs of waypoint, track and 'L' records.
class GdbSource : public WaypointSource {
public:
    int Load(const std::string& path, LineList* waypointList, LineList* trackList) override;
    const char* Kind() const override { return "gdb"; }

    // The file image, kept as long as the source: the records and views of
    // the head and the runs point into it.
    std::vector<unsigned char> image;
    // The parsed head and runs.
    GdbHeader header;
    GdbWaypointList waypointRun;
    GdbTrackList trackRun;
    LRecordList lRecords;
};
