#include "gtm/GtmLayout.h"

#include "common/LittleEndian.h"

namespace gtm_layout {
namespace {

// Steps over a length-prefixed string (a 16-bit count, then the bytes).
bool SkipString(const std::vector<unsigned char>& image, size_t& offset) {
    if (!le::Fits(image.size(), offset, 2)) return false;
    size_t length = le::U16(image.data() + offset);
    if (!le::Fits(image.size(), offset + 2, length)) return false;
    offset += 2 + length;
    return true;
}

bool Skip(const std::vector<unsigned char>& image, size_t& offset, size_t width) {
    if (!le::Fits(image.size(), offset, width)) return false;
    offset += width;
    return true;
}

}  // namespace

bool FindWaypointRecords(const std::vector<unsigned char>& image, int32_t waypointCount,
                         int32_t imageRecordCount, std::vector<size_t>& offsets) {
    offsets.clear();
    if (waypointCount < 0) return false;
    size_t offset = kHeaderSize;
    if (offset > image.size()) return false;
    for (int i = 0; i < 4; ++i) {
        if (!SkipString(image, offset)) return false;
    }
    if (!Skip(image, offset, 58)) return false;
    // Each image record takes at least 34 bytes, so a count the file cannot
    // hold ends the loop at the end of the image.
    for (int32_t i = 0; i < imageRecordCount; ++i) {
        if (!SkipString(image, offset) || !SkipString(image, offset) || !Skip(image, offset, 30)) return false;
    }
    // Every record takes at least 43 bytes: refuse a count the rest cannot hold
    // before reserving room for it.
    if (static_cast<size_t>(waypointCount) > (image.size() - offset) / kRecordBaseSize) return false;
    offsets.reserve(static_cast<size_t>(waypointCount));
    for (int32_t i = 0; i < waypointCount; ++i) {
        if (!le::Fits(image.size(), offset, kCommentLength + 2)) break;
        size_t comment = le::U16(image.data() + offset + kCommentLength);
        if (!le::Fits(image.size(), offset, kRecordBaseSize + comment)) break;
        offsets.push_back(offset);
        offset += kRecordBaseSize + comment;
    }
    if (offsets.size() != static_cast<size_t>(waypointCount)) {
        offsets.clear();
        return false;
    }
    return true;
}

}  // namespace gtm_layout
