#pragma once

#include <cstdint>

#include "sources/Records.h"
#include "sources/mapsource/RecordRunList.h"
#include "sources/mapsource/TrackView.h"

// The run of 'T' records of a ".gdb" file. A point holds its latitude and
// longitude, then four fields each behind a flag byte and present only when
// the flag is not 0: altitude, time, depth and temperature.
class GdbTrackList : public RecordRunList<TrackView> {
public:
    GdbTrackList() : RecordRunList('T') {}

    // Checks that the body holds the name, its head and every point.
    int Parse(const MsRecord& record, TrackView& view) override;

    // Fills track from track k of the run: its name copied byte for byte and
    // its points. 0 when there is no such track or the points cannot be
    // allocated.
    // Without keepPoints only the name and the point count are filled.
    int GetTrack(int32_t k, TrackRecord& track, bool keepPoints = true) const;
};

// Reads one ".gdb" track point at the position; an absent altitude or time
// is 0.
int ReadGdbTrackPoint(ReadPosition& position, TrackPoint& point);

// Steps over one ".gdb" track point, checking it as ReadGdbTrackPoint does.
int SkipGdbTrackPoint(ReadPosition& position);
