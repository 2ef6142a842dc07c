#include "sources/mapsource/MpsWaypointList.h"

#include "sources/NameField.h"

namespace {

constexpr size_t kBlockSize = 22;
constexpr size_t kShortBlockSize = 17;

}  // namespace

int MpsWaypointList::Read(ReadPosition& position, int shortBlock) {
    blockSize = shortBlock ? kShortBlockSize : kBlockSize;
    return RecordRunList::Read(position);
}

int MpsWaypointList::Parse(const MsRecord& record, MpsWaypointView& view) {
    ReadPosition body = BodyPosition(record);
    return ReadString(body, view.name) && ReadInt32(body, view.firstValue) && ReadString(body, view.country) &&
           ReadFixed(body, view.block, blockSize) && ReadInt32(body, view.latitude) &&
           ReadInt32(body, view.longitude) && ReadInt8(body, view.secondValue) && ReadDouble(body, view.altitude) &&
           ReadString(body, view.secondText) && ReadFixed(body, view.secondBlock, sizeof view.secondBlock) &&
           ReadInt16(body, view.symbol);
}

int MpsWaypointList::GetWaypoint(int32_t i, WaypointRecord& record) const {
    if (i < 0 || i >= count || !views || !views[i].name) return 0;
    const MpsWaypointView& view = views[i];
    StoreName(record.name, sizeof record.name, view.name);
    record.latitude = view.latitude;
    record.longitude = view.longitude;
    record.altitude = NarrowToFloat(view.altitude);
    record.symbol = view.symbol;
    return 1;
}
