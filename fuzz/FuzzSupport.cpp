#include "fuzz/FuzzSupport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "sources/ListLines.h"

namespace fuzz {

void Fail(const char* what, const char* file, int line) {
    std::fprintf(stderr, "\n*** check failed: %s (%s:%d)\n", what, file, line);
    std::fflush(stderr);
    std::abort();
}

namespace {

class Scratch {
public:
    Scratch() {
        std::error_code error;
        std::filesystem::path base = "/dev/shm";
        if (!std::filesystem::is_directory(base, error) || ::access(base.c_str(), W_OK) != 0)
            base = std::filesystem::temp_directory_path(error);
        std::string pattern = (base / "lorvane-fuzz-XXXXXX").string();
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        const char* made = ::mkdtemp(buffer.data());
        FUZZ_CHECK(made != nullptr);
        path = made;
    }
    ~Scratch() {
        std::error_code error;
        std::filesystem::remove_all(path, error);
    }
    std::string path;
};

}  // namespace

const std::string& ScratchFolder() {
    static Scratch scratch;
    return scratch.path;
}

std::string WriteScratchFile(const std::string& name, const uint8_t* data, size_t size) {
    const std::string path = ScratchFolder() + "/" + name;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    FUZZ_CHECK(file != nullptr);
    FUZZ_CHECK(size == 0 || std::fwrite(data, 1, size, file) == size);
    FUZZ_CHECK(std::fclose(file) == 0);
    return path;
}

std::vector<uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

const ReaderKind& KindOf(const std::string& extension) {
    // The fewest bytes of a waypoint: a WTR slot; the distance from one EVO
    // entry to the next; a MapSource record head with the body up to the
    // symbol (GDB) or the smallest whole body (MPS).
    static const ReaderKind kinds[] = {
        {".wtr", 64, 21, 10},
        {".evo", 52, 24, 10},
        {".gdb", 5 + 49, 12, 11},  // a point's four optional fields may all be absent
        {".mps", 5 + 91, 31, 11},
        // <wpt lat="0" lon="0"/> and <trkpt lat="0" lon="0"/>; no entity
        // can make them shorter, since a document type declaration is refused.
        {".gpx", 22, 24, 11},
    };
    for (const ReaderKind& kind : kinds) {
        if (extension == kind.extension) return kind;
    }
    Fail("known reader kind", __FILE__, __LINE__);
}

size_t TextLength(const char* field, size_t capacity) {
    const void* nul = std::memchr(field, 0, capacity);
    return nul ? static_cast<size_t>(static_cast<const char*>(nul) - field) : capacity;
}

namespace {

bool AllZeroAfterText(const char* field, size_t capacity) {
    for (size_t i = TextLength(field, capacity); i < capacity; ++i) {
        if (field[i] != 0) return false;
    }
    return true;
}

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }
bool SameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

}  // namespace

void CheckSource(const ReaderKind& kind, const WaypointSource& source, const Loaded& loaded, size_t fileSize,
                 bool waypointLinesAsked, bool trackLinesAsked) {
    FUZZ_CHECK(loaded.result == 0 || loaded.result == 1);
    FUZZ_CHECK(source.waypointCount >= 0);
    FUZZ_CHECK(source.trackCount >= 0);
    FUZZ_CHECK(std::string(".") + source.Kind() == kind.extension);
    if (!waypointLinesAsked) FUZZ_CHECK(loaded.waypointLines.lines.empty());
    if (!trackLinesAsked) FUZZ_CHECK(loaded.trackLines.lines.empty());

    // Waypoints: each record the count promises is there, its name ends
    // inside the field and is zero after its text, and the line listed for it
    // (if one was) shows its name and altitude.
    const size_t waypointLines = loaded.waypointLines.lines.size();
    if (source.waypoints) {
        FUZZ_CHECK(waypointLines <= static_cast<size_t>(source.waypointCount));
        for (int32_t i = 0; i < source.waypointCount; ++i) {
            const WaypointRecord& record = source.waypoints[i];
            const size_t length = TextLength(record.name, sizeof record.name);
            FUZZ_CHECK(length < sizeof record.name);
            FUZZ_CHECK(length <= kind.maximumNameLength);
            FUZZ_CHECK(AllZeroAfterText(record.name, sizeof record.name));
            if (static_cast<size_t>(i) < waypointLines) {
                const std::string expected = FormatWaypointLine(std::string_view(record.name, length),
                                                                CapReaderAltitude(record.altitude));
                FUZZ_CHECK(loaded.waypointLines.lines[static_cast<size_t>(i)] == expected);
            }
        }
    } else {
        FUZZ_CHECK(waypointLines == 0);
    }

    // Tracks: the same for names; every point allocated is complete.
    uint64_t pointBytes = 0;
    const size_t trackLines = loaded.trackLines.lines.size();
    if (source.tracks) {
        FUZZ_CHECK(trackLines <= static_cast<size_t>(source.trackCount));
        for (int32_t k = 0; k < source.trackCount; ++k) {
            const TrackRecord& track = source.tracks[k];
            const size_t length = TextLength(track.name, sizeof track.name);
            FUZZ_CHECK(length < sizeof track.name);
            FUZZ_CHECK(AllZeroAfterText(track.name, sizeof track.name));
            if (static_cast<size_t>(k) < trackLines) {
                FUZZ_CHECK(loaded.trackLines.lines[static_cast<size_t>(k)] ==
                           FormatTrackLine(std::string_view(track.name, length), track.pointCount));
            }
            // Points are kept only when asked for.
            if (!source.keepTrackPoints) FUZZ_CHECK(!track.points);
            if (!track.points) continue;
            FUZZ_CHECK(track.pointCount >= 0);
            pointBytes += static_cast<uint64_t>(track.pointCount) * kind.pointBytes;
            for (int32_t j = 0; j < track.pointCount; ++j) {
                const TrackPoint& point = track.points[j];
                FUZZ_CHECK(point.second == static_cast<int32_t>(point.time % 60));
                FUZZ_CHECK(point.minute == static_cast<int32_t>(point.time / 60 % 60));
                FUZZ_CHECK(point.hour == static_cast<int32_t>((point.time / 3600 % 24 + 8) % 24));
                FUZZ_CHECK(SameBits(point.latitudeDegrees, point.latitude * kSemicircleFactor));
                FUZZ_CHECK(SameBits(point.longitudeDegrees, point.longitude * kSemicircleFactor));
            }
        }
    } else {
        FUZZ_CHECK(trackLines == 0);
    }

    if (loaded.result == 1) {
        // Everything promised is there, listed once, and fits in the file.
        FUZZ_CHECK(source.waypointCount == 0 || source.waypoints);
        if (waypointLinesAsked) FUZZ_CHECK(waypointLines == static_cast<size_t>(source.waypointCount));
        FUZZ_CHECK(static_cast<uint64_t>(source.waypointCount) * kind.minimumWaypointBytes <= fileSize);
        FUZZ_CHECK(source.trackCount <= 9999);
        FUZZ_CHECK(source.trackCount == 0 || source.tracks);
        if (trackLinesAsked) FUZZ_CHECK(trackLines == static_cast<size_t>(source.trackCount));
        for (int32_t k = 0; k < source.trackCount; ++k) {
            FUZZ_CHECK(source.tracks[k].pointCount >= 0);
            FUZZ_CHECK(source.tracks[k].pointCount == 0 || source.tracks[k].points || !source.keepTrackPoints);
        }
        FUZZ_CHECK(pointBytes <= fileSize);
    }
}

