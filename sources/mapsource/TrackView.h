#pragma once

#include <cstddef>
#include <cstdint>

#include "sources/NameField.h"
#include "sources/WaypointSource.h"

// The head of a track body of either MapSource kind, and where its points lie
// in the record's body.
struct TrackView {
    const char* name;
    uint8_t firstValue;
    uint32_t secondValue;
    uint32_t pointCount;
    const unsigned char* points;  // the first point, inside the body
    size_t pointBytes;            // the bytes of all points together
};

// Fills a track's name and point count from its view and, when points are
// kept, allocates them for the caller to read. 0 when that allocation fails.
inline int BeginTrack(const TrackView& view, TrackRecord& track, bool keepPoints) {
    StoreName(track.name, sizeof track.name, view.name);
    // Parsing checked that the body holds every point, so the count fits.
    track.pointCount = static_cast<int32_t>(view.pointCount);
    if (!keepPoints) return 1;
    track.points = AllocateRecords<TrackPoint>(track.pointCount);
    return track.points != nullptr;
}
