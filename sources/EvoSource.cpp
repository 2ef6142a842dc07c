// The EVO reader. The header gives the waypoint and track counts; each entry
// is found by scanning forward for a short byte pattern and its fields are read
// at fixed distances from it. Every read is checked against the file's size
// first; the first one that would leave the file ends the load with 0, and the
// records stored and the lines listed until then stay.
#include "sources/EvoSource.h"

#include <cstring>
#include <vector>

#include "common/LittleEndian.h"
#include "sources/ListLines.h"
#include "sources/NameField.h"
#include "sources/ReadWholeFile.h"

namespace {

constexpr size_t kWaypointCountOffset = 32;
constexpr size_t kTrackCountOffset = 36;
constexpr size_t kFirstEntry = 48;
constexpr int32_t kMaxCount = 9999;

constexpr unsigned char kWaypointPattern[3] = {0x00, 0xFF, 0x00};
constexpr unsigned char kTrackPattern[4] = {0x00, 0x00, 'A', 'C'};

// A waypoint pattern is looked for at this many positions from the scan
// position; when none matches, the entry is taken to start just after them.
constexpr size_t kWaypointWindow = 256;

// Offsets inside a waypoint entry.
constexpr size_t kWaypointLatitude = 24;
constexpr size_t kWaypointLongitude = 28;
constexpr size_t kWaypointAltitude = 32;
constexpr size_t kWaypointName = 52;
constexpr size_t kWaypointNameBytes = 10;
// The symbol follows the name at this distance from the name's last stored
// byte, so it moves with the name's length.
constexpr size_t kSymbolAfterName = 10;

// Track entries: the name begins after the two zero bytes of the pattern and
// is read up to its newline or this many bytes.
constexpr size_t kTrackName = 2;
constexpr size_t kTrackNameBytes = 32;
constexpr size_t kPointSize = 24;

bool Matches(const std::vector<unsigned char>& file, size_t offset, const unsigned char* pattern, size_t width) {
    return std::memcmp(file.data() + offset, pattern, width) == 0;
}

// Finds the waypoint entry for a scan starting at scan. Returns false when the
// scan meets the end of the file before a match.
bool FindWaypoint(const std::vector<unsigned char>& file, size_t scan, size_t& entry) {
    for (size_t k = 0; k < kWaypointWindow; ++k) {
        if (!le::Fits(file.size(), scan, k + sizeof kWaypointPattern)) return false;
        if (Matches(file, scan + k, kWaypointPattern, sizeof kWaypointPattern)) {
            entry = scan + k;
            return true;
        }
    }
    entry = scan + kWaypointWindow;
    return true;
}

// Finds the next track entry from scan on. Returns false when there is none
// before the end of the file.
bool FindTrack(const std::vector<unsigned char>& file, size_t scan, size_t& entry) {
    for (size_t at = scan; le::Fits(file.size(), at, sizeof kTrackPattern); ++at) {
        if (Matches(file, at, kTrackPattern, sizeof kTrackPattern)) {
            entry = at;
            return true;
        }
    }
    return false;
}

// The name of the waypoint whose ten name bytes start at bytes: up to a
// newline or NUL, without trailing blanks.
std::string_view WaypointName(const unsigned char* bytes) {
    size_t length = 0;
    while (length < kWaypointNameBytes && bytes[length] != 0x0A && bytes[length] != 0) ++length;
    while (length > 0 && bytes[length - 1] == ' ') --length;
    return std::string_view(reinterpret_cast<const char*>(bytes), length);
}

}  // namespace

int EvoSource::Load(const std::string& path, LineList* waypointList, LineList* trackList) {
    std::vector<unsigned char> file;
    if (!ReadWholeFile(path, file)) return 0;
    const size_t size = file.size();

    if (!le::Fits(size, kWaypointCountOffset, 2)) return 0;
    waypointCount = le::U16(file.data() + kWaypointCountOffset);
    if (waypointCount == 0 || waypointCount > kMaxCount) return 0;
    waypoints = AllocateRecords<WaypointRecord>(waypointCount);
    if (!waypoints) return 0;

    size_t scan = kFirstEntry;
    for (int32_t k = 0; k < waypointCount; ++k) {
        size_t entry = 0;
        if (!FindWaypoint(file, scan, entry)) return 0;
        if (!le::Fits(size, entry, kWaypointName + kWaypointNameBytes)) return 0;
        const unsigned char* bytes = file.data() + entry;
        WaypointRecord& record = waypoints[k];
        std::string_view name = WaypointName(bytes + kWaypointName);
        StoreName(record.name, sizeof record.name, name);
        record.latitude = le::I32(bytes + kWaypointLatitude);
        record.longitude = le::I32(bytes + kWaypointLongitude);
        record.altitude = CapReaderAltitude(le::F32(bytes + kWaypointAltitude));
        const size_t symbol = entry + kWaypointName + name.size() + kSymbolAfterName;
        if (!le::Fits(size, symbol, 2)) return 0;
        record.symbol = le::I16(file.data() + symbol);
        if (waypointList) waypointList->AddLine(FormatWaypointLine(name, record.altitude));
        // Entries may overlap: the next scan begins at this waypoint's name.
        scan = entry + kWaypointName;
    }

    if (!le::Fits(size, kTrackCountOffset, 2)) return 0;
    trackCount = le::U16(file.data() + kTrackCountOffset);
    if (trackCount == 0 || trackCount > kMaxCount) return 0;
    tracks = AllocateRecords<TrackRecord>(trackCount);
    if (!tracks) return 0;

    for (int32_t t = 0; t < trackCount; ++t) {
        size_t entry = 0;
        if (!FindTrack(file, scan, entry)) return 0;
        TrackRecord& track = tracks[t];

        // The name bytes run up to the first newline or 32 bytes; NUL bytes
        // among them are taken as they are, so the text ends at the first NUL.
        char buffer[kTrackNameBytes] = {};
        const size_t nameStart = entry + kTrackName;
        for (size_t i = 0; i < kTrackNameBytes; ++i) {
            if (!le::Fits(size, nameStart, i + 1)) return 0;
            unsigned char byte = file[nameStart + i];
            if (byte == 0x0A) break;
            buffer[i] = static_cast<char>(byte);
        }
        // The count follows the stored name text and the byte after it.
        const size_t nameLength = StoreName(track.name, sizeof track.name, FieldText(buffer, sizeof buffer));
        const size_t countOffset = nameStart + nameLength + 1;
        if (!le::Fits(size, countOffset, 4)) return 0;
        track.pointCount = le::I32(file.data() + countOffset);

        // A count whose points the file cannot hold fails before allocating.
        const size_t firstPoint = countOffset + 4;
        if (track.pointCount < 0) return 0;
        const uint64_t pointBytes = static_cast<uint64_t>(track.pointCount) * kPointSize;
        if (pointBytes > size - firstPoint) return 0;
        if (!ReadCompactTrackPoints(track, file.data() + firstPoint, kPointSize, keepTrackPoints)) return 0;
        if (trackList) trackList->AddLine(FormatTrackLine(FieldText(track.name, sizeof track.name), track.pointCount));
        scan = firstPoint + static_cast<size_t>(pointBytes);
    }
    return 1;
}
