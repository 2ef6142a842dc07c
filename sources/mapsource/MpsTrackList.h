#pragma once

#include <cstdint>

#include "sources/Records.h"
#include "sources/mapsource/RecordRunList.h"
#include "sources/mapsource/TrackView.h"

// The run of 'T' records of a ".mps" file: points of 31 bytes each, and no
// byte after the last point.
class MpsTrackList : public RecordRunList<TrackView> {
public:
    MpsTrackList() : RecordRunList('T') {}

    // Checks that the body holds exactly the name, its head and the points.
    int Parse(const MsRecord& record, TrackView& view) override;

    // Fills track from track k of the run: its name copied byte for byte and
    // its points. 0 when there is no such track or the points cannot be
    // allocated.
    // Without keepPoints only the name and the point count are filled.
    int GetTrack(int32_t k, TrackRecord& track, bool keepPoints = true) const;
};
