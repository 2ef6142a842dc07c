#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/LineList.h"
#include "sources/Records.h"

// One waypoint of a GTM file, with what the name correction found for it.
struct GtmWaypoint {
    char name[11];  // the 10 name bytes as read (NULs included), then a NUL
    double latitude;
    double longitude;
    float altitude;  // as read, no cap
    int16_t icon;
    int32_t altitudeMatches;
    int32_t caselessMatches;
    int32_t maskedMatches;
    int32_t maskedCaselessMatches;
    char newName[16];  // the corrected name; empty when not corrected
    // What the correction decided for this row: the index of the source
    // waypoint whose name it took (-1 when none), whether that source lies at
    // this row's own position, and whether the name may be another waypoint's
    // (no position confirms it and another candidate could have been meant).
    int32_t source = -1;
    bool atPosition = false;
    bool uncertain = false;
};

// A GPS TrackMaker file held as its raw image plus one row per waypoint. The
// correction works on the rows; saving writes the new names into the image
// where the old names stood and writes the image back, so that every other
// byte of the file stays as it was read.
class GtmDocument {
public:
    GtmDocument() = default;
    GtmDocument(const GtmDocument&) = delete;
    GtmDocument& operator=(const GtmDocument&) = delete;
    virtual ~GtmDocument() = default;

    // Reads the file at path and appends one line per waypoint to list.
    // Returns 1 (also for a valid file without waypoints) or 0.
    int Load(const std::string& path, LineList& list);

    // Finds for every row the source waypoint it came from and takes its name.
    // Marks every source record whose name was used with the taken marker.
    // Returns 0, changing nothing, when there is no table; otherwise 1.
    int CorrectNames(int32_t sourceCount, WaypointRecord* sourceRecords, LineList& list);

    // 1 when some new name begins with a single-byte character.
    int NeedsPrefix() const;

    // Puts the 2-byte prefix in front of every name that begins with a
    // single-byte character, corrected or not. Always 1.
    int ApplyPrefix(const char* prefix);

    // Writes the new names into the image and replaces the file with it.
    // 1 when written or when there was nothing to write; 0 when the file could
    // not be replaced, in which case it is untouched.
    int Save();

    int32_t waypointCount = 0;
    int32_t correctedCount = 0;
    std::unique_ptr<GtmWaypoint[]> waypoints;
    std::string path;
    std::vector<unsigned char> image;  // the whole file; empty until loaded with waypoints
    int32_t imageSize = 0;
};

// The prefix put before names unless the user gives another: the arrow "←"
// in code page 950.
inline constexpr char kDefaultPrefix[] = "\xA1\xF6";

// The prefix for a text the user typed (UTF-8), as both front ends apply it:
// its code page 950 bytes when they are exactly two, otherwise the arrow.
std::string PrefixBytes(const std::string& text);

// Reads the whole file at path. 1 or 0.
int ReadFileImage(const std::string& path, std::vector<unsigned char>& image);

// Replaces the file at path with size bytes of buffer, atomically: the bytes go
// to a temporary file beside it, which is flushed and renamed over the file.
// On any failure the file is untouched, the temporary file is gone, and the
// result is 0.
int WriteFileImage(const std::string& path, const unsigned char* buffer, size_t size);
