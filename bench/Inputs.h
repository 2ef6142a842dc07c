#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Deterministic inputs for the benchmarks and the peer comparison: a set of
// waypoints and tracks such as a hiker in Taiwan keeps (Chinese, mixed and
// ASCII names in code page 950, mountain altitudes, long track logs), written
// out in each file layout the program reads. The same seed and sizes always
// give the same bytes.
namespace bench {

struct Waypoint {
    std::string name;  // code page 950, at most 10 bytes
    int32_t latitude;  // semicircles
    int32_t longitude;
    float altitude;  // 0 when the device recorded none
    int16_t symbol;
};

struct Point {
    int32_t latitude;
    int32_t longitude;
    float altitude;
    uint32_t time;  // seconds since 1989-12-31, as Garmin devices count
};

struct Track {
    std::string name;  // ASCII
    std::vector<Point> points;
};

struct World {
    std::vector<Waypoint> waypoints;
    std::vector<Track> tracks;
};

struct Sizes {
    size_t waypoints = 10000;
    size_t tracks = 100;
    size_t points = 1000000;  // in all, spread evenly over the tracks
};

World MakeWorld(uint64_t seed, const Sizes& sizes);

// The file layouts. The WTR layout holds one track (the world's tracks are
// joined into it); the EVO header cannot count more than 9999 waypoints or
// tracks, so the EVO file holds at most that many. The GDB file is written as
// MapSource 6.12 and later write it (UTF-8 names) when utf8Names is set.
std::vector<unsigned char> WtrFile(const World& world);
std::vector<unsigned char> EvoFile(const World& world);
std::vector<unsigned char> GdbFile(const World& world, bool utf8Names = true);
std::vector<unsigned char> MpsFile(const World& world);

// Makes the world's waypoints alike as waypoints made on a map are: every
// name three Chinese characters (so that every damaged name is six NUL bytes)
// and every altitude 0.
void MakeAlikeWithoutElevations(World& world, uint64_t seed);

// A GTM file made from the world's waypoints the way the damaged files come
// about: the same waypoints in the same order, the bytes of Chinese characters
// turned into NUL bytes, some names in another letter case, and some
// altitudes rounded through feet. A shift (in degrees) moves every waypoint
// away from its Garmin position.
std::vector<unsigned char> GtmFile(const World& world, uint64_t seed, double shift = 0);

// A GPX 1.1 document of the world (UTF-8 names).
std::string GpxFile(const World& world);

// Writes bytes to path. Returns 1 or 0.
int WriteFile(const std::string& path, const void* data, size_t size);

}  // namespace bench
