#pragma once

#include <memory>
#include <string>

#include "sources/WaypointSource.h"

// A new reader for the path's extension (".wtr", ".evo", ".mps", ".gdb",
// ".gpx", letter case ignored), or null for any other extension. The file's
// contents are not looked at.
std::unique_ptr<WaypointSource> CreateWaypointSource(const std::string& path);

// The extension of a path as the reader selection sees it: from the last dot
// of the last path component, dot included; empty when there is none.
std::string PathExtension(const std::string& path);

// Whether the path names a GPS TrackMaker file: the extension ".gtm", letter
// case ignored.
bool IsGtmPath(const std::string& path);
