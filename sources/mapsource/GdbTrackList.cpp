#include "sources/mapsource/GdbTrackList.h"

#include "sources/NameField.h"

namespace {

// The smallest point: latitude, longitude and four flag bytes of 0.
constexpr size_t kSmallestPoint = 12;

}  // namespace

int ReadGdbTrackPoint(ReadPosition& position, TrackPoint& point) {
    uint8_t flag = 0;
    if (!ReadInt32(position, point.latitude) || !ReadInt32(position, point.longitude)) return 0;

    double altitude = 0.0;
    if (!ReadInt8(position, flag) || (flag != 0 && !ReadDouble(position, altitude))) return 0;
    point.altitude = NarrowToFloat(altitude);

    uint32_t time = 0;
    if (!ReadInt8(position, flag) || (flag != 0 && !ReadInt32(position, time))) return 0;
    point.time = time;

    // Depth and temperature are read over, not kept.
    double unused = 0.0;
    for (int field = 0; field < 2; ++field) {
        if (!ReadInt8(position, flag) || (flag != 0 && !ReadDouble(position, unused))) return 0;
    }
    CompleteTrackPoint(point);
    return 1;
}

// Steps over one point, checking that each of its fields is in the body.
int SkipGdbTrackPoint(ReadPosition& position) {
    constexpr size_t kFlaggedWidths[4] = {8, 4, 8, 8};  // altitude, time, depth, temperature
    if (position.left < 8) return 0;
    position.Advance(8);
    for (size_t width : kFlaggedWidths) {
        if (position.left < 1) return 0;
        const bool present = *position.next != 0;
        position.Advance(1);
        if (present) {
            if (position.left < width) return 0;
            position.Advance(width);
        }
    }
    return 1;
}

int GdbTrackList::Parse(const MsRecord& record, TrackView& parsed) {
    // The view is kept only once the whole body has been checked.
    TrackView view{};
    ReadPosition body = BodyPosition(record);
    if (!ReadString(body, view.name) || !ReadInt8(body, view.firstValue) || !ReadInt32(body, view.secondValue) ||
        !ReadInt32(body, view.pointCount)) {
        return 0;
    }
    // A count the body cannot hold fails before any point is walked.
    if (view.pointCount > body.left / kSmallestPoint) return 0;
    view.points = body.next;
    for (uint32_t j = 0; j < view.pointCount; ++j) {
        if (!SkipGdbTrackPoint(body)) return 0;
    }
    view.pointBytes = static_cast<size_t>(body.next - view.points);
    parsed = view;
    return 1;
}

int GdbTrackList::GetTrack(int32_t k, TrackRecord& track, bool keepPoints) const {
    if (k < 0 || k >= count || !views || !views[k].name) return 0;
    const TrackView& view = views[k];
    if (!BeginTrack(view, track, keepPoints)) return 0;
    ReadPosition points{view.points, view.pointBytes};
    for (int32_t j = 0; track.points && j < track.pointCount; ++j) {
        if (!ReadGdbTrackPoint(points, track.points[j])) return 0;
    }
    return 1;
}
