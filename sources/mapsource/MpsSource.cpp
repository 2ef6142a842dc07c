#include "sources/mapsource/MpsSource.h"

#include "sources/ReadWholeFile.h"
#include "sources/mapsource/FillRecords.h"

int MpsSource::Load(const std::string& path, LineList* waypointList, LineList* trackList) {
    if (!ReadWholeFile(path, image)) return 0;
    ReadPosition position{image.data(), image.size()};

    if (!header.Read(position)) return 0;
    if (!waypointRun.Read(position, header.HasShortWaypointBlock())) return 0;
    // A file without waypoints has nothing to correct from: its tracks are
    // not read.
    if (waypointRun.count == 0) return 1;
    if (!FillWaypoints(*this, waypointRun, waypointList)) return 0;

    if (!trackRun.Read(position)) return 0;
    if (!FillTracks(*this, trackRun, trackList)) return 0;
    return lRecords.Read(position);
}
