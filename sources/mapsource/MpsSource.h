#pragma once

#include "sources/WaypointSource.h"
#include "sources/mapsource/LRecordList.h"
#include "sources/mapsource/MpsTrackList.h"
#include "sources/mapsource/MpsWaypointList.h"
#include "sources/mapsource/MsHeader.h"

// Reads MapSource (".mps") files: the head, then the runs of waypoint, track
// and 'L' records. Names are copied byte for byte.
class MpsSource : public WaypointSource {
public:
    int Load(const std::string& path, LineList* waypointList, LineList* trackList) override;
    const char* Kind() const override { return "mps"; }

    // The parsed head and runs; they own the record bodies the views point
    // into and live as long as the source.
    MpsHeader header;
    MpsWaypointList waypointRun;
    MpsTrackList trackRun;
    LRecordList lRecords;
};
