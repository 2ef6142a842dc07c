#pragma once

#include "sources/WaypointSource.h"

// Reads GPX files (versions 1.0 and 1.1), as Garmin devices, BaseCamp and
// most other GPS programs write them: every wpt of the document is a
// waypoint, every trk a track whose segments' points are joined. The XML is
// parsed by expat, in any encoding it knows (UTF-8, UTF-16 with a byte order
// mark, ISO-8859-1, US-ASCII); names are converted from Unicode to code page
// 950. A document type declaration is refused, so nothing is ever loaded from
// outside the file and no entity can be expanded; so is a file of more than
// 9999 tracks, as in the MapSource kinds, or nested deeper than 256 elements.
class GpxSource : public WaypointSource {
public:
    int Load(const std::string& path, LineList* waypointList, LineList* trackList) override;
    const char* Kind() const override { return "gpx"; }
};
