#include "sources/mapsource/MpsTrackList.h"

#include "common/LittleEndian.h"
#include "sources/NameField.h"

namespace {

constexpr size_t kPointSize = 31;
constexpr size_t kLatitudeAt = 0;
constexpr size_t kLongitudeAt = 4;
constexpr size_t kAltitudeAt = 9;
constexpr size_t kTimeAt = 18;

}  // namespace

int MpsTrackList::Parse(const MsRecord& record, TrackView& parsed) {
    // The view is kept only once the whole body has been checked.
    TrackView view{};
    ReadPosition body = BodyPosition(record);
    if (!ReadString(body, view.name) || !ReadInt8(body, view.firstValue) || !ReadInt32(body, view.secondValue) ||
        !ReadInt32(body, view.pointCount)) {
        return 0;
    }
    // Compared by division first, so the product cannot wrap.
    if (view.pointCount > body.left / kPointSize || body.left != view.pointCount * kPointSize) return 0;
    view.points = body.next;
    view.pointBytes = body.left;
    parsed = view;
    return 1;
}

int MpsTrackList::GetTrack(int32_t k, TrackRecord& track, bool keepPoints) const {
    if (k < 0 || k >= count || !views || !views[k].name) return 0;
    const TrackView& view = views[k];
    if (!BeginTrack(view, track, keepPoints)) return 0;
    for (int32_t j = 0; track.points && j < track.pointCount; ++j) {
        const unsigned char* bytes = view.points + kPointSize * static_cast<size_t>(j);
        TrackPoint& point = track.points[j];
        point.latitude = le::I32(bytes + kLatitudeAt);
        point.longitude = le::I32(bytes + kLongitudeAt);
        point.altitude = NarrowToFloat(le::F64(bytes + kAltitudeAt));
        point.time = le::U32(bytes + kTimeAt);
        CompleteTrackPoint(point);
    }
    return 1;
}
