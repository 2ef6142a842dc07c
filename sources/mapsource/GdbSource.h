#pragma once

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

    // The parsed head and runs; they own the record bodies the views point
    // into and live as long as the source.
    GdbHeader header;
    GdbWaypointList waypointRun;
    GdbTrackList trackRun;
    LRecordList lRecords;
};
