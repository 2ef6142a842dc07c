#include "sources/mapsource/LRecordList.h"

#include "sources/mapsource/RecordRunList.h"

int LRecordList::Read(ReadPosition& position) {
    count = 0;
    int32_t found = RunCount(position, 'L');
    if (found < 0) return 0;
    if (found == 0) return 1;
    count = found;
    return ReadRunRecords(position, count, records);
}
