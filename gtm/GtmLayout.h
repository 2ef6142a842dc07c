#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Where the waypoint records of a GTM file stand. Both the load and the save
// walk the same way: past the fixed header, four length-prefixed strings, a
// 58-byte block and the image records, then record by record, each 43 bytes
// plus its comment.
namespace gtm_layout {

inline constexpr size_t kSignatureOffset = 2;  // "TrackMaker" and 0xFF
inline constexpr size_t kWaypointCountOffset = 35;
inline constexpr size_t kImageCountOffset = 63;
inline constexpr size_t kHeaderSize = 99;
inline constexpr size_t kRecordBaseSize = 43;  // a waypoint record without its comment

// Record offsets (L is the comment length).
inline constexpr size_t kLatitude = 0;
inline constexpr size_t kLongitude = 8;
inline constexpr size_t kName = 16;
inline constexpr size_t kNameSize = 10;
inline constexpr size_t kCommentLength = 26;
inline constexpr size_t kIconAfterComment = 28;
inline constexpr size_t kAltitudeAfterComment = 37;

// The offset of every waypoint record, in file order. Returns false, leaving
// offsets empty, when any part of the walk (the strings, the image records,
// any waypoint record with its comment) does not lie wholly inside the image.
bool FindWaypointRecords(const std::vector<unsigned char>& image, int32_t waypointCount,
                         int32_t imageRecordCount, std::vector<size_t>& offsets);

}  // namespace gtm_layout
