#include "sources/mapsource/RecordRunList.h"

int32_t RunCount(const ReadPosition& position, uint8_t type) {
    int64_t count = CountRun(position, type);
    return count > INT32_MAX ? -1 : static_cast<int32_t>(count);
}

int ReadRunRecords(ReadPosition& position, int32_t count, std::unique_ptr<MsRecord[]>& records) {
    records = AllocateRecords<MsRecord>(count);
    if (!records) return 0;
    for (int32_t i = 0; i < count; ++i) {
        if (!ReadRecord(position, records[i])) return 0;
    }
    return 1;
}
