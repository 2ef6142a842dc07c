// The WTR reader: the base reader's own Load.
#include "sources/WaypointSource.h"

#include <cstring>
#include <vector>

#include "common/LittleEndian.h"
#include "sources/ListLines.h"
#include "sources/NameField.h"
#include "sources/ReadWholeFile.h"

namespace {

constexpr unsigned char kWaypointMarker[5] = {0xFF, 'W', 'p', 't', 0xFF};
constexpr unsigned char kTrackMarker[5] = {0xFF, 'T', 'r', 'k', 0xFF};
constexpr unsigned char kTrackHeaderMarker[5] = {0xEE, 'h', 'd', 'r', 0xEE};
constexpr unsigned char kRouteMarker[5] = {0xFF, 'R', 't', 'e', 0xFF};

constexpr size_t kFirstWaypoint = 16;
constexpr size_t kWaypointSize = 64;
constexpr size_t kPointSize = 21;
constexpr size_t kTrackNameMax = 32;

enum class Slot { Marker, Other, PastEnd };

// Looks at the five bytes at offset: the marker, something else, or bytes the
// file does not hold.
Slot LookAt(const std::vector<unsigned char>& file, size_t offset, const unsigned char (&marker)[5]) {
    if (!le::Fits(file.size(), offset, 5)) return Slot::PastEnd;
    return std::memcmp(file.data() + offset, marker, 5) == 0 ? Slot::Marker : Slot::Other;
}

}  // namespace

int WaypointSource::Load(const std::string& path, LineList* waypointList, LineList* trackList) {
    std::vector<unsigned char> file;
    if (!ReadWholeFile(path, file)) return 0;
    if (LookAt(file, 0, kWaypointMarker) != Slot::Marker) return 0;

    // Count the 64-byte waypoint slots up to the track marker. A file that ends
    // before the marker is refused.
    size_t trackSection = kFirstWaypoint;
    for (;;) {
        Slot slot = LookAt(file, trackSection, kTrackMarker);
        if (slot == Slot::Marker) break;
        if (slot == Slot::PastEnd) return 0;
        ++waypointCount;
        trackSection += kWaypointSize;
    }
    if (waypointCount == 0) return 1;

    waypoints = AllocateRecords<WaypointRecord>(waypointCount);
    if (!waypoints) return 0;
    for (int32_t k = 0; k < waypointCount; ++k) {
        const unsigned char* slot = file.data() + kFirstWaypoint + kWaypointSize * static_cast<size_t>(k);
        WaypointRecord& record = waypoints[k];
        std::string_view name = FieldText(reinterpret_cast<const char*>(slot), 10);
        StoreName(record.name, sizeof record.name, name);
        record.latitude = le::I32(slot + 20);
        record.longitude = le::I32(slot + 24);
        record.altitude = CapReaderAltitude(le::F32(slot + 28));
        record.symbol = le::I16(slot + 40);
        if (waypointList) waypointList->AddLine(FormatWaypointLine(name, record.altitude));
    }

    trackCount = 0;
    Slot header = LookAt(file, trackSection + 16, kTrackHeaderMarker);
    if (header == Slot::PastEnd) return 0;
    if (header == Slot::Other) return 1;

    trackCount = 1;
    tracks = AllocateRecords<TrackRecord>(1);
    if (!tracks) return 0;
    TrackRecord& track = tracks[0];

    // The name runs from its first byte up to a NUL, at most 32 bytes; every
    // byte of it must be in the file.
    const size_t nameStart = trackSection + 34;
    size_t nameLength = 0;
    for (;; ++nameLength) {
        if (nameLength == kTrackNameMax) break;
        if (!le::Fits(file.size(), nameStart, nameLength + 1)) return 0;
        if (file[nameStart + nameLength] == 0) break;
    }
    std::string_view trackName(reinterpret_cast<const char*>(file.data() + nameStart), nameLength);
    StoreName(track.name, sizeof track.name, trackName);

    // The points begin 16 bytes after the name's first byte, whatever its length.
    const size_t firstPoint = trackSection + 50;
    for (size_t offset = firstPoint;; offset += kPointSize) {
        Slot slot = LookAt(file, offset, kRouteMarker);
        if (slot == Slot::Marker) break;
        if (slot == Slot::PastEnd) return 0;
        ++track.pointCount;
    }
    if (!ReadCompactTrackPoints(track, file.data() + firstPoint, kPointSize, keepTrackPoints)) return 0;
    if (trackList) trackList->AddLine(FormatTrackLine(FieldText(track.name, sizeof track.name), track.pointCount));
    return 1;
}
