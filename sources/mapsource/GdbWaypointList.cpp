#include "sources/mapsource/GdbWaypointList.h"

#include "sources/NameField.h"
#include "sources/mapsource/Utf8NameToAnsi.h"

namespace {

// The first version of MapSource that writes UTF-8 waypoint names.
constexpr uint16_t kFirstUtf8Version = 612;

}  // namespace

int GdbWaypointList::Read(ReadPosition& position, uint16_t version, int writtenByBaseCamp) {
    return ReadRun(position, [&] { utf8Names = writtenByBaseCamp || version >= kFirstUtf8Version ? 1 : 0; });
}

int GdbWaypointList::Parse(const MsRecord& record, GdbWaypointView& view) {
    ReadPosition body = BodyPosition(record);
    if (!ReadString(body, view.name) || !ReadInt32(body, view.firstValue) || !ReadString(body, view.secondText) ||
        !ReadFixed(body, view.block, sizeof view.block) || !ReadInt32(body, view.latitude) ||
        !ReadInt32(body, view.longitude) || !ReadInt8(body, view.altitudeFlag)) {
        return 0;
    }
    if (view.altitudeFlag != 0 && !ReadDouble(body, view.altitude)) return 0;
    if (!ReadString(body, view.thirdText) || !ReadInt8(body, view.valueFlag)) return 0;
    if (view.valueFlag != 0 && !ReadFixed(body, view.flaggedValue, sizeof view.flaggedValue)) return 0;
    return ReadInt32(body, view.secondValue) && ReadInt32(body, view.thirdValue) && ReadInt16(body, view.symbol);
}

int GdbWaypointList::GetWaypoint(int32_t i, WaypointRecord& record) const {
    if (i < 0 || i >= count || !views || !views[i].name) return 0;
    const GdbWaypointView& view = views[i];
    if (utf8Names) {
        Utf8NameToAnsi(record.name, sizeof record.name, view.name);
    } else {
        StoreName(record.name, sizeof record.name, view.name);
    }
    record.latitude = view.latitude;
    record.longitude = view.longitude;
    record.altitude = NarrowToFloat(view.altitude);
    record.symbol = view.symbol;
    return 1;
}
