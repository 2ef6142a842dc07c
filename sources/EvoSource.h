#pragma once

#include "sources/WaypointSource.h"

// Reads Garmin EVO files: counts in a header, entries found by scanning for
// short byte patterns.
class EvoSource : public WaypointSource {
public:
    int Load(const std::string& path, LineList* waypointList, LineList* trackList) override;
    const char* Kind() const override { return "evo"; }
};
