#pragma once

#include "sources/WaypointSource.h"

// Reads MapSource (".mps") files.
class MpsSource : public WaypointSource {
public:
    int Load(const std::string& path, LineList* waypointList, LineList* trackList) override;
    const char* Kind() const override { return "mps"; }
};
