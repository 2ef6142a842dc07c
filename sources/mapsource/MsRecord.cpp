#include "sources/mapsource/MsRecord.h"

namespace {

// Checks the record head at the position and moves past it.
int ReadRecordHead(ReadPosition& position, uint32_t& length, uint8_t& type) {
    if (!ReadInt32(position, length) || !ReadInt8(position, type)) return 0;
    return length != 0 && length <= position.left;
}

}  // namespace

int ReadRecord(ReadPosition& position, MsRecord& record) {
    if (!ReadRecordHead(position, record.length, record.type)) return 0;
    record.body = position.next;
    position.Advance(record.length);
    return 1;
}

int ReleaseRecord(MsRecord* record) {
    if (!record) return 0;
    record->body = nullptr;
    return 1;
}

int SkipRecord(ReadPosition& position, uint8_t& type) {
    uint32_t length = 0;
    if (!ReadRecordHead(position, length, type)) return 0;
    position.Advance(length);
    return 1;
}

int64_t CountRun(ReadPosition position, uint8_t type) {
    int64_t count = 0;
    uint8_t found = 0;
    while (SkipRecord(position, found) && found == type) ++count;
    return count;
}
