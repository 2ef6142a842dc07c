#pragma once

#include <cstdint>
#include <vector>

// A demo pair for trying a repair: a Garmin WTR file whose waypoints have
// Traditional Chinese names (code page 950), and the GPS TrackMaker file made
// from it by a program that lost the Chinese characters: each of their bytes
// became a zero byte, the ASCII letters and digits stayed (one name lost its
// capitals), and every name is padded with spaces to 10 bytes.

// The WTR file: header, 64-byte waypoint records, a track of a few points,
// the route marker.
std::vector<uint8_t> MakeDemoWtr();

// The same waypoints and track as a GPX 1.1 file (UTF-8 names), the form in
// which today's Garmin devices and BaseCamp keep them: the GTM file is
// repaired from it as it is from the WTR file.
std::vector<uint8_t> MakeDemoGpx();

// The damaged GTM file with the same waypoints in the same order.
std::vector<uint8_t> MakeDemoGtm();
