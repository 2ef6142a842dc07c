#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>

// The waypoints and tracks of a Garmin file, as every reader delivers them.
// Positions are semicircle counts copied from the file.

// The factor from semicircles to degrees: the double nearest 180 / 2147483640
// (deliberately not 180 / 2^31; the two differ from the ninth digit on).
inline constexpr double kSemicircleFactor = 8.381903202764329e-8;

// The symbol value the name correction writes into a record whose name it used.
inline constexpr int16_t kTakenMarker = 3572;

struct WaypointRecord {
    char name[12];  // NUL-terminated, code page 950; bytes after the text are 0
    int32_t latitude;
    int32_t longitude;
    float altitude;
    int16_t symbol;
};

struct TrackPoint {
    int32_t latitude;
    int32_t longitude;
    double longitudeDegrees;  // longitude first: the reverse of the raw pair
    double latitudeDegrees;
    float altitude;
    uint32_t time;  // seconds, as read
    int32_t hour;   // hour of day of time, shifted to UTC+8
    int32_t minute;
    int32_t second;
};

struct TrackRecord {
    char name[32];  // NUL-terminated
    int32_t pointCount;
    std::unique_ptr<TrackPoint[]> points;  // null when none were allocated
};

// Allocates count zero-filled records, or returns null when that is not
// possible (a negative count, or no memory). Nothing throws.
template <typename T>
std::unique_ptr<T[]> AllocateRecords(int64_t count) {
    if (count < 0 || static_cast<uint64_t>(count) > SIZE_MAX / sizeof(T)) return nullptr;
    return std::unique_ptr<T[]>(new (std::nothrow) T[static_cast<size_t>(count)]());
}

// Fills the degree values and the time of day of a point whose latitude,
// longitude and time are set.
void CompleteTrackPoint(TrackPoint& point);

// Reads a point laid out as WTR and EVO files lay it out: latitude, longitude,
// time and a 32-bit float altitude, 16 bytes that the caller has checked are
// in the file.
void ReadCompactTrackPoint(const unsigned char* bytes, TrackPoint& point);

// Allocates and reads the track's pointCount points, stride bytes apart from
// first, when keep is set; without it the points are left out. 0 when the
// allocation fails.
int ReadCompactTrackPoints(TrackRecord& track, const unsigned char* first, size_t stride, bool keep);
