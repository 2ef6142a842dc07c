#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "common/LineList.h"
#include "sources/Records.h"

// The base of every Garmin reader. Its own Load reads WTR files; the readers
// of the other kinds derive from it and replace Load. A reader is loaded once
// and owns its records; the name correction writes the taken marker into the
// symbol of the records whose names it used.
class WaypointSource {
public:
    WaypointSource() = default;
    WaypointSource(const WaypointSource&) = delete;
    WaypointSource& operator=(const WaypointSource&) = delete;
    virtual ~WaypointSource() = default;

    // Reads the file at path, appending one line per waypoint to waypointList
    // and one per track to trackList (either may be null). Returns 1 or 0;
    // records read before a failure stay in place.
    virtual int Load(const std::string& path, LineList* waypointList, LineList* trackList);

    // The kind of file the reader reads: "wtr", "evo", "mps", "gdb" or "gpx".
    virtual const char* Kind() const { return "wtr"; }

    // When false, Load checks every track exactly as before but keeps only
    // its name and point count, not its points (points stays null). Callers
    // that show no track points (the dialog, the command line's text output)
    // then load large files faster and in far less memory; the result of Load
    // and every waypoint are the same either way.
    bool keepTrackPoints = true;

    int32_t waypointCount = 0;
    std::unique_ptr<WaypointRecord[]> waypoints;
    int32_t trackCount = 0;
    std::unique_ptr<TrackRecord[]> tracks;
};
