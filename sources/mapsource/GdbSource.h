#pragma once

#include "sources/WaypointSource.h"

// Reads MapSource database (".gdb") files.
class GdbSource : public WaypointSource {
public:
    int Load(const std::string& path, LineList* waypointList, LineList* trackList) override;
    const char* Kind() const override { return "gdb"; }
};
