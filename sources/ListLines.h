#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The display lines the readers, the GTM loader and the correction append.

// "%s %3.lf": the name, one blank, the altitude rounded to a whole number and
// right-aligned in at least three characters.
std::string FormatWaypointLine(std::string_view name, double altitude);

// "%s (%d)": the track name and its point count.
std::string FormatTrackLine(std::string_view name, int32_t pointCount);

// The readers of WTR and EVO files, and the waypoint lines of every reader,
// show an altitude above 9999 as 0.
inline float CapReaderAltitude(float altitude) { return altitude > 9999.0f ? 0.0f : altitude; }
