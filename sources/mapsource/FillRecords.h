#pragma once

#include <cstdint>

#include "common/LineList.h"
#include "sources/ListLines.h"
#include "sources/NameField.h"
#include "sources/WaypointSource.h"

// The steps both MapSource readers take once a run has been read: turning
// its views into the source's records and listing them.

// The most tracks a MapSource file may hold.
inline constexpr int32_t kMaxMapSourceTracks = 9999;

// Fills one waypoint record per waypoint of the run and lists each as it is
// filled. The records keep the altitude as read; the lines show an altitude
// above 9999 as 0.
template <typename WaypointList>
int FillWaypoints(WaypointSource& source, const WaypointList& run, LineList* waypointList) {
    source.waypointCount = run.count;
    source.waypoints = AllocateRecords<WaypointRecord>(source.waypointCount);
    if (!source.waypoints) return 0;
    for (int32_t i = 0; i < source.waypointCount; ++i) {
        WaypointRecord& record = source.waypoints[i];
        run.GetWaypoint(i, record);
        if (waypointList) {
            waypointList->AddLine(
                FormatWaypointLine(FieldText(record.name, sizeof record.name), CapReaderAltitude(record.altitude)));
        }
    }
    return 1;
}

// Fills one track record per track of the run, with its points, and lists
// each when there is a track list. A run of more tracks than allowed fails
// before any track record is made.
template <typename TrackList>
int FillTracks(WaypointSource& source, const TrackList& run, LineList* trackList) {
    source.trackCount = run.count;
    if (source.trackCount > kMaxMapSourceTracks) return 0;
    if (source.trackCount == 0) return 1;
    source.tracks = AllocateRecords<TrackRecord>(source.trackCount);
    if (!source.tracks) return 0;
    for (int32_t k = 0; k < source.trackCount; ++k) {
        TrackRecord& track = source.tracks[k];
        if (!run.GetTrack(k, track, source.keepTrackPoints)) return 0;
        if (trackList) trackList->AddLine(FormatTrackLine(FieldText(track.name, sizeof track.name), track.pointCount));
    }
    return 1;
}