bool SameLoad(const WaypointSource& a, const Loaded& la, const WaypointSource& b, const Loaded& lb) {
    if (la.result != lb.result || a.waypointCount != b.waypointCount || a.trackCount != b.trackCount) return false;
    if (la.waypointLines.lines != lb.waypointLines.lines || la.trackLines.lines != lb.trackLines.lines) return false;
    if (!a.waypoints != !b.waypoints || !a.tracks != !b.tracks) return false;
    for (int32_t i = 0; a.waypoints && i < a.waypointCount; ++i) {
        const WaypointRecord& x = a.waypoints[i];
        const WaypointRecord& y = b.waypoints[i];
        if (std::memcmp(x.name, y.name, sizeof x.name) != 0 || x.latitude != y.latitude ||
            x.longitude != y.longitude || !SameBits(x.altitude, y.altitude) || x.symbol != y.symbol)
            return false;
    }
    for (int32_t k = 0; a.tracks && k < a.trackCount; ++k) {
        const TrackRecord& x = a.tracks[k];
        const TrackRecord& y = b.tracks[k];
        if (std::memcmp(x.name, y.name, sizeof x.name) != 0 || x.pointCount != y.pointCount) return false;
        if (a.keepTrackPoints == b.keepTrackPoints && !x.points != !y.points) return false;
        for (int32_t j = 0; x.points && y.points && j < x.pointCount; ++j) {
            const TrackPoint& p = x.points[j];
            const TrackPoint& q = y.points[j];
            if (p.latitude != q.latitude || p.longitude != q.longitude || !SameBits(p.altitude, q.altitude) ||
                p.time != q.time)
                return false;
        }
    }
    return true;
}

namespace {

uint16_t U16At(const uint8_t* data, uint64_t offset) {
    return static_cast<uint16_t>(data[offset] | data[offset + 1] << 8);
}

int32_t I32At(const uint8_t* data, uint64_t offset) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = value << 8 | data[offset + static_cast<uint64_t>(i)];
    return static_cast<int32_t>(value);
}

}  // namespace

GtmWalk WalkGtm(const uint8_t* data, size_t size) {
    GtmWalk walk;
    static const uint8_t signature[11] = {'T', 'r', 'a', 'c', 'k', 'M', 'a', 'k', 'e', 'r', 0xFF};
    // Both header counts must be in the file, the second at 63.
    if (size < 67 || std::memcmp(data + 2, signature, sizeof signature) != 0) return walk;
    const int32_t count = I32At(data, 35);
    const int32_t images = I32At(data, 63);
    if (count == 0) {
        walk.valid = walk.noWaypoints = true;
        return walk;
    }
    if (count < 0) return walk;

    // Offsets in 64 bits, so that no sum wraps; each step must end inside the file.
    uint64_t at = 99;
    auto string = [&]() {
        if (at + 2 > size) return false;
        at += 2 + U16At(data, at);
        return at <= size;
    };
    if (at > size) return walk;
    for (int i = 0; i < 4; ++i) {
        if (!string()) return walk;
    }
    at += 58;
    if (at > size) return walk;
    for (int32_t i = 0; i < images; ++i) {
        if (!string() || !string()) return walk;
        at += 30;
        if (at > size) return walk;
    }
    for (int32_t i = 0; i < count; ++i) {
        if (at + 28 > size) return walk;
        const uint64_t length = 43 + static_cast<uint64_t>(U16At(data, at + 26));
        if (at + length > size) return walk;
        walk.records.push_back(static_cast<size_t>(at));
        at += length;
    }
    walk.valid = true;
    return walk;
}

}  // namespace fuzz
