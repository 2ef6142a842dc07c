#pragma once

#include <vector>

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

    // The file image, kept as long as the source: the records and views of
    // the head and the runs point into it.
    std::vector<unsigned char> image;
    // The parsed head and runs.
    MpsHeader header;
    MpsWaypointList waypointRun;
    MpsTrackList trackRun;
    LRecordList lRecords;
};
