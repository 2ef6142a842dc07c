#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A demo pair for trying a repair: a Garmin WTR file whose waypoints have
// Traditional Chinese names (code page 950), and the GPS TrackMaker file made
// from it by a program that lost the Chinese characters: each of their bytes
// became a zero byte, the ASCII letters and digits stayed (one name lost its
// capitals), and every name is padded with spaces to 10 bytes.

// The WTR file: header, 64-byte waypoint records, a track of a few points,
// the route marker. Without elevations every waypoint's altitude is 0, as for
// waypoints made on a map.
std::vector<uint8_t> MakeDemoWtr(bool elevations = true);

// The same waypoints and track as a GPX 1.1 file (UTF-8 names), the form in
// which today's Garmin devices and BaseCamp keep them: the GTM file is
// repaired from it as it is from the WTR file.
std::vector<uint8_t> MakeDemoGpx();

// The damaged GTM file with the same waypoints in the same order; or in the
// order given (indices of the waypoints), without elevations, or with the
// names as a repair writes them back (the full names in the damaged bytes'
// place, the padding kept).
std::vector<uint8_t> MakeDemoGtm(bool elevations = true, const std::vector<size_t>& order = {}, bool repaired = false);
